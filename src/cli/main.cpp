// wqe: the card editor's command-line tool.
#include <iostream>

#include "audiofile/AudioFile.h"
#include "cli/Cli.h"

using namespace wqe::cli;

namespace {

void printOverview() {
    std::cout << "usage: wqe COMMAND [ARGS...]\n\n"
                 "The WQ-7000 / WQ-5000 card editor's command-line tool. CARD is a card folder\n"
                 "or the path of its system settings file (_WQ7TSYS.CNF or _WQ5TSYS.CNF).\n\n"
                 "Commands:\n";
    for (const auto& [name, cmd] : commands()) {
        std::cout << "  " << name;
        for (std::size_t n = name.size(); n < 10; ++n) std::cout << ' ';
        std::cout << cmd.summary << '\n';
    }
    std::cout << "\n`wqe COMMAND --help` shows a command's usage.\n"
                 "Exit status: 0 success, 1 usage error, 2 file or format error.\n";
}

}  // namespace

int main(int argc, char** argv) {
    wqe::audiofile::install();  // FLAC, Ogg, MP3 and rate conversion for encode and import
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) {
        printOverview();
        return kExitUsage;
    }
    if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        printOverview();
        return kExitOk;
    }
    const auto it = commands().find(args[0]);
    if (it == commands().end()) {
        std::cerr << "wqe: unknown command '" << args[0] << "' (see wqe --help)\n";
        return kExitUsage;
    }
    const Command& cmd = it->second;
    args.erase(args.begin());
    for (const auto& a : args) {
        if (a == "--help" || a == "-h") {
            std::cout << cmd.usage;
            return kExitOk;
        }
    }
    try {
        return cmd.run(args);
    } catch (const UsageError& e) {
        std::cerr << "wqe " << cmd.name << ": " << e.what() << "\n" << cmd.usage;
        return kExitUsage;
    } catch (const Failure& e) {
        std::cerr << "wqe " << cmd.name << ": " << e.what() << '\n';
        return kExitFailure;
    } catch (const std::exception& e) {
        std::cerr << "wqe " << cmd.name << ": " << e.what() << '\n';
        return kExitFailure;
    }
}
