// Hearing a phrase: how soon a long KPAC phrase starts to play, and how fast
// the preview decodes against real time.
//
//   wqe_bench --benchmark_filter=Preview
//
// The phrase is ten minutes of 48 kHz stereo MODE2: one second of a tone
// encoded once, its blocks repeated (every coded block decodes on its own
// from the previous sample, so the file is valid).
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <vector>

#include "codec/KpacEncoder.h"
#include "convert/PreviewSource.h"

namespace {

namespace fs = std::filesystem;
using namespace wqe;

constexpr std::uint32_t kRate = 48000;
constexpr int kSeconds = 600;

std::vector<std::uint8_t> oneSecondWav() {
    std::vector<std::uint8_t> data;
    for (std::uint32_t f = 0; f < kRate; ++f) {
        for (int ch = 0; ch < 2; ++ch) {
            const double v = 0.5 * std::sin(2 * std::numbers::pi * (440.0 + 110 * ch) * f / kRate);
            const auto s = static_cast<std::uint16_t>(static_cast<std::int16_t>(v * 32767));
            data.push_back(static_cast<std::uint8_t>(s));
            data.push_back(static_cast<std::uint8_t>(s >> 8));
        }
    }
    const auto header =
        canonicalWaveHeader(WaveFormat::pcm(2, kRate, 16), static_cast<std::uint32_t>(data.size()));
    std::vector<std::uint8_t> wav(header.begin(), header.end());
    wav.insert(wav.end(), data.begin(), data.end());
    return wav;
}

// A file removed when the program ends.
struct ScratchFile {
    fs::path path;
    ~ScratchFile() {
        std::error_code ec;
        fs::remove(path, ec);
    }
};

// The ten-minute phrase, written once per run.
const fs::path& longPhrase() {
    static const ScratchFile file{[] {
        const auto wav = oneSecondWav();
        kpac::SpanSource in(wav);
        kpac::VectorSink coded;
        if (!kpac::encode(in, coded, static_cast<int>(kpac::Mode::Mode2))) std::abort();
        auto header = *kpac::parseHeader(coded.bytes());
        header.blockCount *= kSeconds;
        const auto headerBytes = kpac::writeHeader(header);
        const fs::path p = fs::temp_directory_path() / "wqe-bench-preview-10min.PHR";
        std::ofstream out(p, std::ios::binary);
        out.write(reinterpret_cast<const char*>(headerBytes.data()), headerBytes.size());
        for (int k = 0; k < kSeconds; ++k)
            out.write(reinterpret_cast<const char*>(coded.bytes().data() + kpac::kHeaderSize),
                      static_cast<std::streamsize>(coded.bytes().size() - kpac::kHeaderSize));
        return p;
    }()};
    return file.path;
}

// From opening the file to holding the first 20 ms of sound (what an audio
// output asks for first). Target: well under 100 ms.
void BM_PreviewStartOfTenMinutePhrase(benchmark::State& state) {
    const fs::path& path = longPhrase();
    std::vector<std::int16_t> pcm(2 * 960);
    for (auto _ : state) {
        auto source = openPreviewSource(path, 80);
        if (!source) state.SkipWithError(source.error().message().c_str());
        benchmark::DoNotOptimize((*source)->read(pcm.data(), 960));
    }
}
BENCHMARK(BM_PreviewStartOfTenMinutePhrase)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole phrase through the preview; "realtime" is how many seconds of
// sound are decoded per second of wall-clock time.
void BM_PreviewWholeTenMinutePhrase(benchmark::State& state) {
    const fs::path& path = longPhrase();
    std::vector<std::int16_t> pcm(2 * 4096);
    std::uint64_t frames = 0;
    for (auto _ : state) {
        auto source = openPreviewSource(path, 80);
        if (!source) state.SkipWithError(source.error().message().c_str());
        while (std::size_t got = (*source)->read(pcm.data(), 4096)) frames += got;
    }
    state.counters["realtime"] =
        benchmark::Counter(static_cast<double>(frames) / kRate, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PreviewWholeTenMinutePhrase)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2)
    ->UseRealTime();

}  // namespace
