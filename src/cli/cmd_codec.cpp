// wqe decode / encode: KPAC phrase files to WAV files and back, one file or a
// whole folder, with a progress bar on a terminal.
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <thread>

#include "card/FileIO.h"
#include "cli/Cli.h"
#include "convert/FileConvert.h"

namespace wqe::cli {

namespace {

using kpac::Mode;

// MODE: linear, mode1, mode2, mode3, h-linear (any letter case) or 0..4.
Mode parseMode(const std::string& text) {
    const std::string upper = upperAscii(text);
    static const std::pair<const char*, Mode> kNames[] = {
        {"LINEAR", Mode::Linear}, {"MODE1", Mode::Mode1},      {"MODE2", Mode::Mode2},
        {"MODE3", Mode::Mode3},   {"H-LINEAR", Mode::HLinear}, {"HI-LINEAR", Mode::HLinear},
        {"0", Mode::Linear},      {"1", Mode::Mode1},          {"2", Mode::Mode2},
        {"3", Mode::Mode3},       {"4", Mode::HLinear}};
    for (const auto& [name, mode] : kNames)
        if (upper == name) return mode;
    throw UsageError("--mode: '" + text +
                     "' is not one of linear, mode1, mode2, mode3, h-linear or 0..4");
}

// --quality standard|best (any letter case); standard when not given.
kpac::EncodeOptions parseQuality(const Args& args) {
    const auto text = args.option("--quality");
    if (!text || upperAscii(*text) == "STANDARD") return {kpac::Quality::Standard};
    if (upperAscii(*text) == "BEST") return {kpac::Quality::Best};
    throw UsageError("--quality: '" + *text + "' is not standard or best");
}

}  // namespace

InputOptions parseInputOptions(const Args& args) {
    InputOptions input;
    if (const auto rate = args.option("--rate")) {
        input.rate = parseDeviceRate(*rate);
        if (!input.rate)
            throw UsageError("--rate: '" + *rate + "' is not one of " + kpac::gradeRateList());
    }
    if (const auto mix = args.option("--mix")) {
        const auto parsed = parseMixDown(*mix);
        if (!parsed) throw UsageError("--mix: '" + *mix + "' is not mono or stereo");
        input.mix = *parsed;
    }
    return input;
}

namespace {

int parseOutBytes(const Args& args) {
    const auto bits = args.option("--bits");
    if (!bits || *bits == "16") return 2;
    if (*bits == "24") return 3;
    throw UsageError("--bits: '" + *bits + "' is not 16 or 24");
}

// Redraws "[#####     ]  45 %  NAME" on stderr every 100 ms while a
// conversion runs, when stderr is a terminal and --quiet is not given.
class ProgressBar {
public:
    ProgressBar(const ConvertProgress& progress, bool enabled) : progress_(progress) {
        if (!enabled || !isatty(STDERR_FILENO)) return;
        thread_ = std::jthread([this](std::stop_token stop) {
            while (!stop.stop_requested()) {
                {
                    std::lock_guard lock(mutex_);
                    const int percent = progress_.overallPercent();
                    if (percent != shown_) {
                        draw(percent);
                        shown_ = percent;
                    }
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            std::lock_guard lock(mutex_);
            clearLine();
        });
    }
    // Runs `print` (which writes whole lines) with the bar taken off the
    // terminal; the bar comes back at its next refresh.
    template <class Print>
    void above(Print print) {
        std::lock_guard lock(mutex_);
        if (thread_.joinable()) clearLine();
        print();
        std::cout << std::flush;
        shown_ = -1;
    }
    ~ProgressBar() {
        if (thread_.joinable()) {
            thread_.request_stop();
            thread_.join();
        }
    }

private:
    static void clearLine() {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
    }
    static void draw(int percent) {
        constexpr int kWidth = 40;
        std::string bar(kWidth, ' ');
        for (int k = 0; k < kWidth * percent / 100; ++k) bar[static_cast<std::size_t>(k)] = '#';
        std::fprintf(stderr, "\r[%s] %3d %%", bar.c_str(), percent);
        std::fflush(stderr);
    }
    const ConvertProgress& progress_;
    std::mutex mutex_;
    int shown_ = -1;
    std::jthread thread_;  // last: stopped and joined before the members above go
};

// Exit status after Ctrl+C, as a shell reports a program ended by SIGINT.
constexpr int kExitInterrupted = 130;

// The run's cancel flag while a conversion runs; the handler only stores.
std::atomic<std::atomic<bool>*> gCancelOnInterrupt{nullptr};
std::atomic<bool> gInterrupted{false};

extern "C" void onInterrupt(int) {
    gInterrupted.store(true);
    if (std::atomic<bool>* cancel = gCancelOnInterrupt.load()) cancel->store(true);
}

// While alive, Ctrl+C cancels the conversion instead of ending the process at
// once, so the file being written is removed and finished files stay. A
// second Ctrl+C ends the process as usual.
class InterruptCancels {
public:
    explicit InterruptCancels(std::atomic<bool>& cancel) {
        gInterrupted = false;
        gCancelOnInterrupt = &cancel;
        struct sigaction action {};
        action.sa_handler = onInterrupt;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND | SA_RESTART;
        sigaction(SIGINT, &action, &previous_);
    }
    ~InterruptCancels() {
        sigaction(SIGINT, &previous_, nullptr);
        gCancelOnInterrupt = nullptr;
    }
    InterruptCancels(const InterruptCancels&) = delete;
    InterruptCancels& operator=(const InterruptCancels&) = delete;

private:
    struct sigaction previous_ {};
};

std::string describe(const kpac::Header& h) {
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.3f", h.seconds());
    return std::string(kpac::modeName(h.mode)) + ", " + std::string(kpac::gradeName(h.grade)) +
           ", " + (h.channels == 2 ? "stereo" : "mono") + ", " + std::to_string(h.blockCount) +
           " blocks (" + seconds + " s)";
}

// Prints one finished file: success on stdout, failure on stderr.
void report(const ConvertItem& item, const std::string& command) {
    if (item.ok) {
        std::cout << item.source.string() << " -> " << item.target.string();
        if (item.header) std::cout << ": " << describe(*item.header);
        if (!item.conversions.empty()) std::cout << " (" << item.conversions << ")";
        std::cout << '\n';
        for (const auto& removed : item.removed)
            std::cout << "deleted " << removed.string() << '\n';
    }
    if (item.cancelled)
        std::cerr << "wqe " << command << ": " << item.source.string() << ": cancelled; "
                  << item.target.string() << " was not written\n";
    else if (!item.error.empty())
        std::cerr << "wqe " << command << ": " << item.error << '\n';
}

int finish(const ConvertBatch& batch, bool folderMode, Language lang, const std::string& command) {
    if (batch.cancelled || gInterrupted) {
        std::cerr << convertCancelledMessage(batch.succeeded, false, lang) << '\n';
        return kExitInterrupted;
    }
    if (!batch.setupError.empty())
        std::cerr << "wqe " << command << ": " << batch.setupError << '\n';
    if (!batch.stopReason.empty())
        std::cerr << "wqe " << command << ": " << batch.stopReason << '\n';
    const bool allOk = batch.setupError.empty() && batch.stopReason.empty() &&
                       batch.succeeded > 0 &&
                       batch.succeeded == static_cast<int>(batch.items.size());
    const std::string message = convertEndMessage(batch.succeeded, folderMode, false, lang);
    (batch.succeeded > 0 ? std::cout : std::cerr) << message << '\n';
    return allOk ? kExitOk : kExitFailure;
}

int runConvert(const std::vector<std::string>& argv, bool encoding) {
    const std::string command = encoding ? "encode" : "decode";
    Args args(argv, {"--folder", "--quiet"},
              encoding ? std::set<std::string>{"--mode", "--quality", "--start", "--max", "--lang",
                                               "--jobs", "--rate", "--mix"}
                       : std::set<std::string>{"--bits", "--lang", "--jobs"});
    args.expectPositional(2, 2);
    const Language lang = languageFrom(args);
    const bool folderMode = args.flag("--folder");
    const fs::path source = args.positional()[0], target = args.positional()[1];
    Mode mode = Mode::Linear;
    kpac::EncodeOptions options;
    InputOptions input;
    int outBytes = 2, start = 1, maxNumber = kDefaultMaxPhraseNumber;
    if (encoding) {
        const auto modeText = args.option("--mode");
        if (!modeText) throw UsageError("--mode is required");
        mode = parseMode(*modeText);
        options = parseQuality(args);
        input = parseInputOptions(args);
        if (auto s = args.option("--start")) start = parseInt(*s, "--start", 1, 9999);
        if (auto m = args.option("--max")) maxNumber = parseInt(*m, "--max", 1, 9999);
        if (!folderMode && (args.option("--start") || args.option("--max")))
            throw UsageError("--start and --max belong to --folder");
    } else {
        outBytes = parseOutBytes(args);
    }
    int jobs = 0;
    if (auto j = args.option("--jobs")) jobs = parseInt(*j, "--jobs", 1, kMaxConvertJobs);
    if (!folderMode && args.option("--jobs")) throw UsageError("--jobs belongs to --folder");

    ConvertProgress progress;
    ConvertBatch batch;
    {
        InterruptCancels interrupt(progress.cancel);
        ProgressBar bar(progress, !args.flag("--quiet"));
        std::error_code ec;
        if (folderMode) {
            if (!fs::is_directory(source, ec)) throw Failure(source.string() + ": not a folder");
            if (!fs::is_directory(target, ec)) throw Failure(target.string() + ": not a folder");
            auto onItem = [&](const ConvertItem& item) {
                bar.above([&] { report(item, command); });
            };
            batch = encoding ? encodeFolder(source, target, mode, start, maxNumber, &progress,
                                            onItem, options, jobs, input)
                             : decodeFolder(source, target, outBytes, &progress, onItem,
                                            localTimeNow, jobs);
        } else {
            if (fs::is_directory(source, ec))
                throw Failure(source.string() + ": a folder (use --folder)");
            if (fs::is_directory(target, ec))
                throw Failure(target.string() + ": a folder; name the file to write");
            progress.fileCount = 1;
            ConvertItem item =
                encoding ? encodeOneFile(source, target, mode, &progress.file[0], options, input)
                         : decodeOneFile(source, target, outBytes, &progress.file[0],
                                         kpac::loneFileDecodeOptions());
            if (item.ok) ++batch.succeeded;
            batch.cancelled = item.cancelled;
            batch.items.push_back(std::move(item));
        }
    }
    if (!folderMode) report(batch.items.front(), command);
    return finish(batch, folderMode, lang, command);
}

int runDecode(const std::vector<std::string>& args) { return runConvert(args, false); }
int runEncode(const std::vector<std::string>& args) { return runConvert(args, true); }

const bool registered = [] {
    registerCommand(
        {"decode", "KPAC phrase files (.PHR) to WAV files",
         "usage: wqe decode [--bits 16|24] [--quiet] IN.PHR OUT.WAV\n"
         "       wqe decode --folder [--bits 16|24] [--jobs N] [--quiet] SRCDIR DSTDIR\n\n"
         "Decodes a KPAC phrase file into a PCM WAV file of 16 (default) or 24 bits.\n"
         "With --folder every *.PHR file of SRCDIR becomes DSTDIR/NAME.WAV, or\n"
         "NAME_YYYYMMDD_HHMMSS.WAV when NAME.WAV exists. The files are converted\n"
         "on N threads at once (--jobs; default: one per core and one more,\n"
         "so that no core waits while a finished file is written to the disk).\n\n"
         "Output files appear only when complete; Ctrl+C stops the conversion,\n"
         "keeps the finished files and leaves no partial one (exit status 130). A progress bar is "
         "drawn on\n"
         "stderr when it is a terminal (--quiet: none). The last line is\n"
         "\"Conversion succeeded.\" (folder: \"Conversion succeeded. (N file(s))\")\n"
         "or \"Conversion failed.\" (--lang en|ja). Exit status 2 when any file\n"
         "failed.\n",
         runDecode});
    registerCommand(
        {"encode", "WAV files to KPAC phrase files (.PHR)",
         "usage: wqe encode --mode MODE [--quality Q] [--rate HZ] [--mix mono|stereo] [--quiet]\n"
         "                  IN OUT.PHR\n"
         "       wqe encode --folder --mode MODE [--quality Q] [--rate HZ] [--mix mono|stereo]\n"
         "                  [--start N] [--max N] [--jobs N] [--quiet] SRCDIR DSTDIR\n\n"
         "Encodes an audio file into a KPAC phrase file. MODE is linear, mode1,\n"
         "mode2, mode3, h-linear or the codes 0..4.\n\n"
         "IN is a WAV file (PCM of 8, 16, 24 or 32 bits or float of 32 or 64 bits,\n"
         "also WAVE_FORMAT_EXTENSIBLE), FLAC, Ogg Vorbis, Opus or MP3. A 16- or\n"
         "24-bit PCM WAV file, mono or stereo, at 8000, 16000, 22050, 32000, 44100\n"
         "or 48000 Hz goes to the encoder unchanged. Anything else is converted on\n"
         "the way: to the lowest of those rates not below the file's (48000 above\n"
         "48000) or to --rate HZ, to 24 bits when the file has more than 16 (else\n"
         "16), and with more than two channels only when --mix asks for a mono\n"
         "or stereo mix-down (--mix mono also mixes stereo files). The result line\n"
         "names every conversion, e.g. \"(resampled 24000 Hz → 32000 Hz,\n"
         "32-bit float → 24-bit)\".\n\n"
         "--quality standard (default) chooses each block's coding as the\n"
         "device's own encoder does; --quality best tries every coding of the\n"
         "mode and keeps the closest, for a higher signal-to-noise ratio at no\n"
         "larger file size (MODE 1 to MODE 3; slower to encode).\n\n"
         "When OUT.PHR is a phrase data file name (_WQPnnnn.PHR, any case), a\n"
         "successful encode deletes the phrase's other data files (_WQPnnnn.WAV\n"
         "and .MID beside it), so that a card phrase keeps one data file. Files\n"
         "of any other name are never deleted: encoding announcement.wav to\n"
         "announcement.phr keeps announcement.wav.\n\n"
         "With --folder every audio file of SRCDIR (*.WAV, *.FLAC, *.OGG, *.OGA,\n"
         "*.OPUS, *.MP3) becomes DSTDIR/_WQPnnnn.PHR\n"
         "with the first number from N (--start, default 1) up to --max\n"
         "(default 1000) for which no _WQPnnnn .MID, .PHR or .WAV file exists.\n"
         "The numbers are given in file order before the files are converted on\n"
         "N threads at once (--jobs; default: one per core and one more,\n"
         "so that no core waits while a finished file is written to the disk).\n\n"
         "Output files appear only when complete; Ctrl+C stops the conversion,\n"
         "keeps the finished files and leaves no partial one (exit status 130). A progress bar is "
         "drawn on\n"
         "stderr when it is a terminal (--quiet: none). Exit status 2 when any\n"
         "file failed.\n",
         runEncode});
    return true;
}();

}  // namespace

}  // namespace wqe::cli
