#include <gtest/gtest.h>

#include <cstdlib>

#include "card/FileIO.h"
#include "maintenance/CardFixture.h"
#include "maintenance/PhraseDelete.h"

namespace wqe {
namespace {

using test::OpenCard;
using test::TempDir;
using test::writeText;
using Status = PhraseDeleteResult::Status;

// Deletes phrase 7 registered as `kind`; only the file the record names goes.
TEST(PhraseDelete, DeletesTheDataFileTheRecordNames) {
    const struct {
        Model model;
        int kind;
        const char* gone;
    } cases[] = {
        {Model::WQ5000, kTypeMidi, "MID"},  {Model::WQ5000, kTypeAudio, "PHR"},
        {Model::WQ7000, kTypeMidi, "MID"},  {Model::WQ7000, test::kKindWav, "WAV"},
        {Model::WQ7000, kTypeAudio, "PHR"}, {Model::WQ7000, kTypePattern, "PHR"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(modelName(c.model)) + " " + c.gone);
        TempDir t;
        OpenCard card(t.path(), c.model, 0, {Answer::Yes});
        card.doc.setLanguage(Language::English);
        for (const char* ext : {"PHR", "MID", "WAV"})
            writeText(t / ("_WQP0007." + std::string(ext)), ext);
        test::registerAs(card.doc, 6, c.kind);
        card.doc.memo().setPhraseMemo(6, "kept memo");

        const auto r = deletePhrase(card.doc, 6, card.prompter);
        EXPECT_EQ(r.status, Status::Deleted);
        ASSERT_EQ(card.prompter.questions.size(), 1u);
        EXPECT_TRUE(card.prompter.questions[0].starts_with(
            c.model == Model::WQ7000 ? "OK to erase phrase0007?" : "OK to erase phrase007?"));
        EXPECT_TRUE(r.fileRemoved);
        for (const char* ext : {"PHR", "MID", "WAV"})
            EXPECT_EQ(fs::exists(t / ("_WQP0007." + std::string(ext))), ext != std::string(c.gone));

        // The record is now the erased record, byte for byte.
        const auto erased = CWQEPhr::erasedImage(c.model, 1);
        const auto image = card.doc.phr().image();
        EXPECT_TRUE(std::equal(erased.begin(), erased.end(),
                               image.begin() + 6 * phraseRecordSize(c.model)));
        EXPECT_EQ(card.doc.memo().phraseMemo(6), "kept memo");
        EXPECT_TRUE(card.doc.isModified());
    }
}

TEST(PhraseDelete, EmptySlotDeclinedMissingOrStuckFile) {
    TempDir t;
    OpenCard card(t.path(), Model::WQ7000, 0, {Answer::No}, Answer::Yes);
    CWQEDoc& doc = card.doc;
    ScriptedPrompter& p = card.prompter;
    // Empty slot: nothing is asked.
    EXPECT_EQ(deletePhrase(doc, 0, p).status, Status::NotDeleted);
    EXPECT_EQ(deletePhrase(doc, 5000, p).status, Status::NotDeleted);
    EXPECT_TRUE(p.questions.empty());

    doc.phr().setType(0, kTypeAudio);
    writeText(t / "_WQP0001.PHR", "x");
    EXPECT_EQ(deletePhrase(doc, 0, p).status, Status::Declined);
    EXPECT_TRUE(fs::exists(t / "_WQP0001.PHR"));
    EXPECT_TRUE(doc.phr().isUsed(0));

    // A registration whose file is already gone is still erased.
    fs::remove(t / "_WQP0001.PHR");
    const auto r = deletePhrase(doc, 0, p);
    EXPECT_EQ(r.status, Status::Deleted);
    EXPECT_FALSE(r.fileRemoved);
    EXPECT_FALSE(doc.phr().isUsed(0));

    // A non-empty folder where the data file should be cannot be removed: the record stays.
    doc.phr().setType(1, kTypeAudio);
    fs::create_directories(t / "_WQP0002.PHR" / "x");
    const auto stuck = deletePhrase(doc, 1, p);
    EXPECT_EQ(stuck.status, Status::Failed);
    EXPECT_NE(stuck.error.find("_WQP0002.PHR"), std::string::npos);
    EXPECT_EQ(p.messages.size(), 1u);
    EXPECT_TRUE(doc.phr().isUsed(1));
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
        {(t / "home").string(), "holds the home folder"},
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

TEST(FolderDelete, AsksNamingTheFolderThenDeletesTheTree) {
    TempDir t;
    fs::create_directories(t / "old" / "sub");
    writeText(t / "old" / "sub" / "a", "a");
    ScriptedPrompter no({Answer::No});
    EXPECT_EQ(deleteFolder((t / "old").string(), no).status, FolderDeleteResult::Status::Declined);
    ASSERT_EQ(no.questions.size(), 1u);
    EXPECT_NE(no.questions[0].find((t / "old").string()), std::string::npos);
    EXPECT_TRUE(fs::exists(t / "old" / "sub" / "a"));

    ScriptedPrompter yes({Answer::Yes});
    const auto r = deleteFolder((t / "old").string(), yes);
    EXPECT_EQ(r.status, FolderDeleteResult::Status::Deleted);
    EXPECT_EQ(r.removed, 3u);
    EXPECT_FALSE(fs::exists(t / "old"));
}

TEST(FolderDelete, StartNeedsAnExistingBackupPath) {
    TempDir t;
    MemorySettings s;
    ScriptedPrompter p;
    EXPECT_EQ(folderDeleteStart(s, p), "");
    s.setValue(kKeyBackupPath, (t / "missing").string());
    EXPECT_EQ(folderDeleteStart(s, p), "");
    EXPECT_EQ(p.messages.size(), 2u);
    s.setValue(kKeyBackupPath, t.str());
    EXPECT_EQ(folderDeleteStart(s, p), t.str());
}

}  // namespace
}  // namespace wqe
