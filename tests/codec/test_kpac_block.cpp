// Coded blocks: every header code row of both columns, N and narrowing,
// step constants, field widths, and hand-built blocks that pin the bit
// positions (half-blocks, the shared word of an odd N, MODE1's exchange).
#include <gtest/gtest.h>

#include "codec/KpacDecoder.h"

using namespace wqe::kpac;
using T = BlockType;

TEST(KpacHeaderCode, EveryRowOfBothColumns) {
    struct Row {
        std::uint8_t h;
        T type1;
        int e1, bits1;  // MODE1 column
        T type2;
        int e2, bits2;  // MODE2 and MODE3 column
    };
    const Row rows[] = {
        {0x00, T::E, 2, 2, T::E, 2, 2},   {0x04, T::E, 3, 2, T::E, 3, 2},
        {0x08, T::E, 4, 2, T::E, 4, 2},   {0x3F, T::E, 5, 2, T::E, 5, 2},
        {0x40, T::E, 6, 2, T::E, 6, 2},   {0x74, T::E, 7, 2, T::E, 7, 2},
        {0x48, T::C, 6, 2, T::C, 6, 2},   {0x7F, T::C, 7, 2, T::C, 7, 2},
        {0x80, T::C, 8, 2, T::C, 8, 2},   {0xB4, T::C, 9, 2, T::C, 9, 2},
        {0x88, T::C, 10, 2, T::C, 10, 2}, {0xBF, T::C, 11, 2, T::C, 11, 2},
        {0xC0, T::F, 0, 3, T::F, 1, 3},   {0xD3, T::F, 1, 3, T::F, 2, 3},
        {0xC4, T::F, 2, 3, T::F, 3, 3},   {0xC6, T::F, 3, 3, T::F, 4, 3},
        {0xD8, T::F, 4, 3, T::F, 5, 3},   {0xCA, T::F, 5, 3, T::F, 6, 3},
        {0xCC, T::F, 6, 3, T::E, 8, 3},   {0xDD, T::F, 6, 3, T::E, 8, 3},
        {0xCE, T::E, 8, 3, T::D, 4, 3},   {0xDF, T::E, 8, 3, T::D, 4, 3},
        {0xE0, T::D, 4, 3, T::D, 5, 3},   {0xF3, T::D, 5, 3, T::D, 6, 3},
        {0xE4, T::D, 6, 3, T::D, 7, 3},   {0xE6, T::D, 7, 3, T::D, 8, 3},
        {0xF9, T::D, 8, 3, T::D, 9, 3},   {0xEA, T::D, 9, 3, T::B, 8, 4},
        {0xEB, T::D, 9, 3, T::B, 9, 4},   {0xEC, T::A, 13, 3, T::B, 10, 4},
        {0xED, T::A, 13, 3, T::B, 11, 4}, {0xEE, T::G, 0, 4, T::B, 12, 4},
        {0xEF, T::G, 1, 4, T::A, 13, 4},  {0xFA, T::D, 9, 3, T::D, 10, 4},
        {0xFB, T::D, 9, 3, T::G, 0, 4},   {0xFC, T::A, 13, 3, T::G, 1, 4},
        {0xFD, T::A, 13, 3, T::G, -3, 4}, {0xFE, T::D, 10, 4, T::G, -2, 4},
        {0xFF, T::B, 12, 4, T::G, -1, 4},
    };
    for (const Row& r : rows) {
        const HeaderCode m1 = headerCodeOf(Mode::Mode1, r.h);
        EXPECT_EQ(m1.type, r.type1) << std::hex << int(r.h);
        EXPECT_EQ(m1.exponent, r.e1) << std::hex << int(r.h);
        EXPECT_EQ(m1.headerBits, r.bits1) << std::hex << int(r.h);
        for (Mode m : {Mode::Mode2, Mode::Mode3}) {
            const HeaderCode c = headerCodeOf(m, r.h);
            EXPECT_EQ(c.type, r.type2) << std::hex << int(r.h);
            EXPECT_EQ(c.exponent, r.e2) << std::hex << int(r.h);
            EXPECT_EQ(c.headerBits, r.bits2) << std::hex << int(r.h);
        }
    }
}

