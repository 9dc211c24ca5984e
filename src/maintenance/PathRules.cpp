#include "maintenance/PathRules.h"

#include <filesystem>
#include <system_error>

namespace wqe {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kForbidden = "\"*:<>?\\|";

bool isValidComponent(std::string_view c) {
    if (c.empty()) return false;
    auto edge = [](char ch) { return ch == ' ' || ch == '\t' || ch == '.'; };
    if (edge(c.front()) || edge(c.back())) return false;
    for (char ch : c) {
        if (kForbidden.find(ch) != std::string_view::npos || ch == '\0') return false;
    }
    return true;
}

}  // namespace

bool isValidFolderPath(std::string_view path) {
    if (path.empty() || path.front() != '/') return false;
    if (path == "/") return true;
    std::string_view rest = path.substr(1);
    while (true) {
        const std::size_t slash = rest.find('/');
        if (!isValidComponent(rest.substr(0, slash))) return false;
        if (slash == std::string_view::npos) return true;
        rest = rest.substr(slash + 1);
    }
}

bool isSelectablePath(std::string_view path) { return !path.empty() && path.front() == '/'; }

FolderState folderState(const std::string& path) {
    if (!isValidFolderPath(path)) return FolderState::Invalid;
    std::error_code ec;
    return fs::is_directory(path, ec) ? FolderState::Exists : FolderState::Missing;
}

std::vector<std::string> folderLevels(std::string_view path) {
    std::vector<std::string> levels;
    for (std::size_t pos = path.find('/', 1);; pos = path.find('/', pos + 1)) {
        if (pos == std::string_view::npos) {
            if (path.size() > 1) levels.emplace_back(path);
            break;
        }
        levels.emplace_back(path.substr(0, pos));
    }
    return levels;
}

CreateResult createMissingLevels(const std::string& path) {
    CreateResult result;
    for (const std::string& level : folderLevels(path)) {
        std::error_code ec;
        if (fs::is_directory(level, ec)) continue;
        const bool made = fs::create_directory(level, ec);
        std::error_code check;
        if (!fs::is_directory(level, check)) {
            result.failedLevel = level;
            result.error = level + ": " +
                           (ec ? ec.message() : std::string("a file of that name is in the way"));
            return result;
        }
        if (made) result.created.push_back(level);
    }
    result.ok = true;
    return result;
}

}  // namespace wqe
