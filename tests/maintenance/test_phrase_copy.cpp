#include <gtest/gtest.h>

#include <functional>

#include "maintenance/CardFixture.h"
#include "maintenance/PhraseCopy.h"

namespace wqe {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;
using test::writeText;

// An open card plus the prompter and settings it needs.
struct Card {
    Card(const fs::path& folder, Model m, int code = 0) {
        test::makeCard(folder, m, code);
        if (!doc.openCard(folder.string())) throw std::runtime_error("cannot open the card");
        doc.sys().setCardName("SHOPCARD");
    }
    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEDoc doc{prompter, settings};
};

const Model kModels[] = {Model::WQ7000, Model::WQ5000};

TEST(PhraseCopy, RecordAndMemoComeFromTheSourceFoldersSettings) {
    for (const Model m : kModels) {
        SCOPED_TRACE(modelName(m));
        TempDir t;
        Card src(t / "src", m);
        src.doc.phr().setName(11, "FROM SOURCE");
        src.doc.phr().setVolume(11, 77);
        src.doc.phr().setGrade(11, 2);
        if (m == Model::WQ7000)
            src.doc.phr().setType(11, kTypeAudio);
        else
            src.doc.phr().setUsed(11, 1);
        src.doc.memo().setPhraseMemo(11, "memo twelve");
        src.doc.markModified(true);
        ASSERT_TRUE(src.doc.onSaveCardInfo());
        writeBytes(t / "src" / "_WQP0012.PHR", test::kpacFile(1, 1, 0, 10));

        Card card(t / "card", m);
        const CopySource s = evaluateSource(t / "src" / "_WQP0012.PHR", card.doc, card.prompter);
        ASSERT_TRUE(s.usable()) << s.problem;
        EXPECT_EQ(s.kind, SourceKind::Audio);
        EXPECT_FALSE(s.candidateEmpty());
        const auto r = copyPhrase(card.doc, s, 4, card.prompter);
        ASSERT_EQ(r.status, CopyResult::Status::Copied) << r.error;
        EXPECT_EQ(card.prompter.messages, std::vector<std::string>{kMsgCopySucceeded});
        EXPECT_EQ(readBytes(t / "card" / "_WQP0005.PHR"), test::kpacFile(1, 1, 0, 10));
        // The whole record, name and volume included, not one built from the header.
        EXPECT_EQ(card.doc.phr().getName(4).substr(0, 11), "FROM SOURCE");
        EXPECT_EQ(card.doc.phr().getVolume(4), 77u);
        EXPECT_EQ(card.doc.phr().getGrade(4), 2u);
        EXPECT_EQ(card.doc.memo().phraseMemo(4), "memo twelve");
        EXPECT_TRUE(card.doc.isModified());
        EXPECT_EQ(r.nextSlot, 5);
    }
}

TEST(PhraseCopy, RecordsBuiltFromTheFileByKindAndModel) {
    struct Case {
        Model model;
        const char* file;
        std::vector<std::uint8_t> bytes;
        SourceKind kind;
        // expected fields of the built record
        std::vector<std::pair<PhraseField, std::uint32_t>> fields;
    } cases[] = {
        {Model::WQ5000,
         "_WQP0012.PHR",
         test::kpacFile(4, 2, 1, 300),
         SourceKind::Audio,
         {{PhraseField::Used, 1},
          {PhraseField::Grade, 4},
          {PhraseField::Mode, 2},
          {PhraseField::RecordingType, 1},
          {PhraseField::Length, 300},
          {PhraseField::DataFileLength, 16 + 300 * 20},
          {PhraseField::Volume, 100}}},
        {Model::WQ7000,
         "x.phr",
         test::kpacFile(5, 2, 0, 40),
         SourceKind::Audio,
         {{PhraseField::Type, kTypeAudio},
          {PhraseField::Grade, 5},
          {PhraseField::Mode, 2},
          {PhraseField::Length, 40},
          {PhraseField::EndPoint, 0},
          {PhraseField::Loop2Point, 0},
          {PhraseField::DataOffset, 16},
          {PhraseField::Registered, 1},
          {PhraseField::Tempo, 115}}},
        {Model::WQ7000,
         "x.PHR",
         test::kpacFile(3, 1, 1, 40),
         SourceKind::Audio,
         {{PhraseField::EndPoint, 40}, {PhraseField::Loop2Point, 40}, {PhraseField::Volume, 100}}},
        {Model::WQ5000,
         "p.PHR",
         test::patternFile(0, 512),
         SourceKind::Pattern5000,
         {{PhraseField::Used, 1},
          {PhraseField::DataFileLength, 512},
          {PhraseField::Volume, 0},
          {PhraseField::PatternMode, 1},
          {PhraseField::Tempo, 0},
          {PhraseField::Tempo2, 0}}},
        {Model::WQ7000,
         "p.PHR",
         test::patternFile(1, 1024),
         SourceKind::Pattern7000,
         {{PhraseField::Type, kTypePattern},
          {PhraseField::Grade, 3},
          {PhraseField::Mode, 3},
          {PhraseField::RecordingType, 1},
          {PhraseField::DataFileLength, 1024},
          {PhraseField::Tempo2, 115}}},
        {Model::WQ7000,
         "s.PHR",
         test::patternFile(2, 800),
         SourceKind::Song,
         {{PhraseField::Type, kTypeSong}, {PhraseField::DataFileLength, 800}}},
        {Model::WQ7000,
         "m.mid",
         test::midiFile(600000),
         SourceKind::Midi,  // 100 bpm
         {{PhraseField::Type, kTypeMidi},
          {PhraseField::Tempo, 95},
          {PhraseField::Tempo2, 95},
          {PhraseField::Volume, 100}}},
        {Model::WQ5000,
         "m.MID",
         test::midiFile(0),
         SourceKind::Midi,  // no tempo: 120 bpm
         {{PhraseField::Used, 1},
          {PhraseField::MidiFlag, 1},
          {PhraseField::Volume, 0},
          {PhraseField::Tempo, 115},
          {PhraseField::Tempo2, 115}}},
        {Model::WQ7000,
         "w.wav",
         test::wavFile(2, 44100, 16, 1000),
         SourceKind::Audio,
         {{PhraseField::Type, kTypeAudio},
          {PhraseField::Mode, kModeWav},
          {PhraseField::Grade, 4},
          {PhraseField::RecordingType, 1},
          {PhraseField::DataOffset, 44},
          {PhraseField::Length, 62},
          {PhraseField::EndPoint, 62},
          {PhraseField::DataFileLength, 4044}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(modelName(c.model)) + " " + c.file);
        TempDir t;
        // A source folder of the other model: its settings file is not the card's.
        test::makeCard(t / "src", c.model == Model::WQ7000 ? Model::WQ5000 : Model::WQ7000);
        writeBytes(t / "src" / c.file, c.bytes);
        Card card(t / "card", c.model);
        const CopySource s = evaluateSource(t / "src" / c.file, card.doc, card.prompter);
        ASSERT_TRUE(s.usable()) << s.problem;
        EXPECT_EQ(s.kind, c.kind);
        EXPECT_TRUE(s.candidateEmpty());
        const auto r = copyPhrase(card.doc, s, 9, card.prompter);
        ASSERT_EQ(r.status, CopyResult::Status::Copied) << r.error;
        EXPECT_EQ(r.destination.filename(), "_WQP0010." + s.extension);
        for (const auto& [field, value] : c.fields)
            EXPECT_EQ(card.doc.phr().get(9, field), value) << phraseFieldInfo(field).name;
        const std::string name = c.model == Model::WQ7000 ? "SHOPCARD010 " : "SHOPCARD010";
        EXPECT_EQ(card.doc.phr().getName(9), name);
    }
}

TEST(PhraseCopy, UnusableSourcesCopyNothing) {
    struct Case {
        Model model;
        const char* file;
        std::vector<std::uint8_t> bytes;
        SourceKind kind;
        const char* reason;
    } cases[] = {
        {Model::WQ5000, "w.wav", test::wavFile(1, 8000, 16, 32), SourceKind::Unusable,
         "WAV phrases"},
        {Model::WQ7000, "w.wav", test::wavFile(1, 8000, 24, 32), SourceKind::Unusable, "24 bits"},
        {Model::WQ5000, "a.PHR", test::kpacFile(5, 1, 0, 4), SourceKind::BadAudio, "grade or mode"},
        {Model::WQ7000, "a.PHR", test::kpacFile(7, 1, 0, 4), SourceKind::BadAudio, "grade 7"},
        {Model::WQ5000, "p.PHR", test::patternFile(1, 1024), SourceKind::Pattern7000, "layout"},
        {Model::WQ7000, "p.PHR", test::patternFile(0, 512), SourceKind::Pattern5000, "layout"},
        {Model::WQ7000, "short.PHR", std::vector<std::uint8_t>(15, 'Q'), SourceKind::Unusable,
         "16 bytes"},
        {Model::WQ7000,
         "m.MID",
         {'M', 'T', 'h', 'd', 0, 0, 0, 6, 1, 0, 0, 1, 0, 96},
         SourceKind::BadMidi,
         "MIDI"},
        {Model::WQ7000, "notes.txt", {'h', 'i'}, SourceKind::Unusable, ".PHR, .MID or .WAV"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(modelName(c.model)) + " " + c.file);
        TempDir t;
        fs::create_directories(t / "src");
        writeBytes(t / "src" / c.file, c.bytes);
        Card card(t / "card", c.model);
        const CopySource s = evaluateSource(t / "src" / c.file, card.doc, card.prompter);
        EXPECT_FALSE(s.usable());
        EXPECT_EQ(s.kind, c.kind);
        EXPECT_NE(s.problem.find(c.reason), std::string::npos) << s.problem;
        const auto r = copyPhrase(card.doc, s, 0, card.prompter);
        EXPECT_EQ(r.status, CopyResult::Status::NotCopied);
        EXPECT_FALSE(card.doc.phr().isUsed(0));
        EXPECT_EQ(std::distance(fs::directory_iterator(t / "card"), fs::directory_iterator()), 3);
    }
}

TEST(PhraseCopy, AFailedCopyRegistersNothing) {
    TempDir t;
    fs::create_directories(t / "src");
    writeBytes(t / "src" / "a.PHR", test::kpacFile(3, 3, 0, 8));
    Card card(t / "card", Model::WQ7000);
    fs::create_directories(t / "card" / "_WQP0001.PHR" / "blocker");
    const CopySource s = evaluateSource(t / "src" / "a.PHR", card.doc, card.prompter);
    const auto r = copyPhrase(card.doc, s, 0, card.prompter);
    EXPECT_EQ(r.status, CopyResult::Status::CopyFailed);
    EXPECT_EQ(card.prompter.messages, std::vector<std::string>{kMsgCopyFailed});
    EXPECT_NE(r.error.find("a.PHR"), std::string::npos);
    EXPECT_FALSE(card.doc.phr().isUsed(0));
    EXPECT_FALSE(card.doc.isModified());
}

TEST(PhraseCopy, CandidateOfAnotherKindIsReplacedAndBusySlotsRefused) {
    TempDir t;
    Card src(t / "src", Model::WQ7000);
    src.doc.phr().setType(0, kTypeMidi);  // the settings say MIDI, the file is KPAC
    src.doc.phr().setName(0, "MIDI RECORD");
    src.doc.markModified(true);
    ASSERT_TRUE(src.doc.onSaveCardInfo());
    writeBytes(t / "src" / "_WQP0001.PHR", test::kpacFile(3, 3, 0, 8));

    Card card(t / "card", Model::WQ7000);
    const CopySource s = evaluateSource(t / "src" / "_WQP0001.PHR", card.doc, card.prompter);
    EXPECT_TRUE(s.candidateEmpty());
    card.doc.phr().setType(2, kTypeAudio);
    EXPECT_EQ(copyPhrase(card.doc, s, 2, card.prompter).status, CopyResult::Status::NotCopied);
    EXPECT_EQ(copyPhrase(card.doc, s, 250, card.prompter).status, CopyResult::Status::NotCopied);
    EXPECT_FALSE(fs::exists(t / "card" / "_WQP0003.PHR"));
}

TEST(PhraseCopy, NextEmptySlotSearchesOnThenWraps) {
    TempDir t;
    Card card(t / "card", Model::WQ5000, 1);  // 500 slots
    EXPECT_EQ(copySlotCount(card.doc), 500);
    for (int i = 0; i < 500; ++i) card.doc.phr().setUsed(i, 1);
    EXPECT_EQ(nextEmptySlot(card.doc, 10, true), std::nullopt);
    for (int i : {3, 20}) card.doc.phr().setUsed(i, 0);
    struct Case {
        int from;
        bool up;
        int expect;
    } cases[] = {{10, true, 20}, {20, true, 20}, {25, true, 20}, {10, false, 3},
                 {3, false, 3},  {0, false, 3},  {499, true, 20}};
    for (const Case& c : cases)
        EXPECT_EQ(nextEmptySlot(card.doc, c.from, c.up), c.expect) << c.from;
    EXPECT_EQ(phraseCopyTitle(Model::WQ5000, 11), "Phrase Copy(Phrase No,012)");
    EXPECT_EQ(phraseCopyTitle(Model::WQ7000, 11), "Phrase Copy(Phrase No,0012)");

    // Copying into the last empty slot leaves no next slot.
    for (int i : {3}) card.doc.phr().setUsed(i, 1);
    fs::create_directories(t / "src");
    writeBytes(t / "src" / "a.PHR", test::kpacFile(1, 1, 0, 8));
    const auto s = evaluateSource(t / "src" / "a.PHR", card.doc, card.prompter);
    const auto r = copyPhrase(card.doc, s, 20, card.prompter);
    EXPECT_EQ(r.status, CopyResult::Status::Copied);
    EXPECT_EQ(r.nextSlot, std::nullopt);
}

TEST(PhraseCopy, MemoLineFromTheFolderOrEmpty) {
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> prepare;
        const char* memo;
        std::size_t messages;  // "Unable to open Memo file" before the copy message
    } cases[] = {
        {"no memo file", [](const fs::path&) {}, "", 0},
        {"memo line 7, three-digit prefixes",
         [](const fs::path& d) {
             writeText(d / "wqe_memo.txt",
                       "SystemMemo:\r\nPhraseMemo:\r\n001:one\r\n002:\r\n003:\r\n"
                       "004:\r\n005:\r\n006:\r\n007:seven: with colon\r\n");
         },
         "seven: with colon", 0},
        {"unreadable memo file",
         [](const fs::path& d) { fs::create_directories(d / "WQE_MEMO.TXT"); }, "", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir t;
        fs::create_directories(t / "src");
        c.prepare(t / "src");
        writeBytes(t / "src" / "_WQP0007.PHR", test::kpacFile(1, 1, 0, 8));
        Card card(t / "card", Model::WQ5000);
        const auto s = evaluateSource(t / "src" / "_WQP0007.PHR", card.doc, card.prompter);
        EXPECT_EQ(s.sourceNumber, 7);
        EXPECT_EQ(card.prompter.messages.size(), c.messages);
        const auto r = copyPhrase(card.doc, s, 0, card.prompter);
        ASSERT_EQ(r.status, CopyResult::Status::Copied) << r.error;
        EXPECT_EQ(card.doc.memo().phraseMemo(0), c.memo);
    }
}

}  // namespace
}  // namespace wqe
