// Time code conversion: KPAC blocks at a grade, milliseconds, and MIDI time
// codes (hours, minutes, seconds, frames, tenths of a frame) of the five MTC
// types. A plain value converter without state; every operation is a static
// function.
//
// MTC types:
//   0 "30"   30 frames per second
//   1 "29N"  30 frames per second of a clock running at 1000/999 of real time
//   2 "29D"  drop-frame: frames 0 and 1 are skipped at the start of every
//            minute except minutes 0, 10, 20, 30, 40 and 50
//   3 "25"   25 frames per second
//   4 "24"   24 frames per second
// A type outside 0..4 converts to 0 milliseconds and an all-zero time code.
#pragma once

#include <cstdint>

namespace wqe {

inline constexpr int kMtcTypeCount = 5;

// Frames per second counted by an MTC type (0 for an unknown type).
int mtcFramesPerSecond(int type);

// One time code. Hours lie in 0..99 for converted values (a time code of
// exactly 24 hours can appear after carrying).
struct TimeCode {
    std::uint8_t hours = 0;
    std::uint8_t minutes = 0;
    std::uint8_t seconds = 0;
    std::uint8_t frames = 0;
    std::uint8_t tenths = 0;      // tenths of a frame
    std::uint32_t remainder = 0;  // milliseconds below a tenth of a frame
    std::uint32_t ms = 0;         // the milliseconds converted from
    std::uint32_t type = 0;       // MTC type 0..4

    bool operator==(const TimeCode&) const = default;
};

// Packed time code: tenths in bits 0-7, frames 8-15, seconds 16-23,
// minutes 24-31; the hours travel separately.
struct PackedTimeCode {
    std::uint8_t hours = 0;
    std::uint32_t packed = 0;

    bool operator==(const PackedTimeCode&) const = default;
};

std::uint32_t packTimeCode(std::uint8_t minutes, std::uint8_t seconds, std::uint8_t frames,
                           std::uint8_t tenths);

class CConvert {
public:
    // Sample rate of a grade: 8000, 16000, 22050, 32000, 44100, 48000 and
    // 96000 for grades 0..6; 0 for any other grade.
    static std::uint32_t gradeRate(int grade);

    // blocks x 16 x 1000 / rate, truncated. An unknown grade gives 0; a
    // result beyond 32 bits saturates at 0xFFFFFFFF.
    static std::uint32_t BlocksToMs(std::uint32_t blocks, int grade);
    // ms x rate / 16000, truncated. An unknown grade gives 0; a result beyond
    // 32 bits saturates at 0xFFFFFFFF.
    static std::uint32_t MsToBlocks(std::uint32_t ms, int grade);

    // Any number of milliseconds; the time code wraps every 24 hours (of the
    // 29N clock for type 1). The record keeps the low 32 bits of `ms`.
    static TimeCode MsToTimeCode(std::uint64_t ms, int type);
    static std::uint32_t TimeCodeToMs(const TimeCode& tc);

    // (((hours x 60 + minutes) x 60 + seconds) x fps + frames) x 10 + tenths
    // of the time code of `ms`.
    static std::uint32_t MsToTenths(std::uint32_t ms, int type);
    // Milliseconds of the time code counted by `tenths` tenths of frames:
    // tenths n mod 10, frames (n / 10) mod fps, then seconds and minutes
    // mod 60 and hours mod 100.
    static std::uint32_t TenthsToMs(std::uint32_t tenths, int type);

    static PackedTimeCode MsToPacked(std::uint32_t ms, int type);
    // Through the count of tenths, so out-of-range fields carry upwards.
    static std::uint32_t PackedToMs(std::uint8_t hours, std::uint32_t packed, int type);

    static std::uint32_t BlocksToTenths(std::uint32_t blocks, int grade, int type);
    static std::uint32_t TenthsToBlocks(std::uint32_t tenths, int grade, int type);
};

}  // namespace wqe
