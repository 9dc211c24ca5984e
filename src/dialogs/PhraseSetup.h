// Decisions of the Phrase Setup dialog (CPhraseDlg): the phrase kind, the
// items of every list by kind, model and language, list position <-> stored
// value, which controls are shown and enabled, what the dialog shows as it
// opens (File Information included) and what ENTER stores in which order.
// The widgets only move texts and positions between themselves and these
// functions.
#pragma once

#include <array>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "card/CWQEDoc.h"
#include "card/CWQEMemo.h"
#include "card/CWQEPhr.h"
#include "card/CWQESys.h"
#include "card/Language.h"
#include "dialogs/FileInformation.h"

namespace wqe {

// The drop-down lists, in the order ENTER stores them.
enum class SetupList {
    Volume,          // volume 10..100 %, or the tempo byte of a MIDI phrase
    ControlOut,      // "OFF", then 0..3599 seconds
    Delay,           // WQ-7000 seconds and frames, WQ-5000 tenths
    Repeat,          // WQ-7000 "OFF", "ENDLESS", 1..99; WQ-5000 "OFF", "ON"
    RepeatInterval,  // 0..3599 seconds
    FadeIn,          // "OFF", "TIME1".."TIME3", then 1..599 tenths
    FadeOut,
    PatternMode,  // "SEQUENCE", "RANDOM1".."RANDOM3"
    Loop,         // WQ-7000 audio: "OFF", "ENDLESS", 1..99
};
inline constexpr std::size_t kSetupListCount = 9;
using SetupPositions = std::array<int, kSetupListCount>;  // -1: no selection

inline int& at(SetupPositions& p, SetupList l) { return p[static_cast<std::size_t>(l)]; }
inline int at(const SetupPositions& p, SetupList l) { return p[static_cast<std::size_t>(l)]; }

// Controls shown, hidden or disabled by kind and model.
enum class SetupControl {
    Volume,  // the volume/tempo label and list
    Fades,   // fade in and fade out
    PatternMode,
    Points,      // the four read-only point texts
    Loop,        // the loop list
    EditButton,  // "Pattern Edit" / "Song Edit"
};
struct ControlShow {
    bool visible = true;
    bool enabled = true;
    bool operator==(const ControlShow&) const = default;
};

inline constexpr std::size_t kPhraseMemoMaxChars = 80;

// The kind Phrase Setup edits, or nullopt for an empty slot or an unknown
// type (the dialog then does not open). WQ-7000: type - 1. WQ-5000: MIDI
// when the MIDI flag is set, else pattern when the pattern mode is not 0,
// else audio.
std::optional<PhraseKind> phraseSetupKind(const CWQEPhr& phr, int index);

// The items of a list (UTF-8). The delay list of the WQ-7000 counts the
// frames of the MTC type.
std::vector<std::string> phraseSetupItems(SetupList list, PhraseKind kind, Model m, int mtcType,
                                          Language lang);

ControlShow phraseSetupControl(SetupControl c, PhraseKind kind, Model m, bool pointsUnavailable,
                               bool dataFileRead);

// What the dialog shows as it opens.
struct PhraseSetup {
    int index = 0;
    Model model = Model::WQ7000;
    PhraseKind kind = PhraseKind::Audio;
    int mtcType = 0;
    std::string caption;      // "Phrase Info.(Phrase No,0001)"
    std::string volumeLabel;  // "Tempo:" for MIDI, else "Volume:"
    std::string editButton;   // "Song Edit" for a song, else "Pattern Edit"
    FileInformation info;
    std::string name;  // UTF-8, as the name edit shows it
    std::string memo;  // UTF-8
    SetupPositions positions{};
    bool intervalEnabled = true;
    std::array<std::string, 4> points;  // start, end, loop 1, loop 2 (audio only)
    // The stored texts, kept by ENTER while their edits are left as opened.
    std::string nameBytes, memoBytes;
};

// nullopt when the slot is empty or of an unknown kind. `folder` is the card
// folder holding the phrase's data file.
std::optional<PhraseSetup> openPhraseSetup(const CWQESys& sys, const CWQEPhr& phr,
                                           const CWQEMemo& memo, int index,
                                           const std::filesystem::path& folder, Language lang);
std::optional<PhraseSetup> openPhraseSetup(const CWQEDoc& doc, int index, Language lang);

// Re-reads the File Information after the pattern or song editor wrote the
// data file.
void rereadFileInformation(PhraseSetup& setup, const CWQEPhr& phr,
                           const std::filesystem::path& folder, Language lang);

// The repeat list changed: whether the interval list is enabled, and the
// interval position it then shows (nullopt: left as it is). WQ-5000: ON
// selects 00m00s, OFF clears the selection.
struct IntervalAfterRepeat {
    bool enabled = true;
    std::optional<int> position;
};
IntervalAfterRepeat intervalAfterRepeat(Model m, int repeatPosition);

// The name edit keeps the name characters of what was typed, at most the
// model's name length (UTF-8 in, UTF-8 out).
std::string phraseNameEdit(std::string_view typedUtf8, Model m);
// The memo edit takes 80 characters; a longer memo already stored is shown
// whole and kept unless shortened.
std::size_t phraseMemoLimit(std::string_view openedMemoUtf8);

// What the controls hold when ENTER is pressed.
struct PhraseSetupEntry {
    std::string name;  // UTF-8
    std::string memo;  // UTF-8
    SetupPositions positions{};
};

// ENTER: stores the name, every list that has a selection (a list without
// one leaves its field unchanged) and the memo in the dialog's order, then
// checks a RANDOM2/RANDOM3 pattern for an interrupt phrase: without one the
// pattern mode becomes RANDOM1 and the message to show is returned.
std::optional<std::string> storePhraseSetup(CWQEPhr& phr, CWQEMemo& memo, const PhraseSetup& opened,
                                            const PhraseSetupEntry& entry);

// The File Information lines of a phrase of the document, as the pane shows
// them; nullopt for an empty slot.
std::optional<FileInformation> phraseFileInformation(const CWQEDoc& doc, int index, Language lang);

}  // namespace wqe
