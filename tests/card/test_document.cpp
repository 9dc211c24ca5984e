// The card document: open, reload, save and the save question, driven by
// scripted answers, on card folders the tests create; then undo and redo
// through its edit seam: byte-identical images and memo texts at every step,
// the saved point, merging and the depth bound.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

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
    // The three parts an edit may change, as one comparable value.
    std::tuple<std::vector<std::uint8_t>, std::vector<std::uint8_t>, MemoTexts> state() const {
        const auto s = doc.sys().image(), p = doc.phr().image();
        return {{s.begin(), s.end()}, {p.begin(), p.end()}, MemoTexts::of(doc.memo())};
    }

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
    EXPECT_EQ(title, sysPath());
    EXPECT_EQ(settings.value(kKeySystemFolder), sysPath());
    EXPECT_FALSE(doc.isModified());
    EXPECT_GE(updates, 1);
}

// Short system files: tests/data/broken (card-sys-short).
TEST_F(DocumentTest, RefusesOtherFileNames) {
    EXPECT_FALSE(doc.openFile(path("_WQ7TPHR.CNF")));  // which names: test_card_files.cpp
    EXPECT_EQ(prompter.messages.back(), "Choose a proper file name.");
    EXPECT_FALSE(doc.isLoaded());
}

// Files that cannot be read are reported by file and kind when the card is
// opened, and no card is shown (so none can be saved over them).
TEST_F(DocumentTest, UnreadableFilesFailTheOpenByNameAndKind) {
    const struct {
        const char* what;
        int k;  // the k-th read fails with EACCES; 0: `file` is missing
        const char* file;
        ErrorKind kind;
        const char* message;
    } cases[] = {
        {"phrase file missing", 0, "_WQ7TPHR.CNF", ErrorKind::NotFound, "Fail to Read File!"},
        {"system file denied", 1, "_WQ7TSYS.CNF", ErrorKind::PermissionDenied,
         "Fail to Read File!"},
        {"memo file denied", 3, "WQE_MEMO.TXT", ErrorKind::PermissionDenied,
         "Unable to open Memo file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir card;
        ASSERT_TRUE(createCard(card.path(), Model::WQ7000, 0));
        test::FaultyFileSystem faulty;
        if (c.k)
            faulty.failAt(test::FsOp::Read, c.k, EACCES);
        else
            sfs::remove(card / c.file);
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

// Opening never writes (a write-protected card opens), saving an unmodified
// card beeps and writes nothing, and a save changes only the edited bytes and
// creates a missing memo file.
TEST_F(DocumentTest, SavingChangesOnlyTheEditedBytes) {
    sfs::remove(dir / "WQE_MEMO.TXT");
    ASSERT_TRUE(doc.openFile(sysPath()));
    EXPECT_FALSE(sfs::exists(dir / "WQE_MEMO.TXT"));
    EXPECT_TRUE(doc.onSaveCardInfo());
    EXPECT_EQ(prompter.beeps, 1);
    EXPECT_FALSE(sfs::exists(dir / "WQE_MEMO.TXT"));
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
    // The memo layout itself: test_card_files.cpp.
    EXPECT_NE(test::readText(dir / "WQE_MEMO.TXT").find("0004:edited"), std::string::npos);
}

// A fault at any write, flush, rename or removal of a save leaves every card
// file with either its old or its new content and keeps the card modified;
// faults before the first rename change nothing, so all three files go
// through one commit. (What the commit reports and cleans up:
// test_file_system.cpp.)
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
            for (const char* n : names) {
                const auto now = readBytes(card / n);
                ASSERT_TRUE(now == before[n] || now == after[n]) << n;
                if (op != test::FsOp::Rename) {
                    EXPECT_EQ(now, before[n]) << n;
                }
            }
            // The same document saves once the fault is gone.
            d.setFileSystem(realFileSystem());
            EXPECT_TRUE(d.onSaveCardInfo());
            for (const char* n : names) EXPECT_EQ(readBytes(card / n), after[n]) << n;
        }
    }
    EXPECT_GE(runs, 12);  // three files: create, write, flush, rename each
}

