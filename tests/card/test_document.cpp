// The card document: open, reload, save and the save question, driven by
// scripted answers, on card folders the tests create.
#include <gtest/gtest.h>

#include "card/CWQEDoc.h"
#include "card/FileIO.h"
#include "card/NewCard.h"
#include "support/TempDir.h"

namespace wqe {
namespace {

using test::readBytes;
namespace sfs = std::filesystem;

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(createCard(dir.path(), Model::WQ7000, 0), "");
        doc.onTitleChanged = [this](const std::string& t) { title = t; };
        doc.onUpdateViews = [this] { ++updates; };
    }
    void TearDown() override { setWriteFaultInjectorForTesting(nullptr); }
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

TEST_F(DocumentTest, CreatesAMissingMemoFile) {
    sfs::remove(dir / "WQE_MEMO.TXT");
    ASSERT_TRUE(doc.openFile(sysPath()));
    const std::string memo = test::readText(dir / "WQE_MEMO.TXT");
    EXPECT_TRUE(memo.starts_with("SystemMemo:\r\n\r\nPhraseMemo:\r\n0001:\r\n"));
    EXPECT_TRUE(memo.ends_with("1000:\r\n"));
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

TEST_F(DocumentTest, AFailedSaveKeepsTheOldFilesAndSaysSo) {
    ASSERT_TRUE(doc.openFile(sysPath()));
    const auto sysBefore = readBytes(dir / "_WQ7TSYS.CNF");
    const auto memoBefore = readBytes(dir / "WQE_MEMO.TXT");
    doc.sys().setCardName("CHANGED!");
    doc.memo().setSystemMemo("new memo\n");
    modify();
    setWriteFaultInjectorForTesting([](const fs::path& p) -> std::optional<std::size_t> {
        const std::string name = p.filename().string();
        if (name == "_WQ7TSYS.CNF" || name == "WQE_MEMO.TXT") return 100;
        return std::nullopt;
    });
    EXPECT_FALSE(doc.onSaveCardInfo());
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(readBytes(dir / "_WQ7TSYS.CNF"), sysBefore);
    EXPECT_EQ(readBytes(dir / "WQE_MEMO.TXT"), memoBefore);
    ASSERT_EQ(prompter.messages.size(), 2u);
    EXPECT_NE(prompter.messages[0].find("_WQ7TSYS.CNF"), std::string::npos);
    EXPECT_NE(prompter.messages[1].find("WQE_MEMO.TXT"), std::string::npos);
    // No temporary files are left in the card folder.
    EXPECT_EQ(std::distance(sfs::directory_iterator(dir.path()), sfs::directory_iterator()), 3);

    setWriteFaultInjectorForTesting(nullptr);
    EXPECT_TRUE(doc.onSaveCardInfo());
    CWQEDoc again(prompter, settings);
    ASSERT_TRUE(again.openFile(sysPath()));
    EXPECT_EQ(again.sys().getCardName(), "CHANGED!");
    EXPECT_EQ(again.memo().systemMemo(), "new memo\n");
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
    struct Case { Answer answer; bool allowed, saved; };
    for (const Case& c : {Case{Answer::Cancel, false, false}, {Answer::No, true, false}, {Answer::Yes, true, true}}) {
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
    ASSERT_EQ(createCard(dir.path(), Model::WQ5000, 1), "");
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
