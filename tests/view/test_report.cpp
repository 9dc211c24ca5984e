#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "card/CWQEDoc.h"
#include "card/NewCard.h"
#include "support/TempDir.h"
#include "view/PhraseListText.h"
#include "view/Report.h"
#include "view/ReportPdf.h"

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

// The lines from the one equal to `first` up to and including `last`.
std::string section(const std::string& text, const std::string& first, const std::string& last) {
    const auto all = lines(text);
    const auto begin = std::find(all.begin(), all.end(), first);
    const auto end = std::find(begin, all.end(), last);
    if (begin == all.end() || end == all.end()) return "<missing " + first + " .. " + last + ">";
    std::string out;
    for (auto it = begin; it <= end; ++it) out += *it + "\n";
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
        int all, system, phrase;
    };
    const Case cases[] = {
        {Model::WQ7000, 0, 25, 6, 3, 3},  // 10, 10 and 5 phrases
        {Model::WQ7000, 0, 10, 4, 3, 1},    {Model::WQ7000, 0, 11, 5, 3, 2},
        {Model::WQ7000, 2, 0, 4, 3, 1},  // one empty phrase page
        {Model::WQ5000, 1, 16, 4, 3, 1},    {Model::WQ5000, 1, 17, 5, 3, 2},
        {Model::WQ7000, 2, 333, 37, 3, 34},
    };
    for (const Case& c : cases) {
        OpenedCard card(c.model, c.code, c.used);
        EXPECT_EQ(countUsedPhrases(card.doc), c.used);
        EXPECT_EQ(reportPageCount(card.doc, ReportKind::SystemAndPhrase), c.all) << c.used;
        EXPECT_EQ(reportPageCount(card.doc, ReportKind::System), c.system) << c.used;
        EXPECT_EQ(reportPageCount(card.doc, ReportKind::Phrase), c.phrase) << c.used;
    }
    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEDoc none(prompter, settings);
    for (ReportKind k : {ReportKind::SystemAndPhrase, ReportKind::System, ReportKind::Phrase}) {
        EXPECT_EQ(reportPageCount(none, k), 0);
        EXPECT_EQ(Report(none, k, Language::English, defaultReportMetrics(Language::English))
                      .pages()
                      .size(),
                  0u);
    }
}

