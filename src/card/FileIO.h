// Whole-file reads and safe whole-file writes for the card's files, and the
// case-insensitive name matching of the card's FAT file system.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/FileSystem.h"

namespace wqe {

// Reads a whole file. On failure returns nullopt and sets `error` to a text
// naming the file and the reason.
std::optional<std::vector<std::uint8_t>> readWholeFile(const fs::path& path, std::string& error);

// Writes `bytes` to a temporary file in the same folder, flushes it to disk
// and renames it over `path` only when the whole write succeeded, so a failed
// write leaves the old file untouched. Returns an empty string on success,
// else a text naming the file and the reason.
std::string writeFileAtomic(const fs::path& path, std::span<const std::uint8_t> bytes);
std::string writeFileAtomic(const fs::path& path, std::string_view bytes);

// Test hook: when set, called with the target path before each atomic write;
// returning a byte count makes that write fail after that many bytes.
using WriteFaultInjector = std::function<std::optional<std::size_t>(const fs::path&)>;
void setWriteFaultInjectorForTesting(WriteFaultInjector injector);

// The entry of `folder` whose name equals `name` ignoring ASCII letter case,
// preferring an exact match; folder / name when none exists.
fs::path findCardFile(const fs::path& folder, std::string_view name);
// True when `name` matches `pattern` (with * and ?) ignoring ASCII case.
bool wildcardMatch(std::string_view pattern, std::string_view name);

// True when a and b name the same existing file-system object.
bool sameFolder(const fs::path& a, const fs::path& b);

std::string upperAscii(std::string_view text);

}  // namespace wqe
