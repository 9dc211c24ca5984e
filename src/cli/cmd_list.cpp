// wqe list CARD: the phrase list as the editor shows it, as TSV or JSON.
#include <cstdio>
#include <iostream>

#include "cli/Cli.h"
#include "view/PhraseListText.h"

namespace wqe::cli {

namespace {

// Cells are escaped so that rows stay rows.
std::string tsvCell(const std::string& text) { return escapeField(text); }

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (u < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
                    out += buffer;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

int runList(const std::vector<std::string>& argv) {
    Args args(argv, {"--used"}, {"--lang", "--format"});
    args.expectPositional(1, 1);
    const Language lang = languageFrom(args);
    const std::string format = args.option("--format").value_or("tsv");
    if (format != "tsv" && format != "json") throw UsageError("--format takes tsv or json");
    OpenCard card(args.positional()[0]);
    const CWQEDoc& doc = card.doc;

    const auto columns = phraseListColumns(doc.model(), lang);
    const int rows = phraseListRowCount(doc);
    const bool onlyUsed = args.flag("--used");
    std::string out;
    if (format == "tsv") {
        for (std::size_t k = 0; k < columns.size(); ++k)
            out += (k ? "\t" : "") + tsvCell(columns[k].header);
        out += '\n';
    } else {
        out += "[";
    }
    bool first = true;
    for (int i = 0; i < rows; ++i) {
        if (onlyUsed && !doc.phr().isUsed(i)) continue;
        const auto cells = phraseListRow(doc, i, lang);
        if (format == "tsv") {
            for (std::size_t k = 0; k < cells.size(); ++k)
                out += (k ? "\t" : "") + tsvCell(cells[k]);
            out += '\n';
        } else {
            out += first ? "\n  {" : ",\n  {";
            for (std::size_t k = 0; k < cells.size(); ++k)
                out +=
                    (k ? ", " : "") + jsonString(columns[k].header) + ": " + jsonString(cells[k]);
            out += "}";
        }
        first = false;
    }
    if (format == "json") out += first ? "]\n" : "\n]\n";
    std::cout << out << std::flush;
    if (!std::cout) throw Failure("the list could not be written to the standard output");
    return kExitOk;
}

const bool registered = registerCommand(
    {"list", "print the phrase list as the editor shows it",
     "usage: wqe list CARD [--lang en|ja] [--format tsv|json] [--used]\n"
     "\n"
     "Prints one row per phrase slot of CARD (a card folder or its system settings\n"
     "file) with the phrase list's column texts, exactly as the editor shows them,\n"
     "trailing blanks included, in UTF-8.\n"
     "\n"
     "  --format tsv   (default) the column headers, then one line per row, cells\n"
     "                 joined by a tab; a tab, line break or backslash inside\n"
     "                 a cell is written as \\t, \\r, \\n or \\\\\n"
     "  --format json  an array of objects keyed by the column headers\n"
     "  --used         only the slots that hold a phrase\n"
     "  --lang en|ja   the language of the texts (default: WQE_LANG, then the locale)\n",
     runList});

}  // namespace

}  // namespace wqe::cli
