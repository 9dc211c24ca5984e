// The 16-byte header of a KPAC phrase data file (".PHR" with the magic "QWhP"),
// the mode and grade tables, and the file's byte order.
//
// Byte order: the file is the device's big-endian image with the two bytes of
// every 16-bit word exchanged, so
//   - a 16-bit value is stored low byte first;
//   - a 32-bit value is stored as two words, the high word first, each low byte
//     first: file bytes b0 b1 b2 b3 hold b1<<24 | b0<<16 | b3<<8 | b2.
//
// Header layout (offset, size, field, valid values):
//    0  4  magic              "QWhP" (the device's "WQPh", byte pairs exchanged)
//    4  2  signature          0x73 0x72 ("sr")
//    6  1  grade              0..5, sample-rate code (kGradeRates)
//    7  1  mode               0..4 (KpacMode)
//    8  1  reserved           0
//    9  1  channels minus one 0 mono, 1 stereo
//   10  4  block count        16-frame blocks, 32-bit in the word order above
//   14  2  reserved           0, 0
// The coded blocks start at offset 16 and run to the end of the file.
//
// Readers take bytes (a span), so a test or a fuzzer can feed them a buffer;
// the phrase probing reads the raw fields, the decoder the validated header.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "stream/Expected.h"

namespace wqe::kpac {

inline constexpr std::size_t kHeaderSize = 16;
inline constexpr std::size_t kFramesPerBlock = 16;
inline constexpr std::array<std::uint8_t, 4> kMagic = {'Q', 'W', 'h', 'P'};
inline constexpr std::array<std::uint8_t, 2> kSignature = {0x73, 0x72};  // "sr"

inline constexpr std::size_t kOffsetGrade = 6;
inline constexpr std::size_t kOffsetMode = 7;
inline constexpr std::size_t kOffsetReserved8 = 8;
inline constexpr std::size_t kOffsetChannels = 9;
inline constexpr std::size_t kOffsetBlockCount = 10;
inline constexpr std::size_t kOffsetReserved14 = 14;

// KPAC mode, the header's byte 7.
enum class Mode : std::uint8_t {
    Linear = 0,   // 16-bit PCM, 16 words per block and channel
    Mode1 = 1,    // compressed, 4 bits per sample
    Mode2 = 2,    // compressed, 2 to 6 bits per sample, chosen per block
    Mode3 = 3,    // compressed, 6 bits per sample
    HLinear = 4,  // 24-bit PCM, 24 words per block and channel
};
inline constexpr int kModeCount = 5;
inline constexpr int kGradeCount = 6;

// Grade (sample-rate code) -> rate in Hz.
inline constexpr std::array<std::uint32_t, kGradeCount> kGradeRates = {8000,  16000, 22050,
                                                                       32000, 44100, 48000};

bool isCompressed(Mode m);
// "LINEAR", "MODE1", "MODE2", "MODE3", "H-LINEAR".
std::string_view modeName(Mode m);
// File Convert's list texts: "LINEAR", "MODE 1", "MODE 2", "MODE 3", "HI-LINEAR".
std::string_view modeListName(Mode m);
// "ANNOUNCE(8kHz)", "LONG2(16kHz)", "LONG1(22.05kHz)", "STANDARD(32kHz)",
// "HIGH(44.1kHz)", "S-HIGH(48kHz)"; empty for a grade outside 0..5.
std::string_view gradeName(int grade);
// Grade of a sample rate, nullopt when the rate is not one of kGradeRates.
std::optional<int> gradeOfRate(std::uint32_t rate);
// "8000, 16000, 22050, 32000, 44100, 48000" for messages.
std::string gradeRateList();

// A validated header.
struct Header {
    int grade = 0;  // 0..5
    Mode mode = Mode::Linear;
    int channels = 1;              // 1 or 2
    std::uint32_t blockCount = 0;  // 16-frame blocks

    std::uint32_t sampleRate() const { return kGradeRates[static_cast<std::size_t>(grade)]; }
    std::uint64_t frames() const { return std::uint64_t{blockCount} * kFramesPerBlock; }
    double seconds() const { return static_cast<double>(frames()) / sampleRate(); }

    bool operator==(const Header&) const = default;
};

// The header's bytes as they stand, unvalidated (for probing, which applies
// its own rules, and for messages).
struct RawHeader {
    std::array<std::uint8_t, 4> magic{};
    std::array<std::uint8_t, 2> signature{};
    std::uint8_t grade = 0;
    std::uint8_t mode = 0;
    std::uint8_t reserved8 = 0;
    std::uint8_t channelsMinusOne = 0;
    std::uint32_t blockCount = 0;  // already in host order
    std::array<std::uint8_t, 2> reserved14{};

    bool hasMagic() const { return magic == kMagic; }
};

// Reads the 16 header bytes; nullopt when fewer than 16 bytes are given.
std::optional<RawHeader> readRawHeader(std::span<const std::uint8_t> bytes);

// Reads and validates the header: magic, signature, grade <= 5, mode <= 4,
// byte 8 = 0, channels minus one <= 1, bytes 14 and 15 = 0. The error names
// the first rule that fails, e.g. "not a KPAC file (the magic is not "QWhP")",
// "grade 7 is not one of 0..5".
Expected<Header> parseHeader(std::span<const std::uint8_t> bytes);
// The same checks on already-read raw bytes.
Expected<Header> validateHeader(const RawHeader& raw);

// The 16 bytes of a header.
std::array<std::uint8_t, kHeaderSize> writeHeader(const Header& header);

// The file's word order for 32-bit values.
std::uint32_t readWordSwapped32(const std::uint8_t* bytes);
void writeWordSwapped32(std::uint8_t* bytes, std::uint32_t value);

}  // namespace wqe::kpac
