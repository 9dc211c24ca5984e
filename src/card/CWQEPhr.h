// Phrase settings file "_WQ7TPHR.CNF" (80-byte records, little-endian) and
// "_WQ5TPHR.CNF" (48-byte records, big-endian): one getter and one setter per
// field and phrase index over the byte image. An index whose record does not
// lie wholly inside the image reads as the defaults and writes nothing.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "card/CWQEData.h"

namespace wqe {

// Numeric fields of a phrase record.
//   X(Accessor, "cli-name", WQ-7000 offset, WQ-5000 offset, size,
//     WQ-7000 default, WQ-5000 default, WQ-7000 max, WQ-5000 max)
// Offsets are from the start of the record; -1 means the model lacks the
// field. Every minimum is 0.
//
// WQ-7000 record (80 bytes):
//   0 u8 type 0 empty, 1 audio, 2 MIDI, 3 pattern, 4 song
//   1 u8 repeat switch (0 OFF)      2 u8 control output switch (0 OFF)
//   3 u8 repeat count (0 ENDLESS)   4 u16 repeat interval, s
//   6 u16 control output time, s    8 u16 delay, ms
//  10 13 bytes name: 12 characters, blank-padded, zero byte
//  23 u8 grade 0..5   24 u8 mode 0..4, 5 = WAV data file   25 u8 recording type 0 MONO 1 STEREO
//  26 u16 data offset (16 for KPAC)   28 u32 length, blocks   32 u32 data file length, bytes
//  36 u32 start point  40 u32 end point  44 u32 loop 1 point  48 u32 loop 2 point (blocks)
//  52 u8 volume %   53 u8 loop switch   54 u8 loop count (0 ENDLESS)   55 not interpreted
//  56 u16 fade in   58 u16 fade out (0 OFF, 1..3 TIME1..3, n >= 4: n-3 tenths)
//  60 u8 pattern mode 0 SEQUENCE .. 3 RANDOM3   61 u8 1 when registered, 0 when erased
//  62 u8 tempo (115 when registered)   63 u8 second tempo byte (115 registered, 0 erased)
//  64 u16, 66..70: cleared on erase    71..79 not interpreted
//
// WQ-5000 record (48 bytes):
//   0 u8 used (0 empty)   1 u8 cleared on erase   2 u8 grade 0..4   3 u8 mode 0..2
//   4 u8 recording type   5 u8 MIDI flag (1 = MIDI)   6 u32 length, blocks
//  10 u32 data file length   14 u8 volume %   15 u8 pattern mode 0 none, 1 SEQUENCE .. 4 RANDOM3
//  16 u16 delay, tenths   18 u16 control output, s (32768 OFF)   20 u16 repeat, s (32768 OFF)
//  22 12 bytes name: 11 characters, blank-padded, zero byte
//  34 u32 start point   38 u32 end point   42 u8 tempo   43 u8 second tempo byte   44..47 not
//  interpreted
#define WQE_PHRASE_FIELDS(X)                                                       \
    X(Type, "type", 0, -1, 1, 0, 0, 4, 0)                                          \
    X(Used, "used", -1, 0, 1, 0, 0, 0, 255)                                        \
    X(RepeatSwitch, "repeat-switch", 1, -1, 1, 0, 0, 255, 0)                       \
    X(ControlOutputSwitch, "control-output-switch", 2, -1, 1, 0, 0, 255, 0)        \
    X(RepeatCount, "repeat-count", 3, -1, 1, 0, 0, 255, 0)                         \
    X(RepeatInterval, "repeat-interval", 4, -1, 2, 0, 0, 65535, 0)                 \
    X(ControlOutputTime, "control-output-time", 6, -1, 2, 32768, 0, 65535, 0)      \
    X(Delay, "delay", 8, 16, 2, 0, 0, 65535, 65535)                                \
    X(Grade, "grade", 23, 2, 1, 0, 0, 5, 4)                                        \
    X(Mode, "mode", 24, 3, 1, 0, 0, 5, 2)                                          \
    X(RecordingType, "recording-type", 25, 4, 1, 0, 0, 1, 1)                       \
    X(MidiFlag, "midi-flag", -1, 5, 1, 0, 0, 0, 255)                               \
    X(DataOffset, "data-offset", 26, -1, 2, 0, 0, 65535, 0)                        \
    X(Length, "length", 28, 6, 4, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF)                    \
    X(DataFileLength, "data-file-length", 32, 10, 4, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF) \
    X(StartPoint, "start-point", 36, 34, 4, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF)          \
    X(EndPoint, "end-point", 40, 38, 4, 0, 0, 0xFFFFFFFF, 0xFFFFFFFF)              \
    X(Loop1Point, "loop1-point", 44, -1, 4, 0, 0, 0xFFFFFFFF, 0)                   \
    X(Loop2Point, "loop2-point", 48, -1, 4, 0, 0, 0xFFFFFFFF, 0)                   \
    X(Volume, "volume", 52, 14, 1, 100, 100, 100, 100)                             \
    X(LoopSwitch, "loop-switch", 53, -1, 1, 0, 0, 255, 0)                          \
    X(LoopCount, "loop-count", 54, -1, 1, 0, 0, 255, 0)                            \
    X(FadeIn, "fade-in", 56, -1, 2, 0, 0, 65535, 0)                                \
    X(FadeOut, "fade-out", 58, -1, 2, 0, 0, 65535, 0)                              \
    X(PatternMode, "pattern-mode", 60, 15, 1, 0, 0, 3, 4)                          \
    X(Registered, "registered", 61, -1, 1, 0, 0, 255, 0)                           \
    X(Tempo, "tempo", 62, 42, 1, 0, 115, 255, 255)                                 \
    X(Tempo2, "tempo2", 63, 43, 1, 0, 115, 255, 255)                               \
    X(ControlOutput, "control-output", -1, 18, 2, 0, 32768, 0, 65535)              \
    X(Repeat, "repeat", -1, 20, 2, 0, 0, 0, 65535)

struct PhraseFieldInfo {
    const char* name;
    int offset7000, offset5000;
    int size;  // 1, 2 or 4 bytes
    std::uint32_t default7000, default5000;
    std::uint32_t max7000, max5000;

