// wqe encode / decode as a user runs them: files, folders, messages and
// exit statuses.
#include <gtest/gtest.h>

#include "codec/TestSignals.h"
#include "support/CliRunner.h"

using namespace wqe::test;
namespace fs = std::filesystem;

namespace {

Bytes stereoWav() {
    std::vector<std::int32_t> s;
    for (int f = 0; f < 3200; ++f) {
        s.push_back((f * 37) % 2000 - 1000);
        s.push_back(f % 50 < 25 ? 8000 : -8000);
    }
    return makeWav(2, 32000, 16, s);
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST(CliCodec, EncodeAndDecodeOneFile) {
    TempDir dir;
    writeBytes(dir / "in.wav", stereoWav());
    auto r = runWqe(
        {"encode", "--mode", "mode2", (dir / "in.wav").string(), (dir / "out.phr").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");  // stderr is no terminal: no progress bar
    EXPECT_TRUE(contains(r.out, "out.phr: MODE2, STANDARD(32kHz), stereo, 200 blocks (0.100 s)"))
        << r.out;
    EXPECT_TRUE(contains(r.out, "Conversion succeeded.\n"));
    EXPECT_TRUE(fs::exists(dir / "in.wav"));

    r = runWqe({"decode", "--bits", "24", "--quiet", (dir / "out.phr").string(),
                (dir / "back.wav").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(fs::file_size(dir / "back.wav"), 44u + 3200u * 6u);

    r = runWqe({"encode", "--mode", "4", (dir / "in.wav").string(), (dir / "hl.phr").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(fs::file_size(dir / "hl.phr"), 16u + 200u * 96u);
    r = runWqe({"decode", "--lang", "ja", (dir / "hl.phr").string(), (dir / "hl.wav").string()});
    EXPECT_TRUE(contains(r.out, "コンバートに成功しました。")) << r.out;
}

TEST(CliCodec, EncodingXWavToXPhrDeletesXWav) {
    TempDir dir;
    writeBytes(dir / "X.WAV", stereoWav());
    const auto r =
        runWqe({"encode", "--mode", "linear", (dir / "X.WAV").string(), (dir / "X.PHR").string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "deleted " + (dir / "X.WAV").string()));
    EXPECT_FALSE(fs::exists(dir / "X.WAV"));
}

TEST(CliCodec, BadFilesSayWhatIsWrongAndWriteNothing) {
    TempDir dir;
    writeBytes(dir / "96k.wav", makeWav(1, 96000, 16, {1, 2}));
    writeBytes(dir / "8bit.wav", makeWav(1, 8000, 8, {1, 2}));
    writeBytes(dir / "text.phr", {'h', 'e', 'l', 'l', 'o'});
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const Case cases[] = {
        {{"encode", "--mode", "mode1", (dir / "96k.wav").string(), (dir / "o.phr").string()},
         "wqe encode: " + (dir / "96k.wav").string() +
             ": sample rate 96000 Hz is not one of 8000, 16000, 22050, 32000, 44100, 48000\n"},
        {{"encode", "--mode", "mode1", (dir / "8bit.wav").string(), (dir / "o.phr").string()},
         "8-bit WAV files are not supported"},
        {{"decode", (dir / "text.phr").string(), (dir / "o.wav").string()},
         (dir / "text.phr").string() + ": not a KPAC file (5 bytes; the header alone has 16)"},
        {{"decode", (dir / "none.phr").string(), (dir / "o.wav").string()}, "cannot be opened"},
        {{"decode", dir.str(), (dir / "o.wav").string()}, "a folder (use --folder)"},
    };
    for (const Case& c : cases) {
        const auto r = runWqe(c.args);
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_TRUE(contains(r.err, c.message)) << r.err;
        if (c.args[1] != dir.str()) {
            EXPECT_TRUE(contains(r.err, "Conversion failed.\n")) << r.err;
        }
    }
    EXPECT_FALSE(fs::exists(dir / "o.phr"));
    EXPECT_FALSE(fs::exists(dir / "o.wav"));
}

TEST(CliCodec, UsageErrors) {
    const std::vector<std::vector<std::string>> cases = {
        {"encode", "a.wav", "b.phr"},
        {"encode", "--mode", "mode9", "a.wav", "b.phr"},
        {"encode", "--mode", "-1", "a.wav", "b.phr"},
        {"encode", "--mode", "mode1", "a.wav"},
        {"encode", "--mode", "mode1", "--start", "3", "a.wav", "b.phr"},
        {"decode", "--bits", "20", "a.phr", "b.wav"},
        {"decode", "--mode", "mode1", "a.phr", "b.wav"},
        {"decode", "a.phr", "b.wav", "c.wav"},
    };
    for (const auto& args : cases) {
        const auto r = runWqe(args);
        EXPECT_EQ(r.status, 1) << args[1] << " " << args[2] << ": " << r.err;
        EXPECT_TRUE(contains(r.err, "usage: wqe " + args[0])) << r.err;
    }
}

TEST(CliCodec, FolderModes) {
    TempDir src, card, wavs;
    writeBytes(src / "a.wav", stereoWav());
    writeBytes(src / "b.wav", makeWav(1, 11025, 16, {1}));
    writeBytes(src / "c.wav", stereoWav());
    writeBytes(card / "_WQP0010.PHR", {1});
    auto r =
        runWqe({"encode", "--folder", "--mode", "mode3", "--start", "10", src.str(), card.str()});
    EXPECT_EQ(r.status, 2);  // one file failed
    EXPECT_TRUE(contains(r.out, "Conversion succeeded. (2 file(s))")) << r.out;
    EXPECT_TRUE(contains(r.err, "b.wav: sample rate 11025 Hz")) << r.err;
    EXPECT_TRUE(fs::exists(card / "_WQP0011.PHR"));
    EXPECT_TRUE(fs::exists(card / "_WQP0012.PHR"));

    fs::remove(src / "b.wav");
    r = runWqe({"encode", "--folder", "--mode", "mode1", "--start", "12", "--max", "13", src.str(),
                card.str()});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(contains(r.err, "c.wav: no free phrase number from 13 to 13")) << r.err;
    EXPECT_TRUE(contains(r.out, "Conversion succeeded. (1 file(s))")) << r.out;

    fs::remove(card / "_WQP0010.PHR");
    r = runWqe({"decode", "--folder", "--bits", "24", card.str(), wavs.str()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "Conversion succeeded. (3 file(s))")) << r.out;
    EXPECT_EQ(fs::file_size(wavs / "_WQP0011.WAV"), 44u + 3200u * 6u);

    r = runWqe({"decode", "--folder", wavs.str(), card.str()});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(contains(r.err, "no .PHR files")) << r.err;
    EXPECT_TRUE(contains(r.err, "Conversion failed.")) << r.err;
    r = runWqe({"decode", "--folder", (src / "a.wav").string(), card.str()});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(contains(r.err, "a.wav: not a folder")) << r.err;
}
