// File Convert and WAV Import: the pinned bytes of every mode, the imported
// copy's header and padding, folder naming, numbering, the deletion of a
// phrase's other data files and the end messages. Folder
// runs on several threads and cancelling: the files written must be those
// of a run on one thread, a cancel must leave nothing half-written, and a
// target folder that refuses writing must stop the run before it starts.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

#include "codec/KpacEncoder.h"
#include "codec/TestSignals.h"
#include "convert/FileConvert.h"
#include "convert/WavImport.h"
#include "maintenance/CardFixture.h"

using namespace wqe;
using namespace wqe::test;
using Names = std::vector<std::string>;

namespace {

Bytes wav32k() { return makeWav(1, 32000, 16, std::vector<std::int32_t>(40, 1234)); }

std::tm at(int year, int month, int day, int hour, int minute, int second) {
    std::tm t{};
    std::tie(t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec) =
        std::tuple(year - 1900, month - 1, day, hour, minute, second);
    return t;
}

using FolderImage = std::map<std::string, Bytes>;

FolderImage image(const fs::path& folder) {
    FolderImage out;
    for (const auto& e : fs::directory_iterator(folder))
        out[e.path().filename().string()] = readBytes(e.path());
    return out;
}

Names names(const fs::path& folder) {
    Names out;
    for (const auto& [name, bytes] : image(folder)) out.push_back(name);
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
std::jthread feedPipe(const fs::path& pipe, Bytes bytes, std::function<bool()> ready,
                      std::function<void()> beforeRest) {
    ::mkfifo(pipe.c_str(), 0600);
    return std::jthread([=] {
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

// FNV-1a, 64 bits, as 16 hex digits.
std::string fnv64(const Bytes& bytes) {
    std::uint64_t h = 0xcbf29ce484222325u;
    for (std::uint8_t b : bytes) h = (h ^ b) * 0x100000001b3u;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

}  // namespace

// Every mode, 16 and 24 bits, mono and stereo: the encoded files and their
// decodings (at the input's sample width) are pinned by checksums in
// tests/data/kpac/expected.txt, so any change of the format shows.
TEST(FileConvert, EncodedAndDecodedBytesArePinned) {
    const fs::path data = fs::path(WQE_TEST_DATA) / "kpac";
    std::ifstream list(data / "expected.txt");
    ASSERT_TRUE(list) << data / "expected.txt";
    const std::pair<const char*, kpac::Mode> modes[] = {{"linear", kpac::Mode::Linear},
                                                        {"mode1", kpac::Mode::Mode1},
                                                        {"mode2", kpac::Mode::Mode2},
                                                        {"mode3", kpac::Mode::Mode3},
                                                        {"h-linear", kpac::Mode::HLinear}};
    TempDir out;
    int pinned = 0;
    std::string line, actual;
    while (std::getline(list, line)) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::string input, modeName, encoded, decoded;
        fields >> input >> modeName >> encoded >> decoded;
        const auto mode = std::find_if(std::begin(modes), std::end(modes),
                                       [&](const auto& m) { return modeName == m.first; });
        ASSERT_NE(mode, std::end(modes)) << line;
        const int width = input.find("-24-") != std::string::npos ? 3 : 2;
        const auto e = encodeOneFile(data / input, out / "out.phr", mode->second);
        ASSERT_TRUE(e.ok) << line << ": " << e.error;
        const auto d = decodeOneFile(out / "out.phr", out / "back.wav", width);
        ASSERT_TRUE(d.ok) << line << ": " << d.error;
        const std::string got = input + " " + modeName + " " + fnv64(readBytes(out / "out.phr")) +
                                " " + fnv64(readBytes(out / "back.wav"));
        EXPECT_EQ(got, line);
        actual += got + "\n";
        ++pinned;
    }
    EXPECT_EQ(pinned, 20) << actual;
}

TEST(FileConvert, FolderEncodeStopsWhenNoNumberIsFree) {
    TempDir src, card;
    for (const char* n : {"1.wav", "2.wav", "3.wav"}) writeBytes(src / n, wav32k());
    writeBytes(card / "_WQP0005.WAV", {1});
    const ConvertBatch batch = encodeFolder(src.path(), card.path(), kpac::Mode::Mode1, 4, 6);
    EXPECT_EQ(batch.succeeded, 2);
    ASSERT_EQ(batch.items.size(), 2u);
    EXPECT_EQ(batch.items[1].target, card / "_WQP0006.PHR");
    EXPECT_EQ(batch.stopReason, "3.wav: no free phrase number from 6 to 6 in " + card.str() +
                                    "; the files from here on were not converted");
}

// The time-stamped name itself is pinned by the folder run's test below.
TEST(FileConvert, FolderDecodeStopsWhenTheTimeStampedNameIsTakenToo) {
    TempDir src, dst;
    writeBytes(src / "x.wav", wav32k());
    const auto encoded = encodeOneFile(src / "x.wav", src / "NAME.PHR", kpac::Mode::Mode2);
    ASSERT_TRUE(encoded.ok) << encoded.error;
    writeBytes(dst / "NAME.WAV", {9});
    writeBytes(dst / "NAME_20240131_235959.WAV", {9});
    const LocalClock clock = [] { return at(2024, 1, 31, 23, 59, 59); };
    const ConvertBatch batch = decodeFolder(src.path(), dst.path(), 3, nullptr, {}, clock);
    EXPECT_TRUE(batch.items.empty());
    EXPECT_NE(batch.stopReason.find("NAME.PHR: NAME.WAV and its time-stamped name are taken"),
              std::string::npos);
}

// Only a phrase data file name makes an encode delete the other data files
// of the same name; a user's own recording beside its output survives.
TEST(FileConvert, EncodingDeletesOnlyACardPhrasesOtherDataFiles) {
    const struct {
        const char* source;
        const char* written;
        Names others;  // written beside the source before the encode
        Names after;
    } cases[] = {
        {"_WQP0001.WAV",
         "_WQP0001.PHR",
         {"_wqp0001.mid", "_WQP0002.WAV"},
         {"_WQP0001.PHR", "_WQP0002.WAV"}},
        {"in.wav", "_wqp0007.phr", {"_WQP0007.WAV"}, {"_wqp0007.phr", "in.wav"}},
        {"in.wav", "_WQP007.PHR", {"_WQP007.WAV"}, {"_WQP007.PHR", "_WQP007.WAV", "in.wav"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        TempDir dir;
        writeBytes(dir / c.source, wav32k());
        for (const auto& other : c.others) writeBytes(dir / other, {1});
        const ConvertItem item = encodeOneFile(dir / c.source, dir / c.written, kpac::Mode::Linear);
        ASSERT_TRUE(item.ok) << item.error;
        EXPECT_EQ(item.header->blockCount, 3u);
        EXPECT_EQ(names(dir.path()), c.after);
    }
    // A failed encode deletes nothing.
    TempDir dir;
    writeBytes(dir / "_WQP0001.WAV", makeWav(1, 11025, 16, {1}));
    EXPECT_FALSE(encodeOneFile(dir / "_WQP0001.WAV", dir / "_WQP0001.PHR", kpac::Mode::Mode2).ok);
    EXPECT_TRUE(fs::exists(dir / "_WQP0001.WAV"));
}

TEST(FileConvert, SetupFailuresAndNamingLimits) {
    TempDir empty, dst;
    EXPECT_EQ(decodeFolder(empty.path(), dst.path(), 2).setupError,
              empty.str() + ": no .PHR files");
    EXPECT_FALSE(
        encodeFolder(empty / "missing", dst.path(), kpac::Mode::Mode1, 1, 1000).setupError.empty());
    fs::path deep = dst.path();
    while (deep.string().size() < 245) deep /= std::string(20, 'd');
    fs::create_directories(deep);
    EXPECT_FALSE(decodeTargetPath(deep, "NAME.PHR", at(2024, 1, 1, 0, 0, 0)));  // 260 or more
    int next = 1;
    EXPECT_FALSE(encodeTargetPath(deep, next, 1000));
}

TEST(FileConvert, EndMessagesAndProgress) {
    EXPECT_EQ(convertEndMessage(1, false, true, Language::English),
              "Conversion succeeded.\nCleanup the Card Info?");
    ConvertProgress p;
    p.file[0].start(200);
    p.file[0].done = 100;
    p.fileCount = 4;
    p.filesDone = 2;
    EXPECT_EQ(p.overallPercent(), 62);  // (0.5 + 2) / 4
    EXPECT_EQ(startNumberFromTargetName("_WQP0012.WAV"), 12);
    EXPECT_EQ(startNumberFromTargetName("_wqp0000.wav"), 1);
    EXPECT_EQ(startNumberFromTargetName("phrase.wav"), 1);
}

// Numbers with gaps, existing data files of every kind, a refused file in
// the middle and a start number: every thread count writes the same files.
TEST(FolderRun, ParallelEncodeAndDecodeWriteWhatOneThreadWrites) {
    TempDir src;
    fillSources(src.path());
    const FolderImage existing = {
        {"_WQP0002.PHR", {1}}, {"_wqp0003.mid", {2}}, {"_WQP0005.WAV", {3}}, {"keep.txt", {4}}};
    // On several threads, the messages still come in file order and the progress ends full.
    auto encodeWith = [&](int jobs, TempDir& card) {
        for (const auto& [name, bytes] : existing) writeBytes(card / name, bytes);
        ConvertProgress progress;
        Names seen;
        const ConvertBatch batch = encodeFolder(
            src.path(), card.path(), kpac::Mode::Mode2, 2, 1000, &progress,
            [&](const ConvertItem& item) { seen.push_back(item.source.filename()); }, {}, jobs);
        EXPECT_EQ(batch.succeeded, 7);
        EXPECT_EQ(batch.items.size(), 8u);
        EXPECT_EQ(seen, (Names{"W6.WAV", "w0.wav", "w1.wav", "w2.wav", "w3.wav", "w3b.wav",
                               "w4.wav", "w5.wav"}));
        EXPECT_EQ(progress.overallPercent(), 100);
        return image(card.path());
    };
    TempDir one, four;
    const FolderImage sequential = encodeWith(1, one);
    EXPECT_EQ(encodeWith(4, four), sequential);
    EXPECT_EQ(names(one.path()),
              (Names{"_WQP0002.PHR", "_WQP0004.PHR", "_WQP0005.WAV", "_WQP0006.PHR", "_WQP0007.PHR",
                     "_WQP0008.PHR", "_WQP0009.PHR", "_WQP0010.PHR", "_WQP0011.PHR", "_wqp0003.mid",
                     "keep.txt"}));
    EXPECT_EQ(sequential.at("_WQP0002.PHR"), (Bytes{1}));  // the start number was taken

    // Decoding back: same names on any thread count, one of them time-stamped.
    auto decodeWith = [&](int jobs, TempDir& dst) {
        writeBytes(dst / "_WQP0004.WAV", {7});
        const LocalClock clock = [] { return at(2025, 1, 1, 12, 0, 0); };
        const ConvertBatch batch =
            decodeFolder(one.path(), dst.path(), 3, nullptr, {}, clock, jobs);
        EXPECT_EQ(batch.succeeded, 7);  // _WQP0002.PHR holds one byte only
        return image(dst.path());
    };
    TempDir d1, d3;
    const FolderImage decoded = decodeWith(1, d1);
    EXPECT_EQ(decodeWith(3, d3), decoded);
    EXPECT_TRUE(decoded.contains("_WQP0004_20250101_120000.WAV"));
    EXPECT_EQ(decoded.at("_WQP0004.WAV"), (Bytes{7}));  // the taken name is left alone
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
        const std::jthread feeder = feedPipe(
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
    fs::create_directory(t / "locked");
    fs::permissions(t / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    const bool permsBind = ::geteuid() != 0;  // the superuser writes anywhere
    for (const fs::path& target : {t / "missing", t / "locked"}) {
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

TEST(WavImport, CopiesWithAFreshHeaderPadsAndRemovesThePhrasesOtherDataFiles) {
    struct Case {
        int channels, rate;
        std::uint32_t frames;
        std::size_t junk;  // an even-sized chunk before the data (moves the source offset)
        std::uint32_t paddedBytes;
    } cases[] = {
        {2, 44100, 1000, 2, 4032},  // 1000 frames -> 1008 frames (63 blocks)
        {1, 8000, 16 * 5, 0, 160},  // whole blocks: no padding
        {2, 22050, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frames);
        TempDir t;
        const auto src = wavFile(c.channels, c.rate, 16, c.frames, c.junk);
        writeBytes(t / "in.wav", src);
        // The phrase's other data files go; another phrase's stay.
        writeText(t / "_WQP0001.PHR", "kpac");
        writeText(t / "_wqp0001.mid", "midi");
        writeText(t / "_WQP0002.PHR", "another phrase");
        std::atomic<int> percent{-1};
        const auto r = importWavFile(t / "in.wav", t / "_WQP0001.WAV", &percent);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(percent.load(), 100);
        const std::size_t dataBytes = c.frames * 2u * c.channels;
        EXPECT_EQ(r.padBytes, c.paddedBytes - dataBytes);
        // A fresh canonical header, the source's samples, zeros up to whole blocks.
        auto expected = wavFile(c.channels, c.rate, 16, c.paddedBytes / 2u / c.channels);
        std::fill(expected.begin() + 44 + static_cast<long>(dataBytes), expected.end(), 0);
        EXPECT_EQ(readBytes(t / "_WQP0001.WAV"), expected);
        EXPECT_EQ(r.removed.size(), 2u);
        EXPECT_EQ(names(t.path()), (Names{"_WQP0001.WAV", "_WQP0002.PHR", "in.wav"}));
    }
}

TEST(WavImport, RefusalsWriteNothingAndKeepTheTarget) {
    auto shortData = wavFile(1, 8000, 16, 100);
    // The data chunk promises more than the file holds.
    shortData.erase(shortData.end() - 10, shortData.end());
    const std::pair<Bytes, const char*> cases[] = {
        {wavFile(3, 48000, 16, 100), "3 channels"},
        {{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}, "not a WAV file"},
        {shortData, "ends after 95 of 100 frames"},
    };
    for (const auto& [file, reason] : cases) {
        SCOPED_TRACE(reason);
        TempDir t;
        writeBytes(t / "in.wav", file);
        writeText(t / "_WQP0002.PHR", "other data file stays");
        writeText(t / "_WQP0003.WAV", "the phrase that was there");
        for (const char* target : {"_WQP0002.WAV", "_WQP0003.WAV"}) {
            const auto r = importWavFile(t / "in.wav", t / target);
            EXPECT_FALSE(r.ok);
            EXPECT_NE(r.error.find(reason), std::string::npos) << r.error;
            EXPECT_NE(r.error.find("in.wav"), std::string::npos) << r.error;
        }
        EXPECT_EQ(readText(t / "_WQP0003.WAV"), "the phrase that was there");
        EXPECT_EQ(names(t.path()).size(), 3u);
    }
}

TEST(WavImport, FolderImportNumbersFromTheFirstFreeSlot) {
    TempDir t;
    fs::create_directories(t / "src");
    fs::create_directories(t / "card");
    writeBytes(t / "src" / "b.WAV", wavFile(1, 8000, 16, 20));
    writeBytes(t / "src" / "a.wav", wavFile(1, 8000, 16, 20));
    writeBytes(t / "src" / "c.wav", wavFile(1, 96000, 16, 20));  // refused
    writeBytes(t / "src" / "d.wav", wavFile(2, 16000, 16, 20));
    fs::create_directories(t / "src" / "e.wav");  // a folder: not listed
    writeText(t / "src" / "notes.txt", "not listed");
    for (const char* n : {"_WQP0001.PHR", "_WQP0002.MID", "_wqp0004.wav"})
        writeText(t / "card" / n, "taken");

    std::string error;
    const auto files = filesInFolder(t / "src", "*.WAV", error);
    EXPECT_TRUE(error.empty());
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(files[0].filename(), "a.wav");  // name order; the targets below follow it

    ImportProgress progress;
    const auto batch = importWavFiles(files, t / "card", 1, 6, &progress);
    EXPECT_EQ(batch.succeeded, 3);
    ASSERT_EQ(batch.items.size(), 4u);
    const char* targets[] = {"_WQP0003.WAV", "_WQP0005.WAV", "_WQP0006.WAV", "_WQP0006.WAV"};
    for (std::size_t k = 0; k < 4; ++k) {
        EXPECT_EQ(batch.items[k].target.filename(), targets[k]);
        EXPECT_EQ(batch.items[k].ok, k != 2);  // c.wav: 96 kHz; its number stays free
    }
    EXPECT_EQ(progress.filesDone.load(), 4);

    // No number left: the file is counted out with a reason.
    const auto full = importWavFiles({files[0]}, t / "card", 1, 6);
    EXPECT_EQ(full.succeeded, 0);
    EXPECT_NE(full.items[0].error.find("no free phrase number"), std::string::npos);
}
