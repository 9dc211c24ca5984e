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
using test::TempDir;

class DocumentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(createCard(dir.path(), Model::WQ7000, 0), "");
        doc.onTitleChanged = [this](const std::string& t) { title = t; };
        doc.onUpdateViews = [this] { ++updates; };
    }
    void TearDown() override { setWriteFaultInjectorForTesting(nullptr); }

    std::string sysPath() const { return (dir / "_WQ7TSYS.CNF").string(); }

    TempDir dir;
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
    EXPECT_EQ(doc.model(), Model::WQ7000);
    EXPECT_EQ(doc.phrasePath(), (dir / "_WQ7TPHR.CNF").string());
    EXPECT_EQ(doc.memoPath(), (dir / "WQE_MEMO.TXT").string());
    EXPECT_EQ(title, sysPath());
    EXPECT_EQ(settings.value(kKeySystemFolder), sysPath());
    EXPECT_FALSE(doc.isModified());
    EXPECT_GE(updates, 1);
    EXPECT_EQ(doc.phraseCount(), 250);
    EXPECT_TRUE(prompter.messages.empty());
}

TEST_F(DocumentTest, RefusesOtherFileNames) {
    std::filesystem::copy_file(sysPath(), dir / "_wq7tsys.cnf");
    for (const char* name : {"_wq7tsys.cnf", "_WQ7TPHR.CNF"}) {
        EXPECT_FALSE(doc.openFile((dir / name).string()));
        EXPECT_FALSE(doc.isLoaded());
        EXPECT_EQ(doc.systemPath(), "");
        EXPECT_EQ(prompter.messages.back(), "Choose a proper file name.");
    }
}

TEST_F(DocumentTest, RefusesAShortSystemFile) {
    auto bytes = readBytes(sysPath());
    bytes.resize(1351);
    test::writeBytes(sysPath(), bytes);
    EXPECT_FALSE(doc.openFile(sysPath()));
    EXPECT_FALSE(doc.isLoaded());
    EXPECT_EQ(prompter.messages.back(), "Fail to Read File!");
    EXPECT_EQ(doc.sys().getCardName(), "WQ-7000 ");
}

TEST_F(DocumentTest, CreatesAMissingMemoFile) {
    std::filesystem::remove(dir / "WQE_MEMO.TXT");
    ASSERT_TRUE(doc.openFile(sysPath()));
    const std::string memo = test::readText(dir / "WQE_MEMO.TXT");
    EXPECT_TRUE(memo.starts_with("SystemMemo:\r\n\r\nPhraseMemo:\r\n0001:\r\n"));
    EXPECT_TRUE(memo.ends_with("1000:\r\n"));
}

TEST_F(DocumentTest, SavingChangesOnlyTheEditedBytes) {
    ASSERT_TRUE(doc.openFile(sysPath()));
    const auto sysBefore = readBytes(dir / "_WQ7TSYS.CNF");
    const auto phrBefore = readBytes(dir / "_WQ7TPHR.CNF");
    doc.sys().setMtcErrorLevel(9);
    doc.phr().setVolume(3, 55);
    doc.memo().setPhraseMemo(3, "edited");
    doc.markModified(true);
    ASSERT_TRUE(doc.onSaveCardInfo());
    EXPECT_FALSE(doc.isModified());
    auto sysAfter = readBytes(dir / "_WQ7TSYS.CNF");
    auto phrAfter = readBytes(dir / "_WQ7TPHR.CNF");
    ASSERT_EQ(sysAfter.size(), sysBefore.size());
    ASSERT_EQ(phrAfter.size(), phrBefore.size());
    EXPECT_EQ(sysAfter[1325], 9);
    EXPECT_EQ(phrAfter[3 * 80 + 52], 55);
    sysAfter[1325] = sysBefore[1325];
    phrAfter[3 * 80 + 52] = phrBefore[3 * 80 + 52];
    EXPECT_EQ(sysAfter, sysBefore);
    EXPECT_EQ(phrAfter, phrBefore);
    EXPECT_NE(test::readText(dir / "WQE_MEMO.TXT").find("0004:edited\r\n"), std::string::npos);
}

TEST_F(DocumentTest, SavingAnUnmodifiedCardBeepsAndWritesNothing) {
    ASSERT_TRUE(doc.openFile(sysPath()));
    std::filesystem::remove(dir / "WQE_MEMO.TXT");
    EXPECT_TRUE(doc.onSaveCardInfo());
    EXPECT_EQ(prompter.beeps, 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "WQE_MEMO.TXT"));
}

