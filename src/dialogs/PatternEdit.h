// Making and editing pattern and song phrases, as plain functions: the
// "Phrase to make" dialog's presets, the record a new pattern or song phrase
// gets and its empty data file, the step editor's rows (main steps and the
// interrupt block), INSERT / DELETE / CLEAR within a block, the PLAY count and
// what the editor's ENTER stores in the data file and the phrase record.
//
// Editor kinds are the data file kinds: 0 WQ-5000 pattern, 1 WQ-7000
// pattern, 2 song (WQ-7000 only).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/Error.h"
#include "base/FileSystem.h"
#include "card/CWQEDoc.h"
#include "card/Language.h"
#include "card/PatternFile.h"
#include "dialogs/PhraseChooser.h"
#include "dialogs/StartPointChooser.h"

namespace wqe {

// ---------------------------------------------------------------------------
// "Phrase to make"

// Preset kind of the dialog: none (a double click on an empty row), or the
// command that opened it.
enum class MakePreset { None = 0, Pattern = 1, Song = 2 };

struct MakePhraseLayout {
    std::string title;         // "Phrase to make" / "Preparation of Phrase"
    bool showPattern = true;   // radio "Pattern Phrase"
    bool showSong = true;      // radio "Song Phrase"
    bool songEnabled = true;   // off on a WQ-5000 card
    bool songChecked = false;  // which radio is checked
};

// Preset none: both radios, "Pattern Phrase" checked, "Song Phrase" disabled
// on the WQ-5000. Preset pattern or song: only that radio, checked. The
// frame caption is "Phrase to make" in every case.
MakePhraseLayout makePhraseLayout(Model m, MakePreset preset);

// The kind a "Phrase to make" choice makes on the card's model.
PatternKind madeKind(Model m, bool song);

// The first 8 characters of the card name and the phrase number "%03d",
// blank-padded to the model's name length (11 or 12).
std::string defaultPhraseName(const CWQEDoc& doc, int index);

// Sets phrase `index` of the record field by field as a new phrase of
// `kind` (type or used byte, format, lengths, settings, name).
void setNewPhraseRecord(CWQEDoc& doc, int index, PatternKind kind);

// The card folder's data file of phrase `index` ("_WQP%04d.PHR", matched
// ignoring letter case).
std::filesystem::path patternDataPath(const CWQEDoc& doc, int index);

// OK of "Phrase to make": writes the empty data file of `kind` and then sets
// the record as one undoable edit. An existing data file of that phrase
// number is never replaced (it may be a phrase not yet registered): the
// error names it and nothing changes; likewise when the file cannot be
// written (the file is written through `fsys`).
Status makeNewPhrase(CWQEDoc& doc, int index, PatternKind kind,
                     FileSystem& fsys = realFileSystem());

// CLOSE of the editor for a new phrase: deletes the prepared data file and
// returns the record to the erased state (one undoable edit).
Status discardNewPhrase(CWQEDoc& doc, int index);

// ---------------------------------------------------------------------------
// The step editor

// The editor kind of a used phrase: WQ-5000 pattern; WQ-7000 type 3 pattern,
// type 4 song. nullopt for other phrases.
std::optional<PatternKind> editorKindOf(const CWQEDoc& doc, int index);

// The record's pattern mode as the Phrase Setup list's item index
// (0 SEQUENCE .. 3 RANDOM3): the byte on the WQ-7000, byte - 1 on the WQ-5000.
int patternModeIndexOf(const CWQEDoc& doc, int index);

inline constexpr int kPlayCountItems = 25;  // "1".."25"
inline constexpr int kMaxStepInterval = 599;
inline constexpr int kMaxStepVolume = 100;

// One row of the editor. A pattern row uses ref, volume and interval; a song
// row ref and startMs. ref is a step reference of the data file (65535
// unused, 65534 a song's Stop).
struct EditorRow {
    std::uint16_t ref = kStepUnused;
    std::uint8_t volume = kDefaultStepVolume;
    std::uint16_t interval = 0;  // tenths of a second
    std::uint32_t startMs = 0;
    bool operator==(const EditorRow&) const = default;
    bool isEmpty() const { return ref == kStepUnused; }
};

class PatternEditor {
public:
    // `patternModeIndex` 0..3 (SEQUENCE .. RANDOM3); `playCountByte` the
    // record's byte 61 (WQ-7000 patterns).
    PatternEditor(const PatternData& data, int patternModeIndex, std::uint8_t playCountByte = 0);

