// Streams, RIFF chunk search and WAV files: windows, sticky results, Finish.
#include <gtest/gtest.h>

#include "codec/TestSignals.h"
#include "stream/LWaveFile.h"
#include "support/TempDir.h"

using namespace wqe;
using namespace wqe::test;

namespace {

// A 16-bit PCM format block of `size` bytes (16, or more with zeros after).
Bytes fmtBlock(int channels, std::uint32_t rate, std::size_t size = 16) {
    Bytes f = makeWav(channels, rate, 16, {});
    f = Bytes(f.begin() + 20, f.begin() + 36);
    f.resize(size, 0);
    return f;
}

// A RIFF file of the given chunks, each an id and its data.
Bytes riff(std::initializer_list<std::pair<const char*, Bytes>> chunks, const char* form = "WAVE") {
    Bytes body(form, form + 4);
    for (const auto& [id, data] : chunks) putChunk(body, id, data);
    Bytes b;
    putChunk(b, "RIFF", body);
    return b;
}

}  // namespace

TEST(WaveFile, FindsTheChunksWhereverTheyLie) {
    TempDir dir;
    writeBytes(dir / "a.wav",  // LIST of odd size, no pad byte
               riff({{"LIST", Bytes(7, 'x')}, {"fmt ", fmtBlock(2, 44100)}, {"data", Bytes(512)}}));
    CWaveFile wav;
    ASSERT_TRUE(wav.Open(dir / "a.wav"));
    EXPECT_EQ(wav.Format(), WaveFormat::pcm(2, 44100, 16));
    EXPECT_EQ(wav.DataOffset(), 12u + 15u + 24u + 8u);
    EXPECT_EQ(wav.GetSize(), 512u);
    // The extra size is read only from an 18-byte format chunk.
    writeBytes(dir / "b.wav", riff({{"fmt ", fmtBlock(1, 8000, 18)}, {"data", Bytes(2)}}));
    const auto info = probeWaveFile(dir / "b.wav");
    ASSERT_TRUE(info) << info.error().message();
    EXPECT_EQ(info->format.extraSize, 0);
    EXPECT_EQ(info->dataOffset, 12u + 26u + 8u);
}

TEST(WaveFile, BrokenFilesGiveTheirReasons) {
    TempDir dir;
    const std::pair<Bytes, const char*> cases[] = {
        {riff({{"fmt ", fmtBlock(1, 8000, 14)}, {"data", Bytes(4)}}),
         "the \"fmt \" chunk is shorter than 16 bytes"},
        {riff({{"fmt ", fmtBlock(1, 8000)}}), "no \"data\" chunk"},
        {riff({{"data", Bytes(4)}}), "not a WAV file (no \"fmt \" chunk)"},
        {Bytes{'R', 'I', 'F', 'F', 4, 0, 0, 0},
         "not a WAV file (the RIFF form type is not \"WAVE\")"},
    };
    for (const auto& [bytes, message] : cases) {
        writeBytes(dir / "x.wav", bytes);
        const auto r = probeWaveFile(dir / "x.wav");
        ASSERT_FALSE(r);
        EXPECT_EQ(r.error().message(), (dir / "x.wav").string() + ": " + message);
        EXPECT_EQ(r.error().kind, ErrorKind::BadFormat);
    }
    EXPECT_EQ(probeWaveFile(dir / "missing.wav").error().kind, ErrorKind::NotFound);
}

// The one header reader gives the same answer on memory as through a file.
// (The one header writer is pinned by the decoded files of tests/data/kpac.)
TEST(WaveFile, OneReaderOnMemoryAndFiles) {
    TempDir dir;
    const Bytes inputs[] = {
        riff({{"LIST", Bytes(7, 'x')}, {"fmt ", fmtBlock(2, 44100, 18)}, {"data", Bytes(12)}}),
        riff({{"fmt ", Bytes(20, 0)}}),  // the chunk runs past the end
        Bytes{'R', 'I', 'F', 'F'},
    };
    for (const Bytes& bytes : inputs) {
        writeBytes(dir / "x.wav", bytes);
        SpanInput in(bytes);
        const auto fromMemory = readWaveHeader(in);
        const auto fromFile = probeWaveFile(dir / "x.wav");
        ASSERT_EQ(bool(fromMemory), bool(fromFile));
        if (fromMemory) {
            EXPECT_EQ(fromMemory->format, fromFile->format);
            EXPECT_EQ(fromMemory->dataOffset, fromFile->dataOffset);
            EXPECT_EQ(fromMemory->dataSize, fromFile->dataSize);
        }
    }
}

TEST(WaveFile, ReadsAreClippedToTheDataWindow) {
    TempDir dir;
    writeBytes(dir / "a.wav", riff({{"fmt ", fmtBlock(1, 8000)},
                                    {"data", Bytes(512, 0x22)},
                                    {"junk", Bytes(100, 0x33)}}));
    CWaveFile wav;
    ASSERT_TRUE(wav.Open(dir / "a.wav"));
    Bytes buf(600);
    EXPECT_EQ(wav.Read(buf.data(), 600), 512u);
    EXPECT_TRUE(wav.Succeeded());
    EXPECT_EQ(buf[511], 0x22);
    ASSERT_TRUE(wav.Seek(0));
    EXPECT_FALSE(wav.ReadExact(buf.data(), 600));
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

TEST(WaveFile, FinishOrTheDestructorPatchesTheRiffSize) {
    TempDir dir;
    for (bool finish : {true, false}) {
        {
            CWaveFile wav;
            ASSERT_TRUE(wav.Create(dir / "out.wav"));
            const std::uint8_t samples[6] = {1, 2, 3, 4, 5, 6};
            wav.WriteFormat(WaveFormat::pcm(2, 48000, 24));
            wav.WriteChunkHeader("data", 6);
            wav.WriteExact(samples, 6);
            EXPECT_TRUE(wav.Succeeded());
            if (finish) {
                EXPECT_TRUE(wav.Finish());
            }
        }
        const auto bytes = readBytes(dir / "out.wav");
        ASSERT_EQ(bytes.size(), 50u);
        EXPECT_EQ(Bytes(bytes.begin() + 4, bytes.begin() + 8), (Bytes{42, 0, 0, 0}));
    }
}

TEST(DataStream, FileLines) {
    TempDir dir;
    const std::string longLine(100, 'a');
    writeText(dir / "t.txt", longLine + "\nshort\nend");
    LDataStreamFile f;
    ASSERT_TRUE(f.Open(dir / "t.txt", LDataStreamFile::OpenMode::Text));
    std::string line;
    EXPECT_EQ(f.ReadLine(line), 101u);
    EXPECT_EQ(line, longLine + "\n");
    EXPECT_EQ(f.ReadLine(line), 6u);
    EXPECT_EQ(f.ReadLine(line), 3u);
    EXPECT_EQ(f.ReadLine(line), 0u);

    EXPECT_FALSE(LDataStreamFile().Seek(0));  // a closed file
}
