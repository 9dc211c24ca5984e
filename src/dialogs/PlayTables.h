// The table editors over one table of phrase references: the direct play
// table (16 entries), program play table 1..5 (100 entries) and the MIDI note
// map (128 entries). Entry labels, reference texts, the RESET A / RESET B /
// CLEAR / INSERT / DELETE edits and the phrase chooser each entry opens.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "card/CWQESys.h"
#include "dialogs/PhraseChooser.h"

namespace wqe {

enum class TableKind { DirectPlay, ProgramPlay, NoteMap };

struct PlayTable {
    TableKind kind = TableKind::DirectPlay;
    int program = 0;  // program play table 0..4
    Model model = Model::WQ7000;
    std::vector<std::uint16_t> refs;

    // The record's table.
    static PlayTable read(const CWQESys& sys, TableKind kind, int program = 0);
    // ENTER: the whole table through the record's table setter.
    void store(CWQESys& sys) const;

    // Column 1: "%d" (1-based) for the play tables, the note name for the map.
    std::string label(int entry) const;
    // Column 2: the reference as the phrase list shows it.
    std::string refText(int entry) const;

    // RESET A: entry k = phrase A k+1. RESET B: entry k = phrase B k+1.
    // CLEAR: every entry none.
    void resetA();
    void resetB();
    void clear();
    // Program play only. INSERT at `s`: entries s..last-1 move one place down
    // (the last is lost) and s becomes none. DELETE at `s`: entries s+1..last
    // move one place up and the last becomes none. Out of range: nothing.
    void insertAt(int s);
    void deleteAt(int s);

    // The phrase chooser a double click on an entry opens: "PLAY" only in the
    // direct play table, bank A up to the card's phrase count.
    PhraseChooser chooser(int phraseCountCode) const;
};

inline constexpr bool tableHasInsertDelete(TableKind k) { return k == TableKind::ProgramPlay; }

// "C -" (note 0) .. "G 9" (note 127): the pitch class, then the octave "-" for
// octave -1 or "0".."9".
std::string noteName(int note);

}  // namespace wqe
