// The views of an opened card: phrase list texts (whole rows of every phrase
// type of both models in both languages, and the fallbacks for values out of
// range), the pattern and song editors' step texts at the edges of the banks,
// the printed report, and the system form's edits and the phrase list's
// commands.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "card/CWQEDoc.h"
#include "card/NewCard.h"
#include "support/TempDir.h"
#include "view/PatternStepText.h"
#include "view/PhraseListText.h"
#include "view/Report.h"
#include "view/ReportPdf.h"
#include "view/SystemForm.h"
#include "view/SystemFormCommands.h"

namespace wqe {
namespace {

using Row = std::vector<std::string>;
using F = PhraseField;
using Fields = std::vector<std::pair<PhraseField, std::uint32_t>>;
constexpr Language En = Language::English;
constexpr Language Ja = Language::Japanese;

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

// A system record, four phrase records and the memos of one model.
struct Records {
    explicit Records(Model m)
        : sysImage(CWQESys::defaultImage(m)), phrImage(CWQEPhr::erasedImage(m, 4)) {
        sys.setModel(m);
        sys.attach(sysImage);
        phr.setModel(m);
        phr.attach(phrImage);
        memo.setModel(m);
    }
    void set(int i, const Fields& fields) {
        for (auto [f, v] : fields) phr.set(i, f, v);
    }
    Row row(int i, Language lang) const { return phraseListRow(sys, phr, memo, i, lang); }

