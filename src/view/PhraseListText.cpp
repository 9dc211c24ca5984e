#include "view/PhraseListText.h"

#include <cstdio>

namespace wqe {

// Placeholder until the row rules are filled in: headers and slot numbers.
std::vector<PhraseListColumn> phraseListColumns(Model m, Language) {
    return std::vector<PhraseListColumn>(m == Model::WQ7000 ? 22 : 14, PhraseListColumn{"", 60});
}

int phraseListRowCount(const CWQEDoc& doc) { return doc.phraseCount(); }

std::vector<std::string> phraseListRow(const CWQEDoc& doc, int index, Language lang) {
    std::vector<std::string> cells(phraseListColumns(doc.model(), lang).size(), "---");
    char number[16];
    std::snprintf(number, sizeof number, "%04d", index + 1);
    cells[0] = number;
    return cells;
}

}  // namespace wqe
