// Every writing operation of the card maintenance run with a failure at each
// of its k-th create, write, flush, rename and remove in turn, and killed at
// each of them. After each, every file of the card holds either its old or
// its new content and the card opens; a failure was reported.
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
using Entries = std::map<std::string, std::string>;

// Hundreds of small cards, each flushed to the device: in memory where the
// system has a memory folder.
struct TempDir : test::TempDir {
    TempDir()
        : test::TempDir(fs::is_directory("/dev/shm") ? "/dev/shm" : fs::temp_directory_path()) {}
};

// A card folder's entries without the program's temporary files and staging
// folders, which a reload ignores.
Entries cardEntries(const fs::path& folder) { return test::snapshot(folder, isScratchName); }

// Every entry of `now` holds the old or the new content of its path.
void expectOldOrNew(const Entries& now, const Entries& oldEntries, const Entries& newEntries) {
    for (const auto& [path, bytes] : now) {
        const auto o = oldEntries.find(path), n = newEntries.find(path);
        EXPECT_TRUE((o != oldEntries.end() && o->second == bytes) ||
                    (n != newEntries.end() && n->second == bytes))
            << path;
    }
}

// Calls `body` for each step the probe counted, with that step to fail.
void forEachStep(const FaultyFileSystem& probe, const std::function<void(FsOp, int)>& body) {
    for (const FsOp kind : test::kWriteOps) {
        for (int k = 1; k <= probe.count(kind); ++k) {
            SCOPED_TRACE(std::string(test::fsOpName(kind)) + " #" + std::to_string(k));
            body(kind, k);
        }
    }
}

// The card in a folder, opened as a reload opens it.
struct Reloaded {
    explicit Reloaded(const fs::path& folder, Answer answer = Answer::No) : prompter({}, answer) {
        opened = doc.openCard(folder.string());
    }
    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEDoc doc{prompter, settings};
    bool opened = false;
};

// A WQ-7000 card named `name` with KPAC phrases 1 to 3 and phrase 9 of 3000
// bytes of `fill`.
void fillCard(const fs::path& folder, const char* name, std::uint8_t fill) {
    test::OpenCard c(folder, Model::WQ7000);
    c.doc.sys().setCardName(name);
    c.save();
    for (int i = 0; i < 3; ++i)
        test::writeBytes(folder / phraseDataFileName("", i, "PHR"),
                         test::kpacFile(2, 1, 0, static_cast<std::uint32_t>(20 + i)));
    test::writeBytes(folder / "_WQP0009.PHR", test::Bytes(3000, fill));
}

struct Operation {
    const char* name;
    // Adds to the fixture under the root; the card that is checked, root/card,
    // is made beforehand.
    std::function<void(const fs::path& root)> prepare;
    // Runs the operation; true when it reported a failure.
    std::function<bool(const fs::path& root, FileSystem& fsys)> run;
};

