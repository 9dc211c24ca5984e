// The card document: open, reload, save and the save question, driven by
// scripted answers, on card folders the tests create.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <map>

#include "card/CWQEDoc.h"
#include "card/FileIO.h"
#include "card/NewCard.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace wqe {
namespace {

using test::readBytes;
namespace sfs = std::filesystem;

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(createCard(dir.path(), Model::WQ7000, 0));
        doc.onTitleChanged = [this](const std::string& t) { title = t; };
        doc.onUpdateViews = [this] { ++updates; };
    }
    std::string path(const char* name) const { return (dir / name).string(); }
    std::string sysPath() const { return path("_WQ7TSYS.CNF"); }
    void modify() { doc.markModified(true); }

    test::TempDir dir;
    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEDoc doc{prompter, settings};
    std::string title;
    int updates = 0;
};

TEST_F(DocumentTest, OpensACardThroughTheDialog) {
    settings.setValue(kKeySystemFolder, sysPath());
    prompter.files.push_back(sysPath());
    doc.newDocument();
    EXPECT_EQ(title, "Load system information.");
    doc.onOpenCardInfo();
    ASSERT_TRUE(doc.isLoaded());
    EXPECT_EQ(prompter.openDialogFolders.at(0), dir.str());
    EXPECT_EQ(doc.phrasePath(), path("_WQ7TPHR.CNF"));
    EXPECT_EQ(doc.memoPath(), path("WQE_MEMO.TXT"));
    EXPECT_EQ(title, sysPath());
    EXPECT_EQ(settings.value(kKeySystemFolder), sysPath());
    EXPECT_FALSE(doc.isModified());
    EXPECT_GE(updates, 1);
    EXPECT_EQ(doc.phraseCount(), 250);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DocumentTest, RefusesOtherFileNamesAndShortSystemFiles) {
    sfs::copy_file(sysPath(), dir / "_wq7tsys.cnf");
    for (const char* name : {"_wq7tsys.cnf", "_WQ7TPHR.CNF"}) {
        EXPECT_FALSE(doc.openFile(path(name)));
        EXPECT_EQ(doc.systemPath(), "");
        EXPECT_EQ(prompter.messages.back(), "Choose a proper file name.");
    }
    auto bytes = readBytes(sysPath());
    bytes.resize(1351);
    test::writeBytes(sysPath(), bytes);
    EXPECT_FALSE(doc.openFile(sysPath()));
    EXPECT_FALSE(doc.isLoaded());
    EXPECT_EQ(prompter.messages.back(), "Fail to Read File!");
    EXPECT_EQ(doc.sys().getCardName(), "WQ-7000 ");
}

TEST_F(DocumentTest, AMissingMemoFileIsCreatedBySaveNotByOpen) {
    sfs::remove(dir / "WQE_MEMO.TXT");
    ASSERT_TRUE(doc.openFile(sysPath()));
    EXPECT_FALSE(sfs::exists(dir / "WQE_MEMO.TXT"));  // a write-protected card opens
    modify();
    ASSERT_TRUE(doc.onSaveCardInfo());
    const std::string memo = test::readText(dir / "WQE_MEMO.TXT");
    EXPECT_TRUE(memo.starts_with("SystemMemo:\r\n\r\nPhraseMemo:\r\n0001:\r\n"));
    EXPECT_TRUE(memo.ends_with("1000:\r\n"));
}

