#include <gtest/gtest.h>

#include "maintenance/CardFixture.h"
#include "support/CliRunner.h"

namespace wqe {
namespace {

namespace fs = std::filesystem;

using test::readBytes;
using test::readText;
using test::runWqe;
using test::TempDir;
using test::writeBytes;
using test::writeText;

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CliMaintenance, BackupAndRestore) {
    TempDir t;
    ASSERT_EQ(runWqe({"new", (t / "card").string()}).status, 0);
    writeText(t / "card" / "_WQP0001.PHR", "phrase");
    fs::create_directories(t / "old");
    writeText(t / "old" / "_WQP0009.PHR", "stale");

    // A question without --yes and without a terminal: refused before anything is deleted.
    auto r = runWqe({"backup", (t / "card").string(), (t / "old").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(contains(r.err, "no terminal")) << r.err;
    EXPECT_TRUE(fs::exists(t / "old" / "_WQP0009.PHR"));

    r = runWqe({"backup", (t / "card" / "_WQ7TSYS.CNF").string(), (t / "old").string(), "--no"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(contains(r.out, "Nothing was deleted or copied.")) << r.out;
    EXPECT_TRUE(fs::exists(t / "old" / "_WQP0009.PHR"));

    r = runWqe({"backup", (t / "card").string(), (t / "old").string(), "--yes"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "Deleted 1 device file(s)")) << r.out;
    EXPECT_FALSE(fs::exists(t / "old" / "_WQP0009.PHR"));
    EXPECT_EQ(readText(t / "old" / "_WQP0001.PHR"), "phrase");

    // Refusals exit 2 and name the problem.
    r = runWqe({"restore", (t / "card").string(), (t / "card" / "sub").string(), "--yes"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(contains(r.err, "inside the source folder")) << r.err;
    r = runWqe({"restore", (t / "missing").string(), (t / "card").string(), "--yes"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(contains(r.err, "does not exist")) << r.err;

    writeText(t / "card" / "_WQP0002.PHR", "added after the backup");
    r = runWqe({"restore", (t / "old").string(), (t / "card").string(), "--yes"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(contains(r.err, "All card phrases will be erased")) << r.err;
    EXPECT_FALSE(fs::exists(t / "card" / "_WQP0002.PHR"));
    EXPECT_EQ(runWqe({"backup"}).status, 1);
}

TEST(CliMaintenance, CopyDeleteAndImport) {
    TempDir t;
    ASSERT_EQ(runWqe({"new", (t / "card").string(), "--phrases", "250"}).status, 0);
    fs::create_directories(t / "src");
    writeBytes(t / "src" / "a.PHR", test::kpacFile(3, 3, 0, 8));
    writeBytes(t / "src" / "b.wav", test::wavFile(1, 8000, 16, 100));
    writeBytes(t / "src" / "c.wav", test::wavFile(1, 8000, 24, 100));

    auto r = runWqe({"copy", (t / "src" / "a.PHR").string(), (t / "card").string(), "--to", "3"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "Copy succeeded.")) << r.out;
    EXPECT_EQ(readBytes(t / "card" / "_WQP0003.PHR"), test::kpacFile(3, 3, 0, 8));
    r = runWqe({"get", (t / "card").string(), "phrase.3.type", "phrase.3.name"});
    EXPECT_EQ(r.out, "phrase.3.type=1\nphrase.3.name=WQ-7000 003 \n");

    // Busy slot, bad number, unusable file.
    EXPECT_EQ(
        runWqe({"copy", (t / "src" / "a.PHR").string(), (t / "card").string(), "--to", "3"}).status,
        2);
    EXPECT_EQ(runWqe({"copy", (t / "src" / "a.PHR").string(), (t / "card").string(), "--to", "251"})
                  .status,
              2);
    r = runWqe({"copy", (t / "src" / "c.wav").string(), (t / "card").string(), "--to", "4"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(contains(r.err, "24 bits")) << r.err;
    EXPECT_EQ(runWqe({"copy", (t / "src" / "a.PHR").string(), (t / "card").string()}).status, 1);

    // A failed file copy exits 2 and registers nothing.
    fs::create_directories(t / "card" / "_WQP0005.PHR" / "x");
    r = runWqe({"copy", (t / "src" / "a.PHR").string(), (t / "card").string(), "--to", "5"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(contains(r.err, "Copy failed.")) << r.err;
    EXPECT_EQ(runWqe({"get", (t / "card").string(), "phrase.5.type"}).out, "phrase.5.type=0\n");

    r = runWqe({"delete", (t / "card").string(), "3", "--yes"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(contains(r.err, "OK to erase phrase0003?")) << r.err;
    EXPECT_FALSE(fs::exists(t / "card" / "_WQP0003.PHR"));
    EXPECT_EQ(runWqe({"get", (t / "card").string(), "phrase.3.type"}).out, "phrase.3.type=0\n");
    EXPECT_EQ(runWqe({"delete", (t / "card").string(), "3", "--yes"}).status, 2);

    // Import: one file refused, one imported, then the cleanup registers it.
    fs::remove_all(t / "card" / "_WQP0005.PHR");
    r = runWqe({"import", (t / "card").string(), "--folder", (t / "src").string(), "--start", "2",
                "--cleanup", "--yes"});
    EXPECT_EQ(r.status, 2);  // c.wav was refused
    EXPECT_TRUE(contains(r.out, "-> _WQP0002.WAV")) << r.out;
    EXPECT_TRUE(contains(r.out, "Conversion succeeded. (1 file(s))")) << r.out;
    EXPECT_TRUE(contains(r.err, "c.wav: 24 bits per sample")) << r.err;
    EXPECT_TRUE(contains(r.out, "phrase 2: registered")) << r.out;
    EXPECT_EQ(runWqe({"get", (t / "card").string(), "phrase.2.type", "phrase.2.mode"}).out,
              "phrase.2.type=1\nphrase.2.mode=5\n");

    r = runWqe({"import", (t / "card").string(), (t / "src" / "b.wav").string(), "--no"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "Conversion succeeded.")) << r.out;
    EXPECT_TRUE(contains(r.out, "wqe cleanup")) << r.out;

    ASSERT_EQ(runWqe({"new", (t / "five").string(), "--model", "5000"}).status, 0);
    r = runWqe({"import", (t / "five").string(), (t / "src" / "b.wav").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(contains(r.err, "WQ-5000")) << r.err;
}

TEST(CliMaintenance, CleanupAnswersAndRefusals) {
    TempDir t;
    ASSERT_EQ(runWqe({"new", (t / "card").string()}).status, 0);
    writeBytes(t / "card" / "_WQP0001.PHR", test::kpacFile(2, 1, 0, 12));
    writeBytes(t / "card" / "_WQP0001.MID", test::midiFile(500000));

    auto r = runWqe({"cleanup", (t / "card").string()});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(contains(r.err, "no terminal")) << r.err;
    EXPECT_EQ(runWqe({"get", (t / "card").string(), "phrase.1.type"}).out, "phrase.1.type=0\n");

    r = runWqe({"cleanup", (t / "card").string(), "--no"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "phrase 1: registered from its data file; kept _WQP0001.MID"))
        << r.out;
    EXPECT_TRUE(contains(r.out, "Finished.")) << r.out;
    EXPECT_TRUE(contains(r.err, "Double registration of the phrase")) << r.err;
    EXPECT_TRUE(fs::exists(t / "card" / "_WQP0001.MID"));

    r = runWqe({"cleanup", (t / "card").string(), "--yes"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(contains(r.out, "phrase 1: unchanged; deleted _WQP0001.MID")) << r.out;
    EXPECT_FALSE(fs::exists(t / "card" / "_WQP0001.MID"));
}

}  // namespace
}  // namespace wqe
