// wqe report CARD: the printed report of a card as plain text or as a PDF.
#include <iostream>

#include "base/FileSystem.h"
#include "cli/Cli.h"
#include "view/Report.h"
#include "view/ReportPdf.h"

namespace wqe::cli {

namespace {

ReportKind kindFrom(const Args& args) {
    const std::string kind = args.option("--kind").value_or("all");
    if (kind == "all") return ReportKind::SystemAndPhrase;
    if (kind == "system") return ReportKind::System;
    if (kind == "phrase") return ReportKind::Phrase;
    throw UsageError("--kind takes all, system or phrase");
}

int runReport(const std::vector<std::string>& argv) {
    Args args(argv, {"--text"}, {"--kind", "--lang", "--pdf"});
    args.expectPositional(1, 1);
    const Language lang = languageFrom(args);
    const ReportKind kind = kindFrom(args);
    const auto pdfPath = args.option("--pdf");
    const bool text = args.flag("--text");
    if (!pdfPath && !text) throw UsageError("give --text, --pdf OUT.pdf or both");
    if (pdfPath && pdfPath->empty()) throw UsageError("--pdf needs a file name");

    OpenCard card(args.positional()[0]);
    const Report report(card.doc, kind, lang, defaultReportMetrics(lang));
    if (pdfPath) {
        const std::string bytes = reportPdf(report, card.doc.systemPath());
        if (const Status s = writeFileAtomic(realFileSystem(), *pdfPath, bytes); !s)
            throw Failure(s.error().message());
    }
    if (text) {
        std::cout << reportText(report) << std::flush;
        if (!std::cout) throw Failure("the report could not be written to the standard output");
    }
    return kExitOk;
}

const bool registered = registerCommand(
    {"report", "print the card's settings report as text or PDF",
     "usage: wqe report CARD [--kind all|system|phrase] [--lang en|ja] [--text] [--pdf OUT.pdf]\n"
     "\n"
     "Lays out the editor's printed report of CARD (a card folder or its system\n"
     "settings file): three system pages and the phrase pages, each used phrase as\n"
     "rows of the phrase list's columns.\n"
     "\n"
     "  --kind all     (default) the system pages, then the phrase pages\n"
     "  --kind system  the three system pages\n"
     "  --kind phrase  the phrase pages\n"
     "  --text         the pages' texts on the standard output in UTF-8, placed in\n"
     "                 lines and columns; a form feed between pages\n"
     "  --pdf OUT.pdf  the pages as a PDF file (replaced whole, or left as it was\n"
     "                 when it cannot be written)\n"
     "  --lang en|ja   the language of the texts (default: WQE_LANG, then the locale)\n",
     runReport});

}  // namespace

}  // namespace wqe::cli
