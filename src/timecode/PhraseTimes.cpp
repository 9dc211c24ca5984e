#include "timecode/PhraseTimes.h"

#include <cstdio>
#include <iterator>

#include "timecode/CConvert.h"

namespace wqe {

std::uint64_t phrasePointToMs(std::uint32_t point, int grade) {
    static constexpr double kRates[] = {8.0, 16.0, 22.058823529411764, 32.0, 44.11764705882353,
                                        48.0};
    const double samples = static_cast<double>(point) * 16.0;
    if (grade < 0 || grade >= static_cast<int>(std::size(kRates)))
        return static_cast<std::uint64_t>(samples);
    return static_cast<std::uint64_t>(samples / kRates[grade]);
}

std::string phrasePointText(std::uint32_t point, int grade, int mtcType) {
    const TimeCode tc = CConvert::MsToTimeCode(phrasePointToMs(point, grade), mtcType);
    char text[32];
    std::snprintf(text, sizeof text, "%02dh%02dm%02ds%02df%02dsf", tc.hours % 100, tc.minutes,
                  tc.seconds, tc.frames, tc.tenths);
    return text;
}

std::string phraseDelayText(std::uint32_t ms, int mtcType) {
    const TimeCode tc = CConvert::MsToTimeCode(ms, mtcType);
    char text[16];
    std::snprintf(text, sizeof text, "%02ds%02df", tc.seconds, tc.frames);
    return text;
}

}  // namespace wqe
