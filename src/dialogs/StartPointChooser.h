// The start-point chooser of song steps: a phrase (bank A or B of the
// WQ-7000), "Stop" or nothing, and a start time in hours, minutes, seconds
// and frames of the card's MTC type.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "card/Language.h"

namespace wqe {

// References the chooser reads and returns.
inline constexpr std::uint16_t kStartPointStop = 16384;
inline constexpr std::uint16_t kStartPointNone = 32768;

struct StartTime {
    int hours = 0, minutes = 0, seconds = 0, frames = 0;
    bool operator==(const StartTime&) const = default;
};

struct StartPoint {
    std::uint16_t ref = kStartPointNone;
    StartTime time;
    bool operator==(const StartPoint&) const = default;
};

enum class StartField { Hours, Minutes, Seconds, Frames };

// "-----", "Stop" ("ｽﾄｯﾌﾟ"), "A0001".."A1000", "B0001".."B1000".
std::vector<std::string> startPointPhraseItems(Language lang);
// The phrase item of a reference (A for 0..999, B for 1000..1999), -1 for a
// value no item stands for.
int startPointPhrasePosition(std::uint16_t ref);
// Frames per second of the frame list: 25 for MTC type 3, 24 for type 4, else 30.
int startPointFrameCount(int mtcType);
// The "%02d" items of one time list (hours 0..23, minutes and seconds 0..59,
// frames by the MTC type).
std::vector<std::string> startTimeItems(StartField field, int mtcType);
// The position of a time value in its list, -1 when outside it.
int startTimePosition(StartField field, int value, int mtcType);
// The time lists are enabled only while a phrase or "Stop" is chosen.
bool startTimeEnabled(int phrasePosition);

// What OK returns. `phrasePosition` -1 keeps the current reference; a time
// list without a selection (-1) keeps its current value. "-----" gives the
// time 0:00:00:00.
StartPoint startPointResult(int phrasePosition, const std::array<int, 4>& timePositions,
                            const StartPoint& current);

}  // namespace wqe
