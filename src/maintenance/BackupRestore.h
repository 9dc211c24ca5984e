// Backup and restore of whole card folders. The destination ends up as if
// the device's own files there had been deleted and the whole source folder
// then copied over, sub-folders included, replacing existing files; so no
// phrase file of the old content survives beside the new one.
//
// The copy is made safely: it is first built in a staging folder inside the
// destination (the same file system, so that moving a file in is a rename)
// and checked file by file. Only when the copy is whole are the old device
// files moved aside and the copied files moved in; a failure up to and
// including that step puts every moved file back, so the destination holds
// either its old or its new content, file by file, and the failure is
// reported with its real cause.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/FileSystem.h"
#include "card/CWQEDoc.h"
#include "card/Prompter.h"
#include "card/Settings.h"

namespace wqe {

namespace fs = std::filesystem;

enum class TransferMode { Restore = 0, Backup = 1 };

inline constexpr const char* kMsgBackupIntoOpenCard =
    "All of the files in the backup-destination folder will be deleted,\nand the card data will be "
    "loaded after the backup. Do you want to continue?";
inline constexpr const char* kMsgBackupIntoFolder =
    "All the files in the folder at the backup destination will be deleted. OK to proceed?";
inline constexpr const char* kMsgRestoreIntoOpenCard =
    "All card phrases will be erased, and the card data will be loaded after the restoration.\nDo "
    "you want to continue?";
inline constexpr const char* kMsgRestoreIntoFolder =
    "All phrases on the card will be erased. OK to proceed?";

// The texts of the backup/restore dialog for a mode.
struct TransferTexts {
    const char* title;                    // "Back Up Card" / "Restore Card"
    const char* sourceLabel;              // group box round the source folder
    const char* destinationLabel;         // group box round the destination folder
    const char* note;                     // static note under the folders
    const char* sourceChooserTitle;       // folder chooser of the source "refer"
    const char* destinationChooserTitle;  // folder chooser of the destination "refer"
};
inline constexpr const char* kTransferChooserCaption = "Reference Path:";
TransferTexts transferTexts(TransferMode mode);

// The folders the dialog starts with: backup CardPath -> BackupPath, restore
// BackupPath -> CardPath; an empty saved path is replaced by `currentFolder`.
struct TransferFolders {
    std::string source, destination;
};
TransferFolders transferStartFolders(TransferMode mode, const SettingsStore& settings,
                                     const std::string& currentFolder);

// The staging folder of a transfer inside the destination: this prefix, the
// process id, "-" and a random number.
inline constexpr std::string_view kStagingPrefix = ".wqe-stage-";

// True for the names of the program's own temporary files and folders
// (".wqe-*.tmp", ".wqe-import-*.tmp", ".NAME.partN", staging folders). A
// transfer never copies them.
bool isScratchName(std::string_view name);

// The device's file set inside `folder`, as the transfer replaces it: files
// matching "_WQ*.*" and "WQ*.TXT" (letter case ignored; folders of those
// names are not part of it) and every entry inside the sub-folder
// "_WQ7TDIR.CNF" (the sub-folder itself stays).
std::vector<fs::path> deviceEntries(const fs::path& folder);

// Reports (entries done, entries in total) while the copy runs.
using ProgressFn = std::function<void(std::size_t done, std::size_t total)>;

struct TransferResult {
    enum class Status {
        Done,      // the destination holds the new content
        Declined,  // the user answered no: nothing touched
        Refused,   // the folders cannot be used: nothing touched
        Failed,    // the copy failed (see errors); the destination was left as it was
    };
    Status status = Status::Refused;
    std::vector<fs::path> deleted;  // device entries of the old content that were replaced
    std::size_t filesCopied = 0;
    std::size_t foldersCreated = 0;   // folders that did not exist at the destination
    std::vector<std::string> errors;  // refusal or failure, naming file and cause
    // Entries whose old content could not be put back after a failure (each
    // named with the place its old content now lies); empty in every other case.
    std::vector<std::string> unrestored;
    bool destinationIsOpenCard = false;
    bool reloaded = false;  // the open card was reloaded afterwards

    bool ok() const { return status == Status::Done; }
};

// Why the two folders cannot be used for a transfer ("" when they can): an
// empty folder text, a source that is not an existing folder, a destination
// that is a file, the same folder twice, or one folder inside the other.
std::string transferRefusal(const std::string& source, const std::string& destination);

// The whole operation. `doc` is the open document (it may hold no card): when
// the destination is the open card's folder the longer question is asked and
// the card is reloaded afterwards. Backup into a folder that does not exist
// asks nothing and creates it; restore always asks. Refusals and failures are
// also told through the prompter.
// Every file and folder is created, written, flushed, renamed and removed
// through `fsys`.
TransferResult runTransfer(TransferMode mode, const std::string& source,
                           const std::string& destination, CWQEDoc* doc, Prompter& prompter,
                           const ProgressFn& progress = {}, FileSystem& fsys = realFileSystem());

}  // namespace wqe
