#include "card/FileIO.h"

#include <algorithm>
#include <cerrno>

namespace wqe {

namespace {

WriteFaultInjector& injector() {
    static WriteFaultInjector hook;
    return hook;
}

std::string describe(const fs::path& path, const std::string& what) {
    return path.filename().string() + ": " + what + " (" + path.string() + ")";
}

char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

std::optional<std::vector<std::uint8_t>> readWholeFile(const fs::path& path, std::string& error) {
    auto bytes = readWholeFile(path);
    if (!bytes) {
        error = describe(path, bytes.error().reason);
        return std::nullopt;
    }
    return std::move(*bytes);
}

std::string writeFileAtomic(const fs::path& path, std::string_view bytes) {
    return writeFileAtomic(
        path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

namespace {

// The earlier test hook: a file system whose writes stop after a byte count.
class ShortWriteFileSystem : public FileSystem {
public:
    explicit ShortWriteFileSystem(std::size_t limit) : limit_(limit) {}
    Result<std::unique_ptr<WritableFile>> createNew(const fs::path& path,
                                                    unsigned permissions) override {
        auto file = realFileSystem().createNew(path, permissions);
        if (!file) return file.error();
        return std::unique_ptr<WritableFile>(
            std::make_unique<File>(std::move(*file), path, limit_));
    }
    Status rename(const fs::path& from, const fs::path& to) override {
        return realFileSystem().rename(from, to);
    }
    Status remove(const fs::path& path) override { return realFileSystem().remove(path); }
    Status createFolder(const fs::path& path) override {
        return realFileSystem().createFolder(path);
    }
    Result<std::vector<std::uint8_t>> readAll(const fs::path& path) override {
        return realFileSystem().readAll(path);
    }

private:
    class File : public WritableFile {
    public:
        File(std::unique_ptr<WritableFile> inner, fs::path path, std::size_t limit)
            : inner_(std::move(inner)), path_(std::move(path)), left_(limit) {}
        Status write(std::span<const std::uint8_t> bytes) override {
            const std::size_t n = std::min(left_, bytes.size());
            left_ -= n;
            if (auto s = inner_->write(bytes.first(n)); !s) return s;
            if (n < bytes.size()) return errnoError(ENOSPC, path_, "cannot be written");
            return {};
        }
        Status writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
            return inner_->writeAt(offset, bytes);
        }
        Status flush() override { return inner_->flush(); }
        Status close() override { return inner_->close(); }

    private:
        std::unique_ptr<WritableFile> inner_;
        fs::path path_;
        std::size_t left_;
    };
    std::size_t limit_;
};

}  // namespace

std::string writeFileAtomic(const fs::path& path, std::span<const std::uint8_t> bytes) {
    std::optional<std::size_t> failAfter;
    if (injector()) failAfter = injector()(path);
    Status s;
    if (failAfter) {
        ShortWriteFileSystem shortFs(*failAfter);
        s = writeFileAtomic(shortFs, path, bytes);
    } else {
        s = writeFileAtomic(realFileSystem(), path, bytes);
    }
    return s ? std::string() : describe(path, s.error().reason);
}

void setWriteFaultInjectorForTesting(WriteFaultInjector hook) { injector() = std::move(hook); }

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    // Iterative matcher with single-star backtracking.
    std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() &&
            (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

fs::path findCardFile(const fs::path& folder, std::string_view name) {
    const fs::path exact = folder / std::string(name);
    std::error_code ec;
    if (fs::exists(exact, ec)) return exact;
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end;
         !ec && it != end; it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (entry.size() == name.size() && wildcardMatch(name, entry)) return folder / entry;
    }
    return exact;
}

bool sameFolder(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::equivalent(a, b, ec) && !ec;
}

std::string upperAscii(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

}  // namespace wqe
