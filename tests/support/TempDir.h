// A fresh temporary folder per test, removed afterwards.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace wqe::test {

class TempDir {
public:
    // A fresh folder under `base`, the system's temporary folder unless told.
    explicit TempDir(const std::filesystem::path& base = std::filesystem::temp_directory_path()) {
        std::random_device rd;
        path_ = base / ("wqe-test-" + std::to_string(rd()) + std::to_string(rd()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    std::string str() const { return path_.string(); }

private:
    std::filesystem::path path_;
};

inline std::string readText(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeText(const std::filesystem::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary);
    out << text;
}

inline std::vector<std::uint8_t> readBytes(const std::filesystem::path& p) {
    const std::string text = readText(p);
    return {text.begin(), text.end()};
}

inline void writeBytes(const std::filesystem::path& p, const std::vector<std::uint8_t>& bytes) {
    writeText(p, std::string(bytes.begin(), bytes.end()));
}

}  // namespace wqe::test
