#include "maintenance/BackupRestore.h"

#include "card/FileIO.h"

namespace wqe {

namespace {

// "_WQ*.*" of the card's FAT file system: the trailing ".*" also matches a
// name without an extension, so every name beginning with "_WQ" matches.
constexpr std::string_view kDevicePattern = "_WQ*";
constexpr std::string_view kTextPattern = "WQ*.TXT";

std::string describe(const fs::path& p, const std::error_code& ec) {
    return p.string() + ": " + ec.message();
}

bool isInside(const fs::path& inner, const fs::path& outer) {
    auto i = inner.begin();
    for (auto o = outer.begin(); o != outer.end(); ++o, ++i) {
        if (o->empty()) continue;  // trailing separator
        if (i == inner.end() || *i != *o) return false;
    }
    return true;
}

fs::path normalised(const std::string& text) {
    std::error_code ec;
    fs::path p = fs::weakly_canonical(fs::absolute(fs::path(text), ec), ec);
    if (ec) p = fs::absolute(fs::path(text)).lexically_normal();
    return p;
}

}  // namespace

TransferTexts transferTexts(TransferMode mode) {
    if (mode == TransferMode::Backup)
        return {"Back Up Card",
                "Backup-Source Folder:",
                "Backup-Destination Folder:",
                "Change Folder Name As Necessary",
                "CARD Path Setup",
                "Buckup Up Path Setup"};
    return {"Restore Card",
            "Restoration-Source Folder:",
            "Restoration-Destination Folder:",
            "",
            "Buckup Up Path Setup",
            "CARD Path Setup"};
}

TransferFolders transferStartFolders(TransferMode mode, const SettingsStore& settings,
                                     const std::string& currentFolder) {
    auto saved = [&](const char* key) {
        const std::string v = settings.value(key, "");
        return v.empty() ? currentFolder : v;
    };
    if (mode == TransferMode::Backup) return {saved(kKeyCardPath), saved(kKeyBackupPath)};
    return {saved(kKeyBackupPath), saved(kKeyCardPath)};
}

void deleteDeviceFiles(const fs::path& folder, std::vector<fs::path>& deleted,
                       std::vector<std::string>& errors) {
    std::error_code ec;
    std::vector<fs::path> files;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeEc;
        if (it->is_directory(typeEc)) continue;
        if (wildcardMatch(kDevicePattern, name) || wildcardMatch(kTextPattern, name))
            files.push_back(it->path());
    }
    if (ec) {
        errors.push_back(describe(folder, ec));
        return;
    }
    for (const fs::path& f : files) {
        if (fs::remove(f, ec)) {
            deleted.push_back(f);
        } else if (ec) {
            errors.push_back("could not delete " + describe(f, ec));
        }
    }
    const fs::path sub = findCardFile(folder, kSubFolderName7000);
    if (!fs::is_directory(sub, ec)) return;
    std::vector<fs::path> inside;
    for (fs::directory_iterator it(sub, ec), end; !ec && it != end; it.increment(ec))
        inside.push_back(it->path());
    if (ec) {
        errors.push_back(describe(sub, ec));
        return;
    }
    for (const fs::path& p : inside) {
        if (fs::remove_all(p, ec) != static_cast<std::uintmax_t>(-1) && !ec) {
            deleted.push_back(p);
        } else {
            errors.push_back("could not delete " + describe(p, ec));
        }
    }
}

