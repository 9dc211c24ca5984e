#include "convert/FileConvert.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <set>
#include <thread>

#include "base/FileSystem.h"
#include "card/FileIO.h"
#include "card/Model.h"
#include "codec/KpacDecoder.h"
#include "codec/KpacEncoder.h"
#include "codec/WavInput.h"
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

std::string convertCancelledMessage(int succeeded, bool offerCleanup, Language lang) {
    char buf[128];
    std::snprintf(buf, sizeof buf, pick(lang, kMsgConvertCancelled, kMsgConvertCancelledJa),
                  std::max(succeeded, 0));
    std::string text = buf;
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

namespace {

// Names already given to earlier files of a folder run, letter case ignored:
// they count as taken although their files are not written yet.
class PlannedNames {
public:
    void add(const fs::path& p) { names_.insert(upperAscii(p.filename().string())); }
    bool taken(const fs::path& folder, const fs::path& p) const {
        std::error_code ec;
        return names_.contains(upperAscii(p.filename().string())) ||
               fs::exists(findCardFile(folder, p.filename().string()), ec);
    }

private:
    std::set<std::string> names_;
};

std::optional<fs::path> decodeTarget(const fs::path& targetFolder, const fs::path& phraseFile,
                                     const std::tm& localTime, const PlannedNames& planned) {
    const std::string name = phraseFile.stem().string();
    fs::path target = targetFolder / (name + ".WAV");
    if (planned.taken(targetFolder, target))
        target = targetFolder / (name + timeStampSuffix(localTime) + ".WAV");
    if (tooLong(target) || planned.taken(targetFolder, target)) return std::nullopt;
    return target;
}

}  // namespace

std::optional<fs::path> decodeTargetPath(const fs::path& targetFolder, const fs::path& phraseFile,
                                         const std::tm& localTime) {
    return decodeTarget(targetFolder, phraseFile, localTime, PlannedNames{});
}

std::optional<fs::path> encodeTargetPath(const fs::path& targetFolder, int& next, int maxNumber) {
    const auto n = nextFreePhraseNumber(targetFolder, next, maxNumber);
    if (!n) return std::nullopt;
    next = *n;
    fs::path target = targetFolder / phraseDataFileName("", *n - 1, "PHR");
    if (tooLong(target)) return std::nullopt;
    return target;
}

std::vector<std::string> phraseDataFilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const char* ext : {"PHR", "WAV", "MID"}) {
        std::string error;
        for (const fs::path& p : filesInFolder(folder, std::string("_WQP*.") + ext, error))
            names.push_back(p.filename().string());
    }
    return names;
}

int phraseNumberOfListedFile(const std::string& name, int maxNumber) {
    long long n = 0;
    for (std::size_t k = 4; k < name.size() && name[k] >= '0' && name[k] <= '9'; ++k)
        n = std::min<long long>(n * 10 + (name[k] - '0'), 1000000);
    return static_cast<int>(std::clamp<long long>(n, 1, std::max(maxNumber, 1)));
}

