// The card folder's upkeep: cleanup, backup and restore, and deleting a
// backup folder.
#include <gtest/gtest.h>

#include <cstdlib>

#include "maintenance/BackupRestore.h"
#include "maintenance/CardFixture.h"
#include "maintenance/Cleanup.h"
#include "maintenance/PhraseDelete.h"
#include "support/FaultyFileSystem.h"

namespace wqe {
namespace {

using test::kKindWav;
using test::OpenCard;
using test::readBytes;
using test::readText;
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
            if (f == "PAT") writeBytes(data + "PHR", test::patternFile(1, 1024));
            if (f == "SONG") writeBytes(data + "PHR", test::patternFile(2, 1030));
        }

        ScriptedPrompter p;
        const CleanupResult r = runCleanup(card.doc, p);
        ASSERT_EQ(r.status, CleanupResult::Status::Finished) << r.error;
        EXPECT_TRUE(r.reloaded);
        ASSERT_EQ(p.questions.size(), c.asked.empty() ? 0u : 1u);
        if (!c.asked.empty()) {
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
    // A loop of links beside a registered record and beside an empty one.
    for (const bool registered : {true, false}) {
        SCOPED_TRACE(registered ? "registered" : "empty");
        TempDir t;
        OpenCard card(t.path(), Model::WQ7000);
        if (registered) test::registerAs(card.doc, 0, kTypeAudio);
        card.save();
        const fs::path phr = t / "_WQP0001.PHR";
        fs::create_symlink("_WQP0001.PHR", phr);
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
        EXPECT_NE(p.messages[0].find("Too many levels of symbolic links"), std::string::npos);
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
    // A second system file, or a phrase file cut short.
    for (const bool doubled : {true, false}) {
        SCOPED_TRACE(doubled ? "both system files" : "short phrase file");
        TempDir t;
        OpenCard card(t.path(), Model::WQ7000);
        writeBytes(t / "_WQP0001.PHR", test::kpacFile(1, 1, 0, 5));
        if (doubled)
            writeText(t / "_WQ5TSYS.CNF", "x");
        else
            fs::resize_file(t / "_WQ7TPHR.CNF", 19920);
        const auto phr = readBytes(t / "_WQ7TPHR.CNF");
        ScriptedPrompter p;
        const auto r = runCleanup(card.doc, p);
        EXPECT_EQ(r.status, CleanupResult::Status::Stopped);
        const char* message = doubled ? kMsgDoubleSystemFile : kMsgPhraseFileUnreadable;
        EXPECT_EQ(p.messages, std::vector<std::string>{message});
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
    EXPECT_TRUE(card.doc.phr().getName(1).starts_with("USER NAME"));
}

using Status = TransferResult::Status;

// The program's own temporary files, which a transfer never copies.
constexpr const char* kScratch[] = {".wqe-123.tmp", ".wqe-import-9.tmp", "._WQP0001.PHR.part42",
                                    "_WQ7TDIR.CNF/.wqe-7.tmp", ".wqe-stage-1-1/new"};

// A source card folder with a sub-folder tree, a few device files and the
// program's temporary files.
std::string fillSource(const fs::path& src) {
    test::makeCard(src, Model::WQ7000);
    writeText(src / "_WQP0001.PHR", "new phrase 1");
    writeText(src / "notes.doc", "source notes");
    writeText(src / ".notes.part", "kept: no number");
    fs::create_directories(src / "_WQ7TDIR.CNF" / "deep");
    writeText(src / "_WQ7TDIR.CNF" / "deep" / "x.bin", "deep file");
    fs::create_directories(src / ".wqe-stage-1-1");
    for (const char* f : kScratch) writeText(src / f, "scratch");
    return src.string();
}

TEST(BackupRestore, BackupIntoMissingFolderAsksNothingAndCopiesAllButTemporaryFiles) {
    TempDir t;
    ScriptedPrompter p;
    const fs::path dst = t / "backup" / "one";
    const auto r =
        runTransfer(TransferMode::Backup, fillSource(t / "card"), dst.string(), nullptr, p);
    EXPECT_EQ(r.status, Status::Done);
    EXPECT_TRUE(p.questions.empty());
    // The temporary files are left out.
    EXPECT_EQ(test::snapshot(dst), test::snapshot(t / "card", isScratchName));
    // Not the program's: copied although its name looks temporary.
    EXPECT_EQ(readText(dst / ".notes.part"), "kept: no number");
    // system, phrase, memo, phrase data, notes, .notes.part, deep file
    EXPECT_EQ(r.filesCopied, 7u);
}

// No leaves the destination as it was. Yes deletes the device's file set
// and a staging folder a killed transfer left, and nothing else, before
// copying: the destination then holds exactly the source without its
// temporary files, beside the files that are not the device's.
TEST(BackupRestore, DeletesOnlyTheDeviceFileSetBeforeCopying) {
    TempDir t;
    const std::string card = fillSource(t / "card");
    auto expected = test::snapshot(t / "card", isScratchName);
    const std::pair<const char*, bool> files[] = {
        // file, deleted
        {"_WQP0001.PHR", true},           {"_wqp0002.phr", true}, {"_WQNOEXT", true},
        {"WQE_MEMO.TXT", true},           {"wqnotes.txt", true},  {"_WQ7TDIR.CNF/a.dat", true},
        {"_WQ7TDIR.CNF/sub/b.dat", true}, {"readme.doc", false},  {"WQ.DOC", false},
        {"_WQ_FOLDER/c.dat", false}};
    for (const auto& [f, deleted] : files) {
        if (!deleted) expected[f] = "old";
    }
    expected["_WQ_FOLDER"] = "<dir>";

    // Backup and restore share the deleting; the restore is taken.
    const fs::path dst = t / "restore";
    fs::create_directories(dst / "_WQ7TDIR.CNF" / "sub");
    fs::create_directories(dst / "_WQ_FOLDER");
    fs::create_directories(dst / ".wqe-stage-999999999-5" / "old");  // no such process
    for (const auto& [f, deleted] : files) writeText(dst / f, "old");
    const auto before = test::snapshot(dst);
    ScriptedPrompter no({Answer::No});
    const TransferMode restore = TransferMode::Restore;
    EXPECT_EQ(runTransfer(restore, card, dst.string(), nullptr, no).status, Status::Declined);
    EXPECT_EQ(test::snapshot(dst), before);

    ScriptedPrompter p({Answer::Yes});
    const auto r = runTransfer(restore, card, dst.string(), nullptr, p);
    ASSERT_EQ(r.status, Status::Done) << (r.errors.empty() ? "" : r.errors[0]);
    EXPECT_EQ(p.questions, std::vector<std::string>{kMsgRestoreIntoFolder});
    EXPECT_EQ(test::snapshot(dst), expected);
}

TEST(BackupRestore, RefusesUnusableFoldersWithoutTouchingAnything) {
    TempDir t;
    const std::string card = fillSource(t / "card");
    const std::string inner = card + "/inner";
    fs::create_directories(inner);
    writeText(inner + "/_WQP0005.PHR", "stays");
    writeText(t / "file.txt", "a file");
    const auto before = test::snapshot(t.path());
    const struct {
        std::string source, destination, reason;
    } cases[] = {
        {"", card, "No source folder"},
        {card, "", "No destination folder"},
        {(t / "missing").string(), card, "the source folder does not exist"},
        {card, (t / "file.txt").string(), "is a file"},
        {card, card + "/.", "the same folder"},
        {card, inner, "inside the source folder"},
        {inner, card, "inside the destination folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source + " -> " + c.destination);
        ScriptedPrompter p({}, Answer::Yes);  // the backup checks the same way
        const auto r = runTransfer(TransferMode::Restore, c.source, c.destination, nullptr, p);
        EXPECT_EQ(r.status, Status::Refused);
        ASSERT_EQ(r.errors.size(), 1u);
        EXPECT_NE(r.errors[0].find(c.reason), std::string::npos) << r.errors[0];
        EXPECT_TRUE(p.questions.empty());
        EXPECT_EQ(p.messages.size(), 1u);
    }
    EXPECT_EQ(test::snapshot(t.path()), before);
}

TEST(BackupRestore, OpenCardDestinationAsksTheLongerQuestionAndReloads) {
    TempDir t;
    test::makeCard(t / "backup", Model::WQ5000);  // restore brings the other model
    writeText(t / "backup" / "_WQP0001.PHR", "restored");
    test::OpenCard card(t / "card", Model::WQ7000, 0, {Answer::Yes, Answer::Yes});
    writeText(t / "card" / "_WQP0003.PHR", "old");
    ScriptedPrompter& p = card.prompter;
    // The same folder spelt differently is still the open card.
    const auto r = runTransfer(TransferMode::Restore, (t / "backup").string(),
                               (t / "card" / "." / "").string(), &card.doc, p);
    EXPECT_EQ(r.status, Status::Done);
    EXPECT_EQ(p.questions, std::vector<std::string>{kMsgRestoreIntoOpenCard});
    EXPECT_TRUE(r.destinationIsOpenCard && r.reloaded);
    EXPECT_EQ(card.doc.model(), Model::WQ5000);
    EXPECT_EQ(test::snapshot(t / "card"), test::snapshot(t / "backup"));
}

// The staged copy fails by a real cause of the system, files being limited
// to 30000 bytes: the destination keeps exactly its old bytes (a new one is
// not left behind), no staging folder stays, and the file and the cause are
// told.
TEST(BackupRestore, AFailedCopyLeavesTheDestinationAsItWas) {
    TempDir t;
    const std::string card = fillSource(t / "card");
    test::writeBytes(t / "card" / "_WQP0002.PHR", test::Bytes(40000, 0x11));
    const fs::path dst = t / "dst";
    test::makeCard(dst, Model::WQ5000);
    writeText(dst / "_WQP0001.PHR", "old phrase");
    fs::create_directories(dst / "_WQ7TDIR.CNF" / "old");
    writeText(dst / "_WQ7TDIR.CNF" / "old" / "y.bin", "old deep");
    const auto before = test::snapshot(dst);
    // A restore over the old card, and a backup into a folder it must make.
    const std::pair<TransferMode, fs::path> cases[] = {{TransferMode::Restore, dst},
                                                       {TransferMode::Backup, t / "new" / "sub"}};
    for (const auto& [mode, destination] : cases) {
        SCOPED_TRACE(destination.string());
        const int status = test::runWithFileSizeLimit(30000, [&] {
            ScriptedPrompter p({Answer::Yes});
            const auto r = runTransfer(mode, card, destination.string(), nullptr, p);
            const bool told = p.messages.size() == 1 && r.errors.size() == 1 &&
                              r.errors[0].find("_WQP0002.PHR") != std::string::npos &&
                              p.messages[0].find("File too large") != std::string::npos &&
                              p.messages[0].find("was left as it was") != std::string::npos;
            return r.status == Status::Failed && told ? 0 : 1;
        });
        EXPECT_EQ(status, 0);
        EXPECT_EQ(test::snapshot(dst), before);
        EXPECT_FALSE(fs::exists(t / "new"));
    }
}

TEST(FolderDelete, RefusesRootHomeAndItsParentsAsksForOthers) {
    TempDir t;
    fs::create_directories(t / "home" / "user");
    writeText(t / "plain", "file");
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", (t / "home" / "user").c_str(), 1);
    const struct {
        std::string folder, reason;
    } cases[] = {
        {"", "No folder"},
        {(t / "missing").string(), "no such folder"},
        {(t / "plain").string(), "not a folder"},
        {"/", "root"},
        {(t / "home" / "user").string() + "/", "home folder is never deleted"},
        {t.str(), "holds the home folder"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        ScriptedPrompter p({}, Answer::Yes);
        const auto r = deleteFolder(c.folder, p);
        EXPECT_EQ(r.status, FolderDeleteResult::Status::Refused);
        EXPECT_NE(r.error.find(c.reason), std::string::npos) << r.error;
        EXPECT_TRUE(p.questions.empty());
    }
    EXPECT_TRUE(fs::exists(t / "home" / "user"));
    setenv("HOME", savedHome.c_str(), 1);

    // Any other folder: No keeps it, Yes deletes the whole tree.
    fs::create_directories(t / "old" / "sub");
    writeText(t / "old" / "sub" / "a", "a");
    ScriptedPrompter no({Answer::No});
    EXPECT_EQ(deleteFolder((t / "old").string(), no).status, FolderDeleteResult::Status::Declined);
    EXPECT_EQ(no.questions.size(), 1u);
    EXPECT_TRUE(fs::exists(t / "old" / "sub" / "a"));

    ScriptedPrompter yes({Answer::Yes});
    const auto r = deleteFolder((t / "old").string(), yes);
    EXPECT_EQ(r.status, FolderDeleteResult::Status::Deleted);
    EXPECT_EQ(r.removed, 3u);
    EXPECT_FALSE(fs::exists(t / "old"));
}

}  // namespace
}  // namespace wqe
