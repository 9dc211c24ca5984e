// Small helpers for the fuzz targets: taking typed values off the front of
// the input, and handing the input to code that reads files by path.
#pragma once

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <span>
#include <string>

namespace wqe::fuzz {

// Takes bytes off the front of the input; reads past its end give zeros.
class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}
    std::uint8_t byte() { return at_ < bytes_.size() ? bytes_[at_++] : 0; }
    std::span<const std::uint8_t> take(std::size_t n) {
        const std::size_t k = std::min(n, bytes_.size() - at_);
        const auto part = bytes_.subspan(at_, k);
        at_ += k;
        return part;
    }
    std::span<const std::uint8_t> rest() { return take(bytes_.size() - at_); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

// The bytes as a file in memory, reachable by a path while the object lives.
class MemoryFile {
public:
    explicit MemoryFile(std::span<const std::uint8_t> bytes) {
        fd_ = memfd_create("wqe-fuzz", 0);
        if (fd_ < 0) return;
        for (std::size_t done = 0; done < bytes.size();) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    ~MemoryFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    bool ok() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }

private:
    int fd_ = -1;
    std::string path_;
};

}  // namespace wqe::fuzz
