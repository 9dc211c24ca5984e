#include "convert/FileConvert.h"

#include <algorithm>
#include <cstdio>

#include "card/FileIO.h"
#include "card/Model.h"
#include "codec/KpacDecoder.h"
#include "codec/KpacEncoder.h"
#include "convert/WavImport.h"

namespace wqe {

namespace {

bool tooLong(const fs::path& p) { return p.string().size() >= kConvertPathLimit; }

}  // namespace

std::string convertEndMessage(int succeeded, bool folderMode, bool offerCleanup, Language lang) {
    if (succeeded <= 0) return pick(lang, kMsgConvertFailed, kMsgConvertFailedJa);
    std::string text;
    if (folderMode) {
        char buf[96];
        std::snprintf(buf, sizeof buf,
                      pick(lang, kMsgConvertSucceededCount, kMsgConvertSucceededCountJa),
                      succeeded);
        text = buf;
    } else {
        text = pick(lang, kMsgConvertSucceeded, kMsgConvertSucceededJa);
    }
    if (offerCleanup)
        text += std::string("\n") + pick(lang, kMsgConvertCleanup, kMsgConvertCleanupJa);
    return text;
}

std::vector<fs::path> filesInFolder(const fs::path& folder, std::string_view pattern,
                                    std::string& error) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (it->is_regular_file(typeEc) && wildcardMatch(pattern, it->path().filename().string()))
            files.push_back(it->path());
    }
    if (ec) error = folder.string() + ": " + ec.message();
    std::sort(files.begin(), files.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
    return files;
}

std::string timeStampSuffix(const std::tm& t) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "_%04d%02d%02d_%02d%02d%02d", t.tm_year + 1900, t.tm_mon + 1,
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return buf;
}

std::optional<fs::path> decodeTargetPath(const fs::path& targetFolder, const fs::path& phraseFile,
                                         const std::tm& localTime) {
    const std::string name = phraseFile.stem().string();
    std::error_code ec;
    fs::path target = targetFolder / (name + ".WAV");
    if (fs::exists(findCardFile(targetFolder, target.filename().string()), ec))
        target = targetFolder / (name + timeStampSuffix(localTime) + ".WAV");
    if (tooLong(target) || fs::exists(findCardFile(targetFolder, target.filename().string()), ec))
        return std::nullopt;
    return target;
}

std::optional<fs::path> encodeTargetPath(const fs::path& targetFolder, int& next, int maxNumber) {
    const auto n = nextFreePhraseNumber(targetFolder, next, maxNumber);
    if (!n) return std::nullopt;
    next = *n;
    fs::path target = targetFolder / phraseDataFileName("", *n - 1, "PHR");
    if (tooLong(target)) return std::nullopt;
    return target;
}

std::vector<fs::path> deleteOtherDataFiles(const fs::path& written, std::string& error) {
    std::vector<fs::path> removed;
    // Only a card phrase keeps one data file; a user's "announcement.wav"
    // beside "announcement.phr" is theirs.
    if (!isPhraseDataFileName(written.filename().string())) return removed;
    const fs::path folder = written.parent_path();
    const std::string stem = written.stem().string();
    for (const char* ext : {"PHR", "WAV", "MID"}) {
        const fs::path other = findCardFile(folder, stem + "." + ext);
        std::error_code ec;
        if (!fs::exists(other, ec) || upperAscii(other.string()) == upperAscii(written.string()) ||
            sameFolder(other, written))
            continue;
        if (fs::remove(other, ec))
            removed.push_back(other);
        else {
            if (!error.empty()) error += '\n';
            error += other.string() + ": could not be deleted (" + ec.message() + ")";
        }
    }
    return removed;
}

ConvertItem encodeOneFile(const fs::path& wav, const fs::path& phrase, kpac::Mode mode,
                          kpac::Progress* progress, const kpac::EncodeOptions& options) {
    ConvertItem item;
    item.source = wav;
    item.target = phrase;
    const auto r = kpac::encodeFile(wav, phrase, static_cast<int>(mode), progress, options);
    if (!r) {
        item.error = r.error();
        return item;
    }
    item.ok = true;
    item.header = r->header;
    item.removed = deleteOtherDataFiles(phrase, item.error);
    return item;
}

