// The encoder's promise: decoding what it wrote gives exactly its
// reconstruction, in every compressed mode, mono and stereo, on hard signals.
#include <gtest/gtest.h>

#include "codec/KpacDecoder.h"
#include "codec/KpacEncoder.h"
#include "codec/TestSignals.h"

using namespace wqe::kpac;
using namespace wqe::test;

namespace {

Bytes encodeBytes(const Bytes& wav, int mode) {
    SpanSource in(wav);
    VectorSink out;
    auto r = encode(in, out, mode);
    EXPECT_TRUE(r) << r.error();
    return out.bytes();
}

Bytes decodeBytes(const Bytes& phr, int outBytes) {
    SpanSource in(phr);
    VectorSink out;
    auto r = decode(in, out, outBytes);
    EXPECT_TRUE(r) << r.error();
    return out.bytes();
}

// The encoder's reconstruction of interleaved 16-bit samples, block by block.
std::vector<std::int32_t> reconstruction(Mode mode, int channels,
                                         const std::vector<std::int32_t>& samples) {
    const std::size_t frames = samples.size() / static_cast<std::size_t>(channels);
    const std::size_t blocks = (frames + 15) / 16;
    std::vector<std::int32_t> out(blocks * 16 * static_cast<std::size_t>(channels));
    std::int16_t previous[2] = {0, 0};
    for (std::size_t b = 0; b < blocks; ++b) {
        for (int ch = 0; ch < channels; ++ch) {
            std::int16_t x[16] = {}, y[16];
            for (std::size_t f = 0; f < 16 && b * 16 + f < frames; ++f)
                x[f] = static_cast<std::int16_t>(
                    samples[(b * 16 + f) * static_cast<std::size_t>(channels) +
                            static_cast<std::size_t>(ch)]);
            encodeCodedBlock(mode, x, previous[ch], y);
            for (std::size_t f = 0; f < 16; ++f)
                out[(b * 16 + f) * static_cast<std::size_t>(channels) +
                    static_cast<std::size_t>(ch)] = y[f];
        }
    }
    return out;
}

}  // namespace

TEST(KpacRoundTrip, DecodingGivesTheEncodersReconstruction) {
    for (Mode mode : {Mode::Mode1, Mode::Mode2, Mode::Mode3}) {
        for (int channels : {1, 2}) {
            for (const auto& name : hardSignalNames()) {
                const std::size_t frames = 16 * 40 + 5;
                std::vector<std::int32_t> samples;
                const auto left = hardSignal(name, frames, 1);
                const auto right = hardSignal(name == "noise" ? "square" : "noise", frames, 2);
                for (std::size_t i = 0; i < frames; ++i) {
                    samples.push_back(left[i]);
                    if (channels == 2) samples.push_back(right[i]);
                }
                const Bytes phr =
                    encodeBytes(makeWav(channels, 32000, 16, samples), static_cast<int>(mode));
                const auto decoded = wavSamples(decodeBytes(phr, 2), 2);
                const auto expected = reconstruction(mode, channels, samples);
                ASSERT_EQ(decoded.size(), expected.size());
                std::size_t mismatches = 0, first = 0;
                for (std::size_t i = 0; i < decoded.size(); ++i)
                    if (decoded[i] != expected[i] && mismatches++ == 0) first = i;
                EXPECT_EQ(mismatches, 0u)
                    << modeName(mode) << " " << channels << " ch " << name << " first at " << first
                    << ": " << decoded[first] << " vs " << expected[first];
            }
        }
    }
}
