// Streams, RIFF chunk search and WAV files: windows, sticky results, Finish.
#include <gtest/gtest.h>

#include <cstring>

#include "stream/LWaveFile.h"
#include "support/TempDir.h"

using namespace wqe;
using wqe::test::readBytes;
using wqe::test::TempDir;
using wqe::test::writeBytes;

namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& b, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void put16(Bytes& b, std::uint16_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void chunk(Bytes& b, const char* id, const Bytes& data) {
    b.insert(b.end(), id, id + 4);
    put32(b, static_cast<std::uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
}
Bytes fmtBlock(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
               std::size_t size = 16) {
    Bytes f;
    const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
    put16(f, 1);
    put16(f, channels);
    put32(f, rate);
    put32(f, rate * align);
    put16(f, align);
    put16(f, bits);
    f.resize(size, 0);
    return f;
}
Bytes riff(const Bytes& chunks, const char* form = "WAVE") {
    Bytes b = {'R', 'I', 'F', 'F'};
    put32(b, static_cast<std::uint32_t>(chunks.size() + 4));
    b.insert(b.end(), form, form + 4);
    b.insert(b.end(), chunks.begin(), chunks.end());
    return b;
}

}  // namespace

TEST(WaveFile, FmtAfterListChunkOpens) {
    TempDir dir;
    Bytes chunks;
    chunk(chunks, "LIST", Bytes(7, 'x'));  // odd size, no pad byte
    chunk(chunks, "fmt ", fmtBlock(2, 44100, 16));
    chunk(chunks, "data", Bytes(512, 0x11));
    writeBytes(dir / "a.wav", riff(chunks));
    CWaveFile wav;
    ASSERT_TRUE(wav.Open(dir / "a.wav"));
    EXPECT_EQ(wav.Format(), WaveFormat::pcm(2, 44100, 16));
    EXPECT_EQ(wav.DataOffset(), 12u + 15u + 24u + 8u);
    EXPECT_EQ(wav.DataSize(), 512u);
    EXPECT_EQ(wav.GetSize(), 512u);
}

TEST(WaveFile, BrokenFilesGiveTheirReasons) {
    TempDir dir;
    struct Case {
        const char* name;
        Bytes bytes;
        const char* message;
    };
    Bytes shortFmt, noData, noFmt;
    chunk(shortFmt, "fmt ", fmtBlock(1, 8000, 16, 14));
    chunk(shortFmt, "data", Bytes(4));
    chunk(noData, "fmt ", fmtBlock(1, 8000, 16));
    chunk(noFmt, "data", Bytes(4));
    const Case cases[] = {
        {"short-fmt.wav", riff(shortFmt),
         "short-fmt.wav: the \"fmt \" chunk is shorter than 16 bytes"},
        {"no-data.wav", riff(noData), "no-data.wav: no \"data\" chunk"},
        {"no-fmt.wav", riff(noFmt), "no-fmt.wav: not a WAV file (no \"fmt \" chunk)"},
        {"avi.wav", riff(noData, "AVI "),
         "avi.wav: not a WAV file (the RIFF form type is not \"WAVE\")"},
        {"text.wav", Bytes{'h', 'e', 'l', 'l', 'o'},
         "text.wav: not a WAV file (it does not begin with \"RIFF\")"},
        {"empty.wav", Bytes{}, "empty.wav: not a WAV file (it does not begin with \"RIFF\")"},
        {"riff-only.wav", Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0},
         "riff-only.wav: not a WAV file (the RIFF form type is not \"WAVE\")"},
    };
    for (const auto& c : cases) {
        writeBytes(dir / c.name, c.bytes);
        const auto info = probeWaveFile(dir / c.name);
        EXPECT_FALSE(info) << c.name;
        EXPECT_EQ(info.error(), c.message);
    }
    EXPECT_EQ(probeWaveFile(dir / "missing.wav").error(), "missing.wav: cannot be opened");
}

