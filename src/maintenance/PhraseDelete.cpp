#include "maintenance/PhraseDelete.h"

#include <cstdio>
#include <cstdlib>

#include "card/FileIO.h"

namespace wqe {

std::string erasePhraseQuestion(Model m, int index) {
    char number[16];
    std::snprintf(number, sizeof number, m == Model::WQ5000 ? "%03d" : "%04d", index + 1);
    return std::string(kMsgErasePhrase) + number + "?";
}

std::string deletePhraseQuestion(Model m, int index, Language lang) {
    if (lang == Language::Japanese) {
        char number[16];
        std::snprintf(number, sizeof number, m == Model::WQ5000 ? "%03d" : "%04d", index + 1);
        return std::string(kMsgErasePhraseJa) + number + kMsgErasePhraseJaEnd + "\n" +
               kMsgEraseCannotUndoJa;
    }
    return erasePhraseQuestion(m, index) + "\n" + kMsgEraseCannotUndo;
}

fs::path registeredDataFile(const CWQEDoc& doc, int index) {
    const fs::path folder = fs::path(doc.systemPath()).parent_path();
    const std::string name = phraseDataFileName("", index, doc.phr().dataFileExtension(index));
    return findCardFile(folder, name);
}

PhraseDeleteResult deletePhrase(CWQEDoc& doc, int index, Prompter& prompter) {
    PhraseDeleteResult result;
    if (!doc.isLoaded() || index < 0 || index >= doc.phraseCount() ||
        index >= doc.phr().recordCount() || !doc.phr().isUsed(index))
        return result;
    if (prompter.ask(deletePhraseQuestion(doc.model(), index, doc.language()), Buttons::YesNo,
                     Icon::Question) != Answer::Yes) {
        result.status = PhraseDeleteResult::Status::Declined;
        return result;
    }
    result.dataFile = registeredDataFile(doc, index);
    std::error_code ec;
    result.fileRemoved = fs::remove(result.dataFile, ec);
    if (ec) {
        result.status = PhraseDeleteResult::Status::Failed;
        result.error = result.dataFile.string() + ": could not be deleted (" + ec.message() +
                       "); the phrase was not erased.";
        prompter.message(result.error, Icon::Exclamation);
        return result;
    }
    doc.edit(kEditDeletePhrase, [&] { doc.phr().erase(index); });
    result.status = PhraseDeleteResult::Status::Deleted;
    return result;
}

std::string deleteFolderQuestion(const std::string& folder) {
    return "The folder:\n\n" + folder +
           "\n\nand everything in it will be deleted permanently. OK to proceed?";
}

std::string folderDeleteRefusal(const std::string& folder) {
    if (folder.empty()) return "No folder was given.";
    std::error_code ec;
    const auto st = fs::symlink_status(folder, ec);
    if (ec || !fs::exists(st)) return folder + ": no such folder.";
    if (!fs::is_directory(st)) return folder + ": not a folder.";
    const fs::path target = fs::weakly_canonical(fs::absolute(folder), ec);
    if (ec) return folder + ": " + ec.message();
    if (target == target.root_path())
        return folder + ": the root of the file system is never deleted.";
    if (const char* home = std::getenv("HOME"); home && *home) {
        const fs::path h = fs::weakly_canonical(fs::absolute(home), ec);
        if (!ec) {
            const fs::path rel = h.lexically_relative(target);
            if (!rel.empty() && *rel.begin() != "..")
                return folder + (rel == "." ? ": the home folder is never deleted."
                                            : ": it holds the home folder; it is never deleted.");
        }
    }
    return {};
}

std::string folderDeleteStart(const SettingsStore& settings, Prompter& prompter) {
    const std::string backup = settings.value(kKeyBackupPath, "");
    std::error_code ec;
    if (backup.empty() || !fs::exists(backup, ec)) {
        prompter.message(kMsgSpecifyCorrectPath, Icon::Exclamation);
        return {};
    }
    return backup;
}

FolderDeleteResult deleteFolder(const std::string& folder, Prompter& prompter) {
    FolderDeleteResult result;
    if (std::string why = folderDeleteRefusal(folder); !why.empty()) {
        result.error = why;
        prompter.message(why, Icon::Exclamation);
        return result;
    }
    if (prompter.ask(deleteFolderQuestion(folder), Buttons::YesNo, Icon::Question) != Answer::Yes) {
        result.status = FolderDeleteResult::Status::Declined;
        return result;
    }
    std::error_code ec;
    const std::uintmax_t n = fs::remove_all(folder, ec);
    if (ec || n == static_cast<std::uintmax_t>(-1)) {
        result.status = FolderDeleteResult::Status::Failed;
        result.error = folder + ": could not be deleted completely (" + ec.message() + ").";
        prompter.message(result.error, Icon::Exclamation);
        return result;
    }
    result.removed = n;
    result.status = FolderDeleteResult::Status::Deleted;
    return result;
}

}  // namespace wqe
