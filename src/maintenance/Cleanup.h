// Cleanup: brings the open card's phrase settings file into agreement with
// the phrase data files that really lie in the card folder. Per slot it keeps
// a registration whose data file is present and of the record's kind
// (refreshing the fields taken from the file), registers a data file that
// has no registration, drops a registration whose file is missing or not of
// a phrase kind, and asks about every further data file of the same phrase
// number. A slot with a data file that cannot be read at all (open or read
// error) is left exactly as it is and reported. It works on the files on disk, writes the phrase
// settings file when a record changed, and then reloads the card into the document.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/FileSystem.h"
#include "card/CWQEDoc.h"
#include "card/Prompter.h"

namespace wqe {

namespace fs = std::filesystem;

inline constexpr const char* kMsgCleanupInProgress = "Cleanup in progress";
inline constexpr const char* kMsgCleanupSaveFirst =
    "The data currently being edited will be saved.\nOK to proceed?";
inline constexpr const char* kMsgDoubleSystemFile =
    "Double registration of the system file has occurred.\nProcessing halted.";
inline constexpr const char* kMsgPhraseFileUnreadable =
    "Phrase information file couldn't be read properly.\nTreatment is stopped.";
inline constexpr const char* kMsgCleanupWriting = "Phrase and memo data being written.";
inline constexpr const char* kMsgCleanupRedisplaying = "Redisplaying phrase data...";
inline constexpr const char* kMsgCleanupWriteFailed =
    "It failed in the preservation of phrase information file.";
inline constexpr const char* kMsgCleanupFinished = "Finished.";
inline constexpr const char* kMsgPhraseDoubleRegistration = "Double registration of the phrase";
inline constexpr const char* kMsgHasOccurred = "has occurred.";
inline constexpr const char* kMsgOkToErase = "OK to erase?";
inline constexpr const char* kMsgRegistrationOfPhrase = "Registration of a phrase";
inline constexpr const char* kMsgIsWrong = "is wrong.";
inline constexpr const char* kMsgOkToEraseRegistration = "OK to erase registration?";

// What the slot procedure did to a record.
enum class CleanupAction {
    Unchanged,   // record already agreed with its data file
    Refreshed,   // kept; fields taken from the file updated
    Registered,  // filled anew from a data file (default name)
    Reset,       // registration dropped: no readable data file
    Cleared,     // an empty slot whose leftover bytes were reset to the erased record
    Unreadable,  // a data file of the slot cannot be read: record and files kept as they are
};
// "unchanged", "refreshed from its data file", "registered from <file>", ...
std::string cleanupActionText(CleanupAction action);

struct CleanupSlot {
    int index = 0;
    CleanupAction action = CleanupAction::Unchanged;
    fs::path dataFile;                   // the registered data file after the procedure
    std::vector<fs::path> deletedFiles;  // further data files the user chose to delete
    std::vector<fs::path> keptFiles;     // further data files the user kept
    std::vector<std::string> errors;     // unreadable files and deletions that failed
};

// The question about a further data file C of a slot whose registered data
// file is R (empty for an empty record).
std::string cleanupQuestion(const std::string& registeredFile, const std::string& candidate);

// Reports (slot, slots) before each slot, and the status text as it changes.
struct CleanupProgress {
    std::function<void(int slot, int slots)> step;
    std::function<void(const std::string& status)> status;
};

struct CleanupResult {
    enum class Status {
        Finished,     // every slot processed; the card was reloaded
        Cancelled,    // the user declined saving the edits first: nothing done
        Stopped,      // the card folder's files could not be used: nothing written
        WriteFailed,  // the phrase settings file could not be written (old file kept)
    };
    Status status = Status::Stopped;
    Model model = Model::WQ7000;  // the model found in the folder
    int slotCount = 0;
    bool written = false;              // the phrase settings file was written
    bool reloaded = false;             // the document reloaded the card
    std::vector<CleanupSlot> reports;  // slots that changed or had further files
    std::string error;                 // why it stopped or what failed

    bool ok() const;  // finished, every data file read and no deletion failed
};

// The card of a folder as the cleanup sees it: the model from the system
// settings file that is present, or the cleanup's stop message when both or
// neither are (with `detail` naming the files or the folder).
struct CleanupCard {
    bool bothSystemFiles = false;
    std::optional<Model> model;
    fs::path systemFile;
    const char* stopMessage = nullptr;
    std::string detail;
};
CleanupCard findCleanupCard(const fs::path& folder);

// Why a cleanup of the card in `folder` would stop before changing anything
// (the cleanup's message, and the detail naming the file and what is wrong
// with it); nullopt when it can run. Commands that put data files on a card
// for the cleanup to register check this before they copy anything.
struct CleanupStop {
    const char* message = nullptr;
    std::string detail;
};
std::optional<CleanupStop> cleanupStopFor(const fs::path& folder);

// The whole START procedure on the document's card folder. Questions and
// messages go through `prompter`; the phrase settings file is replaced
// safely (a failed write leaves the old file whole). Ends by reloading the
// card into the document, except when it was cancelled or stopped.
// The phrase settings file is written and further data files are deleted
// through `fsys`.
CleanupResult runCleanup(CWQEDoc& doc, Prompter& prompter, const CleanupProgress& progress = {},
                         FileSystem& fsys = realFileSystem());

}  // namespace wqe
