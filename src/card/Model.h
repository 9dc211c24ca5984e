// Card models, the fixed file names of a card folder, phrase numbers and
// phrase references.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wqe {

// The two device models. The value is the one the document and its records
// keep; it never appears inside a card file.
enum class Model : std::uint8_t { WQ5000 = 0, WQ7000 = 1 };

inline constexpr std::size_t kSystemFileSize7000 = 1352;
inline constexpr std::size_t kSystemFileSize5000 = 1354;
inline constexpr std::size_t kPhraseRecordSize7000 = 80;
inline constexpr std::size_t kPhraseRecordSize5000 = 48;
inline constexpr int kHighestPhraseCount7000 = 1000;
inline constexpr int kHighestPhraseCount5000 = 500;
inline constexpr int kMemoSlots = 1000;

inline constexpr std::string_view kSystemFileName7000 = "_WQ7TSYS.CNF";
inline constexpr std::string_view kSystemFileName5000 = "_WQ5TSYS.CNF";
inline constexpr std::string_view kPhraseFileName7000 = "_WQ7TPHR.CNF";
inline constexpr std::string_view kPhraseFileName5000 = "_WQ5TPHR.CNF";
inline constexpr std::string_view kMemoFileName = "WQE_MEMO.TXT";
inline constexpr std::string_view kSubFolderName7000 = "_WQ7TDIR.CNF";

std::string_view modelName(Model m);  // "WQ-7000" / "WQ-5000"
std::string_view systemFileName(Model m);
std::string_view phraseFileName(Model m);
std::size_t systemFileSize(Model m);
std::size_t phraseRecordSize(Model m);
int highestPhraseCount(Model m);

// Model from the bare file name the user chose; exact, case-sensitive match.
std::optional<Model> modelFromFileName(std::string_view bareName);

// Phrase count of the phrase list and the printed report: 0 -> 250, 1 -> 500,
// 2 -> 1000, anything else -> 250, whatever the model.
int phraseCountForList(int code);
// Phrase count of cleanup and the play-table choosers. WQ-5000: 0 -> 250,
// else 500. WQ-7000: 0 -> 250, 1 -> 500, else 1000.
int phraseCountForModel(int code, Model m);

// Data file of phrase index i: folderPrefix + "_WQP%04d." + ext. The prefix
// includes its trailing separator (or is empty).
std::string phraseDataFileName(std::string_view folderPrefix, int index, std::string_view ext);

// Whether a bare file name is one a phrase data file has on a card:
// "_WQP", four digits, "." and PHR, MID or WAV, letter case ignored.
bool isPhraseDataFileName(std::string_view bareName);

// Extension of a phrase's data file from its record. WQ-7000: type 2 -> MID,
// else mode 5 -> WAV, else PHR. WQ-5000: MIDI flag 1 -> MID, else PHR.
std::string_view dataFileExtension7000(int type, int mode);
std::string_view dataFileExtension5000(int midiFlag);

// Phrase references of the play tables, the note map and pattern steps.
inline constexpr std::uint16_t kRefPlay7000 = 16384;
inline constexpr std::uint16_t kRefNone7000 = 32768;
inline constexpr std::uint16_t kRefPlay5000 = 4095;
inline constexpr std::uint16_t kRefNone5000 = 65535;
std::uint16_t refPlay(Model m);
std::uint16_t refNone(Model m);

enum class RefKind { A, B, Play, None };
struct PhraseRef {
    RefKind kind = RefKind::None;
    int number = 0;  // 1-based phrase number for A and B
};
PhraseRef decodeRef(std::uint16_t value, Model m);
std::uint16_t encodeRef(PhraseRef ref, Model m);
// "A%04d"/"B%04d"/"PLAY"/"-----" (WQ-7000), "A%03d"/"B%03d"/"PLAY"/"----" (WQ-5000).
std::string formatRef(std::uint16_t value, Model m);
// Inverse of formatRef: accepts "A12", "a0012", "B3", "PLAY", "-", "-----",
// "none" (case-insensitive). Numbers must lie in 1..highest phrase count.
std::optional<std::uint16_t> parseRef(std::string_view text, Model m);

}  // namespace wqe
