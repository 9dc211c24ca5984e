// Creating a fresh card folder.
#pragma once

#include <filesystem>
#include <string>

#include "base/FileSystem.h"
#include "card/Model.h"

namespace wqe {

// Writes a fresh card into `folder` (created when missing): the default
// system settings with the given phrase count code, erased phrase records
// and an empty memo file. Refuses a folder that already holds a card. The
// three files appear together or not at all (the system file, which makes
// the folder a card, is renamed into place last). The error names the file
// and the problem.
Status createCard(const std::filesystem::path& folder, Model m, int phraseCountCode,
                  FileSystem& fsys = realFileSystem());

}  // namespace wqe
