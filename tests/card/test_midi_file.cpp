// The MIDI header and the meta texts that the phrase settings show.
#include <gtest/gtest.h>

#include "card/MidiFile.h"

namespace wqe {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes withHeader(std::uint16_t format, std::uint16_t timeBase, const Bytes& body) {
    auto u8 = [](unsigned v) { return static_cast<std::uint8_t>(v); };
    Bytes f = {'M',
               'T',
               'h',
               'd',
               0,
               0,
               0,
               6,
               u8(format >> 8),
               u8(format),
               0,
               1,
               u8(timeBase >> 8),
               u8(timeBase)};
    f.reserve(f.size() + body.size());
    f.insert(f.end(), body.begin(), body.end());
    return f;
}

TEST(MidiFile, TextsAndTempoOfTheWholeScan) {
    const Bytes body = {
        0xFF, 0x03, 4,    'F',  'i',  'r',  's',       // sequence name
        0xFF, 0x02, 3,    0xFF, 0x51, 0x03,            // notice whose text looks like a tempo event
        0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0,            // 600000 us: 100 bpm
        0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,            // a later tempo does not count
        0xFF, 0x03, 5,    'S',  'e',  'c',  'o', 'n',  // a later name replaces the first
        0xFF, 0x2F, 0x00, 0xFF, 0x03, 4,    'L', 'a', 't', 'e',  // after the end of track
    };
    const Bytes file = withHeader(1, 480, body);
    const auto info = scanMidiInfo(file);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->header.format, 1);
    EXPECT_EQ(info->header.timeBase, 480);
    EXPECT_EQ(info->tempo, 100);
    EXPECT_EQ(info->sequenceName, "Secon");
    EXPECT_EQ(info->notice, std::string("\xFF\x51\x03"));
    // The registration scan reads byte by byte without skipping texts: it
    // takes the notice's bytes for a set-tempo event (value 0xFF5103).
    EXPECT_EQ(scanMidiTempo(file), 3);
}

// The byte after 0xFF is the event's type and never starts another event,
// so registration and phrase copy agree on every file.
TEST(MidiFile, TempoScanAndTempoByte) {
    const struct {
        Bytes body;
        std::optional<int> tempo;
        std::uint8_t tempoByte;
    } cases[] = {
        {{0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0}, 100, 95},
        {{0x00, 0xFF, 0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0}, std::nullopt, 115},
        {{0xFF, 0x2F, 0x00, 0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0}, std::nullopt, 115},
        {{0xFF, 0x51, 0x03, 0x00, 0x00, 0x00}, std::nullopt, 115},  // no tempo from 0
        {{0xFF, 0x51, 0x03, 0x09, 0x27}, std::nullopt, 115},        // cut short
        {{0xFF, 0x51, 0x03, 0x00, 0x27, 0x10}, 6000, 255},          // 10000 us, beyond 260 bpm
        {{0xFF, 0x51, 0x03, 0xFF, 0xFF, 0xFF}, 3, 0},               // below 5 bpm
        {{}, std::nullopt, 115},
    };
    for (const auto& c : cases) {
        const Bytes file = withHeader(0, 96, c.body);
        EXPECT_EQ(scanMidiTempo(file), c.tempo) << &c - cases;
        EXPECT_EQ(midiTempoByte(scanMidiTempo(file)), c.tempoByte) << &c - cases;
    }
}

TEST(MidiFile, CutTextsAndHeaders) {
    EXPECT_EQ(scanMidiInfo(withHeader(0, 96, {0xFF, 0x03, 10, 'a', 'b'}))->sequenceName, "ab");
    EXPECT_FALSE(scanMidiInfo(withHeader(0x0100, 96, {})));
    Bytes short13 = withHeader(0, 96, {});
    short13.pop_back();
    EXPECT_FALSE(readMidiHeader(short13));
    EXPECT_EQ(readMidiHeader(withHeader(2, 96, {}))->format, 2);
}

// Arbitrary bytes never make the scans read outside their input (the
// sanitizer build checks this).
TEST(MidiFile, ArbitraryBytesAreScannedSafely) {
    std::uint32_t seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int round = 0; round < 2000; ++round) {
        Bytes body(next() % 64);
        for (auto& b : body)
            b = (next() >> 16) % 4 == 0 ? 0xFF : static_cast<std::uint8_t>(next() >> 16);
        const Bytes file = withHeader(0, 96, body);
        const auto info = scanMidiInfo(file);
        ASSERT_TRUE(info);
        EXPECT_LE(info->sequenceName.size(), body.size());
        EXPECT_GE(scanMidiTempo(file).value_or(3), 3);  // at least 60000000 / 0xFFFFFF
    }
}

}  // namespace
}  // namespace wqe
