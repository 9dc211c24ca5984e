#include <gtest/gtest.h>

#include "card/FileIO.h"
#include "card/PatternFile.h"
#include "maintenance/CardFixture.h"
#include "maintenance/Cleanup.h"
#include "support/FaultyFileSystem.h"

namespace wqe {
namespace {

using test::kKindWav;
using test::OpenCard;
using test::readBytes;
using test::TempDir;
using test::writeBytes;
using test::writeText;

// The kind record i shows, as registerAs takes it; -1 for an empty record.
int kindOf(const CWQEPhr& phr, int i, Model m) {
    if (!phr.isUsed(i)) return -1;
    if (m == Model::WQ7000) {
        const int type = static_cast<int>(phr.getType(i));
        return type == kTypeAudio && phr.getMode(i) == kModeWav ? kKindWav : type;
    }
    if (phr.getMidiFlag(i)) return kTypeMidi;
    return phr.getPatternMode(i) ? kTypePattern : kTypeAudio;
}

// The table of effects: what the slot procedure makes of a record and the
// data files beside it, for both models.
TEST(Cleanup, TableOfEffects) {
    constexpr Model W7 = Model::WQ7000, W5 = Model::WQ5000;
    struct Case {
        const char* what;
        Model model;
        int registeredKind;              // -1: empty record
        std::vector<std::string> files;  // "PHR", "MID", "WAV", "PAT" (pattern .PHR), "SONG", "BAD"
        int resultKind;                  // kind of the record afterwards, -1 empty
        bool nameKept;                   // the user's name survives
        std::string asked;               // extension of the file asked about, if any
    };
    // clang-format off
    const Case cases[] = {
        {"kept", W7, kTypeAudio, {"PHR"}, kTypeAudio, true, ""},
        {"midi kept", W5, kTypeMidi, {"MID"}, kTypeMidi, true, ""},
        {"song kept", W7, kTypeSong, {"SONG"}, kTypeSong, true, ""},
        {"wav kept", W7, kKindWav, {"WAV"}, kKindWav, true, ""},
        {"only MID", W7, kTypeAudio, {"MID"}, kTypeMidi, false, ""},
        {"audio record, pattern file", W7, kTypeAudio, {"PAT"}, kTypePattern, false, ""},
        {"double", W7, kTypeAudio, {"PHR", "MID"}, kTypeAudio, true, "MID"},
        {"empty, PHR", W7, -1, {"PHR"}, kTypeAudio, false, ""},
        {"empty, MID", W5, -1, {"MID"}, kTypeMidi, false, ""},
        {"empty, WAV", W7, -1, {"WAV"}, kKindWav, false, ""},
        {"empty, WAV", W5, -1, {"WAV"}, -1, false, "WAV"},
        {"empty, PHR and WAV", W7, -1, {"PHR", "WAV"}, kTypeAudio, false, "WAV"},
        {"missing", W7, kTypeAudio, {}, -1, false, ""},
        {"unreadable", W7, kTypeAudio, {"BAD"}, -1, false, "PHR"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(modelName(c.model)) + ": " + c.what);
        TempDir t;
        OpenCard card(t.path(), c.model);
        card.doc.sys().setCardName("CLEANUP");
        const int i = 4;
        if (c.registeredKind >= 0) test::registerAs(card.doc, i, c.registeredKind);
        card.save();
        const std::string data = (t / "_WQP0005.").string();
        for (const std::string& f : c.files) {
            if (f == "PHR") writeBytes(data + "PHR", test::kpacFile(2, 1, 1, 30));
            if (f == "MID") writeBytes(data + "MID", test::midiFile(500000));
            if (f == "WAV") writeBytes(data + "WAV", test::wavFile(1, 32000, 16, 200));
            if (f == "BAD") writeText(data + "PHR", "neither audio nor pattern");
            if (f == "PAT" || f == "SONG") {
                const PatternKind k = f == "PAT" ? PatternKind::Pattern7000 : PatternKind::Song;
                ASSERT_TRUE(writePatternFile(data + "PHR", PatternData(k)));
            }
        }

        ScriptedPrompter p;
        const CleanupResult r = runCleanup(card.doc, p);
        ASSERT_EQ(r.status, CleanupResult::Status::Finished) << r.error;
        EXPECT_TRUE(r.reloaded);
        ASSERT_EQ(p.questions.size(), c.asked.empty() ? 0u : 1u);
        if (!c.asked.empty()) {
            // A further file beside a registered record is a double registration.
            EXPECT_TRUE(p.questions[0].starts_with(c.resultKind >= 0
                                                       ? "Double registration of the phrase"
                                                       : "Registration of a phrase"))
                << p.questions[0];
            EXPECT_NE(p.questions[0].find("_WQP0005." + c.asked), std::string::npos);
            EXPECT_TRUE(fs::exists(data + c.asked));  // answered No: kept
        }

        // What the reloaded document shows; the other slots stay empty.
        const CWQEPhr& phr = card.doc.phr();
        EXPECT_EQ(kindOf(phr, i, c.model), c.resultKind);
        if (c.resultKind >= 0) {
            const std::string name = phr.getName(i);
            EXPECT_TRUE(name.starts_with(c.nameKept ? "USER NAME" : "CLEANUP005")) << name;
        }
        EXPECT_FALSE(phr.isUsed(3) || phr.isUsed(5));
    }
}

// A data file that cannot be read is not a wrong file: the slot keeps its
// record and every file, even when the user would answer yes, and the file
// is named with the cause.
TEST(Cleanup, KeepsASlotWhoseDataFileCannotBeRead) {
    // A registered record beside a loop of links, an empty one beside a file
    // without permission.
    for (const auto& [registered, permission] : {std::pair{true, false}, std::pair{false, true}}) {
        SCOPED_TRACE(registered ? "link loop" : "no permission");
        if (permission && geteuid() == 0) continue;  // root reads every file
        TempDir t;
        OpenCard card(t.path(), Model::WQ7000);
        if (registered) test::registerAs(card.doc, 0, kTypeAudio);
        card.save();
        const fs::path phr = t / "_WQP0001.PHR";
        if (permission) {
            writeBytes(phr, test::kpacFile(2, 1, 1, 30));
            fs::permissions(phr, fs::perms::none);
        } else {
            fs::create_symlink("_WQP0001.PHR", phr);
        }
        writeBytes(t / "_WQP0001.MID", test::midiFile(500000));
        const auto table = readBytes(t / "_WQ7TPHR.CNF");

        ScriptedPrompter p({}, Answer::Yes);
        const CleanupResult r = runCleanup(card.doc, p);
        EXPECT_EQ(r.status, CleanupResult::Status::Finished);
        EXPECT_FALSE(r.ok());
        EXPECT_TRUE(p.questions.empty());
        ASSERT_EQ(r.reports.size(), 1u);
        EXPECT_EQ(r.reports[0].action, CleanupAction::Unreadable);
        ASSERT_EQ(p.messages.size(), 2u);  // the unreadable file, then "Finished."
        EXPECT_NE(p.messages[0].find(phr.string()), std::string::npos) << p.messages[0];
        const char* cause = permission ? "Permission denied" : "Too many levels of symbolic links";
        EXPECT_NE(p.messages[0].find(cause), std::string::npos) << p.messages[0];
        EXPECT_TRUE(fs::exists(fs::symlink_status(phr)));
        EXPECT_TRUE(fs::exists(t / "_WQP0001.MID"));
        EXPECT_EQ(readBytes(t / "_WQ7TPHR.CNF"), table);
        EXPECT_EQ(card.doc.phr().isUsed(0), registered);
    }
}

TEST(Cleanup, AnsweringYesDeletesTheFurtherFilesWhateverTheirLetterCase) {
    TempDir t;
    OpenCard card(t.path(), Model::WQ7000);
    writeBytes(t / "_WQP0001.PHR", test::kpacFile(1, 1, 0, 5));
    writeBytes(t / "_wqp0001.mid", test::midiFile(500000));
    writeBytes(t / "_WQP0001.WAV", test::wavFile(1, 8000, 16, 16));
    ScriptedPrompter p({Answer::Yes, Answer::No});
    const auto r = runCleanup(card.doc, p);
    ASSERT_EQ(r.status, CleanupResult::Status::Finished);
    ASSERT_EQ(r.reports.size(), 1u);
    EXPECT_EQ(r.reports[0].action, CleanupAction::Registered);
    EXPECT_EQ(r.reports[0].deletedFiles, std::vector<fs::path>{t / "_wqp0001.mid"});
    EXPECT_EQ(r.reports[0].keptFiles, std::vector<fs::path>{t / "_WQP0001.WAV"});
    EXPECT_FALSE(fs::exists(t / "_wqp0001.mid"));
    EXPECT_TRUE(fs::exists(t / "_WQP0001.WAV"));
    EXPECT_EQ(p.questions[0], "Double registration of the phrase " +
                                  (t.path() / "_wqp0001.mid").string() +
                                  " has occurred.\nOK to erase?");
}

// A card with nothing to mend is not written, yet reloaded. Leftover bytes
// of an empty slot are cleared and a registration without a file is reset,
// neither reported as a dropped phrase.
TEST(Cleanup, WritesOnlyWhatItMends) {
    TempDir t;
    OpenCard card(t.path(), Model::WQ7000, 2);  // 1000 slots
    test::FaultyFileSystem counting;
    ScriptedPrompter p;
    const auto r = runCleanup(card.doc, p, {}, counting);
    EXPECT_EQ(r.status, CleanupResult::Status::Finished);
    EXPECT_EQ(r.slotCount, 1000);
    EXPECT_FALSE(r.written);
    EXPECT_TRUE(r.reloaded);
    for (const test::FsOp op : test::kWriteOps) EXPECT_EQ(counting.count(op), 0);
    EXPECT_EQ(p.messages, std::vector<std::string>{kMsgCleanupFinished});

    card.doc.phr().setName(2, "LEFTOVER");  // type stays 0
    card.doc.phr().setType(3, kTypeAudio);  // a registration without a file
    card.save();
    const auto mended = runCleanup(card.doc, p);
    ASSERT_EQ(mended.reports.size(), 2u);
    EXPECT_EQ(mended.reports[0].action, CleanupAction::Cleared);
    EXPECT_EQ(mended.reports[1].action, CleanupAction::Reset);
    EXPECT_TRUE(mended.written);
    EXPECT_EQ(card.doc.phr().getName(2), std::string(12, ' '));
}

TEST(Cleanup, AFailedWriteKeepsTheOldFileAndSaysSo) {
    TempDir t;
    OpenCard card(t.path(), Model::WQ5000);
    // Bytes beyond the table survive a successful write.
    auto phr = readBytes(t / "_WQ5TPHR.CNF");
    phr.insert(phr.end(), {1, 2, 3});
    writeBytes(t / "_WQ5TPHR.CNF", phr);
    writeBytes(t / "_WQP0002.PHR", test::kpacFile(1, 1, 0, 5));
    test::FaultyFileSystem full;  // the disk stays full
    full.failFrom(test::FsOp::Write, 1, ENOSPC);
    ScriptedPrompter p;
    const auto failed = runCleanup(card.doc, p, {}, full);
    EXPECT_EQ(failed.status, CleanupResult::Status::WriteFailed);
    EXPECT_NE(failed.error.find("No space left on device"), std::string::npos) << failed.error;
    EXPECT_EQ(p.messages, (std::vector<std::string>{kMsgCleanupWriteFailed, kMsgCleanupFinished}));
    EXPECT_EQ(readBytes(t / "_WQ5TPHR.CNF"), phr);

    EXPECT_TRUE(runCleanup(card.doc, p).written);
    const auto after = readBytes(t / "_WQ5TPHR.CNF");
    ASSERT_EQ(after.size(), phr.size());
    EXPECT_EQ(test::Bytes(after.end() - 3, after.end()), (test::Bytes{1, 2, 3}));
    EXPECT_EQ(after[48], 1);  // slot 2 now used
}

TEST(Cleanup, StopsOnUnusableCardFilesWithoutWriting) {
    const struct {
        const char* what;
        std::function<void(const fs::path&)> spoil;
        const char* message;
    } cases[] = {
        // clang-format off
        {"both system files", [](const fs::path& d) { writeText(d / "_WQ5TSYS.CNF", "x"); },
         kMsgDoubleSystemFile},
        {"no system file", [](const fs::path& d) { fs::remove(d / "_WQ7TSYS.CNF"); },
         kMsgPhraseFileUnreadable},
        {"short phrase file", [](const fs::path& d) { fs::resize_file(d / "_WQ7TPHR.CNF", 19920); },
         kMsgPhraseFileUnreadable},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir t;
        OpenCard card(t.path(), Model::WQ7000);
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
    OpenCard card(t.path(), Model::WQ7000);
    writeBytes(t / "_WQP0001.PHR", test::kpacFile(1, 1, 0, 5));
    card.doc.sys().setCardName("EDITED");
    card.doc.markModified(true);

    ScriptedPrompter no({Answer::No});
    EXPECT_EQ(runCleanup(card.doc, no).status, CleanupResult::Status::Cancelled);
    EXPECT_EQ(no.questions, std::vector<std::string>{kMsgCleanupSaveFirst});
    EXPECT_TRUE(card.doc.isModified());
    EXPECT_FALSE(card.doc.phr().isUsed(0));

    ScriptedPrompter yes({Answer::Yes});
    EXPECT_EQ(runCleanup(card.doc, yes).status, CleanupResult::Status::Finished);
    // The edit was saved before the reload, and the new phrase is named after it.
    EXPECT_EQ(card.doc.sys().getCardName(), "EDITED");
    EXPECT_TRUE(card.doc.phr().getName(0).starts_with("EDITED001"));
}

// A registration whose length no longer fits its data file is refreshed from
// the file's header; the user's name stays.
TEST(Cleanup, RefreshesAStaleRegistration) {
    TempDir t;
    OpenCard card(t.path(), Model::WQ7000);
    writeBytes(t / "_WQP0002.PHR", test::kpacFile(2, 1, 1, 63));
    test::registerAs(card.doc, 1, kTypeAudio);
    card.doc.phr().setLength(1, 5);
    card.save();
    ScriptedPrompter p;
    const auto r = runCleanup(card.doc, p);
    ASSERT_TRUE(r.ok()) << r.error;
    ASSERT_EQ(r.reports.size(), 1u);
    EXPECT_EQ(r.reports[0].action, CleanupAction::Refreshed);
    EXPECT_EQ(card.doc.phr().getLength(1), 63u);
    EXPECT_EQ(card.doc.phr().getDataFileLength(1), 16u + 63 * 20);
    EXPECT_TRUE(card.doc.phr().getName(1).starts_with("USER NAME"));
}

}  // namespace
}  // namespace wqe