    PatternKind kind() const { return data_.kind(); }
    bool isSong() const { return data_.isSong(); }
    // 100 rows; 128 for patterns in RANDOM2 and RANDOM3.
    int rowCount() const { return static_cast<int>(rows_.size()); }
    const EditorRow& row(int r) const { return rows_.at(static_cast<std::size_t>(r)); }
    const std::vector<EditorRow>& rows() const { return rows_; }
    void setRow(int r, const EditorRow& value);
    // Rows 101..128 of a pattern (0-based 100..127).
    bool isInterruptRow(int r) const;

    // The block of row r: [first, last] of the main steps or the interrupt rows.
    std::pair<int, int> blockOf(int r) const;
    // INSERT: rows r..last of its block move down one (the last is lost), r
    // becomes empty. DELETE: rows after r move up one, the block's last row
    // becomes empty. CLEAR: every row of r's block becomes empty. A row
    // outside the list does nothing.
    void insertRow(int r);
    void deleteRow(int r);
    void clearBlock(int r);

    // PLAY: shown for WQ-7000 patterns only, enabled in RANDOM2 and RANDOM3.
    bool playCountShown() const { return kind() == PatternKind::Pattern7000; }
    bool playCountEnabled() const;
    // The list position of the stored count (byte - 1, 0 for 0; -1 when no
    // item stands for it).
    int playCountPosition() const;
    // The byte ENTER stores for list position `pos`: the stored byte when the
    // position is the one it opened with or none, else pos + 1.
    std::uint8_t playCountByte(int pos) const;

    // The data block ENTER writes: the read block with every row stored
    // (songs sorted by start time) and, in RANDOM2 and RANDOM3, the
    // interrupt step byte set to the selected row's number when it is an
    // interrupt row, else 0. Bytes no row names stay as read.
    PatternData stored(int selectedRow) const;

private:
    bool usesInterrupts() const { return patternModeIndex_ == 2 || patternModeIndex_ == 3; }

    PatternData data_;
    int patternModeIndex_;
    std::uint8_t playCountByte_;
    std::vector<EditorRow> rows_;
};

// Texts of the editor's rows (as the phrase list of the step editor shows
// them) come from view/PatternStepText; the conversions below are those of
// the step dialog and the start-point chooser.

// The step dialog's phrase list: none, bank A and bank B over the model's
// whole banks (a pattern may name any phrase number of the model).
PhraseChooser stepPhraseChooser(Model m);
// The list position of a step reference: 0 for an unused step, -1 for a
// value no item stands for.
int stepPhrasePosition(Model m, std::uint16_t stepRef);
// The step reference of list position `pos`; `current` when nothing is
// selected.
std::uint16_t stepRefAt(Model m, int pos, std::uint16_t current);

// Step dialog lists: "%d%%" 0..100 and "%02d.%01ds" 0..599 tenths.
std::vector<std::string> stepVolumeItems();
std::vector<std::string> stepIntervalItems();

// A song row as the start-point chooser reads it (Stop as 16384, unused as
// 32768, the time at the MTC type) and the row it gives back: Stop 65534,
// none 65535 with start 0, the time in milliseconds.
StartPoint startPointOfRow(const EditorRow& row, int mtcType);
EditorRow rowOfStartPoint(const StartPoint& point, int mtcType);

// ---------------------------------------------------------------------------
// The flow's ENTER

struct StoreResult {
    Status status;                    // the data file's write
    bool interruptCorrected = false;  // the pattern mode was set to RANDOM1
};

// Writes the edited data block to the phrase's data file (whole file
// replaced only after a complete write) and then, as one undoable edit of
// the record: the PLAY count byte of a WQ-7000 pattern when it changed, and
// RANDOM1 when the record's mode is RANDOM2 or RANDOM3 and no interrupt row
// holds a phrase. A failed write changes no record field.
StoreResult storeEditedSteps(CWQEDoc& doc, int index, const PatternData& data,
                             std::optional<std::uint8_t> playCountByte,
                             FileSystem& fsys = realFileSystem());

}  // namespace wqe
