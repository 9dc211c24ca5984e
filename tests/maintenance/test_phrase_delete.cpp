#include <gtest/gtest.h>

#include <cstdlib>

#include "card/FileIO.h"
#include "maintenance/CardFixture.h"
#include "maintenance/PhraseDelete.h"

namespace wqe {
namespace {

using test::readText;
using test::TempDir;
using test::writeText;

TEST(PhraseDelete, QuestionJoinsNumberAndQuestionMark) {
    EXPECT_EQ(erasePhraseQuestion(Model::WQ5000, 11), "OK to erase phrase012?");
    EXPECT_EQ(erasePhraseQuestion(Model::WQ7000, 6), "OK to erase phrase0007?");
}

// Deletes phrase 7 registered as `kind`; only the file the record names goes.
TEST(PhraseDelete, DeletesTheDataFileTheRecordNames) {
    struct Case {
        Model model;
        int type, mode, midi;  // record fields set before deleting
        const char* gone;
    } cases[] = {
        {Model::WQ5000, 0, 0, 1, "_WQP0007.MID"}, {Model::WQ5000, 0, 0, 0, "_WQP0007.PHR"},
        {Model::WQ7000, 2, 0, 0, "_WQP0007.MID"}, {Model::WQ7000, 1, 5, 0, "_WQP0007.WAV"},
        {Model::WQ7000, 1, 1, 0, "_WQP0007.PHR"}, {Model::WQ7000, 3, 3, 0, "_WQP0007.PHR"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gone);
        TempDir t;
        test::makeCard(t.path(), c.model);
        for (const char* f : {"_WQP0007.PHR", "_WQP0007.MID", "_WQP0007.WAV"}) writeText(t / f, f);
        ScriptedPrompter p({Answer::Yes});
        MemorySettings s;
        CWQEDoc doc(p, s);
        ASSERT_TRUE(doc.openCard(t.str()));
        if (c.model == Model::WQ7000) {
            doc.phr().setType(6, static_cast<std::uint32_t>(c.type));
            doc.phr().setMode(6, static_cast<std::uint32_t>(c.mode));
        } else {
            doc.phr().setUsed(6, 1);
            doc.phr().setMidiFlag(6, static_cast<std::uint32_t>(c.midi));
        }
        doc.phr().setName(6, "SOMETHING");
        doc.memo().setPhraseMemo(6, "kept memo");

        const auto r = deletePhrase(doc, 6, p);
        EXPECT_EQ(r.status, PhraseDeleteResult::Status::Deleted);
        EXPECT_TRUE(r.fileRemoved);
        EXPECT_FALSE(fs::exists(t / c.gone));
        int remaining = 0;
        for (const char* f : {"_WQP0007.PHR", "_WQP0007.MID", "_WQP0007.WAV"})
            remaining += fs::exists(t / f) ? 1 : 0;
        EXPECT_EQ(remaining, 2);

        // The record is now the erased record, byte for byte.
        const auto erased = CWQEPhr::erasedImage(c.model, 1);
        const auto image = doc.phr().image();
        const std::size_t size = phraseRecordSize(c.model);
        EXPECT_TRUE(std::equal(erased.begin(), erased.end(), image.begin() + 6 * size));
        EXPECT_EQ(doc.memo().phraseMemo(6), "kept memo");
        EXPECT_TRUE(doc.isModified());
    }
}

TEST(PhraseDelete, NoEmptySlotOrMissingFile) {
    TempDir t;
    test::makeCard(t.path(), Model::WQ7000);
    ScriptedPrompter p({Answer::No, Answer::Yes});
    MemorySettings s;
    CWQEDoc doc(p, s);
    ASSERT_TRUE(doc.openCard(t.str()));
    // Empty slot: nothing is asked.
    EXPECT_EQ(deletePhrase(doc, 0, p).status, PhraseDeleteResult::Status::NotDeleted);
    EXPECT_EQ(deletePhrase(doc, 5000, p).status, PhraseDeleteResult::Status::NotDeleted);
    EXPECT_TRUE(p.questions.empty());

    doc.phr().setType(0, kTypeAudio);
    writeText(t / "_WQP0001.PHR", "x");
    EXPECT_EQ(deletePhrase(doc, 0, p).status, PhraseDeleteResult::Status::Declined);
    EXPECT_TRUE(fs::exists(t / "_WQP0001.PHR"));
    EXPECT_EQ(doc.phr().getType(0), static_cast<std::uint32_t>(kTypeAudio));

    // A registration whose file is already gone is still erased.
    fs::remove(t / "_WQP0001.PHR");
    const auto r = deletePhrase(doc, 0, p);
    EXPECT_EQ(r.status, PhraseDeleteResult::Status::Deleted);
    EXPECT_FALSE(r.fileRemoved);
    EXPECT_FALSE(doc.phr().isUsed(0));
}

TEST(PhraseDelete, AFileThatCannotBeRemovedKeepsTheRecord) {
    TempDir t;
    test::makeCard(t.path(), Model::WQ7000);
    ScriptedPrompter p({Answer::Yes});
    MemorySettings s;
    CWQEDoc doc(p, s);
    ASSERT_TRUE(doc.openCard(t.str()));
    doc.phr().setType(1, kTypeAudio);
    // A non-empty folder where the data file should be cannot be removed.
    fs::create_directories(t / "_WQP0002.PHR" / "x");
    const auto r = deletePhrase(doc, 1, p);
    EXPECT_EQ(r.status, PhraseDeleteResult::Status::Failed);
    EXPECT_NE(r.error.find("_WQP0002.PHR"), std::string::npos);
    EXPECT_EQ(p.messages.size(), 1u);
    EXPECT_TRUE(doc.phr().isUsed(1));
}

TEST(FolderDelete, RefusesRootHomeAndItsParents) {
    TempDir t;
    fs::create_directories(t / "home" / "user");
    writeText(t / "plain", "file");
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", (t / "home" / "user").c_str(), 1);
    struct Case {
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
    for (const Case& c : cases) {
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
    EXPECT_EQ(p.messages,
              (std::vector<std::string>{kMsgSpecifyCorrectPath, kMsgSpecifyCorrectPath}));
    s.setValue(kKeyBackupPath, t.str());
    EXPECT_EQ(folderDeleteStart(s, p), t.str());
}

}  // namespace
}  // namespace wqe