TEST_F(DocumentTest, AFailedSaveKeepsTheOldFilesAndSaysSo) {
    ASSERT_TRUE(doc.openFile(sysPath()));
    const auto sysBefore = readBytes(dir / "_WQ7TSYS.CNF");
    const auto memoBefore = readBytes(dir / "WQE_MEMO.TXT");
    doc.sys().setCardName("CHANGED!");
    doc.memo().setSystemMemo("new memo\n");
    doc.markModified(true);
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
    int entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 3);

    setWriteFaultInjectorForTesting(nullptr);
    EXPECT_TRUE(doc.onSaveCardInfo());
    EXPECT_FALSE(doc.isModified());
    CWQEDoc again(prompter, settings);
    ASSERT_TRUE(again.openFile(sysPath()));
    EXPECT_EQ(again.sys().getCardName(), "CHANGED!");
    EXPECT_EQ(again.memo().systemMemo(), "new memo\n");
}

TEST_F(DocumentTest, SaveQuestionBeforeOpeningAnotherCard) {
    ASSERT_TRUE(doc.openFile(sysPath()));
    doc.sys().setBaudRate(3);
    doc.markModified(true);

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
    EXPECT_EQ(doc.sys().getBaudRate(), 1);
    EXPECT_EQ(readBytes(dir / "_WQ7TSYS.CNF")[1326], 1);

    // Yes saves before the dialog.
    ASSERT_TRUE(doc.openFile(sysPath()));
    doc.sys().setBaudRate(2);
    doc.markModified(true);
    prompter = ScriptedPrompter({Answer::Yes});
    prompter.files.push_back(sysPath());
    doc.onOpenCardInfo();
    EXPECT_EQ(readBytes(dir / "_WQ7TSYS.CNF")[1326], 2);
    EXPECT_TRUE(doc.isLoaded());
    EXPECT_EQ(doc.sys().getBaudRate(), 2);
}

TEST_F(DocumentTest, SaveQuestionBeforeClosing) {
    ASSERT_TRUE(doc.openFile(sysPath()));
    EXPECT_TRUE(doc.saveModified());
    EXPECT_TRUE(prompter.questions.empty());
    doc.markModified(true);
    struct Case {
        Answer answer;
        bool allowed;
        bool saved;
    };
    for (const Case& c : {Case{Answer::Cancel, false, false}, Case{Answer::No, true, false}, Case{Answer::Yes, true, true}}) {
        doc.sys().setMidiChannel(doc.sys().getMidiChannel() + 1);
        doc.markModified(true);
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
    for (auto name : {"_WQ7TSYS.CNF", "_WQ7TPHR.CNF", "WQE_MEMO.TXT"}) std::filesystem::remove(dir / name);
    ASSERT_EQ(createCard(dir.path(), Model::WQ5000, 1), "");
    ASSERT_TRUE(doc.reload());
    EXPECT_EQ(doc.model(), Model::WQ5000);
    EXPECT_EQ(doc.systemPath(), (dir / "_WQ5TSYS.CNF").string());
    EXPECT_EQ(doc.phrasePath(), (dir / "_WQ5TPHR.CNF").string());
    EXPECT_EQ(doc.phraseCount(), 500);
    EXPECT_EQ(doc.phr().recordCount(), 500);
    EXPECT_EQ(doc.phr().getTempo(499), 115u);
    EXPECT_EQ(doc.memo().phraseMemo(700), "");
}

TEST_F(DocumentTest, FindsCardFilesWhateverTheirLetterCase) {
    std::filesystem::rename(dir / "_WQ7TPHR.CNF", dir / "_wq7tphr.cnf");
    std::filesystem::rename(dir / "_WQ7TSYS.CNF", dir / "_wq7tsys.cnf");
    ASSERT_TRUE(doc.openCard(dir.str()));
    EXPECT_EQ(doc.phr().recordCount(), 250);
    EXPECT_EQ(doc.phrasePath(), (dir / "_wq7tphr.cnf").string());
}

TEST_F(DocumentTest, CommandEnabling) {
    EXPECT_FALSE(doc.isCommandEnabled(DocCommand::Save));
    EXPECT_FALSE(doc.isCommandEnabled(DocCommand::Print));
    EXPECT_FALSE(doc.isCommandEnabled(DocCommand::Cleanup));
    EXPECT_TRUE(doc.isCommandEnabled(DocCommand::WavImport));
    doc.markModified(true);  // no card: ignored
    EXPECT_FALSE(doc.isModified());
    ASSERT_TRUE(doc.openFile(sysPath()));
    EXPECT_FALSE(doc.isCommandEnabled(DocCommand::Save));
    EXPECT_TRUE(doc.isCommandEnabled(DocCommand::PrintPreview));
    doc.markModified(true);
    EXPECT_TRUE(doc.isCommandEnabled(DocCommand::Save));
    doc.close();
    EXPECT_FALSE(doc.isLoaded());
    EXPECT_FALSE(doc.isCommandEnabled(DocCommand::Save));
    doc.setModel(Model::WQ5000);
    EXPECT_FALSE(doc.isCommandEnabled(DocCommand::WavImport));
}

}  // namespace
}  // namespace wqe
