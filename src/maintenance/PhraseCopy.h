// Phrase copy: one phrase data file from any folder (another card, a backup,
// converted files) into an empty phrase slot of the open card. The file is
// copied into the card folder at once; the record and the memo line go into
// the document (they reach the card with the next save).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/FileSystem.h"
#include "card/CWQEDoc.h"
#include "card/Prompter.h"

namespace wqe {

namespace fs = std::filesystem;

inline constexpr const char* kMsgCopySucceeded = "Copy succeeded.";
inline constexpr const char* kMsgCopyFailed = "Copy failed.";
// The undo step that registers a copied (or dropped) phrase.
inline constexpr const char* kEditCopyPhrase = "Copy Phrase";

// What a chosen file is. ENTER acts only on the kinds whose code is a
// multiple of 10.
enum class SourceKind : int {
    Audio = 0,         // ".PHR" with a valid KPAC header, or a readable ".WAV"
    BadAudio = 1,      // ".PHR" KPAC file whose header is not valid
    Pattern5000 = 10,  // ".PHR" pattern file in the WQ-5000 layout
    Pattern7000 = 20,  // ".PHR" pattern file in the WQ-7000 layout
    Song = 30,         // ".PHR" song file (WQ-7000)
    Midi = 40,         // ".MID" standard MIDI file of format 0, 1 or 2
    BadMidi = 41,      // ".MID" that does not read correctly
    Unusable = 91,     // nothing usable chosen
};

// A chosen source file, evaluated for the open card's model and the
// destination slot.
struct CopySource {
    fs::path path;
    SourceKind kind = SourceKind::Unusable;
    std::string extension;  // of the destination data file: "PHR", "MID" or "WAV"
    int sourceNumber = 0;   // digits after the first four characters of the name
    // A record of the card's model: from the source folder's phrase settings
    // file when it holds one of the source's kind, else the default record
    // (first byte 0) to be built from the file on copy.
    std::vector<std::uint8_t> candidate;
    std::string memo;     // memo line of the source number in the folder's memo file
    std::string problem;  // why the source cannot be copied ("" when it can)

    bool usable() const { return problem.empty() && static_cast<int>(kind) % 10 == 0; }
    bool candidateEmpty() const { return candidate.empty() || candidate[0] == 0; }
};

// Number of phrase slots of the open card (WQ-5000: code 0 -> 250, else 500;
// WQ-7000: 0 -> 250, 1 -> 500, else 1000), never more than the records the
// phrase settings image holds.
int copySlotCount(const CWQEDoc& doc);

// INC (upwards) / DEC: the first empty slot above (below) `from`, wrapping to
// search from the other end; nullopt when no slot is empty.
std::optional<int> nextEmptySlot(const CWQEDoc& doc, int from, bool upwards);

// Evaluates a chosen file: kind, destination extension, candidate record and
// memo. A memo file that cannot be read shows "Unable to open Memo file"
// and leaves the memo empty.
CopySource evaluateSource(const fs::path& file, const CWQEDoc& doc, Prompter& prompter);

// Fills `record` from the source file by its kind, as registration would for
// the destination slot (default name from the card name), except that a
// MODE2 KPAC phrase keeps its end point at 0. False with `error` set when the
// file cannot be read or the kind is not one the model stores.
bool buildRecord(const CopySource& source, const CWQEDoc& doc, int slot,
                 std::vector<std::uint8_t>& record, std::string& error);

// The default record of the model with the default name: the first 8
// characters of the card name and the slot number ("%s%03d").
std::vector<std::uint8_t> defaultCopyRecord(Model m, const std::string& cardName, int slot);

// Stores `record` (a record of the card's model) and the memo line into slot
// `slot` of the document, field by field, as one undoable edit "Copy Phrase".
// Only the record can be undone; the data file already lies on the card.
void storeCopiedRecord(CWQEDoc& doc, int slot, const std::vector<std::uint8_t>& record,
                       const std::string& memo);

struct CopyResult {
    enum class Status {
        Copied,      // data file copied, record and memo stored
        NotCopied,   // unusable source or destination; nothing changed
        CopyFailed,  // the file copy failed; nothing registered
    };
    Status status = Status::NotCopied;
    fs::path destination;
    std::string error;
    std::optional<int> nextSlot;  // the next empty slot (INC), when any
};

// ENTER: copies the source into the destination slot's data file (replacing
// a file of that name), then stores the record (built from the file when the
// candidate is empty) and the memo line into the document as one undoable
// edit (storeCopiedRecord). A failed copy shows "Copy failed." and registers nothing, since
// a record whose data file is missing is wrong.
// The data file is written through `fsys`.
CopyResult copyPhrase(CWQEDoc& doc, const CopySource& source, int slot, Prompter& prompter,
                      FileSystem& fsys = realFileSystem());

}  // namespace wqe
