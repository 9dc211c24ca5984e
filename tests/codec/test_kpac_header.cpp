// KPAC header: every validation rule, the word order of the block count, and
// golden bytes of a written header.
#include <gtest/gtest.h>

#include <vector>

#include "codec/KpacHeader.h"

using namespace wqe::kpac;

namespace {

std::vector<std::uint8_t> validHeader() {
    // grade 3, MODE2, stereo, 1 block
    return {'Q', 'W', 'h', 'P', 's', 'r', 3, 2, 0, 1, 0, 0, 1, 0, 0, 0};
}

}  // namespace

TEST(KpacHeader, ReadsAValidHeader) {
    const auto h = parseHeader(validHeader());
    ASSERT_TRUE(h) << h.error();
    EXPECT_EQ(h->grade, 3);
    EXPECT_EQ(h->mode, Mode::Mode2);
    EXPECT_EQ(h->channels, 2);
    EXPECT_EQ(h->blockCount, 1u);
    EXPECT_EQ(h->sampleRate(), 32000u);
    EXPECT_EQ(h->frames(), 16u);
}

TEST(KpacHeader, BlockCountIsStoredHighWordFirstEachWordLowByteFirst) {
    struct Case {
        std::uint8_t b[4];
        std::uint32_t count;
    };
    const Case cases[] = {
        {{0x01, 0x00, 0x00, 0x00}, 65536},      {{0x00, 0x00, 0x01, 0x00}, 1},
        {{0x00, 0x00, 0x00, 0x01}, 256},        {{0x00, 0x01, 0x00, 0x00}, 0x01000000},
        {{0x34, 0x12, 0x78, 0x56}, 0x12345678}, {{0xFF, 0xFF, 0xFF, 0xFF}, 0xFFFFFFFF},
    };
    for (const auto& c : cases) {
        auto bytes = validHeader();
        std::copy(c.b, c.b + 4, bytes.begin() + 10);
        const auto h = parseHeader(bytes);
        ASSERT_TRUE(h);
        EXPECT_EQ(h->blockCount, c.count);
        const auto written = writeHeader(*h);
        EXPECT_EQ(std::vector<std::uint8_t>(written.begin(), written.end()), bytes);
    }
}

TEST(KpacHeader, EveryRuleRejectsWithItsOwnMessage) {
    struct Case {
        std::size_t offset;
        std::uint8_t value;
        const char* message;
    };
    const Case cases[] = {
        {0, 'W', "not a KPAC file (it does not begin with \"QWhP\")"},
        {3, 'h', "not a KPAC file (it does not begin with \"QWhP\")"},
        {4, 'r', "not a KPAC file (bytes 4 and 5 are 0x72 0x72, not \"sr\")"},
        {5, 0, "not a KPAC file (bytes 4 and 5 are 0x73 0x00, not \"sr\")"},
        {6, 6, "grade 6 (byte 6) is not one of 0..5"},
        {6, 255, "grade 255 (byte 6) is not one of 0..5"},
        {7, 5, "mode 5 (byte 7) is not one of 0..4"},
        {8, 1, "reserved byte 8 is 0x01, not 0"},
        {9, 2, "channel field 2 (byte 9) is not 0 (mono) or 1 (stereo)"},
        {14, 0x80, "reserved bytes 14 and 15 are 0x80 0x00, not 0"},
        {15, 1, "reserved bytes 14 and 15 are 0x00 0x01, not 0"},
    };
    for (const auto& c : cases) {
        auto bytes = validHeader();
        bytes[c.offset] = c.value;
        const auto h = parseHeader(bytes);
        EXPECT_FALSE(h) << "offset " << c.offset;
        EXPECT_EQ(h.error(), c.message);
    }
}

TEST(KpacHeader, EveryGradeModeAndChannelValueInRangeIsAccepted) {
    for (int grade = 0; grade < kGradeCount; ++grade)
        for (int mode = 0; mode < kModeCount; ++mode)
            for (int ch = 0; ch < 2; ++ch) {
                auto bytes = validHeader();
                bytes[6] = static_cast<std::uint8_t>(grade);
                bytes[7] = static_cast<std::uint8_t>(mode);
                bytes[9] = static_cast<std::uint8_t>(ch);
                const auto h = parseHeader(bytes);
                ASSERT_TRUE(h) << h.error();
                EXPECT_EQ(h->grade, grade);
                EXPECT_EQ(static_cast<int>(h->mode), mode);
                EXPECT_EQ(h->channels, ch + 1);
            }
}

TEST(KpacHeader, TruncatedHeaderIsNotAKpacFile) {
    auto bytes = validHeader();
    bytes.resize(15);
    EXPECT_FALSE(readRawHeader(bytes));
    const auto h = parseHeader(bytes);
    EXPECT_FALSE(h);
    EXPECT_EQ(h.error(), "not a KPAC file (15 bytes; the header alone has 16)");
    EXPECT_FALSE(parseHeader({}));
}

TEST(KpacHeader, RawHeaderKeepsInvalidFieldsForProbing) {
    auto bytes = validHeader();
    bytes[6] = 9;
    bytes[7] = 7;
    const auto raw = readRawHeader(bytes);
    ASSERT_TRUE(raw);
    EXPECT_TRUE(raw->hasMagic());
    EXPECT_EQ(raw->grade, 9);
    EXPECT_EQ(raw->mode, 7);
    EXPECT_FALSE(validateHeader(*raw));
}

TEST(KpacHeader, WrittenHeaderGoldenBytes) {
    const Header h{5, Mode::HLinear, 1, 0x00010002};
    const auto bytes = writeHeader(h);
    const std::array<std::uint8_t, 16> golden = {'Q', 'W', 'h', 'P', 's', 'r', 5, 4,
                                                 0,   0,   1,   0,   2,   0,   0, 0};
    EXPECT_EQ(bytes, golden);
}

TEST(KpacHeader, GradeAndModeTables) {
    EXPECT_EQ(gradeOfRate(44100), 4);
    EXPECT_EQ(gradeOfRate(8000), 0);
    EXPECT_FALSE(gradeOfRate(96000));
    EXPECT_FALSE(gradeOfRate(11025));
    EXPECT_EQ(gradeRateList(), "8000, 16000, 22050, 32000, 44100, 48000");
    EXPECT_EQ(modeName(Mode::HLinear), "H-LINEAR");
    EXPECT_EQ(modeListName(Mode::HLinear), "HI-LINEAR");
    EXPECT_EQ(modeListName(Mode::Mode1), "MODE 1");
    EXPECT_EQ(gradeName(2), "LONG1(22.05kHz)");
    EXPECT_EQ(gradeName(6), "");
    EXPECT_TRUE(isCompressed(Mode::Mode3));
    EXPECT_FALSE(isCompressed(Mode::HLinear));
}
