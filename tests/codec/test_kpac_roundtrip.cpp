// The encoder's promise: decoding what it wrote gives exactly its
// reconstruction, in every compressed mode, mono and stereo, on hard signals.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "codec/KpacDecoder.h"
#include "codec/KpacEncoder.h"
#include "codec/TestSignals.h"

using namespace wqe::kpac;
using namespace wqe::test;
using namespace std::string_literals;

namespace {

using Signal = std::function<std::int32_t(std::size_t i, std::mt19937& rng)>;
// Hard signals in 16-bit range, by name.
const std::pair<const char*, Signal> kSignals[] = {
    {"silence", [](std::size_t, auto&) { return 0; }},
    {"square", [](std::size_t i, auto&) { return (i / 37) % 2 ? 32767 : -32768; }},
    {"alternating", [](std::size_t i, auto&) { return i % 2 ? 32767 : -32768; }},
    {"steps", [](std::size_t i, auto&) { return int((i / 100) % 9) * 8000 - 32000; }},
    {"noise", [](std::size_t, std::mt19937& rng) { return int(rng() % 65536) - 32768; }},
    {"quiet-noise", [](std::size_t, std::mt19937& rng) { return int(rng() % 9) - 4; }},
    {"sine",
     [](std::size_t i, auto&) { return int(std::lround(16383 * std::sin(M_PI * i / 16.0))); }},
    {"spikes",
     [](std::size_t i, auto&) { return i % 29 == 0 ? 32767 : (i % 31 == 0 ? -32768 : 0); }},
    {"ramp", [](std::size_t i, auto&) { return int(i * 977 % 65536) - 32768; }},
    {"chirp",
     [](std::size_t i, auto&) { return int(std::lround(32767 * std::sin(1e-4 * i * i))); }},
};

// The encoder's reconstruction of interleaved 16-bit samples, block by block,
// each channel with its own previous sample.
std::vector<std::int32_t> reconstruction(Mode mode, std::size_t channels,
                                         const std::vector<std::int32_t>& samples) {
    const std::size_t frames = samples.size() / channels, blocks = (frames + 15) / 16;
    std::vector<std::int32_t> out(blocks * 16 * channels);
    std::int16_t previous[2] = {0, 0};
    for (std::size_t b = 0; b < blocks; ++b)
        for (std::size_t ch = 0; ch < channels; ++ch) {
            std::int16_t x[16] = {}, y[16];
            for (std::size_t f = 0; f < 16 && b * 16 + f < frames; ++f)
                x[f] = static_cast<std::int16_t>(samples[(b * 16 + f) * channels + ch]);
            encodeCodedBlock(mode, x, previous[ch], y);
            for (std::size_t f = 0; f < 16; ++f) out[(b * 16 + f) * channels + ch] = y[f];
        }
    return out;
}

}  // namespace

TEST(KpacRoundTrip, DecodingGivesTheEncodersReconstruction) {
    const std::size_t frames = 16 * 40 + 5;
    for (Mode mode : {Mode::Mode1, Mode::Mode2, Mode::Mode3})
        for (std::size_t channels : {1u, 2u})
            for (const auto& [name, signal] : kSignals) {
                // The right channel is noise (square under noise).
                std::mt19937 rng(1), rng2(2);
                std::vector<std::int32_t> samples;
                for (std::size_t i = 0; i < frames; ++i) {
                    samples.push_back(signal(i, rng));
                    if (channels == 2)
                        samples.push_back(kSignals[name == "noise"s ? 1 : 4].second(i, rng2));
                }
                const Bytes wavBytes = makeWav(static_cast<int>(channels), 32000, 16, samples);
                SpanSource wav(wavBytes);
                VectorSink phr, back;
                ASSERT_TRUE(encode(wav, phr, static_cast<int>(mode)));
                SpanSource phrIn(phr.bytes());
                ASSERT_TRUE(decode(phrIn, back, 2));
                EXPECT_TRUE(wavSamples(back.bytes(), 2) == reconstruction(mode, channels, samples))
                    << modeName(mode) << " " << channels << " ch " << name;
            }
}
