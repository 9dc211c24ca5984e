// Coded blocks: the header code rows of both columns, N and narrowing, field
// widths, and hand-built blocks that pin the bit positions and step sizes
// (half-blocks, the shared word of an odd N, MODE1's exchange).
#include <gtest/gtest.h>

#include "codec/KpacDecoder.h"

using namespace wqe::kpac;
using T = BlockType;
using Samples = std::vector<std::int16_t>;

namespace {

// Decodes one block from eight words (unused ones 0xFFFF); returns the samples.
Samples decodeBlock(Mode m, const std::vector<std::uint16_t>& words, int n) {
    std::uint16_t w[8] = {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    std::copy(words.begin(), words.end(), w);
    std::int16_t p = 0, s[16];
    EXPECT_EQ(decodeCodedBlock(m, w, p, s), n);
    return Samples(s, s + 16);
}

}  // namespace

TEST(KpacHeaderCode, EveryRowOfBothColumns) {
    // Header byte (w0's top four bits, w1's top four), then type, exponent and
    // header bits per half-block for MODE1 and for MODE2 and MODE3.
    // The rows where the type, the exponent's run or the two columns change.
    const std::tuple<std::uint8_t, const char*, const char*> rows[] = {
        {0x00, "E2/2", "E2/2"},   {0x3F, "E5/2", "E5/2"}, {0x48, "C6/2", "C6/2"},
        {0xBF, "C11/2", "C11/2"}, {0xC0, "F0/3", "F1/3"}, {0xCC, "F6/3", "E8/3"},
        {0xE0, "D4/3", "D5/3"},   {0xEA, "D9/3", "B8/4"}, {0xEE, "G0/4", "B12/4"},
        {0xEF, "G1/4", "A13/4"},  {0xFB, "D9/3", "G0/4"}, {0xFF, "B12/4", "G-1/4"},
    };
    for (const auto& [h, mode1, others] : rows)
        for (Mode m : {Mode::Mode1, Mode::Mode2, Mode::Mode3}) {
            const HeaderCode c = headerCodeOf(m, h);
            EXPECT_EQ(typeLetter(c.type) + std::to_string(c.exponent) + "/" +
                          std::to_string(c.headerBits),
                      m == Mode::Mode1 ? mode1 : others)
                << modeName(m) << std::hex << " " << int(h);
        }
}

// The encoder writes exactly the codes the decoder reads: every header byte
// with E >= 0 has header bits, whose top bits of w0 and w1 are that byte's.
TEST(KpacHeaderCode, EncoderHeaderBitsAreTheInverseOfTheCodeTable) {
    for (Mode m : {Mode::Mode1, Mode::Mode2, Mode::Mode3})
        for (int h = 0; h < 256; ++h) {
            const HeaderCode c = headerCodeOf(m, static_cast<std::uint8_t>(h));
            const auto bits = headerBitsOf(m, c.type, c.exponent);
            ASSERT_EQ(bits.has_value(), c.exponent >= 0) << modeName(m) << " " << h;
            if (!bits) continue;
            const int free = 4 - c.headerBits;
            EXPECT_EQ(std::tuple(bits->headerBits, bits->w0Top, bits->w1Top),
                      std::tuple(c.headerBits, (h >> 4) >> free, (h & 15) >> free))
                << modeName(m) << " " << h;
        }
}

TEST(KpacBlockWidth, BitsPerSampleAndNarrowing) {
    const std::tuple<Mode, T, int, int, int> cases[] = {
        // mode, type, E: N, d
        {Mode::Mode2, T::A, 13, 6, 0}, {Mode::Mode2, T::B, 10, 6, 0}, {Mode::Mode2, T::B, 9, 5, 0},
        {Mode::Mode2, T::C, 7, 5, 0},  {Mode::Mode2, T::C, 6, 4, 0},  {Mode::Mode2, T::D, 8, 6, 0},
        {Mode::Mode2, T::D, 6, 5, 0},  {Mode::Mode2, T::D, 4, 4, 0},  {Mode::Mode2, T::E, 3, 3, 1},
        {Mode::Mode2, T::F, 1, 3, 1},  {Mode::Mode2, T::G, 0, 2, 2},  {Mode::Mode2, T::G, -3, 2, 2},
        {Mode::Mode1, T::G, 0, 4, 0},  {Mode::Mode3, T::E, 2, 6, 0},
    };
    for (const auto& [m, type, e, n, d] : cases) {
        const Width w = widthOf(m, type, e);
        EXPECT_EQ(std::pair(w.n, w.d), std::pair(n, d)) << modeName(m) << typeLetter(type) << e;
    }
}

TEST(KpacBlockLayout, FieldWidths) {
    // Type C with N = 4: s7 5 bits, s6 3, s5 4, s4 3, s3 5, s2 3, s1 4, s0 3.
    const BlockLayout c = layoutOf(Mode::Mode2, T::C, 6);
    const int widths[] = {5, 3, 4, 3, 5, 3, 4, 3};
    ASSERT_EQ(c.fieldCount, 8);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(c.fields[static_cast<std::size_t>(k)].sample, 7 - k);
        EXPECT_EQ(c.fields[static_cast<std::size_t>(k)].width, widths[k]);
    }
    // The two exceptions where the level lies below the exponent.
    EXPECT_EQ(layoutOf(Mode::Mode2, T::D, 10).fields[0].width, 8);
    EXPECT_EQ(layoutOf(Mode::Mode2, T::E, 8).fields[0].width, 10);
    EXPECT_EQ(layoutOf(Mode::Mode2, T::E, 8).fields[0].shift, 0);
    // Type A half fields: N = 4 s7 s6 s4 s2 s0 (4 bits, others 3); N = 6 s7 s5 s3 s1.
    for (const auto& f : layoutOf(Mode::Mode1, T::A, 13).fields)
        EXPECT_EQ(f.width, f.sample == 5 || f.sample == 3 || f.sample == 1 ? 3 : 4) << f.sample;
    for (const auto& f : layoutOf(Mode::Mode3, T::A, 13).fields)
        EXPECT_EQ(f.width, f.sample % 2 ? 6 : 5) << f.sample;
    EXPECT_THROW(layoutOf(Mode::Mode1, T::B, 8), std::logic_error);
}

TEST(KpacDecoderBlock, HandBuiltBlocks) {
    const std::tuple<Mode, std::vector<std::uint16_t>, int, Samples> cases[] = {
        // MODE2 type E, E 2, N 3, d 1: every field's value is 4 × field + 2.
        // First half-block bytes 01 5E 30 (w0 and w2's high byte): 00 | s7 10 |
        // s5 -1 | s3 3 | s1 0. Second half-block bytes 00 00 01 (w1 and w2's
        // low byte): 00 | 0 | 0 | 0 | s1 1. w3 must not be read.
        {Mode::Mode2,
         {0x015E, 0x0000, 0x3001},
         3,
         {9, 19, 26, 35, 35, 36, 39, 42, 40, 39, 31, 24, 19, 15, 8, 2}},
        // MODE1 H = 0xC0 after the exchange: F, E 0, N 4, step 1. The first
        // half-block (w0, w2) holds s7 = 100, the second (w1, w3) s7 = -50; in
        // the file w1 and w2 are exchanged.
        {Mode::Mode1,
         {0xC320, 0x0000, 0x1E70, 0x0000},
         4,
         {12, 25, 37, 50, 62, 75, 87, 100, 81, 62, 43, 25, 5, -13, -32, -50}},
    };
    for (const auto& [m, words, n, expected] : cases)
        EXPECT_EQ(decodeBlock(m, words, n), expected) << n;
}
