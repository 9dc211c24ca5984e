// File Convert: WAV files to KPAC phrase files (encode) and back (decode),
// one file or a whole folder, with the naming rules of folder mode and the
// deletion of a card phrase's other data files after an encode. The plain
// functions here are what the command line and the dialog's worker thread
// call; the progress pair may be read from another thread meanwhile.
//
// Folder naming:
//   decode: target folder / NAME.WAV for NAME.PHR; when that exists,
//           NAME_YYYYMMDD_HHMMSS.WAV (local time); when that exists too, or
//           the path reaches 260 characters, the file is not converted.
//   encode: target folder / _WQP%04d.PHR with the first number n from the
//           next number on (never above the highest phrase number) for which
//           no _WQP%04d.MID, .PHR or .WAV exists (letter case ignored).
// A naming failure ends a folder run: the files after it are not converted.
//
// A folder run decides every target name first, in file order, by the rule
// above (a file whose header the codec refuses takes no name, as it would
// write nothing), then converts the files on several threads at once: the
// files written are byte for byte those of a run on one thread. The target
// folder is tried for writing before any file is touched. A cancel (through
// ConvertProgress::cancel) stops every running file within one block; those
// files leave nothing behind, finished files stay.
#pragma once

#include <array>
#include <atomic>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "card/Language.h"
#include "codec/ByteIo.h"
#include "codec/KpacDecoder.h"
#include "codec/KpacEncoder.h"
#include "codec/KpacHeader.h"
#include "convert/AudioInput.h"

namespace wqe {

namespace fs = std::filesystem;

inline constexpr std::size_t kConvertPathLimit = 260;  // a path this long or longer is refused
inline constexpr int kDefaultMaxPhraseNumber = 1000;

inline constexpr const char* kMsgConvertSucceeded = "Conversion succeeded.";
inline constexpr const char* kMsgConvertSucceededJa = "コンバートに成功しました。";
inline constexpr const char* kMsgConvertSucceededCount = "Conversion succeeded. (%d file(s))";
inline constexpr const char* kMsgConvertSucceededCountJa =
    "コンバートに成功しました。 (%d 個のファイル)";
inline constexpr const char* kMsgConvertFailed = "Conversion failed.";
inline constexpr const char* kMsgConvertFailedJa = "コンバートに失敗しました。";
inline constexpr const char* kMsgConvertCleanup = "Cleanup the Card Info?";
inline constexpr const char* kMsgConvertCleanupJa = "クリーン・アップを行いますか？";
inline constexpr const char* kMsgConvertCancelled = "Conversion cancelled. (%d file(s) converted)";
inline constexpr const char* kMsgConvertCancelledJa =
    "コンバートを中止しました。 (%d 個のファイルを変換済み)";
inline constexpr const char* kMsgFileNotSelected = "File not selected.";
inline constexpr const char* kMsgFileNotSelectedJa = "ファイルが選択されていません。";

// The end message: "Conversion succeeded. (%d file(s))" in folder mode,
// "Conversion succeeded." in file mode, "Conversion failed." for no success;
// with "Cleanup the Card Info?" on a new line when the cleanup is offered.
std::string convertEndMessage(int succeeded, bool folderMode, bool offerCleanup, Language lang);
// The end message of a cancelled run: "Conversion cancelled. (%d file(s)
// converted)", with the cleanup question as above.
std::string convertCancelledMessage(int succeeded, bool offerCleanup, Language lang);

// The files of `folder` whose names match `pattern` ("*.PHR", "*.WAV"; letter
// case ignored), regular files only, sorted by name. `error` is set when the
// folder cannot be read.
std::vector<fs::path> filesInFolder(const fs::path& folder, std::string_view pattern,
                                    std::string& error);

// Decode naming (above); nullopt when the file is not to be converted.
std::optional<fs::path> decodeTargetPath(const fs::path& targetFolder, const fs::path& phraseFile,
                                         const std::tm& localTime);
// "_%04d%02d%02d_%02d%02d%02d" of a local time.
std::string timeStampSuffix(const std::tm& localTime);
// Encode naming (above): the path for the first free number from `next`,
// which is set to that number; nullopt when none is free up to maxNumber or
// the path would reach 260 characters.
std::optional<fs::path> encodeTargetPath(const fs::path& targetFolder, int& next, int maxNumber);

// When the written file's name is a phrase data file name ("_WQP%04d.PHR",
// letter case ignored), deletes its siblings of the same name with the
// extensions PHR, WAV and MID, except the written file itself, so that a
// card phrase keeps one data file; any other name deletes nothing. Returns
// the deleted paths; `error` lists the ones that could not go.
std::vector<fs::path> deleteOtherDataFiles(const fs::path& written, std::string& error);

// The target phrase number dialog: the phrase data files listed for a
// folder (regular files "_WQP*.PHR", then ".WAV", then ".MID", letter case
// ignored, each group sorted by name) and the number a listed name selects:
// the decimal digits after its first four characters, at least 1 and at
// most `maxNumber` (a name without digits selects 1).
std::vector<std::string> phraseDataFilesIn(const fs::path& folder);
int phraseNumberOfListedFile(const std::string& name, int maxNumber);
// folder / "_WQP%04d." + extension, cut to 259 characters.
std::string chosenPhrasePath(const std::string& folder, int number, const std::string& extension);

struct ConvertItem {
    fs::path source;
    fs::path target;  // empty when naming failed
    bool ok = false;
    bool cancelled = false;              // stopped by a cancel; nothing was written
    std::string error;                   // names the file and what is wrong
    std::vector<fs::path> removed;       // encode: the phrase's other data files deleted
    std::optional<kpac::Header> header;  // of the phrase file read or written
    // encode: the conversions the input took on its way to the encoder
    // ("resampled 24000 Hz → 32000 Hz, 32-bit float → 24-bit"); empty when
    // the WAV file went to the encoder unchanged.
    std::string conversions;
};

// One file; the codec's progress pair follows it.
// `options.quality`: the encoder's Standard (default) or Best quality.
// A 16- or 24-bit PCM WAV file of one or two channels at the device rate the
// plan keeps goes to the encoder unchanged, byte for byte; any other input
// (openAudioInput) is converted by its plan (planInput with `input`, up to 24
// bits) on the way.
ConvertItem encodeOneFile(const fs::path& wav, const fs::path& phrase, kpac::Mode mode,
                          kpac::Progress* progress = nullptr,
                          const kpac::EncodeOptions& options = {}, const InputOptions& input = {});
ConvertItem decodeOneFile(const fs::path& phrase, const fs::path& wav, int outBytes,
                          kpac::Progress* progress = nullptr,
                          const kpac::DecodeOptions& options = {});

// The most threads a folder run uses.
inline constexpr int kMaxConvertJobs = 64;

// The threads a folder run uses for `jobs` and `files`. 0 asks for one per
// core and one more: a thread waiting for its finished file to reach the disk
// then leaves no core idle.
int convertJobCount(int jobs, std::size_t files);

// Progress and cancel of a run, shared with a display thread without a lock.
// Each converting thread k follows its current file in file[k] (a single
// file uses file[0]).
struct ConvertProgress {
    ConvertProgress() {
        for (auto& f : file) f.cancel = &cancel;
    }
    ConvertProgress(const ConvertProgress&) = delete;
    ConvertProgress& operator=(const ConvertProgress&) = delete;

