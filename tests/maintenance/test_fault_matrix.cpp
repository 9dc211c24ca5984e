// Every writing operation of the card maintenance run with a failure at each
// of its k-th create, write, flush, rename and remove in turn. After each,
// every file of the card holds either its old or its new content, the card
// opens, and the failure was reported.
#include <gtest/gtest.h>

#include <functional>

#include "convert/WavImport.h"
#include "maintenance/BackupRestore.h"
#include "maintenance/CardFixture.h"
#include "maintenance/Cleanup.h"
#include "maintenance/PhraseCopy.h"
#include "support/FaultyFileSystem.h"

namespace wqe {
namespace {

using test::FaultyFileSystem;
using test::FsOp;
using TempDir = test::MemoryTempDir;
using Entries = std::map<std::string, std::string>;

// A card folder's entries without the program's temporary files and staging
// folders, which a reload ignores.
Entries cardEntries(const fs::path& folder) {
    Entries entries = test::snapshot(folder);
    std::erase_if(entries, [](const auto& e) {
        const std::string first = fs::path(e.first).begin()->string();
        return isScratchName(first) || isScratchName(fs::path(e.first).filename().string());
    });
    return entries;
}

struct Operation {
    const char* name;
    // Builds the fixture under the root; the card that is checked is root/card.
    std::function<void(const fs::path& root)> prepare;
    // Runs the operation; true when it reported a failure.
    std::function<bool(const fs::path& root, FileSystem& fsys)> run;
};

std::vector<Operation> operations() {
    auto card = [](const fs::path& root, const char* name, std::uint8_t fill) {
        test::OpenCard c(root / "card", Model::WQ7000);
        c.doc.sys().setCardName(name);
        c.save();
        for (int i = 0; i < 3; ++i)
            test::writeBytes(root / "card" / phraseDataFileName("", i, "PHR"),
                             test::kpacFile(2, 1, 0, static_cast<std::uint32_t>(20 + i)));
        test::writeBytes(root / "card" / "_WQP0009.PHR", test::Bytes(3000, fill));
    };
    auto backupFolder = [=](const fs::path& root) {
        card(root / "src", "NEWCARD", 0x22);
        fs::rename(root / "src" / "card", root / "backup");
        fs::remove(root / "backup" / "_WQP0009.PHR");
        test::writeBytes(root / "backup" / "_WQP0010.PHR", test::Bytes(70000, 0x33));
        fs::create_directories(root / "backup" / "_WQ7TDIR.CNF");
        test::writeText(root / "backup" / "_WQ7TDIR.CNF" / "a.dat", "new sub");
    };
    auto transfer = [](TransferMode mode, const fs::path& from, const fs::path& to,
                       FileSystem& fsys) {
        ScriptedPrompter p({}, Answer::Yes);
        const auto r = runTransfer(mode, from.string(), to.string(), nullptr, p, {}, fsys);
        return !r.ok() || !r.errors.empty();
    };
    return {
        {"cleanup",
         [=](const fs::path& root) {
             card(root, "CLEANUP", 0x11);
             test::writeBytes(root / "card" / "_WQP0002.MID", test::midiFile(500000));
         },
         [](const fs::path& root, FileSystem& fsys) {
             ScriptedPrompter p({}, Answer::Yes);
             MemorySettings settings;
             CWQEDoc doc(p, settings);
             if (!doc.openCard((root / "card").string())) return true;
             const auto r = runCleanup(doc, p, {}, fsys);
             return !r.ok();
         }},
        {"restore",
         [=](const fs::path& root) {
             card(root, "OLDCARD", 0x11);
             backupFolder(root);
         },
         [=](const fs::path& root, FileSystem& fsys) {
             return transfer(TransferMode::Restore, root / "backup", root / "card", fsys);
         }},
        {"backup",
         [=](const fs::path& root) {
             card(root, "OLDCARD", 0x11);
             backupFolder(root);
             fs::rename(root / "card", root / "old");
             fs::rename(root / "backup", root / "card");
             fs::rename(root / "old", root / "backup");
         },
         [=](const fs::path& root, FileSystem& fsys) {
             return transfer(TransferMode::Backup, root / "backup", root / "card", fsys);
         }},
        {"copy",
         [=](const fs::path& root) {
             card(root, "COPY", 0x11);
             test::writeBytes(root / "x.PHR", test::kpacFile(3, 2, 1, 90));
         },
         [](const fs::path& root, FileSystem& fsys) {
             ScriptedPrompter p;
             MemorySettings settings;
             CWQEDoc doc(p, settings);
             if (!doc.openCard((root / "card").string())) return true;
             const CopySource source = evaluateSource(root / "x.PHR", doc, p);
             return copyPhrase(doc, source, 6, p, fsys).status != CopyResult::Status::Copied;
         }},
        {"import",
         [=](const fs::path& root) {
             card(root, "IMPORT", 0x11);
             test::writeBytes(root / "in.wav", test::wavFile(2, 22050, 16, 3000));
             test::writeBytes(root / "card" / "_WQP0005.WAV", test::wavFile(1, 8000, 16, 40));
         },
         [](const fs::path& root, FileSystem& fsys) {
             const auto r = importWavFile(root / "in.wav", root / "card" / "_WQP0002.WAV", nullptr,
                                          nullptr, fsys);
             const auto again = importWavFile(root / "in.wav", root / "card" / "_WQP0005.WAV",
                                              nullptr, nullptr, fsys);
             return !r.ok || !r.error.empty() || !again.ok || !again.error.empty();
         }},
    };
}

TEST(FaultMatrix, EveryFaultLeavesOldOrNewContentAndIsReported) {
    for (const Operation& op : operations()) {
        SCOPED_TRACE(op.name);
        // The old and the new content, and how often each step is taken.
        TempDir clean;
        op.prepare(clean.path());
        const Entries oldEntries = cardEntries(clean / "card");
        FaultyFileSystem probe;
        ASSERT_FALSE(op.run(clean.path(), probe));
        const Entries newEntries = cardEntries(clean / "card");
        ASSERT_NE(oldEntries, newEntries);

        int runs = 0;
        for (const FsOp kind : test::kWriteOps) {
            for (int k = 1; k <= probe.count(kind); ++k) {
                SCOPED_TRACE(std::string(test::fsOpName(kind)) + " #" + std::to_string(k));
                TempDir t;
                op.prepare(t.path());
                FaultyFileSystem faulty;
                faulty.failAt(kind, k, k % 2 ? ENOSPC : EFBIG);
                const bool reported = op.run(t.path(), faulty);
                ASSERT_TRUE(faulty.fired());
                EXPECT_TRUE(reported);
                ++runs;

                const Entries now = cardEntries(t / "card");
                for (const auto& [path, bytes] : now) {
                    const auto o = oldEntries.find(path), n = newEntries.find(path);
                    EXPECT_TRUE((o != oldEntries.end() && o->second == bytes) ||
                                (n != newEntries.end() && n->second == bytes))
                        << path;
                }
                for (const auto& [path, bytes] : oldEntries) {
                    if (!now.count(path)) {
                        EXPECT_FALSE(newEntries.count(path)) << path << " lost";
                    }
                }
                ScriptedPrompter p;
                MemorySettings settings;
                CWQEDoc doc(p, settings);
                EXPECT_TRUE(doc.openCard((t / "card").string()));
            }
        }
        EXPECT_GT(runs, 0);
        RecordProperty(op.name, runs);
    }
}

}  // namespace
}  // namespace wqe
