#include "maintenance/DriveList.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "card/FileIO.h"

namespace wqe {

namespace {

// The mount table escapes blanks, tabs, newlines and backslashes as \ooo.
std::string unescapeMountField(std::string_view field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view oct = field.substr(i + 1, 3);
            if (std::all_of(oct.begin(), oct.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                out.push_back(
                    static_cast<char>((oct[0] - '0') * 64 + (oct[1] - '0') * 8 + (oct[2] - '0')));
                i += 3;
                continue;
            }
        }
        out.push_back(field[i]);
    }
    return out;
}

bool startsWithFolder(std::string_view path, std::string_view root) {
    if (root == "/") return !path.empty() && path.front() == '/';
    return path.starts_with(root) && (path.size() == root.size() || path[root.size()] == '/');
}

const std::set<std::string, std::less<>> kNetworkTypes = {"nfs",   "nfs4",  "cifs",       "smb3",
                                                          "smbfs", "sshfs", "fuse.sshfs", "9p"};
const std::set<std::string, std::less<>> kRemovableTypes = {
    "vfat", "msdos", "exfat", "fat", "ntfs", "ntfs3", "fuseblk", "iso9660", "udf"};

// Mount points of the system's own areas, never a place for a card.
bool isSystemMount(std::string_view mountPoint) {
    if (startsWithFolder(mountPoint, "/run/media")) return false;
    for (std::string_view system : {"/proc", "/sys", "/dev", "/run", "/boot", "/snap"}) {
        if (startsWithFolder(mountPoint, system)) return true;
    }
    return false;
}

std::string displayNameOf(const std::string& root) {
    if (root == "/") return "/";
    const std::string base = std::filesystem::path(root).filename().string();
    return base + " (" + root + ")";
}

}  // namespace

std::vector<Volume> volumesFromMountTable(std::string_view table, const std::string& home) {
    std::vector<Volume> volumes{{"/", "/", VolumeKind::Root}};
    std::set<std::string, std::less<>> seen{"/"};
    if (!home.empty() && home != "/") {
        volumes.push_back({home, displayNameOf(home), VolumeKind::Home});
        seen.insert(home);
    }
    std::istringstream lines{std::string(table)};
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string source, mountPoint, type;
        if (!(fields >> source >> mountPoint >> type)) continue;
        mountPoint = unescapeMountField(mountPoint);
        if (seen.contains(mountPoint)) continue;
        const bool network = kNetworkTypes.contains(type);
        const bool removable =
            kRemovableTypes.contains(type) || startsWithFolder(mountPoint, "/media") ||
            startsWithFolder(mountPoint, "/run/media") || startsWithFolder(mountPoint, "/mnt");
        const bool device = source.starts_with("/dev/") && type != "squashfs";
        if (!network && !device) continue;
        if (isSystemMount(mountPoint)) continue;
        seen.insert(mountPoint);
        volumes.push_back({mountPoint, displayNameOf(mountPoint),
                           network     ? VolumeKind::Network
                           : removable ? VolumeKind::Removable
                                       : VolumeKind::Fixed});
    }
    return volumes;
}

std::optional<std::vector<Volume>> listVolumes(std::string& error) {
    const char* mounts = "/proc/self/mounts";
    std::ifstream in(mounts);
    if (!in) {
        error = std::string(mounts) + ": cannot be read";
        return std::nullopt;
    }
    std::stringstream text;
    text << in.rdbuf();
    const char* home = std::getenv("HOME");
    return volumesFromMountTable(text.str(), home ? home : "");
}

int volumeOfPath(const std::vector<Volume>& volumes, std::string_view path) {
    int best = -1;
    std::size_t bestLength = 0;
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        const std::string& root = volumes[i].rootPath;
        if (startsWithFolder(path, root) && (best < 0 || root.size() > bestLength)) {
            best = static_cast<int>(i);
            bestLength = root.size();
        }
    }
    return best;
}

std::vector<std::string> listSubfolders(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string ua = upperAscii(a), ub = upperAscii(b);
        return ua != ub ? ua < ub : a < b;
    });
    return names;
}

std::optional<std::vector<std::string>> componentsBelow(std::string_view root,
                                                        std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    if (!startsWithFolder(path, root)) return std::nullopt;
    std::string_view rest = path.substr(root == "/" ? 1 : root.size());
    std::vector<std::string> parts;
    while (!rest.empty()) {
        if (rest.front() == '/') {
            rest.remove_prefix(1);
            continue;
        }
        const std::size_t slash = rest.find('/');
        parts.emplace_back(rest.substr(0, slash));
        if (slash == std::string_view::npos) break;
        rest.remove_prefix(slash + 1);
    }
    return parts;
}

int findNameIgnoringCase(const std::vector<std::string>& names, std::string_view component) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == component) return static_cast<int>(i);
    }
    const std::string wanted = upperAscii(component);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (upperAscii(names[i]) == wanted) return static_cast<int>(i);
    }
    return -1;
}

std::string joinBelow(std::string_view root, const std::vector<std::string>& components) {
    std::string path(root);
    for (const std::string& c : components) {
        if (path.empty() || path.back() != '/') path.push_back('/');
        path += c;
    }
    return path;
}

}  // namespace wqe
