// Pattern and song phrase files "_WQP%04d.PHR": the 6-byte header "WQPhrs"
// and a data block. All 16- and 32-bit values of the data block are
// big-endian on both models. Offsets below are into the data block (file
// offset = data offset + 6).
//
// Kind (data byte 3):       data block   file
//   0 WQ-5000 pattern        506 bytes    512 bytes
//   1 WQ-7000 pattern       1018 bytes   1024 bytes
//   2 WQ-7000 song          1018 bytes   1024 bytes
//
// Pattern data block (kinds 0 and 1), 100 main steps and 28 interrupt steps:
//   0..2    marker bytes FF FF FF
//   3       kind
//   4..9    reserved, 0
//   10+4i   u16 phrase reference of step i (i = 0..99), 65535 = unused
//   12+4i   u16 interval after step i, tenths of a second
//   410+2k  u16 phrase reference of step 100+k (k = 0..27), no interval
//   466..503 reserved, 0
//   504     interrupt step: 1-based step number, 0 = none (RANDOM2, RANDOM3)
//   505     reserved, 0
//   kind 1 only: 506..633 volume of steps 0..127 in percent, the two bytes
//   of each pair exchanged (step i at 506 + (i XOR 1)); 634..1017 reserved.
//
// Song data block (kind 2), 100 steps:
//   0..2 FF FF FF   3 kind 2   4..9 reserved
//   10+2i   u16 phrase reference of step i: 0..1999, 65534 = Stop, 65535 = unused
//   210+4i  u32 start time of step i, milliseconds
//   610..1017 reserved, 0
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/FileSystem.h"
#include "card/Model.h"

namespace wqe {

enum class PatternKind : std::uint8_t { Pattern5000 = 0, Pattern7000 = 1, Song = 2 };

inline constexpr std::size_t kPatternHeaderSize = 6;  // "WQPhrs"
inline constexpr char kPatternHeader[] = "WQPhrs";
inline constexpr std::size_t kPatternBlockSize5000 = 506;
inline constexpr std::size_t kPatternBlockSize7000 = 1018;  // patterns and songs
inline constexpr std::size_t kPatternProbeSize = 16;        // the start a reader looks at first
inline constexpr std::size_t kPatternKindOffset = 3;        // in the data block

inline constexpr int kPatternMainSteps = 100;
inline constexpr int kPatternInterruptSteps = 28;
inline constexpr int kPatternAllSteps = kPatternMainSteps + kPatternInterruptSteps;
inline constexpr int kSongSteps = 100;

inline constexpr std::uint16_t kStepUnused = 65535;
inline constexpr std::uint16_t kSongStop = 65534;
inline constexpr std::uint8_t kDefaultStepVolume = 100;

inline constexpr const char* kMsgPatternWriteFailed =
    "It failed in the preservation of pattern phrase file.";
inline constexpr const char* kMsgSongWriteFailed =
    "It failed in the preservation of song phrase file.";
inline constexpr const char* kMsgNoPatternFile = "There is no data file of pattern phrase.";
inline constexpr const char* kMsgNoSongFile = "There is no data file of song phrase.";
inline constexpr const char* kMsgPatternFileWrong = "The data file of pattern phrase is wrong.";
inline constexpr const char* kMsgSongFileWrong = "The data file of song phrase is wrong.";
inline constexpr const char* kMsgInterruptCorrected =
    "Since an interrupt phrase was not chosen,\npattern settings were corrected to random1.";

std::size_t patternBlockSize(PatternKind kind);
// The message box text for a failed write of this kind.
const char* patternWriteFailureMessage(PatternKind kind);

// Pattern modes of the phrase record that show 128 steps (RANDOM2 and
// RANDOM3: 2 and 3 on the WQ-7000, 3 and 4 on the WQ-5000).
bool patternModeUsesInterrupts(Model m, int patternMode);
// RANDOM1 in the model's numbering (1 on the WQ-7000, 2 on the WQ-5000).
int patternModeRandom1(Model m);
// 128 steps in RANDOM2 and RANDOM3, else 100.
int patternStepCount(Model m, int patternMode);

// One song step as the song editor holds it.
struct SongStep {
    std::uint16_t ref = kStepUnused;
    std::uint32_t startMs = 0;
    bool operator==(const SongStep&) const = default;
};

// Songs are stored sorted: steps with a phrase by ascending start time, then
// the Stop steps by ascending start time, then unused steps (start 0). Equal
// start times keep their order.
void sortSongSteps(std::vector<SongStep>& steps);

// A data block of one kind with typed access to its steps. Step indexes
// outside the kind's range read as unused and write nothing.
class PatternData {
public:
    // The empty block of the kind.
    explicit PatternData(PatternKind kind = PatternKind::Pattern7000);
    // A block read from a file; `block` must have the kind's size.
    PatternData(PatternKind kind, std::vector<std::uint8_t> block);

