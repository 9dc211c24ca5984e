// Decisions of the main view's phrase commands: which Phrase Settings
// commands the selected row enables, which context menu it gets, and what a
// double click on it runs.
#pragma once

#include <array>
#include <optional>

#include "card/CWQEDoc.h"

namespace wqe {

enum class PhraseCommand { Setup, Delete, Copy, Pattern, Song };
inline constexpr std::array<PhraseCommand, 5> kPhraseCommands = {
    PhraseCommand::Setup, PhraseCommand::Delete, PhraseCommand::Copy, PhraseCommand::Pattern,
    PhraseCommand::Song};

// Main-menu enabling for the selected row (-1: none). Every command is
// disabled without a card or a selection.
bool isPhraseCommandEnabled(const CWQEDoc& doc, int selected, PhraseCommand command);

// The context menu of a row: its resource number (130..133, 161) and the
// enabled state of each command, in the order of kPhraseCommands.
struct PhraseContextMenu {
    int menuId = 0;
    std::array<bool, 5> enabled{};
    bool isEnabled(PhraseCommand c) const { return enabled[static_cast<std::size_t>(c)]; }
};
// nullopt without a card or a selection (no menu is shown).
std::optional<PhraseContextMenu> phraseContextMenu(const CWQEDoc& doc, int selected);

enum class DoubleClickAction { None, PhraseSetup, MakePhrase };
// Phrase Setup for a used phrase, the "Phrase to make" dialog for an empty
// one, nothing without a card or a selection.
DoubleClickAction doubleClickAction(const CWQEDoc& doc, int selected);

}  // namespace wqe
