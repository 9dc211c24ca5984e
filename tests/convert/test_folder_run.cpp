// Folder runs on several threads and cancelling: the files written must be
// those of a run on one thread, a cancel must leave nothing half-written, and
// a target folder that refuses writing must stop the run before it starts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <csignal>
#include <fstream>
#include <map>
#include <thread>

#include "codec/KpacEncoder.h"
#include "codec/TestSignals.h"
#include "convert/FileConvert.h"
#include "convert/WavImport.h"
#include "support/TempDir.h"

using namespace wqe;
using namespace wqe::test;

namespace {

using FolderImage = std::map<std::string, Bytes>;

FolderImage image(const fs::path& folder) {
    FolderImage out;
    for (const auto& e : fs::directory_iterator(folder))
        out[e.path().filename().string()] = readBytes(e.path());
    return out;
}

std::vector<std::int32_t> tone(std::size_t samples, int step) {
    std::vector<std::int32_t> s(samples);
    for (std::size_t k = 0; k < samples; ++k)
        s[k] = static_cast<std::int32_t>(12000 * std::sin(0.001 * step * static_cast<double>(k)));
    return s;
}

// A source folder with WAV files of different lengths, one file the encoder
// refuses (a rate that is no grade) and a text file that is no source. The
// files are taken in byte order of their names: "W6.WAV" comes first.
void fillSources(const fs::path& src) {
    for (int k = 0; k < 7; ++k)
        writeBytes(src / ((k == 6 ? "W6.WAV" : "w" + std::to_string(k) + ".wav")),
                   makeWav(1 + k % 2, 32000, 16, tone(400u * static_cast<unsigned>(k + 1), k + 1)));
    writeBytes(src / "w3b.wav", makeWav(1, 11025, 16, tone(100, 1)));
    writeBytes(src / "notes.txt", {1});
}

// Feeds `bytes` through a named pipe: the first half at once; the rest only
// after `ready` returns true, once `beforeRest` has run. The reader of the
// pipe thus cannot finish before `beforeRest`.
class PipeFeeder {
public:
    PipeFeeder(const fs::path& pipe, Bytes bytes, std::function<bool()> ready,
               std::function<void()> beforeRest) {
        ::mkfifo(pipe.c_str(), 0600);
        thread_ = std::jthread([=] {
            std::ofstream out(pipe, std::ios::binary);
            const std::size_t half = bytes.size() / 2;
            out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(half));
            out.flush();
            while (!ready()) std::this_thread::yield();
            beforeRest();
            out.write(reinterpret_cast<const char*>(bytes.data() + half),
                      static_cast<long>(bytes.size() - half));
        });
    }

private:
    std::jthread thread_;
};

}  // namespace

// Numbers with gaps, existing data files of every kind, a refused file in
// the middle and a start number: every thread count writes the same files.
TEST(FolderRun, ParallelEncodeAndDecodeWriteWhatOneThreadWrites) {
    TempDir src;
    fillSources(src.path());
    const FolderImage existing = {
        {"_WQP0002.PHR", {1}}, {"_wqp0003.mid", {2}}, {"_WQP0005.WAV", {3}}, {"keep.txt", {4}}};
    auto encodeWith = [&](int jobs, TempDir& card) {
        for (const auto& [name, bytes] : existing) writeBytes(card / name, bytes);
        const ConvertBatch batch = encodeFolder(src.path(), card.path(), kpac::Mode::Mode2, 2, 1000,
                                                nullptr, {}, {}, jobs);
        EXPECT_EQ(batch.succeeded, 7);
        EXPECT_EQ(batch.items.size(), 8u);
        return image(card.path());
    };
    TempDir one, four;
    const FolderImage sequential = encodeWith(1, one);
    EXPECT_EQ(encodeWith(4, four), sequential);
    std::vector<std::string> names;
    for (const auto& [name, bytes] : sequential) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"_WQP0002.PHR", "_WQP0004.PHR", "_WQP0005.WAV",
                                               "_WQP0006.PHR", "_WQP0007.PHR", "_WQP0008.PHR",
                                               "_WQP0009.PHR", "_WQP0010.PHR", "_WQP0011.PHR",
                                               "_wqp0003.mid", "keep.txt"}));
    EXPECT_EQ(sequential.at("_WQP0002.PHR"), (Bytes{1}));  // the start number was taken

    // Decoding back: same names on any thread count, one of them time-stamped.
    auto decodeWith = [&](int jobs, TempDir& dst) {
        writeBytes(dst / "_WQP0004.WAV", {7});
        const LocalClock clock = [] {
            std::tm t{};
            t.tm_year = 125, t.tm_mday = 1, t.tm_hour = 12;
            return t;
        };
        const ConvertBatch batch =
            decodeFolder(one.path(), dst.path(), 3, nullptr, {}, clock, jobs);
        EXPECT_EQ(batch.succeeded, 7);  // _WQP0002.PHR holds one byte only
        return image(dst.path());
    };
    TempDir d1, d3;
    const FolderImage decoded = decodeWith(1, d1);
    EXPECT_EQ(decodeWith(3, d3), decoded);
    EXPECT_TRUE(decoded.contains("_WQP0004_20250101_120000.WAV"));
}

