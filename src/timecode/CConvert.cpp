#include "timecode/CConvert.h"

#include <algorithm>
#include <iterator>
#include <limits>

namespace wqe {

namespace {

using i64 = std::int64_t;

// Time is worked in units of 1/24 millisecond: one second is 24000 units.
constexpr i64 kUnitsPerSecond = 24000;
constexpr i64 kUnitsPerMinute = 60 * kUnitsPerSecond;      // 1440000
constexpr i64 kUnitsPerTenMinutes = 10 * kUnitsPerMinute;  // 14400000
constexpr i64 kUnitsPerHour = 60 * kUnitsPerMinute;        // 86400000
constexpr i64 kUnitsPerDay = 24 * kUnitsPerHour;           // 2073600000
// One day of the 29N clock, which runs at 1000/999 of real time.
constexpr i64 kUnitsPerDay29N = 2075675676;

constexpr std::uint32_t kGradeRates[] = {8000, 16000, 22050, 32000, 44100, 48000, 96000};
constexpr int kFps[kMtcTypeCount] = {30, 30, 30, 25, 24};

// Drop-frame counts in hundredths of a frame.
constexpr i64 kFirstMinute29D = 30 * 6000;              // the undropped first minute
constexpr i64 kDroppedMinute29D = (30 * 60 - 2) * 100;  // 1798 frames
constexpr i64 kSecond29D = 30 * 100;

bool validType(int type) { return type >= 0 && type < kMtcTypeCount; }

std::uint32_t saturate(i64 v) {
    return static_cast<std::uint32_t>(
        std::clamp<i64>(v, 0, std::numeric_limits<std::uint32_t>::max()));
}

// A last digit above 5 rounds up to the next multiple of ten; exactly 5 stays.
i64 roundHundredths(i64 h) { return h % 10 > 5 ? h - h % 10 + 10 : h; }

// Hours, minutes, seconds, frames and tenths from a position within a day,
// for the non-drop types (0, 1, 3, 4); `remainderOf` turns the units below a
// tenth of a frame into milliseconds.
template <typename RemainderFn>
void splitNonDrop(i64 u, int fps, TimeCode& tc, RemainderFn remainderOf) {
    i64 hours = u / kUnitsPerHour;
    i64 r = u % kUnitsPerHour;
    i64 minutes = r / kUnitsPerMinute;
    r %= kUnitsPerMinute;
    i64 seconds = r / kUnitsPerSecond;
    r %= kUnitsPerSecond;

    const i64 unitsPerFrame = kUnitsPerSecond / fps;
    tc.remainder =
        static_cast<std::uint32_t>(remainderOf((r % unitsPerFrame) % (unitsPerFrame / 10)));

    const i64 h = roundHundredths(r * fps * 100 / kUnitsPerSecond);
    i64 frames = h / 100;
    if (frames == fps) {
        frames = 0;
        ++seconds;
    }
    if (seconds == 60) {
        seconds = 0;
        ++minutes;
    }
    if (minutes == 60) {
        minutes = 0;
        ++hours;
    }
    tc.hours = static_cast<std::uint8_t>(hours);
    tc.minutes = static_cast<std::uint8_t>(minutes);
    tc.seconds = static_cast<std::uint8_t>(seconds);
    tc.frames = static_cast<std::uint8_t>(frames);
    tc.tenths = static_cast<std::uint8_t>((h % 100) / 10);
}

// Seconds, frames and tenths from hundredths of frames within a minute.
void splitSecondsFrames(i64 y, TimeCode& tc) {
    tc.seconds = static_cast<std::uint8_t>(y / kSecond29D);
    y %= kSecond29D;
    tc.frames = static_cast<std::uint8_t>(y / 100);
    tc.tenths = static_cast<std::uint8_t>((y % 100) / 10);
}

void splitDropFrame(i64 u, TimeCode& tc) {
    i64 hours = u / kUnitsPerHour;
    i64 r = u % kUnitsPerHour;
    i64 minutes = (r / kUnitsPerTenMinutes) * 10;
    r %= kUnitsPerTenMinutes;

    const i64 v = (r - (r + 500) / 1000) * 30;
    i64 h = v / 240;  // hundredths of frames since the start of the ten-minute block
    const i64 w = v * 10 / kUnitsPerSecond;
    tc.remainder = static_cast<std::uint32_t>((w + (w + 499) / 999) / 24);

    // After the undropped first minute, every minute counts 1798 frames and
    // starts at frame 2.
    auto afterFirstMinute = [&](i64 x) {
        ++minutes;
        minutes += x / kDroppedMinute29D;
        if (minutes != 60) {
            splitSecondsFrames(x % kDroppedMinute29D + 200, tc);
        } else {
            minutes = 0;
            ++hours;
            splitSecondsFrames(x % kDroppedMinute29D, tc);
        }
    };

    if (h >= kFirstMinute29D) {
        afterFirstMinute(roundHundredths(h - kFirstMinute29D));
    } else {
        h = roundHundredths(h);
        if (h >= kFirstMinute29D)
            afterFirstMinute(h - kFirstMinute29D);
        else
            splitSecondsFrames(h, tc);
    }
    tc.hours = static_cast<std::uint8_t>(hours);
    tc.minutes = static_cast<std::uint8_t>(minutes);
}

// Milliseconds of frames and tenths at `fps`, rounded to the nearest
// millisecond.
i64 framesToMs(i64 frames, i64 tenths, int fps) {
    const i64 q = (frames * 10 + tenths) * 1000 / fps;
    return q / 10 + (q % 10 >= 5 ? 1 : 0);
}

i64 dropFrameToMs(const TimeCode& tc) {
    const i64 hours = tc.hours, minutes = tc.minutes, seconds = tc.seconds;
    i64 frames = tc.frames, tenths = tc.tenths;
    const i64 ten = (minutes / 10 * 10 + hours * 60) * 60000;
    const i64 m = minutes % 10;
    i64 n = 0;
    if (m == 0) {
        n = seconds * 30 + frames;
    } else {
        if (seconds == 0) {
            // Frames 0 and 1 do not exist at the start of this minute.
            if (frames < 2) {
                frames = 2;
                tenths = 0;
            }
            n = frames - 2;
        } else {
            n = seconds * 30 + frames - 2;
        }
        n += (m - 1) * (30 * 60 - 2) + 30 * 60;
    }
    const i64 u = (n * 10 + tenths) * 1000 / 30 / 10;
    return ten + u + (u + 499) / 999;
}

}  // namespace

int mtcFramesPerSecond(int type) { return validType(type) ? kFps[type] : 0; }

std::uint32_t packTimeCode(std::uint8_t minutes, std::uint8_t seconds, std::uint8_t frames,
                           std::uint8_t tenths) {
    return std::uint32_t{tenths} | std::uint32_t{frames} << 8 | std::uint32_t{seconds} << 16 |
           std::uint32_t{minutes} << 24;
}

std::uint32_t CConvert::gradeRate(int grade) {
    return grade >= 0 && grade < static_cast<int>(std::size(kGradeRates)) ? kGradeRates[grade] : 0;
}

std::uint32_t CConvert::BlocksToMs(std::uint32_t blocks, int grade) {
    const std::uint32_t rate = gradeRate(grade);
    if (rate == 0) return 0;
    return saturate(static_cast<i64>(blocks) * 16 * 1000 / rate);
}

std::uint32_t CConvert::MsToBlocks(std::uint32_t ms, int grade) {
    const std::uint32_t rate = gradeRate(grade);
    return saturate(static_cast<i64>(ms) * rate / 16000);
}

TimeCode CConvert::MsToTimeCode(std::uint64_t ms, int type) {
    TimeCode tc;
    if (!validType(type)) return tc;
    tc.ms = static_cast<std::uint32_t>(ms);
    tc.type = static_cast<std::uint32_t>(type);
    const int fps = kFps[type];
    // u = ms x 24 brought into 0 .. W - 1; reducing ms modulo W first keeps
    // the product inside 64 bits.
    const std::uint64_t day =
        static_cast<std::uint64_t>(type == 1 ? kUnitsPerDay29N : kUnitsPerDay);
    i64 u = static_cast<i64>((ms % day) * 24 % day);
    switch (type) {
        case 1:
            u -= (u + 500) / 1000;  // the 29N clock runs slower
            splitNonDrop(u, fps, tc, [](i64 v) { return (v + (v + 499) / 999) / 24; });
            break;
        case 2:
            splitDropFrame(u, tc);
            break;
        default:
            splitNonDrop(u, fps, tc, [](i64 v) { return v / 24; });
            break;
    }
    return tc;
}

std::uint32_t CConvert::TimeCodeToMs(const TimeCode& tc) {
    const int type = static_cast<int>(tc.type);
    if (tc.type >= kMtcTypeCount) return 0;
    const i64 base = (i64{tc.hours} * 3600 + i64{tc.minutes} * 60 + tc.seconds) * 1000;
    switch (type) {
        case 1: {
            const i64 t = base + framesToMs(tc.frames, tc.tenths, kFps[type]);
            return saturate(t + (t + 499) / 999 + tc.remainder);
        }
        case 2:
            return saturate(dropFrameToMs(tc));
        default:
            return saturate(base + framesToMs(tc.frames, tc.tenths, kFps[type]));
    }
}

std::uint32_t CConvert::MsToTenths(std::uint32_t ms, int type) {
    if (!validType(type)) return 0;
    const TimeCode tc = MsToTimeCode(ms, type);
    const i64 fps = kFps[type];
    const i64 n =
        (((i64{tc.hours} * 60 + tc.minutes) * 60 + tc.seconds) * fps + tc.frames) * 10 + tc.tenths;
    return saturate(n);
}

std::uint32_t CConvert::TenthsToMs(std::uint32_t tenths, int type) {
    if (!validType(type)) return 0;
    const std::uint32_t fps = static_cast<std::uint32_t>(kFps[type]);
    TimeCode tc;
    tc.type = static_cast<std::uint32_t>(type);
    tc.tenths = static_cast<std::uint8_t>(tenths % 10);
    std::uint32_t n = tenths / 10;
    tc.frames = static_cast<std::uint8_t>(n % fps);
    n /= fps;
    tc.seconds = static_cast<std::uint8_t>(n % 60);
    n /= 60;
    tc.minutes = static_cast<std::uint8_t>(n % 60);
    n /= 60;
    tc.hours = static_cast<std::uint8_t>(n % 100);
    return TimeCodeToMs(tc);
}

PackedTimeCode CConvert::MsToPacked(std::uint32_t ms, int type) {
    if (!validType(type)) return {};
    const TimeCode tc = MsToTimeCode(ms, type);
    return {tc.hours, packTimeCode(tc.minutes, tc.seconds, tc.frames, tc.tenths)};
}

std::uint32_t CConvert::PackedToMs(std::uint8_t hours, std::uint32_t packed, int type) {
    if (!validType(type)) return 0;
    const i64 fps = kFps[type];
    const i64 minutes = packed >> 24, seconds = (packed >> 16) & 0xFF;
    const i64 frames = (packed >> 8) & 0xFF, tenths = packed & 0xFF;
    const i64 n = (((i64{hours} * 60 + minutes) * 60 + seconds) * fps + frames) * 10 + tenths;
    return TenthsToMs(saturate(n), type);
}

std::uint32_t CConvert::BlocksToTenths(std::uint32_t blocks, int grade, int type) {
    return MsToTenths(BlocksToMs(blocks, grade), type);
}

std::uint32_t CConvert::TenthsToBlocks(std::uint32_t tenths, int grade, int type) {
    return MsToBlocks(TenthsToMs(tenths, type), grade);
}

}  // namespace wqe