    PatternKind kind() const { return kind_; }
    bool isSong() const { return kind_ == PatternKind::Song; }
    std::span<const std::uint8_t> block() const { return block_; }
    bool operator==(const PatternData&) const = default;

    // Patterns: steps 0..127 (100..127 are the interrupt steps).
    std::uint16_t stepRef(int step) const;
    void setStepRef(int step, std::uint16_t ref);
    // Tenths of a second; steps 100..127 have none and read 0.
    std::uint16_t stepInterval(int step) const;
    void setStepInterval(int step, std::uint16_t tenths);
    // WQ-7000 patterns only; other kinds read 100.
    std::uint8_t stepVolume(int step) const;
    void setStepVolume(int step, std::uint8_t percent);
    // 1-based interrupt step, 0 = none.
    std::uint8_t interruptStep() const;
    void setInterruptStep(std::uint8_t step);
    // True when one of the 28 interrupt steps holds a phrase.
    bool hasInterruptPhrase() const;

    // Songs: steps 0..99.
    SongStep songStep(int step) const;
    void setSongStep(int step, SongStep value);
    std::vector<SongStep> songSteps() const;
    // Stores the steps sorted (see sortSongSteps); missing steps are unused.
    void storeSongSteps(std::vector<SongStep> steps);

private:
    std::uint16_t u16(std::size_t off) const;
    void setU16(std::size_t off, std::uint16_t v);
    bool isPattern() const { return kind_ != PatternKind::Song; }

    PatternKind kind_;
    std::vector<std::uint8_t> block_;
};

// Why a read failed.
enum class PatternReadStatus {
    Ok,
    Missing,       // no such file
    CannotRead,    // the file exists but cannot be opened or read
    Short,         // fewer bytes than the 16-byte start or the data block
    NotSupported,  // not "WQPh", or a kind the model does not have
};

struct PatternReadResult {
    PatternReadStatus status = PatternReadStatus::Ok;
    std::optional<PatternData> data;
    std::string error;  // names the file and the problem when status != Ok
};

// Checks the file's bytes: the 16-byte start, the magic "WQPh", a kind the
// model supports (WQ-5000: 0; WQ-7000: 1 and 2), and the whole data block.
PatternReadResult parsePatternFile(std::span<const std::uint8_t> bytes, Model m,
                                   const std::string& fileName = "pattern file");
PatternReadResult readPatternFile(const std::filesystem::path& path, Model m);

// Writes "WQPhrs" and the data block at the start of the file, creating it
// when missing. Bytes of a longer existing file beyond the data block are
// kept. The file is replaced only after the whole new content was written,
// so a failed write leaves it as it was. The error names the file and the
// problem (the editor shows patternWriteFailureMessage()). Every read, write
// and rename goes through `fsys`.
Status writePatternFile(const std::filesystem::path& path, const PatternData& data,
                        FileSystem& fsys = realFileSystem());

// The whole file of a data block: "WQPhrs" and the block (512 or 1024 bytes).
std::vector<std::uint8_t> patternFileBytes(const PatternData& data);

}  // namespace wqe
