// Fuzzes the one WAV header reader on memory, the encoder's judgement of the
// format on top of it, and a short encode when the header is accepted.
#include <cstdint>

#include "codec/KpacEncoder.h"
#include "stream/LWaveFile.h"

using namespace wqe::kpac;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    wqe::SpanInput raw({data, size});
    (void)wqe::readWaveHeader(raw);
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
    return 0;
}
