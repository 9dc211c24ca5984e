// Backup and restore of a card folder, the folder paths typed for them, and
// deleting a backup folder.
#include <gtest/gtest.h>

#include <cstdlib>

#include "maintenance/BackupRestore.h"
#include "maintenance/CardFixture.h"
#include "maintenance/PathRules.h"
#include "maintenance/PhraseDelete.h"

namespace wqe {
namespace {

using test::readText;
using test::TempDir;
using test::writeText;
using Status = TransferResult::Status;
constexpr TransferMode kModes[] = {TransferMode::Backup, TransferMode::Restore};

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

    for (const TransferMode mode : kModes) {
        SCOPED_TRACE(static_cast<int>(mode));
        const fs::path dst = t / (mode == TransferMode::Backup ? "backup" : "restore");
        fs::create_directories(dst / "_WQ7TDIR.CNF" / "sub");
        fs::create_directories(dst / "_WQ_FOLDER");
        fs::create_directories(dst / ".wqe-stage-999999999-5" / "old");  // no such process
        for (const auto& [f, deleted] : files) writeText(dst / f, "old");
        const auto before = test::snapshot(dst);
        ScriptedPrompter no({Answer::No});
        EXPECT_EQ(runTransfer(mode, card, dst.string(), nullptr, no).status, Status::Declined);
        EXPECT_EQ(test::snapshot(dst), before);

        ScriptedPrompter p({Answer::Yes});
        const auto r = runTransfer(mode, card, dst.string(), nullptr, p);
        ASSERT_EQ(r.status, Status::Done) << (r.errors.empty() ? "" : r.errors[0]);
        ASSERT_EQ(p.questions.size(), 1u);
        EXPECT_EQ(p.questions[0],
                  mode == TransferMode::Backup ? kMsgBackupIntoFolder : kMsgRestoreIntoFolder);
        EXPECT_EQ(test::snapshot(dst), expected);
    }
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
        for (const TransferMode mode : kModes) {
            ScriptedPrompter p({}, Answer::Yes);
            const auto r = runTransfer(mode, c.source, c.destination, nullptr, p);
            EXPECT_EQ(r.status, Status::Refused);
            ASSERT_EQ(r.errors.size(), 1u);
            EXPECT_NE(r.errors[0].find(c.reason), std::string::npos) << r.errors[0];
            EXPECT_TRUE(p.questions.empty());
            EXPECT_EQ(p.messages.size(), 1u);
        }
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

TEST(PathRules, ValidatesTypedFolderPaths) {
    struct Case {
        const char* path;
        bool valid;
    };
    // One row per rule: the forbidden characters share one.
    const Case cases[] = {
        {"/", true},      {"/data/New Sub", true}, {"/a/b.c/d e", true}, {"/カード", true},
        {"", false},      {"data", false},         {"/data/", false},    {"//data", false},
        {"/a/ b", false}, {"/a/b ", false},        {"/a/\tb", false},    {"/a/.hidden", false},
        {"/a/b.", false}, {"/a/..", false},        {"/da?ta", false},    {"/a/b\"c", false},
    };
    for (const Case& c : cases) EXPECT_EQ(isValidFolderPath(c.path), c.valid) << c.path;
}

TEST(FolderDelete, RefusesRootHomeAndItsParents) {
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
}

TEST(FolderDelete, AsksThenDeletesTheTree) {
    TempDir t;
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
