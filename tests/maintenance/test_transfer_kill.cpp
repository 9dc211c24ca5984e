// A restore killed at any moment leaves a card whose every file holds either
// its old or its new content, and the card still opens.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <thread>

#include "maintenance/BackupRestore.h"
#include "maintenance/CardFixture.h"

namespace wqe {
namespace {

using TempDir = test::MemoryTempDir;

// A card with `files` phrase data files of distinct content.
void fillCard(const fs::path& folder, const std::string& name, int files, std::uint8_t fill) {
    test::OpenCard card(folder, Model::WQ7000);
    card.doc.sys().setCardName(name);
    card.save();
    for (int i = 0; i < files; ++i)
        test::writeBytes(folder / phraseDataFileName("", i, "PHR"),
                         test::Bytes(40000 + 97 * i, static_cast<std::uint8_t>(fill + i)));
}

// Entries of a card folder without the staging folders a killed transfer leaves.
std::map<std::string, std::string> cardEntries(const fs::path& folder) {
    auto entries = test::snapshot(folder);
    std::erase_if(entries, [](const auto& e) { return e.first.starts_with(kStagingPrefix); });
    return entries;
}

TEST(TransferKill, AKilledRestoreLeavesOldOrNewContentFileByFile) {
    TempDir t;
    fillCard(t / "backup", "NEWCARD", 40, 0x40);  // the restore brings this
    fillCard(t / "card", "OLDCARD", 30, 0x10);
    test::writeText(t / "card" / "readme.doc", "kept");
    const auto oldEntries = cardEntries(t / "card");
    const auto newEntries = cardEntries(t / "backup");

    std::mt19937 random(7);
    int killedMidway = 0;
    for (int run = 0; run < 24; ++run) {
        SCOPED_TRACE(run);
        const pid_t pid = fork();
        if (pid == 0) {
            ScriptedPrompter p({}, Answer::Yes);
            const auto r = runTransfer(TransferMode::Restore, (t / "backup").string(),
                                       (t / "card").string(), nullptr, p);
            _exit(r.ok() ? 0 : 1);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 60000));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        if (WIFSIGNALED(status)) ++killedMidway;

        const auto now = cardEntries(t / "card");
        for (const auto& [path, bytes] : now) {
            const auto o = oldEntries.find(path), n = newEntries.find(path);
            const bool isOld = o != oldEntries.end() && o->second == bytes;
            const bool isNew = n != newEntries.end() && n->second == bytes;
            EXPECT_TRUE(isOld || isNew || path == "readme.doc") << path;
        }
        ScriptedPrompter p;
        MemorySettings settings;
        CWQEDoc doc(p, settings);
        ASSERT_TRUE(doc.openCard((t / "card").string()))
            << (p.messages.empty() ? "" : p.messages[0]);
        const std::string name = doc.sys().getCardName();
        EXPECT_TRUE(name.starts_with("OLDCARD") || name.starts_with("NEWCARD")) << name;

        // Put the old card back for the next run.
        if (run % 2 == 1) {
            fs::remove_all(t / "card");
            fillCard(t / "card", "OLDCARD", 30, 0x10);
            test::writeText(t / "card" / "readme.doc", "kept");
        }
    }
    EXPECT_GT(killedMidway, 0);

    // A restore that runs to its end leaves exactly the new content.
    ScriptedPrompter p({}, Answer::Yes);
    ASSERT_TRUE(runTransfer(TransferMode::Restore, (t / "backup").string(), (t / "card").string(),
                            nullptr, p)
                    .ok());
    auto expected = newEntries;
    expected["readme.doc"] = "kept";
    EXPECT_EQ(test::snapshot(t / "card"), expected);
}

}  // namespace
}  // namespace wqe