TEST_F(DocumentTest, AMemoFileNotUnderstoodIsReplacedOnlyAfterAYes) {
    // Which layouts are understood: test_card_files.cpp.
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

// Which temporaries are stale: test_file_system.cpp; opening removes them.
TEST_F(DocumentTest, OpeningRemovesStaleTemporaries) {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    const std::string stale = ".wqe-" + std::to_string(child) + "-3.tmp";
    test::writeText(dir / stale, "x");
    ASSERT_TRUE(doc.openFile(sysPath()));
    EXPECT_FALSE(sfs::exists(dir / stale));
}

// Only a modified card asks; each answer's effect before closing and before
// opening another card (Yes saves before the dialog, Cancel keeps the card).
TEST_F(DocumentTest, SaveQuestionBeforeClosingOrOpening) {
    ASSERT_TRUE(doc.openFile(sysPath()));
    EXPECT_TRUE(doc.saveModified());
    EXPECT_TRUE(prompter.questions.empty());
    const struct {
        Answer answer;
        bool opening, allowed, saved;
    } cases[] = {
        {Answer::Cancel, false, false, false}, {Answer::No, false, true, false},
        {Answer::Yes, false, true, true},      {Answer::Cancel, true, false, false},
        {Answer::Yes, true, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.answer) << (c.opening ? " opening" : " closing"));
        doc.sys().setMidiChannel(doc.sys().getMidiChannel() + 1);
        modify();
        prompter = ScriptedPrompter({c.answer});
        if (c.opening) {
            prompter.files.push_back(sysPath());
            doc.onOpenCardInfo();
            EXPECT_EQ(prompter.openDialogFolders.empty(), !c.allowed);
            EXPECT_EQ(doc.isModified(), !c.allowed);
        } else {
            EXPECT_EQ(doc.saveModified(), c.allowed);
        }
        EXPECT_EQ(readBytes(dir / "_WQ7TSYS.CNF")[1314] == doc.sys().getMidiChannel(), c.saved);
        EXPECT_EQ(prompter.questions, std::vector<std::string>{"Save changes in system data?"});
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

TEST_F(DocumentTest, UndoAndRedoGiveIdenticalStatesAtEachStep) {
    ASSERT_TRUE(doc.openCard(dir.str()));
    std::vector<decltype(state())> states{state()};
    const std::function<void()> edits[] = {
        [&] { doc.sys().setEqLowGain(3); },
        [&] { doc.phr().setName(4, "PHRASE05"); },
        [&] { doc.memo().setPhraseMemo(7, "memo of 8"); },
        [&] {
            doc.sys().setCardName("NEWNAME ");
            doc.memo().setSystemMemo("system\n");
        },
    };
    for (const auto& e : edits) {
        doc.edit("Step", e);
        states.push_back(state());
    }
    ASSERT_EQ(doc.history().steps(), 4u);
    for (int i = 3; i >= 0; --i) {
        ASSERT_TRUE(doc.undo());
        ASSERT_EQ(state(), states[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_FALSE(doc.undo());
    EXPECT_FALSE(doc.isModified());  // back at the opened state
    for (std::size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(doc.redo());
        ASSERT_EQ(state(), states[i]) << i;
        EXPECT_TRUE(doc.isModified());
    }
    EXPECT_FALSE(doc.redo());
    // An edit that changes nothing marks the document but is no step.
    doc.edit("Nothing", [] {});
    EXPECT_EQ(doc.history().undoName(), "Step");
}

TEST_F(DocumentTest, SavedPointClearsTheModifiedMark) {
    ASSERT_TRUE(doc.openCard(dir.str()));
    doc.edit("A", [&] { doc.sys().setBaudRate(0); });
    doc.edit("B", [&] { doc.sys().setBaudRate(2); });
    ASSERT_TRUE(doc.onSaveCardInfo());
    EXPECT_FALSE(doc.isModified());
    doc.undo();
    EXPECT_TRUE(doc.isModified());
    doc.redo();
    EXPECT_FALSE(doc.isModified());
    // A new edit after undoing past the save leaves the saved state unreachable.
    doc.undo();
    doc.undo();
    doc.edit("C", [&] { doc.sys().setBaudRate(3); });
    doc.undo();
    EXPECT_TRUE(doc.isModified());  // the opened state is no longer what the file holds
    // Reload starts a new history at the saved files.
    ASSERT_TRUE(doc.reload());
    EXPECT_FALSE(doc.history().canUndo());
    EXPECT_EQ(doc.sys().getBaudRate(), 2);
}

TEST_F(DocumentTest, MergingUntrackedChangesAndDepth) {
    ASSERT_TRUE(doc.openCard(dir.str()));
    const std::string original = doc.sys().getCardName();
    for (const char* name : {"A       ", "AB      ", "ABC     "})
        doc.edit(
            "Card Name", [&] { doc.sys().setCardName(name); }, true);
    doc.edit(
        "Baud Rate", [&] { doc.sys().setBaudRate(3); }, true);
    EXPECT_EQ(doc.history().steps(), 2u);
    doc.undo();
    doc.undo();
    EXPECT_EQ(doc.sys().getCardName(), original);
    // A change that bypassed the seam is never undone: the history restarts there.
    doc.redo();
    doc.sys().setBaudRate(0);
    EXPECT_FALSE(doc.undo());
    EXPECT_EQ(doc.sys().getBaudRate(), 0);
    EXPECT_EQ(doc.sys().getCardName(), "ABC     ");
    // The depth is bounded.
    for (int i = 0; i < 130; ++i) doc.edit("Step", [&] { doc.sys().setMidiChannel(i % 17 + 1); });
    EXPECT_EQ(doc.history().steps(), EditHistory::kDepth);
    int undone = 0;
    while (doc.undo()) ++undone;
    EXPECT_EQ(undone, 100);
    EXPECT_TRUE(doc.isModified());  // the opened state fell out of the history
}

}  // namespace
}  // namespace wqe