std::string chosenPhrasePath(const std::string& folder, int number, const std::string& extension) {
    char name[32];
    std::snprintf(name, sizeof name, "_WQP%04d.", number);
    std::string path = folder + name + extension;
    if (path.size() > kConvertPathLimit - 1) path.resize(kConvertPathLimit - 1);
    return path;
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

namespace {

// True when the encoder takes a WAV file as it is (16 or 24 bits, one or two
// channels, a device rate) and the input options keep its rate and channels.
bool goesUnchanged(kpac::ByteSource& source, const InputOptions& input) {
    kpac::ByteReader reader(source, 4096);
    const auto w = kpac::readWavInput(reader);
    return w && kpac::gradeOfRate(w->sampleRate) && (!input.rate || *input.rate == w->sampleRate) &&
           !(input.mix == MixDown::Mono && w->channels == 2);
}

// The converted input and its plan.
struct OpenedInput {
    std::unique_ptr<ConvertedWave> wave;
    InputPlan plan;
};

// Opens `source` for conversion: a WAV file through `file` (rewound), any
// other format through the backend. The error names the file.
Result<OpenedInput> openForEncoding(const fs::path& source, std::unique_ptr<RewindableFile> file,
                                    const InputOptions& input) {
    auto reader = hasWavExtension(source) || file->startsWithRiff() || !audioBackend()
                      ? openWavInput(std::move(file), source)
                      : openAudioInput(source);
    if (!reader) return reader.error();
    auto plan = planInput((*reader)->format(), input, 24);
    if (!plan) return Error{plan.error().kind, source.string(), plan.error().reason};
    auto wave = ConvertedWave::create(std::move(*reader), *plan);
    if (!wave) return Error{wave.error().kind, source.string(), wave.error().reason};
    return OpenedInput{std::move(*wave), std::move(*plan)};
}

// Opens `source` and looks at its header. Empty `file` with `error` set when
// it cannot be opened.
std::unique_ptr<RewindableFile> openSource(const fs::path& source, bool& unchanged,
                                           const InputOptions& input, std::string& error) {
    auto file = std::make_unique<RewindableFile>();
    if (Status opened = file->open(source); !opened) {
        error = opened.error().message();
        return nullptr;
    }
    unchanged = goesUnchanged(*file, input);
    file->rewind();
    return file;
}

// Encodes `wave` (the source's bytes or its conversion) into the phrase file,
// which appears only when complete. Fills item.ok, header and error.
void encodeInto(kpac::ByteSource& wave, const ConvertedWave* converted, const fs::path& source,
                const fs::path& phrase, kpac::Mode mode, kpac::Progress* progress,
                const kpac::EncodeOptions& options, ConvertItem& item) {
    kpac::AtomicFileSink out;
    if (Status created = out.begin(phrase); !created) {
        item.error = created.error().message();
        return;
    }
    auto r = kpac::encode(wave, out, static_cast<int>(mode), progress, options);
    if (!r || (converted && converted->failed())) {
        const bool writeFailed = out.failed();
        out.discard();
        item.cancelled = progress && progress->cancelled();
        if (converted && converted->failed())
            item.error = converted->error()->message();
        else
            item.error = inFile(r.error(), writeFailed ? phrase : source).message();
        return;
    }
    if (Status written = out.complete(); !written) {
        item.error = written.error().message();
        return;
    }
    item.ok = true;
    item.header = r->header;
    // A data chunk that claims more than the file holds: say so.
    if (!r->warning.empty()) item.error = source.string() + ": " + r->warning;
}

}  // namespace

ConvertItem encodeOneFile(const fs::path& wav, const fs::path& phrase, kpac::Mode mode,
                          kpac::Progress* progress, const kpac::EncodeOptions& options,
                          const InputOptions& input) {
    ConvertItem item;
    item.source = wav;
    item.target = phrase;
    if (static_cast<unsigned>(mode) >= static_cast<unsigned>(kpac::kModeCount)) {
        item.error = "mode " + std::to_string(static_cast<int>(mode)) + " is not one of 0..4";
        return item;
    }
    bool unchanged = false;
    auto file = openSource(wav, unchanged, input, item.error);
    if (!file) return item;
    if (unchanged) {
        encodeInto(*file, nullptr, wav, phrase, mode, progress, options, item);
    } else {
        auto opened = openForEncoding(wav, std::move(file), input);
        if (!opened) {
            item.error = opened.error().message();
            return item;
        }
        encodeInto(*opened->wave, opened->wave.get(), wav, phrase, mode, progress, options, item);
        if (item.ok) {
            item.conversions = opened->plan.summary();
            if (const std::uint64_t clipped = opened->wave->clippedSamples())
                item.conversions += (item.conversions.empty() ? "" : ", ") +
                                    std::to_string(clipped) + " samples clipped at full scale";
        }
    }
    if (!item.ok) return item;
    std::string removeError;
    item.removed = deleteOtherDataFiles(phrase, removeError);
    if (!removeError.empty()) item.error += (item.error.empty() ? "" : "\n") + removeError;
    return item;
}

ConvertItem decodeOneFile(const fs::path& phrase, const fs::path& wav, int outBytes,
                          kpac::Progress* progress, const kpac::DecodeOptions& options) {
    ConvertItem item;
    item.source = phrase;
    item.target = wav;
    const auto r = kpac::decodeFile(phrase, wav, outBytes, progress, nullptr, options);
    item.ok = r.has_value();
    if (r) {
        item.header = *r;
    } else {
        item.cancelled = progress && progress->cancelled();
        item.error = r.error().message();
    }
    return item;
}

int ConvertProgress::overallPercent() const {
    const int count = fileCount.load(std::memory_order_relaxed);
    if (count < 2) return file[0].percent();
    int running = 0;
    for (const auto& f : file) running += f.percent();
    const int done = filesDone.load(std::memory_order_relaxed);
    return std::min(100, (running + 100 * done) / count);
}

int convertJobCount(int jobs, std::size_t files) {
    int n = jobs > 0 ? jobs : static_cast<int>(std::thread::hardware_concurrency()) + 1;
    n = std::clamp(n, 1, kMaxConvertJobs);
    return static_cast<int>(std::clamp<std::size_t>(files, 1, static_cast<std::size_t>(n)));
}

std::tm localTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    return t;
}

