// wqe encode / decode and backup / restore / copy / delete / import /
// cleanup as a user runs them: exit statuses, the key message of each, what
// reaches the disk, and Ctrl+C during a conversion; and the broken-input
// corpus (tests/data/broken) through every command.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "codec/ByteIo.h"
#include "codec/KpacEncoder.h"
#include "codec/TestSignals.h"
#include "maintenance/CardFixture.h"
#include "support/CliRunner.h"

namespace wqe {
namespace {

namespace fs = std::filesystem;
using namespace wqe::test;

// Runs wqe; checks its exit status and a part of its stdout or stderr.
void expectRun(const std::vector<std::string>& args, int status, const std::string& part) {
    const auto r = runWqe(args);
    EXPECT_EQ(r.status, status) << args[0] << ": " << r.err;
    EXPECT_NE((r.out + r.err).find(part), std::string::npos) << r.out << r.err;
}

Bytes stereoWav() {
    std::vector<std::int32_t> s;
    for (int f = 0; f < 3200; ++f) {
        s.push_back((f * 37) % 2000 - 1000);
        s.push_back(f % 50 < 25 ? 8000 : -8000);
    }
    return makeWav(2, 32000, 16, s);
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

// Broken file contents are the corpus's (BrokenInputs below); here the
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
    // (command, input, output file)
    const std::tuple<std::string, Bytes, const char*> cases[] = {
        {"encode", wav, "_WQP0001.PHR"},
        {"decode", phrase.bytes(), "OUT.WAV"},
    };
    for (const auto& [command, input, output] : cases) {
        SCOPED_TRACE(command);
        TempDir src, dst;
        std::vector<std::string> args = {command, "--quiet"};
        if (command == "encode") args.insert(args.end(), {"--mode", "mode2"});
        args.insert(args.end(), {(src / "source").string(), (dst / output).string()});
        const CliResult r = interruptedRun(args, src / "source", input);
        EXPECT_EQ(r.status, 130) << r.err;
        EXPECT_NE(r.err.find("Conversion cancelled. (0 file(s) converted)"), std::string::npos)
            << r.err;
        EXPECT_TRUE(fs::is_empty(dst.path()));
    }
}

TEST(CliMaintenance, BackupAndRestore) {
    TempDir t;
    const std::string card = (t / "card").string(), old = (t / "old").string();
    ASSERT_EQ(runWqe({"new", card}).status, 0);
    fs::create_directories(t / "old");
    writeText(t / "old" / "_WQP0009.PHR", "stale");

    // A question without --yes and without a terminal: refused before anything is deleted.
    expectRun({"backup", card, old}, 2, "no terminal");
    expectRun({"backup", card + "/_WQ7TSYS.CNF", old, "--no"}, 0, "Nothing was deleted or copied.");
    EXPECT_TRUE(fs::exists(t / "old" / "_WQP0009.PHR"));
    expectRun({"backup", card, old, "--yes"}, 0, "Deleted 1 device file(s)");

    writeText(t / "card" / "_WQP0002.PHR", "added after the backup");
    expectRun({"restore", old, card, "--yes"}, 0, "All card phrases will be erased");
}

TEST(CliMaintenance, CopyDeleteAndImport) {
    TempDir t;
    const std::string card = (t / "card").string(), src = (t / "src").string();
    ASSERT_EQ(runWqe({"new", card, "--phrases", "250"}).status, 0);
    fs::create_directories(src);
    writeBytes(t / "src" / "a.PHR", kpacFile(3, 3, 0, 8));
    writeBytes(t / "src" / "b.wav", wavFile(1, 8000, 16, 100));
    writeBytes(t / "src" / "c.wav", wavFile(1, 8000, 24, 100));

    expectRun({"copy", src + "/a.PHR", card, "--to", "3"}, 0, "Copy succeeded.");
    // No slot given is a usage error; the record a copy registers, which slots
    // it refuses, and that a failed copy registers nothing, the maintenance
    // tests pin.
    expectRun({"copy", src + "/a.PHR", card}, 1, "");
    fs::create_directories(t / "card" / "_WQP0005.PHR" / "x");
    expectRun({"copy", src + "/a.PHR", card, "--to", "5"}, 2, "Copy failed.");

    expectRun({"delete", card, "3", "--yes"}, 0, "OK to erase phrase0003?");
    expectRun({"delete", card, "3", "--yes"}, 2, "");

    // Import: both files (the 24-bit one made 16-bit), then the cleanup.
    fs::remove_all(t / "card" / "_WQP0005.PHR");
    expectRun({"import", card, "--folder", src, "--start", "2", "--cleanup", "--yes"}, 0,
              "c.wav -> _WQP0003.WAV (24-bit → 16-bit)");
    expectRun({"import", card, src + "/b.wav", "--no"}, 0, "wqe cleanup");
}

TEST(CliMaintenance, CleanupAnswersAndRefusals) {
    TempDir t;
    const std::string card = (t / "card").string();
    ASSERT_EQ(runWqe({"new", card}).status, 0);
    writeBytes(t / "card" / "_WQP0001.PHR", kpacFile(2, 1, 0, 12));
    writeBytes(t / "card" / "_WQP0001.MID", midiFile(500000));

    expectRun({"cleanup", card}, 2, "no terminal");
    EXPECT_EQ(runWqe({"get", card, "phrase.1.type"}).out, "phrase.1.type=0\n");
    expectRun({"cleanup", card, "--no"}, 0,
              "phrase 1: registered from its data file; kept _WQP0001.MID");
    EXPECT_TRUE(fs::exists(t / "card" / "_WQP0001.MID"));
    expectRun({"cleanup", card, "--yes"}, 0, "phrase 1: unchanged; deleted _WQP0001.MID");

    // The cleanup's own messages when the card is named by its system file
    // (the folder's case is in the broken-input corpus).
    fs::copy_file(t / "card" / "_WQ7TSYS.CNF", t / "card" / "_WQ5TSYS.CNF");
    const auto r = runWqe({"cleanup", card + "/_WQ7TSYS.CNF", "--yes"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.starts_with(
        "Double registration of the system file has occurred.\nProcessing halted.\n"))
        << r.err;
}

// The broken-input corpus: each case must fail with its status and message
// and leave every byte of its folder as it was.
const fs::path kCorpus = fs::path(WQE_TEST_DATA) / "broken";

struct BrokenCase {
    std::string name, setup, arguments, message;
    int status = 0;
};

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        if (!part.empty()) parts.push_back(part);
    return parts;
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

std::vector<BrokenCase> readCases() {
    std::vector<BrokenCase> cases;
    std::ifstream in(kCorpus / "cases.tsv");
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> f = split(line, '\t');
        if (f.size() != 5) throw std::runtime_error("cases.tsv: bad line: " + line);
        cases.push_back({f[0], f[1], f[2], replaceAll(f[4], "\\n", "\n"), std::stoi(f[3])});
    }
    return cases;
}

// The case's work folder: a fresh card when the setup asks for one, then the
// case's own files copied over it.
void prepare(const BrokenCase& c, const fs::path& work) {
    const std::vector<std::string> setup = split(c.setup, ' ');
    if (setup.at(0) != "none") {
        std::vector<std::string> args = {"new", (work / "card").string()};
        if (setup[0] == "card5") args.insert(args.end(), {"--model", "5000"});
        ASSERT_EQ(runWqe(args).status, 0);
        for (std::size_t k = 1; k < setup.size(); ++k)
            fs::remove(work / "card" / setup[k].substr(1));
    }
    const fs::path from = kCorpus / c.name;
    for (const auto& e : fs::recursive_directory_iterator(from)) {
        if (!e.is_regular_file() || e.path().filename() == ".keep") continue;
        const fs::path to = work / e.path().lexically_relative(from);
        fs::create_directories(to.parent_path());
        fs::copy_file(e.path(), to, fs::copy_options::overwrite_existing);
    }
}

TEST(BrokenInputs, EachFailsWithItsMessageAndWritesNothing) {
    const std::vector<BrokenCase> cases = readCases();
    EXPECT_GE(cases.size(), 50u);
    for (const BrokenCase& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(fs::is_directory(kCorpus / c.name));
        TempDir t;
        prepare(c, t.path());
        std::vector<std::string> args;
        for (const std::string& a : split(c.arguments, ' '))
            args.push_back(
                replaceAll(replaceAll(a, "{card}", (t / "card").string()), "{dir}", t.str()));
        const auto before = snapshot(t.path());
        const CliResult r = runWqe(args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(replaceAll(c.message, "{dir}", t.str())), std::string::npos) << r.err;
        EXPECT_EQ(snapshot(t.path()), before);
    }
}

}  // namespace
}  // namespace wqe
