// Shared pieces of the wqe command-line tool: command registration, argument
// parsing, exit statuses, the terminal prompter and card opening.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "card/CWQEDoc.h"
#include "card/Language.h"
#include "card/Prompter.h"

namespace wqe::cli {

inline constexpr int kExitOk = 0;
inline constexpr int kExitUsage = 1;
inline constexpr int kExitFailure = 2;  // a file or format error

// Thrown for a malformed command line: exit 1 with the command's usage.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};
// Thrown for a file or format error: exit 2 with the message.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Command {
    const char* name;
    const char* summary;  // one line for `wqe --help`
    const char* usage;    // the full help of `wqe NAME --help`
    int (*run)(const std::vector<std::string>& args);
};

// Commands register themselves from their own source file:
//   static const bool registered = registerCommand({...});
bool registerCommand(const Command& command);
const std::map<std::string, Command>& commands();

// A small parser: flags (--quiet), options with a value (--mode X or
// --mode=X) and positional arguments. Unknown options are usage errors.
class Args {
public:
    Args(const std::vector<std::string>& args, std::set<std::string> flags,
         std::set<std::string> options);

    bool flag(const std::string& name) const { return flags_.count(name) != 0; }
    std::optional<std::string> option(const std::string& name) const;
    std::vector<std::string> all(const std::string& name) const;  // repeated options
    const std::vector<std::string>& positional() const { return positional_; }
    // Positional argument count must lie in [min, max].
    void expectPositional(std::size_t min, std::size_t max) const;

private:
    std::set<std::string> flags_;
    std::multimap<std::string, std::string> options_;
    std::vector<std::string> positional_;
};

int parseInt(const std::string& text, const std::string& what, long long min, long long max);

// Language: --lang en|ja, else the environment.
Language languageFrom(const Args& args);

// Answers questions from --yes / --no, else at the terminal when stdin is
// one; refuses (throws Failure) when a question cannot be answered.
// Messages go to stderr.
class TerminalPrompter : public Prompter {
public:
    enum class Policy { Ask, Yes, No };
    explicit TerminalPrompter(Policy policy = Policy::Ask) : policy_(policy) {}
    static Policy policyFrom(const Args& args);  // --yes / --no

    Answer ask(const std::string& text, Buttons buttons, Icon icon) override;
    void message(const std::string& text, Icon icon) override;
    // Prints the file and the reason.
    void report(const std::string& fixed, const Error& error, Icon icon) override;
    const std::vector<std::string>& messages() const { return messages_; }
    // When false, messages are only collected (the caller reports them).
    bool echo = true;

private:
    Policy policy_;
    std::vector<std::string> messages_;
};

// A document and its prompter and settings, opened on CARD (a card folder or
// its system settings file). Throws Failure with the document's message.
struct OpenCard {
    explicit OpenCard(const std::string& cardPath,
                      TerminalPrompter::Policy policy = TerminalPrompter::Policy::No);
    TerminalPrompter prompter;
    MemorySettings settings;
    CWQEDoc doc;
};

// Card texts on the terminal: CP932 bytes shown as UTF-8 with \n, \r, \t
// and \\ escaped (escapeField); and back.
std::string escapeText(const std::string& cp932);
// The one escaper of text output (get, list, pattern): \n, \r, \t and \\,
// so that a value stays on its line and in its column, and a backslash
// written by the user stays distinguishable from an escape. JSON output uses
// JSON's own escaping instead.
std::string escapeField(const std::string& utf8);
// The inverse of escapeField: \n, \r, \t and \\ back to the characters;
// any other backslash stays as it is.
std::string unescapeField(const std::string& escaped);
// Throws Failure when a character has no CP932 form.
std::string unescapeText(const std::string& utf8, const std::string& field);

}  // namespace wqe::cli
