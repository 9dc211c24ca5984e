// The MIDI header and the meta texts that the phrase settings show.
#include <gtest/gtest.h>

#include "card/MidiFile.h"

namespace wqe {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes withHeader(unsigned format, unsigned timeBase, const Bytes& body) {
    Bytes f = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
    for (unsigned v : {format >> 8, format & 0xFF, 0u, 1u, timeBase >> 8, timeBase & 0xFF})
        f.push_back(static_cast<std::uint8_t>(v));
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
        {{0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20}, 120, 115},
        {{0xFF, 0x51, 0x03, 0x03, 0x85, 0x72}, 259, 254},  // the last tempo below the cap
        {{0xFF, 0x51, 0x03, 0xE4, 0xE1, 0xC0}, 4, 0},
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

}  // namespace
}  // namespace wqe