    std::vector<std::uint8_t> sysImage, phrImage;
    CWQESys sys;
    CWQEPhr phr;
    CWQEMemo memo;
};

// clang-format off
TEST(PhraseListText, WholeRows7000) {
    Records r(Model::WQ7000);
    r.sys.setMtcType(3);  // 25 frames
    r.set(0, {{F::Type, 1}, {F::RecordingType, 1}, {F::Length, 5000}, {F::Volume, 80}, {F::Delay, 1500},
              {F::RepeatSwitch, 1}, {F::RepeatCount, 3}, {F::RepeatInterval, 95}, {F::FadeIn, 4}, {F::FadeOut, 13},
              {F::StartPoint, 500}, {F::EndPoint, 5000}, {F::Loop2Point, 2500}, {F::LoopSwitch, 1}});
    r.phr.setName(0, "WELCOME     ");
    r.memo.setPhraseMemo(0, "Opening");
    EXPECT_EQ(r.row(0, En), (Row{"0001", "WELCOME     ", "AUDIO", "00:00:10.0s", "ANNOUNCE", "LINEAR  ", "STEREO",
        "80%", "01s12f", "00h00m01s00f00sf", "00h00m10s00f00sf", "ENDLESS", "00h00m00s00f00sf", "00h00m05s00f00sf",
        " 00.1s", " 01.0s", "  3", "01m35s", " OFF  ", "---   ", "---   ", "Opening"}));
    // The Japanese type and switch words are pinned by the demo reports.
    EXPECT_EQ(r.row(0, Ja)[11], "ｴﾝﾄﾞﾚｽ");

    r.set(1, {{F::Type, 2}, {F::Tempo, 115}, {F::ControlOutputSwitch, 1}, {F::ControlOutputTime, 600},
              {F::RepeatSwitch, 1}, {F::Delay, 65535}});
    r.phr.setName(1, "MIDI SONG   ");
    EXPECT_EQ(r.row(1, En), (Row{"0002", "MIDI SONG   ", "MIDI ", "---        ", "---     ", "---     ", "---   ",
        "--- ", "05s13f", "---             ", "---             ", "---  ", "---             ", "---             ",
        "---    ", "---    ", "ENDLESS", "00m00s", "10m00s", "---   ", "120", ""}));

    // Empty slot: every column "---", even with a memo.
    r.memo.setPhraseMemo(3, "left over");
    Row empty(22, "---");
    empty[0] = "0004";
    EXPECT_EQ(r.row(3, En), empty);

    // A type above 4 shows its name and memo over the rebuilt row.
    r.set(3, {{F::Type, 9}});
    r.phr.setName(3, "ODD");
    EXPECT_EQ(r.row(3, En), (Row{"0004", "ODD", "---", "---", "---", "---", "---", "---", "---", "---", "---",
        "---", "---", "---", "", "", "", "", "", "", "", "left over"}));
}

TEST(PhraseListText, WholeRows5000) {
    Records r(Model::WQ5000);
    r.set(0, {{F::Used, 1}, {F::Mode, 2}, {F::Length, 4096}, {F::Volume, 5}, {F::Delay, 123},
              {F::ControlOutput, 95}});
    r.phr.setName(0, "ANNOUNCE 01");
    r.memo.setPhraseMemo(0, "Gate \x82\xA0");  // CP932
    EXPECT_EQ(r.row(0, En), (Row{"0001", "ANNOUNCE 01", "AUDIO", "00:00:08.1s", "ANNOUNCE", "MODE2 ", "MONO  ",
        "  5%", "12.3s", " OFF  ", "01m35s", "---   ", "---   ", "Gate あ"}));
    // The MIDI flag wins over a pattern mode.
    r.set(1, {{F::Used, 1}, {F::MidiFlag, 1}, {F::PatternMode, 2}, {F::Repeat, 95}});
    EXPECT_EQ(r.row(1, Ja), (Row{"0002", "           ", "MIDI ", "---        ", "---     ", "---   ", "---   ",
        "--- ", "00.0s", "01m35s", " ｵﾌ   ", "---   ", "120   ", ""}));
    // Only a MIDI flag of 1 marks MIDI; RANDOM1 has no digit in Japanese.
    r.set(2, {{F::Used, 1}, {F::MidiFlag, 2}, {F::PatternMode, 2}});
    EXPECT_EQ((Row{r.row(2, Ja)[2], r.row(2, Ja)[11]}), (Row{"ﾊﾟﾀｰﾝ", "ﾗﾝﾀﾞﾑ "}));
    // A used byte other than 1 shows an unused slot.
    r.set(3, {{F::Used, 2}});
    r.phr.setName(3, "HIDDEN");
    Row empty(14, "---");
    empty[0] = "0004";
    EXPECT_EQ(r.row(3, En), empty);
}

// One column of one used record, for the value tables.
struct CellCase {
    Fields fields;
    int column;
    Language lang;
    const char* text;
};

void expectCells(Model m, const std::vector<CellCase>& cases, int mtcType = 0) {
    for (const CellCase& c : cases) {
        Records r(m);
        r.sys.setMtcType(mtcType);
        r.set(0, {{m == Model::WQ7000 ? F::Type : F::Used, 1}});
        r.set(0, c.fields);
        EXPECT_EQ(r.row(0, c.lang)[static_cast<std::size_t>(c.column)], c.text) << "case " << &c - cases.data();
    }
}

TEST(PhraseListText, Values7000) {
    expectCells(Model::WQ7000, {
        {{{F::Grade, 6}}, 4, En, "---     "},
        {{{F::Mode, 5}}, 5, En, "WAV"}, {{{F::Mode, 6}}, 5, En, "---     "},
        {{{F::RecordingType, 2}}, 6, En, "---   "}, {{{F::Volume, 255}}, 7, En, "255%"},
        {{{F::Mode, 2}}, 9, En, "---             "},
        {{{F::LoopSwitch, 1}, {F::LoopCount, 7}}, 11, En, "  7"},
        {{{F::LoopSwitch, 2}, {F::LoopCount, 255}}, 11, En, " 255"},
        {{{F::Grade, 2}, {F::StartPoint, 100000}}, 9, En, "00h01m12s16f00sf"},  // 22.0588 samples per ms
        {{{F::Grade, 7}, {F::StartPoint, 10}}, 9, En, "00h00m00s04f08sf"},      // undivided: 160 ms
        {{{F::FadeOut, 65535}}, 15, En, " 6553.2s"}, {{{F::RepeatInterval, 65535}}, 17, En, "1092m15s"},
        {{{F::Grade, 2}, {F::Length, 13781}}, 3, En, "00:00:09.9s"},  // ten seconds at 22.05 kHz
        {{{F::Length, 0xFFFFFFFF}}, 3, En, "2386:05:34.5s"},          // hours beyond two digits
        {{{F::Grade, 9}, {F::Length, 100}}, 3, En, "00:00:00.0s"},
        {{{F::Type, 2}, {F::Tempo, 255}}, 20, En, "260"},
        {{{F::Type, 3}, {F::PatternMode, 1}, {F::FadeIn, 2}}, 14, Ja, " ﾀｲﾑ2  "},
        {{{F::Type, 3}, {F::PatternMode, 4}}, 19, En, "---  "},
        {{{F::Type, 4}}, 5, En, " ---    "},
    });
    Records r(Model::WQ7000);
    r.set(0, {{F::Type, 1}});
    r.phr.setName(0, "\xB1\xB2 X");  // half-width katakana in CP932
    EXPECT_EQ(r.row(0, En)[1], "ｱｲ X");
}

// The time codes are the converter's; the list shows them at the card's MTC
// type (WholeRows7000 has type 3), and an unknown type as zero.
TEST(PhraseListText, DelayAndPointsAtTheCardsMtcType) {
    expectCells(Model::WQ7000, {{{{F::Delay, 1500}}, 8, En, "00s00f"}}, 5);
    expectCells(Model::WQ7000, {{{{F::StartPoint, 500}}, 9, En, "00h00m01s00f00sf"},
                                {{{F::StartPoint, 450}}, 9, En, "00h00m00s27f00sf"}}, 1);
}

// clang-format on

TEST(PhraseListText, RowCountAndUnloadedDocument) {
    ScriptedPrompter prompter;
    MemorySettings settings;
    const CWQEDoc none(prompter, settings);
    EXPECT_EQ(phraseListRowCount(none), 250);
    Row empty(22, "---");
    empty[0] = "0001";
    EXPECT_EQ(phraseListRow(none, 0, En), empty);
    OpenedCard card(Model::WQ5000, 1);
    CWQEDoc& doc = card.doc;
    EXPECT_EQ(phraseListRowCount(doc), 500);
    doc.sys().setPhraseCountCode(2);  // the code read now, not the file's record count
    EXPECT_EQ(phraseListRowCount(doc), 1000);
    // Rows beyond the records of a short phrase file read as empty.
    EXPECT_EQ(phraseListRow(doc, 900, En)[1], "---");
}

TEST(PatternStepText, PhraseTexts) {
    constexpr auto P5 = PatternKind::Pattern5000, P7 = PatternKind::Pattern7000,
                   S = PatternKind::Song;
    const std::tuple<std::uint16_t, PatternKind, const char*> cases[] = {
        {0, P5, "A001"},    {500, P5, "B001"},   {999, P5, "B500"},
        {1000, P5, "----"}, {1000, P7, "B0001"}, {2000, P7, "-----"},
        {2000, S, "Stop"},  {65534, S, "Stop"},  {65535, S, "-----"},
    };
    for (const auto& [ref, kind, text] : cases)
        EXPECT_EQ(patternStepRefText(ref, kind, Language::English), text) << ref;
}

// Pattern and song rows as the CLI prints them are pinned in tests/cli.
TEST(PatternStepText, Wq5000Rows) {
    PatternData w5(PatternKind::Pattern5000);
    w5.setStepRef(0, 3);
    w5.setStepInterval(0, 123);
    w5.setStepInterval(1, 9);  // an unused step shows the empty row whatever it holds
    w5.setStepRef(100, 600);
    const auto rows5 = patternStepRows(w5, 128, Language::English, 0);
    ASSERT_EQ(rows5.size(), 128u);
    EXPECT_EQ(rows5[0], (Row{"1", "A004", "12.3s"}));
    EXPECT_EQ(rows5[1], (Row{"2", "----", "00.0s"}));
    EXPECT_EQ(rows5[100], (Row{"101", "B101", "-----"}));
    EXPECT_EQ(rows5[127], (Row{"128", "----", "-----"}));
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

TEST(Report, PageCounts) {
    // (model, phrase count code, used phrases, pages in all and of phrases;
    // always three system pages)
    const std::tuple<Model, int, int, int, int> cases[] = {
        {Model::WQ7000, 0, 10, 4, 1},    {Model::WQ7000, 0, 11, 5, 2},
        {Model::WQ7000, 2, 0, 4, 1},  // one empty phrase page
        {Model::WQ5000, 1, 16, 4, 1},    {Model::WQ5000, 1, 17, 5, 2},
        {Model::WQ7000, 2, 333, 37, 34},
    };
    for (const auto& [model, code, used, all, phrase] : cases) {
        OpenedCard card(model, code, used);
        EXPECT_EQ(reportPageCount(card.doc, ReportKind::SystemAndPhrase), all) << used;
        EXPECT_EQ(reportPageCount(card.doc, ReportKind::Phrase), phrase) << used;
    }
    // No card: no pages.
    ScriptedPrompter prompter;
    MemorySettings settings;
    EXPECT_EQ(reportPageCount(CWQEDoc(prompter, settings), ReportKind::SystemAndPhrase), 0);
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
    OpenedCard w5(Model::WQ5000);
    w5.doc.sys().setLineThru(1);  // Mute and Mix are items of a list, not a switch
    // The words are the dialogs' lists; here the line each value lands on,
    // the blank of a pair no item stands for, and the WQ-5000's own lines.
    const auto E = Language::English, J = Language::Japanese;
    const std::tuple<const OpenedCard&, Language, int, const char*> cases[] = {
        {w7, J, 1, "  WQ-LINK Mode       : ｽﾚｰﾌﾞ"},
        {w7, E, 3, "  Control Input Select    :"},
        {w5, E, 1, "    Line Thru        : Mix"},
    };
    for (const auto& [card, lang, page, line] : cases)
        EXPECT_THAT(lines(card.pageText(ReportKind::System, page, lang)),
                    ::testing::Contains(line));

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
    // The WQ-7000's default table is pinned by the demo reports, the WQ-5000's
    // bank texts by the program table below.
    const std::tuple<Model, std::uint16_t, const char*> cases[] = {
        {Model::WQ7000, 1999, "    CH01: B1000"}, {Model::WQ7000, 2000, "    CH01: -----"},
        {Model::WQ7000, 16384, "    CH01: PLAY"}, {Model::WQ5000, 4095, "    CH01: PLAY"},
        {Model::WQ5000, 16384, "    CH01: ----"},
    };
    for (const auto& [model, value, line] : cases) {
        OpenedCard card(model);
        auto table = card.doc.sys().getDirectPlayTable();
        table[0] = value;
        card.doc.sys().setDirectPlayTable(table);
        EXPECT_THAT(lines(card.pageText(ReportKind::System, 2)), ::testing::Contains(line))
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
    // (card, row, enabled commands as "SDCPS" (Setup Delete Copy Pattern
    // Song), menu id)
    const std::tuple<CWQEDoc*, int, const char*, int> cases[] = {
        {&w7.doc, 0, "..CPS", 133}, {&w7.doc, 4, "SD..S", 132}, {&w5.doc, 0, "..CP.", 161},
        {&w5.doc, 3, "SD.P.", 131}, {&w5.doc, 4, "SD...", 130},
    };
    auto letters = [](auto enabled) {
        std::string s;
        for (std::size_t k = 0; k < kPhraseCommands.size(); ++k)
            s += enabled(kPhraseCommands[k]) ? "SDCPS"[k] : '.';
        return s;
    };
    for (const auto& [doc, row, enabled, menuId] : cases) {
        SCOPED_TRACE((doc == &w7.doc ? "WQ-7000 row " : "WQ-5000 row ") + std::to_string(row));
        EXPECT_EQ(letters([&](auto k) { return isPhraseCommandEnabled(*doc, row, k); }), enabled);
        const auto menu = phraseContextMenu(*doc, row);
        ASSERT_TRUE(menu);
        EXPECT_EQ(menu->menuId, menuId);
        EXPECT_EQ(letters([&](auto k) { return menu->isEnabled(k); }), enabled);
        EXPECT_EQ(doubleClickAction(*doc, row),
                  row == 0 ? DoubleClickAction::MakePhrase : DoubleClickAction::PhraseSetup);
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
