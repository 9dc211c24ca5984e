#include "cli/Cli.h"

#include <unistd.h>

#include <cctype>
#include <charconv>
#include <iostream>

#include "card/TextCodec.h"

namespace wqe::cli {

namespace {

std::map<std::string, Command>& registry() {
    static std::map<std::string, Command> r;
    return r;
}

}  // namespace

bool registerCommand(const Command& command) {
    registry()[command.name] = command;
    return true;
}

const std::map<std::string, Command>& commands() { return registry(); }

Args::Args(const std::vector<std::string>& args, std::set<std::string> flags,
           std::set<std::string> options) {
    bool onlyPositional = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (onlyPositional || a.size() < 2 || a[0] != '-' ||
            (a[1] != '-' && a.size() > 1 && std::isdigit(static_cast<unsigned char>(a[1])))) {
            positional_.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyPositional = true;
            continue;
        }
        std::string name = a, value;
        bool hasValue = false;
        if (const auto eq = a.find('='); eq != std::string::npos && a.starts_with("--")) {
            name = a.substr(0, eq);
            value = a.substr(eq + 1);
            hasValue = true;
        }
        if (flags.count(name) && !hasValue) {
            flags_.insert(name);
        } else if (options.count(name)) {
            if (!hasValue) {
                if (i + 1 >= args.size()) throw UsageError(name + " needs a value");
                value = args[++i];
            }
            options_.emplace(name, value);
        } else {
            throw UsageError("unknown option " + a);
        }
    }
}

std::optional<std::string> Args::option(const std::string& name) const {
    auto range = options_.equal_range(name);
    if (range.first == range.second) return std::nullopt;
    return std::prev(range.second)->second;
}

std::vector<std::string> Args::all(const std::string& name) const {
    std::vector<std::string> values;
    for (auto [it, end] = options_.equal_range(name); it != end; ++it) values.push_back(it->second);
    return values;
}

void Args::expectPositional(std::size_t min, std::size_t max) const {
    if (positional_.size() < min) throw UsageError("missing arguments");
    if (positional_.size() > max) throw UsageError("too many arguments");
}

int parseInt(const std::string& text, const std::string& what, long long min, long long max) {
    long long v = 0;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec != std::errc() || ptr != text.data() + text.size())
        throw UsageError(what + ": '" + text + "' is not a number");
    if (v < min || v > max)
        throw UsageError(what + ": " + text + " is outside " + std::to_string(min) + ".." +
                         std::to_string(max));
    return static_cast<int>(v);
}

Language languageFrom(const Args& args) {
    if (auto lang = args.option("--lang")) {
        if (auto parsed = parseLanguage(*lang)) return *parsed;
        throw UsageError("--lang takes en or ja");
    }
    return detectLanguage();
}

TerminalPrompter::Policy TerminalPrompter::policyFrom(const Args& args) {
    if (args.flag("--yes") && args.flag("--no"))
        throw UsageError("--yes and --no exclude each other");
    if (args.flag("--yes")) return Policy::Yes;
    if (args.flag("--no")) return Policy::No;
    return Policy::Ask;
}

Answer TerminalPrompter::ask(const std::string& text, Buttons buttons, Icon) {
    if (policy_ == Policy::Yes) {
        std::cerr << text << " yes\n";
        return Answer::Yes;
    }
    if (policy_ == Policy::No) {
        std::cerr << text << " no\n";
        return Answer::No;
    }
    if (!isatty(STDIN_FILENO))
        throw Failure("a question needs an answer and there is no terminal (use --yes or --no): " +
                      text);
    for (;;) {
        std::cerr << text << (buttons == Buttons::YesNoCancel ? " [y/n/c] " : " [y/n] ")
                  << std::flush;
        std::string line;
        if (!std::getline(std::cin, line))
            return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
        if (line == "y" || line == "yes") return Answer::Yes;
        if (line == "n" || line == "no") return Answer::No;
        if (buttons == Buttons::YesNoCancel && (line == "c" || line == "cancel"))
            return Answer::Cancel;
    }
}

void TerminalPrompter::message(const std::string& text, Icon) {
    messages_.push_back(text);
    if (echo) std::cerr << text << '\n';
}

void TerminalPrompter::report(const std::string&, const Error& error, Icon icon) {
    message(error.message(), icon);
}

OpenCard::OpenCard(const std::string& cardPath, TerminalPrompter::Policy policy)
    : prompter(policy), doc(prompter, settings) {
    if (const Status opened = doc.loadCard(cardPath); !opened)
        throw Failure(opened.error().message());
}

std::string escapeText(const std::string& cp932) { return escapeField(cp932ToUtf8(cp932)); }

std::string escapeField(const std::string& utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (char c : utf8) {
        switch (c) {
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\\':
                out += "\\\\";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string unescapeText(const std::string& utf8, const std::string& field) {
    auto bytes = utf8ToCp932(unescapeField(utf8));
    if (!bytes)
        throw Failure(field + ": the text holds a character that a card cannot store (CP932)");
    return *bytes;
}

std::string unescapeField(const std::string& utf8) {
    std::string plain;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if (utf8[i] != '\\' || i + 1 == utf8.size()) {
            plain += utf8[i];
            continue;
        }
        switch (utf8[++i]) {
            case 'n':
                plain += '\n';
                break;
            case 'r':
                plain += '\r';
                break;
            case 't':
                plain += '\t';
                break;
            case '\\':
                plain += '\\';
                break;
            default:
                plain += '\\';
                plain += utf8[i];
        }
    }
    return plain;
}

}  // namespace wqe::cli