    int offset(Model m) const { return m == Model::WQ7000 ? offset7000 : offset5000; }
    bool exists(Model m) const { return offset(m) >= 0; }
    std::uint32_t defaultValue(Model m) const {
        return m == Model::WQ7000 ? default7000 : default5000;
    }
    std::uint32_t max(Model m) const { return m == Model::WQ7000 ? max7000 : max5000; }
};

enum class PhraseField {
#define WQE_X(acc, name, o7, o5, sz, d7, d5, mx7, mx5) acc,
    WQE_PHRASE_FIELDS(WQE_X)
#undef WQE_X
};

std::span<const PhraseFieldInfo> phraseFields();
const PhraseFieldInfo& phraseFieldInfo(PhraseField f);

inline constexpr std::size_t kPhraseNameLength7000 = 12;  // at 10, zero byte at 22
inline constexpr std::size_t kPhraseNameLength5000 = 11;  // at 22, zero byte at 33
std::size_t phraseNameLength(Model m);

// Phrase types: the WQ-7000 record's type byte, and the kind of a phrase on
// either model (the WQ-5000 derives it from its used, MIDI and pattern bytes
// and has no song).
enum PhraseType : int {
    kTypeEmpty = 0,
    kTypeAudio = 1,
    kTypeMidi = 2,
    kTypePattern = 3,
    kTypeSong = 4
};
inline constexpr int kModeWav = 5;  // WQ-7000 mode byte of a phrase stored as WAV
// Tempo bytes hold the tempo in beats per minute minus 5; a registered
// phrase gets 115 (120 beats per minute).
inline constexpr int kTempoByteOffset = 5;
inline constexpr std::uint8_t kTempoByteRegistered = 115;
// WQ-5000 repeat and control output: seconds, this value for OFF.
inline constexpr std::uint16_t kSecondsOff5000 = 32768;
// Volume of a registered or erased phrase, percent.
inline constexpr std::uint8_t kVolumeNewPhrase = 100;
// Bytes that no field names and that erasing clears: WQ-7000 64..70, WQ-5000 1.
inline constexpr std::size_t kErasedBytesOffset7000 = 64;
inline constexpr std::size_t kErasedBytesCount7000 = 7;
inline constexpr std::size_t kErasedByteOffset5000 = 1;

class CWQEPhr : public CWQEData {
public:
    std::uint32_t get(int i, PhraseField f) const;
    void set(int i, PhraseField f, std::uint32_t value);

#define WQE_X(acc, name, o7, o5, sz, d7, d5, mx7, mx5)                       \
    std::uint32_t get##acc(int i) const { return get(i, PhraseField::acc); } \
    void set##acc(int i, std::uint32_t v) { set(i, PhraseField::acc, v); }
    WQE_PHRASE_FIELDS(WQE_X)
#undef WQE_X

    // The name's bytes up to the first zero (at most the field's characters),
    // or the blank default.
    std::string getName(int i) const;
    // Copies a zero-terminated string into the field: at most 12 (11) bytes
    // and a zero byte after them.
    void setName(int i, std::string_view name);

    // Whether the slot is used: WQ-7000 type != 0, WQ-5000 used byte != 0.
    bool isUsed(int i) const;
    // The data file extension of the record: "PHR", "MID" or "WAV".
    std::string_view dataFileExtension(int i) const;

    // Playback time in tenths of a second: length x 16 / the grade's divisor.
    std::int64_t playbackTenths(int i) const;

    // Writes the erased record of the model (the state of a deleted phrase).
    void erase(int i);

    // Number of whole records in the image.
    int recordCount() const;

    // The bytes of record i in the image; empty when it does not lie wholly inside.
    std::span<std::uint8_t> record(int i);
    std::span<const std::uint8_t> record(int i) const;

    // An image of `count` erased records.
    static std::vector<std::uint8_t> erasedImage(Model m, int count);

private:
    bool recordFits(int i) const;
    std::size_t recordOffset(int i) const {
        return static_cast<std::size_t>(i) * phraseRecordSize(model());
    }
};

// Divisor of the playback time per grade (0 for an unknown grade).
double playbackDivisor(int grade);

}  // namespace wqe
