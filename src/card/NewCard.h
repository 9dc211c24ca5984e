// Creating a fresh card folder.
#pragma once

#include <filesystem>
#include <string>

#include "card/Model.h"

namespace wqe {

// Writes a fresh card into `folder` (created when missing): the default
// system settings with the given phrase count code, erased phrase records
// and an empty memo file. Refuses a folder that already holds a card.
// Returns an empty string on success, else a message naming the problem.
std::string createCard(const std::filesystem::path& folder, Model m, int phraseCountCode);

}  // namespace wqe
