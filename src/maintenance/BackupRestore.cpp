#include "maintenance/BackupRestore.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <random>
#include <system_error>

#include "base/FileSystem.h"
#include "card/FileIO.h"

namespace wqe {

namespace {

// "_WQ*.*" of the card's FAT file system: the trailing ".*" also matches a
// name without an extension, so every name beginning with "_WQ" matches.
constexpr std::string_view kDevicePattern = "_WQ*";
constexpr std::string_view kTextPattern = "WQ*.TXT";
constexpr std::size_t kCopyPieceSize = 64 * 1024;

std::string errnoText(int error) { return std::generic_category().message(error); }

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

// Copies one file to a new file `to` through the file-system seam, flushes
// it to the device and checks that it holds as many bytes as the source.
// "" on success, else a text naming the file and the cause.
std::string copyFileChecked(FileSystem& fsys, const fs::path& from, const fs::path& to) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return "could not read " + from.string() + ": " + errnoText(errno);
    struct stat st {};
    if (::fstat(in, &st) != 0) {
        const int error = errno;
        ::close(in);
        return "could not read " + from.string() + ": " + errnoText(error);
    }
    auto failure = [&](const Error& e) {
        ::close(in);
        return "could not copy " + from.string() + " to " + e.message();
    };
    auto out = fsys.createNew(to, (st.st_mode & 07777) | 0600);
    if (!out) return failure(out.error());
    std::array<std::uint8_t, kCopyPieceSize> piece;
    std::uint64_t total = 0;
    for (;;) {
        const ssize_t n = ::read(in, piece.data(), piece.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            (void)(*out)->close();
            return failure(errnoError(errno, from, "cannot be read", ErrorKind::ReadFailed));
        }
        if (n == 0) break;
        if (Status s = (*out)->write({piece.data(), static_cast<std::size_t>(n)}); !s) {
            (void)(*out)->close();
            return failure(s.error());
        }
        total += static_cast<std::uint64_t>(n);
    }
    if (Status s = (*out)->flush(); !s) {
        (void)(*out)->close();
        return failure(s.error());
    }
    if (Status s = (*out)->close(); !s) return failure(s.error());
    ::close(in);
    std::error_code ec;
    const std::uintmax_t written = fs::file_size(to, ec);
    if (ec) return "could not copy " + from.string() + " to " + describe(to, ec);
    if (total != static_cast<std::uint64_t>(st.st_size) || written != total)
        return "could not copy " + from.string() + " to " + to.string() + ": the copy holds " +
               std::to_string(written) + " of " + std::to_string(st.st_size) + " bytes";
    return {};
}

// The process id in a staging folder's name; 0 when it has none.
long stagingOwner(std::string_view name) {
    if (!name.starts_with(kStagingPrefix)) return 0;
    long pid = 0;
    for (char c : name.substr(kStagingPrefix.size())) {
        if (c < '0' || c > '9') break;
        pid = pid * 10 + (c - '0');
        if (pid > 1L << 30) return 0;
    }
    return pid;
}

// Removes the staging folders that transfers killed before their end left in `folder`.
void removeStaleStaging(const fs::path& folder) {
    std::error_code ec;
    std::vector<fs::path> stale;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const long pid = stagingOwner(it->path().filename().string());
        if (pid > 0 && pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0 &&
            errno == ESRCH)
            stale.push_back(it->path());
    }
    for (const fs::path& p : stale) fs::remove_all(p, ec);
}

// The top-most folder that creating `folder` will make; empty when it exists.
fs::path firstMissingFolder(const fs::path& folder) {
    std::error_code ec;
    fs::path missing;
    for (fs::path p = fs::absolute(folder, ec); !p.empty() && !fs::exists(p, ec);
         p = p.parent_path()) {
        missing = p;
        if (p == p.parent_path()) break;
    }
    return missing;
}

