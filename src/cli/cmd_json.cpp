// wqe export / apply / diff: a card's settings as JSON, stored back onto a
// card, and compared field by field between cards and JSON files.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>

#include "base/FileSystem.h"
#include "card/FileIO.h"
#include "card/Model.h"
#include "cli/CardFields.h"
#include "cli/CardJson.h"
#include "cli/Cli.h"

namespace wqe::cli {

namespace {

namespace fs = std::filesystem;

Json readJsonFile(const std::string& path) {
    const auto bytes = readWholeFile(path);
    if (!bytes) throw Failure(bytes.error().message());
    try {
        return Json::parse(bytes->begin(), bytes->end());
    } catch (const Json::parse_error& e) {
        std::string what = e.what();  // "[json.exception.parse_error.101] parse error at ..."
        if (const auto end = what.find("] "); end != std::string::npos) what.erase(0, end + 2);
        throw Failure(path + ": not valid JSON: " + what);
    }
}

int runExport(const std::vector<std::string>& argv) {
    Args args(argv, {}, {"-o", "--output"});
    args.expectPositional(1, 1);
    OpenCard card(args.positional()[0]);
    std::vector<std::string> lossy;
    const std::string text = cardToJson(card.doc, &lossy).dump(2) + '\n';
    for (const std::string& key : lossy)
        std::cerr << "wqe export: " << key
                  << ": bytes that are not CP932 text are written as U+FFFD; apply cannot "
                     "restore them\n";
    auto output = args.option("-o");
    if (!output) output = args.option("--output");
    if (!output) {
        std::cout << text;
        return kExitOk;
    }
    if (const Status written = writeFileAtomic(realFileSystem(), *output, text); !written)
        throw Failure(written.error().message());
    return kExitOk;
}

int runApply(const std::vector<std::string>& argv) {
    Args args(argv, {"--dry-run", "--yes"}, {});
    args.expectPositional(2, 2);
    const std::string& jsonPath = args.positional()[1];
    const Json json = readJsonFile(jsonPath);
    OpenCard card(args.positional()[0], TerminalPrompter::policyFrom(args));
    CWQEDoc& doc = card.doc;

    // Every field is checked before the first byte changes.
    const JsonEdits checked = cardJsonEdits(doc, json);
    if (!checked.problems.empty()) {
        for (const JsonProblem& p : checked.problems)
            std::cerr << "wqe apply: " << jsonPath << ": " << (p.pointer.empty() ? "" : p.pointer)
                      << (p.pointer.empty() ? "" : ": ") << p.reason << '\n';
        std::cerr << "wqe apply: nothing was written\n";
        return kExitFailure;
    }
    const Json before = cardToJson(doc);
    for (const JsonEdit& e : checked.edits) cardField(doc, e.key).set(doc, e.value);
    const std::vector<std::string> changes = diffCardJson(before, cardToJson(doc));
    for (const std::string& line : changes) std::cout << line << '\n';
    if (args.flag("--dry-run") || changes.empty()) return kExitOk;

    doc.markModified(true);
    if (const Status saved = doc.save(); !saved) {
        if (saved.error().kind == ErrorKind::Cancelled)
            throw Failure(saved.error().message() + " (use --yes to replace it)");
        throw Failure(saved.error().message());
    }
    return kExitOk;
}

// One side of a diff: a card (folder or system settings file) or a JSON file.
struct DiffSide {
    Json json;
    std::optional<fs::path> folder;  // a card's folder
};

DiffSide loadSide(const std::string& path) {
    if (!fs::is_directory(path) && upperExtension(path) != "CNF")
        return {readJsonFile(path), std::nullopt};
    OpenCard card(path);
    std::vector<std::string> lossy;
    DiffSide side{cardToJson(card.doc, &lossy), fs::path(card.doc.folderPrefix())};
    for (const std::string& key : lossy)
        std::cerr << "wqe diff: " << path << ": " << key
                  << ": bytes that are not CP932 text are compared as U+FFFD\n";
    return side;
}

// The phrase data files of a card folder by upper-case name.
std::map<std::string, fs::path> dataFiles(const fs::path& folder) {
    std::map<std::string, fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = it->path().filename().string();
        if (!isPhraseDataFileName(name) || !it->is_regular_file()) continue;
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        files[name] = it->path();
    }
    if (ec) throw Failure(folder.string() + ": cannot be listed: " + ec.message());
    return files;
}

bool sameContent(const fs::path& a, const fs::path& b) {
    std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
    if (!x) throw Failure(a.string() + ": cannot be read");
    if (!y) throw Failure(b.string() + ": cannot be read");
    std::vector<char> bx(1 << 16), by(1 << 16);
    for (;;) {
        x.read(bx.data(), static_cast<std::streamsize>(bx.size()));
        y.read(by.data(), static_cast<std::streamsize>(by.size()));
        if (x.bad()) throw Failure(a.string() + ": cannot be read");
        if (y.bad()) throw Failure(b.string() + ": cannot be read");
        const std::streamsize n = x.gcount();
        if (n != y.gcount() || !std::equal(bx.begin(), bx.begin() + n, by.begin())) return false;
        if (n == 0) return true;
    }
}

std::string sizeText(const fs::path& p) {
    std::error_code ec;
    const auto size = fs::file_size(p, ec);
    return ec ? "present" : std::to_string(size) + " bytes";
}

// Data file lines: "_WQP0001.PHR: content differs", "_WQP0004.MID: (absent) → 512 bytes".
std::vector<std::string> diffDataFiles(const fs::path& a, const fs::path& b) {
    const auto fa = dataFiles(a), fb = dataFiles(b);
    std::vector<std::string> names;
    for (const auto& [name, path] : fa) names.push_back(name);
    for (const auto& [name, path] : fb)
        if (!fa.count(name)) names.push_back(name);
    std::sort(names.begin(), names.end());
    std::vector<std::string> lines;
    const std::string arrow = " \xE2\x86\x92 ";
    for (const std::string& name : names) {
        const auto x = fa.find(name), y = fb.find(name);
        if (x == fa.end())
            lines.push_back(name + ": (absent)" + arrow + sizeText(y->second));
        else if (y == fb.end())
            lines.push_back(name + ": " + sizeText(x->second) + arrow + "(absent)");
        else if (!sameContent(x->second, y->second))
            lines.push_back(name + ": content differs (" + sizeText(x->second) + arrow +
                            sizeText(y->second) + ")");
    }
    return lines;
}

int runSchema(const std::vector<std::string>& argv) {
    Args args(argv, {}, {});
    args.expectPositional(0, 0);
    std::cout << cardJsonSchema().dump(2) << '\n';
    return kExitOk;
}

constexpr const char* kDiffUsage =
    "usage: wqe diff A B [--data]\n\n"
    "Compares two cards field by field; A and B are card folders (or their\n"
    "system settings files) or JSON files written by wqe export, in any mix.\n"
    "Prints one line per difference, by the names of wqe get:\n"
    "  phrase.12.volume: 80 \xE2\x86\x92 100\n"
    "  direct-play[3]: 3 \xE2\x86\x92 7\n"
    "A value that one side lacks shows as (absent).\n\n"
    "  --data  also compare the phrase data files (_WQP*.PHR/MID/WAV) of two\n"
    "          card folders by content\n\n"
    "Exit status: 0 no differences, 1 differences, 2 error.\n";

int runDiff(const std::vector<std::string>& argv) {
    // As diff(1): status 1 means "differ", so every failure is status 2.
    try {
        Args args(argv, {"--data"}, {});
        args.expectPositional(2, 2);
        const DiffSide a = loadSide(args.positional()[0]);
        const DiffSide b = loadSide(args.positional()[1]);
        std::vector<std::string> lines = diffCardJson(a.json, b.json);
        if (args.flag("--data")) {
            if (!a.folder || !b.folder)
                throw Failure("--data compares data files and needs two card folders");
            const auto data = diffDataFiles(*a.folder, *b.folder);
            lines.insert(lines.end(), data.begin(), data.end());
        }
        for (const std::string& line : lines) std::cout << line << '\n';
        return lines.empty() ? kExitOk : 1;
    } catch (const UsageError& e) {
        std::cerr << "wqe diff: " << e.what() << '\n' << kDiffUsage;
        return kExitFailure;
    }
}

const bool registered = [] {
    registerCommand({"export", "write a card's settings as JSON",
                     "usage: wqe export CARD [-o FILE.json]\n\n"
                     "Writes the card's model, every system field, every used phrase's fields\n"
                     "and the memos as JSON (to standard output, or atomically to FILE.json).\n"
                     "Keys are the field names of wqe get in a fixed order, so two exports\n"
                     "compare cleanly; texts are UTF-8, tables arrays of phrase references.\n"
                     "The layout is described by schema/wqe-card.schema.json.\n",
                     runExport});
    registerCommand({"apply", "store the settings of a JSON file onto a card",
                     "usage: wqe apply CARD FILE.json [--dry-run] [--yes]\n\n"
                     "Stores every field the file names with the checks of wqe set, prints\n"
                     "each change as wqe diff does and saves the card. Fields and phrases the\n"
                     "file does not name stay as they are. The file's model must be the\n"
                     "card's; its phrase count must be the one the card's phrase settings\n"
                     "file holds.\n"
                     "Nothing is written when any field is wrong: every problem is reported\n"
                     "with its JSON path (/phrases/3/volume).\n\n"
                     "  --dry-run  print the changes, write nothing\n"
                     "  --yes      replace a memo file in a layout the editor does not write\n",
                     runApply});
    registerCommand({"schema", "print the JSON Schema of wqe export's files",
                     "usage: wqe schema\n\n"
                     "Prints the JSON Schema that the files of wqe export follow and wqe apply\n"
                     "reads: every field of each model with its type and range.\n",
                     runSchema});
    registerCommand(
        {"diff", "compare two cards or JSON files field by field", kDiffUsage, runDiff});
    return true;
}();

}  // namespace

}  // namespace wqe::cli
