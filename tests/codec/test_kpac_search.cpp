// The searching encoder (Quality::Best): what it writes decodes, with the
// decoder, to exactly the reconstruction it carried, in every compressed
// mode, mono and stereo, on hard signals; its files are never larger than
// the standard encoder's and it gains on a fixed signal. (The standard
// encoder's bytes and decodings are pinned by tests/data/kpac, its accuracy
// by the sine gate.) Then the two-thread decoder.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

#include "codec/KpacDecoder.h"
#include "codec/KpacEncoder.h"
#include "codec/KpacSearch.h"
#include "codec/TestSignals.h"

using namespace wqe::kpac;
using namespace wqe::test;

namespace {

// Signals in 16-bit units (24-bit input adds 8 random low bits).
using Signal = std::function<double(std::size_t i, std::mt19937& rng)>;
double voiced(std::size_t i) {  // a vowel-like harmonic series in syllables with pauses
    const double t = double(i) / 32000.0, f0 = 110 + 40 * std::sin(2 * M_PI * 1.3 * t);
    const double syllable = std::sin(M_PI * std::fmod(t * 4, 1.0));
    if (std::fmod(t, 0.75) > 0.5) return 0;
    double v = 0;
    for (int h = 1; h <= 30; ++h) {
        const double f = h * f0, formants = std::exp(-std::pow((f - 700) / 300, 2)) +
                                            0.5 * std::exp(-std::pow((f - 1200) / 400, 2));
        v += (0.05 + formants) / h * std::sin(2 * M_PI * f * t + h);
    }
    return 20000 * syllable * v;
}
const std::pair<const char*, Signal> kSignals[] = {
    {"silence", [](std::size_t, auto&) { return 0.0; }},
    {"full-scale noise", [](std::size_t, auto& rng) { return double(rng() % 65536) - 32768; }},
    {"quiet noise", [](std::size_t, auto& rng) { return double(rng() % 9) - 4; }},
    {"alternating", [](std::size_t i, auto&) { return i % 2 ? 32767.0 : -32768.0; }},
    {"spikes",
     [](std::size_t i, auto&) { return i % 29 == 0 ? 32767.0 : (i % 31 == 0 ? -32768.0 : 0.0); }},
    {"speech-like", [](std::size_t i, auto& rng) { return voiced(i) + double(rng() % 41) - 20; }},
};

// Interleaved samples of `frames` frames; 24-bit values when bits is 24.
std::vector<std::int32_t> samplesOf(const Signal& signal, std::size_t frames, int channels,
                                    int bits) {
    std::mt19937 rng(3);
    std::vector<std::int32_t> s;
    for (std::size_t i = 0; i < frames * static_cast<std::size_t>(channels); ++i) {
        const std::size_t ch = i % static_cast<std::size_t>(channels);
        const double v = signal(i / static_cast<std::size_t>(channels) + 7 * ch, rng);
        const auto x = static_cast<std::int32_t>(std::clamp(std::lround(v), -32768L, 32767L));
        s.push_back(bits == 24 ? x * 256 + static_cast<std::int32_t>(rng() % 256) : x);
    }
    return s;
}

// The reconstruction that Quality::Best carries, interleaved, in 16-bit units
// (24-bit input: its top 16 bits).
template <class Sample>
std::vector<std::int32_t> searchReconstruction(Mode mode, int channels,
                                               const std::vector<std::int32_t>& samples) {
    const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
    std::vector<std::int32_t> out;
    std::size_t block = 0;
    int channel = 0;
    BlockSearch<Sample> search(mode, channels, [&](const CodedBlock&, const Sample* y) {
        out.resize((block + 1) * 16 * static_cast<std::size_t>(channels));
        for (std::size_t f = 0; f < 16; ++f)
            out[(block * 16 + f) * static_cast<std::size_t>(channels) +
                static_cast<std::size_t>(channel)] = sizeof(Sample) == 2 ? y[f] : y[f] >> 16;
        if (++channel == channels) channel = 0, ++block;
    });
    for (std::size_t b = 0; b * 16 < frames; ++b) {
        Sample x[2][16] = {};
        for (std::size_t f = 0; f < 16 && b * 16 + f < frames; ++f)
            for (int ch = 0; ch < channels; ++ch) {
                const std::int32_t v = samples[(b * 16 + f) * static_cast<std::size_t>(channels) +
                                               static_cast<std::size_t>(ch)];
                x[ch][f] = static_cast<Sample>(sizeof(Sample) == 2 ? v : v * 256);
            }
        search.add(x);
    }
    search.finish();
    return out;
}

Bytes encodeWith(const Bytes& wav, Mode mode, Quality quality) {
    SpanSource in(wav);
    VectorSink out;
    const auto r = encode(in, out, static_cast<int>(mode), nullptr, {quality});
    EXPECT_TRUE(r) << (r ? "" : r.error().message());
    return out.bytes();
}

std::vector<std::int32_t> decoded(const Bytes& phrase) {
    SpanSource in(phrase);
    VectorSink out;
    EXPECT_TRUE(decode(in, out, 2));
    return wavSamples(out.bytes(), 2);
}

}  // namespace

