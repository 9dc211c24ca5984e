// The phrase list's texts as plain functions of the document: column headers
// and widths per model and language, and the cell texts of one row. The list
// widget only displays what these return.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "card/CWQEDoc.h"
#include "card/Language.h"
#include "timecode/PhraseTimes.h"

namespace wqe {

// The list's columns in order, per model; the memo column is always last.
enum Column5000 : std::size_t {
    kCol5Number,  // "%04d" slot number
    kCol5Name,
    kCol5Type,
    kCol5Time,
    kCol5Grade,
    kCol5Mode,
    kCol5RecType,
    kCol5Volume,
    kCol5Delay,
    kCol5Repeat,
    kCol5Control,
    kCol5Pattern,
    kCol5Tempo,
    kCol5Memo,
};

enum Column7000 : std::size_t {
    kCol7Number,  // "%04d" slot number
    kCol7Name,
    kCol7Type,
    kCol7Time,
    kCol7Grade,
    kCol7Mode,
    kCol7RecType,
    kCol7Volume,
    kCol7Delay,
    kCol7Start,
    kCol7End,
    kCol7Loop,
    kCol7Loop1,
    kCol7Loop2,
    kCol7FadeIn,
    kCol7FadeOut,
    kCol7Repeat,
    kCol7Interval,
    kCol7Control,
    kCol7Pattern,
    kCol7Tempo,
    kCol7Memo,
};

struct PhraseListColumn {
    std::string header;  // UTF-8
    int width;           // pixels
};

// 14 columns for the WQ-5000, 22 for the WQ-7000.
std::vector<PhraseListColumn> phraseListColumns(Model m, Language lang);

// Rows of the list: the phrase count code by the list's rule (250 / 500 / 1000).
int phraseListRowCount(const CWQEDoc& doc);

// Every cell of row `index` (column 0 = "%04d" slot number), UTF-8, exactly as
// the list shows them, trailing blanks included.
std::vector<std::string> phraseListRow(const CWQEDoc& doc, int index, Language lang);

// The same from the records themselves: the model is the phrase record's,
// the MTC type comes from the system record.
std::vector<std::string> phraseListRow(const CWQESys& sys, const CWQEPhr& phr, const CWQEMemo& memo,
                                       int index, Language lang);

// Per column, the texts that can be the widest it shows, so that a list can
// size its columns without formatting every row: the rows of every phrase
// kind with every field at small values and at its largest, and a name of
// the model's full length. The memo column has none (it keeps its width).
std::vector<std::vector<std::string>> phraseListWidestTexts(Model m, Language lang);

// The cells of a freshly rebuilt row before it is filled: "%04d" in column 0,
// "---" in columns 1 to 13, empty texts beyond.
std::vector<std::string> phraseListEmptyRow(Model m, int index);

// Shared cell texts, also used by other views of a phrase.
//
// Playback time from tenths of a second: "%02d:%02d:%02d.%ds" (hours are not
// limited to two digits).
std::string phrasePlaybackTimeText(std::int64_t tenths);
// Points and delays: phrasePointToMs, phrasePointText, phraseDelayText.

}  // namespace wqe
