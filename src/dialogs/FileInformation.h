// The "File Information" pane of Phrase Setup: five lines that say what a
// phrase's data file on the card holds. Each kind of data file has its own
// reader built on the card's readers, and every reader looks at the file's
// header only, never at the coded audio:
//   audio ".PHR"  the 16-byte KPAC header (grade, mode, channels, blocks)
//   audio ".WAV"  the RIFF/WAVE header up to the first sample byte
//   ".MID"        the header chunk, the first tempo, sequence name, notice
//   pattern/song  the 1024-byte start ("WQPhrs" and the data block)
// A reader that cannot make sense of the file puts the reason into line 1
// and leaves lines 2 to 5 empty; the phrase's settings stay editable.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "card/CWQEPhr.h"
#include "card/Language.h"
#include "card/Model.h"
#include "card/PatternFile.h"

namespace wqe {

// What Phrase Setup edits: the kind decides the lists, the data file reader
// and which controls are shown.
enum class PhraseKind { Audio = 0, Midi = 1, Pattern = 2, Song = 3 };

// What the pattern or song reader found, kept for the pattern and song
// editors (their numbers are those the editors test for).
enum class PatternDataState {
    None = -1,           // not a pattern or song phrase
    Pattern5000 = 0,     // a WQ-5000 pattern was read
    Pattern7000 = 1,     // a WQ-7000 pattern was read
    Song = 2,            // a song was read
    PatternFailed = 10,  // the pattern file could not be read
    SongFailed = 20,     // the song file could not be read
};

inline constexpr int kFileInfoLineCount = 5;

struct FileInformation {
    std::array<std::string, kFileInfoLineCount> lines;  // UTF-8
    // False when the reader failed: line 1 then names the problem. The
    // pattern and song editors open only on a file that was read.
    bool read = false;
    // A KPAC file in MODE2: the device has no points for it.
    bool pointsUnavailable = false;
    PatternDataState patternState = PatternDataState::None;
    std::optional<PatternData> pattern;  // the steps as read, for the editors
};

// The card folder's data file "_WQP%04d.<ext>" of phrase `index`, found
// with the card's letter-case rule.
std::filesystem::path phraseDataFile(const std::filesystem::path& folder, int index,
                                     std::string_view extension);

// One reader per kind of data file.
FileInformation kpacFileInformation(const std::filesystem::path& file, Model m, Language lang);
FileInformation wavFileInformation(const std::filesystem::path& file, Language lang);
FileInformation midiFileInformation(const std::filesystem::path& file, Language lang);
FileInformation patternFileInformation(const std::filesystem::path& file, Model m, bool song);

// The pane of phrase `index` of a kind: audio by the ".PHR" reader (the
// ".WAV" reader for a WQ-7000 phrase stored as WAV), MIDI by the ".MID"
// reader, patterns and songs by the pattern file reader.
FileInformation phraseFileInformation(const CWQEPhr& phr, int index, PhraseKind kind,
                                      const std::filesystem::path& folder, Language lang);

}  // namespace wqe