// The encoder's header bits read back as the same type and exponent whatever
// the bits after them, and every code with E >= 0 can be written.
TEST(KpacHeaderCode, EncoderHeaderBitsAreTheInverseOfTheCodeTable) {
    for (Mode m : {Mode::Mode1, Mode::Mode2, Mode::Mode3}) {
        int writable = 0;
        for (int t = 0; t < 7; ++t) {
            const auto type = static_cast<T>(0x41 + t);
            for (int e = -3; e <= 13; ++e) {
                const auto bits = headerBitsOf(m, type, e);
                if (!bits) continue;
                ++writable;
                const int free = 4 - bits->headerBits;
                for (int fill0 = 0; fill0 < (1 << free); ++fill0)
                    for (int fill1 = 0; fill1 < (1 << free); ++fill1) {
                        const int h =
                            ((bits->w0Top << free | fill0) << 4) | (bits->w1Top << free | fill1);
                        const HeaderCode c = headerCodeOf(m, static_cast<std::uint8_t>(h));
                        EXPECT_EQ(c.type, type) << modeName(m) << " " << typeLetter(type) << e;
                        EXPECT_EQ(c.exponent, e) << modeName(m) << " " << typeLetter(type) << e;
                        EXPECT_EQ(c.headerBits, bits->headerBits);
                    }
            }
        }
        for (int h = 0; h < 256; ++h) {
            const HeaderCode c = headerCodeOf(m, static_cast<std::uint8_t>(h));
            EXPECT_EQ(headerBitsOf(m, c.type, c.exponent).has_value(), c.exponent >= 0)
                << std::hex << h;
        }
        // A 13, B 12 (MODE1) or 8..12, C 6..11, D 4..10, E 2..8, F 0..6 or 1..6, G 0..1.
        EXPECT_EQ(writable,
                  m == Mode::Mode1 ? 1 + 1 + 6 + 7 + 7 + 7 + 2 : 1 + 5 + 6 + 7 + 7 + 6 + 2);
    }
}

TEST(KpacBlockWidth, BitsPerSampleAndNarrowing) {
    struct Case {
        T type;
        int e, n, d;
    };
    const Case mode2[] = {{T::A, 13, 6, 0}, {T::B, 12, 6, 0}, {T::B, 10, 6, 0}, {T::B, 9, 5, 0},
                          {T::B, 8, 5, 0},  {T::C, 11, 6, 0}, {T::C, 10, 6, 0}, {T::C, 9, 5, 0},
                          {T::C, 7, 5, 0},  {T::C, 6, 4, 0},  {T::D, 10, 6, 0}, {T::D, 8, 6, 0},
                          {T::D, 7, 5, 0},  {T::D, 6, 5, 0},  {T::D, 5, 4, 0},  {T::D, 4, 4, 0},
                          {T::E, 8, 6, 0},  {T::E, 6, 5, 0},  {T::E, 5, 4, 0},  {T::E, 3, 3, 1},
                          {T::E, 2, 3, 1},  {T::F, 6, 5, 0},  {T::F, 4, 4, 0},  {T::F, 1, 3, 1},
                          {T::G, 1, 2, 2},  {T::G, 0, 2, 2},  {T::G, -3, 2, 2}};
    for (const Case& c : mode2) {
        const Width w = widthOf(Mode::Mode2, c.type, c.e);
        EXPECT_EQ(w.n, c.n) << typeLetter(c.type) << c.e;
        EXPECT_EQ(w.d, c.d) << typeLetter(c.type) << c.e;
    }
    EXPECT_EQ(widthOf(Mode::Mode1, T::G, 0).n, 4);
    EXPECT_EQ(widthOf(Mode::Mode1, T::G, 0).d, 0);
    EXPECT_EQ(widthOf(Mode::Mode3, T::E, 2).n, 6);
    EXPECT_EQ(widthOf(Mode::Mode3, T::E, 2).d, 0);
}

