// Backup and restore of whole card folders. Before the copy, the device's own
// files at the destination are deleted (so no phrase file of the old content
// survives beside the new one); then the whole source folder is copied over,
// sub-folders included, replacing existing files.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

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

// Reports (entries done, entries in total) while the copy runs.
using ProgressFn = std::function<void(std::size_t done, std::size_t total)>;

struct TransferResult {
    enum class Status {
        Done,      // device files deleted (where asked) and everything copied
        Declined,  // the user answered no: nothing touched
        Refused,   // the folders cannot be used: nothing touched
        Failed,    // a deletion or a copy failed (see errors); the rest was done
    };
    Status status = Status::Refused;
    std::vector<fs::path> deleted;  // files and folders removed before the copy
    std::size_t filesCopied = 0;
    std::size_t foldersCreated = 0;
    std::vector<std::string> errors;  // refusal reason or one line per failed file
    bool destinationIsOpenCard = false;
    bool reloaded = false;  // the open card was reloaded afterwards

    bool ok() const { return status == Status::Done; }
};

// The three deletions of the device's file set inside `folder`, in order:
// files matching "_WQ*.*", files matching "WQ*.TXT" (letter case ignored;
// folders of those names are left alone), and everything inside the
// sub-folder "_WQ7TDIR.CNF" (the sub-folder itself stays). Appends what was
// removed to `deleted` and one line per failure to `errors`.
void deleteDeviceFiles(const fs::path& folder, std::vector<fs::path>& deleted,
                       std::vector<std::string>& errors);

// Copies every entry of `source` into `destination` (created when missing),
// sub-folders with their whole content, replacing existing files. Counts
// into `result` and appends one line per entry that could not be copied.
void copyFolderContents(const fs::path& source, const fs::path& destination, TransferResult& result,
                        const ProgressFn& progress = {});

// Why the two folders cannot be used for a transfer ("" when they can): an
// empty folder text, a source that is not an existing folder, a destination
// that is a file, the same folder twice, or one folder inside the other.
std::string transferRefusal(const std::string& source, const std::string& destination);

// The whole operation. `doc` is the open document (it may hold no card): when
// the destination is the open card's folder the longer question is asked and
// the card is reloaded afterwards. Backup into a folder that does not exist
// asks nothing and deletes nothing; restore always asks. Refusals and
// failures are also told through the prompter.
TransferResult runTransfer(TransferMode mode, const std::string& source,
                           const std::string& destination, CWQEDoc* doc, Prompter& prompter,
                           const ProgressFn& progress = {});

}  // namespace wqe