TEST(KpacRoundTrip, BestDecodesToItsReconstructionAndIsNoLarger) {
    const std::size_t frames = 16 * 90 + 5;
    for (int bits : {16, 24})
        for (int channels : {1, 2})
            for (Mode mode : {Mode::Mode1, Mode::Mode2, Mode::Mode3})
                for (const auto& [name, signal] : kSignals) {
                    const auto samples = samplesOf(signal, frames, channels, bits);
                    const Bytes wav = makeWav(channels, 32000, bits, samples);
                    const Bytes best = encodeWith(wav, mode, Quality::Best);
                    const auto got = decoded(best);
                    const auto expected =
                        bits == 16 ? searchReconstruction<std::int16_t>(mode, channels, samples)
                                   : searchReconstruction<std::int32_t>(mode, channels, samples);
                    ASSERT_EQ(got.size(), expected.size());
                    // The decoder rebuilds 24-bit input at 16-bit precision: its
                    // interpolations may round one unit apart.
                    int worst = 0;
                    for (std::size_t k = 0; k < got.size(); ++k)
                        worst = std::max(worst, std::abs(got[k] - expected[k]));
                    EXPECT_LE(worst, bits == 16 ? 0 : 2)
                        << modeName(mode) << " " << bits << " bits " << channels << " ch " << name;
                    const Bytes standard = encodeWith(wav, mode, Quality::Standard);
                    EXPECT_LE(best.size(), standard.size()) << modeName(mode) << " " << name;
                    if (mode != Mode::Mode2) {
                        EXPECT_EQ(best.size(), standard.size());
                    }
                }
}

TEST(KpacSearch, GainsOnAFixedSignalAtNoLargerSize) {
    // Two seconds of the speech-like signal at 32 kHz, 16-bit mono.
    const auto samples = samplesOf(kSignals[5].second, 64000, 1, 16);
    const Bytes wav = makeWav(1, 32000, 16, samples);
    auto snr = [&](const Bytes& phrase) {
        const auto got = decoded(phrase);
        double signal = 0, error = 0;
        for (std::size_t k = 0; k < samples.size(); ++k) {
            signal += double(samples[k]) * samples[k];
            error += double(got[k] - samples[k]) * (got[k] - samples[k]);
        }
        return 10 * std::log10(signal / error);
    };
    const std::pair<Mode, double> floors[] = {
        {Mode::Mode1, 0.5}, {Mode::Mode2, 0.45}, {Mode::Mode3, 0.25}};
    for (const auto& [mode, floor] : floors) {
        const Bytes standard = encodeWith(wav, mode, Quality::Standard);
        const Bytes best = encodeWith(wav, mode, Quality::Best);
        EXPECT_GT(snr(best) - snr(standard), floor)
            << modeName(mode) << " " << snr(best) - snr(standard);
        EXPECT_LE(best.size(), standard.size()) << modeName(mode);
    }
}

