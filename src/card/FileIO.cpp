#include "card/FileIO.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>

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

bool writeAll(int fd, const std::uint8_t* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> readWholeFile(const fs::path& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = describe(path, std::strerror(errno));
        return std::nullopt;
    }
    std::error_code ec;
    const auto size = fs::file_size(path, ec);
    if (ec) {
        error = describe(path, ec.message());
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<std::uintmax_t>(in.gcount()) != size) {
        error = describe(path, "could not read the whole file");
        return std::nullopt;
    }
    return bytes;
}

std::string writeFileAtomic(const fs::path& path, std::string_view bytes) {
    return writeFileAtomic(path, std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

std::string writeFileAtomic(const fs::path& path, std::span<const std::uint8_t> bytes) {
    std::optional<std::size_t> failAfter;
    if (injector()) failAfter = injector()(path);

    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::random_device rd;
    const fs::path temp = folder / (".wqe-" + std::to_string(rd()) + ".tmp");
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return describe(path, std::string("cannot create a file in its folder: ") + std::strerror(errno));

    std::size_t toWrite = bytes.size();
    if (failAfter) toWrite = std::min(toWrite, *failAfter);
    bool ok = writeAll(fd, bytes.data(), toWrite);
    int savedErrno = errno;
    if (ok && failAfter) {
        ok = false;
        savedErrno = ENOSPC;
    }
    if (ok && ::fsync(fd) != 0) {
        ok = false;
        savedErrno = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        savedErrno = errno;
    }
    if (ok) {
        // Keep the permissions of the file being replaced.
        std::error_code ec;
        const auto st = fs::status(path, ec);
        if (!ec && fs::exists(st)) fs::permissions(temp, st.permissions(), ec);
        if (std::rename(temp.c_str(), path.c_str()) != 0) {
            ok = false;
            savedErrno = errno;
        }
    }
    if (!ok) {
        std::error_code ec;
        fs::remove(temp, ec);
        return describe(path, std::string("could not be written: ") + std::strerror(savedErrno));
    }
    return {};
}

void setWriteFaultInjectorForTesting(WriteFaultInjector hook) { injector() = std::move(hook); }

bool wildcardMatch(std::string_view pattern, std::string_view name) {
    // Iterative matcher with single-star backtracking.
    std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
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
    for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
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
