// wqe encode / decode as a user runs them: files, folders, messages and
// exit statuses, and Ctrl+C during a conversion.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cmath>

#include "codec/ByteIo.h"
#include "codec/KpacEncoder.h"
#include "codec/TestSignals.h"
#include "support/CliRunner.h"

using namespace wqe;
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

// Runs wqe; checks its exit status and a part of its stdout or stderr.
void expectRun(const std::vector<std::string>& args, int status, const std::string& part) {
    const auto r = runWqe(args);
    EXPECT_EQ(r.status, status) << args[0] << ": " << r.err;
    EXPECT_NE((r.out + r.err).find(part), std::string::npos) << r.out << r.err;
}

Bytes longWav() {
    std::vector<std::int32_t> s(2 * 48000 * 6);
    for (std::size_t k = 0; k < s.size(); ++k)
        s[k] = static_cast<std::int32_t>(9000 * std::sin(0.003 * static_cast<double>(k)));
    return makeWav(2, 48000, 16, s);
}

// Runs wqe with `args`, feeding `input` to the pipe `fifo`; sends SIGINT
// once the first half has gone in. Returns the exit status and stderr.
CliResult interruptedRun(const std::vector<std::string>& args, const fs::path& fifo,
                         const Bytes& input) {
    TempDir io;
    ::mkfifo(fifo.c_str(), 0600);
    const pid_t pid = fork();
    if (pid == 0) {
        const int err = open((io / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(err, 2);
        std::vector<std::string> strings = {WQE_CLI_PATH};
        strings.insert(strings.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& s : strings) argv.push_back(s.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    signal(SIGPIPE, SIG_IGN);  // wqe may stop reading before the end
    const int out = open(fifo.c_str(), O_WRONLY);
    const std::size_t half = input.size() / 2;
    EXPECT_EQ(write(out, input.data(), half), static_cast<ssize_t>(half));
    kill(pid, SIGINT);
    (void)!write(out, input.data() + half, input.size() - half);
    close(out);
    int status = 0;
    waitpid(pid, &status, 0);
    CliResult r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.err = readText(io / "err");
    return r;
}

}  // namespace

TEST(CliCodec, EncodeAndDecodeOneFile) {
    TempDir dir;
    const std::string in = (dir / "in.wav").string(), out = (dir / "out.phr").string();
    writeBytes(in, stereoWav());
    const auto r = runWqe({"encode", "--mode", "mode2", in, out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");  // stderr is no terminal: no progress bar
    EXPECT_NE(r.out.find("out.phr: MODE2, STANDARD(32kHz), stereo, 200 blocks (0.100 s)\n"
                         "Conversion succeeded.\n"),
              std::string::npos)
        << r.out;
    expectRun({"decode", "--bits", "24", "--quiet", out, (dir / "back.wav").string()}, 0, "");
    EXPECT_EQ(fs::file_size(dir / "back.wav"), 44u + 3200u * 6u);
    // Which data files an encode deletes is the converter's rule; here the
    // line that names the deleted file.
    writeBytes(dir / "_WQP0001.WAV", stereoWav());
    expectRun({"encode", "--mode", "linear", (dir / "_WQP0001.WAV").string(),
               (dir / "_WQP0001.PHR").string()},
              0, "deleted " + (dir / "_WQP0001.WAV").string());
}

// Broken file contents are the corpus's (test_cli_maintenance.cpp); here the
// failure's closing line, the paths that are no file, and usage errors.
TEST(CliCodec, BadFilesSayWhatIsWrongAndWriteNothing) {
    TempDir dir;
    writeBytes(dir / "96k.wav", makeWav(3, 96000, 16, {1, 2, 3}));
    const std::string o = (dir / "o.phr").string(), w = (dir / "o.wav").string();
    expectRun({"encode", "--mode", "mode1", (dir / "96k.wav").string(), o}, 2,
              "wqe encode: " + (dir / "96k.wav").string() +
                  ": 3 channels; only mono and stereo are encoded unless a mix-down to mono or "
                  "stereo is asked for\n"
                  "Conversion failed.\n");
    expectRun({"decode", (dir / "none.phr").string(), w}, 2, "cannot be opened");
    expectRun({"decode", dir.str(), w}, 2, "a folder (use --folder)");
    EXPECT_FALSE(fs::exists(o));
    EXPECT_FALSE(fs::exists(w));
    // Usage errors.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"encode", "a.wav", "b.phr"},
          {"encode", "--mode", "mode9", "a.wav", "b.phr"},
          {"decode", "--bits", "20", "a.phr", "b.wav"}})
        expectRun(args, 1, "usage: wqe " + args[0]);
}

TEST(CliCodec, FolderModes) {
    TempDir src, card, wavs;
    writeBytes(src / "a.wav", stereoWav());
    writeBytes(src / "b.wav", makeWav(3, 11025, 16, {1, 2, 3}));
    writeBytes(src / "c.wav", stereoWav());
    writeBytes(card / "_WQP0010.PHR", {1});
    const auto r =
        runWqe({"encode", "--folder", "--mode", "mode3", "--start", "10", src.str(), card.str()});
    EXPECT_EQ(r.status, 2);  // one file failed
    EXPECT_NE(r.out.find("Conversion succeeded. (2 file(s))"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("b.wav: 3 channels"), std::string::npos) << r.err;

    fs::remove(card / "_WQP0010.PHR");
    expectRun({"decode", "--folder", card.str(), wavs.str()}, 0,
              "Conversion succeeded. (2 file(s))");
    expectRun({"decode", "--folder", (src / "a.wav").string(), card.str()}, 2,
              "a.wav: not a folder");
}

// Ctrl+C during wqe encode / decode: the conversion stops, the file being
// written does not appear (nor any temporary file), and the exit status is
// 130. The input comes through a named pipe whose second half is sent only
// after the signal, so the signal always meets a conversion under way.
TEST(CliInterrupt, CtrlCLeavesNoPartialFileAndExits130) {
    const Bytes wav = longWav();
    kpac::SpanSource in(wav);
    kpac::VectorSink phrase;
    ASSERT_TRUE(kpac::encode(in, phrase, 2));
    const struct {
        const char* command;
        Bytes input;
        const char* output;
    } cases[] = {
        {"encode", wav, "_WQP0001.PHR"},
        {"decode", phrase.bytes(), "OUT.WAV"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command);
        TempDir src, dst;
        std::vector<std::string> args = {c.command, "--quiet"};
        if (std::string(c.command) == "encode") args.insert(args.end(), {"--mode", "mode2"});
        args.insert(args.end(), {(src / "source").string(), (dst / c.output).string()});
        const CliResult r = interruptedRun(args, src / "source", c.input);
        EXPECT_EQ(r.status, 130) << r.err;
        EXPECT_NE(r.err.find("Conversion cancelled. (0 file(s) converted)"), std::string::npos)
            << r.err;
        EXPECT_TRUE(fs::is_empty(dst.path()));
    }
}
