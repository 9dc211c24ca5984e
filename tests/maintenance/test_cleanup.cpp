#include <gtest/gtest.h>

#include "card/FileIO.h"
#include "card/PatternFile.h"
#include "card/PhrasePrm.h"
#include "convert/FileConvert.h"
#include "maintenance/CardFixture.h"
#include "maintenance/Cleanup.h"

namespace wqe {
namespace {

using test::readBytes;
using test::TempDir;
using test::writeBytes;
using test::writeText;

struct Card {
    Card(const fs::path& folder, Model m, int code = 0) : path(folder) {
        test::makeCard(folder, m, code);
        open();
    }
    void open() {
        if (!doc.openCard(path.string())) throw std::runtime_error("cannot open the card");
    }
    // Sets record i's kind in the document and saves it, as an editor would.
    void registerAs(int i, int kind) {
        if (doc.model() == Model::WQ7000) {
            doc.phr().setType(i, static_cast<std::uint32_t>(kind == kKindAudio + 10 ? 1 : kind));
            if (kind == kKindAudio + 10) doc.phr().setMode(i, kModeWav);
        } else {
            doc.phr().setUsed(i, 1);
            doc.phr().setMidiFlag(i, kind == kKindMidi ? 1 : 0);
            doc.phr().setPatternMode(i, kind == kKindPattern ? 1 : 0);
        }
        doc.phr().setName(i, "USER NAME");
    }
    void save() {
        doc.markModified(true);
        if (!doc.onSaveCardInfo()) throw std::runtime_error("cannot save");
    }
    fs::path path;
    ScriptedPrompter prompter{{}, Answer::No};
    MemorySettings settings;
    CWQEDoc doc{prompter, settings};
};

void writePattern(const fs::path& p, PatternKind kind) {
    const std::string err = writePatternFile(p, PatternData(kind));
    if (!err.empty()) throw std::runtime_error(err);
}

constexpr int kWav = kKindAudio + 10;  // audio stored as WAV (WQ-7000)

// The table of effects: what the slot procedure makes of a record and the
// data files beside it, for both models.
TEST(Cleanup, TableOfEffects) {
    struct Case {
        const char* what;
        Model model;
        int registeredKind;              // -1: empty record
        std::vector<std::string> files;  // "PHR", "MID", "WAV", "PAT" (pattern .PHR), "SONG"
        int resultKind;                  // kind of the record afterwards (kWav for WAV audio)
        bool nameKept;                   // the user's name survives
        std::vector<std::string> asked;  // extensions asked about, in order
        const char* question;            // the text's opening for the first question
    } cases[] = {
        {"kept", Model::WQ7000, kKindAudio, {"PHR"}, kKindAudio, true, {}, ""},
        {"kept", Model::WQ5000, kKindAudio, {"PHR"}, kKindAudio, true, {}, ""},
        {"midi kept", Model::WQ5000, kKindMidi, {"MID"}, kKindMidi, true, {}, ""},
        {"pattern kept", Model::WQ7000, kKindPattern, {"PAT"}, kKindPattern, true, {}, ""},
        {"song kept", Model::WQ7000, kKindSong, {"SONG"}, kKindSong, true, {}, ""},
        {"wav kept", Model::WQ7000, kWav, {"WAV"}, kWav, true, {}, ""},
        {"only MID", Model::WQ7000, kKindAudio, {"MID"}, kKindMidi, false, {}, ""},
        {"only MID", Model::WQ5000, kKindAudio, {"MID"}, kKindMidi, false, {}, ""},
        {"audio record, pattern file",
         Model::WQ7000,
         kKindAudio,
         {"PAT"},
         kKindPattern,
         false,
         {},
         ""},
        {"double",
         Model::WQ7000,
         kKindAudio,
         {"PHR", "MID"},
         kKindAudio,
         true,
         {"MID"},
         "Double registration of the phrase"},
        {"double",
         Model::WQ5000,
         kKindAudio,
         {"PHR", "MID"},
         kKindAudio,
         true,
         {"MID"},
         "Double registration of the phrase"},
        {"empty, PHR", Model::WQ7000, -1, {"PHR"}, kKindAudio, false, {}, ""},
        {"empty, PHR", Model::WQ5000, -1, {"PHR"}, kKindAudio, false, {}, ""},
        {"empty, MID", Model::WQ5000, -1, {"MID"}, kKindMidi, false, {}, ""},
        {"empty, WAV", Model::WQ7000, -1, {"WAV"}, kWav, false, {}, ""},
        {"empty, WAV", Model::WQ5000, -1, {"WAV"}, -1, false, {"WAV"}, "Registration of a phrase"},
        {"empty, PHR and WAV",
         Model::WQ7000,
         -1,
         {"PHR", "WAV"},
         kKindAudio,
         false,
         {"WAV"},
         "Double registration of the phrase"},
        {"missing", Model::WQ7000, kKindAudio, {}, -1, false, {}, ""},
        {"missing", Model::WQ5000, kKindMidi, {}, -1, false, {}, ""},
        {"unreadable",
         Model::WQ7000,
         kKindAudio,
         {"BAD"},
         -1,
         false,
         {"PHR"},
         "Registration of a phrase"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(modelName(c.model)) + ": " + c.what);
        TempDir t;
        Card card(t.path(), c.model);
        card.doc.sys().setCardName("CLEANUP");
        const int i = 4;
        if (c.registeredKind >= 0) card.registerAs(i, c.registeredKind);
        card.save();
        const PatternKind pattern =
            c.model == Model::WQ7000 ? PatternKind::Pattern7000 : PatternKind::Pattern5000;
        for (const std::string& f : c.files) {
            if (f == "PHR") writeBytes(t / "_WQP0005.PHR", test::kpacFile(2, 1, 1, 30));
            if (f == "MID") writeBytes(t / "_WQP0005.MID", test::midiFile(500000));
            if (f == "WAV") writeBytes(t / "_WQP0005.WAV", test::wavFile(1, 32000, 16, 200));
            if (f == "PAT") writePattern(t / "_WQP0005.PHR", pattern);
            if (f == "SONG") writePattern(t / "_WQP0005.PHR", PatternKind::Song);
            if (f == "BAD") writeText(t / "_WQP0005.PHR", "neither audio nor pattern");
        }

        ScriptedPrompter p({}, Answer::No);
        const CleanupResult r = runCleanup(card.doc, p);
        ASSERT_EQ(r.status, CleanupResult::Status::Finished) << r.error;
        EXPECT_TRUE(r.reloaded);
        ASSERT_EQ(p.questions.size(), c.asked.size());
        for (std::size_t k = 0; k < c.asked.size(); ++k)
            EXPECT_NE(p.questions[k].find("_WQP0005." + c.asked[k]), std::string::npos)
                << p.questions[k];
        if (!c.asked.empty()) {
            EXPECT_EQ(p.questions[0].rfind(c.question, 0), 0u) << p.questions[0];
        }

        // What the reloaded document shows.
        const CWQEPhr& phr = card.doc.phr();
        if (c.resultKind < 0) {
            EXPECT_FALSE(phr.isUsed(i));
        } else if (c.model == Model::WQ7000) {
            EXPECT_EQ(phr.getType(i),
                      static_cast<std::uint32_t>(c.resultKind == kWav ? 1 : c.resultKind));
            EXPECT_EQ(phr.getMode(i) == kModeWav, c.resultKind == kWav);
        } else {
            EXPECT_EQ(phr.getUsed(i), 1u);
            EXPECT_EQ(phr.getMidiFlag(i), c.resultKind == kKindMidi ? 1u : 0u);
        }
        if (c.resultKind >= 0) {
            const std::string name = phr.getName(i);
            EXPECT_EQ(name.starts_with("USER NAME"), c.nameKept) << name;
            if (!c.nameKept) {
                EXPECT_TRUE(name.starts_with("CLEANUP005")) << name;
            }
        }
        // The other slots stay empty.
        EXPECT_FALSE(phr.isUsed(3));
        EXPECT_FALSE(phr.isUsed(5));
        for (const std::string& ext : c.asked) EXPECT_TRUE(fs::exists(t / ("_WQP0005." + ext)));
    }
}

TEST(Cleanup, AnsweringYesDeletesTheFurtherFiles) {
    TempDir t;
    Card card(t.path(), Model::WQ7000);
    writeBytes(t / "_WQP0001.PHR", test::kpacFile(1, 1, 0, 5));
    writeBytes(t / "_wqp0001.mid", test::midiFile(500000));
    writeBytes(t / "_WQP0001.WAV", test::wavFile(1, 8000, 16, 16));
    ScriptedPrompter p({Answer::Yes, Answer::No});
    const auto r = runCleanup(card.doc, p);
    ASSERT_EQ(r.status, CleanupResult::Status::Finished);
    ASSERT_EQ(r.slots.size(), 1u);
    EXPECT_EQ(r.slots[0].action, CleanupAction::Registered);
    ASSERT_EQ(r.slots[0].deletedFiles.size(), 1u);
    EXPECT_EQ(r.slots[0].deletedFiles[0].filename(), "_wqp0001.mid");
    ASSERT_EQ(r.slots[0].keptFiles.size(), 1u);
    EXPECT_EQ(p.questions[0], "Double registration of the phrase " +
                                  (t.path() / "_wqp0001.mid").string() +
                                  " has occurred.\nOK to erase?");
    EXPECT_TRUE(card.doc.phr().isUsed(0));
    EXPECT_EQ(p.messages.back(), kMsgCleanupFinished);
}

TEST(Cleanup, NoChangeWritesNothingYetReloads) {
    TempDir t;
    Card card(t.path(), Model::WQ7000, 2);  // 1000 slots
    const auto before = readBytes(t / "_WQ7TPHR.CNF");
    int writes = 0;
    setWriteFaultInjectorForTesting([&](const fs::path&) -> std::optional<std::size_t> {
        ++writes;
        return std::nullopt;
    });
    std::vector<int> steps;
    ScriptedPrompter p;
    const auto r = runCleanup(card.doc, p,
                              {[&](int i, int n) {
                                   EXPECT_EQ(n, 1000);
                                   steps.push_back(i);
                               },
                               {}});
    setWriteFaultInjectorForTesting(nullptr);
    EXPECT_EQ(r.status, CleanupResult::Status::Finished);
    EXPECT_EQ(r.slotCount, 1000);
    EXPECT_FALSE(r.written);
    EXPECT_TRUE(r.reloaded);
    EXPECT_EQ(writes, 0);
    EXPECT_EQ(readBytes(t / "_WQ7TPHR.CNF"), before);
    ASSERT_EQ(steps.size(), 1001u);
    EXPECT_EQ(steps.back(), 1000);
    EXPECT_EQ(p.messages, std::vector<std::string>{kMsgCleanupFinished});
}

TEST(Cleanup, AFailedWriteKeepsTheOldFileAndSaysSo) {
    TempDir t;
    Card card(t.path(), Model::WQ5000);
    // Bytes beyond the table survive a successful write.
    auto phr = readBytes(t / "_WQ5TPHR.CNF");
    phr.insert(phr.end(), {1, 2, 3});
    writeBytes(t / "_WQ5TPHR.CNF", phr);
    writeBytes(t / "_WQP0002.PHR", test::kpacFile(1, 1, 0, 5));

    setWriteFaultInjectorForTesting(
        [](const fs::path&) -> std::optional<std::size_t> { return 100; });
    ScriptedPrompter p;
    auto r = runCleanup(card.doc, p);
    setWriteFaultInjectorForTesting(nullptr);
    EXPECT_EQ(r.status, CleanupResult::Status::WriteFailed);
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.error.find("_WQ5TPHR.CNF"), std::string::npos) << r.error;
    EXPECT_EQ(p.messages, (std::vector<std::string>{kMsgCleanupWriteFailed, kMsgCleanupFinished}));
    EXPECT_EQ(readBytes(t / "_WQ5TPHR.CNF"), phr);
    EXPECT_TRUE(r.reloaded);