TEST(Report, PhrasePagesSplitTheUsedPhrases) {
    OpenedCard card(Model::WQ7000, 0, 25);
    // Page 4 of kind 0 is phrase page 1: title number 1, footer page 4.
    const std::string p4 = card.pageText(ReportKind::SystemAndPhrase, 4);
    EXPECT_NE(p4.find(")     No.1\n"), std::string::npos) << p4;
    EXPECT_NE(p4.find("Page 4\n"), std::string::npos);
    auto phrasesOn = [&](int page) {
        int count = 0;
        for (const auto& line : lines(card.pageText(ReportKind::Phrase, page)))
            count += line.rfind("Memo :", 0) == 0 ? 1 : 0;
        return count;
    };
    EXPECT_EQ(std::vector<int>({phrasesOn(1), phrasesOn(2), phrasesOn(3)}),
              std::vector<int>({10, 10, 5}));
    // The last page holds the used phrases 21..25, i.e. slots 60..72.
    const std::string p3 = card.pageText(ReportKind::Phrase, 3);
    EXPECT_NE(p3.find("\n0061 "), std::string::npos);
    EXPECT_NE(p3.find("\n0073 "), std::string::npos);
    EXPECT_EQ(p3.find("\n0058 "), std::string::npos);

    OpenedCard w5(Model::WQ5000, 1, 16);
    int phrases = 0;
    for (const auto& line : lines(w5.pageText(ReportKind::Phrase, 1)))
        phrases += line.rfind("Memo :", 0) == 0 ? 1 : 0;
    EXPECT_EQ(phrases, 16);
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

TEST(Report, PhraseRowsShowTheListsCellsInItsColumns) {
    for (Model m : {Model::WQ7000, Model::WQ5000}) {
        OpenedCard card(m, 0, 1);
        card.doc.phr().setName(0, "CHIME");
        card.doc.phr().setVolume(0, 80);
        card.doc.memo().setPhraseMemo(0, "front door");
        const Report report(card.doc, ReportKind::Phrase, Language::English,
                            defaultReportMetrics(Language::English));
        const auto cells = phraseListRow(card.doc, 0, Language::English);
        const auto headers = phraseListColumns(m, Language::English);
        const ReportPage page = report.page(1);
        // The cells in order: header and value rows of columns 0..10 and
        // 11..20 (WQ-7000) or 0..12 (WQ-5000), each at its column's print width.
        std::vector<std::pair<std::string, int>> drawn, expected;
        for (const ReportText& t : page.texts)
            if (t.width > 0) drawn.emplace_back(t.text, t.width);
        const std::vector<std::pair<int, int>> rows =
            m == Model::WQ7000 ? std::vector<std::pair<int, int>>{{0, 10}, {11, 20}}
                               : std::vector<std::pair<int, int>>{{0, 12}};
        for (const auto& [first, last] : rows) {
            for (int c = first; c <= last; ++c)
                expected.emplace_back(headers[c].header, report.columns()[c].width);
            for (int c = first; c <= last; ++c)
                expected.emplace_back(cells[c], report.columns()[c].width);
        }
        EXPECT_EQ(drawn, expected);
        EXPECT_NE(reportPageText(page, report.metrics()).find("\nMemo : front door\n"),
                  std::string::npos);
        // A 3-unit rule under each value row.
        const auto thick = std::count_if(page.lines.begin(), page.lines.end(),
                                         [](const ReportLine& l) { return l.width == 3; });
        EXPECT_EQ(thick, m == Model::WQ7000 ? 2 : 1);
        // "No." / "0001": four characters and one, times the character width.
        EXPECT_EQ(report.columns()[0].width, 5 * report.metrics().charWidth);
    }
}

TEST(Report, SystemPage1OfBothModels) {
    OpenedCard w7(Model::WQ7000);
    CWQESys& s7 = w7.doc.sys();
    s7.setLineThruVolume(75);
    s7.setLineThruFadeIn(123);
    s7.setDisplaySleepSwitch(1);
    s7.setDisplaySleepTime(95);
    s7.setEqLowGain(0);
    s7.setEqHighFreq(1);
    s7.setBusyOutPlayback(1);
    s7.setBaudRate(3);
    s7.setWqLinkMode(2);
    const std::string p7 = w7.pageText(ReportKind::System, 1);
    EXPECT_EQ(section(p7, "System Settings", "  WQ-LINK Mode       : SLAVE"),
              "System Settings\n"
              "  Dual Mono Mode    : OFF\n"
              "\n"
              "  Line Thru settings\n"
              "    Line Thru        : OFF\n"
              "    Line Thru Volume : 75%\n"
              "    Fade In          : 12.3s\n"
              "    Fade Out         : 0.5s\n"
              "\n"
              "  Busy Out settings\n"
              "    During Delay Time     : OFF\n"
              "    During Phrase Playback: ON\n"
              "    During Repeat Interval: OFF\n"
              "\n"
              "  Display Sleep : 01m35s\n"
              "  Output Volume Thru : OFF\n"
              "\n"
              "  Equalizer settings\n"
              "    Switch           : OFF\n"
              "    Low Freq         : 200Hz\n"
              "    Low Gain         : -12dB\n"
              "    Hi Freq          : 6KHz\n"
              "    Hi Gain          : 0dB\n"
              "    Attenuation      : 0dB\n"
              "\n"
              "RS-232C Setting\n"
              "  Baud Rate         : 38400\n"
              "\n"
              "Card Editing\n"
              "  Card Protect      : OFF\n"
              "\n"
              "WQ-LINK Setting\n"
              "  WQ-LINK Mode       : SLAVE\n");

    // The WQ-5000 leaves the WQ-7000 lines blank and omits the equalizer.
    OpenedCard w5(Model::WQ5000);
    w5.doc.sys().setLineThru(2);
    w5.doc.sys().setBusyOutCode(2);
    const std::string p5 = w5.pageText(ReportKind::System, 1);
    EXPECT_EQ(section(p5, "System Settings", "  Card Protect      : OFF"),
              "System Settings\n"
              "  Dual Mono Mode    : OFF\n"
              "\n"
              "  Line Thru settings\n"
              "    Line Thru        : OFF\n"
              "\n\n\n\n"
              "  Busy Out settings\n"
              "    During Delay Time     : OFF\n"
              "\n"
              "    During Repeat Interval: ON\n"
              "\n\n\n\n"
              "RS-232C Setting\n"
              "  Baud Rate         : 9600\n"
              "\n"
              "Card Editing\n"
              "  Card Protect      : OFF\n");
    EXPECT_EQ(p5.find("WQ-LINK"), std::string::npos);
    // Mute and Mix are items of the WQ-5000 line thru list, not a switch.
    w5.doc.sys().setLineThru(1);
    EXPECT_EQ(lineStartingWith(w5.pageText(ReportKind::System, 1), "    Line Thru "),
              "    Line Thru        : Mix");
}

TEST(Report, HeadFooterAndMemoBox) {
    OpenedCard card(Model::WQ7000);
    card.doc.memo().setSystemMemo("first line\nsecond line\n");
    const Report report(card.doc, ReportKind::System, Language::English,
                        defaultReportMetrics(Language::English));
    const ReportPage page = report.page(2);
    const std::string folder = card.doc.folderPrefix();
    auto at = [&](const std::string& text) {
        return std::find_if(page.texts.begin(), page.texts.end(),
                            [&](const ReportText& t) { return t.text == text; });
    };
    const int lh = report.metrics().lineHeight;
    const auto title = at("System Info. (Folder:" + folder + ")     No.2");
    ASSERT_NE(title, page.texts.end());
    EXPECT_EQ(std::pair(title->x, title->y), std::pair(kReportLeftMargin, 2 * lh));
    const auto number = at("Page 2");
    ASSERT_NE(number, page.texts.end());
    EXPECT_EQ(std::tuple(number->x, number->y, number->align),
              std::tuple(kReportPageNumberRight, 15000, ReportAlign::Right));
    ASSERT_NE(at(card.doc.systemPath()), page.texts.end());

    const ReportPage first = report.page(1);
    ASSERT_EQ(first.boxes.size(), 1u);
    EXPECT_EQ(first.boxes[0].lines, (std::vector<std::string>{"first line", "second line"}));
    EXPECT_EQ(first.boxes[0].height, 10 * lh);
}

TEST(Report, ChannelLines) {
    struct Case {
        Model model;
        std::uint16_t value;
        const char* line;
    };
    const Case cases[] = {
        {Model::WQ7000, 0, "    CH01: A0001"},    {Model::WQ7000, 999, "    CH01: A1000"},
        {Model::WQ7000, 1000, "    CH01: B0001"}, {Model::WQ7000, 1999, "    CH01: B1000"},
        {Model::WQ7000, 2000, "    CH01: -----"}, {Model::WQ7000, 16384, "    CH01: PLAY"},
        {Model::WQ7000, 4095, "    CH01: -----"}, {Model::WQ7000, 32768, "    CH01: -----"},
        {Model::WQ5000, 499, "    CH01: A500"},   {Model::WQ5000, 500, "    CH01: B001"},
        {Model::WQ5000, 999, "    CH01: B500"},   {Model::WQ5000, 1000, "    CH01: ----"},
        {Model::WQ5000, 4095, "    CH01: PLAY"},  {Model::WQ5000, 16384, "    CH01: ----"},
        {Model::WQ5000, 65535, "    CH01: ----"},
    };
    for (const Case& c : cases) {
        OpenedCard card(c.model);
        auto table = card.doc.sys().getDirectPlayTable();
        table[0] = c.value;
        card.doc.sys().setDirectPlayTable(table);
        const std::string page = card.pageText(ReportKind::System, 2);
        EXPECT_EQ(lineStartingWith(page, "    CH01: "), c.line) << c.value;
        EXPECT_EQ(lineStartingWith(page, "    CH16: "),
                  c.model == Model::WQ7000 ? "    CH16: A0016" : "    CH16: A016");
    }
}

TEST(Report, ProgramPlayTableInFiveColumns) {
    for (Model m : {Model::WQ7000, Model::WQ5000}) {
        OpenedCard card(m);
        auto table = card.doc.sys().getProgramPlayTable(0);
        table[20] = refPlay(m);  // no PLAY in a program table
        table[99] = static_cast<std::uint16_t>(highestPhraseCount(m) + 4);
        card.doc.sys().setProgramPlayTable(0, table);
        const Report report(card.doc, ReportKind::System, Language::English,
                            defaultReportMetrics(Language::English));
        const ReportPage page = report.page(2);
        auto find = [&](const std::string& prefix) {
            return *std::find_if(page.texts.begin(), page.texts.end(),
                                 [&](const ReportText& t) { return t.text.rfind(prefix, 0) == 0; });
        };
        const bool w7 = m == Model::WQ7000;
        const ReportText first = find("    No.001: ");
        EXPECT_EQ(first.text, w7 ? "    No.001: A0001" : "    No.001: A001");
        const int lh = report.metrics().lineHeight;
        const std::vector<std::pair<const char*, std::pair<int, int>>> placed = {
            {"    No.020: ", {0, 19}},
            {"    No.021: ", {2000, 0}},
            {"    No.061: ", {6000, 0}},
            {"    No.081: ", {8000, 0}},
            {"    No.100: ", {8000, 19}}};
        for (const auto& [prefix, where] : placed) {
            const ReportText t = find(prefix);
            EXPECT_EQ(std::pair(t.x - first.x, t.y - first.y),
                      std::pair(where.first, where.second * lh))
                << prefix;
        }
        EXPECT_EQ(find("    No.021: ").text, w7 ? "    No.021: -----" : "    No.021: ----");
        EXPECT_EQ(find("    No.100: ").text, w7 ? "    No.100: B0005" : "    No.100: B005");
        // The next heading follows the twentieth line.
        EXPECT_EQ(find("  Program Play 2 : ").y, first.y + 20 * lh);
    }
}

TEST(Report, SystemPage3Values) {
    OpenedCard w7(Model::WQ7000);
    CWQESys& s = w7.doc.sys();
    s.setControlInputMode(2);
    s.setDirectPlaybackKind(1);  // a pair no item stands for
    s.setMidiChannel(20);
    s.setMtcType(2);
    s.setMtcErrorLevel(7);
    const std::string p = w7.pageText(ReportKind::System, 3);
    EXPECT_EQ(lineStartingWith(p, "  Control Input Select"), "  Control Input Select    :");
    EXPECT_EQ(lineStartingWith(p, "  Binary Playback Trigger"),
              "  Binary Playback Trigger : Level:ON,Edge:OFF");
    EXPECT_EQ(lineStartingWith(p, "  MIDI Channel"), "  MIDI Channel  : ALL");
    EXPECT_EQ(lineStartingWith(p, "    MTC Type"), "    MTC Type         : 29D");
    EXPECT_EQ(lineStartingWith(p, "    Error Level"), "    Error Level      : 7");

    OpenedCard w5(Model::WQ5000);
    w5.doc.sys().setControlInputSelect(1);
    w5.doc.sys().setBinaryTrigger(1);
    const std::string p5 = w5.pageText(ReportKind::System, 3);
    EXPECT_EQ(lineStartingWith(p5, "  Control Input Select"),
              "  Control Input Select    : Direct Playback(Last-IN)");
    EXPECT_EQ(lineStartingWith(p5, "  Binary Playback Trigger"),
              "  Binary Playback Trigger : Edge");
    EXPECT_EQ(p5.find("MMC"), std::string::npos);
}

TEST(Report, JapaneseTexts) {
    OpenedCard card(Model::WQ7000, 0, 1);
    card.doc.sys().setControlInputMode(1);
    const std::string p1 = card.pageText(ReportKind::SystemAndPhrase, 1, Language::Japanese);
    EXPECT_EQ(lineStartingWith(p1, "    Line Thru "), "    Line Thru        : ｵﾌ");
    EXPECT_EQ(lineStartingWith(p1, "  Display Sleep"), "  Display Sleep : ｵﾌ");
    const std::string p3 = card.pageText(ReportKind::SystemAndPhrase, 3, Language::Japanese);
    EXPECT_EQ(lineStartingWith(p3, "  Control Input Select"),
              "  Control Input Select    : ｶｳﾝﾄ再生");
    EXPECT_EQ(lineStartingWith(p3, "  Binary Playback Trigger"),
              "  Binary Playback Trigger : ﾚﾍﾞﾙ:ｵﾝ, ｴｯｼﾞ:ｵﾌ");
    EXPECT_EQ(lineStartingWith(p3, "  Treminal REC"), "  Treminal REC       : ﾊﾞｲﾅﾘ1");
    EXPECT_EQ(lineStartingWith(p3, "  Note Trigger"), "  Note Trigger  : ﾄﾘｶﾞ");
    EXPECT_EQ(lineStartingWith(p3, "    Sync Source"), "    Sync Source      : ｲﾝﾀｰﾅﾙ");
    const std::string p4 = card.pageText(ReportKind::SystemAndPhrase, 4, Language::Japanese);
    EXPECT_NE(p4.find("ﾌﾚｰｽﾞ名"), std::string::npos);
    EXPECT_NE(p4.find("ｵﾝｾｲ"), std::string::npos);
    EXPECT_NE(p4.find("\nﾒﾓ :"), std::string::npos);

    const Report report(card.doc, ReportKind::System, Language::Japanese,
                        defaultReportMetrics(Language::Japanese));
    const ReportPage page = report.page(1);
    const auto number = std::find_if(page.texts.begin(), page.texts.end(),
                                     [](const ReportText& t) { return t.text == "Page 1"; });
    ASSERT_NE(number, page.texts.end());
    EXPECT_EQ(number->y, 15840);
    EXPECT_STREQ(reportFont(Language::Japanese).face, "ＭＳ ゴシック");
}

TEST(Report, WrapAndWidth) {
    struct Case {
        const char* text;
        int columns;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"abc def", 5, {"abc", "def"}},  {"abcdefgh", 3, {"abc", "def", "gh"}},
        {"a\nb\n", 10, {"a", "b"}},      {"a\n\nb", 10, {"a", "", "b"}},
        {"ｱｲｳ漢字", 4, {"ｱｲｳ", "漢字"}}, {"", 10, {""}},
    };
    for (const Case& c : cases) EXPECT_EQ(wrapReportText(c.text, c.columns), c.lines) << c.text;
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
        const std::string firstEntry = pdf.substr(xref + 20, 10);
        const std::size_t offset = std::stoul(firstEntry);
        EXPECT_EQ(pdf.substr(offset, 8), "1 0 obj\n");
    }
}

}  // namespace
}  // namespace wqe
