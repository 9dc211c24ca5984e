// Phrase list texts: column sets, whole rows of every phrase type of both
// models in both languages, and the fallbacks for values out of range.
#include <gtest/gtest.h>

#include <functional>

#include "card/CWQEDoc.h"
#include "card/NewCard.h"
#include "support/TempDir.h"
#include "view/PhraseListText.h"

namespace wqe {
namespace {

using Row = std::vector<std::string>;
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
    Row row(int i, Language lang) const { return phraseListRow(sys, phr, memo, i, lang); }

    std::vector<std::uint8_t> sysImage, phrImage;
    CWQESys sys;
    CWQEPhr phr;
    CWQEMemo memo;
};

TEST(PhraseListText, ColumnSets) {
    const auto w7 = phraseListColumns(Model::WQ7000, En);
    std::vector<std::string> headers;
    std::vector<int> widths;
    for (const auto& c : w7) {
        headers.push_back(c.header);
        widths.push_back(c.width);
    }
    EXPECT_EQ(headers,
              (Row{"No.",      " NAME    ", "TYPE",    "  TIME  ",    "KPAC Grade", "KPAC MODE",
                   "Rec Type", "Volume",    "Delay",   "Start Point", "End Point",  "Loop",
                   "Loop 1",   "Loop 2",    "Fade In", "Fade Out",    "Repeat",     "Interval",
                   "Control",  "Pattern",   "Temp",    "Memo"}));
    EXPECT_EQ(widths, (std::vector<int>{35, 95,  70,  70, 90, 80, 65, 60, 60, 110, 110,
                                        60, 110, 110, 60, 65, 60, 60, 60, 70, 60,  300}));

    const auto w5 = phraseListColumns(Model::WQ5000, Ja);
    headers.clear();
    widths.clear();
    for (const auto& c : w5) {
        headers.push_back(c.header);
        widths.push_back(c.width);
    }
    EXPECT_EQ(headers, (Row{"No.", " ﾌﾚｰｽﾞ名  ", "ﾌﾚｰｽﾞﾀｲﾌﾟ", " 再生時間", "KPAC Grade",
                            "KPAC MODE", "Rec Type", "再生音量", "遅延時間", "ﾘﾋﾟｰﾄ", "制御出力",
                            "ﾊﾟﾀｰﾝﾓｰﾄﾞ", "ﾃﾝﾎﾟ", "ﾒﾓ"}));
    EXPECT_EQ(widths, (std::vector<int>{35, 95, 70, 70, 90, 80, 65, 60, 60, 60, 60, 70, 60, 300}));
    EXPECT_EQ(phraseListColumns(Model::WQ5000, En)[9].header, "Repeat");
    EXPECT_EQ(phraseListColumns(Model::WQ7000, Ja)[9].header, " ｽﾀｰﾄﾎﾟｲﾝﾄ ");
    EXPECT_EQ(phraseListColumns(Model::WQ7000, Ja)[12].header, " ﾙｰﾌﾟ1");
}

TEST(PhraseListText, WholeRows7000) {
    Records r(Model::WQ7000);
    CWQEPhr& p = r.phr;
    r.sys.setMtcType(3);  // 25 frames
    // Phrase 1: audio with every setting.
    p.setType(0, 1);
    p.setName(0, "WELCOME     ");
    p.setGrade(0, 0);
    p.setMode(0, 0);
    p.setRecordingType(0, 1);
    p.setLength(0, 5000);
    p.setVolume(0, 80);
    p.setDelay(0, 1500);
    p.setRepeatSwitch(0, 1);
    p.setRepeatCount(0, 3);
    p.setRepeatInterval(0, 95);
    p.setFadeIn(0, 4);
    p.setFadeOut(0, 13);
    p.setStartPoint(0, 500);
    p.setEndPoint(0, 5000);
    p.setLoop2Point(0, 2500);
    p.setLoopSwitch(0, 1);
    r.memo.setPhraseMemo(0, "Opening");
    EXPECT_EQ(r.row(0, En), (Row{"0001",
                                 "WELCOME     ",
                                 "AUDIO",
                                 "00:00:10.0s",
                                 "ANNOUNCE",
                                 "LINEAR  ",
                                 "STEREO",
                                 "80%",
                                 "01s12f",
                                 "00h00m01s00f00sf",
                                 "00h00m10s00f00sf",
                                 "ENDLESS",
                                 "00h00m00s00f00sf",
                                 "00h00m05s00f00sf",
                                 " 00.1s",
                                 " 01.0s",
                                 "  3",
                                 "01m35s",
                                 " OFF  ",
                                 "---   ",
                                 "---   ",
                                 "Opening"}));
    const Row ja = r.row(0, Ja);
    EXPECT_EQ(ja[2], "ｵﾝｾｲ ");
    EXPECT_EQ(ja[11], "ｴﾝﾄﾞﾚｽ");
    EXPECT_EQ(ja[18], " ｵﾌ   ");

    // Phrase 2: MIDI.
    p.setType(1, 2);
    p.setName(1, "MIDI SONG   ");
    p.setTempo(1, 115);
    p.setControlOutputSwitch(1, 1);
    p.setControlOutputTime(1, 600);
    p.setRepeatSwitch(1, 1);
    p.setDelay(1, 65535);
    EXPECT_EQ(r.row(1, En), (Row{"0002",
                                 "MIDI SONG   ",
                                 "MIDI ",
                                 "---        ",
                                 "---     ",
                                 "---     ",
                                 "---   ",
                                 "--- ",
                                 "05s13f",
                                 "---             ",
                                 "---             ",
                                 "---  ",
                                 "---             ",
                                 "---             ",
                                 "---    ",
                                 "---    ",
                                 "ENDLESS",
                                 "00m00s",
                                 "10m00s",
                                 "---   ",
                                 "120",
                                 ""}));

    // Phrase 3: pattern; phrase 4: song, in Japanese.
    p.setType(2, 3);
    p.setPatternMode(2, 1);
    p.setVolume(2, 100);
    p.setFadeIn(2, 2);
    p.setFadeOut(2, 3);
    EXPECT_EQ(r.row(2, Ja), (Row{"0003",
                                 "            ",
                                 "ﾊﾟﾀｰﾝ",
                                 "---        ",
                                 "---     ",
                                 "---     ",
                                 "---   ",
                                 "100%",
                                 "00s00f",
                                 "---             ",
                                 "---             ",
                                 "---  ",
                                 "---             ",
                                 "---             ",
                                 " ﾀｲﾑ2  ",
                                 " ﾀｲﾑ3  ",
                                 " ｵﾌ   ",
                                 "00m00s",
                                 " ｵﾌ   ",
                                 "ﾗﾝﾀﾞﾑ1",
                                 "---   ",
                                 ""}));
    p.setType(3, 4);
    p.setFadeIn(3, 1);
    p.setRepeatSwitch(3, 1);
    p.setRepeatCount(3, 12);
    EXPECT_EQ(r.row(3, Ja), (Row{"0004",
                                 "            ",
                                 "ｿﾝｸﾞ ",
                                 "---        ",
                                 "---     ",
                                 " ---    ",
                                 "---   ",
                                 "100%",
                                 "00s00f",
                                 "---             ",
                                 "---             ",
                                 "---  ",
                                 "---             ",
                                 "---             ",
                                 " ﾀｲﾑ1  ",
                                 " ｵﾌ   ",
                                 " 12",
                                 "00m00s",
                                 " ｵﾌ   ",
                                 "---   ",
                                 "---   ",
                                 ""}));

    // Empty slot: every column "---", even with a memo.
    p.erase(3);
    r.memo.setPhraseMemo(3, "left over");
    Row empty(22, "---");
    empty[0] = "0004";
    EXPECT_EQ(r.row(3, En), empty);

    // A type above 4 shows its name and memo over the rebuilt row.
    p.setType(3, 9);
    p.setName(3, "ODD");
    Row odd(22, "");
    odd[0] = "0004";
    for (int k = 1; k <= 13; ++k) odd[k] = "---";
    odd[1] = "ODD";
    odd[21] = "left over";
    EXPECT_EQ(r.row(3, En), odd);
}

TEST(PhraseListText, WholeRows5000) {
    Records r(Model::WQ5000);
    CWQEPhr& p = r.phr;
    // Audio.
    p.setUsed(0, 1);
    p.setName(0, "ANNOUNCE 01");
    p.setGrade(0, 4);
    p.setMode(0, 2);
    p.setLength(0, 4096);
    p.setGrade(0, 0);
    p.setVolume(0, 5);
    p.setDelay(0, 123);
    p.setControlOutput(0, 95);
    r.memo.setPhraseMemo(0, "Gate \x82\xA0");
    EXPECT_EQ(r.row(0, En),
              (Row{"0001", "ANNOUNCE 01", "AUDIO", "00:00:08.1s", "ANNOUNCE", "MODE2 ", "MONO  ",
                   "  5%", "12.3s", " OFF  ", "01m35s", "---   ", "---   ", "Gate あ"}));
    // MIDI.
    p.setUsed(1, 1);
    p.setMidiFlag(1, 1);
    p.setPatternMode(1, 2);  // the MIDI flag wins
    p.setRepeat(1, 95);
    EXPECT_EQ(r.row(1, Ja),
              (Row{"0002", "           ", "MIDI ", "---        ", "---     ", "---   ", "---   ",
                   "--- ", "00.0s", "01m35s", " ｵﾌ   ", "---   ", "120   ", ""}));
    // Pattern.
    p.setUsed(2, 1);
    p.setPatternMode(2, 2);
    p.setMidiFlag(2, 2);  // only 1 marks MIDI
    EXPECT_EQ(r.row(2, Ja),
              (Row{"0003", "           ", "ﾊﾟﾀｰﾝ", "---        ", "---     ", "---   ", "---   ",
                   "--- ", "00.0s", " ｵﾌ   ", " ｵﾌ   ", "ﾗﾝﾀﾞﾑ ", "---   ", ""}));
    // A used byte other than 1 shows an unused slot.
    p.setUsed(3, 2);
    p.setName(3, "HIDDEN");
    EXPECT_EQ(r.row(3, En), (Row{"0004", "---", "---", "---", "---", "---", "---", "---", "---",
                                 "---", "---", "---", "---", "---"}));
}

// One column of one record, for the value tables.
struct CellCase {
    const char* what;
    std::function<void(CWQEPhr&)> set;
    int column;
    Language lang;
    const char* text;
};

void expectCells(Model m, const std::vector<CellCase>& cases, int mtcType = 0) {
    for (const CellCase& c : cases) {
        Records r(m);
        r.sys.setMtcType(mtcType);
        if (m == Model::WQ7000)
            r.phr.setType(0, 1);
        else
            r.phr.setUsed(0, 1);
        c.set(r.phr);
        EXPECT_EQ(r.row(0, c.lang)[c.column], c.text) << c.what;
    }
}

TEST(PhraseListText, Values7000) {
    auto type = [](int t) { return [t](CWQEPhr& p) { p.setType(0, t); }; };
    expectCells(
        Model::WQ7000,
        {
            {"grade 5", [](CWQEPhr& p) { p.setGrade(0, 5); }, 4, En, "S-HIGH  "},
            {"grade 6", [](CWQEPhr& p) { p.setGrade(0, 6); }, 4, En, "---     "},
            {"mode 3", [](CWQEPhr& p) { p.setMode(0, 3); }, 5, En, "MODE3   "},
            {"mode 4", [](CWQEPhr& p) { p.setMode(0, 4); }, 5, En, "H-LINEAR"},
            {"mode 5", [](CWQEPhr& p) { p.setMode(0, 5); }, 5, En, "WAV"},
            {"mode 6", [](CWQEPhr& p) { p.setMode(0, 6); }, 5, En, "---     "},
            {"recording type 2", [](CWQEPhr& p) { p.setRecordingType(0, 2); }, 6, En, "---   "},
            {"volume 0", [](CWQEPhr& p) { p.setVolume(0, 0); }, 7, En, "0%"},
            {"volume 255", [](CWQEPhr& p) { p.setVolume(0, 255); }, 7, En, "255%"},
            {"mode 2 start", [](CWQEPhr& p) { p.setMode(0, 2); }, 9, En, "---             "},
            {"mode 2 loop", [](CWQEPhr& p) { p.setMode(0, 2); }, 11, Ja, "---  "},
            {"mode 2 loop 2", [](CWQEPhr& p) { p.setMode(0, 2); }, 13, En, "---             "},
            {"loop off", [](CWQEPhr&) {}, 11, En, " OFF  "},
            {"loop 7",
             [](CWQEPhr& p) {
                 p.setLoopSwitch(0, 1);
                 p.setLoopCount(0, 7);
             },
             11, En, "  7"},
            {"loop 255",
             [](CWQEPhr& p) {
                 p.setLoopSwitch(0, 2);
                 p.setLoopCount(0, 255);
             },
             11, En, " 255"},
            {"start at 22.05 kHz",
             [](CWQEPhr& p) {
                 p.setGrade(0, 2);
                 p.setStartPoint(0, 100000);
             },
             9, En, "00h01m12s16f00sf"},
            {"start at grade 7",
             [](CWQEPhr& p) {
                 p.setGrade(0, 7);
                 p.setStartPoint(0, 10);
             },
             9, En, "00h00m00s04f08sf"},
            {"end at 48 kHz",
             [](CWQEPhr& p) {
                 p.setGrade(0, 5);
                 p.setEndPoint(0, 3000);
             },
             10, En, "00h00m01s00f00sf"},
            {"loop 1 an hour in", [](CWQEPhr& p) { p.setLoop1Point(0, 1800000); }, 12, En,
             "01h00m00s00f00sf"},
            {"fade 0", [](CWQEPhr&) {}, 14, Ja, " ｵﾌ   "},
            {"fade 602", [](CWQEPhr& p) { p.setFadeOut(0, 602); }, 15, En, " 59.9s"},
            {"fade 65535", [](CWQEPhr& p) { p.setFadeOut(0, 65535); }, 15, En, " 6553.2s"},
            {"interval 65535", [](CWQEPhr& p) { p.setRepeatInterval(0, 65535); }, 17, En,
             "1092m15s"},
            {"control on",
             [](CWQEPhr& p) {
                 p.setControlOutputSwitch(0, 1);
                 p.setControlOutputTime(0, 3599);
             },
             18, En, "59m59s"},
            {"playback at 22.05 kHz",
             [](CWQEPhr& p) {
                 p.setGrade(0, 2);
                 p.setLength(0, 13781);
             },
             3, En, "00:00:09.9s"},
            {"longest playback", [](CWQEPhr& p) { p.setLength(0, 0xFFFFFFFF); }, 3, En,
             "2386:05:34.5s"},
            {"playback of an unknown grade",
             [](CWQEPhr& p) {
                 p.setGrade(0, 9);
                 p.setLength(0, 100);
             },
             3, En, "00:00:00.0s"},
            {"MIDI tempo 255",
             [&](CWQEPhr& p) {
                 type(2)(p);
                 p.setTempo(0, 255);
             },
             20, En, "260"},
            {"pattern SEQUENCE", type(3), 19, En, "SEQUENCE"},
            {"pattern SEQUENCE ja", type(3), 19, Ja, "ｼﾞｭﾝｼﾞ"},
            {"pattern RANDOM2",
             [&](CWQEPhr& p) {
                 type(3)(p);
                 p.setPatternMode(0, 2);
             },
             19, En, "RANDOM2"},
            {"pattern RANDOM3 ja",
             [&](CWQEPhr& p) {
                 type(3)(p);
                 p.setPatternMode(0, 3);
             },
             19, Ja, "ﾗﾝﾀﾞﾑ3"},
            {"pattern mode 4",
             [&](CWQEPhr& p) {
                 type(3)(p);
                 p.setPatternMode(0, 4);
             },
             19, En, "---  "},
            {"song", type(4), 2, En, "SONG "},
            {"pattern", type(3), 2, En, "PATTERN"},
            {"katakana name", [](CWQEPhr& p) { p.setName(0, "\xB1\xB2 X"); }, 1, En, "ｱｲ X"},
        });
}

TEST(PhraseListText, DelayAtEveryMtcType) {
    const char* want[] = {"01s15f", "01s14f", "01s14f", "01s12f", "01s12f", "00s00f"};
    for (int mtc = 0; mtc < 6; ++mtc)
        expectCells(Model::WQ7000,
                    {{"delay 1500", [](CWQEPhr& p) { p.setDelay(0, 1500); }, 8, En, want[mtc]}},
                    mtc);
    // Points follow the MTC type as well: 1000 ms at 29N.
    expectCells(Model::WQ7000,
                {{"start", [](CWQEPhr& p) { p.setStartPoint(0, 500); }, 9, En, "00h00m01s00f00sf"}},
                1);
    expectCells(Model::WQ7000,
                {{"start", [](CWQEPhr& p) { p.setStartPoint(0, 450); }, 9, En, "00h00m00s27f00sf"}},
                1);
}

TEST(PhraseListText, Values5000) {
    expectCells(
        Model::WQ5000,
        {
            {"grade 4", [](CWQEPhr& p) { p.setGrade(0, 4); }, 4, En, "HIGH    "},
            {"grade 5", [](CWQEPhr& p) { p.setGrade(0, 5); }, 4, En, "---     "},
            {"mode 3", [](CWQEPhr& p) { p.setMode(0, 3); }, 5, En, "---   "},
            {"mode 0", [](CWQEPhr&) {}, 5, En, "LINEAR"},
            {"stereo", [](CWQEPhr& p) { p.setRecordingType(0, 1); }, 6, En, "STEREO"},
            {"volume 100", [](CWQEPhr&) {}, 7, En, "100%"},
            {"delay 599", [](CWQEPhr& p) { p.setDelay(0, 599); }, 8, En, "59.9s"},
            {"repeat OFF", [](CWQEPhr& p) { p.setRepeat(0, 32768); }, 9, En, " OFF  "},
            {"repeat 95", [](CWQEPhr& p) { p.setRepeat(0, 95); }, 9, En, "01m35s"},
            {"repeat 0", [](CWQEPhr& p) { p.setRepeat(0, 0); }, 9, En, "00m00s"},
            {"control 32769", [](CWQEPhr& p) { p.setControlOutput(0, 32769); }, 10, En, "546m09s"},
            {"audio ja", [](CWQEPhr&) {}, 2, Ja, "ｵﾝｾｲ "},
            {"SEQUENCE", [](CWQEPhr& p) { p.setPatternMode(0, 1); }, 11, Ja, "ｼﾞｭﾝｼﾞ"},
            {"RANDOM1", [](CWQEPhr& p) { p.setPatternMode(0, 2); }, 11, En, "RANDOM1"},
            {"RANDOM3", [](CWQEPhr& p) { p.setPatternMode(0, 4); }, 11, En, "RANDOM3"},
            {"pattern mode 5", [](CWQEPhr& p) { p.setPatternMode(0, 5); }, 11, En, "---   "},
            {"pattern mode 5 type", [](CWQEPhr& p) { p.setPatternMode(0, 5); }, 2, En, "PATTERN"},
            {"MIDI tempo 0",
             [](CWQEPhr& p) {
                 p.setMidiFlag(0, 1);
                 p.setTempo(0, 0);
             },
             12, En, "  5   "},
            {"MIDI tempo 255",
             [](CWQEPhr& p) {
                 p.setMidiFlag(0, 1);
                 p.setTempo(0, 255);
             },
             12, En, "260   "},
            {"name of 11", [](CWQEPhr& p) { p.setName(0, "ABCDEFGHIJKLMN"); }, 1, En,
             "ABCDEFGHIJK"},
        });
}

TEST(PhraseListText, RowCountAndUnloadedDocument) {
    test::TempDir tmp;
    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEDoc doc(prompter, settings);
    EXPECT_EQ(phraseListRowCount(doc), 250);
    EXPECT_EQ(phraseListRow(doc, 0, En),
              (Row{"0001", "---", "---", "---", "---", "---", "---", "---", "---", "---", "---",
                   "---",  "---", "---", "---", "---", "---", "---", "---", "---", "---", "---"}));
    ASSERT_EQ(createCard(tmp.path() / "C5", Model::WQ5000, 1), "");
    ASSERT_TRUE(doc.openCard((tmp.path() / "C5").string()));
    EXPECT_EQ(phraseListRowCount(doc), 500);
    EXPECT_EQ(phraseListRow(doc, 499, En)[0], "0500");
    EXPECT_EQ(phraseListRow(doc, 499, En).size(), 14u);
    struct Case {
        int code, rows;
    };
    for (const Case c : {Case{0, 250}, Case{2, 1000}, Case{3, 250}, Case{255, 250}}) {
        doc.sys().setPhraseCountCode(c.code);
        EXPECT_EQ(phraseListRowCount(doc), c.rows) << c.code;
    }
    // Rows beyond the records of a short phrase file read as empty.
    EXPECT_EQ(phraseListRow(doc, 900, En)[1], "---");
}

}  // namespace
}  // namespace wqe
