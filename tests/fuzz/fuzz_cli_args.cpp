// Fuzzes the wqe argument parser: NUL-separated arguments through the flag
// and option parser, the number parser and the answer and language choices.
#include <cstdint>
#include <string>
#include <vector>

#include "cli/Cli.h"

using namespace wqe::cli;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> argv(1);
    for (std::size_t k = 0; k < size && argv.size() < 64; ++k) {
        if (data[k] == 0)
            argv.emplace_back();
        else
            argv.back() += static_cast<char>(data[k]);
    }
    try {
        const Args args(argv, {"--yes", "--no", "--cleanup", "--quiet"},
                        {"--folder", "--start", "--mode", "--to", "--lang", "--format"});
        (void)TerminalPrompter::policyFrom(args);
        (void)args.all("--mode");
        for (const std::string& p : args.positional()) {
            try {
                (void)parseInt(p, "N", 1, 1000);
            } catch (const UsageError&) {
            }
        }
        if (const auto start = args.option("--start")) (void)parseInt(*start, "--start", -5, 5);
        (void)languageFrom(args);
        args.expectPositional(1, 3);
    } catch (const UsageError&) {
    } catch (const Failure&) {
    }
    return 0;
}