// One move of the commit, with what undoes it.
struct Move {
    enum class Kind {
        Place,    // staged entry renamed to a free name at the destination
        Replace,  // the entry at the destination kept aside, the staged one renamed over it
        Remove,   // an old device entry moved aside
    };
    Kind kind;
    fs::path staged;         // Place, Replace: the entry in the staging folder
    fs::path target;         // the entry at the destination
    fs::path aside;          // Replace, Remove: where the old entry is kept until the end
    bool bothFiles = false;  // Replace: a file replaces a file
    bool linked = false;     // Replace: the old file was kept aside by a second name
};

// The copy of the source, the old entries set aside, and the plan that moves
// one into the destination in place of the other.
class Staging {
public:
    Staging(FileSystem& fsys, const fs::path& destination)
        : fsys_(fsys), destination_(destination) {
        std::random_device rd;
        root_ = destination / (std::string(kStagingPrefix) + std::to_string(::getpid()) + "-" +
                               std::to_string(rd() % 1000000));
    }
    const fs::path& root() const { return root_; }
    fs::path fresh() const { return root_ / "new"; }
    fs::path old() const { return root_ / "old"; }

    // Copies the source's entries (without the program's temporary files)
    // into the staging folder. Stops at the first failure.
    bool copy(const fs::path& source, TransferResult& result, const ProgressFn& progress);

    // Works out the moves; false with an error when an entry of the copy
    // cannot take the place of what the destination holds.
    bool plan(TransferResult& result);

    // Carries out the moves; on a failure undoes the ones made and returns false.
    bool commit(TransferResult& result);

    // Removes the staging folder; a failure is reported, the transfer stands.
    void remove(TransferResult& result);

private:
    void planFolder(const fs::path& staged, const fs::path& target, bool wholeEntries,
                    std::vector<fs::path>& oldEntries, TransferResult& result);
    std::string carryOut(Move& m);
    std::string undo(const Move& m);
    fs::path asideFor(const fs::path& target) const {
        return old() / target.lexically_relative(destination_);
    }

    // Removes a staged tree bottom-up through the seam; false on the first failure.
    Status removeTree(const fs::path& root);

    FileSystem& fsys_;
    fs::path destination_, root_;
    std::vector<Move> moves_;
};

bool Staging::copy(const fs::path& source, TransferResult& result, const ProgressFn& progress) {
    for (const fs::path& folder : {root_, fresh(), old()}) {
        if (Status s = fsys_.createFolder(folder); !s) {
            result.errors.push_back("could not create the folder " + s.error().message());
            return false;
        }
    }
    std::error_code ec;
    std::vector<fs::directory_entry> entries;
    for (fs::recursive_directory_iterator it(source, ec), end; !ec && it != end; it.increment(ec)) {
        if (isScratchName(it->path().filename().string())) {
            it.disable_recursion_pending();
            continue;
        }
        entries.push_back(*it);
    }
    if (ec) {
        result.errors.push_back("could not list " + describe(source, ec));
        return false;
    }
    const std::size_t total = entries.size();
    std::size_t done = 0;
    if (progress) progress(done, total);
    for (const fs::directory_entry& e : entries) {
        const fs::path target = fresh() / e.path().lexically_relative(source);
        std::error_code typeEc;
        const bool link = e.is_symlink(typeEc);
        if (e.is_directory(typeEc) && !link) {
            if (Status s = fsys_.createFolder(target); !s) {
                result.errors.push_back("could not create the folder " + s.error().message());
                return false;
            }
        } else if (e.is_regular_file(typeEc)) {
            if (std::string error = copyFileChecked(fsys_, e.path(), target); !error.empty()) {
                result.errors.push_back(std::move(error));
                return false;
            }
            ++result.filesCopied;
        } else {
            result.errors.push_back(e.path().string() +
                                    ": not a file or a folder; it cannot be copied");
            return false;
        }
        if (progress) progress(++done, total);
    }
    return true;
}

