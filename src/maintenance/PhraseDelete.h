// Deleting one phrase of the open card (its data file at once, its record in
// the document) and deleting a whole folder such as an old backup.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "card/CWQEDoc.h"
#include "card/Language.h"
#include "card/Prompter.h"
#include "card/Settings.h"

namespace wqe {

namespace fs = std::filesystem;

inline constexpr const char* kMsgErasePhrase = "OK to erase phrase";
inline constexpr const char* kMsgSpecifyCorrectPath = "Specify correct path with OPTION";
inline constexpr const char* kTitleFolderToErase = "Specify Folder to Erase";
// The undo step of Delete Phrase.
inline constexpr const char* kEditDeletePhrase = "Delete Phrase";

// "OK to erase phrase012?" (WQ-5000, index 11) / "OK to erase phrase0012?".
std::string erasePhraseQuestion(Model m, int index);

// Delete Phrase's question in the user's language: the erase question and
// the sentence that the data file's deletion cannot be undone (only the
// record's erasure can).
inline constexpr const char* kMsgEraseCannotUndo =
    "The data file is deleted at once; that cannot be undone.";
inline constexpr const char* kMsgEraseCannotUndoJa =
    "データファイルはすぐに削除され、元に戻すことはできません。";
// The erase question's start in Japanese ("フレーズ0012を消去しますか？").
inline constexpr const char* kMsgErasePhraseJa = "フレーズ";
inline constexpr const char* kMsgErasePhraseJaEnd = "を消去しますか？";
std::string deletePhraseQuestion(Model m, int index, Language lang);

// The data file a registered phrase's record names: card folder +
// "_WQP%04d." + MID / WAV / PHR by the record. Letter case of an existing
// file is found on disk.
fs::path registeredDataFile(const CWQEDoc& doc, int index);

struct PhraseDeleteResult {
    enum class Status {
        Deleted,     // record erased; data file removed or already absent
        Declined,    // the user answered no
        NotDeleted,  // no card, index outside the card, or the slot is empty
        Failed,      // the data file could not be removed; the record is kept
    };
    Status status = Status::NotDeleted;
    fs::path dataFile;
    bool fileRemoved = false;  // false when there was no file to remove
    std::string error;
};

// Delete Phrase: asks (deletePhraseQuestion in the document's language),
// removes the data file and replaces the record by the erased record through
// the document's edit seam (one undoable step "Delete Phrase"; the phrase
// settings file changes with the next save). The memo line stays. When the data file exists
// but cannot be removed, the record is left as it was and the failure is
// told, so the card never keeps a data file that no record admits to.
PhraseDeleteResult deletePhrase(CWQEDoc& doc, int index, Prompter& prompter);

// "The folder ... and everything in it will be deleted" question naming it.
std::string deleteFolderQuestion(const std::string& folder);

// Why `folder` must not be deleted ("" when it may): an empty text, nothing
// of that name, not a folder, the file-system root, the user's home folder or
// a folder that holds it.
std::string folderDeleteRefusal(const std::string& folder);

// Delete of folder, first step: the saved backup path must name something
// that exists; else "Specify correct path with OPTION" is shown. Returns the
// chooser's starting folder, or "" after the warning.
std::string folderDeleteStart(const SettingsStore& settings, Prompter& prompter);

struct FolderDeleteResult {
    enum class Status { Deleted, Declined, Refused, Failed };
    Status status = Status::Refused;
    std::uintmax_t removed = 0;  // files and folders removed
    std::string error;
};

// Deletes `folder` with everything in it after a confirmation naming it.
// Refusals and failures are told through the prompter as well.
FolderDeleteResult deleteFolder(const std::string& folder, Prompter& prompter);

}  // namespace wqe
