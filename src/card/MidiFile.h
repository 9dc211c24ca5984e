// Standard MIDI files ".MID" as far as the editor reads them: the 14-byte
// header chunk, the first set-tempo event and the sequence name and
// copyright notice texts.
//
// Header (big-endian):
//    0  4  "MThd"
//    4  4  header length (6)
//    8  2  format 0, 1 or 2 (a non-zero high byte is not recognised)
//   10  2  track count
//   12  2  time base (ticks per quarter note)
//
// Meta events are found by scanning the bytes after the header for 0xFF and
// taking the next byte as the meta type; the scan does not parse the tracks.
// The type byte belongs to the event: it is never itself taken as the 0xFF
// that starts another one, so "FF FF 51 03 09 27 C0" is a meta event of type
// 0xFF followed by plain bytes, not a set-tempo event.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace wqe {

inline constexpr std::size_t kMidiHeaderSize = 14;
// Tempo used when a file has no usable set-tempo event (a tempo byte of 115).
inline constexpr int kMidiDefaultTempo = 120;
// The tempo range of the phrase records (tempo byte + 5).
inline constexpr int kMidiTempoMin = 5;
inline constexpr int kMidiTempoMax = 260;

struct MidiHeader {
    std::uint16_t format = 0;
    std::uint16_t timeBase = 0;
};

// The header of a MIDI file: 14 bytes, "MThd" and a zero high byte of the
// format word; nullopt otherwise.
std::optional<MidiHeader> readMidiHeader(std::span<const std::uint8_t> bytes);

// Tempo in beats per minute of the first set-tempo event (0xFF 0x51, a length
// byte, 24-bit microseconds per quarter note): 60000000 / value. The scan
// starts after the header and ends at the first set-tempo event, at an
// end-of-track event (0xFF 0x2F) or at the end of the bytes. nullopt when no
// set-tempo event comes first or its value is 0.
std::optional<int> scanMidiTempo(std::span<const std::uint8_t> bytes);

// The tempo byte of a phrase record for a file's tempo: tempo - 5, where a
// missing tempo counts as 120 and a tempo outside 5..260 is brought into it.
std::uint8_t midiTempoByte(std::optional<int> tempo);

// What the phrase settings show of a MIDI file: the header, the first tempo,
// and the last sequence name (0xFF 0x03) and copyright notice (0xFF 0x02)
// texts, as raw bytes. Text events are skipped over whole; the scan ends at
// an end-of-track event or the end of the bytes.
struct MidiInfo {
    MidiHeader header;
    std::optional<int> tempo;
    std::string sequenceName;
    std::string notice;
};
std::optional<MidiInfo> scanMidiInfo(std::span<const std::uint8_t> bytes);

// A MIDI file recognised on disk: its length and tempo. nullopt when the file
// is missing, unreadable or not a MIDI file (the reason goes to `error`).
struct MidiProbe {
    std::uint64_t fileLength = 0;
    std::optional<int> tempo;
};
std::optional<MidiProbe> probeMidiFile(const std::filesystem::path& path,
                                       std::string* error = nullptr);

}  // namespace wqe