TEST(WaveFile, ReadsAreClippedToTheDataWindow) {
    TempDir dir;
    Bytes chunks;
    chunk(chunks, "fmt ", fmtBlock(1, 8000, 16));
    chunk(chunks, "data", Bytes(512, 0x22));
    chunk(chunks, "junk", Bytes(100, 0x33));
    writeBytes(dir / "a.wav", riff(chunks));
    CWaveFile wav;
    ASSERT_TRUE(wav.Open(dir / "a.wav"));
    std::vector<std::uint8_t> buf(600);
    EXPECT_EQ(wav.Read(buf.data(), 600), 512u);
    EXPECT_TRUE(wav.Succeeded());
    EXPECT_EQ(buf[511], 0x22);
    ASSERT_TRUE(wav.Seek(0));
    EXPECT_FALSE(wav.ReadExact(buf.data(), 600));
    EXPECT_EQ(wav.GetResult(), -1);
    EXPECT_TRUE(wav.Failed());
    EXPECT_FALSE(wav.Seek(513));
    EXPECT_TRUE(wav.Seek(512));
    EXPECT_FALSE(wav.Skip(1));
    EXPECT_TRUE(wav.Skip(-512));
    EXPECT_FALSE(wav.Skip(-1));
    EXPECT_EQ(wav.GetResult(), -1);  // sticky until cleared
    wav.ClearResult();
    EXPECT_TRUE(wav.Succeeded());
}

TEST(WaveFile, CreateWriteFinishPatchesTheRiffSize) {
    TempDir dir;
    {
        CWaveFile wav;
        ASSERT_TRUE(wav.Create(dir / "out.wav"));
        const auto fmt = WaveFormat::pcm(1, 22050, 16);
        const std::uint8_t samples[6] = {1, 2, 3, 4, 5, 6};
        wav.WriteFormat(fmt);
        wav.WriteChunkHeader("data", 6);
        wav.WriteExact(samples, 6);
        EXPECT_TRUE(wav.Succeeded());
        EXPECT_TRUE(wav.Finish());
    }
    const auto bytes = readBytes(dir / "out.wav");
    ASSERT_EQ(bytes.size(), 50u);
    EXPECT_EQ(bytes[4] | bytes[5] << 8 | bytes[6] << 16 | bytes[7] << 24, 42);
    const auto info = probeWaveFile(dir / "out.wav");
    ASSERT_TRUE(info) << info.error();
    EXPECT_EQ(info->format, WaveFormat::pcm(1, 22050, 16));
    EXPECT_EQ(info->frameCount(), 3u);
    EXPECT_EQ(info->dataOffset, 44u);
    EXPECT_EQ(info->fileSize, 50u);
}

TEST(WaveFile, DestructorFinishesAWrittenFile) {
    TempDir dir;
    {
        CWaveFile wav;
        ASSERT_TRUE(wav.Create(dir / "out.wav"));
        wav.WriteFormat(WaveFormat::pcm(2, 48000, 24));
        wav.WriteChunkHeader("data", 0);
    }
    const auto bytes = readBytes(dir / "out.wav");
    ASSERT_EQ(bytes.size(), 44u);
    EXPECT_EQ(bytes[4], 36);
    const auto info = probeWaveFile(dir / "out.wav");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->format.blockAlign, 6);
    EXPECT_EQ(info->format.byteRate, 288000u);
}

TEST(WaveFile, ExtraSizeIsReadOnlyFromAnEighteenByteChunk) {
    TempDir dir;
    Bytes chunks;
    Bytes fmt = fmtBlock(1, 8000, 16, 18);
    fmt[16] = 0;
    chunk(chunks, "fmt ", fmt);
    chunk(chunks, "data", Bytes(2));
    writeBytes(dir / "a.wav", riff(chunks));
    const auto info = probeWaveFile(dir / "a.wav");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->format.extraSize, 0);
    EXPECT_EQ(info->dataOffset, 12u + 26u + 8u);
}

TEST(DataStream, FileLinesAndNullStream) {
    TempDir dir;
    std::string longLine(100, 'a');
    wqe::test::writeText(dir / "t.txt", longLine + "\nshort\nend");
    LDataStreamFile f;
    ASSERT_TRUE(f.Open(dir / "t.txt", LDataStreamFile::OpenMode::Text));
    std::string line;
    EXPECT_EQ(f.ReadLine(line), 101u);
    EXPECT_EQ(line, longLine + "\n");
    EXPECT_EQ(f.ReadLine(line), 6u);
    EXPECT_EQ(f.ReadLine(line), 3u);
    EXPECT_EQ(f.ReadLine(line), 0u);
    EXPECT_EQ(f.GetSize(), 110u);

    LDataStreamNull null;
    std::uint8_t buf[4] = {9, 9, 9, 9};
    EXPECT_EQ(null.Read(buf, 4), 0u);
    EXPECT_EQ(buf[3], 0);
    EXPECT_EQ(null.Write(buf, 4), 0u);
    EXPECT_FALSE(null.WriteExact(buf, 4));
    EXPECT_EQ(null.GetResult(), -1);

    LDataStreamFile closed;
    EXPECT_EQ(closed.Read(buf, 4), 0u);
    EXPECT_FALSE(closed.Seek(0));
    EXPECT_EQ(closed.GetSize(), 0u);
}