TEST(FolderRun, MessagesComeInFileOrderAndProgressEndsFull) {
    TempDir src, card;
    fillSources(src.path());
    ConvertProgress progress;
    std::vector<std::string> seen;
    const ConvertBatch batch = encodeFolder(
        src.path(), card.path(), kpac::Mode::Mode1, 1, 1000, &progress,
        [&](const ConvertItem& item) { seen.push_back(item.source.filename()); }, {}, 4);
    EXPECT_EQ(seen, (std::vector<std::string>{"W6.WAV", "w0.wav", "w1.wav", "w2.wav", "w3.wav",
                                              "w3b.wav", "w4.wav", "w5.wav"}));
    EXPECT_EQ(progress.overallPercent(), 100);
    EXPECT_FALSE(batch.cancelled);
}

// Cancelling inside a file: the source arrives through a pipe whose second
// half is sent only after the cancel, so the codec meets the cancel while it
// still has blocks to go. Nothing may be left in the target folder.
TEST(FolderRun, CancelInsideAFileLeavesNothing) {
    std::signal(SIGPIPE, SIG_IGN);  // the feeder may write after the codec stopped reading
    const Bytes monoWav = makeWav(1, 48000, 16, tone(48000 * 4, 3));
    const Bytes stereoWav = makeWav(2, 48000, 16, tone(2 * 48000 * 8, 5));
    kpac::SpanSource stereoIn(stereoWav);
    kpac::VectorSink stereoPhrase;
    ASSERT_TRUE(kpac::encode(stereoIn, stereoPhrase, 2));
    // Long enough that half the phrase file is more than one read of the decoder.
    const Bytes longMonoWav = makeWav(1, 48000, 16, tone(48000 * 20, 3));
    kpac::SpanSource monoIn(longMonoWav);
    kpac::VectorSink monoPhrase;
    ASSERT_TRUE(kpac::encode(monoIn, monoPhrase, 2));
    const struct {
        const char* what;
        Bytes source;
        bool encoding;
        // When to cancel: after the first block, or (the two-thread decoder
        // reads ahead whole runs) once the file's decoding has begun.
        bool afterFirstBlock;
    } cases[] = {
        {"encode", monoWav, true, true},
        {"decode mono", monoPhrase.bytes(), false, true},
        {"decode stereo, two threads", stereoPhrase.bytes(), false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir in, out;
        ConvertProgress progress;
        kpac::Progress& p = progress.file[0];
        PipeFeeder feeder(
            in / "source", c.source,
            [&] { return (c.afterFirstBlock ? p.done.load() : p.total.load()) > 0; },
            [&] { progress.cancel = true; });
        const ConvertItem item =
            c.encoding ? encodeOneFile(in / "source", out / "_WQP0001.PHR", kpac::Mode::Mode2, &p)
                       : decodeOneFile(in / "source", out / "OUT.WAV", 2, &p);
        EXPECT_FALSE(item.ok);
        EXPECT_TRUE(item.cancelled) << item.error;
        EXPECT_LT(p.done.load(), p.total.load());
        EXPECT_TRUE(fs::is_empty(out.path()));
    }
}

TEST(FolderRun, CancelBetweenFilesKeepsTheFinishedOnes) {
    TempDir src, card;
    fillSources(src.path());
    ConvertProgress progress;
    const ConvertBatch batch = encodeFolder(
        src.path(), card.path(), kpac::Mode::Mode2, 1, 1000, &progress,
        [&](const ConvertItem& item) {
            if (item.source.filename() == "w1.wav") progress.cancel = true;
        },
        {}, 1);
    EXPECT_TRUE(batch.cancelled);
    EXPECT_EQ(batch.succeeded, 3);
    EXPECT_EQ(batch.items.size(), 3u);
    EXPECT_EQ(image(card.path()).size(), 3u);
    EXPECT_EQ(convertCancelledMessage(batch.succeeded, true, Language::English),
              "Conversion cancelled. (3 file(s) converted)\nCleanup the Card Info?");

    // WAV Import: a cancel stops the copy of the current file and the files after it.
    ImportProgress importing;
    importing.cancel = true;
    const ImportBatch imported =
        importWavFiles({src / "w0.wav", src / "w1.wav"}, card.path(), 1, 1000, &importing);
    EXPECT_TRUE(imported.cancelled);
    EXPECT_EQ(imported.succeeded, 0);
    EXPECT_EQ(image(card.path()).size(), 3u);
    const auto one =
        importWavFile(src / "W6.WAV", card / "_WQP0100.WAV", nullptr, &importing.cancel);
    EXPECT_TRUE(one.cancelled);
    EXPECT_EQ(image(card.path()).size(), 3u);
}

TEST(FolderRun, ATargetThatRefusesWritingStopsBeforeAnyFile) {
    TempDir src, t;
    fillSources(src.path());
    writeBytes(t / "plain-file", {1});
    fs::create_directory(t / "locked");
    fs::permissions(t / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    const bool permsBind = ::geteuid() != 0;  // the superuser writes anywhere
    for (const fs::path& target : {t / "missing", t / "plain-file", t / "locked"}) {
        if (target == t / "locked" && !permsBind) continue;
        SCOPED_TRACE(target);
        const ConvertBatch batch =
            encodeFolder(src.path(), target, kpac::Mode::Mode2, 1, 1000, nullptr, {}, {}, 2);
        EXPECT_EQ(batch.succeeded, 0);
        EXPECT_TRUE(batch.items.empty());
        EXPECT_NE(batch.setupError.find("no file was converted"), std::string::npos);
    }
    EXPECT_TRUE(fs::is_empty(t / "locked"));
    fs::permissions(t / "locked", fs::perms::owner_all);
}
