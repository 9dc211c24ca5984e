// The converted input path: a 10-minute 96 kHz stereo 24-bit FLAC file
// (written once through libsndfile to a temporary folder; WQE_BENCH_MINUTES=N
// for another length) decoded, resampled to 48 kHz, and encoded to MODE2 on
// one thread. Reported: seconds of audio per wall-clock second (x_realtime);
// the target is at least 100.
#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <numbers>
#include <vector>

#include "audiofile/AudioFile.h"
#include "convert/FileConvert.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRate = 96000;

int minutes() {
    const char* n = std::getenv("WQE_BENCH_MINUTES");
    return n ? std::max(1, std::atoi(n)) : 10;
}

// Two detuned tones, written a second at a time.
fs::path flacFile() {
    static const fs::path path = [] {
        const fs::path p =
            fs::temp_directory_path() / ("wqe-bench-" + std::to_string(::getpid()) + ".flac");
        SF_INFO info{};
        info.samplerate = kRate;
        info.channels = 2;
        info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
        SNDFILE* file = sf_open(p.c_str(), SFM_WRITE, &info);
        if (!file) return fs::path();
        std::vector<float> second(2 * kRate);
        for (int s = 0; s < 60 * minutes(); ++s) {
            for (int f = 0; f < kRate; ++f) {
                const double t = s + static_cast<double>(f) / kRate;
                second[2 * f] = static_cast<float>(0.4 * std::sin(2 * std::numbers::pi * 440 * t));
                second[2 * f + 1] =
                    static_cast<float>(0.4 * std::sin(2 * std::numbers::pi * 443.5 * t));
            }
            sf_writef_float(file, second.data(), kRate);
        }
        sf_close(file);
        return p;
    }();
    return path;
}

void BM_FlacToMode2(benchmark::State& state) {
    wqe::audiofile::install();
    const fs::path in = flacFile();
    if (in.empty()) {
        state.SkipWithError("the FLAC file could not be written");
        return;
    }
    const fs::path out = in.parent_path() / ("wqe-bench-" + std::to_string(::getpid()) + ".PHR");
    for (auto _ : state) {
        const auto item = wqe::encodeOneFile(in, out, wqe::kpac::Mode::Mode2);
        if (!item.ok) {
            state.SkipWithError(item.error.c_str());
            break;
        }
    }
    state.counters["x_realtime"] =
        benchmark::Counter(60.0 * minutes(), benchmark::Counter::kIsIterationInvariantRate);
    std::error_code ec;
    fs::remove(out, ec);
    fs::remove(in, ec);
}
BENCHMARK(BM_FlacToMode2)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
