#include "base/FileSystem.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <new>

namespace wqe {

namespace {

class PosixFile : public WritableFile {
public:
    PosixFile(int fd, fs::path path) : fd_(fd), path_(std::move(path)) {}
    ~PosixFile() override {
        if (fd_ >= 0) ::close(fd_);
    }

    Status write(std::span<const std::uint8_t> bytes) override {
        const std::uint8_t* p = bytes.data();
        std::size_t left = bytes.size();
        while (left > 0) {
            const ssize_t n = ::write(fd_, p, left);
            if (n < 0) {
                if (errno == EINTR) continue;
                return errnoError(errno, path_, "cannot be written", ErrorKind::WriteFailed);
            }
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        return {};
    }

    Status writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        const std::uint8_t* p = bytes.data();
        std::size_t left = bytes.size();
        auto at = static_cast<off_t>(offset);
        while (left > 0) {
            const ssize_t n = ::pwrite(fd_, p, left, at);
            if (n < 0) {
                if (errno == EINTR) continue;
                return errnoError(errno, path_, "cannot be written", ErrorKind::WriteFailed);
            }
            p += n;
            at += n;
            left -= static_cast<std::size_t>(n);
        }
        return {};
    }

    Status flush() override {
        if (::fsync(fd_) != 0)
            return errnoError(errno, path_, "cannot be written to the device",
                              ErrorKind::WriteFailed);
        return {};
    }

    Status close() override {
        const int fd = fd_;
        fd_ = -1;
        if (fd >= 0 && ::close(fd) != 0)
            return errnoError(errno, path_, "cannot be written", ErrorKind::WriteFailed);
        return {};
    }

private:
    int fd_;
    fs::path path_;
};

void syncFolder(const fs::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // best effort: the rename itself has happened
    ::close(fd);
}

class RealFileSystem : public FileSystem {
public:
    Result<std::unique_ptr<WritableFile>> createNew(const fs::path& path,
                                                    unsigned permissions) override {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                              static_cast<mode_t>(permissions));
        if (fd < 0) return errnoError(errno, path, "cannot be created", ErrorKind::WriteFailed);
        return std::unique_ptr<WritableFile>(std::make_unique<PosixFile>(fd, path));
    }

    Status rename(const fs::path& from, const fs::path& to) override {
        if (std::rename(from.c_str(), to.c_str()) != 0)
            return errnoError(errno, to, "cannot be replaced", ErrorKind::WriteFailed);
        syncFolder(to.parent_path());
        return {};
    }

    Status remove(const fs::path& path) override {
        if (std::remove(path.c_str()) != 0)
            return errnoError(errno, path, "cannot be removed", ErrorKind::WriteFailed);
        return {};
    }

    Status createFolder(const fs::path& path) override {
        if (::mkdir(path.c_str(), 0755) != 0)
            return errnoError(errno, path, "cannot be created", ErrorKind::WriteFailed);
        return {};
    }

    Result<std::vector<std::uint8_t>> readAll(const fs::path& path) override {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return errnoError(errno, path, "cannot be opened", ErrorKind::ReadFailed);
        struct FdCloser {
            int fd;
            ~FdCloser() { ::close(fd); }
        } closer{fd};
        struct stat st {};
        if (::fstat(fd, &st) != 0)
            return errnoError(errno, path, "cannot be read", ErrorKind::ReadFailed);
        if (S_ISDIR(st.st_mode)) return errnoError(EISDIR, path, "cannot be read");
        std::vector<std::uint8_t> bytes;
        try {
            // The size is a hint only: read to the end, whatever it says.
            bytes.resize(S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) + 1 : 4096);
        } catch (const std::bad_alloc&) {
            return errnoError(ENOMEM, path, "cannot be read");
        }
        std::size_t used = 0;
        for (;;) {
            if (used == bytes.size()) {
                try {
                    bytes.resize(bytes.size() * 2);
                } catch (const std::bad_alloc&) {
                    return errnoError(ENOMEM, path, "cannot be read");
                }
            }
            const ssize_t n = ::read(fd, bytes.data() + used, bytes.size() - used);
            if (n < 0) {
                if (errno == EINTR) continue;
                return errnoError(errno, path, "cannot be read", ErrorKind::ReadFailed);
            }
            if (n == 0) break;
            used += static_cast<std::size_t>(n);
        }
        bytes.resize(used);
        return bytes;
    }
};

