#include <gtest/gtest.h>

#include <algorithm>

#include "maintenance/BackupRestore.h"
#include "maintenance/CardFixture.h"

namespace wqe {
namespace {

using test::readText;
using test::TempDir;
using test::writeText;
using Status = TransferResult::Status;

// A source card folder with a sub-folder tree and a few device files.
void fillSource(const fs::path& src) {
    test::makeCard(src, Model::WQ7000);
    writeText(src / "_WQP0001.PHR", "new phrase 1");
    writeText(src / "notes.doc", "source notes");
    fs::create_directories(src / "_WQ7TDIR.CNF" / "deep");
    writeText(src / "_WQ7TDIR.CNF" / "deep" / "x.bin", "deep file");
}

TEST(BackupRestore, BackupIntoMissingFolderAsksNothingAndCreatesIt) {
    TempDir t;
    fillSource(t / "card");
    ScriptedPrompter p;
    const auto r = runTransfer(TransferMode::Backup, (t / "card").string(),
                               (t / "backup" / "one").string(), nullptr, p);
    EXPECT_EQ(r.status, Status::Done);
    EXPECT_TRUE(p.questions.empty());
    EXPECT_TRUE(r.deleted.empty());
    EXPECT_EQ(readText(t / "backup" / "one" / "_WQP0001.PHR"), "new phrase 1");
    EXPECT_EQ(readText(t / "backup" / "one" / "_WQ7TDIR.CNF" / "deep" / "x.bin"), "deep file");
    EXPECT_EQ(r.filesCopied, 6u);  // system, phrase, memo, phrase data, notes, deep file
}

TEST(BackupRestore, DeletesOnlyTheDeviceFileSetBeforeCopying) {
    TempDir t;
    fillSource(t / "card");
    const fs::path dst = t / "old";
    fs::create_directories(dst / "_WQ7TDIR.CNF" / "sub");
    fs::create_directories(dst / "_WQ_FOLDER");
    writeText(dst / "_WQP0001.PHR", "old 1");
    writeText(dst / "_wqp0002.phr", "old 2, lower case");
    writeText(dst / "_WQNOEXT", "no extension");
    writeText(dst / "WQE_MEMO.TXT", "old memo");
    writeText(dst / "wqnotes.txt", "matches WQ*.TXT");
    writeText(dst / "readme.doc", "kept");
    writeText(dst / "WQ.DOC", "kept: not .TXT");
    writeText(dst / "_WQ7TDIR.CNF" / "a.dat", "inside");
    writeText(dst / "_WQ7TDIR.CNF" / "sub" / "b.dat", "inside too");
    writeText(dst / "_WQ_FOLDER" / "c.dat", "folder of a matching name: kept");

    for (const TransferMode mode : {TransferMode::Backup, TransferMode::Restore}) {
        SCOPED_TRACE(static_cast<int>(mode));
        ScriptedPrompter p({Answer::Yes});
        // Restore uses the same deletion set; copy the old content back first.
        const auto r = runTransfer(mode, (t / "card").string(), dst.string(), nullptr, p);
        ASSERT_EQ(r.status, Status::Done) << (r.errors.empty() ? "" : r.errors[0]);
        ASSERT_EQ(p.questions.size(), 1u);
        EXPECT_EQ(p.questions[0],
                  mode == TransferMode::Backup ? kMsgBackupIntoFolder : kMsgRestoreIntoFolder);
        if (mode == TransferMode::Backup) {
            EXPECT_FALSE(fs::exists(dst / "_wqp0002.phr"));
            EXPECT_FALSE(fs::exists(dst / "_WQNOEXT"));
            EXPECT_FALSE(fs::exists(dst / "wqnotes.txt"));
            EXPECT_FALSE(fs::exists(dst / "_WQ7TDIR.CNF" / "a.dat"));
            EXPECT_FALSE(fs::exists(dst / "_WQ7TDIR.CNF" / "sub"));
            EXPECT_EQ(readText(dst / "readme.doc"), "kept");
            EXPECT_EQ(readText(dst / "WQ.DOC"), "kept: not .TXT");
            EXPECT_EQ(readText(dst / "_WQ_FOLDER" / "c.dat"), "folder of a matching name: kept");
        }
        EXPECT_EQ(readText(dst / "_WQP0001.PHR"), "new phrase 1");
        EXPECT_EQ(readText(dst / "_WQ7TDIR.CNF" / "deep" / "x.bin"), "deep file");
        EXPECT_TRUE(fs::exists(dst / "WQE_MEMO.TXT"));
    }
}

TEST(BackupRestore, NoLeavesEverythingAsItWas) {
    TempDir t;
    fillSource(t / "card");
    fs::create_directories(t / "old");
    writeText(t / "old" / "_WQP0009.PHR", "old");
    for (const TransferMode mode : {TransferMode::Backup, TransferMode::Restore}) {
        ScriptedPrompter p({Answer::No});
        const auto r = runTransfer(mode, (t / "card").string(), (t / "old").string(), nullptr, p);
        EXPECT_EQ(r.status, Status::Declined);
        EXPECT_EQ(readText(t / "old" / "_WQP0009.PHR"), "old");
        EXPECT_FALSE(fs::exists(t / "old" / "_WQP0001.PHR"));
    }
}

TEST(BackupRestore, RefusesUnusableFoldersWithoutTouchingAnything) {
    TempDir t;
    fillSource(t / "card");
    fs::create_directories(t / "card" / "inner");
    writeText(t / "card" / "inner" / "_WQP0005.PHR", "stays");
    writeText(t / "file.txt", "a file");
    const std::string card = (t / "card").string();
    struct Case {
        std::string source, destination, reason;
    } cases[] = {
        {"", card, "No source folder"},
        {card, "", "No destination folder"},
        {(t / "missing").string(), card, "the source folder does not exist"},
        {card, (t / "file.txt").string(), "is a file"},
        {card, card + "/", "the same folder"},
        {card, (t / "card" / ".").string(), "the same folder"},
        {card, (t / "card" / "inner").string(), "inside the source folder"},
        {(t / "card" / "inner").string(), card, "inside the destination folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source + " -> " + c.destination);
        for (const TransferMode mode : {TransferMode::Backup, TransferMode::Restore}) {
            ScriptedPrompter p({}, Answer::Yes);
            const auto r = runTransfer(mode, c.source, c.destination, nullptr, p);
            EXPECT_EQ(r.status, Status::Refused);
            ASSERT_EQ(r.errors.size(), 1u);
            EXPECT_NE(r.errors[0].find(c.reason), std::string::npos) << r.errors[0];
            EXPECT_TRUE(p.questions.empty());
            ASSERT_EQ(p.messages.size(), 1u);
        }
    }
    EXPECT_EQ(readText(t / "card" / "_WQP0001.PHR"), "new phrase 1");
    EXPECT_EQ(readText(t / "card" / "inner" / "_WQP0005.PHR"), "stays");
}

TEST(BackupRestore, OpenCardDestinationAsksTheLongerQuestionAndReloads) {
    TempDir t;
    test::makeCard(t / "backup", Model::WQ5000);  // restore brings the other model
    writeText(t / "backup" / "_WQP0001.PHR", "restored");
    test::makeCard(t / "card", Model::WQ7000);
    writeText(t / "card" / "_WQP0003.PHR", "old");

    ScriptedPrompter p({Answer::Yes});
    MemorySettings settings;
    CWQEDoc doc(p, settings);
    ASSERT_TRUE(doc.openCard((t / "card").string()));
    // The same folder spelt differently is still the open card.
    const auto r = runTransfer(TransferMode::Restore, (t / "backup").string(),
                               (t / "card" / "." / "").string(), &doc, p);
    EXPECT_EQ(r.status, Status::Done);
    ASSERT_EQ(p.questions.size(), 1u);
    EXPECT_EQ(p.questions[0], kMsgRestoreIntoOpenCard);
    EXPECT_TRUE(r.destinationIsOpenCard);
    EXPECT_TRUE(r.reloaded);
    EXPECT_EQ(doc.model(), Model::WQ5000);
    EXPECT_FALSE(fs::exists(t / "card" / "_WQ7TSYS.CNF"));
    EXPECT_FALSE(fs::exists(t / "card" / "_WQP0003.PHR"));

    // Backup of another card into the open card's folder.
    test::makeCard(t / "other", Model::WQ7000);
    ScriptedPrompter p2({Answer::Yes});
    const auto b =
        runTransfer(TransferMode::Backup, (t / "other").string(), (t / "card").string(), &doc, p2);
    ASSERT_EQ(p2.questions.size(), 1u);
    EXPECT_EQ(p2.questions[0], kMsgBackupIntoOpenCard);
    EXPECT_TRUE(b.reloaded);
    EXPECT_EQ(doc.model(), Model::WQ7000);
}

TEST(BackupRestore, NoOpenCardNeverReloads) {
    TempDir t;
    fillSource(t / "card");
    fs::create_directories(t / "dst");
    ScriptedPrompter p({Answer::Yes});
    MemorySettings settings;
    CWQEDoc doc(p, settings);
    const auto r =
        runTransfer(TransferMode::Backup, (t / "card").string(), (t / "dst").string(), &doc, p);
    EXPECT_EQ(r.status, Status::Done);
    EXPECT_FALSE(r.destinationIsOpenCard);
    EXPECT_FALSE(r.reloaded);
}

TEST(BackupRestore, ACopyFailureIsReportedNamingTheFile) {
    TempDir t;
    fillSource(t / "card");
    // A folder where the copy must put a file: that entry cannot be copied.
    fs::create_directories(t / "dst" / "notes.doc");
    std::vector<std::pair<std::size_t, std::size_t>> progress;
    ScriptedPrompter p({Answer::Yes});
    const auto r =
        runTransfer(TransferMode::Backup, (t / "card").string(), (t / "dst").string(), nullptr, p,
                    [&](std::size_t d, std::size_t n) { progress.emplace_back(d, n); });
    EXPECT_EQ(r.status, Status::Failed);
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_NE(r.errors[0].find("notes.doc"), std::string::npos);
    ASSERT_EQ(p.messages.size(), 1u);
    EXPECT_NE(p.messages[0].find("The backup did not complete"), std::string::npos);
    // Everything else was still copied; progress ran to the end.
    EXPECT_EQ(readText(t / "dst" / "_WQP0001.PHR"), "new phrase 1");
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back().first, progress.back().second);
}

}  // namespace
}  // namespace wqe
