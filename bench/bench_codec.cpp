// KPAC encode and decode throughput per mode on 60 s of 16-bit stereo 48 kHz
// audio in memory. Reported per run: samples per second (items_per_second)
// and the multiple of real time (x_realtime: seconds of audio per CPU second).
//
// WQE_BENCH_WAV=PATH wqe_bench writes the test signal to PATH as a WAV file
// first, for timing other tools (wqe encode, sox) on the same audio.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "codec/KpacDecoder.h"
#include "codec/KpacEncoder.h"

namespace {

using namespace wqe::kpac;

constexpr std::uint32_t kRate = 48000;
constexpr int kChannels = 2;
constexpr double kSeconds = 60.0;

// A music-like test signal: two detuned tones with a slow tremolo and a
// little noise, different on each channel.
const std::vector<std::uint8_t>& testWav() {
    static const std::vector<std::uint8_t> wav = [] {
        const auto frames = static_cast<std::uint32_t>(kSeconds * kRate);
        const std::uint32_t dataSize = frames * kChannels * 2;
        std::vector<std::uint8_t> b;
        b.reserve(44 + dataSize);
        auto put16 = [&b](std::uint32_t v) {
            b.push_back(static_cast<std::uint8_t>(v));
            b.push_back(static_cast<std::uint8_t>(v >> 8));
        };
        auto put32 = [&put16](std::uint32_t v) {
            put16(v & 0xFFFF);
            put16(v >> 16);
        };
        for (char c : std::string("RIFF")) b.push_back(static_cast<std::uint8_t>(c));
        put32(36 + dataSize);
        for (char c : std::string("WAVEfmt ")) b.push_back(static_cast<std::uint8_t>(c));
        put32(16);
        put16(1);
        put16(kChannels);
        put32(kRate);
        put32(kRate * kChannels * 2);
        put16(kChannels * 2);
        put16(16);
        for (char c : std::string("data")) b.push_back(static_cast<std::uint8_t>(c));
        put32(dataSize);
        std::mt19937 rng(1);
        std::normal_distribution<double> noise(0.0, 300.0);
        for (std::uint32_t i = 0; i < frames; ++i) {
            const double t = double(i) / kRate;
            const double tremolo = 0.6 + 0.4 * std::sin(2 * M_PI * 0.5 * t);
            const double left = tremolo * (9000 * std::sin(2 * M_PI * 220 * t) +
                                           4000 * std::sin(2 * M_PI * 1760.5 * t));
            const double right = tremolo * (7000 * std::sin(2 * M_PI * 330 * t) +
                                            5000 * std::sin(2 * M_PI * 2637 * t));
            put16(static_cast<std::uint16_t>(
                static_cast<std::int16_t>(std::lround(left + noise(rng)))));
            put16(static_cast<std::uint16_t>(
                static_cast<std::int16_t>(std::lround(right + noise(rng)))));
        }
        return b;
    }();
    return wav;
}

void reportRates(benchmark::State& state) {
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(kSeconds * kRate) * kChannels);
    state.counters["x_realtime"] =
        benchmark::Counter(kSeconds, benchmark::Counter::kIsIterationInvariantRate);
}

void BM_Encode(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    const auto& wav = testWav();
    for (auto _ : state) {
        SpanSource in(wav);
        NullSink out;
        auto r = encode(in, out, mode);
        if (!r) state.SkipWithError(r.error().message().c_str());
        benchmark::DoNotOptimize(out.size());
    }
    state.SetLabel(std::string(modeName(static_cast<Mode>(mode))));
    reportRates(state);
}

void BM_Decode(benchmark::State& state) {
    const int mode = static_cast<int>(state.range(0));
    SpanSource in(testWav());
    VectorSink encoded;
    if (!encode(in, encoded, mode)) state.SkipWithError("encode failed");
    for (auto _ : state) {
        SpanSource phrase(encoded.bytes());
        NullSink out;
        auto r = decode(phrase, out, 2);
        if (!r) state.SkipWithError(r.error().message().c_str());
        benchmark::DoNotOptimize(out.size());
    }
    state.SetLabel(std::string(modeName(static_cast<Mode>(mode))));
    reportRates(state);
}

// MODE2 stereo decode on one thread (0) and on two (2), by wall time.
void BM_DecodeThreads(benchmark::State& state) {
    SpanSource in(testWav());
    VectorSink encoded;
    if (!encode(in, encoded, static_cast<int>(Mode::Mode2))) state.SkipWithError("encode failed");
    DecodeOptions options;
    options.threads = static_cast<int>(state.range(0));
    for (auto _ : state) {
        SpanSource phrase(encoded.bytes());
        NullSink out;
        auto r = decode(phrase, out, 2, nullptr, options);
        if (!r) state.SkipWithError(r.error().message().c_str());
        benchmark::DoNotOptimize(out.size());
    }
    reportRates(state);
}

// Writes the test signal when WQE_BENCH_WAV names a file.
const bool wavWritten = [] {
    const char* path = std::getenv("WQE_BENCH_WAV");
    if (!path || !*path) return false;
    const auto& wav = testWav();
    std::FILE* f = std::fopen(path, "wb");
    const bool ok = f && std::fwrite(wav.data(), 1, wav.size(), f) == wav.size();
    if (f) std::fclose(f);
    std::fprintf(stderr, ok ? "test signal written to %s\n" : "cannot write %s\n", path);
    return ok;
}();

BENCHMARK(BM_Encode)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_Decode)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_DecodeThreads)
    ->Arg(0)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(1.0);

}  // namespace