void copyFolderContents(const fs::path& source, const fs::path& destination, TransferResult& result,
                        const ProgressFn& progress) {
    std::error_code ec;
    std::vector<fs::directory_entry> entries;
    for (fs::recursive_directory_iterator it(source, ec), end; !ec && it != end; it.increment(ec))
        entries.push_back(*it);
    if (ec) {
        result.errors.push_back("could not list " + describe(source, ec));
        return;
    }
    if (!fs::is_directory(destination, ec)) {
        if (!fs::create_directories(destination, ec) || ec) {
            result.errors.push_back("could not create the folder " + describe(destination, ec));
            return;
        }
        ++result.foldersCreated;
    }
    const std::size_t total = entries.size();
    std::size_t done = 0;
    if (progress) progress(done, total);
    for (const fs::directory_entry& e : entries) {
        const fs::path target = destination / e.path().lexically_relative(source);
        std::error_code typeEc;
        const bool link = e.is_symlink(typeEc);
        if (e.is_directory(typeEc) && !link) {
            if (fs::is_directory(target, ec)) {
                // already there
            } else if (fs::create_directory(target, ec) && !ec) {
                ++result.foldersCreated;
            } else {
                result.errors.push_back("could not create the folder " + describe(target, ec));
            }
        } else if (e.is_regular_file(typeEc)) {
            if (fs::copy_file(e.path(), target, fs::copy_options::overwrite_existing, ec) && !ec)
                ++result.filesCopied;
            else
                result.errors.push_back("could not copy " + e.path().string() + " to " +
                                        target.string() + ": " + ec.message());
        } else {
            result.errors.push_back(e.path().string() +
                                    ": not a file or a folder; it was not copied");
        }
        if (progress) progress(++done, total);
    }
}

std::string transferRefusal(const std::string& source, const std::string& destination) {
    if (source.empty()) return "No source folder was given.";
    if (destination.empty()) return "No destination folder was given.";
    std::error_code ec;
    if (!fs::is_directory(source, ec)) return source + ": the source folder does not exist.";
    if (fs::exists(destination, ec) && !fs::is_directory(destination, ec))
        return destination + ": the destination is a file, not a folder.";
    const fs::path src = normalised(source), dst = normalised(destination);
    if (sameFolder(src, dst) || src == dst)
        return source + " and " + destination + " are the same folder.";
    if (isInside(dst, src)) return destination + " lies inside the source folder " + source + ".";
    if (isInside(src, dst))
        return source + " lies inside the destination folder " + destination + ".";
    return {};
}

TransferResult runTransfer(TransferMode mode, const std::string& source,
                           const std::string& destination, CWQEDoc* doc, Prompter& prompter,
                           const ProgressFn& progress) {
    TransferResult result;
    if (std::string why = transferRefusal(source, destination); !why.empty()) {
        result.status = TransferResult::Status::Refused;
        result.errors.push_back(why);
        prompter.message(why + "\nNothing was deleted or copied.", Icon::Exclamation);
        return result;
    }
    std::error_code ec;
    const fs::path dst(destination);
    if (doc && doc->isLoaded())
        result.destinationIsOpenCard = sameFolder(fs::path(doc->systemPath()).parent_path(), dst);

    const bool destinationExists = fs::is_directory(dst, ec);
    if (mode == TransferMode::Restore || destinationExists) {
        const char* question =
            mode == TransferMode::Backup
                ? (result.destinationIsOpenCard ? kMsgBackupIntoOpenCard : kMsgBackupIntoFolder)
                : (result.destinationIsOpenCard ? kMsgRestoreIntoOpenCard : kMsgRestoreIntoFolder);
        if (prompter.ask(question, Buttons::YesNo, Icon::Exclamation) != Answer::Yes) {
            result.status = TransferResult::Status::Declined;
            return result;
        }
        if (destinationExists) deleteDeviceFiles(dst, result.deleted, result.errors);
    }
    copyFolderContents(fs::path(source), dst, result, progress);

    result.status =
        result.errors.empty() ? TransferResult::Status::Done : TransferResult::Status::Failed;
    if (!result.errors.empty()) {
        std::string text = mode == TransferMode::Backup ? "The backup did not complete:"
                                                        : "The restoration did not complete:";
        for (const std::string& e : result.errors) text += "\n" + e;
        prompter.message(text, Icon::Exclamation);
    }
    // The card's files changed on disk whatever the outcome: show what the
    // folder now holds rather than the edits of the replaced card.
    if (result.destinationIsOpenCard && doc) result.reloaded = doc->reload();
    return result;
}

}  // namespace wqe
