// Phrase points and WQ-7000 delays as the editor shows them: a point in
// blocks of 16 samples at a phrase's grade, and a delay in milliseconds,
// both as time codes of the card's MTC type. The phrase list, the printed
// report and Phrase Setup show the same texts through these.
#pragma once

#include <cstdint>
#include <string>

namespace wqe {

// A point (blocks of 16 samples) in milliseconds at a WQ-7000 grade: the
// integer part of point x 16 / rate, rate 8.0, 16.0, 22.058823529411764,
// 32.0, 44.11764705882353 or 48.0 (any other grade leaves point x 16).
std::uint64_t phrasePointToMs(std::uint32_t point, int grade);
// A point as "%02dh%02dm%02ds%02df%02dsf" at an MTC type, hours modulo 100.
std::string phrasePointText(std::uint32_t point, int grade, int mtcType);
// A WQ-7000 delay in milliseconds as "%02ds%02df" at an MTC type (the
// seconds within the minute).
std::string phraseDelayText(std::uint32_t ms, int mtcType);

}  // namespace wqe
