// The views of an opened card: the printed report, and the system form's
// edits and the phrase list's commands.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "card/CWQEDoc.h"
#include "card/NewCard.h"
#include "support/TempDir.h"
#include "view/PhraseListText.h"
#include "view/Report.h"
#include "view/ReportPdf.h"
#include "view/SystemForm.h"
#include "view/SystemFormCommands.h"

namespace wqe {
namespace {

struct OpenedCard {
    explicit OpenedCard(Model m, int code = 0, int used = 0) {
        EXPECT_TRUE(createCard(tmp.path() / "CARD", m, code));
        EXPECT_TRUE(doc.openCard((tmp.path() / "CARD").string()));
        // Every third slot holds an audio phrase.
        for (int k = 0; k < used; ++k) use(3 * k);
    }
    void use(int i) {
        if (doc.model() == Model::WQ7000)
            doc.phr().setType(i, kTypeAudio);
        else
            doc.phr().setUsed(i, 1);
    }
    std::string pageText(ReportKind kind, int n, Language lang = Language::English) const {
        const Report report(doc, kind, lang, defaultReportMetrics(lang));
        return reportPageText(report.page(n), report.metrics());
    }
    test::TempDir tmp;
    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEDoc doc{prompter, settings};
};

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

std::string lineStartingWith(const std::string& text, const std::string& prefix) {
    for (const auto& line : lines(text))
        if (line.rfind(prefix, 0) == 0) return line;
    return "<no line " + prefix + ">";
}

TEST(Report, PageCounts) {
    struct Case {
        Model model;
        int code, used;
        int all, phrase;  // and always three system pages
    };
    const Case cases[] = {
        {Model::WQ7000, 0, 10, 4, 1},    {Model::WQ7000, 0, 11, 5, 2},
        {Model::WQ7000, 2, 0, 4, 1},  // one empty phrase page
        {Model::WQ5000, 1, 16, 4, 1},    {Model::WQ5000, 1, 17, 5, 2},
        {Model::WQ7000, 2, 333, 37, 34},
    };
    for (const Case& c : cases) {
        OpenedCard card(c.model, c.code, c.used);
        EXPECT_EQ(reportPageCount(card.doc, ReportKind::SystemAndPhrase), c.all) << c.used;
        EXPECT_EQ(reportPageCount(card.doc, ReportKind::Phrase), c.phrase) << c.used;
    }
    // No card: no pages.
    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEDoc none(prompter, settings);
    EXPECT_EQ(reportPageCount(none, ReportKind::SystemAndPhrase), 0);
    EXPECT_TRUE(
        Report(none, ReportKind::System, Language::English, defaultReportMetrics(Language::English))
            .pages()
            .empty());
}

// The phrases a phrase report page lists, counted by their memo lines.
int phrasesOn(const OpenedCard& card, int page) {
    const auto all = lines(card.pageText(ReportKind::Phrase, page));
    return static_cast<int>(std::ranges::count_if(
        all, [](const std::string& line) { return line.starts_with("Memo :"); }));
}

TEST(Report, PhrasePagesSplitTheUsedPhrases) {
    OpenedCard card(Model::WQ7000, 0, 25);
    // A phrase page's title and page numbers are pinned by the demo reports.
    EXPECT_EQ(std::vector<int>({phrasesOn(card, 1), phrasesOn(card, 2), phrasesOn(card, 3)}),
              std::vector<int>({10, 10, 5}));
    // The last page holds the used phrases 21..25, i.e. slots 60..72.
    const std::string p3 = card.pageText(ReportKind::Phrase, 3);
    EXPECT_NE(p3.find("\n0061 "), std::string::npos);
    EXPECT_NE(p3.find("\n0073 "), std::string::npos);
    EXPECT_EQ(p3.find("\n0058 "), std::string::npos);
}

TEST(Report, FullPagesStayAboveTheFooter) {
    // Full phrase pages with long memos, and the system pages, in both
    // languages: nothing of the body reaches the footer's rule.
    for (Model m : {Model::WQ7000, Model::WQ5000}) {
        OpenedCard card(m, 1, 40);
        for (int i = 0; i < 120; ++i) card.doc.memo().setPhraseMemo(i, std::string(400, 'M'));
        card.doc.memo().setSystemMemo(std::string(5000, 'S'));
        for (Language lang : {Language::English, Language::Japanese}) {
            const Report report(card.doc, ReportKind::SystemAndPhrase, lang,
                                defaultReportMetrics(lang));
            const int lh = report.metrics().lineHeight;
            const int footerRule = reportFooterY(lang) - 2 * lh;
            for (int n = 1; n <= report.pageCount(); ++n) {
                const ReportPage page = report.page(n);
                int bottom = 0;
                for (const ReportText& t : page.texts)
                    if (t.y < footerRule) bottom = std::max(bottom, t.y + lh);
                for (const ReportBox& b : page.boxes) bottom = std::max(bottom, b.y + b.height);
                EXPECT_LE(bottom, footerRule) << int(m) << " page " << n;
            }
        }
    }
}

// The WQ-7000's two rows of cells are pinned by the demo reports; the
// WQ-5000 prints the list's cells 0..12 in one row at the columns' widths.
TEST(Report, Wq5000PhraseRowShowsTheListsCells) {
    OpenedCard card(Model::WQ5000, 0, 1);
    const Report report(card.doc, ReportKind::Phrase, Language::English,
                        defaultReportMetrics(Language::English));
    const auto cells = phraseListRow(card.doc, 0, Language::English);
    const auto headers = phraseListColumns(Model::WQ5000, Language::English);
    const ReportPage page = report.page(1);
    std::vector<std::pair<std::string, int>> drawn, expected;
    for (const ReportText& t : page.texts)
        if (t.width > 0) drawn.emplace_back(t.text, t.width);
    for (int c = 0; c <= 12; ++c)
        expected.emplace_back(headers[c].header, report.columns()[c].width);
    for (int c = 0; c <= 12; ++c) expected.emplace_back(cells[c], report.columns()[c].width);
    EXPECT_EQ(drawn, expected);
    // A 3-unit rule under the value row; the text pins do not draw rules.
    EXPECT_EQ(std::ranges::count(page.lines, 3, &ReportLine::width), 1);
}

// The values the system pages word; the layout around them, at the default
// values, is pinned by the demo reports in tests/data/report.
TEST(Report, SystemPageValues) {
    OpenedCard w7(Model::WQ7000);
    CWQESys& s7 = w7.doc.sys();
    s7.setWqLinkMode(2);
    s7.setControlInputMode(2);
    s7.setDirectPlaybackKind(1);  // a pair no item stands for
    OpenedCard count(Model::WQ7000);
    count.doc.sys().setControlInputMode(1);
    OpenedCard w5(Model::WQ5000);
    w5.doc.sys().setLineThru(1);  // Mute and Mix are items of a list, not a switch
    // The words are the dialogs' lists; here the line each value lands on,
    // the blank of a pair no item stands for, and the WQ-5000's own lines.
    struct Case {
        const OpenedCard& card;
        Language lang;
        int page;
        const char* line;
    };
    const auto E = Language::English, J = Language::Japanese;
    const Case cases[] = {
        {w7, J, 1, "  WQ-LINK Mode       : ｽﾚｰﾌﾞ"},
        {w7, E, 3, "  Control Input Select    :"},
        {count, J, 3, "  Control Input Select    : ｶｳﾝﾄ再生"},
        {w5, E, 1, "    Line Thru        : Mix"},
    };
    for (const Case& c : cases) {
        EXPECT_THAT(lines(c.card.pageText(ReportKind::System, c.page, c.lang)),
                    ::testing::Contains(c.line));
    }

    // The WQ-5000 leaves the WQ-7000 lines blank, so its lines keep their
    // places, and omits the equalizer, MMC and WQ-LINK.
    const std::string p5 = w5.pageText(ReportKind::System, 1);
    EXPECT_EQ(lines(p5).size(),
              lines(OpenedCard(Model::WQ7000).pageText(ReportKind::System, 1)).size());
    EXPECT_EQ(p5.find("Equalizer"), std::string::npos);
    EXPECT_EQ(p5.find("WQ-LINK"), std::string::npos);
    EXPECT_EQ(w5.pageText(ReportKind::System, 3).find("MMC"), std::string::npos);
}

// The head and footer texts and the memo box are pinned by the demo reports;
// here the page number's place, lower in a Japanese report.
TEST(Report, PageNumberPlace) {
    OpenedCard card(Model::WQ7000);
    const auto pageNumber = [&](Language lang, int n) {
        const Report report(card.doc, ReportKind::System, lang, defaultReportMetrics(lang));
        const ReportPage page = report.page(n);
        const auto it =
            std::ranges::find(page.texts, "Page " + std::to_string(n), &ReportText::text);
        return it == page.texts.end() ? ReportText{} : *it;
    };
    const ReportText en = pageNumber(Language::English, 2);
    EXPECT_EQ(std::tuple(en.x, en.y, en.align),
              std::tuple(kReportPageNumberRight, 15000, ReportAlign::Right));
    EXPECT_EQ(pageNumber(Language::Japanese, 1).y, 15840);
}

TEST(Report, ChannelLines) {
    // The WQ-7000's default table is pinned by the demo reports.
    const std::tuple<Model, std::uint16_t, const char*> cases[] = {
        {Model::WQ7000, 1999, "    CH01: B1000"}, {Model::WQ7000, 2000, "    CH01: -----"},
        {Model::WQ7000, 16384, "    CH01: PLAY"}, {Model::WQ5000, 500, "    CH01: B001"},
        {Model::WQ5000, 1000, "    CH01: ----"},  {Model::WQ5000, 4095, "    CH01: PLAY"},
        {Model::WQ5000, 16384, "    CH01: ----"},
    };
    for (const auto& [model, value, line] : cases) {
        OpenedCard card(model);
        auto table = card.doc.sys().getDirectPlayTable();
        table[0] = value;
        card.doc.sys().setDirectPlayTable(table);
        EXPECT_EQ(lineStartingWith(card.pageText(ReportKind::System, 2), "    CH01: "), line)
            << value;
    }
}

// The five columns of a program table at the default values are pinned by
// the demo reports; here the texts of a table that has no PLAY.
TEST(Report, ProgramPlayTableTexts) {
    for (Model m : {Model::WQ7000, Model::WQ5000}) {
        OpenedCard card(m);
        auto table = card.doc.sys().getProgramPlayTable(0);
        table[20] = refPlay(m);  // no PLAY in a program table
        table[99] = static_cast<std::uint16_t>(highestPhraseCount(m) + 4);
        card.doc.sys().setProgramPlayTable(0, table);
        const std::string page = card.pageText(ReportKind::System, 2);
        const bool w7 = m == Model::WQ7000;
        EXPECT_NE(page.find(w7 ? "No.021: -----" : "No.021: ----"), std::string::npos) << page;
        EXPECT_NE(page.find(w7 ? "No.100: B0005" : "No.100: B005"), std::string::npos) << page;
    }
}

TEST(Report, WrapAndWidth) {
    const std::tuple<const char*, int, std::vector<std::string>> cases[] = {
        {"abc def", 5, {"abc", "def"}},
        {"abcdefgh", 3, {"abc", "def", "gh"}},
        {"a\n\nb\n", 10, {"a", "", "b"}},
        {"ｱｲｳ漢字", 4, {"ｱｲｳ", "漢字"}},
        {"", 10, {""}},
    };
    for (const auto& [text, columns, lines] : cases)
        EXPECT_EQ(wrapReportText(text, columns), lines) << text;
    EXPECT_EQ(reportTextColumns("Aｱ漢"), 4);
}

TEST(Report, PdfHoldsEveryPage) {
    for (Language lang : {Language::English, Language::Japanese}) {
        OpenedCard card(Model::WQ7000, 0, 25);
        const Report report(card.doc, ReportKind::SystemAndPhrase, lang,
                            defaultReportMetrics(lang));
        const std::string pdf = reportPdf(report, "card");
        EXPECT_EQ(pdf.rfind("%PDF-1.4\n", 0), 0u);
        EXPECT_NE(pdf.find("/Count 6 "), std::string::npos);
        // The cross-reference table points at the objects.
        const auto xref = pdf.find("0000000000 65535 f \n");
        ASSERT_NE(xref, std::string::npos);
        EXPECT_EQ(pdf.substr(std::stoul(pdf.substr(xref + 20, 10)), 8), "1 0 obj\n");
    }
}

// The display sleep list: OFF, then 30 s to 59m59s by seconds.
TEST(SystemForm, ListEditsReachTheRecordAndMarkModified) {
    // Positions of the record's switch and time are the card's; the form adds
    // that times the list lacks show no selection.
    for (auto [sw, time, position] :
         {std::tuple{0, 999, 0}, {1, 29, -1}, {1, 3600, -1}, {255, 60, 31}})
        EXPECT_EQ(displaySleepListPosition(sw, time), position) << sw << " " << time;
    OpenedCard card(Model::WQ7000);
    CWQEDoc& doc = card.doc;
    applyFormListPosition(doc, FormList::DisplaySleep, 3570);
    EXPECT_EQ(std::pair(doc.sys().getDisplaySleepSwitch(), doc.sys().getDisplaySleepTime()),
              std::pair(1, 3599));
    EXPECT_EQ(formListPosition(doc, FormList::DisplaySleep), 3570);
    EXPECT_TRUE(doc.isModified());
    applyFormListPosition(doc, FormList::WqLinkMode, 2);
    applyFormListPosition(doc, FormList::WqLinkMode, 7);  // outside the list: ignored
    EXPECT_EQ(doc.sys().get(SystemField::WqLinkMode), 2);
    doc.sys().setBaudRate(9);
    EXPECT_EQ(formListPosition(doc, FormList::BaudRate), -1);
}

TEST(SystemForm, Wq5000LacksTheWq7000Lists) {
    OpenedCard card(Model::WQ5000, 1);
    for (FormList l : {FormList::OutputVolumeThru, FormList::DisplaySleep, FormList::WqLinkMode}) {
        EXPECT_FALSE(formListExists(l, Model::WQ5000));
        EXPECT_EQ(formListPosition(card.doc, l), -1);
    }
    EXPECT_EQ(formListPosition(card.doc, FormList::BaudRate), 1);
}

// Which characters pass is the card's name filter, and the GUI test types a
// name and a memo; here the length limit, CP932 storage, blank padding, line
// ends, the memo's unencodable character, and no card.
TEST(SystemForm, NameAndMemoEdits) {
    OpenedCard card(Model::WQ7000);
    EXPECT_EQ(applyCardNameEdit(card.doc, "ABCDEFGHI"), "ABCDEFGH");
    EXPECT_EQ(applyCardNameEdit(card.doc, "ｼｮｯﾌﾟ1"), "ｼｮｯﾌﾟ1");
    EXPECT_EQ(card.doc.sys().getCardName(),
              "\xBC\xAE\xAF\xCC\xDF"
              "1  ");
    EXPECT_EQ(applyCardNameEdit(card.doc, ""), "");
    EXPECT_EQ(card.doc.sys().getCardName(), "        ");
    for (auto [control, stored] :
         {std::pair{"A\r\n\r\nB", "A\nB\n"}, {"", "\n"}, {"A\n\n\nB", "A\n\nB\n"}})
        EXPECT_EQ(memoFromControl(control), stored) << control;
    applySystemMemoEdit(card.doc, "店\n😀");
    EXPECT_EQ(card.doc.memo().systemMemo(), "\x93\x58\n?\n");
    EXPECT_TRUE(card.doc.isModified());

    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEDoc none(prompter, settings);
    applyFormListPosition(none, FormList::BaudRate, 2);
    applySystemMemoEdit(none, "x");
    EXPECT_EQ(applyCardNameEdit(none, "ab1"), "1");
    EXPECT_FALSE(none.isModified());
    EXPECT_EQ(none.memo().systemMemo(), "");
    EXPECT_EQ(systemFolderText(none, "/cwd"), "/cwd");
}

TEST(PhraseCommands, EnablingContextMenusAndDoubleClick) {
    OpenedCard w7(Model::WQ7000), w5(Model::WQ5000);
    CWQEPhr &p7 = w7.doc.phr(), &p5 = w5.doc.phr();
    for (int row = 1; row <= 4; ++row) {
        p7.setType(row, row);  // audio, MIDI, pattern, song
        p5.setUsed(row, 1);
    }
    p5.setPatternMode(3, 2);
    p5.setMidiFlag(4, 1);  // MIDI with a pattern mode: still a MIDI phrase
    p5.setPatternMode(4, 1);
    // Enabled commands as "SDCPS" (Setup Delete Copy Pattern Song), menu id.
    struct Case {
        CWQEDoc* doc;
        int row;
        const char* enabled;
        int menuId;
    };
    const Case cases[] = {
        {&w7.doc, 0, "..CPS", 133}, {&w7.doc, 4, "SD..S", 132}, {&w5.doc, 0, "..CP.", 161},
        {&w5.doc, 3, "SD.P.", 131}, {&w5.doc, 4, "SD...", 130},
    };
    auto letters = [](auto enabled) {
        std::string s;
        for (std::size_t k = 0; k < kPhraseCommands.size(); ++k)
            s += enabled(kPhraseCommands[k]) ? "SDCPS"[k] : '.';
        return s;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.doc == &w7.doc ? "WQ-7000 row " : "WQ-5000 row ") + std::to_string(c.row));
        EXPECT_EQ(letters([&](auto k) { return isPhraseCommandEnabled(*c.doc, c.row, k); }),
                  c.enabled);
        const auto menu = phraseContextMenu(*c.doc, c.row);
        ASSERT_TRUE(menu);
        EXPECT_EQ(menu->menuId, c.menuId);
        EXPECT_EQ(letters([&](auto k) { return menu->isEnabled(k); }), c.enabled);
        EXPECT_EQ(doubleClickAction(*c.doc, c.row),
                  c.row == 0 ? DoubleClickAction::MakePhrase : DoubleClickAction::PhraseSetup);
    }
    // No selection or a row beyond the card: nothing is enabled. The WQ-7000's
    // audio and pattern rows and a closed card are the main window GUI test's.
    for (int row : {-1, 250}) {
        EXPECT_EQ(letters([&](PhraseCommand k) { return isPhraseCommandEnabled(w7.doc, row, k); }),
                  ".....");
        EXPECT_FALSE(phraseContextMenu(w7.doc, row));
        EXPECT_EQ(doubleClickAction(w7.doc, row), DoubleClickAction::None);
    }
}

}  // namespace
}  // namespace wqe
