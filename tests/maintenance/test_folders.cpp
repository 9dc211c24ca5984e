// Typed folder paths, the volumes and folders the path dialog walks, and
// deleting a backup folder.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "card/Settings.h"
#include "maintenance/DriveList.h"
#include "maintenance/PathRules.h"
#include "maintenance/PhraseDelete.h"
#include "support/TempDir.h"

namespace wqe {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using test::writeText;

TEST(PathRules, ValidatesTypedFolderPaths) {
    struct Case {
        const char* path;
        bool valid;
    };
    // One row per rule: the forbidden characters share one.
    const Case cases[] = {
        {"/", true},      {"/data/New Sub", true}, {"/a/b.c/d e", true}, {"/カード", true},
        {"", false},      {"data", false},         {"/data/", false},    {"//data", false},
        {"/a/ b", false}, {"/a/b ", false},        {"/a/\tb", false},    {"/a/.hidden", false},
        {"/a/b.", false}, {"/a/..", false},        {"/da?ta", false},    {"/a/b\"c", false},
    };
    for (const Case& c : cases) EXPECT_EQ(isValidFolderPath(c.path), c.valid) << c.path;
}

// Creation reports each level it made, and the first level it could not make.
TEST(PathRules, StateAndCreationOfMissingLevels) {
    TempDir tmp;
    const std::string base = tmp.str() + "/Data";
    fs::create_directory(base);
    writeText(tmp / "file", "x");
    EXPECT_EQ(folderState(base), FolderState::Exists);
    EXPECT_EQ(folderState(base + "/"), FolderState::Invalid);
    EXPECT_EQ(folderState(base + "/New/Sub"), FolderState::Missing);
    EXPECT_EQ(folderState(tmp.str() + "/file"), FolderState::Missing);

    const CreateResult made = createMissingLevels(base + "/New/Sub");
    ASSERT_TRUE(made.ok) << made.error;
    EXPECT_EQ(made.created, (std::vector<std::string>{base + "/New", base + "/New/Sub"}));
    const CreateResult blocked = createMissingLevels(tmp.str() + "/file/Sub");
    EXPECT_FALSE(blocked.ok);
    EXPECT_EQ(blocked.failedLevel, tmp.str() + "/file");
    EXPECT_NE(blocked.error.find(tmp.str() + "/file"), std::string::npos);
    if (geteuid() != 0) {
        fs::create_directory(tmp / "locked");
        chmod((tmp / "locked").c_str(), 0555);
        EXPECT_EQ(createMissingLevels(tmp.str() + "/locked/A/B").failedLevel,
                  tmp.str() + "/locked/A");
        chmod((tmp / "locked").c_str(), 0755);
    }
}

TEST(DriveList, VolumesFromMountTable) {
    const std::string table =
        "overlay / overlay rw 0 0\n"
        "proc /proc proc rw 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "/dev/sda1 /boot/efi vfat rw 0 0\n"
        "/dev/sdb1 /media/user/MY\\040CARD vfat rw 0 0\n"
        "/dev/sdb1 /media/user/MY\\040CARD vfat rw 0 0\n"
        "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
        "server:/export /srv/share nfs4 rw 0 0\n"
        "/dev/nvme0n1p3 /data ext4 rw 0 0\n"
        "garbage\n";
    const auto volumes = volumesFromMountTable(table, "/home/user");
    std::vector<std::string> roots;
    for (const Volume& v : volumes) roots.push_back(v.rootPath);
    EXPECT_EQ(roots, (std::vector<std::string>{"/", "/home/user", "/media/user/MY CARD",
                                               "/srv/share", "/data"}));
    EXPECT_EQ(volumes[2].kind, VolumeKind::Removable);
    EXPECT_EQ(volumes[2].displayName, "MY CARD (/media/user/MY CARD)");
    EXPECT_EQ(volumes[3].kind, VolumeKind::Network);
    EXPECT_EQ(volumes[4].kind, VolumeKind::Fixed);
    EXPECT_EQ(volumeOfPath(volumes, "/media/user/MY CARD/x"), 2);
    EXPECT_EQ(volumeOfPath(volumes, "/home/user2"), 0);
}

TEST(DriveList, WalkDownIgnoringLetterCase) {
    TempDir tmp;
    fs::create_directories(tmp / "Card" / "SUB");
    fs::create_directories(tmp / "beta");
    writeText(tmp / "afile", "x");
    const auto names = listSubfolders(tmp.str());
    EXPECT_EQ(names, (std::vector<std::string>{"beta", "Card"}));
    EXPECT_EQ(findNameIgnoringCase(names, "CARD"), 1);
    EXPECT_EQ(findNameIgnoringCase(names, "gamma"), -1);
    EXPECT_EQ(findNameIgnoringCase({"card", "Card"}, "Card"), 1);  // exact match preferred

    EXPECT_EQ(componentsBelow("/media/x", "/media/x/A/b/"), (std::vector<std::string>{"A", "b"}));
    EXPECT_EQ(componentsBelow("/", "/a"), (std::vector<std::string>{"a"}));
    EXPECT_EQ(componentsBelow("/media/x", "/media/xy/A"), std::nullopt);
    EXPECT_EQ(joinBelow("/", {"a", "b"}), "/a/b");
    EXPECT_TRUE(listSubfolders(tmp.str() + "/missing").empty());
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
