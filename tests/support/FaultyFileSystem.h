// A file system for tests that fails on request: the k-th create, write,
// flush, rename, remove or read (counted from 1, per operation, over the
// double's lifetime) fails with a chosen errno; everything else goes to the
// real file system. A failing write first writes half of its bytes, as a full
// disk does. Or the k-th call ends the process before it runs, as a kill
// would. Hand it to the writer under test instead of realFileSystem(); a
// first run with no fault counts the steps (count()) to fail in turn.
#pragma once

#include <unistd.h>

#include <array>
#include <cerrno>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "base/FileSystem.h"

namespace wqe::test {

enum class FsOp { Create, Write, Flush, Rename, Remove, Read };
inline constexpr std::array kWriteOps = {FsOp::Create, FsOp::Write, FsOp::Flush, FsOp::Rename,
                                         FsOp::Remove};

inline const char* fsOpName(FsOp op) {
    constexpr const char* kNames[] = {"create", "write", "flush", "rename", "remove", "read"};
    return kNames[static_cast<int>(op)];
}

class FaultyFileSystem : public FileSystem {
public:
    explicit FaultyFileSystem(FileSystem& inner = realFileSystem()) : inner_(inner) {}

    // The k-th call of `op` fails with `err`.
    void failAt(FsOp op, int k, int err = EIO) { faults_[op] = {k, err, false}; }
    // Every call of `op` from the k-th on fails (a full disk stays full).
    void failFrom(FsOp op, int k, int err = EIO) { faults_[op] = {k, err, true}; }
    // The k-th call of `op` ends the process with status kCrashed before it
    // runs (for a child process: no destructor or rollback runs).
    static constexpr int kCrashed = 86;
    void crashAt(FsOp op, int k) { faults_[op] = {k, 0, false}; }
    int count(FsOp op) const { return counts_.contains(op) ? counts_.at(op) : 0; }
    // True once an injected failure happened.
    bool fired() const { return fired_; }

    Result<std::unique_ptr<WritableFile>> createNew(const fs::path& path,
                                                    unsigned permissions) override {
        if (int err = tick(FsOp::Create)) return errnoError(err, path, "cannot be created");
        auto file = inner_.createNew(path, permissions);
        if (!file) return file.error();
        return std::unique_ptr<WritableFile>(std::make_unique<File>(*this, std::move(*file), path));
    }
    Status rename(const fs::path& from, const fs::path& to) override {
        if (int err = tick(FsOp::Rename)) return errnoError(err, to, "cannot be replaced");
        return inner_.rename(from, to);
    }
    Status remove(const fs::path& path) override {
        if (int err = tick(FsOp::Remove)) return errnoError(err, path, "cannot be removed");
        return inner_.remove(path);
    }
    Status createFolder(const fs::path& path) override {
        if (int err = tick(FsOp::Create)) return errnoError(err, path, "cannot be created");
        return inner_.createFolder(path);
    }
    Result<std::vector<std::uint8_t>> readAll(const fs::path& path) override {
        if (int err = tick(FsOp::Read)) return errnoError(err, path, "cannot be opened");
        return inner_.readAll(path);
    }

private:
    class File : public WritableFile {
    public:
        File(FaultyFileSystem& owner, std::unique_ptr<WritableFile> inner, fs::path path)
            : owner_(owner), inner_(std::move(inner)), path_(std::move(path)) {}
        Status write(std::span<const std::uint8_t> bytes) override {
            if (int err = owner_.tick(FsOp::Write)) {
                (void)inner_->write(bytes.first(bytes.size() / 2));
                return errnoError(err, path_, "cannot be written");
            }
            return inner_->write(bytes);
        }
        Status writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
            if (int err = owner_.tick(FsOp::Write))
                return errnoError(err, path_, "cannot be written");
            return inner_->writeAt(offset, bytes);
        }
        Status flush() override {
            if (int err = owner_.tick(FsOp::Flush))
                return errnoError(err, path_, "cannot be written to the device");
            return inner_->flush();
        }
        Status close() override { return inner_->close(); }

    private:
        FaultyFileSystem& owner_;
        std::unique_ptr<WritableFile> inner_;
        fs::path path_;
    };

    struct Fault {
        int k, err;
        bool sticky;
    };

    // The errno to fail with, or 0.
    int tick(FsOp op) {
        const int n = ++counts_[op];
        const auto it = faults_.find(op);
        if (it == faults_.end() || n < it->second.k || (n > it->second.k && !it->second.sticky))
            return 0;
        if (it->second.err == 0) _exit(kCrashed);
        fired_ = true;
        return it->second.err;
    }

    FileSystem& inner_;
    std::map<FsOp, Fault> faults_;
    std::map<FsOp, int> counts_;
    bool fired_ = false;
};

}  // namespace wqe::test
