// Runs the wqe executable as a subprocess and captures its output.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace wqe::test {

struct CliResult {
    int status = -1;  // exit status
    std::string out;  // stdout
    std::string err;  // stderr
};

// Runs `wqe args...` with `input` on stdin (not a terminal) and extra
// environment assignments ("NAME=value").
inline CliResult runWqe(const std::vector<std::string>& args, const std::string& input = "",
                        const std::vector<std::string>& env = {}) {
    TempDir io;
    writeText(io / "in", input);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(open((io / "in").c_str(), O_RDONLY), 0);
        dup2(open((io / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
        dup2(open((io / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        for (const auto& e : env) putenv(const_cast<char*>(e.c_str()));
        std::vector<char*> argv = {const_cast<char*>(WQE_CLI_PATH)};
        for (const auto& s : args) argv.push_back(const_cast<char*>(s.c_str()));
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    CliResult r;
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = readText(io / "out");
    r.err = readText(io / "err");
    return r;
}

}  // namespace wqe::test
