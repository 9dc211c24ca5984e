// WAV Import: audio files onto a card as WAV phrases, uncompressed. Each
// accepted source becomes a phrase data file "_WQP%04d.WAV" with a fresh
// 44-byte header (canonicalWaveHeader: RIFF, a 16-byte "fmt " chunk, "data")
// and 16-bit PCM samples at a device rate, padded with zero bytes to whole
// blocks of 16 frames: what the card receives is always what its player
// reads. A 16-bit PCM WAV of one or two channels at a device rate keeps its
// samples bit for bit; anything else (openAudioInput) is converted by its
// plan (planInput with 16 bits).
//
// The import writes no phrase settings: the card learns of the new files
// through a cleanup.
#pragma once

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/FileSystem.h"
#include "convert/AudioInput.h"
#include "stream/Expected.h"
#include "stream/LWaveFile.h"

namespace wqe {

namespace fs = std::filesystem;

inline constexpr std::size_t kImportPieceSize = 512;  // bytes copied per step
inline constexpr std::uint32_t kBlockFrames = 16;
// The largest offset of the sample data that a WAV phrase record can hold.
inline constexpr std::uint64_t kMaxWavDataOffset = 4095;

// Why a WAV file's format cannot be a WAV phrase ("" when it can): PCM, 16
// bits per sample, 1 or 2 channels with a block align of 2 or 4 bytes that
// matches them, a rate of 8000, 16000, 22050, 32000, 44100 or 48000 Hz, and
// sample data that starts at an even offset. The text names the file.
std::string wavPhraseFormatProblem(const WaveInfo& info, const fs::path& path);

// Opens and checks a WAV file by that rule.
Expected<WaveInfo> probeWavPhrase(const fs::path& path);

// The data chunk size after padding to whole blocks of 16 frames.
std::uint64_t paddedDataSize(std::uint32_t dataSize, std::uint16_t blockAlign);
std::uint64_t paddedDataSize64(std::uint64_t dataSize, std::uint16_t blockAlign);

struct WavImportResult {
    bool ok = false;
    bool cancelled = false;         // stopped by `cancel`; nothing was written
    std::string error;              // names the file and the problem
    std::uint32_t dataBytes = 0;    // sample bytes copied
    std::uint32_t padBytes = 0;     // zero bytes appended
    std::vector<fs::path> removed;  // the phrase's other data files (".PHR", ".MID")
    std::string conversions;        // as ConvertItem::conversions
};

// Imports one file. `filePercent` (0..100) follows the copy. The target is
// written under a temporary name and renamed into place only when complete,
// so a failure leaves no target and never harms an existing file of that
// name. On success the phrase's other data files of the same name are
// deleted, so the phrase keeps one data file. `cancel`, checked after every
// piece, stops the copy and removes what was written. A source whose sample
// data ends before its stated size is refused.
// Writing, the rename into place and the deletions go through `fsys`.
WavImportResult importWavFile(const fs::path& source, const fs::path& target,
                              std::atomic<int>* filePercent = nullptr,
                              const std::atomic<bool>* cancel = nullptr,
                              FileSystem& fsys = realFileSystem(), const InputOptions& input = {});

// The first phrase number n in start..maxNumber for which the folder holds
// no "_WQP%04d." file with "MID", "PHR" or "WAV" (letter case ignored).
std::optional<int> nextFreePhraseNumber(const fs::path& folder, int start, int maxNumber);

// The starting number of a folder import from the chosen target name:
// the digits after "_WQP" when the name begins so (at least 1), else 1.
int startNumberFromTargetName(const std::string& name);

// Progress of a batch, shared with a display thread without a lock.
struct ImportProgress {
    std::atomic<int> filePercent{0};
    std::atomic<int> filesDone{0};
    std::atomic<int> fileCount{0};
    // Set from any thread to stop the import after the current piece.
    std::atomic<bool> cancel{false};
    // Overall percentage: the file's share when fewer than two files.
    int overallPercent() const;
};

struct ImportItem {
    fs::path source;
    fs::path target;  // empty when no free number was left
    bool ok = false;
    bool cancelled = false;
    std::string error;
    std::uint32_t padBytes = 0;
    std::string conversions;  // as ConvertItem::conversions
};

struct ImportBatch {
    std::vector<ImportItem> items;  // the files tried, in order
    int succeeded = 0;
    bool cancelled = false;  // the files after the cancelled one were not tried
};

// Called after each file (for a display); may be empty.
using ImportItemCallback = std::function<void(const ImportItem&)>;

// Imports `sources` into `cardFolder`, each to the next free phrase number
// from `start` up to `maxNumber`. A file without a free number is not
// imported. Safe to run on a worker thread while another reads `progress`.
ImportBatch importWavFiles(const std::vector<fs::path>& sources, const fs::path& cardFolder,
                           int start, int maxNumber, ImportProgress* progress = nullptr,
                           const ImportItemCallback& onItem = {},
                           FileSystem& fsys = realFileSystem(), const InputOptions& input = {});

// WAV Import ends with the same texts as File Convert (convertEndMessage in
// convert/FileConvert.h) and lists its sources with filesInFolder(folder, "*.WAV").

}  // namespace wqe