std::span<const std::uint8_t> asBytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

constexpr std::string_view kTempPrefix = ".wqe-";
constexpr std::string_view kTempSuffix = ".tmp";

bool allDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

bool processAlive(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

}  // namespace

FileSystem& realFileSystem() {
    static RealFileSystem real;
    return real;
}

Result<std::vector<std::uint8_t>> readWholeFile(const fs::path& path) {
    return realFileSystem().readAll(path);
}

// ---------------------------------------------------------------------------

fs::path temporaryPathFor(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    const std::string name = std::string(kTempPrefix) + std::to_string(::getpid()) + "-" +
                             std::to_string(counter.fetch_add(1)) + std::string(kTempSuffix);
    return target.parent_path() / name;
}

pid_t temporaryFileOwner(std::string_view name) {
    // ".wqe-PID-N.tmp"
    if (!name.starts_with(kTempPrefix) || !name.ends_with(kTempSuffix)) return 0;
    name.remove_prefix(kTempPrefix.size());
    name.remove_suffix(kTempSuffix.size());
    const auto dash = name.find('-');
    if (dash == std::string_view::npos || !allDigits(name.substr(0, dash)) ||
        !allDigits(name.substr(dash + 1)))
        return 0;
    long pid = 0;
    std::from_chars(name.data(), name.data() + dash, pid);
    return pid > 0 ? static_cast<pid_t>(pid) : 0;
}

bool isTemporaryFileName(std::string_view name) {
    if (name.starts_with(kTempPrefix) && name.ends_with(kTempSuffix) &&
        name.size() > kTempPrefix.size() + kTempSuffix.size())
        return true;
    // ".NAME.partN" of the codec's earlier writer.
    const auto part = name.rfind(".part");
    return name.size() > 1 && name[0] == '.' && part != std::string_view::npos && part > 1 &&
           allDigits(name.substr(part + 5));
}

int removeStaleTemporaries(FileSystem& fsys, const fs::path& folder,
                           std::chrono::seconds legacyAge) {
    int removed = 0;
    std::error_code ec;
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end;
         !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (!isTemporaryFileName(name)) continue;
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc) || it->is_symlink(fileEc)) continue;
        const pid_t owner = temporaryFileOwner(name);
        bool stale = false;
        if (owner != 0) {
            stale = !processAlive(owner);
        } else {
            const auto written = fs::last_write_time(it->path(), fileEc);
            stale = !fileEc && now - written > legacyAge;
        }
        if (stale && fsys.remove(it->path())) ++removed;
    }
    return removed;
}

// ---------------------------------------------------------------------------

AtomicFile::AtomicFile(FileSystem& fsys, fs::path path, fs::path temp,
                       std::unique_ptr<WritableFile> file)
    : fs_(&fsys), path_(std::move(path)), temp_(std::move(temp)), file_(std::move(file)) {}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept { *this = std::move(other); }

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept {
    if (this != &other) {
        discard();
        fs_ = other.fs_;
        path_ = std::move(other.path_);
        temp_ = std::move(other.temp_);
        file_ = std::move(other.file_);
        size_ = other.size_;
        finished_ = other.finished_;
        error_ = std::move(other.error_);
        failed_ = other.failed_;
        other.temp_.clear();
        other.file_.reset();
    }
    return *this;
}

AtomicFile::~AtomicFile() { discard(); }

Result<AtomicFile> AtomicFile::begin(FileSystem& fsys, const fs::path& path) {
    unsigned permissions = 0644;
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) permissions = st.st_mode & 07777;
    // A few attempts in case a name is taken (a file of an earlier process
    // with the same id).
    for (int attempt = 0;; ++attempt) {
        const fs::path temp = temporaryPathFor(path);
        auto file = fsys.createNew(temp, permissions);
        if (file) return AtomicFile(fsys, path, temp, std::move(*file));
        if (file.error().kind != ErrorKind::AlreadyExists || attempt == 8) {
            Error e = file.error();
            e.file = path.string();  // the reason speaks of creating, true of both
            if (e.kind == ErrorKind::PermissionDenied || e.kind == ErrorKind::ReadOnlyFileSystem)
                e.reason += " (the folder " + path.parent_path().string() + " is read-only)";
            return e;
        }
    }
}

Status AtomicFile::fail(Error e) {
    e.file = path_.string();
    error_ = e;
    failed_ = true;
    return e;
}

