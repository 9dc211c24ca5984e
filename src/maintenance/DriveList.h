// Decisions of the drive list and the folder tree: which mounted volumes the
// machine offers (the places a card or a backup can be), the sub-folders of
// a folder, and the walk from a volume root down to a path, ignoring letter
// case as the card's FAT file system does.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wqe {

enum class VolumeKind { Root, Home, Removable, Network, Fixed };

struct Volume {
    std::string rootPath;     // mount point, e.g. "/media/user/CARD"
    std::string displayName;  // "CARD (/media/user/CARD)", "/" for the root
    VolumeKind kind = VolumeKind::Fixed;
};

// The volumes of a mount table in the format of /proc/self/mounts: the root
// first, then `home` (when given), then every mounted device, network share
// or removable medium in table order. Pseudo file systems (proc, sysfs,
// tmpfs, cgroup, squashfs images and the like) are left out, and so is a
// mount point listed twice.
std::vector<Volume> volumesFromMountTable(std::string_view table, const std::string& home);

// The machine's volumes from /proc/self/mounts and $HOME. nullopt, with
// `error` naming the file and the reason, when the table cannot be read.
std::optional<std::vector<Volume>> listVolumes(std::string& error);

// The volume that holds `path`: the one with the longest root that is a
// prefix of it at a component boundary; -1 when none.
int volumeOfPath(const std::vector<Volume>& volumes, std::string_view path);

// Names of the sub-folders of `folder` (not files, not "." or ".."), sorted
// ignoring letter case. A folder that cannot be listed gives none.
std::vector<std::string> listSubfolders(const std::string& folder);

// The components of `path` below `root` ("/media/x", "/media/x/A/b" -> A, b);
// nullopt when `path` does not lie under `root`.
std::optional<std::vector<std::string>> componentsBelow(std::string_view root,
                                                        std::string_view path);

// Index of the entry of `names` equal to `component` ignoring ASCII letter
// case, preferring an exact match; -1 when none.
int findNameIgnoringCase(const std::vector<std::string>& names, std::string_view component);

// root + "/" + components, without doubling the root's slash.
std::string joinBelow(std::string_view root, const std::vector<std::string>& components);

}  // namespace wqe