TEST(KpacBlockWidth, StepConstants) {
    struct Case {
        int e, n, d;
        std::uint16_t m, r, halfM, halfR;
    };
    const Case cases[] = {
        {13, 4, 0, 0xE000, 0x1000, 0xF000, 0x0800},  // MODE1 type A
        {13, 6, 0, 0xF800, 0x0400, 0xFC00, 0x0200},  // MODE2/3 type A
        {2, 3, 1, 0xFFFC, 0x0002, 0xFFFE, 0x0001},   // E 2 with N = 3
        {0, 2, 2, 0xFFFF, 0x0000, 0xFFFF, 0x0000},   // G 0 with N = 2
        {0, 4, 0, 0xFFFF, 0x0000, 0xFFFF, 0x0000},   // MODE1 F 0
        {6, 4, 0, 0xFFC0, 0x0020, 0xFFE0, 0x0010},  {-3, 2, 2, 0xFFFF, 0x0000, 0xFFFF, 0x0000},
    };
    for (const Case& c : cases) {
        const StepConstants s = stepConstantsOf(c.e, {c.n, c.d});
        EXPECT_EQ(static_cast<std::uint16_t>(s.mask), c.m) << c.e << " " << c.n;
        EXPECT_EQ(static_cast<std::uint16_t>(s.round), c.r) << c.e << " " << c.n;
        EXPECT_EQ(static_cast<std::uint16_t>(s.halfMask), c.halfM) << c.e << " " << c.n;
        EXPECT_EQ(static_cast<std::uint16_t>(s.halfRound), c.halfR) << c.e << " " << c.n;
    }
}

TEST(KpacBlockLayout, FieldsFillEveryHalfBlockExactly) {
    for (Mode m : {Mode::Mode1, Mode::Mode2, Mode::Mode3}) {
        const auto& table = layoutTable(m);  // building it checks 8·N bits per half-block
        for (int h = 0; h < 256; ++h) {
            const BlockLayout& lay = table[static_cast<std::size_t>(h)];
            int bits = lay.headerBits;
            for (int k = 0; k < lay.fieldCount; ++k)
                bits += lay.fields[static_cast<std::size_t>(k)].width;
            EXPECT_EQ(bits, 8 * lay.n) << std::hex << h;
        }
    }
    // Type C with N = 4: s7 5 bits, s6 3, s5 4, s4 3, s3 5, s2 3, s1 4, s0 3.
    const BlockLayout c = layoutOf(Mode::Mode2, T::C, 6);
    const int widths[] = {5, 3, 4, 3, 5, 3, 4, 3};
    ASSERT_EQ(c.fieldCount, 8);
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(c.fields[static_cast<std::size_t>(k)].sample, 7 - k);
        EXPECT_EQ(c.fields[static_cast<std::size_t>(k)].width, widths[k]);
    }
    // The two exceptions where the level lies below the exponent.
    EXPECT_EQ(layoutOf(Mode::Mode2, T::D, 10).fields[0].width, 12 - 10 + 6);
    EXPECT_EQ(layoutOf(Mode::Mode2, T::E, 8).fields[0].width, 12 - 8 + 6);
    EXPECT_EQ(layoutOf(Mode::Mode2, T::E, 8).fields[0].shift, 0);
    // Type A half fields: N = 4 s7 s6 s4 s2 s0; N = 6 s7 s5 s3 s1.
    const BlockLayout a4 = layoutOf(Mode::Mode1, T::A, 13);
    const BlockLayout a6 = layoutOf(Mode::Mode3, T::A, 13);
    for (int k = 0; k < 8; ++k) {
        const auto& f4 = a4.fields[static_cast<std::size_t>(k)];
        const auto& f6 = a6.fields[static_cast<std::size_t>(k)];
        EXPECT_EQ(f4.half, f4.sample != 5 && f4.sample != 3 && f4.sample != 1);
        EXPECT_EQ(f4.width, f4.half ? 4 : 3);
        EXPECT_EQ(f6.half, f6.sample % 2 == 1);
        EXPECT_EQ(f6.width, f6.half ? 6 : 5);
    }
    EXPECT_THROW(layoutOf(Mode::Mode1, T::B, 8), std::logic_error);
}