Status AtomicFile::write(std::span<const std::uint8_t> bytes) {
    if (failed_) return error_;
    if (!file_ || finished_)
        return fail(Error{ErrorKind::WriteFailed, {}, "cannot be written: already closed"});
    if (auto s = file_->write(bytes); !s) return fail(s.error());
    size_ += bytes.size();
    return {};
}

Status AtomicFile::write(std::string_view bytes) { return write(asBytes(bytes)); }

Status AtomicFile::writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) {
    if (failed_) return error_;
    if (!file_ || finished_)
        return fail(Error{ErrorKind::WriteFailed, {}, "cannot be written: already closed"});
    if (auto s = file_->writeAt(offset, bytes); !s) return fail(s.error());
    return {};
}

Status AtomicFile::finish() {
    if (failed_) return error_;
    if (finished_) return {};
    if (!file_) return fail(Error{ErrorKind::WriteFailed, {}, "cannot be written: already closed"});
    if (auto s = file_->flush(); !s) return fail(s.error());
    if (auto s = file_->close(); !s) return fail(s.error());
    finished_ = true;
    return {};
}

Status AtomicFile::commit() {
    if (auto s = finish(); !s) {
        discard();
        return s;
    }
    if (auto s = fs_->rename(temp_, path_); !s) {
        Status failure = fail(s.error());
        discard();
        return failure;
    }
    temp_.clear();
    file_.reset();
    return {};
}

void AtomicFile::discard() {
    if (file_) {
        (void)file_->close();
        file_.reset();
    }
    if (!temp_.empty() && fs_) {
        (void)fs_->remove(temp_);
        temp_.clear();
    }
}

Status writeFileAtomic(FileSystem& fsys, const fs::path& path,
                       std::span<const std::uint8_t> bytes) {
    auto file = AtomicFile::begin(fsys, path);
    if (!file) return file.error();
    if (auto s = file->write(bytes); !s) return s;
    return file->commit();
}

Status writeFileAtomic(FileSystem& fsys, const fs::path& path, std::string_view bytes) {
    return writeFileAtomic(fsys, path, asBytes(bytes));
}

// ---------------------------------------------------------------------------

MultiFileCommit::~MultiFileCommit() = default;  // each AtomicFile discards itself

namespace {

Error unchanged(Error e) {
    e.reason += "; no file was changed";
    return e;
}

}  // namespace

Status MultiFileCommit::stage(const fs::path& path, std::span<const std::uint8_t> bytes) {
    auto file = AtomicFile::begin(*fs_, path);
    if (!file) return unchanged(file.error());
    if (auto s = file->write(bytes); !s) return unchanged(s.error());
    return stage(std::move(*file));
}

Status MultiFileCommit::stage(const fs::path& path, std::string_view bytes) {
    return stage(path, asBytes(bytes));
}

Status MultiFileCommit::stage(AtomicFile file) {
    if (auto s = file.finish(); !s) return unchanged(s.error());
    fs::path path = file.path();
    steps_.push_back(Step{std::make_unique<AtomicFile>(std::move(file)), std::move(path)});
    return {};
}

void MultiFileCommit::stageRemoval(const fs::path& path) { steps_.push_back(Step{nullptr, path}); }

namespace {

std::string joinNames(const std::vector<fs::path>& paths) {
    std::string out;
    for (const auto& p : paths) out += (out.empty() ? "" : ", ") + p.filename().string();
    return out;
}

}  // namespace

Status MultiFileCommit::commit() {
    done_.clear();
    for (std::size_t i = 0; i < steps_.size(); ++i) {
        Step& step = steps_[i];
        Status s = step.file ? step.file->commit() : fs_->remove(step.path);
        // A file to be removed that is gone already is what was wanted.
        if (s || (!step.file && s.error().kind == ErrorKind::NotFound)) {
            done_.push_back(step.path);
            continue;
        }
        std::vector<fs::path> left;
        for (std::size_t j = i; j < steps_.size(); ++j) left.push_back(steps_[j].path);
        steps_.clear();  // discards the remaining temporary files
        Error e = s.error();
        e.reason += done_.empty() ? "; no file was changed"
                                  : "; already changed: " + joinNames(done_) +
                                        "; unchanged: " + joinNames(left);
        return e;
    }
    steps_.clear();
    return {};
}

}  // namespace wqe
