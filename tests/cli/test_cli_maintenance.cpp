// wqe backup / restore / copy / delete / import / cleanup as a user runs
// them: exit statuses, the key message of each, and what reaches the disk.
#include <gtest/gtest.h>

#include "maintenance/CardFixture.h"
#include "support/CliRunner.h"

namespace wqe {
namespace {

namespace fs = std::filesystem;
using namespace wqe::test;

// Runs wqe; checks its exit status and a part of its stdout or stderr.
void expectRun(const std::vector<std::string>& args, int status, const std::string& part) {
    const auto r = runWqe(args);
    EXPECT_EQ(r.status, status) << args[0] << ": " << r.err;
    EXPECT_NE((r.out + r.err).find(part), std::string::npos) << r.out << r.err;
}

TEST(CliMaintenance, BackupAndRestore) {
    TempDir t;
    const std::string card = (t / "card").string(), old = (t / "old").string();
    ASSERT_EQ(runWqe({"new", card}).status, 0);
    writeText(t / "card" / "_WQP0001.PHR", "phrase");
    fs::create_directories(t / "old");
    writeText(t / "old" / "_WQP0009.PHR", "stale");

    // A question without --yes and without a terminal: refused before anything is deleted.
    expectRun({"backup", card, old}, 2, "no terminal");
    expectRun({"backup", card + "/_WQ7TSYS.CNF", old, "--no"}, 0, "Nothing was deleted or copied.");
    EXPECT_TRUE(fs::exists(t / "old" / "_WQP0009.PHR"));
    expectRun({"backup", card, old, "--yes"}, 0, "Deleted 1 device file(s)");
    EXPECT_FALSE(fs::exists(t / "old" / "_WQP0009.PHR"));
    EXPECT_EQ(readText(t / "old" / "_WQP0001.PHR"), "phrase");

    expectRun({"restore", card, card + "/sub", "--yes"}, 2, "inside the source folder");
    writeText(t / "card" / "_WQP0002.PHR", "added after the backup");
    expectRun({"restore", old, card, "--yes"}, 0, "All card phrases will be erased");
    EXPECT_FALSE(fs::exists(t / "card" / "_WQP0002.PHR"));
}

TEST(CliMaintenance, CopyDeleteAndImport) {
    TempDir t;
    const std::string card = (t / "card").string(), src = (t / "src").string();
    ASSERT_EQ(runWqe({"new", card, "--phrases", "250"}).status, 0);
    fs::create_directories(src);
    writeBytes(t / "src" / "a.PHR", kpacFile(3, 3, 0, 8));
    writeBytes(t / "src" / "b.wav", wavFile(1, 8000, 16, 100));
    writeBytes(t / "src" / "c.wav", wavFile(1, 8000, 24, 100));

    expectRun({"copy", src + "/a.PHR", card, "--to", "3"}, 0, "Copy succeeded.");
    EXPECT_EQ(readBytes(t / "card" / "_WQP0003.PHR"), kpacFile(3, 3, 0, 8));
    EXPECT_EQ(runWqe({"get", card, "phrase.3.type", "phrase.3.name"}).out,
              "phrase.3.type=1\nphrase.3.name=WQ-7000 003 \n");
    // Busy slot, bad number, no slot given.
    expectRun({"copy", src + "/a.PHR", card, "--to", "3"}, 2, "");
    expectRun({"copy", src + "/a.PHR", card, "--to", "251"}, 2, "");
    expectRun({"copy", src + "/a.PHR", card}, 1, "");
    // A failed file copy exits 2 and registers nothing.
    fs::create_directories(t / "card" / "_WQP0005.PHR" / "x");
    expectRun({"copy", src + "/a.PHR", card, "--to", "5"}, 2, "Copy failed.");
    EXPECT_EQ(runWqe({"get", card, "phrase.5.type"}).out, "phrase.5.type=0\n");

    expectRun({"delete", card, "3", "--yes"}, 0, "OK to erase phrase0003?");
    EXPECT_FALSE(fs::exists(t / "card" / "_WQP0003.PHR"));
    EXPECT_EQ(runWqe({"get", card, "phrase.3.type"}).out, "phrase.3.type=0\n");
    expectRun({"delete", card, "3", "--yes"}, 2, "");

    // Import: both files (the 24-bit one made 16-bit), then the cleanup registers them.
    fs::remove_all(t / "card" / "_WQP0005.PHR");
    expectRun({"import", card, "--folder", src, "--start", "2", "--cleanup", "--yes"}, 0,
              "c.wav -> _WQP0003.WAV (24-bit → 16-bit)");
    EXPECT_EQ(runWqe({"get", card, "phrase.2.type", "phrase.2.mode"}).out,
              "phrase.2.type=1\nphrase.2.mode=5\n");
    expectRun({"import", card, src + "/b.wav", "--no"}, 0, "wqe cleanup");
    ASSERT_EQ(runWqe({"new", (t / "five").string(), "--model", "5000"}).status, 0);
    expectRun({"import", (t / "five").string(), src + "/b.wav"}, 2, "WQ-5000");
}

TEST(CliMaintenance, CleanupAnswersAndRefusals) {
    TempDir t;
    const std::string card = (t / "card").string();
    ASSERT_EQ(runWqe({"new", card}).status, 0);
    writeBytes(t / "card" / "_WQP0001.PHR", kpacFile(2, 1, 0, 12));
    writeBytes(t / "card" / "_WQP0001.MID", midiFile(500000));

    expectRun({"cleanup", card}, 2, "no terminal");
    EXPECT_EQ(runWqe({"get", card, "phrase.1.type"}).out, "phrase.1.type=0\n");
    expectRun({"cleanup", card, "--no"}, 0,
              "phrase 1: registered from its data file; kept _WQP0001.MID");
    EXPECT_TRUE(fs::exists(t / "card" / "_WQP0001.MID"));
    expectRun({"cleanup", card, "--yes"}, 0, "phrase 1: unchanged; deleted _WQP0001.MID");
    EXPECT_FALSE(fs::exists(t / "card" / "_WQP0001.MID"));

    // The cleanup's own messages when the card is named by its system file
    // (the folder's case is in the broken-input corpus).
    fs::copy_file(t / "card" / "_WQ7TSYS.CNF", t / "card" / "_WQ5TSYS.CNF");
    const auto r = runWqe({"cleanup", card + "/_WQ7TSYS.CNF", "--yes"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.starts_with(
        "Double registration of the system file has occurred.\nProcessing halted.\n"))
        << r.err;
}

}  // namespace
}  // namespace wqe
