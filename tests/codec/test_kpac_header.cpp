// KPAC header: the word order of the block count, golden bytes of a written
// header, raw probing and the name tables. The rejection messages are in the
// broken-input corpus of test_kpac_codec.cpp.
#include <gtest/gtest.h>

#include <vector>

#include "codec/KpacHeader.h"

using namespace wqe::kpac;
using Bytes = std::vector<std::uint8_t>;

namespace {

// grade 3, MODE2, stereo, 1 block
Bytes validHeader() { return {'Q', 'W', 'h', 'P', 's', 'r', 3, 2, 0, 1, 0, 0, 1, 0, 0, 0}; }

}  // namespace

TEST(KpacHeader, BlockCountIsStoredHighWordFirstEachWordLowByteFirst) {
    const auto valid = parseHeader(validHeader());
    ASSERT_TRUE(valid) << valid.error().message();
    EXPECT_EQ(valid->sampleRate(), 32000u);
    EXPECT_EQ(valid->frames(), 16u);
    const std::pair<Bytes, std::uint32_t> cases[] = {
        {{0x01, 0x00, 0x00, 0x00}, 65536},
        {{0x00, 0x00, 0x00, 0x01}, 256},
        {{0x00, 0x01, 0x00, 0x00}, 0x01000000},
        {{0x34, 0x12, 0x78, 0x56}, 0x12345678},
    };
    for (const auto& [b, count] : cases) {
        auto bytes = validHeader();
        std::copy(b.begin(), b.end(), bytes.begin() + 10);
        const auto h = parseHeader(bytes);
        ASSERT_TRUE(h);
        EXPECT_EQ(h->blockCount, count);
        const auto written = writeHeader(*h);
        EXPECT_EQ(Bytes(written.begin(), written.end()), bytes);
    }
    const auto golden = writeHeader(Header{5, Mode::HLinear, 1, 0x00010002});
    EXPECT_EQ(Bytes(golden.begin(), golden.end()),
              (Bytes{'Q', 'W', 'h', 'P', 's', 'r', 5, 4, 0, 0, 1, 0, 2, 0, 0, 0}));
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
    bytes.resize(15);
    EXPECT_FALSE(readRawHeader(bytes));
}

TEST(KpacHeader, GradeAndModeTables) {
    EXPECT_EQ(gradeOfRate(44100), 4);
    EXPECT_FALSE(gradeOfRate(11025));
    EXPECT_EQ(modeName(Mode::HLinear), "H-LINEAR");
    EXPECT_EQ(modeListName(Mode::Mode1), "MODE 1");
    EXPECT_EQ(gradeName(2), "LONG1(22.05kHz)");
    EXPECT_FALSE(isCompressed(Mode::HLinear));
}