std::string folderWriteProblem(const fs::path& folder) {
    static std::atomic<unsigned> serial{0};
    const fs::path probe = folder / (".wqe-write-test-" + std::to_string(::getpid()) + "-" +
                                     std::to_string(serial++) + ".tmp");
    FileSystem& files = realFileSystem();
    auto created = files.createNew(probe);
    if (!created) {
        std::error_code ec;
        const std::string why = fs::is_directory(folder, ec) ? "files cannot be created here ("
                                                             : "not a folder one can write to (";
        return folder.string() + ": " + why + created.error().reason + ")";
    }
    const Status closed = (*created)->close();
    (void)files.remove(probe);
    if (!closed) return folder.string() + ": " + closed.error().reason;
    return {};
}

namespace {

// One file of a folder run: its source, its target decided before the run,
// or the failure found while deciding (the file is then not converted).
struct PlannedFile {
    fs::path source, target;
    std::optional<ConvertItem> refused;
};

struct FolderPlan {
    std::vector<PlannedFile> files;
    std::string stopReason;
};

ConvertItem refusedItem(const fs::path& source, std::string error) {
    ConvertItem item;
    item.source = source;
    item.error = std::move(error);
    return item;
}

// Why the encoder would refuse an input before writing anything, or "".
std::string encodeRefusal(const fs::path& source, const InputOptions& input) {
    bool unchanged = false;
    std::string error;
    auto file = openSource(source, unchanged, input, error);
    if (!file || unchanged) return error;
    auto opened = openForEncoding(source, std::move(file), input);
    return opened ? std::string() : opened.error().message();
}

// Why the decoder would refuse a phrase file before writing anything, or "".
std::string decodeRefusal(const fs::path& phrase) {
    kpac::FileSource in;
    if (Status opened = in.begin(phrase); !opened) return opened.error().message();
    std::uint8_t bytes[kpac::kHeaderSize];
    kpac::ByteReader reader(in, kpac::kHeaderSize);
    const std::size_t got = reader.read(bytes, kpac::kHeaderSize);
    const auto header = kpac::parseHeader(std::span<const std::uint8_t>(bytes, got));
    if (!header) return inFile(header.error(), phrase).message();
    return {};
}

// Decides the targets in file order, as a run on one thread would meet them:
// `name` gives a file's target (nullopt ends the plan with its reason),
// `refusal` says why the codec would write nothing for it.
template <class Name, class Refusal>
FolderPlan planFolder(const std::vector<fs::path>& sources, Name name, Refusal refusal) {
    FolderPlan plan;
    for (const fs::path& source : sources) {
        if (tooLong(source)) {
            plan.stopReason = source.string() + ": the path has 260 characters or more";
            break;
        }
        if (std::string why = refusal(source); !why.empty()) {
            plan.files.push_back({source, {}, refusedItem(source, std::move(why))});
            continue;
        }
        std::string why;
        const std::optional<fs::path> target = name(source, why);
        if (!target) {
            plan.stopReason = why;
            break;
        }
        plan.files.push_back({source, *target, std::nullopt});
    }
    return plan;
}

// Converts the planned files on `jobs` threads. Each thread takes the next
// file not yet started; finished items are handed to `onItem` in file order.
template <class Convert>
void runPlan(const FolderPlan& plan, ConvertProgress& progress, const ConvertItemCallback& onItem,
             int jobs, Convert convert, ConvertBatch& batch) {
    const std::size_t count = plan.files.size();
    progress.fileCount = static_cast<int>(count);
    progress.filesDone = 0;
    for (auto& f : progress.file) f.start(0);

    std::vector<std::optional<ConvertItem>> results(count);
    std::atomic<std::size_t> nextFile{0};
    std::mutex reportMutex;
    std::size_t reported = 0;

    auto work = [&](int k) {
        kpac::Progress& fileProgress = progress.file[static_cast<std::size_t>(k)];
        while (!progress.cancel.load(std::memory_order_relaxed)) {
            const std::size_t i = nextFile.fetch_add(1);
            if (i >= count) break;
            const PlannedFile& planned = plan.files[i];
            ConvertItem item = planned.refused
                                   ? *planned.refused
                                   : convert(planned.source, planned.target, &fileProgress);
            ++progress.filesDone;
            fileProgress.start(0);
            std::lock_guard lock(reportMutex);
            results[i] = std::move(item);
            for (; reported < count && results[reported]; ++reported)
                if (onItem) onItem(*results[reported]);
        }
    };
    {
        std::vector<std::jthread> helpers;
        for (int k = 1; k < convertJobCount(jobs, count); ++k) helpers.emplace_back(work, k);
        work(0);
    }
    for (auto& r : results) {
        if (!r) break;  // not started: the run was cancelled
        if (r->ok) ++batch.succeeded;
        batch.items.push_back(std::move(*r));
    }
    batch.cancelled = progress.cancel.load();
}

// The folder run shared by both directions: the files matching `pattern`,
// or with `audio` every audio file the program can decode.
template <class Name, class Refusal, class Convert>
ConvertBatch runFolder(const fs::path& sourceFolder, const fs::path& targetFolder,
                       std::string_view pattern, bool audio, ConvertProgress* progress,
                       const ConvertItemCallback& onItem, int jobs, Name name, Refusal refusal,
                       Convert convert) {
    ConvertBatch batch;
    std::string error;
    const std::vector<fs::path> files = audio ? audioFilesInFolder(sourceFolder, error)
                                              : filesInFolder(sourceFolder, pattern, error);
    if (!error.empty()) {
        batch.setupError = error;
        return batch;
    }
    if (files.empty()) {
        batch.setupError =
            sourceFolder.string() + ": no " + std::string(pattern.substr(1)) + " files";
        return batch;
    }
    if (std::string why = folderWriteProblem(targetFolder); !why.empty()) {
        batch.setupError = why + "; no file was converted";
        return batch;
    }
    const FolderPlan plan = planFolder(files, name, refusal);
    batch.stopReason = plan.stopReason;
    ConvertProgress own;
    runPlan(plan, progress ? *progress : own, onItem, jobs, convert, batch);
    return batch;
}

}  // namespace

