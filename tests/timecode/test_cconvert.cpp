// Time code conversion: the edge cases of every MTC type, drop-frame minute
// and ten-minute boundaries, block conversions and round trips.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

#include "timecode/CConvert.h"

namespace wqe {
namespace {

using Hmsft = std::array<int, 5>;  // hours, minutes, seconds, frames, tenths of a frame

TimeCode makeTc(Hmsft v, int type) {
    auto u8 = [](int x) { return static_cast<std::uint8_t>(x); };
    return {u8(v[0]), u8(v[1]), u8(v[2]), u8(v[3]),
            u8(v[4]), 0,        0,        static_cast<std::uint32_t>(type)};
}
Hmsft fieldsOf(const TimeCode& tc) {
    return {tc.hours, tc.minutes, tc.seconds, tc.frames, tc.tenths};
}

// Rows that hold both ways are checked both ways; the others only one way.
// The round trips below check every field; these rows anchor the absolute
// values: the first of each type, the carries and the dropped frames.
TEST(CConvert, MillisecondsAndTimeCodes) {
    enum Way { Both, ToTc, ToMs };
    struct Case {
        std::uint64_t ms;
        int type;
        Hmsft tc;
        Way way;
    };
    const Case cases[] = {
        {0, 0, {0, 0, 0, 0, 0}, Both},
        {1017, 0, {0, 0, 1, 0, 5}, Both},      // 51 hundredths: last digit 1 stays
        {999, 0, {0, 0, 1, 0, 0}, ToTc},       // rounding reaches 30 frames: next second
        {59999, 0, {0, 1, 0, 0, 0}, ToTc},     // and carries into the minute
        {86400000, 0, {0, 0, 0, 0, 0}, ToTc},  // a whole day wraps to zero
        {1500, 3, {0, 0, 1, 12, 5}, Both},
        {500, 4, {0, 0, 0, 12, 0}, Both},
        {1000, 1, {0, 0, 1, 0, 0}, ToTc},  // 29N runs 1/1000 slow: 2997 hundredths round up
        {1001, 1, {0, 0, 1, 0, 0}, Both},
        {60060, 2, {0, 1, 0, 2, 0}, Both},    // first frame of minute 1
        {60060, 2, {0, 1, 0, 0, 0}, ToMs},    // frames 0 and 1 of minute 1 read as frame 2
        {600000, 2, {0, 10, 0, 0, 0}, Both},  // minute 10 keeps frames 0 and 1
        // Beyond 32 bits the time code still wraps every day of its clock.
        {86400000ull * 100000 + 1017, 0, {0, 0, 1, 0, 5}, ToTc},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ms << " ms, type " << c.type);
        if (c.way != ToMs) {
            const TimeCode tc = CConvert::MsToTimeCode(c.ms, c.type);
            EXPECT_EQ(fieldsOf(tc), c.tc);
            EXPECT_EQ(tc.type, static_cast<std::uint32_t>(c.type));
            if (c.ms < (1ull << 32)) {
                EXPECT_EQ(tc.ms, c.ms);
            }
        }
        if (c.way != ToTc) {
            EXPECT_EQ(CConvert::TimeCodeToMs(makeTc(c.tc, c.type)), c.ms);
        }
    }
    // The remainder is taken before rounding: 33 ms at 30 fps is 792 units,
    // 792 mod 800 mod 80 = 72 -> 3 ms; at 25 fps 1 ms is 24 units.
    EXPECT_EQ(CConvert::MsToTimeCode(33, 0).remainder, 3u);
    EXPECT_EQ(CConvert::MsToTimeCode(1, 3).remainder, 1u);
    TimeCode tc = makeTc({0, 0, 1, 0, 0}, 1);  // 29N adds the stored remainder
    tc.remainder = 2;
    EXPECT_EQ(CConvert::TimeCodeToMs(tc), 1003u);
    // An unknown type gives an all-zero time code.
    EXPECT_EQ(CConvert::MsToTimeCode(1234, 5), TimeCode{});
    EXPECT_EQ(CConvert::TimeCodeToMs(makeTc({0, 0, 1, 0, 0}, 7)), 0u);
}

// Every time code the conversion can produce converts back to itself.
TEST(CConvert, TimeCodesSurviveTheRoundTrip) {
    for (int type = 0; type < kMtcTypeCount; ++type)
        for (int h : {0, 1, 23})
            for (int m : {0, 1, 9, 10, 11, 59})
                for (int s : {0, 1, 30, 59})
                    for (int f = 0; f < mtcFramesPerSecond(type); ++f)
                        for (int t = 0; t < 10; ++t) {
                            if (type == 2 && m % 10 != 0 && s == 0 && f < 2)
                                continue;  // dropped frames
                            const Hmsft in = {h, m, s, f, t};
                            ASSERT_EQ(fieldsOf(CConvert::MsToTimeCode(
                                          CConvert::TimeCodeToMs(makeTc(in, type)), type)),
                                      in)
                                << "type " << type;
                        }
}

// Milliseconds come back within the resolution of a tenth of a frame; the
// count of tenths and the packed form drop only the 29N remainder.
TEST(CConvert, MillisecondsSurviveTheRoundTripWithinATenthOfAFrame) {
    for (int type = 0; type < kMtcTypeCount; ++type) {
        const long tolerance = 1000 / (10 * mtcFramesPerSecond(type)) + 2;
        for (std::uint32_t ms = 0; ms < 200000; ms += 7) {
            for (std::uint32_t base : {0u, 3000000u, 36000000u}) {
                const std::uint32_t in = base + ms;
                TimeCode tc = CConvert::MsToTimeCode(in, type);
                ASSERT_LE(std::labs(long(CConvert::TimeCodeToMs(tc)) - long(in)), tolerance)
                    << in << " ms, " << type;
                tc.remainder = 0;
                const std::uint32_t withoutRemainder = CConvert::TimeCodeToMs(tc);
                ASSERT_EQ(CConvert::TenthsToMs(CConvert::MsToTenths(in, type), type),
                          withoutRemainder)
                    << in;
                const PackedTimeCode p = CConvert::MsToPacked(in, type);
                ASSERT_EQ(CConvert::PackedToMs(p.hours, p.packed, type), withoutRemainder) << in;
            }
        }
    }
}

TEST(CConvert, TenthsAndPackedTimeCodes) {
    EXPECT_EQ(CConvert::MsToTenths(1017, 0), 305u);                       // 1 s, frame 0, tenth 5
    EXPECT_EQ(CConvert::TenthsToMs(100u * 3600 * 25 * 10 + 10, 3), 40u);  // hours modulo 100
    const PackedTimeCode p = CConvert::MsToPacked(3723017, 0);
    EXPECT_EQ(p.hours, 1);
    EXPECT_EQ(p.packed, 0x02030005u);
    // Fields beyond their range carry through the count of tenths.
    EXPECT_EQ(CConvert::PackedToMs(0, 0x00001E00, 0), 1000u);
    EXPECT_EQ(CConvert::PackedToMs(0, 0x01000200, 2), 60060u);
    EXPECT_EQ(CConvert::MsToPacked(5, 9), PackedTimeCode{});
}

TEST(CConvert, BlockConversions) {
    struct Case {
        std::uint32_t blocks;
        int grade;
        std::uint32_t ms;
    };
    const Case toMs[] = {{1000, 0, 2000},
                         {1000, 2, 725},
                         {3000, 5, 1000},
                         {6000, 6, 1000},
                         {1000, -1, 0},
                         {0xFFFFFFFFu, 0, 0xFFFFFFFFu},  // 8.6e9 ms: beyond 32 bits
                         {0xFFFFFFFFu, 5, 1431655765u}};
    for (const Case& c : toMs)
        EXPECT_EQ(CConvert::BlocksToMs(c.blocks, c.grade), c.ms) << c.blocks << '@' << c.grade;
    const Case toBlocks[] = {{3000, 5, 1000}, {689, 2, 500}, {0, 9, 1000}, {6000, 6, 1000}};
    for (const Case& c : toBlocks)
        EXPECT_EQ(CConvert::MsToBlocks(c.ms, c.grade), c.blocks) << c.ms << '@' << c.grade;
    // 1000 blocks at 8 kHz = 2000 ms = 60 frames at type 0.
    EXPECT_EQ(CConvert::BlocksToTenths(1000, 0, 0), 600u);
    EXPECT_EQ(CConvert::TenthsToBlocks(600, 0, 0), 1000u);
}

}  // namespace
}  // namespace wqe