bool Staging::plan(TransferResult& result) {
    std::vector<fs::path> oldEntries = deviceEntries(destination_);
    result.deleted = oldEntries;
    planFolder(fresh(), destination_, false, oldEntries, result);
    if (!result.errors.empty()) return false;
    // The system settings files last, so that a card folder holds its new
    // phrase files before the file that opens it changes.
    std::stable_partition(moves_.begin(), moves_.end(), [](const Move& m) {
        const std::string name = upperAscii(m.target.filename().string());
        return name != kSystemFileName7000 && name != kSystemFileName5000;
    });
    for (const fs::path& p : oldEntries) {
        std::error_code ec;
        moves_.push_back({Move::Kind::Remove, {}, p, asideFor(p), false, false});
    }
    return true;
}

// Inside the destination's "_WQ7TDIR.CNF" (`wholeEntries`) every entry is
// replaced whole; elsewhere folders are merged and files replaced.
void Staging::planFolder(const fs::path& staged, const fs::path& target, bool wholeEntries,
                         std::vector<fs::path>& oldEntries, TransferResult& result) {
    std::error_code ec;
    std::vector<fs::path> names;
    for (fs::directory_iterator it(staged, ec), end; !ec && it != end; it.increment(ec))
        names.push_back(it->path().filename());
    std::sort(names.begin(), names.end());
    for (const fs::path& name : names) {
        const fs::path from = staged / name, to = target / name;
        std::erase(oldEntries, to);
        const bool newIsFolder = fs::is_directory(fs::symlink_status(from, ec));
        const fs::file_status there = fs::symlink_status(to, ec);
        if (!fs::exists(there)) {
            moves_.push_back({Move::Kind::Place, from, to, {}, false, false});
            if (newIsFolder) ++result.foldersCreated;
            continue;
        }
        const bool oldIsFolder = fs::is_directory(there);
        if (wholeEntries || (!newIsFolder && !oldIsFolder)) {
            moves_.push_back(
                {Move::Kind::Replace, from, to, asideFor(to), !newIsFolder && !oldIsFolder, false});
        } else if (newIsFolder && oldIsFolder) {
            const bool subFolder =
                target == destination_ && upperAscii(name.string()) == kSubFolderName7000;
            planFolder(from, to, subFolder, oldEntries, result);
        } else {
            result.errors.push_back(to.string() + ": " +
                                    (oldIsFolder ? "is a folder where the copy has a file"
                                                 : "is a file where the copy has a folder") +
                                    "; nothing was changed");
        }
    }
}

std::string Staging::carryOut(Move& m) {
    std::error_code ec;
    auto failed = [&](const fs::path& from, const fs::path& to) {
        return "could not move " + from.string() + " to " + to.string() + ": " + ec.message();
    };
    if (m.kind != Move::Kind::Place) {
        fs::create_directories(m.aside.parent_path(), ec);
        if (ec) return "could not create the folder " + describe(m.aside.parent_path(), ec);
    }
    switch (m.kind) {
        case Move::Kind::Place:
            fs::rename(m.staged, m.target, ec);
            return ec ? failed(m.staged, m.target) : std::string();
        case Move::Kind::Replace:
            // A file is kept aside by a second name, so that the destination
            // never lacks it: the rename then swaps the content at once.
            // Where the file system has no links, it is moved aside first.
            if (m.bothFiles) {
                fs::create_hard_link(m.target, m.aside, ec);
                m.linked = !ec;
                ec.clear();
            }
            if (!m.linked) {
                fs::rename(m.target, m.aside, ec);
                if (ec) return failed(m.target, m.aside);
            }
            fs::rename(m.staged, m.target, ec);
            if (ec) {
                const std::string why = failed(m.staged, m.target);
                std::error_code back;
                if (!fs::exists(fs::symlink_status(m.target, back)))
                    fs::rename(m.aside, m.target, back);
                return why;
            }
            return {};
        case Move::Kind::Remove:
            fs::rename(m.target, m.aside, ec);
            return ec ? failed(m.target, m.aside) : std::string();
    }
    return {};
}