TEST(KpacDecoder, TwoThreadStereoDecodeIsByteIdenticalToSerial) {
    // Chunks of 1024 block pairs: files of 1, 1024 + 3 and 2 × 1024 + 1 blocks, whole,
    // cut short (missing bytes read as 0xFF) and of arbitrary bytes.
    std::mt19937 rng(11);
    for (std::uint32_t blocks : {1u, 1024u + 3u, 2u * 1024u + 1u}) {
        const Bytes wav = makeWav(2, 32000, 16, samplesOf(kSignals[5].second, 16 * blocks, 2, 16));
        for (Mode mode : {Mode::Mode1, Mode::Mode2, Mode::Mode3}) {
            const auto header = writeHeader(Header{3, mode, 2, blocks});
            Bytes arbitrary(header.begin(), header.end());
            for (std::uint32_t k = 0; k < 20 * blocks; ++k)
                arbitrary.push_back(static_cast<std::uint8_t>(rng()));
            const Bytes best = encodeWith(wav, mode, Quality::Best);
            const Bytes cases[] = {
                encodeWith(wav, mode, Quality::Standard), best,
                Bytes(best.begin(), best.end() - static_cast<long>(std::min<std::size_t>(
                                                     100, (best.size() - 16) / 2))),
                arbitrary};
            for (const Bytes& phrase : cases)
                for (int outBytes : {2, 3}) {
                    VectorSink serial, parallel;
                    SpanSource in1(phrase), in2(phrase);
                    ASSERT_TRUE(decode(in1, serial, outBytes, nullptr, {1}));
                    ASSERT_TRUE(decode(in2, parallel, outBytes, nullptr, {2}));
                    EXPECT_TRUE(serial.bytes() == parallel.bytes())
                        << modeName(mode) << " " << blocks << " blocks, " << phrase.size()
                        << " bytes, " << 8 * outBytes << " bits";
                }
        }
    }
}

// A sink that refuses every write after the first `accept` bytes.
class FullSink : public VectorSink {
public:
    explicit FullSink(std::size_t accept) : accept_(accept) {}
    bool write(const std::uint8_t* src, std::size_t count) override {
        if (bytes().size() + count > accept_) return false;
        return VectorSink::write(src, count);
    }

private:
    std::size_t accept_;
};

// A sink that fails or a cancel ends both decoders with the error, never
// with success, whatever chunk the failure meets.
TEST(KpacDecoder, AFullSinkOrACancelEndsTheDecodeWithItsError) {
    const std::uint32_t blocks = 3 * 1024 + 5;
    const Bytes phrase =
        encodeWith(makeWav(2, 32000, 16, samplesOf(kSignals[5].second, 16 * blocks, 2, 16)),
                   Mode::Mode2, Quality::Standard);
    for (int threads : {1, 2}) {
        SCOPED_TRACE(threads);
        for (std::size_t accept : {std::size_t{0}, std::size_t{44}, std::size_t{100000}}) {
            SpanSource in(phrase);
            FullSink out(accept);
            const auto r = decode(in, out, 2, nullptr, {threads});
            ASSERT_FALSE(r) << accept;
            EXPECT_EQ(r.error().kind, wqe::ErrorKind::WriteFailed);
        }
        std::atomic<bool> cancel{true};
        Progress progress;
        progress.cancel = &cancel;
        SpanSource in(phrase);
        VectorSink out;
        const auto r = decode(in, out, 2, &progress, {threads});
        ASSERT_FALSE(r);
        EXPECT_EQ(r.error().kind, wqe::ErrorKind::Cancelled);
    }
}
