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
#pragma once

#include <atomic>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "card/Language.h"
#include "codec/ByteIo.h"
#include "codec/KpacEncoder.h"
#include "codec/KpacHeader.h"

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
inline constexpr const char* kMsgFileNotSelected = "File not selected.";
inline constexpr const char* kMsgFileNotSelectedJa = "ファイルが選択されていません。";

// The end message: "Conversion succeeded. (%d file(s))" in folder mode,
// "Conversion succeeded." in file mode, "Conversion failed." for no success;
// with "Cleanup the Card Info?" on a new line when the cleanup is offered.
std::string convertEndMessage(int succeeded, bool folderMode, bool offerCleanup, Language lang);

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

struct ConvertItem {
    fs::path source;
    fs::path target;  // empty when naming failed
    bool ok = false;
    std::string error;                   // names the file and what is wrong
    std::vector<fs::path> removed;       // encode: the phrase's other data files deleted
    std::optional<kpac::Header> header;  // of the phrase file read or written
};

// One file; the codec's progress pair follows it.
// `options.quality`: the encoder's Standard (default) or Best quality.
ConvertItem encodeOneFile(const fs::path& wav, const fs::path& phrase, kpac::Mode mode,
                          kpac::Progress* progress = nullptr,
                          const kpac::EncodeOptions& options = {});
ConvertItem decodeOneFile(const fs::path& phrase, const fs::path& wav, int outBytes,
                          kpac::Progress* progress = nullptr);

// Progress of a folder run, read by a display thread without a lock.
struct ConvertProgress {
    kpac::Progress file;  // the codec's pair for the current file
    std::atomic<int> filesDone{0};
    std::atomic<int> fileCount{0};
    // The current file's percentage when fewer than two files, else
    // (file percentage + 100 × files done) / file count.
    int overallPercent() const;
};

struct ConvertBatch {
    std::vector<ConvertItem> items;  // the files tried, in order
    int succeeded = 0;
    std::string stopReason;  // why the run ended early, or empty
    std::string setupError;  // the folder could not be listed or holds no file
};

// Called after each file (for a display); may be empty.
using ConvertItemCallback = std::function<void(const ConvertItem&)>;
using LocalClock = std::function<std::tm()>;
std::tm localTimeNow();

// Decodes every "*.PHR" file of sourceFolder into targetFolder.
ConvertBatch decodeFolder(const fs::path& sourceFolder, const fs::path& targetFolder, int outBytes,
                          ConvertProgress* progress = nullptr,
                          const ConvertItemCallback& onItem = {},
                          const LocalClock& clock = localTimeNow);
// Encodes every "*.WAV" file of sourceFolder into numbered phrase files of
// targetFolder, numbers from `start` up to `maxNumber`.
ConvertBatch encodeFolder(const fs::path& sourceFolder, const fs::path& targetFolder,
                          kpac::Mode mode, int start, int maxNumber,
                          ConvertProgress* progress = nullptr,
                          const ConvertItemCallback& onItem = {},
                          const kpac::EncodeOptions& options = {});

}  // namespace wqe