ConvertBatch decodeFolder(const fs::path& sourceFolder, const fs::path& targetFolder, int outBytes,
                          ConvertProgress* progress, const ConvertItemCallback& onItem,
                          const LocalClock& clock, int jobs) {
    PlannedNames planned;
    return runFolder(
        sourceFolder, targetFolder, "*.PHR", false, progress, onItem, jobs,
        [&](const fs::path& source, std::string& why) {
            auto target = decodeTarget(targetFolder, source, clock(), planned);
            if (target)
                planned.add(*target);
            else
                why = source.filename().string() + ": " + source.stem().string() +
                      ".WAV and its time-stamped name are taken in " + targetFolder.string() +
                      " (or the path is too long); the files from here on were not converted";
            return target;
        },
        decodeRefusal,
        [&](const fs::path& source, const fs::path& target, kpac::Progress* p) {
            return decodeOneFile(source, target, outBytes, p);
        });
}

ConvertBatch encodeFolder(const fs::path& sourceFolder, const fs::path& targetFolder,
                          kpac::Mode mode, int start, int maxNumber, ConvertProgress* progress,
                          const ConvertItemCallback& onItem, const kpac::EncodeOptions& options,
                          int jobs, const InputOptions& input) {
    // As on one thread: `next` stays at the number given last, which the
    // next file finds taken (its file counts as written).
    int next = std::max(start, 1);
    bool nextTaken = false;
    return runFolder(
        sourceFolder, targetFolder, "*.WAV", true, progress, onItem, jobs,
        [&](const fs::path& source, std::string& why) {
            int from = nextTaken ? next + 1 : next;
            auto target = encodeTargetPath(targetFolder, from, maxNumber);
            if (target) {
                next = from;
                nextTaken = true;
            } else
                why = source.filename().string() + ": no free phrase number from " +
                      std::to_string(next) + " to " + std::to_string(maxNumber) + " in " +
                      targetFolder.string() + "; the files from here on were not converted";
            return target;
        },
        [&](const fs::path& source) { return encodeRefusal(source, input); },
        [&](const fs::path& source, const fs::path& target, kpac::Progress* p) {
            return encodeOneFile(source, target, mode, p, options, input);
        });
}

}  // namespace wqe
