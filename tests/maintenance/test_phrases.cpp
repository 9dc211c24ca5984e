// Copying, deleting and dropping phrases, and the copy dialog's information
// lines.
#include <gtest/gtest.h>

#include <functional>

#include "card/PatternFile.h"
#include "maintenance/CardFixture.h"
#include "maintenance/CopyInformation.h"
#include "maintenance/PhraseCopy.h"
#include "maintenance/PhraseDelete.h"
#include "maintenance/PhraseDrop.h"

namespace wqe {
namespace {

using test::Bytes;
using test::OpenCard;
using test::readBytes;
using test::TempDir;
using test::writeBytes;
using test::writeText;
using DeleteStatus = PhraseDeleteResult::Status;

// The destination card, named so that built records have a known name.
struct Card : test::OpenCard {
    Card(const fs::path& folder, Model m, int code = 0) : OpenCard(folder, m, code) {
        doc.sys().setCardName("SHOPCARD");
    }
    CopySource source(const fs::path& file) { return evaluateSource(file, doc, prompter); }
    CopyResult copy(const CopySource& s, int slot) { return copyPhrase(doc, s, slot, prompter); }
};

// What each kind of source file becomes on each model: a record built from
// the file, or a refusal that copies and registers nothing.
TEST(PhraseCopy, RecordsBuiltFromTheFileOrRefused) {
    using F = PhraseField;
    constexpr Model W7 = Model::WQ7000, W5 = Model::WQ5000;
    const Bytes badMidi = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 1, 0, 0, 1, 0, 96};
    const Bytes ffThenTempo = {'M', 'T', 'h', 'd',  0,    0,    0,    6,    0,    0,   0,
                               1,   0,   96,  0xFF, 0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0};
    const struct {
        Model model;
        const char* file;
        Bytes bytes;
        SourceKind kind;
        const char* problem;                                        // "" when usable
        std::vector<std::pair<PhraseField, std::uint32_t>> fields;  // of the built record
    } cases[] = {
        // clang-format off
        // Registration at the card layer pins the fields taken from the file;
        // these are the kind, the copy's own defaults and MODE2's end point 0.
        {W5, "_WQP0012.PHR", test::kpacFile(4, 2, 1, 300), SourceKind::Audio, "",
         {{F::Used, 1}, {F::DataFileLength, 16 + 300 * 20}, {F::Volume, 100}}},
        {W7, "x.phr", test::kpacFile(5, 2, 0, 40), SourceKind::Audio, "",
         {{F::Type, kTypeAudio}, {F::EndPoint, 0}, {F::Registered, 1}, {F::Tempo, 115}}},
        {W7, "x.PHR", test::kpacFile(3, 1, 1, 40), SourceKind::Audio, "", {{F::EndPoint, 40}}},
        {W5, "p.PHR", test::patternFile(0, 512), SourceKind::Pattern5000, "",
         {{F::PatternMode, 1}, {F::Volume, 0}, {F::Tempo, 0}}},
        {W7, "p.PHR", test::patternFile(1, 1024), SourceKind::Pattern7000, "",
         {{F::Type, kTypePattern}, {F::Grade, 3}, {F::Mode, 3}, {F::Tempo2, 115}}},
        {W7, "s.PHR", test::patternFile(2, 1030), SourceKind::Song, "", {{F::Type, kTypeSong}}},
        {W7, "ff.mid", ffThenTempo, SourceKind::Midi, "",  // the type byte 0xFF starts nothing
         {{F::Type, kTypeMidi}, {F::Tempo, 115}}},
        {W5, "m.MID", test::midiFile(0), SourceKind::Midi, "", {{F::MidiFlag, 1}, {F::Volume, 0}}},
        {W7, "w.wav", test::wavFile(2, 8000, 16, 32), SourceKind::Audio, "", {{F::Mode, kModeWav}}},
        {W5, "w.wav", test::wavFile(1, 8000, 16, 32), SourceKind::Unusable, "WAV phrases", {}},
        {W7, "w.wav", test::wavFile(1, 8000, 24, 32), SourceKind::Unusable, "24 bits", {}},
        {W5, "a.PHR", test::kpacFile(5, 1, 0, 4), SourceKind::BadAudio, "grade or mode", {}},
        {W7, "a.PHR", test::kpacFile(7, 1, 0, 4), SourceKind::BadAudio, "grade 7", {}},
        {W5, "p.PHR", test::patternFile(1, 1024), SourceKind::Pattern7000, "layout", {}},
        {W7, "short.PHR", Bytes(15, 'Q'), SourceKind::Unusable, "16 bytes", {}},
        {W7, "p.PHR", test::patternFile(1, 100), SourceKind::Pattern7000, "pattern phrase is wrong", {}},
        {W7, "s.PHR", test::patternFile(2, 800), SourceKind::Song, "song phrase is wrong", {}},
        {W7, "m.MID", badMidi, SourceKind::BadMidi, "MIDI", {}},
        {W7, "notes.txt", {'h', 'i'}, SourceKind::Unusable, ".PHR, .MID or .WAV", {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(modelName(c.model)) + " " + c.file);
        TempDir t;
        // A source folder of the other model: its settings file is not the card's.
        test::makeCard(t / "src", c.model == W7 ? W5 : W7);
        writeBytes(t / "src" / c.file, c.bytes);
        Card card(t / "card", c.model);
        const CopySource s = card.source(t / "src" / c.file);
        EXPECT_EQ(s.kind, c.kind);
        const auto r = card.copy(s, 9);
        if (*c.problem) {
            EXPECT_FALSE(s.usable());
            EXPECT_NE(s.problem.find(c.problem), std::string::npos) << s.problem;
            EXPECT_EQ(r.status, CopyResult::Status::NotCopied);
            EXPECT_FALSE(card.doc.phr().isUsed(9));
            EXPECT_EQ(std::distance(fs::directory_iterator(t / "card"), fs::directory_iterator()),
                      3);
            continue;
        }
        EXPECT_TRUE(s.candidateEmpty());
        ASSERT_EQ(r.status, CopyResult::Status::Copied) << r.error << s.problem;
        EXPECT_EQ(r.destination.filename(), "_WQP0010." + s.extension);
        for (const auto& [field, value] : c.fields)
            EXPECT_EQ(card.doc.phr().get(9, field), value) << phraseFieldInfo(field).name;
        EXPECT_EQ(card.doc.phr().getName(9), c.model == W7 ? "SHOPCARD010 " : "SHOPCARD010");
    }
}

TEST(PhraseCopy, AFailedCopyRegistersNothing) {
    TempDir t;
    fs::create_directories(t / "src");
    writeBytes(t / "src" / "a.PHR", test::kpacFile(3, 3, 0, 8));
    Card card(t / "card", Model::WQ7000);
    fs::create_directories(t / "card" / "_WQP0001.PHR" / "blocker");
    const auto r = card.copy(card.source(t / "src" / "a.PHR"), 0);
    EXPECT_EQ(r.status, CopyResult::Status::CopyFailed);
    EXPECT_EQ(card.prompter.messages, std::vector<std::string>{kMsgCopyFailed});
    EXPECT_NE(r.error.find("a.PHR"), std::string::npos);
    EXPECT_FALSE(card.doc.phr().isUsed(0));
    EXPECT_FALSE(card.doc.isModified());
}

TEST(PhraseCopy, CandidateOfAnotherKindIsReplacedAndBusySlotsRefused) {
    TempDir t;
    test::OpenCard src(t / "src", Model::WQ7000);
    test::registerAs(src.doc, 0, kTypeMidi);  // the settings say MIDI, the file is KPAC
    src.save();
    writeBytes(t / "src" / "_WQP0001.PHR", test::kpacFile(3, 3, 0, 8));

    Card card(t / "card", Model::WQ7000);
    const CopySource s = card.source(t / "src" / "_WQP0001.PHR");
    EXPECT_TRUE(s.candidateEmpty());
    card.doc.phr().setType(2, kTypeAudio);
    EXPECT_EQ(card.copy(s, 2).status, CopyResult::Status::NotCopied);
    EXPECT_EQ(card.copy(s, 250).status, CopyResult::Status::NotCopied);
    EXPECT_FALSE(fs::exists(t / "card" / "_WQP0003.PHR"));
}

// The record and memo come from the source folder when it is a card: the
// whole record, name and volume included, not one built from the header.
// Otherwise the record is built and the memo line comes from the folder's
// memo file, if any.
TEST(PhraseCopy, RecordAndMemoFromTheSourceFolder) {
    const struct {
        const char* what;
        Model model;
        std::function<void(const fs::path&)> prepare;
        const char* memo;
        std::size_t messages;  // "Unable to open Memo file" before the copy message
        bool fromCard;         // the record is the source card's
    } cases[] = {
        {"source card", Model::WQ7000,
         [](const fs::path& d) {
             test::OpenCard src(d, Model::WQ7000);
             test::registerAs(src.doc, 6, kTypeAudio, "FROM SOURCE");
             src.doc.phr().setVolume(6, 77);
             src.doc.memo().setPhraseMemo(6, "memo seven");
             src.save();
         },
         "memo seven", 0, true},
        {"no memo file", Model::WQ5000, [](const fs::path&) {}, "", 0, false},
        {"memo line 7, three-digit prefixes", Model::WQ5000,
         [](const fs::path& d) {
             writeText(d / "wqe_memo.txt",
                       "SystemMemo:\r\nPhraseMemo:\r\n001:one\r\n002:\r\n003:\r\n"
                       "004:\r\n005:\r\n006:\r\n007:seven: with colon\r\n");
         },
         "seven: with colon", 0, false},
        {"unreadable memo file", Model::WQ5000,
         [](const fs::path& d) { fs::create_directories(d / "WQE_MEMO.TXT"); }, "", 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(modelName(c.model)) + " " + c.what);
        TempDir t;
        fs::create_directories(t / "src");
        c.prepare(t / "src");
        writeBytes(t / "src" / "_WQP0007.PHR", test::kpacFile(1, 1, 0, 10));
        Card card(t / "card", c.model);
        const auto s = card.source(t / "src" / "_WQP0007.PHR");
        ASSERT_TRUE(s.usable()) << s.problem;
        EXPECT_EQ(s.sourceNumber, 7);
        EXPECT_EQ(card.prompter.messages.size(), c.messages);
        const auto r = card.copy(s, 4);
        ASSERT_EQ(r.status, CopyResult::Status::Copied) << r.error;
        EXPECT_EQ(readBytes(t / "card" / "_WQP0005.PHR"), test::kpacFile(1, 1, 0, 10));
        const std::string name = card.doc.phr().getName(4);
        EXPECT_TRUE(name.starts_with(c.fromCard ? "FROM SOURCE" : "SHOPCARD005")) << name;
        EXPECT_EQ(card.doc.phr().getVolume(4), c.fromCard ? 77u : 100u);
        EXPECT_EQ(card.doc.memo().phraseMemo(4), c.memo);
        EXPECT_TRUE(card.doc.isModified());
        EXPECT_EQ(r.nextSlot, 5);
    }
}

// Deletes phrase 7 registered as `kind`; only the file the record names goes.
TEST(PhraseDelete, DeletesTheDataFileTheRecordNames) {
    const struct {
        Model model;
        int kind;
        const char* gone;
    } cases[] = {
        {Model::WQ5000, kTypeMidi, "MID"},
        {Model::WQ7000, test::kKindWav, "WAV"},
        {Model::WQ7000, kTypePattern, "PHR"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(modelName(c.model)) + " " + c.gone);
        TempDir t;
        OpenCard card(t.path(), c.model, 0, {Answer::Yes});
        for (const char* ext : {"PHR", "MID", "WAV"})
            writeText(t / ("_WQP0007." + std::string(ext)), ext);
        test::registerAs(card.doc, 6, c.kind);
        card.doc.memo().setPhraseMemo(6, "kept memo");

        const auto r = deletePhrase(card.doc, 6, card.prompter);
        EXPECT_EQ(r.status, DeleteStatus::Deleted);
        EXPECT_EQ(card.prompter.questions.size(), 1u);
        EXPECT_TRUE(r.fileRemoved);
        for (const char* ext : {"PHR", "MID", "WAV"})
            EXPECT_EQ(fs::exists(t / ("_WQP0007." + std::string(ext))), ext != std::string(c.gone));

        // The record is now the erased record, byte for byte.
        const auto erased = CWQEPhr::erasedImage(c.model, 1);
        const auto image = card.doc.phr().image();
        EXPECT_TRUE(std::equal(erased.begin(), erased.end(),
                               image.begin() + 6 * phraseRecordSize(c.model)));
        EXPECT_EQ(card.doc.memo().phraseMemo(6), "kept memo");
        EXPECT_TRUE(card.doc.isModified());
    }
}

TEST(PhraseDelete, EmptySlotDeclinedMissingOrStuckFile) {
    TempDir t;
    OpenCard card(t.path(), Model::WQ7000, 0, {Answer::No}, Answer::Yes);
    CWQEDoc& doc = card.doc;
    ScriptedPrompter& p = card.prompter;
    // Empty slot: nothing is asked.
    EXPECT_EQ(deletePhrase(doc, 0, p).status, DeleteStatus::NotDeleted);
    EXPECT_EQ(deletePhrase(doc, 5000, p).status, DeleteStatus::NotDeleted);
    EXPECT_TRUE(p.questions.empty());

    doc.phr().setType(0, kTypeAudio);
    writeText(t / "_WQP0001.PHR", "x");
    EXPECT_EQ(deletePhrase(doc, 0, p).status, DeleteStatus::Declined);
    EXPECT_TRUE(fs::exists(t / "_WQP0001.PHR"));
    EXPECT_TRUE(doc.phr().isUsed(0));

    // A registration whose file is already gone is still erased.
    fs::remove(t / "_WQP0001.PHR");
    const auto r = deletePhrase(doc, 0, p);
    EXPECT_EQ(r.status, DeleteStatus::Deleted);
    EXPECT_FALSE(r.fileRemoved);
    EXPECT_FALSE(doc.phr().isUsed(0));

    // A non-empty folder where the data file should be cannot be removed: the record stays.
    doc.phr().setType(1, kTypeAudio);
    fs::create_directories(t / "_WQP0002.PHR" / "x");
    const auto stuck = deletePhrase(doc, 1, p);
    EXPECT_EQ(stuck.status, DeleteStatus::Failed);
    EXPECT_NE(stuck.error.find("_WQP0002.PHR"), std::string::npos);
    EXPECT_EQ(p.messages.size(), 1u);
    EXPECT_TRUE(doc.phr().isUsed(1));
}

TEST(PhraseDrop, PlanRefusesBeforeAnythingIsWritten) {
    struct Case {
        Model model;
        std::vector<std::string> names;
        int row;
        std::string refusalHas;  // "" when the plan goes ahead
    };
    const Case cases[] = {
        {Model::WQ7000, {"a.wav", "b.WAV"}, 3, ""},
        {Model::WQ7000, {"a.wav", "b.wav"}, 4, "Phrase 0006 is in use"},  // second row used
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
    // The WAV import pins the padding; the record counts the padded blocks.
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
}

TEST(CopyInformation, PatternSummaryAndMemberPages) {
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
    const CopySource pat = evaluateSource(src / "p.PHR", card.doc, card.prompter);
    ASSERT_TRUE(pat.usable()) << pat.problem;
    const auto pages = memberPages(pat, Model::WQ7000, 0, Language::English);
    ASSERT_EQ(pages.size(), 9u);
    EXPECT_EQ(pages[0].caption, "No.1~No.15(Click inside to have next one displayed)");
    EXPECT_EQ(pages[0].lines[0],
              "A0002: 50%:01.5|-----:----:00.0|-----:----:00.0|-----:----:00.0|-----:----:00.0|");
    EXPECT_EQ(pages[7].lines[0].substr(0, 2 * 16), "B0001:100%:--.-|-----:----:--.-|");

    // The dialog test pins the caption and the memo line.
    const CopyInformation info =
        copyInformation(&pat, card.doc, Language::English, 6, {"Phrase Type: Pattern Phrases"}, 10);
    EXPECT_EQ(info.lines[1],
              "Phrase Type: Pattern Phrases  Volume:100%|Control:OFF|Delay:00s00f|"
              "Repeat:OFF|Pattern:SEQUENCE|");
    EXPECT_EQ(info.lines[2], pages[1].caption);  // page 10 of 9 is the second
}

}  // namespace
}  // namespace wqe