ConvertItem decodeOneFile(const fs::path& phrase, const fs::path& wav, int outBytes,
                          kpac::Progress* progress) {
    ConvertItem item;
    item.source = phrase;
    item.target = wav;
    const auto r = kpac::decodeFile(phrase, wav, outBytes, progress);
    item.ok = r.has_value();
    if (r)
        item.header = *r;
    else
        item.error = r.error();
    return item;
}

int ConvertProgress::overallPercent() const {
    const int count = fileCount.load(std::memory_order_relaxed);
    const int filePercent = file.percent();
    if (count < 2) return filePercent;
    const int done = filesDone.load(std::memory_order_relaxed);
    return std::min(100, (filePercent + 100 * done) / count);
}

std::tm localTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return t;
}

namespace {

// The folder loop shared by both directions: `name` gives a file's target or
// nullopt (which ends the run with `stopReason`), `convert` converts it.
template <class Name, class Convert>
ConvertBatch runFolder(const fs::path& sourceFolder, std::string_view pattern,
                       ConvertProgress* progress, const ConvertItemCallback& onItem, Name name,
                       Convert convert) {
    ConvertBatch batch;
    std::string error;
    const std::vector<fs::path> files = filesInFolder(sourceFolder, pattern, error);
    if (!error.empty()) {
        batch.setupError = error;
        return batch;
    }
    if (files.empty()) {
        batch.setupError =
            sourceFolder.string() + ": no " + std::string(pattern.substr(1)) + " files";
        return batch;
    }
    if (progress) {
        progress->fileCount = static_cast<int>(files.size());
        progress->filesDone = 0;
        progress->file.start(0);
    }
    for (const fs::path& source : files) {
        if (tooLong(source)) {
            batch.stopReason = source.string() + ": the path has 260 characters or more";
            break;
        }
        std::string why;
        const std::optional<fs::path> target = name(source, why);
        if (!target) {
            batch.stopReason = why;
            break;
        }
        ConvertItem item = convert(source, *target, progress ? &progress->file : nullptr);
        if (item.ok) ++batch.succeeded;
        if (progress) {
            ++progress->filesDone;
            progress->file.start(0);
        }
        if (onItem) onItem(item);
        batch.items.push_back(std::move(item));
    }
    return batch;
}

}  // namespace

ConvertBatch decodeFolder(const fs::path& sourceFolder, const fs::path& targetFolder, int outBytes,
                          ConvertProgress* progress, const ConvertItemCallback& onItem,
                          const LocalClock& clock) {
    return runFolder(
        sourceFolder, "*.PHR", progress, onItem,
        [&](const fs::path& source, std::string& why) {
            auto target = decodeTargetPath(targetFolder, source, clock());
            if (!target)
                why = source.filename().string() + ": " + source.stem().string() +
                      ".WAV and its time-stamped name are taken in " + targetFolder.string() +
                      " (or the path is too long); the files from here on were not converted";
            return target;
        },
        [&](const fs::path& source, const fs::path& target, kpac::Progress* p) {
            return decodeOneFile(source, target, outBytes, p);
        });
}

ConvertBatch encodeFolder(const fs::path& sourceFolder, const fs::path& targetFolder,
                          kpac::Mode mode, int start, int maxNumber, ConvertProgress* progress,
                          const ConvertItemCallback& onItem, const kpac::EncodeOptions& options) {
    int next = std::max(start, 1);
    return runFolder(
        sourceFolder, "*.WAV", progress, onItem,
        [&](const fs::path& source, std::string& why) {
            auto target = encodeTargetPath(targetFolder, next, maxNumber);
            if (!target)
                why = source.filename().string() + ": no free phrase number from " +
                      std::to_string(next) + " to " + std::to_string(maxNumber) + " in " +
                      targetFolder.string() + "; the files from here on were not converted";
            return target;
        },
        [&](const fs::path& source, const fs::path& target, kpac::Progress* p) {
            return encodeOneFile(source, target, mode, p, options);
        });
}

}  // namespace wqe