std::vector<Operation> operations() {
    auto backupFolder = [](const fs::path& root) {
        fillCard(root / "backup", "NEWCARD", 0x22);
        fs::remove(root / "backup" / "_WQP0009.PHR");
        test::writeBytes(root / "backup" / "_WQP0010.PHR", test::Bytes(70000, 0x33));
        fs::create_directories(root / "backup" / "_WQ7TDIR.CNF");
        test::writeText(root / "backup" / "_WQ7TDIR.CNF" / "a.dat", "new sub");
    };
    auto transfer = [](TransferMode mode, const fs::path& root, FileSystem& fsys) {
        ScriptedPrompter p({}, Answer::Yes);
        const auto r = runTransfer(mode, (root / "backup").string(), (root / "card").string(),
                                   nullptr, p, {}, fsys);
        return !r.ok() || !r.errors.empty();
    };
    return {
        {"pattern write",
         [](const fs::path& root) {
             test::Bytes old(1100, 0x44);
             const PatternData empty(PatternKind::Pattern7000);
             std::copy_n(kPatternHeader, kPatternHeaderSize, old.begin());
             std::copy(empty.block().begin(), empty.block().end(), old.begin() + 6);
             test::writeBytes(root / "card" / "_WQP0004.PHR", old);
         },
         // Replaces an existing file (keeping its bytes beyond the data block)
         // and writes a song that had no file yet.
         [](const fs::path& root, FileSystem& fsys) {
             PatternData pattern(PatternKind::Pattern7000);
             pattern.setStepRef(0, 7);
             pattern.setStepVolume(0, 50);
             PatternData song(PatternKind::Song);
             song.storeSongSteps({{3, 1000}, {kSongStop, 0}});
             const bool a = bool(writePatternFile(root / "card" / "_WQP0004.PHR", pattern, fsys));
             const bool b = bool(writePatternFile(root / "card" / "_WQP0005.PHR", song, fsys));
             return !a || !b;
         }},
        {"encode and decode",
         [](const fs::path& root) {
             test::writeBytes(root / "in.wav", test::wavFile(2, 22050, 16, 2000));
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
         [](const fs::path& root) {
             test::writeBytes(root / "card" / "_WQP0002.MID", test::midiFile(500000));
         },
         [](const fs::path& root, FileSystem& fsys) {
             Reloaded card(root / "card", Answer::Yes);
             return !card.opened || !runCleanup(card.doc, card.prompter, {}, fsys).ok();
         }},
        {"restore", backupFolder,
         [=](const fs::path& root, FileSystem& fsys) {
             return transfer(TransferMode::Restore, root, fsys);
         }},
        {"backup",
         [=](const fs::path& root) {
             backupFolder(root);
             fs::rename(root / "card", root / "old");
             fs::rename(root / "backup", root / "card");
             fs::rename(root / "old", root / "backup");
         },
         [=](const fs::path& root, FileSystem& fsys) {
             return transfer(TransferMode::Backup, root, fsys);
         }},
        {"copy",
         [](const fs::path& root) {
             test::writeBytes(root / "x.PHR", test::kpacFile(3, 2, 1, 90));
         },
         [](const fs::path& root, FileSystem& fsys) {
             Reloaded card(root / "card");
             if (!card.opened) return true;
             const CopySource source = evaluateSource(root / "x.PHR", card.doc, card.prompter);
             return copyPhrase(card.doc, source, 6, card.prompter, fsys).status !=
                    CopyResult::Status::Copied;
         }},
        {"import",
         [](const fs::path& root) {
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
        auto prepare = [&](const fs::path& root) {
            fillCard(root / "card", "OLDCARD", 0x11);
            op.prepare(root);
        };
        TempDir clean;
        prepare(clean.path());
        const Entries oldEntries = cardEntries(clean / "card");
        FaultyFileSystem probe;
        ASSERT_FALSE(op.run(clean.path(), probe));
        const Entries newEntries = cardEntries(clean / "card");
        ASSERT_NE(oldEntries, newEntries);

        int runs = 0;
        forEachStep(probe, [&](FsOp kind, int k) {
            TempDir t;
            prepare(t.path());
            FaultyFileSystem faulty;
            faulty.failAt(kind, k, k % 2 ? ENOSPC : EFBIG);
            const bool reported = op.run(t.path(), faulty);
            ASSERT_TRUE(faulty.fired());
            EXPECT_TRUE(reported);
            ++runs;

            const Entries now = cardEntries(t / "card");
            expectOldOrNew(now, oldEntries, newEntries);
            for (const auto& [path, bytes] : oldEntries) {
                if (!now.count(path)) {
                    EXPECT_FALSE(newEntries.count(path)) << path << " lost";
                }
            }
            EXPECT_TRUE(Reloaded(t / "card").opened);

            // Killed at that step instead, no rollback runs: yet no file
            // holds a mix of both, and the card opens.
            TempDir killed;
            prepare(killed.path());
            const int status = test::runWithFileSizeLimit(RLIM_INFINITY, [&] {
                FaultyFileSystem crashing;
                crashing.crashAt(kind, k);
                op.run(killed.path(), crashing);
                return 0;
            });
            EXPECT_EQ(status, FaultyFileSystem::kCrashed);
            expectOldOrNew(cardEntries(killed / "card"), oldEntries, newEntries);
            EXPECT_TRUE(Reloaded(killed / "card").opened);
        });
        EXPECT_GT(runs, 0);
        RecordProperty(op.name, runs);
    }
}

// A new card appears whole or not at all, whichever step fails.
TEST(FaultMatrix, NewCardIsAllOrNothing) {
    TempDir clean;
    FaultyFileSystem probe;
    ASSERT_TRUE(createCard(clean / "card", Model::WQ7000, 1, probe));
    const Entries whole = test::snapshot(clean / "card");
    ASSERT_EQ(whole.size(), 3u);  // phrase, memo and system file
    forEachStep(probe, [&](FsOp kind, int k) {
        TempDir t;
        FaultyFileSystem faulty;
        faulty.failAt(kind, k, ENOSPC);
        EXPECT_FALSE(createCard(t / "card", Model::WQ7000, 1, faulty));
        const Entries now = cardEntries(t / "card");
        // The renames run system file last: a failure may leave the phrase
        // and memo files, never a system file without them.
        if (now.count("_WQ7TSYS.CNF")) {
            EXPECT_EQ(now, whole);
        }
        for (const auto& [path, bytes] : now) EXPECT_EQ(whole.at(path), bytes) << path;
    });
}

}  // namespace
}  // namespace wqe