TEST(KpacDecoderBlock, TypeGWithTwoWordsInterpolatesFromS7AndS3) {
    // MODE2 H = 0xFB: G, E 0, N 2. First half-block: 1111 | s7 = 100 | r3 = -2;
    // second: 1011 | s7 = -20 | r3 = 3.
    const std::uint16_t window[8] = {0xF64E, 0xBEC3, 0xFFFF, 0xFFFF,
                                     0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    std::int16_t p = 0, s[16];
    EXPECT_EQ(decodeCodedBlock(Mode::Mode2, window, p, s), 2);
    const std::int16_t expected[16] = {12, 24, 36, 48, 61, 74, 87, 100,
                                       85, 71, 56, 43, 26, 11, -5, -20};
    EXPECT_EQ(std::vector<std::int16_t>(s, s + 16),
              std::vector<std::int16_t>(expected, expected + 16));
    EXPECT_EQ(p, -20);
}

TEST(KpacDecoderBlock, InterpolationArithmeticOfTheWorkedExample) {
    // s7 = 1000 and s3 = 500 as decoded, q = 0 (arithmetic only: wide fields).
    BlockLayout lay = layoutOf(Mode::Mode2, T::G, 0);
    lay.step = {-1, 0, -1, 0};
    lay.fieldCount = 2;
    lay.fields[0] = {7, 0, 16, 0, false};
    lay.fields[1] = {3, 16, 16, 0, false};
    const std::uint64_t bits = std::uint64_t{1000} << 48;  // r3 = 0: s3 = 0 + h(1000) + h(0)
    std::int16_t s[8];
    decodeHalfBlock(lay, bits, 0, s);
    const std::int16_t expected[8] = {125, 250, 375, 500, 625, 750, 875, 1000};
    EXPECT_EQ(std::vector<std::int16_t>(s, s + 8),
              std::vector<std::int16_t>(expected, expected + 8));
}

TEST(KpacDecoderBlock, OddWidthSharesTheLastWord) {
    // MODE2 type E, E 2, N 3, d 1: every field's value is 4 × field + 2.
    // First half-block bytes 01 5E 30 (w0 and w2's high byte): 00 | s7 10 |
    // s5 -1 | s3 3 | s1 0. Second half-block bytes 00 00 01 (w1 and w2's low
    // byte): 00 | 0 | 0 | 0 | s1 1. w3 must not be read.
    const std::uint16_t window[8] = {0x015E, 0x0000, 0x3001, 0xFFFF,
                                     0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    std::int16_t p = 0, s[16];
    EXPECT_EQ(decodeCodedBlock(Mode::Mode2, window, p, s), 3);
    const std::int16_t expected[16] = {9, 19, 26, 35, 35, 36, 39, 42, 40, 39, 31, 24, 19, 15, 8, 2};
    EXPECT_EQ(std::vector<std::int16_t>(s, s + 16),
              std::vector<std::int16_t>(expected, expected + 16));
}

TEST(KpacDecoderBlock, ModeOneExchangesWordsOneAndTwoBack) {
    // MODE1 H = 0xC0 after the exchange: F, E 0, N 4, step 1. The first
    // half-block (w0, w2) holds s7 = 100, the second (w1, w3) s7 = -50; all
    // other fields 0. In the file w1 and w2 are exchanged.
    const std::uint16_t file[8] = {0xC320, 0x0000, 0x1E70, 0x0000, 0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    std::int16_t p = 0, s[16];
    EXPECT_EQ(decodeCodedBlock(Mode::Mode1, file, p, s), 4);
    const std::int16_t expected[16] = {12, 25, 37, 50, 62, 75,  87,  100,
                                       81, 62, 43, 25, 5,  -13, -32, -50};
    EXPECT_EQ(std::vector<std::int16_t>(s, s + 16),
              std::vector<std::int16_t>(expected, expected + 16));
}

TEST(KpacDecoderBlock, TypeAFieldsAreAbsoluteWithHalfFields) {
    // MODE3 H = 0xEF: A, E 13, N 6. Half fields (s7 s5 s3 s1) are 6 bits with
    // step 2^10, the others 5 bits with step 2^11. Field pattern: every half
    // field 000001, every other 00001 -> 1024 + 512 and 2048 + 1024.
    std::uint64_t bits = std::uint64_t{0xE} << 60;  // 1110 header of w0
    int pos = 4;
    for (int sample = 7; sample >= 0; --sample) {
        const int width = sample % 2 ? 6 : 5;
        bits |= std::uint64_t{1} << (64 - pos - width);
        pos += width;
    }
    std::uint16_t w[8];
    for (int k = 0; k < 3; ++k) w[2 * k] = static_cast<std::uint16_t>(bits >> (48 - 16 * k));
    const std::uint64_t second = (bits & ~(std::uint64_t{0xF} << 60)) | (std::uint64_t{0xF} << 60);
    for (int k = 0; k < 3; ++k) w[2 * k + 1] = static_cast<std::uint16_t>(second >> (48 - 16 * k));
    w[6] = w[7] = 0xFFFF;
    std::int16_t p = 77, s[16];
    EXPECT_EQ(decodeCodedBlock(Mode::Mode3, w, p, s), 6);
    for (int k = 0; k < 16; ++k) EXPECT_EQ(s[k], k % 2 ? 1024 + 512 : 2048 + 1024) << k;
}
