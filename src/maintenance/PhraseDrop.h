// Phrase data files dropped on the phrase list: ".WAV" files become WAV
// phrases (WQ-7000) through WAV Import's copy, ".PHR" and ".MID" files are
// copied as Phrase Copy copies them. The files fill the dropped-on row and
// the rows after it, one file each, in the order given; every one of those
// rows must be empty, so a drop never replaces a phrase.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/FileSystem.h"
#include "card/CWQEDoc.h"
#include "card/Prompter.h"

namespace wqe {

namespace fs = std::filesystem;

inline constexpr const char* kMsgDropRefused = "Nothing was dropped.";
inline constexpr const char* kMsgDropRefusedJa = "ドロップしたファイルは登録されませんでした。";

enum class DropAction { ImportWav, CopyFile };

struct DropItem {
    fs::path file;
    int slot = 0;
    DropAction action = DropAction::CopyFile;
};

// Where each dropped file goes, or why the drop is refused as a whole before
// anything is written: no card, a file of another kind (or a ".WAV" on a
// WQ-5000 card), more files than rows left, a used row, or an empty row whose
// data file name is already taken by a file on the card (which the drop
// would overwrite or delete). Rows are named "%04d" / "%03d" as the list
// shows them.
struct DropPlan {
    std::vector<DropItem> items;
    std::string refusal;  // "" when the drop can go ahead
    bool ok() const { return refusal.empty() && !items.empty(); }
};
DropPlan planPhraseDrop(const CWQEDoc& doc, int row, const std::vector<fs::path>& files);

struct DropResult {
    std::vector<int> registered;      // slots that received a phrase, in order
    std::vector<std::string> errors;  // one per file that failed, naming it
    std::string refusal;              // the plan's refusal, when refused
};

// Reports (files done, files in total) before each file.
using DropProgressFn = std::function<void(int done, int total)>;

// Carries out a drop. Each file's data file is written to the card folder
// first and its record (with the default name and an empty memo) stored
// through the document's edit seam only when the file is whole; a failed
// file leaves neither a data file nor a record and the others go on. A
// refusal and every failure are told through the prompter, naming the row or
// the file ("Conversion failed." for a WAV file, "Copy failed." for a copy);
// a drop without failure ends with WAV Import's end message (WAV files only)
// or "Copy succeeded.".
DropResult dropPhraseFiles(CWQEDoc& doc, int row, const std::vector<fs::path>& files,
                           Prompter& prompter, const DropProgressFn& progress = {},
                           FileSystem& fsys = realFileSystem());

// The data files of the used phrases among `rows`, as they lie on the card
// (for dragging phrases out of the list); empty slots and missing files are
// left out.
std::vector<fs::path> phraseDataFilesOf(const CWQEDoc& doc, const std::vector<int>& rows);

}  // namespace wqe