// Undoing uses the real file system: the moves back must happen even when
// the seam has just failed one move.
std::string Staging::undo(const Move& m) {
    FileSystem& real = realFileSystem();
    Status s;
    switch (m.kind) {
        case Move::Kind::Place:
            if (s = real.rename(m.target, m.staged); !s)
                return m.target.string() + ": the new entry stays (" + s.error().reason + ")";
            return {};
        case Move::Kind::Replace:
            if (!m.linked) s = real.rename(m.target, m.staged);
            if (s) s = real.rename(m.aside, m.target);
            break;
        case Move::Kind::Remove:
            s = real.rename(m.aside, m.target);
            break;
    }
    if (!s)
        return m.target.string() + ": its old content lies in " + m.aside.string() + " (" +
               s.error().reason + ")";
    return {};
}

bool Staging::commit(TransferResult& result) {
    for (std::size_t k = 0; k < moves_.size(); ++k) {
        std::string error = carryOut(moves_[k]);
        if (error.empty()) continue;
        result.errors.push_back(std::move(error));
        for (std::size_t j = k; j-- > 0;)
            if (std::string left = undo(moves_[j]); !left.empty())
                result.unrestored.push_back(std::move(left));
        return false;
    }
    return true;
}

Status Staging::removeTree(const fs::path& root) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(root, ec))) return {};
    if (fs::is_directory(fs::symlink_status(root, ec))) {
        std::vector<fs::path> children;
        for (fs::directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec))
            children.push_back(it->path());
        for (const fs::path& c : children)
            if (Status s = removeTree(c); !s) return s;
    }
    return fsys_.remove(root);
}

void Staging::remove(TransferResult& result) {
    if (Status s = removeTree(root_); !s)
        result.errors.push_back("the staging folder " + root_.string() +
                                " could not be removed: " + s.error().message());
}

}  // namespace

bool isScratchName(std::string_view name) {
    return name.starts_with(kStagingPrefix) || isTemporaryFileName(name);
}

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

std::vector<fs::path> deviceEntries(const fs::path& folder) {
    std::error_code ec;
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeEc;
        if (fs::is_directory(it->symlink_status(typeEc))) continue;
        if (wildcardMatch(kDevicePattern, name) || wildcardMatch(kTextPattern, name))
            entries.push_back(it->path());
    }
    const fs::path sub = findCardFile(folder, kSubFolderName7000);
    if (fs::is_directory(fs::symlink_status(sub, ec)))
        for (fs::directory_iterator it(sub, ec), end; !ec && it != end; it.increment(ec))
            if (!isScratchName(it->path().filename().string())) entries.push_back(it->path());
    std::sort(entries.begin(), entries.end());
    return entries;
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
                           const ProgressFn& progress, FileSystem& fsys) {
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
    }
    const fs::path created = firstMissingFolder(dst);
    if (!created.empty() && (fs::create_directories(dst, ec), ec)) {
        result.errors.push_back("could not create the folder " + describe(dst, ec));
    } else {
        removeStaleStaging(dst);
        Staging staging(fsys, dst);
        const bool committed = staging.copy(fs::path(source), result, progress) &&
                               staging.plan(result) && staging.commit(result);
        staging.remove(result);
        if (!committed && !created.empty() && result.unrestored.empty())
            fs::remove_all(created, ec);
        if (committed) result.status = TransferResult::Status::Done;
    }
    if (!result.ok()) {
        result.status = TransferResult::Status::Failed;
        result.deleted.clear();
        std::string text = mode == TransferMode::Backup ? "The backup did not complete"
                                                        : "The restoration did not complete";
        text += result.unrestored.empty() ? "; " + destination + " was left as it was:"
                                          : "; these entries could not be put back:";
        for (const std::string& e : result.unrestored) text += "\n" + e;
        for (const std::string& e : result.errors) text += "\n" + e;
        prompter.message(text, Icon::Exclamation);
    } else if (!result.errors.empty()) {
        std::string text;
        for (const std::string& e : result.errors) text += (text.empty() ? "" : "\n") + e;
        prompter.message(text, Icon::Exclamation);
    }
    // After a failure the card's files are the old ones again, but reloading
    // shows exactly what the folder holds now either way.
    if (result.destinationIsOpenCard && doc) result.reloaded = doc->reload();
    return result;
}

}  // namespace wqe
