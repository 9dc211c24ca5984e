// Phrase list texts: whole rows of every phrase type of both models in both
// languages, and the fallbacks for values out of range; and the pattern and
// song editors' step texts at the edges of the banks.
#include <gtest/gtest.h>

#include "card/CWQEDoc.h"
#include "card/NewCard.h"
#include "support/TempDir.h"
#include "view/PatternStepText.h"
#include "view/PhraseListText.h"

namespace wqe {
namespace {

using Row = std::vector<std::string>;
using F = PhraseField;
using Fields = std::vector<std::pair<PhraseField, std::uint32_t>>;
constexpr Language En = Language::English;
constexpr Language Ja = Language::Japanese;

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
    const Row ja = r.row(0, Ja);
    EXPECT_EQ((Row{ja[2], ja[11], ja[18]}), (Row{"ｵﾝｾｲ ", "ｴﾝﾄﾞﾚｽ", " ｵﾌ   "}));

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
        {{{F::Mode, 4}}, 5, En, "H-LINEAR"},
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
    test::TempDir tmp;
    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEDoc doc(prompter, settings);
    EXPECT_EQ(phraseListRowCount(doc), 250);
    Row empty(22, "---");
    empty[0] = "0001";
    EXPECT_EQ(phraseListRow(doc, 0, En), empty);
    ASSERT_TRUE(createCard(tmp.path() / "C5", Model::WQ5000, 1));
    ASSERT_TRUE(doc.openCard((tmp.path() / "C5").string()));
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

}  // namespace
}  // namespace wqe
