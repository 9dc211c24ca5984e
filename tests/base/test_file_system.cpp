#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "base/FileSystem.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace wqe {
namespace {

using test::FaultyFileSystem;
using test::FsOp;
using test::readText;
using test::TempDir;
using test::writeText;

std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Error, KindsOfSystemErrors) {
    const struct {
        int err;
        ErrorKind io;
        ErrorKind kind;
    } cases[] = {
        {EFBIG, ErrorKind::WriteFailed, ErrorKind::FileTooLarge},
        {EIO, ErrorKind::ReadFailed, ErrorKind::ReadFailed},
        {EIO, ErrorKind::WriteFailed, ErrorKind::WriteFailed},
    };
    for (const auto& c : cases) {
        const Error e = errnoError(c.err, "/card/_WQ7TSYS.CNF", "cannot be written", c.io);
        EXPECT_EQ(e.kind, c.kind) << c.err;
        EXPECT_EQ(e.message().rfind("/card/_WQ7TSYS.CNF: cannot be written: ", 0), 0u)
            << e.message();
    }
}

TEST(ReadWholeFile, NamesWhatIsWrong) {
    TempDir dir;
    writeText(dir / "a.bin", "abc");
    fs::create_directory(dir / "folder");
    EXPECT_EQ(readWholeFile(dir / "a.bin").value().size(), 3u);
    // A folder opens, and is then found to be one.
    for (auto [name, kind] :
         {std::pair{"missing", ErrorKind::NotFound}, {"folder", ErrorKind::IsFolder}}) {
        const auto bytes = readWholeFile(dir / name);
        ASSERT_FALSE(bytes) << name;
        EXPECT_EQ(bytes.error().kind, kind) << name;
        EXPECT_EQ(bytes.error().file, (dir / name).string());
    }
}

// Every failure of the one writer leaves the old file as it was, leaves no
// temporary file behind, and is reported with the target's name.
TEST(WriteFileAtomic, EachFaultKeepsTheOldFile) {
    FaultyFileSystem probe;
    {
        TempDir dir;
        writeText(dir / "f", "old");
        ASSERT_TRUE(writeFileAtomic(probe, dir / "f", std::string_view("new content")));
        EXPECT_EQ(readText(dir / "f"), "new content");
    }
    int runs = 0;
    for (FsOp op : test::kWriteOps) {
        for (int k = 1; k <= probe.count(op); ++k, ++runs) {
            TempDir dir;
            writeText(dir / "f", "old");
            FaultyFileSystem faulty;
            faulty.failAt(op, k, ENOSPC);
            const Status s = writeFileAtomic(faulty, dir / "f", std::string_view("new content"));
            ASSERT_FALSE(s) << test::fsOpName(op) << " " << k;
            EXPECT_EQ(s.error().kind, ErrorKind::NoSpace);
            EXPECT_EQ(s.error().file, (dir / "f").string());
            EXPECT_EQ(readText(dir / "f"), "old");
            EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"f"});
        }
    }
    EXPECT_GE(runs, 4);  // create, write, flush, rename
    // A read-only folder (a write-protected card) is named as such.
    TempDir dir;
    FaultyFileSystem readOnly;
    readOnly.failFrom(FsOp::Create, 1, EROFS);
    const Status s = writeFileAtomic(readOnly, dir / "f", std::string_view("x"));
    ASSERT_FALSE(s);
    EXPECT_EQ(s.error().kind, ErrorKind::ReadOnlyFileSystem);
    EXPECT_NE(s.error().reason.find("is read-only"), std::string::npos) << s.error().reason;
}

TEST(MultiFileCommit, EachFaultLeavesOldOrNewFileByFileAndSaysWhich) {
    const std::vector<std::string> names = {"a", "b", "c"};
    auto run = [&](FileSystem& fsys, const TempDir& dir) {
        MultiFileCommit commit(fsys);
        for (const auto& n : names)
            if (auto s = commit.stage(dir / n, "new " + n); !s) return s;
        commit.stageRemoval(dir / "gone");
        return commit.commit();
    };
    auto prepare = [&](const TempDir& dir) {
        for (const auto& n : names) writeText(dir / n, "old " + n);
        writeText(dir / "gone", "x");
    };
    FaultyFileSystem probe;
    {
        TempDir dir;
        prepare(dir);
        ASSERT_TRUE(run(probe, dir));
        EXPECT_EQ(filesIn(dir.path()), names);
    }
    for (FsOp op : test::kWriteOps) {
        for (int k = 1; k <= probe.count(op); ++k) {
            SCOPED_TRACE(std::string(test::fsOpName(op)) + " " + std::to_string(k));
            TempDir dir;
            prepare(dir);
            FaultyFileSystem faulty;
            faulty.failAt(op, k);
            const Status s = run(faulty, dir);
            ASSERT_FALSE(s);
            // Nothing changes before every new content is complete.
            const bool beforeRenames = op != FsOp::Rename && op != FsOp::Remove;
            int changed = 0;
            for (const auto& n : names) {
                const std::string text = readText(dir / n);
                ASSERT_TRUE(text == "old " + n || text == "new " + n) << text;
                if (text == "new " + n) {
                    ++changed;
                    EXPECT_NE(s.error().reason.find("already changed:"), std::string::npos);
                    EXPECT_NE(s.error().reason.find(n), std::string::npos);
                }
            }
            if (beforeRenames) {
                EXPECT_EQ(changed, 0);
            }
            if (changed == 0) {
                EXPECT_NE(s.error().reason.find("no file was changed"), std::string::npos);
            }
            for (const auto& f : filesIn(dir.path())) EXPECT_FALSE(isTemporaryFileName(f)) << f;
        }
    }
}

TEST(Temporaries, StaleOnesOfDeadProcessesAreRemoved) {
    TempDir dir;
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);  // a process id that is certainly not running
    const std::string dead = ".wqe-" + std::to_string(child) + "-0.tmp";
    const std::string alive = temporaryPathFor(dir / "x").filename().string();
    for (const auto* name : {dead.c_str(), alive.c_str(), ".wqe-123456.tmp", ".A.PHR.part42",
                             "_WQP0001.PHR", ".wqe-notes.txt"})
        writeText(dir / name, "x");
    const auto old = fs::file_time_type::clock::now() - std::chrono::hours(1);
    fs::last_write_time(dir / ".A.PHR.part42", old);

    EXPECT_EQ(temporaryFileOwner(alive), ::getpid());
    EXPECT_EQ(removeStaleTemporaries(realFileSystem(), dir.path()), 2);
    // Kept: a running process's file, a fresh one of unknown owner, the card's files.
    std::vector<std::string> expected = {".wqe-123456.tmp", ".wqe-notes.txt", alive,
                                         "_WQP0001.PHR"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(filesIn(dir.path()), expected);
}

}  // namespace
}  // namespace wqe
