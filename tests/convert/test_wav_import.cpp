#include <gtest/gtest.h>

#include "convert/WavImport.h"
#include "maintenance/CardFixture.h"

namespace wqe {
namespace {

using test::readBytes;
using test::readText;
using test::TempDir;
using test::writeBytes;
using test::writeText;

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | std::uint32_t{b[at + 3]} << 24;
}

TEST(WavImport, CopiesWithAFreshHeaderAndPadsToWholeBlocks) {
    struct Case {
        int channels, rate;
        std::uint32_t frames;
        std::size_t junk;  // an even-sized chunk before the data (moves the source offset)
        std::uint32_t paddedBytes;
    } cases[] = {
        {2, 44100, 1000, 0, 4032},  // 1000 frames -> 1008 frames (63 blocks)
        {1, 8000, 16 * 5, 0, 160},  // whole blocks: no padding
        {1, 48000, 1, 2, 32},
        {2, 22050, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frames);
        TempDir t;
        const auto src = test::wavFile(c.channels, c.rate, 16, c.frames, c.junk);
        writeBytes(t / "in.wav", src);
        std::atomic<int> percent{-1};
        const auto r = importWavFile(t / "in.wav", t / "_WQP0001.WAV", &percent);
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_EQ(percent.load(), 100);
        const auto out = readBytes(t / "_WQP0001.WAV");
        ASSERT_EQ(out.size(), 44u + c.paddedBytes);
        // Fresh header: RIFF size, 16-byte fmt, the source's format block, data size.
        EXPECT_EQ(std::string(out.begin(), out.begin() + 4), "RIFF");
        EXPECT_EQ(le32(out, 4), 36u + c.paddedBytes);
        EXPECT_EQ(std::string(out.begin() + 8, out.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(le32(out, 16), 16u);
        const std::size_t fmtAt = 20;
        EXPECT_TRUE(std::equal(out.begin() + fmtAt, out.begin() + fmtAt + 16, src.begin() + 20));
        EXPECT_EQ(std::string(out.begin() + 36, out.begin() + 40), "data");
        EXPECT_EQ(le32(out, 40), c.paddedBytes);
        const std::size_t dataBytes = c.frames * 2u * c.channels;
        EXPECT_TRUE(
            std::equal(out.begin() + 44, out.begin() + 44 + dataBytes, src.end() - dataBytes));
        EXPECT_TRUE(
            std::all_of(out.begin() + 44 + dataBytes, out.end(), [](auto b) { return b == 0; }));
        EXPECT_EQ(r.padBytes, c.paddedBytes - dataBytes);
    }
}

TEST(WavImport, RefusesFormatsAWavPhraseCannotHoldAndWritesNothing) {
    struct Case {
        std::vector<std::uint8_t> file;
        const char* reason;
    } cases[] = {
        {test::wavFile(1, 44100, 24, 100), "24 bits per sample"},
        {test::wavFile(1, 44100, 8, 100), "8 bits per sample"},
        {test::wavFile(2, 96000, 16, 100), "96000 Hz"},
        {test::wavFile(3, 48000, 16, 100), "3 channels"},
        {test::wavFile(1, 16000, 16, 100, 1), "odd offset"},
        {{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'A', 'V', 'I', ' '}, "not a WAV file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reason);
        TempDir t;
        writeBytes(t / "in.wav", c.file);
        writeText(t / "_WQP0002.PHR", "other data file stays");
        const auto r = importWavFile(t / "in.wav", t / "_WQP0002.WAV");
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find(c.reason), std::string::npos) << r.error;
        EXPECT_NE(r.error.find("in.wav"), std::string::npos) << r.error;
        EXPECT_FALSE(fs::exists(t / "_WQP0002.WAV"));
        EXPECT_TRUE(fs::exists(t / "_WQP0002.PHR"));
        EXPECT_EQ(std::distance(fs::directory_iterator(t.path()), fs::directory_iterator()), 2);
    }
}

TEST(WavImport, ShortSampleDataFailsAndKeepsAnExistingTarget) {
    TempDir t;
    auto src = test::wavFile(1, 8000, 16, 100);
    src.resize(src.size() - 10);  // the data chunk promises more than the file holds
    writeBytes(t / "in.wav", src);
    writeText(t / "_WQP0003.WAV", "the phrase that was there");
    const auto r = importWavFile(t / "in.wav", t / "_WQP0003.WAV");
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("ends after"), std::string::npos) << r.error;
    EXPECT_EQ(readText(t / "_WQP0003.WAV"), "the phrase that was there");
    EXPECT_EQ(std::distance(fs::directory_iterator(t.path()), fs::directory_iterator()), 2);
}

TEST(WavImport, SuccessRemovesThePhrasesOtherDataFiles) {
    TempDir t;
    writeBytes(t / "in.wav", test::wavFile(1, 8000, 16, 16));
    writeText(t / "_WQP0004.PHR", "kpac");
    writeText(t / "_wqp0004.mid", "midi");
    writeText(t / "_WQP0005.PHR", "another phrase");
    const auto r = importWavFile(t / "in.wav", t / "_WQP0004.WAV");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.removed.size(), 2u);
    EXPECT_FALSE(fs::exists(t / "_WQP0004.PHR"));
    EXPECT_FALSE(fs::exists(t / "_wqp0004.mid"));
    EXPECT_TRUE(fs::exists(t / "_WQP0005.PHR"));
}

TEST(WavImport, FolderImportNumbersFromTheFirstFreeSlot) {
    TempDir t;
    fs::create_directories(t / "src");
    fs::create_directories(t / "card");
    writeBytes(t / "src" / "b.WAV", test::wavFile(1, 8000, 16, 20));
    writeBytes(t / "src" / "a.wav", test::wavFile(1, 8000, 16, 20));
    writeBytes(t / "src" / "c.wav", test::wavFile(1, 96000, 16, 20));  // refused
    writeBytes(t / "src" / "d.wav", test::wavFile(2, 16000, 16, 20));
    fs::create_directories(t / "src" / "e.wav");  // a folder: not listed
    writeText(t / "src" / "notes.txt", "not listed");
    writeText(t / "card" / "_WQP0001.PHR", "taken");
    writeText(t / "card" / "_WQP0002.MID", "taken");
    writeText(t / "card" / "_wqp0004.wav", "taken");

    std::string error;
    const auto files = wavFilesInFolder(t / "src", error);
    EXPECT_TRUE(error.empty());
    ASSERT_EQ(files.size(), 4u);
    EXPECT_EQ(files[0].filename(), "a.wav");
    EXPECT_EQ(files[1].filename(), "b.WAV");

    EXPECT_EQ(nextFreePhraseNumber(t / "card", 1, 250), 3);
    EXPECT_EQ(nextFreePhraseNumber(t / "card", 4, 4), std::nullopt);

    ImportProgress progress;
    const auto batch = importWavFiles(files, t / "card", 1, 6, &progress);
    EXPECT_EQ(batch.succeeded, 3);
    ASSERT_EQ(batch.items.size(), 4u);
    EXPECT_EQ(batch.items[0].target.filename(), "_WQP0003.WAV");
    EXPECT_EQ(batch.items[1].target.filename(), "_WQP0005.WAV");
    EXPECT_FALSE(batch.items[2].ok);  // c.wav: 96 kHz; its number stays free
    EXPECT_EQ(batch.items[2].target.filename(), "_WQP0006.WAV");
    EXPECT_EQ(batch.items[3].target.filename(), "_WQP0006.WAV");
    EXPECT_TRUE(batch.items[3].ok);
    EXPECT_EQ(progress.filesDone.load(), 4);

    // No number left: the file is counted out with a reason.
    const auto full = importWavFiles({files[0]}, t / "card", 1, 6);
    EXPECT_EQ(full.succeeded, 0);
    EXPECT_NE(full.items[0].error.find("no free phrase number"), std::string::npos);
}

TEST(WavImport, NamesProgressAndMessages) {
    EXPECT_EQ(startNumberFromTargetName("_WQP0012.WAV"), 12);
    EXPECT_EQ(startNumberFromTargetName("_wqp0000.wav"), 1);
    EXPECT_EQ(startNumberFromTargetName("phrase.wav"), 1);
    EXPECT_EQ(paddedDataSize(4000, 4), 4032u);
    EXPECT_EQ(paddedDataSize(64, 4), 64u);

    ImportProgress p;
    p.fileCount = 4;
    p.filesDone = 1;
    p.filePercent = 50;
    EXPECT_EQ(p.overallPercent(), 37);
    p.fileCount = 1;
    EXPECT_EQ(p.overallPercent(), 50);

    EXPECT_EQ(importEndMessage(2, true, false), "Conversion succeeded. (2 file(s))");
    EXPECT_EQ(importEndMessage(1, false, true), "Conversion succeeded.\nCleanup the Card Info?");
    EXPECT_EQ(importEndMessage(0, true, true), "Conversion failed.");
}

}  // namespace
}  // namespace wqe
