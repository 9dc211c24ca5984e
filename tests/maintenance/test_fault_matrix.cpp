// Every writing operation of the card maintenance run with a failure at each
// of its k-th create, write, flush, rename and remove in turn. After each,
// every file of the card holds either its old or its new content, the card
// opens, and the failure was reported.
#include <gtest/gtest.h>

#include <functional>

#include "card/PatternFile.h"
#include "codec/KpacDecoder.h"
#include "codec/KpacEncoder.h"
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
    // A pattern edit replaces an existing file (keeping its bytes beyond the
    // data block) and writes a song that had no file yet.
    auto patternEdit = [](const fs::path& root, FileSystem& fsys) {
        PatternData pattern(PatternKind::Pattern7000);
        pattern.setStepRef(0, 7);
        pattern.setStepVolume(0, 50);
        PatternData song(PatternKind::Song);
        song.storeSongSteps({{3, 1000}, {kSongStop, 0}});
        const bool a = bool(writePatternFile(root / "card" / "_WQP0004.PHR", pattern, fsys));
        const bool b = bool(writePatternFile(root / "card" / "_WQP0005.PHR", song, fsys));
        return !a || !b;
    };
    return {
        {"pattern write",
         [=](const fs::path& root) {
             card(root, "PATTERN", 0x11);
             test::Bytes old(1100, 0x44);
             const PatternData empty(PatternKind::Pattern7000);
             std::copy_n(kPatternHeader, kPatternHeaderSize, old.begin());
             std::copy(empty.block().begin(), empty.block().end(), old.begin() + 6);
             test::writeBytes(root / "card" / "_WQP0004.PHR", old);
         },
         patternEdit},
        {"encode and decode",
         [=](const fs::path& root) {
             card(root, "CODEC", 0x11);
             test::writeBytes(root / "in.wav", test::wavFile(2, 22050, 16, 2000));
             test::writeBytes(root / "in.phr", test::kpacFile(3, 2, 1, 90));
         },
         [](const fs::path& root, FileSystem& fsys) {
             // Over an existing phrase file and into a new WAV file.
             const bool a =
                 bool(kpac::encodeFile(fsys, root / "in.wav", root / "card" / "_WQP0009.PHR", 2));
             const bool b = bool(kpac::decodeFile(fsys, root / "card" / "_WQP0003.PHR",
                                                  root / "card" / "_WQP0011.WAV", 3));
             return !a || !b;
         }},
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

// A new card appears whole or not at all, whichever step fails.
TEST(FaultMatrix, NewCardIsAllOrNothing) {
    const char* names[] = {"_WQ7TPHR.CNF", "WQE_MEMO.TXT", "_WQ7TSYS.CNF"};
    TempDir clean;
    FaultyFileSystem probe;
    ASSERT_TRUE(createCard(clean / "card", Model::WQ7000, 1, probe));
    const Entries whole = test::snapshot(clean / "card");
    ASSERT_EQ(whole.size(), 3u);
    for (const FsOp kind : test::kWriteOps) {
        for (int k = 1; k <= probe.count(kind); ++k) {
            SCOPED_TRACE(std::string(test::fsOpName(kind)) + " #" + std::to_string(k));
            TempDir t;
            FaultyFileSystem faulty;
            faulty.failAt(kind, k, ENOSPC);
            EXPECT_FALSE(createCard(t / "card", Model::WQ7000, 1, faulty));
            const Entries now = cardEntries(t / "card");
            // The renames run system file last: a failure may leave the phrase
            // and memo files, never a system file without them.
            if (now.count(names[2])) {
                EXPECT_EQ(now, whole);
            }
            for (const auto& [path, bytes] : now) EXPECT_EQ(whole.at(path), bytes) << path;
        }
    }
}

}  // namespace
}  // namespace wqe
