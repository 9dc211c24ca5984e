// Fuzzes the readers of WAV headers: the encoder's sequential reader (and a
// short encode when the header is accepted) and the RIFF/WAVE classes'
// chunk search through a temporary file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "codec/KpacEncoder.h"
#include "stream/LWaveFile.h"

using namespace wqe::kpac;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        SpanSource in({data, size});
        ByteReader reader(in);
        const auto input = readWavInput(reader);
        if (input && input->frames() <= 4096) {
            for (int mode = 0; mode < kModeCount; ++mode) {
                SpanSource again({data, size});
                NullSink out;
                (void)encode(again, out, mode);
            }
        }
    }
    static const std::string path = "/tmp/wqe-fuzz-wav-" + std::to_string(getpid()) + ".wav";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
        const auto info = wqe::probeWaveFile(path);
        if (info) {
            wqe::CWaveFile wav;
            if (wav.Open(path)) {
                std::uint8_t buf[256];
                while (wav.Read(buf, sizeof buf) == sizeof buf) {
                }
            }
        }
        std::remove(path.c_str());
    }
    return 0;
}
