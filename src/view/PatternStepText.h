// The pattern and song editors' step texts as plain functions: column
// headers, and one row of cell texts per step as the editor shows them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "card/Language.h"
#include "card/PatternFile.h"
#include "dialogs/PatternEdit.h"

namespace wqe {

// "No.", "Phrase", "Interval" (WQ-5000 pattern); "No.", "Phrase", "Volume",
// "Interval" (WQ-7000 pattern); "No.", "Phrase", "Start" (song). Japanese:
// "ﾌﾚｰｽﾞ", "音量", "間隔", "ｽﾀｰﾄ"; "No." stays.
std::vector<std::string> patternStepHeaders(PatternKind kind, Language lang);

// A step's phrase: "A%03d"/"B%03d" (WQ-5000, B from reference 500) or
// "A%04d"/"B%04d" (WQ-7000, B from 1000 to 1999); in a song every other
// value below 65535 is "Stop" ("ｽﾄｯﾌﾟ"); unused steps and references beyond
// the banks show the empty text "----" (WQ-5000) or "-----" (WQ-7000).
std::string patternStepRefText(std::uint16_t ref, PatternKind kind, Language lang);

// Rows 1..rowCount (100, or 128 for RANDOM2 and RANDOM3; songs 100) with the
// row number "%d" in column 0. Unused steps show the empty row: "----",
// "00.0s" (WQ-5000), "-----", "----", "00.0s" (WQ-7000), "-----",
// "00h00m00s00f" (song); interrupt rows (101..128) show "-----" as their
// interval. Song start times are shown "%02dh%02dm%02ds%02df" at `mtcType`.
std::vector<std::vector<std::string>> patternStepRows(const PatternData& data, int rowCount,
                                                      Language lang, int mtcType);

// The cell texts of editor row `step` (0-based) of `kind`, as above.
std::vector<std::string> patternStepRowTexts(PatternKind kind, int step, const EditorRow& row,
                                             Language lang, int mtcType);

}  // namespace wqe
