// wqe report as a user runs it: the demo card's report as text in both
// languages, PDF files with their page counts, and the errors.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>

#include "support/CliRunner.h"

namespace wqe::test {
namespace {

class CliReport : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(runWqe({"demo", card}).status, 0); }

    // The card's folder differs from run to run: the golden files say CARD,
    // and the blanks between the footer's path and page number are one.
    std::string withoutFolder(std::string text) const {
        for (std::size_t at; (at = text.find(card)) != std::string::npos;)
            text.replace(at, card.size(), "CARD");
        return std::regex_replace(text, std::regex("(_WQ7TSYS\\.CNF) +Page"), "$1 Page");
    }

    TempDir dir;
    std::string card = (dir / "demo").string();
};

// Page count as pdfinfo (poppler-utils) reads it; -1 when it cannot.
int pdfPages(const std::string& path) {
    const std::string command = "pdfinfo '" + path + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    std::string out;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
    const auto at = out.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(out.c_str() + at + 6);
}

TEST_F(CliReport, DemoCardAsTextInBothLanguages) {
    for (const char* lang : {"en", "ja"}) {
        const auto r = runWqe({"report", card, "--text", "--lang", lang});
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string golden = std::string(WQE_TEST_DATA) + "/report/demo_" + lang + ".txt";
        EXPECT_EQ(withoutFolder(r.out), readText(golden)) << lang;
    }
    // Kinds pick their pages: the system kind is the first three pages.
    const auto all = runWqe({"report", card, "--text", "--lang", "en"});
    const auto system = runWqe({"report", card, "--text", "--lang", "en", "--kind", "system"});
    const auto phrase = runWqe({"report", card, "--text", "--lang", "en", "--kind", "phrase"});
    ASSERT_EQ(system.status, 0);
    EXPECT_EQ(all.out.rfind(system.out + "\f", 0), 0u);
    EXPECT_NE(phrase.out.find("Phrase Info. (Folder:"), std::string::npos);
    EXPECT_EQ(phrase.out.find("System Info."), std::string::npos);
}

TEST_F(CliReport, PdfWithTheExpectedPages) {
    if (pdfPages("/nonexistent") == -1 && std::system("command -v pdfinfo >/dev/null 2>&1") != 0)
        GTEST_SKIP()
            << "pdfinfo (poppler-utils) is not installed; scripts/install-deps installs it";
    struct Case {
        const char* kind;
        const char* lang;
        int pages;
    };
    // The demo card holds three phrases: one phrase page.
    for (const Case& c : {Case{"all", "ja", 4}, {"phrase", "en", 1}}) {
        const std::string out = (dir / (std::string(c.kind) + c.lang + ".pdf")).string();
        const auto r = runWqe({"report", card, "--kind", c.kind, "--lang", c.lang, "--pdf", out});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(pdfPages(out), c.pages) << c.kind << " " << c.lang;
    }
}

TEST_F(CliReport, Errors) {
    struct Case {
        std::vector<std::string> args;
        int status;
        const char* err;  // a part of stderr
    };
    const std::string missingFolder = (dir / "no" / "such" / "out.pdf").string();
    const Case cases[] = {
        {{"report", card}, 1, "--text"},
        {{"report", card, "--text", "--kind", "pages"}, 1, "--kind takes all, system or phrase"},
        {{"report", card, "--pdf", missingFolder}, 2, missingFolder.c_str()},
    };
    for (const Case& c : cases) {
        const auto r = runWqe(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.back() << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
    // A failed export leaves an existing file as it was.
    const std::string old = (dir / "old.pdf").string();
    writeText(old, "old");
    const auto r = runWqe({"report", (dir / "nothing").string(), "--pdf", old});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(readText(old), "old");
}

}  // namespace
}  // namespace wqe::test
