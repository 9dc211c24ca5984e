// The searching encoder (Quality::Best) against the standard encoder, and the
// two-thread stereo decoder against the serial one.
//
// BM_BestQuality/MATERIAL/MODE (one run each; MATERIAL 0 speech, 1 music):
//   32 kHz mono; counters snr_standard, snr_best and gain (dB, whole file) and
//   bytes_standard, bytes_best. Speech is read from the WAV file named by
//   WQE_BENCH_SPEECH (16-bit PCM, any grade rate, first channel; e.g. made
//   with espeak-ng -w speech.wav "..."), resampled to 32 kHz; without it the
//   speech runs are skipped. Music is a generated melody with harmonics,
//   a bass line and noise bursts.
// BM_EncodeBest/MODE: 20 s of 48 kHz stereo music; x_realtime is seconds of
//   audio per CPU second of the encoding thread.
// BM_DecodeStereo/MODE/THREADS: 60 s of 48 kHz stereo music decoded to
//   16-bit; wall-clock time (x_realtime per wall second), so compare
//   THREADS 1 and 2 only on an otherwise idle machine with two cores.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "codec/KpacDecoder.h"
#include "codec/KpacEncoder.h"

namespace {

using namespace wqe::kpac;
using Bytes = std::vector<std::uint8_t>;

Bytes wavOf(int channels, std::uint32_t rate, const std::vector<double>& interleaved) {
    Bytes b;
    auto put = [&b](std::uint32_t v, int bytes) {
        for (int k = 0; k < bytes; ++k) b.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
    };
    const auto dataSize = static_cast<std::uint32_t>(interleaved.size() * 2);
    for (char c : std::string("RIFF")) b.push_back(static_cast<std::uint8_t>(c));
    put(36 + dataSize, 4);
    for (char c : std::string("WAVEfmt ")) b.push_back(static_cast<std::uint8_t>(c));
    put(16, 4);
    put(1, 2);
    put(static_cast<std::uint32_t>(channels), 2);
    put(rate, 4);
    put(rate * static_cast<std::uint32_t>(channels) * 2, 4);
    put(static_cast<std::uint32_t>(channels) * 2, 2);
    put(16, 2);
    for (char c : std::string("data")) b.push_back(static_cast<std::uint8_t>(c));
    put(dataSize, 4);
    for (double v : interleaved)
        put(static_cast<std::uint16_t>(std::clamp(std::lround(v), -32768L, 32767L)), 2);
    return b;
}

// A melody of decaying harmonic notes over a bass line, with noise bursts.
std::vector<double> music(double rate, double seconds, unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0, 1);
    const int scale[] = {0, 2, 4, 7, 9, 12, 14, 16};
    const auto n = static_cast<std::size_t>(rate * seconds),
               per = static_cast<std::size_t>(rate / 4);
    std::vector<double> y(n, 0.0);
    for (std::size_t start = 0, k = 0; start < n; start += per, ++k) {
        const double f = 220 * std::pow(2.0, scale[rng() % 8] / 12.0),
                     bass = 55 * std::pow(2.0, scale[(k / 4) % 4] / 12.0);
        for (std::size_t i = 0; i < 2 * per && start + i < n; ++i) {
            const double t = double(i) / rate,
                         envelope = std::min(1.0, t / 0.01) * std::exp(-6 * t);
            double v = 0;
            for (int h = 1; h <= 8; ++h) v += std::sin(2 * M_PI * f * h * t + h) / h;
            y[start + i] += 6000 * envelope * v;
            if (k % 4 == 0 && i < per)
                y[start + i] += 4000 * std::exp(-3 * t) * std::sin(2 * M_PI * bass * t);
            if (k % 2 == 1 && t < 0.03) y[start + i] += 2500 * std::exp(-150 * t) * noise(rng);
        }
    }
    return y;
}

// Windowed-sinc resampling (Blackman window, 24 taps each side).
std::vector<double> resample(const std::vector<double>& x, double from, double to) {
    const double ratio = from / to, cutoff = 0.97 * std::min(1.0, to / from);
    const int half = 24;
    std::vector<double> y(static_cast<std::size_t>(double(x.size()) / ratio));
    for (std::size_t i = 0; i < y.size(); ++i) {
        const double u = double(i) * ratio;
        const long k0 = static_cast<long>(std::floor(u));
        double acc = 0;
        for (long k = std::max(0L, k0 - half + 1); k <= k0 + half && k < long(x.size()); ++k) {
            const double d = u - double(k),
                         w = 0.42 + 0.5 * std::cos(M_PI * d / half) +
                             0.08 * std::cos(2 * M_PI * d / half),
                         s = d == 0 ? 1 : std::sin(M_PI * cutoff * d) / (M_PI * cutoff * d);
            acc += x[static_cast<std::size_t>(k)] * cutoff * s * w;
        }
        y[i] = acc;
    }
    return y;
}

