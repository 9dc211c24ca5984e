// The case-insensitive name matching of the card's FAT file system. Reading
// and writing whole files goes through base/FileSystem.h.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "base/FileSystem.h"

namespace wqe {

// The entry of `folder` whose name equals `name` ignoring ASCII letter case,
// preferring an exact match; folder / name when none exists.
fs::path findCardFile(const fs::path& folder, std::string_view name);
// True when `name` matches `pattern` (with * and ?) ignoring ASCII case.
bool wildcardMatch(std::string_view pattern, std::string_view name);

// True when a and b name the same existing file-system object.
bool sameFolder(const fs::path& a, const fs::path& b);

std::string upperAscii(std::string_view text);

// A file's extension without its dot, in capitals ("WAV" for "a.wav"), as
// the card's FAT file system compares names.
std::string upperExtension(const fs::path& path);

}  // namespace wqe
