// Decisions of the folder chooser: whether a typed folder path is acceptable,
// whether it exists, and the creation of its missing levels. Paths are
// absolute POSIX paths: the root "/" takes the place of a drive root.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace wqe {

// A path the chooser accepts: it begins with "/"; every component after the
// root is non-empty, does not begin or end with a blank, a tab or ".", and
// holds none of " * : < > ? \ |. So a trailing "/" (other than the root
// alone), "//", "." and ".." components are refused.
bool isValidFolderPath(std::string_view path);

// Whether a path shown in the chooser's tree can be taken as it is (OK is
// enabled): an absolute path.
bool isSelectablePath(std::string_view path);

enum class FolderState { Invalid, Exists, Missing };
// Invalid by the rules above; Exists when it names a folder; Missing
// otherwise (including a path that names a file, which then fails creation).
FolderState folderState(const std::string& path);

// The levels of a valid path from the root down: "/a/b" -> "/a", "/a/b".
std::vector<std::string> folderLevels(std::string_view path);

struct CreateResult {
    bool ok = false;
    std::string failedLevel;           // the first level that could not be made
    std::string error;                 // why, naming that level
    std::vector<std::string> created;  // levels made, top down
};
// Creates every missing level of `path`, one after another from the root
// down. A level counts as made only when it is a folder after the attempt.
CreateResult createMissingLevels(const std::string& path);

}  // namespace wqe
