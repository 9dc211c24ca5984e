// Decisions of the system form (the upper half of the main view): the items
// of its drop-down lists, which controls the model has, and how each control
// maps to and from the system settings and memo records. The widgets only
// move values between themselves and these functions.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "card/CWQEDoc.h"
#include "card/Language.h"

namespace wqe {

enum class FormList {
    DualMonoMode,
    OutputVolumeThru,
    CardProtect,
    DisplaySleep,
    WqLinkMode,
    BaudRate
};

inline constexpr FormList kFormLists[] = {FormList::DualMonoMode, FormList::OutputVolumeThru,
                                          FormList::CardProtect,  FormList::DisplaySleep,
                                          FormList::WqLinkMode,   FormList::BaudRate};

// Display sleep list: "OFF", then every whole second from 00m30s to 59m59s.
inline constexpr int kDisplaySleepFirstSeconds = 30;
inline constexpr int kDisplaySleepLastSeconds = 3599;
inline constexpr int kDisplaySleepItems =
    1 + kDisplaySleepLastSeconds - kDisplaySleepFirstSeconds + 1;

inline constexpr std::size_t kSystemMemoMaxChars = 800;

// The items of a list in the given language (UTF-8).
std::vector<std::string> formListItems(FormList list, Language lang);
// The selection a list shows before any card is loaded.
int formListInitialSelection(FormList list);
// False for the lists the model lacks (the WQ-5000 has no output volume thru,
// display sleep or WQ-LINK mode); the form disables them.
bool formListExists(FormList list, Model m);
// Whether the model has the equalizer button and the labels of the
// WQ-7000-only lists.
bool formHasWq7000Controls(Model m);

// The list position the record's value selects, or -1 for no selection (a
// list the model lacks, or a stored value no item stands for).
int formListPosition(const CWQEDoc& doc, FormList list);
// Stores the value of list position `index` into the record and marks the
// document modified. Does nothing without a card or for a position outside
// the list.
void applyFormListPosition(CWQEDoc& doc, FormList list, int index);

// Display sleep: switch 0 -> position 0; switch on -> time - 29. -1 when the
// stored time lies outside 30..3599.
int displaySleepListPosition(int sleepSwitch, int sleepTime);

// The system folder text: the card's folder, or `currentFolder` when no card
// path is set.
std::string systemFolderText(const CWQEDoc& doc, const std::string& currentFolder);
// The phrase count text "%d".
std::string phraseCountText(const CWQEDoc& doc);

// Card name as the edit shows it (UTF-8, trailing blanks kept).
std::string cardNameText(const CWQEDoc& doc);
// What the card name edit stores for its filtered text: the first 8 bytes,
// padded with blanks to 8.
std::string cardNameForStore(std::string_view filteredBytes);
// Filters the typed text, stores the result as the card name and marks the
// document modified. Returns the text the edit shows afterwards (UTF-8,
// without the padding blanks).
std::string applyCardNameEdit(CWQEDoc& doc, std::string_view typedUtf8);

// The system memo as the edit shows it (UTF-8, line feeds).
std::string systemMemoText(const CWQEDoc& doc);
// The memo stored for the edit's text: CR LF to LF, one LF appended, then
// every pair of consecutive LFs (in one pass from the left) made one LF.
std::string memoFromControl(std::string_view text);
// Stores the typed memo (UTF-8) as the system memo (CP932; a character
// without a CP932 form is stored as "?") and marks the document modified.
void applySystemMemoEdit(CWQEDoc& doc, std::string_view typedUtf8);

// UTF-8 to CP932, each character without a CP932 form replaced by "?".
std::string utf8ToCp932Replacing(std::string_view utf8);

}  // namespace wqe
