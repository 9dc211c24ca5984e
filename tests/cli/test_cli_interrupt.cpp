// Ctrl+C during wqe encode / decode: the conversion stops, the file being
// written does not appear (nor any temporary file), and the exit status is
// 130. The input comes through a named pipe whose second half is sent only
// after the signal, so the signal always meets a conversion under way.
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

namespace {

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
