// Dropping data files on the phrase list and the copy dialog's information
// lines.
#include <gtest/gtest.h>

#include <fstream>

#include "card/PatternFile.h"
#include "maintenance/CardFixture.h"
#include "maintenance/CopyInformation.h"
#include "maintenance/PhraseDrop.h"

namespace wqe {
namespace {

using test::OpenCard;
using test::TempDir;
using test::writeBytes;

TEST(PhraseDrop, PlanRefusesBeforeAnythingIsWritten) {
    struct Case {
        Model model;
        std::vector<std::string> names;
        int row;
        std::string refusalHas;  // "" when the plan goes ahead
    };
    const Case cases[] = {
        {Model::WQ7000, {"a.wav", "b.WAV"}, 3, ""},
        {Model::WQ7000, {"a.PHR", "b.mid"}, 3, ""},
        {Model::WQ7000, {"a.wav", "b.wav"}, 4, "Phrase 0006 is in use"},  // second row used
        {Model::WQ5000, {"a.PHR"}, 5, "Phrase 006 is in use"},
        {Model::WQ5000, {"a.wav"}, 0, "does not play WAV"},
        {Model::WQ7000, {"notes.txt"}, 0, "notes.txt: not a .WAV, .PHR or .MID"},
        {Model::WQ7000, {"a.wav", "b.wav"}, 249, "the card ends at 0250"},
        {Model::WQ7000, {"a.wav"}, 250, "not a phrase slot"},
        {Model::WQ7000, {"a.PHR", "b.wav"}, 10, "_WQP0012.MID lies in the card folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refusalHas);
        TempDir t;
        OpenCard card(t.path(), c.model);
        test::registerAs(card.doc, 5, kTypeAudio);
        writeBytes(t / "_WQP0012.MID", test::midiFile(0));  // stray file of empty slot 11
        std::vector<fs::path> files;
        for (const auto& n : c.names) files.push_back(t / n);
        const DropPlan plan = planPhraseDrop(card.doc, c.row, files);
        if (c.refusalHas.empty()) {
            EXPECT_TRUE(plan.ok());
            ASSERT_EQ(plan.items.size(), files.size());
            EXPECT_EQ(plan.items.back().slot, c.row + static_cast<int>(files.size()) - 1);
        } else {
            EXPECT_FALSE(plan.ok());
            EXPECT_NE(plan.refusal.find(c.refusalHas), std::string::npos) << plan.refusal;
        }
    }
}

TEST(PhraseDrop, WavAndMidiFilesBecomeUndoablePhrases) {
    TempDir src, t;
    OpenCard card(t.path(), Model::WQ7000);
    card.doc.setLanguage(Language::English);
    writeBytes(src / "voice.wav", test::wavFile(2, 44100, 16, 1000));
    writeBytes(src / "tune.MID", test::midiFile(500000));
    writeBytes(src / "bad.wav", {'R', 'I', 'F', 'F'});  // cut short
    const DropResult r = dropPhraseFiles(
        card.doc, 2, {src / "voice.wav", src / "tune.MID", src / "bad.wav"}, card.prompter);

    EXPECT_EQ(r.registered, (std::vector<int>{2, 3}));
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_NE(r.errors[0].find("bad.wav"), std::string::npos);
    EXPECT_EQ(card.prompter.messages, std::vector<std::string>{"Conversion failed."});
    // The WAV phrase is padded to whole blocks (1000 frames -> 1008).
    EXPECT_EQ(fs::file_size(t / "_WQP0003.WAV"), 44u + 4032u);
    EXPECT_EQ(card.doc.phr().getMode(2), kModeWav);
    EXPECT_EQ(card.doc.phr().getLength(2), 63u);
    EXPECT_EQ(card.doc.phr().getType(3), static_cast<std::uint32_t>(kTypeMidi));
    EXPECT_TRUE(fs::exists(t / "_WQP0004.MID"));
    EXPECT_FALSE(fs::exists(t / "_WQP0005.WAV"));
    EXPECT_FALSE(card.doc.phr().isUsed(4));

    // Each registration is one undo step; the data files stay.
    ASSERT_TRUE(card.doc.undo());
    ASSERT_TRUE(card.doc.undo());
    EXPECT_FALSE(card.doc.phr().isUsed(2));
    EXPECT_FALSE(card.doc.phr().isUsed(3));
    EXPECT_TRUE(fs::exists(t / "_WQP0003.WAV"));
    EXPECT_EQ(phraseDataFilesOf(card.doc, {2, 3}).size(), 0u);
}

TEST(CopyInformation, SummariesAndMemberPagesByKind) {
    TempDir src, t;
    OpenCard card(t.path(), Model::WQ7000);
    card.doc.setLanguage(Language::English);

    // A WQ-7000 pattern: step 1 plays A0002 at 50 % after 1.5 s, step 101
    // (first interrupt step) plays B0001; everything else is unused.
    PatternData pattern(PatternKind::Pattern7000);
    pattern.setStepRef(0, 1);
    pattern.setStepVolume(0, 50);
    pattern.setStepInterval(0, 15);
    pattern.setStepRef(100, 1000);
    ASSERT_TRUE(writePatternFile(src / "p.PHR", pattern));
    ScriptedPrompter quiet;
    const CopySource pat = evaluateSource(src / "p.PHR", card.doc, quiet);
    ASSERT_TRUE(pat.usable()) << pat.problem;
    const auto pages = memberPages(pat, Model::WQ7000, 0, Language::English);
    ASSERT_EQ(pages.size(), 9u);
    EXPECT_EQ(pages[0].caption, "No.1~No.15(Click inside to have next one displayed)");
    EXPECT_EQ(pages[6].caption, "No.91~No.100(Click inside to have next one displayed)");
    EXPECT_EQ(pages[8].caption, "No.116~No.128(Click inside to have next one displayed)");
    EXPECT_EQ(pages[0].lines[0],
              "A0002: 50%:01.5|-----:----:00.0|-----:----:00.0|-----:----:00.0|-----:----:00.0|");
    EXPECT_EQ(pages[7].lines[0].substr(0, 2 * 16), "B0001:100%:--.-|-----:----:--.-|");

    const CopyInformation info =
        copyInformation(&pat, card.doc, Language::English, 6, {"Phrase Type: Pattern Phrases"}, 10);
    EXPECT_EQ(info.pages, 9);
    EXPECT_EQ(info.caption,
              "Name: " + defaultPhraseName(card.doc.sys().getCardName(), 6, Model::WQ7000) +
                  " (Pattern Phrase)");
    EXPECT_EQ(info.lines[0], "Memo : ");
    EXPECT_EQ(info.lines[1],
              "Phrase Type: Pattern Phrases  Volume:100%|Control:OFF|Delay:00s00f|"
              "Repeat:OFF|Pattern:SEQUENCE|");
    EXPECT_EQ(info.lines[2], pages[1].caption);  // page 10 of 9 is the second

    // Nothing usable: the caption and six dashes.
    const CopyInformation none = copyInformation(nullptr, card.doc, Language::English, 0, {}, 0);
    EXPECT_EQ(none.caption, "File Infomation");
    for (const auto& line : none.lines) EXPECT_EQ(line, "-----");

    // A WQ-5000 MIDI source: tempo first, repeat on with its interval.
    TempDir t5;
    OpenCard card5(t5.path(), Model::WQ5000);
    writeBytes(src / "m.MID", test::midiFile(500000));
    CopySource midi = evaluateSource(src / "m.MID", card5.doc, quiet);
    ASSERT_TRUE(midi.usable()) << midi.problem;
    ASSERT_TRUE(buildRecord(midi, card5.doc, 0, midi.candidate, midi.problem));
    CWQEPhr rec;
    rec.setModel(Model::WQ5000);
    rec.attach(midi.candidate);
    rec.setRepeat(0, 95);
    rec.setDelay(0, 12);
    EXPECT_EQ(copySettingsSummary(midi, card5.doc, Language::English),
              "Tempo:120|Control:OFF|Delay:01.2s|Repeat:ON|Interval:01m35s|");
    EXPECT_EQ(copySettingsSummary(midi, card5.doc, Language::Japanese),
              "ﾃﾝﾎﾟ:120|制御出力:ｵﾌ|遅延時間:01.2s|ﾘﾋﾟｰﾄ:ｵﾝ|ﾘﾋﾟｰﾄ間隔:01m35s|");
}

}  // namespace
}  // namespace wqe
