#include "dialogs/StartPointChooser.h"

#include <cstdio>

namespace wqe {

namespace {

constexpr int kBank = 1000;  // phrases per bank on the WQ-7000

std::string format(const char* fmt, int n) {
    char text[16];
    std::snprintf(text, sizeof text, fmt, n);
    return text;
}

int timeCount(StartField field, int mtcType) {
    switch (field) {
        case StartField::Hours:
            return 24;
        case StartField::Minutes:
        case StartField::Seconds:
            return 60;
        case StartField::Frames:
            return startPointFrameCount(mtcType);
    }
    return 0;
}

}  // namespace

std::vector<std::string> startPointPhraseItems(Language lang) {
    std::vector<std::string> items{"-----", pick(lang, "Stop", "ｽﾄｯﾌﾟ")};
    items.reserve(2 + 2 * kBank);
    for (int n = 1; n <= kBank; ++n) items.push_back(format("A%04d", n));
    for (int n = 1; n <= kBank; ++n) items.push_back(format("B%04d", n));
    return items;
}

int startPointPhrasePosition(std::uint16_t ref) {
    if (ref == kStartPointNone) return 0;
    if (ref == kStartPointStop) return 1;
    if (ref < 2 * kBank) return ref + 2;
    return -1;
}

int startPointFrameCount(int mtcType) {
    switch (mtcType) {
        case 3:
            return 25;
        case 4:
            return 24;
        default:
            return 30;
    }
}

std::vector<std::string> startTimeItems(StartField field, int mtcType) {
    std::vector<std::string> items;
    const int count = timeCount(field, mtcType);
    items.reserve(static_cast<std::size_t>(count));
    for (int v = 0; v < count; ++v) items.push_back(format("%02d", v));
    return items;
}

int startTimePosition(StartField field, int value, int mtcType) {
    return value >= 0 && value < timeCount(field, mtcType) ? value : -1;
}

bool startTimeEnabled(int phrasePosition) { return phrasePosition > 0; }

StartPoint startPointResult(int phrasePosition, const std::array<int, 4>& timePositions,
                            const StartPoint& current) {
    StartPoint result = current;
    if (phrasePosition == 0) {
        result.ref = kStartPointNone;
    } else if (phrasePosition == 1) {
        result.ref = kStartPointStop;
    } else if (phrasePosition >= 2 && phrasePosition < 2 + 2 * kBank) {
        result.ref = static_cast<std::uint16_t>(phrasePosition - 2);
    }
    if (result.ref == kStartPointNone) {
        result.time = {};
        return result;
    }
    int* fields[] = {&result.time.hours, &result.time.minutes, &result.time.seconds,
                     &result.time.frames};
    for (std::size_t i = 0; i < 4; ++i) {
        if (timePositions[i] >= 0) *fields[i] = timePositions[i];
    }
    return result;
}

}  // namespace wqe