// The speech WAV file's first channel at 32 kHz; empty without one.
const std::vector<double>& speech() {
    static const std::vector<double> samples = [] {
        std::vector<double> s;
        const char* path = std::getenv("WQE_BENCH_SPEECH");
        std::FILE* f = path ? std::fopen(path, "rb") : nullptr;
        if (!f) return s;
        Bytes b;
        for (int c; (c = std::fgetc(f)) != EOF;) b.push_back(static_cast<std::uint8_t>(c));
        std::fclose(f);
        if (b.size() < 44) return s;
        const std::uint32_t rate = b[24] | b[25] << 8 | b[26] << 16 | std::uint32_t{b[27]} << 24;
        const std::size_t frame = 2 * std::size_t{b[22]};
        for (std::size_t at = 44; at + 1 < b.size(); at += frame)
            s.push_back(static_cast<std::int16_t>(b[at] | b[at + 1] << 8));
        return resample(s, rate, 32000);
    }();
    return samples;
}

Bytes encoded(const Bytes& wav, int mode, Quality quality) {
    SpanSource in(wav);
    VectorSink out;
    if (!encode(in, out, mode, nullptr, {quality})) return {};
    return out.bytes();
}

double snr(const std::vector<double>& reference, const Bytes& phrase) {
    SpanSource in(phrase);
    VectorSink out;
    if (!decode(in, out, 2)) return 0;
    double signal = 0, error = 0;
    for (std::size_t i = 0; i < reference.size(); ++i) {
        const double x = std::clamp(std::round(reference[i]), -32768.0, 32767.0);
        const auto y =
            static_cast<std::int16_t>(out.bytes()[44 + 2 * i] | out.bytes()[45 + 2 * i] << 8);
        signal += x * x;
        error += (y - x) * (y - x);
    }
    return 10 * std::log10(signal / error);
}

void BM_BestQuality(benchmark::State& state) {
    static const std::vector<double> tune = music(32000, 20, 1);
    const std::vector<double>& material = state.range(0) == 0 ? speech() : tune;
    const int mode = static_cast<int>(state.range(1));
    if (material.empty()) {
        state.SkipWithError("set WQE_BENCH_SPEECH to a speech WAV file");
        return;
    }
    const Bytes wav = wavOf(1, 32000, material);
    Bytes standard, best;
    for (auto _ : state) {
        standard = encoded(wav, mode, Quality::Standard);
        best = encoded(wav, mode, Quality::Best);
    }
    const double before = snr(material, standard), after = snr(material, best);
    state.counters["snr_standard"] = before;
    state.counters["snr_best"] = after;
    state.counters["gain"] = after - before;
    state.counters["bytes_standard"] = double(standard.size());
    state.counters["bytes_best"] = double(best.size());
    state.SetLabel(std::string(state.range(0) == 0 ? "speech " : "music ") +
                   std::string(modeName(static_cast<Mode>(mode))));
}

// Stereo music at 48 kHz, a different tune per channel.
Bytes stereoWav(double seconds) {
    const std::vector<double> left = music(48000, seconds, 1), right = music(48000, seconds, 2);
    std::vector<double> both;
    for (std::size_t i = 0; i < left.size(); ++i) both.insert(both.end(), {left[i], right[i]});
    return wavOf(2, 48000, both);
}

void BM_EncodeBest(benchmark::State& state) {
    static const Bytes wav = stereoWav(20);
    const int mode = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(encoded(wav, mode, Quality::Best).size());
    state.counters["x_realtime"] =
        benchmark::Counter(20, benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel(std::string(modeName(static_cast<Mode>(mode))));
}

void BM_DecodeStereo(benchmark::State& state) {
    static const Bytes wav = stereoWav(60);
    const int mode = static_cast<int>(state.range(0));
    const Bytes phrase = encoded(wav, mode, Quality::Standard);
    for (auto _ : state) {
        SpanSource in(phrase);
        NullSink out;
        if (!decode(in, out, 2, nullptr, {static_cast<int>(state.range(1))}))
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(out.size());
    }
    state.counters["x_realtime"] =
        benchmark::Counter(60, benchmark::Counter::kIsIterationInvariantRate);
    state.SetLabel(std::string(modeName(static_cast<Mode>(mode))));
}

BENCHMARK(BM_BestQuality)
    ->ArgsProduct({{0, 1}, {1, 2, 3}})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncodeBest)->DenseRange(1, 3)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_DecodeStereo)
    ->ArgsProduct({{1, 2, 3}, {1, 2}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(1.0)
    ->UseRealTime();

}  // namespace
