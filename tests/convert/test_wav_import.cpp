#include <gtest/gtest.h>

#include "convert/FileConvert.h"
#include "convert/WavImport.h"
#include "maintenance/CardFixture.h"

namespace wqe {
namespace {

using namespace test;

std::size_t fileCount(const fs::path& dir) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(dir), {}));
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
        const auto src = wavFile(c.channels, c.rate, 16, c.frames, c.junk);
        writeBytes(t / "in.wav", src);
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
    }
}

TEST(WavImport, RefusalsWriteNothingAndKeepTheTarget) {
    auto shortData = wavFile(1, 8000, 16, 100);
    shortData.resize(shortData.size() - 10);  // the data chunk promises more than the file holds
    const std::pair<Bytes, const char*> cases[] = {
        {wavFile(2, 96000, 16, 100), "96000 Hz"},  // no resampler in these tests
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
        EXPECT_EQ(fileCount(t.path()), 3u);
    }
}

// A target that cannot be written whole is told with its cause and leaves nothing.
TEST(WavImport, AFailedWriteNamesTheCauseAndLeavesNothing) {
    TempDir t;
    writeBytes(t / "in.wav", wavFile(2, 44100, 16, 8000));
    const int status = runWithFileSizeLimit(20000, [&] {
        const auto r = importWavFile(t / "in.wav", t / "_WQP0001.WAV");
        return !r.ok && r.error.find("_WQP0001.WAV") != std::string::npos &&
                       r.error.find("File too large") != std::string::npos
                   ? 0
                   : 1;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(fileCount(t.path()), 1u);
}

TEST(WavImport, SuccessRemovesThePhrasesOtherDataFiles) {
    TempDir t;
    writeBytes(t / "in.wav", wavFile(1, 8000, 16, 16));
    writeText(t / "_WQP0004.PHR", "kpac");
    writeText(t / "_wqp0004.mid", "midi");
    writeText(t / "_WQP0005.PHR", "another phrase");
    const auto r = importWavFile(t / "in.wav", t / "_WQP0004.WAV");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.removed.size(), 2u);
    EXPECT_EQ(fileCount(t.path()), 3u);
    EXPECT_TRUE(fs::exists(t / "_WQP0005.PHR"));
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
    EXPECT_EQ(files[0].filename(), "a.wav");
    EXPECT_EQ(files[1].filename(), "b.WAV");
    EXPECT_EQ(nextFreePhraseNumber(t / "card", 4, 4), std::nullopt);

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

TEST(WavImport, NamesProgressAndMessages) {
    EXPECT_EQ(startNumberFromTargetName("_WQP0012.WAV"), 12);
    EXPECT_EQ(startNumberFromTargetName("_wqp0000.wav"), 1);
    EXPECT_EQ(startNumberFromTargetName("phrase.wav"), 1);
    ImportProgress p;
    p.fileCount = 4;
    p.filesDone = 1;
    p.filePercent = 50;
    EXPECT_EQ(p.overallPercent(), 37);
}

}  // namespace
}  // namespace wqe