// Files that cannot be read are reported by file and kind when the card is
// opened, and no card is shown (so none can be saved over them).
TEST_F(DocumentTest, UnreadableFilesFailTheOpenByNameAndKind) {
    auto phraseFileIsAFolder = [](const sfs::path& card) {
        sfs::remove(card / "_WQ7TPHR.CNF");
        sfs::create_directory(card / "_WQ7TPHR.CNF");
    };
    auto noPhraseFile = [](const sfs::path& card) { sfs::remove(card / "_WQ7TPHR.CNF"); };
    auto nothing = [](const sfs::path&) {};
    const struct {
        const char* what;
        std::function<void(const sfs::path&)> prepare;
        int k;  // the k-th read fails with EACCES; 0 for none
        const char* file;
        ErrorKind kind;
        const char* message;
    } cases[] = {
        {"phrase file missing", noPhraseFile, 0, "_WQ7TPHR.CNF", ErrorKind::NotFound,
         "Fail to Read File!"},
        {"phrase file a folder", phraseFileIsAFolder, 0, "_WQ7TPHR.CNF", ErrorKind::IsFolder,
         "Fail to Read File!"},
        {"system file denied", nothing, 1, "_WQ7TSYS.CNF", ErrorKind::PermissionDenied,
         "Fail to Read File!"},
        {"phrase file denied", nothing, 2, "_WQ7TPHR.CNF", ErrorKind::PermissionDenied,
         "Fail to Read File!"},
        {"memo file denied", nothing, 3, "WQE_MEMO.TXT", ErrorKind::PermissionDenied,
         "Unable to open Memo file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir card;
        ASSERT_TRUE(createCard(card.path(), Model::WQ7000, 0));
        c.prepare(card.path());
        test::FaultyFileSystem faulty;
        if (c.k) faulty.failAt(test::FsOp::Read, c.k, EACCES);
        ScriptedPrompter p;
        CWQEDoc d(p, settings);
        d.setFileSystem(faulty);
        EXPECT_FALSE(d.openCard(card.str()));
        ASSERT_EQ(p.errors.size(), 1u);
        EXPECT_EQ(p.errors[0].kind, c.kind);
        EXPECT_EQ(p.errors[0].file, (card / c.file).string());
        EXPECT_EQ(p.messages[0], c.message);
        // A card with an unreadable memo file is shown but never writes it.
        if (d.isLoaded()) {
            test::writeText(card / "WQE_MEMO.TXT", "kept");
            d.markModified(true);
            EXPECT_TRUE(d.onSaveCardInfo());
            EXPECT_EQ(test::readText(card / "WQE_MEMO.TXT"), "kept");
        }
    }
}

TEST_F(DocumentTest, FolderProblemsAreNamedNotTakenForAMissingCard) {
    sfs::create_symlink(dir / "loop-a", dir / "loop-b");
    sfs::create_symlink(dir / "loop-b", dir / "loop-a");
    const Status s = doc.loadCard(path("loop-a"));
    ASSERT_FALSE(s);
    EXPECT_EQ(s.error().kind, ErrorKind::SymlinkLoop);
    EXPECT_EQ(s.error().file, path("loop-a"));
    const Status none = doc.loadCard(path("nothing-here"));
    ASSERT_FALSE(none);
    EXPECT_EQ(none.error().kind, ErrorKind::NotFound);
}

TEST_F(DocumentTest, SavingChangesOnlyTheEditedBytes) {
    ASSERT_TRUE(doc.openFile(sysPath()));
    auto sysWant = readBytes(dir / "_WQ7TSYS.CNF");
    auto phrWant = readBytes(dir / "_WQ7TPHR.CNF");
    doc.sys().setMtcErrorLevel(9);
    doc.phr().setVolume(3, 55);
    doc.memo().setPhraseMemo(3, "edited");
    modify();
    ASSERT_TRUE(doc.onSaveCardInfo());
    EXPECT_FALSE(doc.isModified());
    sysWant[1325] = 9;
    phrWant[3 * 80 + 52] = 55;
    EXPECT_EQ(readBytes(dir / "_WQ7TSYS.CNF"), sysWant);
    EXPECT_EQ(readBytes(dir / "_WQ7TPHR.CNF"), phrWant);
    EXPECT_NE(test::readText(dir / "WQE_MEMO.TXT").find("0004:edited\r\n"), std::string::npos);
}

TEST_F(DocumentTest, SavingAnUnmodifiedCardBeepsAndWritesNothing) {
    ASSERT_TRUE(doc.openFile(sysPath()));
    sfs::remove(dir / "WQE_MEMO.TXT");
    EXPECT_TRUE(doc.onSaveCardInfo());
    EXPECT_EQ(prompter.beeps, 1);
    EXPECT_FALSE(sfs::exists(dir / "WQE_MEMO.TXT"));
}

// A fault at any write, flush, rename or removal of a save leaves every card
// file with either its old or its new content, says which files changed, and
// keeps the card modified. Faults before the first rename change nothing.
TEST_F(DocumentTest, EachSaveFaultLeavesOldOrNewContentFileByFile) {
    const char* names[] = {"_WQ7TSYS.CNF", "_WQ7TPHR.CNF", "WQE_MEMO.TXT"};
    std::map<std::string, std::vector<std::uint8_t>> before, after;
    auto edit = [](CWQEDoc& d) {
        d.sys().setCardName("CHANGED!");
        d.phr().setVolume(3, 55);
        d.memo().setSystemMemo("new memo\n");
        d.markModified(true);
    };
    test::FaultyFileSystem probe;
    {
        test::TempDir card;
        ASSERT_TRUE(createCard(card.path(), Model::WQ7000, 0));
        for (const char* n : names) before[n] = readBytes(card / n);
        CWQEDoc d(prompter, settings);
        d.setFileSystem(probe);
        ASSERT_TRUE(d.openCard(card.str()));
        edit(d);
        ASSERT_TRUE(d.onSaveCardInfo());
        for (const char* n : names) after[n] = readBytes(card / n);
    }
    int runs = 0;
    for (test::FsOp op : test::kWriteOps) {
        for (int k = 1; k <= probe.count(op); ++k, ++runs) {
            SCOPED_TRACE(std::string(test::fsOpName(op)) + " " + std::to_string(k));
            test::TempDir card;
            ASSERT_TRUE(createCard(card.path(), Model::WQ7000, 0));
            test::FaultyFileSystem faulty;
            faulty.failAt(op, k, ENOSPC);
            ScriptedPrompter p;
            CWQEDoc d(p, settings);
            d.setFileSystem(faulty);
            ASSERT_TRUE(d.openCard(card.str()));
            edit(d);
            EXPECT_FALSE(d.onSaveCardInfo());
            EXPECT_TRUE(d.isModified());
            ASSERT_EQ(p.errors.size(), 1u);
            EXPECT_EQ(p.messages[0], "Save failed.");
            const std::string& reason = p.errors[0].reason;
            for (const char* n : names) {
                const auto now = readBytes(card / n);
                ASSERT_TRUE(now == before[n] || now == after[n]) << n;
                if (now == after[n] && now != before[n]) {
                    EXPECT_NE(reason.find(std::string("already changed:")), std::string::npos);
                }
                if (op != test::FsOp::Rename) {
                    EXPECT_EQ(now, before[n]) << n;
                }
            }
            for (const auto& e : sfs::directory_iterator(card.path()))
                EXPECT_FALSE(isTemporaryFileName(e.path().filename().string()));
            // The same document saves once the fault is gone.
            d.setFileSystem(realFileSystem());
            EXPECT_TRUE(d.onSaveCardInfo());
            for (const char* n : names) EXPECT_EQ(readBytes(card / n), after[n]) << n;
        }
    }
    EXPECT_GE(runs, 12);  // three files: create, write, flush, rename each
}

TEST_F(DocumentTest, SavingIntoAReadOnlyFolderSaysSo) {
    ASSERT_TRUE(doc.openFile(sysPath()));
    test::FaultyFileSystem readOnly;
    readOnly.failFrom(test::FsOp::Create, 1, EROFS);
    doc.setFileSystem(readOnly);
    modify();
    EXPECT_FALSE(doc.onSaveCardInfo());
    ASSERT_EQ(prompter.errors.size(), 1u);
    EXPECT_EQ(prompter.errors[0].kind, ErrorKind::ReadOnlyFileSystem);
    EXPECT_NE(prompter.errors[0].reason.find("is read-only"), std::string::npos);
}

TEST_F(DocumentTest, AMemoFileNotUnderstoodIsReplacedOnlyAfterAYes) {
    // CR-only line ends are understood; a file with a foreign layout is not.
    test::writeText(dir / "WQE_MEMO.TXT", "SystemMemo:\rabc\rPhraseMemo:\r0001:one\r0002:two\r");
    ASSERT_TRUE(doc.openFile(sysPath()));
    EXPECT_TRUE(doc.memoUnderstood());
    EXPECT_EQ(doc.memo().systemMemo(), "abc\n");
    EXPECT_EQ(doc.memo().phraseMemo(1), "two");

    const std::string foreign = "my notes\nabout this card\n";
    test::writeText(dir / "WQE_MEMO.TXT", foreign);
    ASSERT_TRUE(doc.openFile(sysPath()));
    EXPECT_FALSE(doc.memoUnderstood());
    const auto sysBefore = readBytes(dir / "_WQ7TSYS.CNF");
    doc.sys().setCardName("CHANGED!");
    modify();
    prompter.questions.clear();
    EXPECT_FALSE(doc.onSaveCardInfo());  // the scripted answer is No
    ASSERT_EQ(prompter.questions.size(), 1u);
    EXPECT_NE(prompter.questions[0].find(path("WQE_MEMO.TXT")), std::string::npos);
    EXPECT_EQ(test::readText(dir / "WQE_MEMO.TXT"), foreign);
    EXPECT_EQ(readBytes(dir / "_WQ7TSYS.CNF"), sysBefore);

    ScriptedPrompter yes({Answer::Yes});
    CWQEDoc d(yes, settings);
    ASSERT_TRUE(d.openFile(sysPath()));
    d.markModified(true);
    EXPECT_TRUE(d.onSaveCardInfo());
    EXPECT_TRUE(test::readText(dir / "WQE_MEMO.TXT").starts_with("SystemMemo:\r\n"));
}

TEST_F(DocumentTest, OpeningRemovesStaleTemporariesOnly) {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    const std::string stale = ".wqe-" + std::to_string(child) + "-3.tmp";
    const std::string live = temporaryPathFor(dir / "x").filename().string();
    test::writeText(dir / stale, "x");
    test::writeText(dir / live, "x");
    ASSERT_TRUE(doc.openFile(sysPath()));
    EXPECT_FALSE(sfs::exists(dir / stale));
    EXPECT_TRUE(sfs::exists(dir / live));
}

TEST_F(DocumentTest, SaveQuestionBeforeOpeningAnotherCard) {
    ASSERT_TRUE(doc.openFile(sysPath()));
    doc.sys().setBaudRate(3);
    modify();
    prompter = ScriptedPrompter({Answer::Cancel});
    doc.onOpenCardInfo();
    EXPECT_TRUE(doc.isLoaded());
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(prompter.questions, std::vector<std::string>{"Save changes in system data?"});
    EXPECT_TRUE(prompter.openDialogFolders.empty());
    // No, then cancelling the dialog: no card is loaded and nothing was saved.
    prompter = ScriptedPrompter({Answer::No});
    doc.onOpenCardInfo();
    EXPECT_FALSE(doc.isLoaded());
    EXPECT_EQ(readBytes(dir / "_WQ7TSYS.CNF")[1326], 1);
    // Yes saves before the dialog.
    ASSERT_TRUE(doc.openFile(sysPath()));
    doc.sys().setBaudRate(2);
    modify();
    prompter = ScriptedPrompter({Answer::Yes});
    prompter.files.push_back(sysPath());
    doc.onOpenCardInfo();
    EXPECT_EQ(readBytes(dir / "_WQ7TSYS.CNF")[1326], 2);
    EXPECT_EQ(doc.sys().getBaudRate(), 2);
}

TEST_F(DocumentTest, SaveQuestionBeforeClosing) {
    ASSERT_TRUE(doc.openFile(sysPath()));
    EXPECT_TRUE(doc.saveModified());
    EXPECT_TRUE(prompter.questions.empty());
    struct Case {
        Answer answer;
        bool allowed, saved;
    };
    for (const Case& c : {Case{Answer::Cancel, false, false},
                          {Answer::No, true, false},
                          {Answer::Yes, true, true}}) {
        doc.sys().setMidiChannel(doc.sys().getMidiChannel() + 1);
        modify();
        prompter = ScriptedPrompter({c.answer});
        EXPECT_EQ(doc.saveModified(), c.allowed);
        EXPECT_EQ(readBytes(dir / "_WQ7TSYS.CNF")[1314] == doc.sys().getMidiChannel(), c.saved);
        EXPECT_EQ(prompter.beeps, 1);
    }
}

TEST_F(DocumentTest, ReloadSwitchesToTheModelNowInTheFolder) {
    ASSERT_TRUE(doc.openFile(sysPath()));
    doc.memo().setPhraseMemo(700, "memo of the old card");
    // A restore replaced the WQ-7000 card by a WQ-5000 card.
    for (auto name : {"_WQ7TSYS.CNF", "_WQ7TPHR.CNF", "WQE_MEMO.TXT"}) sfs::remove(dir / name);
    ASSERT_TRUE(createCard(dir.path(), Model::WQ5000, 1));
    ASSERT_TRUE(doc.reload());
    EXPECT_EQ(doc.systemPath(), path("_WQ5TSYS.CNF"));
    EXPECT_EQ(doc.phrasePath(), path("_WQ5TPHR.CNF"));
    EXPECT_EQ(doc.phr().getTempo(499), 115u);  // the 500th WQ-5000 record
    EXPECT_EQ(doc.memo().phraseMemo(700), "");
}

TEST_F(DocumentTest, FindsCardFilesWhateverTheirLetterCase) {
    sfs::rename(dir / "_WQ7TPHR.CNF", dir / "_wq7tphr.cnf");
    sfs::rename(dir / "_WQ7TSYS.CNF", dir / "_wq7tsys.cnf");
    ASSERT_TRUE(doc.openCard(dir.str()));
    EXPECT_EQ(doc.phr().recordCount(), 250);
    EXPECT_EQ(doc.phrasePath(), path("_wq7tphr.cnf"));
}

TEST_F(DocumentTest, CommandEnabling) {
    auto enabled = [this] {  // Save, Print, PrintPreview, Cleanup, WavImport
        std::string s;
        for (auto c : {DocCommand::Save, DocCommand::Print, DocCommand::PrintPreview,
                       DocCommand::Cleanup, DocCommand::WavImport})
            s += doc.isCommandEnabled(c) ? 'Y' : '.';
        return s;
    };
    EXPECT_EQ(enabled(), "....Y");
    modify();  // no card: ignored
    EXPECT_FALSE(doc.isModified());
    ASSERT_TRUE(doc.openFile(sysPath()));
    EXPECT_EQ(enabled(), ".YYYY");
    modify();
    EXPECT_EQ(enabled(), "YYYYY");
    doc.close();
    EXPECT_EQ(enabled(), "....Y");
    doc.setModel(Model::WQ5000);
    EXPECT_EQ(enabled(), ".....");
}

}  // namespace
}  // namespace wqe