    ScriptedPrompter p2;
    r = runCleanup(card.doc, p2);
    EXPECT_TRUE(r.ok());
    EXPECT_TRUE(r.written);
    const auto after = readBytes(t / "_WQ5TPHR.CNF");
    ASSERT_EQ(after.size(), phr.size());
    EXPECT_EQ(std::vector<std::uint8_t>(after.end() - 3, after.end()),
              (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(after[48], 1);  // slot 2 now used
}

TEST(Cleanup, StopsOnUnusableCardFilesWithoutWriting) {
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> spoil;
        const char* message;
    } cases[] = {
        {"both system files", [](const fs::path& d) { writeText(d / "_WQ5TSYS.CNF", "x"); },
         kMsgDoubleSystemFile},
        {"no system file", [](const fs::path& d) { fs::remove(d / "_WQ7TSYS.CNF"); },
         kMsgPhraseFileUnreadable},
        {"short system file", [](const fs::path& d) { fs::resize_file(d / "_WQ7TSYS.CNF", 1351); },
         kMsgPhraseFileUnreadable},
        {"short phrase file",
         [](const fs::path& d) { fs::resize_file(d / "_WQ7TPHR.CNF", 80 * 249); },
         kMsgPhraseFileUnreadable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir t;
        Card card(t.path(), Model::WQ7000);
        writeBytes(t / "_WQP0001.PHR", test::kpacFile(1, 1, 0, 5));
        c.spoil(t.path());
        const auto phr = readBytes(t / "_WQ7TPHR.CNF");
        ScriptedPrompter p;
        const auto r = runCleanup(card.doc, p);
        EXPECT_EQ(r.status, CleanupResult::Status::Stopped);
        EXPECT_EQ(p.messages, std::vector<std::string>{c.message});
        EXPECT_FALSE(r.reloaded);
        EXPECT_EQ(readBytes(t / "_WQ7TPHR.CNF"), phr);
    }
}

TEST(Cleanup, UnsavedEditsAreSavedFirstOrNothingHappens) {
    TempDir t;
    Card card(t.path(), Model::WQ7000);
    writeBytes(t / "_WQP0001.PHR", test::kpacFile(1, 1, 0, 5));
    card.doc.sys().setCardName("EDITED");
    card.doc.markModified(true);

    ScriptedPrompter no({Answer::No});
    EXPECT_EQ(runCleanup(card.doc, no).status, CleanupResult::Status::Cancelled);
    EXPECT_EQ(no.questions, std::vector<std::string>{kMsgCleanupSaveFirst});
    EXPECT_TRUE(card.doc.isModified());
    EXPECT_FALSE(card.doc.phr().isUsed(0));

    ScriptedPrompter yes({Answer::Yes});
    const auto r = runCleanup(card.doc, yes);
    EXPECT_EQ(r.status, CleanupResult::Status::Finished);
    // The edit was saved before the reload, and the new phrase is named after it.
    EXPECT_EQ(card.doc.sys().getCardName(), "EDITED");
    EXPECT_TRUE(card.doc.phr().getName(0).starts_with("EDITED001"));
}

// Phrase files written by the encoder: registered from their headers, and a
// registration whose length no longer fits the file is refreshed.
TEST(Cleanup, EncodedPhrasesAreRegisteredAndRefreshed) {
    for (const Model m : {Model::WQ7000, Model::WQ5000}) {
        SCOPED_TRACE(modelName(m));
        TempDir t;
        Card card(t / "card", m);
        writeBytes(t / "in.wav", test::wavFile(2, 22050, 16, 1000));
        for (const char* name : {"_WQP0001.PHR", "_WQP0002.PHR"}) {
            const ConvertItem item =
                encodeOneFile(t / "in.wav", t / "card" / name, kpac::Mode::Mode1);
            ASSERT_TRUE(item.ok) << item.error;
        }
        // Phrase 2 is registered with a stale length and a name of its own.
        card.registerAs(1, kKindAudio);
        card.doc.phr().setLength(1, 5);
        card.save();

        ScriptedPrompter p;
        const auto r = runCleanup(card.doc, p);
        ASSERT_TRUE(r.ok()) << r.error;
        ASSERT_EQ(r.slots.size(), 2u);
        EXPECT_EQ(r.slots[0].action, CleanupAction::Registered);
        EXPECT_EQ(r.slots[1].action, CleanupAction::Refreshed);
        const std::uint32_t blocks = (1000 + 15) / 16;
        for (int i : {0, 1}) {
            EXPECT_EQ(card.doc.phr().getGrade(i), 2u);
            EXPECT_EQ(card.doc.phr().getMode(i), 1u);
            EXPECT_EQ(card.doc.phr().getRecordingType(i), 1u);
            EXPECT_EQ(card.doc.phr().getLength(i), blocks);
            EXPECT_EQ(card.doc.phr().getDataFileLength(i),
                      fs::file_size(t / "card" / "_WQP0001.PHR"));
        }
        EXPECT_TRUE(card.doc.phr().getName(1).starts_with("USER NAME"));
    }
}

TEST(Cleanup, LeftoverBytesOfAnEmptySlotAreClearedNotReportedAsDropped) {
    TempDir t;
    Card card(t.path(), Model::WQ7000);
    card.doc.phr().setName(2, "LEFTOVER");  // type stays 0
    card.doc.phr().setType(3, kTypeAudio);  // a registration without a file
    card.save();
    ScriptedPrompter p;
    const auto r = runCleanup(card.doc, p);
    ASSERT_EQ(r.slots.size(), 2u);
    EXPECT_EQ(r.slots[0].action, CleanupAction::Cleared);
    EXPECT_EQ(r.slots[1].action, CleanupAction::Reset);
    EXPECT_TRUE(r.written);
    EXPECT_EQ(card.doc.phr().getName(2), std::string(12, ' '));
}

}  // namespace
}  // namespace wqe