    std::array<kpac::Progress, kMaxConvertJobs> file;
    std::atomic<int> filesDone{0};
    std::atomic<int> fileCount{0};
    // Set from any thread to stop the run.
    std::atomic<bool> cancel{false};

    // The file's percentage when fewer than two files, else (the running
    // files' percentages + 100 × files done) / file count, at most 100.
    int overallPercent() const;
};

struct ConvertBatch {
    std::vector<ConvertItem> items;  // the files tried, in order
    int succeeded = 0;
    bool cancelled = false;  // a cancel stopped the run
    std::string stopReason;  // why the run ended early, or empty
    std::string setupError;  // nothing was converted: the folder could not be
                             // listed, holds no file, or the target refuses writing
};

// Called for each finished file, in file order, from a converting thread
// (never two calls at once); may be empty.
using ConvertItemCallback = std::function<void(const ConvertItem&)>;
using LocalClock = std::function<std::tm()>;
std::tm localTimeNow();

// Empty when a file can be created in `folder`, else why not (the folder
// named). Tries it with a temporary file that is removed at once.
std::string folderWriteProblem(const fs::path& folder);

// Decodes every "*.PHR" file of sourceFolder into targetFolder on `jobs`
// threads (0: one per core and one more).
ConvertBatch decodeFolder(const fs::path& sourceFolder, const fs::path& targetFolder, int outBytes,
                          ConvertProgress* progress = nullptr,
                          const ConvertItemCallback& onItem = {},
                          const LocalClock& clock = localTimeNow, int jobs = 0);
// Encodes every audio file of sourceFolder (audioFilesInFolder) into
// numbered phrase files of targetFolder, numbers from `start` up to
// `maxNumber`, on `jobs` threads.
ConvertBatch encodeFolder(const fs::path& sourceFolder, const fs::path& targetFolder,
                          kpac::Mode mode, int start, int maxNumber,
                          ConvertProgress* progress = nullptr,
                          const ConvertItemCallback& onItem = {},
                          const kpac::EncodeOptions& options = {}, int jobs = 0,
                          const InputOptions& input = {});

}  // namespace wqe
