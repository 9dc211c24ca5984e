// The file-system seam and the one safe writer built on it.
//
// Every writer of the program creates, writes, flushes, renames and removes
// files through a FileSystem handed in by its caller: realFileSystem() in the
// program, a fault-injecting double in the tests (tests/support/
// FaultyFileSystem.h), so that a failure at any step of any writer can be
// provoked without a process-wide hook.
//
// On top of it:
//  - AtomicFile: new content for one path, written to a temporary file in the
//    same folder and renamed over the path only when it is complete on the
//    device. Until then the old file is untouched; on failure or destruction
//    without commit the temporary file is removed.
//  - writeFileAtomic: the same for a whole buffer in one call.
//  - MultiFileCommit: several files that change together (a card save, a
//    cleanup, a restore). Every new content is written and flushed first; the
//    renames (and removals) run only when all of them are complete, and a
//    failing rename says exactly which files already hold the new content.
//  - Temporary file names carry the writer's process id, so that a later run
//    can remove those left by a killed process and never those of a program
//    still running (removeStaleTemporaries).
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Error.h"

namespace wqe {

namespace fs = std::filesystem;

// A file open for writing. Each call reports its own failure; errors name the
// file the caller asked for.
class WritableFile {
public:
    virtual ~WritableFile() = default;
    // Writes all of `bytes` at the current end.
    virtual Status write(std::span<const std::uint8_t> bytes) = 0;
    // Overwrites bytes already written (e.g. a count patched at the end).
    virtual Status writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) = 0;
    // Makes everything written so far durable on the device.
    virtual Status flush() = 0;
    // Releases the file; a failure here can mean data did not reach the disk.
    virtual Status close() = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Creates a new file that must not exist yet, with the given permission
    // bits (before the umask).
    virtual Result<std::unique_ptr<WritableFile>> createNew(const fs::path& path,
                                                            unsigned permissions = 0644) = 0;
    // Renames `from` to `to`, replacing `to` if it exists, and makes the
    // folder entry durable.
    virtual Status rename(const fs::path& from, const fs::path& to) = 0;
    // Removes a file or an empty folder.
    virtual Status remove(const fs::path& path) = 0;
    // Creates one folder (its parent must exist).
    virtual Status createFolder(const fs::path& path) = 0;
    // Reads a whole file.
    virtual Result<std::vector<std::uint8_t>> readAll(const fs::path& path) = 0;
};

// The operating system's file system.
FileSystem& realFileSystem();

// Reads a whole file through the real file system. Errors: NotFound,
// PermissionDenied, IsFolder, SymlinkLoop, ReadFailed (also a short read),
// OutOfMemory, each naming the file.
Result<std::vector<std::uint8_t>> readWholeFile(const fs::path& path);

// New content for one path; see the header comment.
class AtomicFile {
public:
    // Creates the temporary file beside `path`. The new file will get the
    // permissions of the file it replaces (0644 for a new one).
    static Result<AtomicFile> begin(FileSystem& fs, const fs::path& path);

    AtomicFile(AtomicFile&& other) noexcept;
    AtomicFile& operator=(AtomicFile&& other) noexcept;
    ~AtomicFile();  // discards unless committed

    // The first failure sticks: later calls return it again.
    Status write(std::span<const std::uint8_t> bytes);
    Status write(std::string_view bytes);
    Status writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes);
    // Flushes and closes the temporary file: after success the new content is
    // complete on the device, and only the rename is left.
    Status finish();
    // finish() if not done yet, then renames the temporary file over the path.
    Status commit();
    // Removes the temporary file; the path keeps its old content.
    void discard();

    const fs::path& path() const { return path_; }
    const fs::path& temporaryPath() const { return temp_; }
    std::uint64_t size() const { return size_; }

private:
    AtomicFile(FileSystem& fs, fs::path path, fs::path temp, std::unique_ptr<WritableFile> file);
    Status fail(Error e);

    FileSystem* fs_ = nullptr;
    fs::path path_, temp_;
    std::unique_ptr<WritableFile> file_;
    std::uint64_t size_ = 0;
    bool finished_ = false;
    Error error_;
    bool failed_ = false;
};

// Replaces the whole content of `path` by `bytes`, all or nothing.
Status writeFileAtomic(FileSystem& fs, const fs::path& path, std::span<const std::uint8_t> bytes);
Status writeFileAtomic(FileSystem& fs, const fs::path& path, std::string_view bytes);

// Several files that change together; see the header comment.
//
//   MultiFileCommit save(fs);
//   if (auto s = save.stage(sysPath, sysBytes); !s) return s;   // nothing changed
//   if (auto s = save.stage(phrPath, phrBytes); !s) return s;   // nothing changed
//   return save.commit();  // on failure the error names the replaced files
class MultiFileCommit {
public:
    explicit MultiFileCommit(FileSystem& fs) : fs_(&fs) {}
    ~MultiFileCommit();  // discards what was not committed
    MultiFileCommit(const MultiFileCommit&) = delete;
    MultiFileCommit& operator=(const MultiFileCommit&) = delete;

    // Writes and flushes the new content of `path` to its temporary file.
    // On failure nothing has changed yet, and the reason ends with
    // "; no file was changed".
    Status stage(const fs::path& path, std::span<const std::uint8_t> bytes);
    Status stage(const fs::path& path, std::string_view bytes);
    // Adds content written by the caller (streamed); finishes it.
    Status stage(AtomicFile file);
    // Removes `path` during commit, after the renames staged before it.
    void stageRemoval(const fs::path& path);

    // Carries out the staged renames and removals in the order they were
    // staged. On a failure the rest is not done and the error's reason lists
    // the files that already changed and those that kept their old content.
    Status commit();
    // Paths whose new content (or removal) took effect in commit().
    const std::vector<fs::path>& done() const { return done_; }

private:
    struct Step {
        std::unique_ptr<AtomicFile> file;  // null for a removal
        fs::path path;
    };
    FileSystem* fs_;
    std::vector<Step> steps_;
    std::vector<fs::path> done_;
};

// The name of a new temporary file for `target`: ".wqe-PID-N.tmp" in the
// target's folder, unique within this process.
fs::path temporaryPathFor(const fs::path& target);

// True for the names of this program's temporary files (backup, restore and
// listings skip them): ".wqe-*.tmp", ".wqe-import-*.tmp", ".NAME.partN".
bool isTemporaryFileName(std::string_view name);

// The process id in a temporary file name, or 0 when it carries none.
pid_t temporaryFileOwner(std::string_view name);

// Removes the temporary files in `folder` left by processes that are no
// longer running; those of running processes stay. Files of older versions
// without a process id are removed once they are `legacyAge` old. Returns the
// number removed; failures to remove are ignored (the file stays stale).
int removeStaleTemporaries(FileSystem& fs, const fs::path& folder,
                           std::chrono::seconds legacyAge = std::chrono::seconds(600));

}  // namespace wqe
