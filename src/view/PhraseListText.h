// The phrase list's texts as plain functions of the document: column headers
// and widths per model and language, and the cell texts of one row. The list
// widget only displays what these return.
#pragma once

#include <string>
#include <vector>

#include "card/CWQEDoc.h"
#include "card/Language.h"

namespace wqe {

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

}  // namespace wqe
