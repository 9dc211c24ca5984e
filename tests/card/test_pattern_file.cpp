// Pattern and song files: the empty layouts to the byte, step accessors,
// song sorting, reading checks and safe writing.
#include <gtest/gtest.h>

#include <functional>

#include "card/FileIO.h"
#include "card/PatternFile.h"
#include "support/TempDir.h"

namespace wqe {
namespace {

using test::TempDir;

std::vector<std::uint8_t> fileOf(const PatternData& d) {
    std::vector<std::uint8_t> f;
    f.reserve(1024);
    f.insert(f.end(), kPatternHeader, kPatternHeader + 6);
    f.insert(f.end(), d.block().begin(), d.block().end());
    return f;
}

// The empty WQ-7000 pattern file written out by hand.
std::vector<std::uint8_t> handMadeEmpty7000() {
    std::vector<std::uint8_t> f = {'W', 'Q', 'P', 'h', 'r', 's', 0xFF, 0xFF, 0xFF, 0x01};
    f.insert(f.end(), 6, 0);
    for (int i = 0; i < 100; ++i) f.insert(f.end(), {0xFF, 0xFF, 0x00, 0x00});
    for (int i = 0; i < 28; ++i) f.insert(f.end(), {0xFF, 0xFF});
    f.insert(f.end(), 38, 0);
    f.insert(f.end(), 2, 0);
    f.insert(f.end(), 128, 100);
    f.insert(f.end(), 384, 0);
    return f;
}

TEST(PatternFile, EmptyFilesToTheByte) {
    EXPECT_EQ(fileOf(PatternData(PatternKind::Pattern7000)), handMadeEmpty7000());

    std::vector<std::uint8_t> w5 = handMadeEmpty7000();
    w5.resize(512);
    w5[9] = 0;
    EXPECT_EQ(fileOf(PatternData(PatternKind::Pattern5000)), w5);

    std::vector<std::uint8_t> song = {'W', 'Q', 'P', 'h', 'r', 's', 0xFF, 0xFF, 0xFF, 0x02};
    song.insert(song.end(), 6, 0);
    for (int i = 0; i < 100; ++i) song.insert(song.end(), {0xFF, 0xFF});
    song.insert(song.end(), 400 + 408, 0);
    EXPECT_EQ(fileOf(PatternData(PatternKind::Song)), song);
    EXPECT_EQ(song.size(), 1024u);
}

TEST(PatternFile, StepFieldsLandOnTheirBytes) {
    struct Case {
        const char* what;
        std::function<void(PatternData&)> edit;
        std::size_t dataOffset;
        std::vector<std::uint8_t> bytes;
    };
    const Case cases[] = {
        {"volume of step 0", [](PatternData& d) { d.setStepVolume(0, 50); }, 507, {50}},
        {"volume of step 1", [](PatternData& d) { d.setStepVolume(1, 50); }, 506, {50}},
        {"volume of step 127", [](PatternData& d) { d.setStepVolume(127, 7); }, 632, {7}},
        {"reference of step 0", [](PatternData& d) { d.setStepRef(0, 1001); }, 10, {0x03, 0xE9}},
        {"interval of step 99",
         [](PatternData& d) { d.setStepInterval(99, 599); },
         408,
         {0x02, 0x57}},
        {"interrupt step 101", [](PatternData& d) { d.setStepRef(100, 5); }, 410, {0x00, 0x05}},
        {"interrupt step 128", [](PatternData& d) { d.setStepRef(127, 6); }, 464, {0x00, 0x06}},
        {"interrupt step byte", [](PatternData& d) { d.setInterruptStep(3); }, 504, {3}},
    };
    for (const Case& c : cases) {
        PatternData d(PatternKind::Pattern7000);
        const auto before = std::vector<std::uint8_t>(d.block().begin(), d.block().end());
        c.edit(d);
        std::vector<std::uint8_t> want = before;
        std::copy(c.bytes.begin(), c.bytes.end(), want.begin() + c.dataOffset);
        EXPECT_EQ(std::vector<std::uint8_t>(d.block().begin(), d.block().end()), want) << c.what;
    }
    PatternData d(PatternKind::Pattern7000);
    d.setStepVolume(0, 50);
    EXPECT_EQ(d.stepVolume(0), 50);
    EXPECT_EQ(d.stepVolume(1), 100);
    // Interrupt steps have no interval; the WQ-5000 has no volumes.
    d.setStepInterval(100, 9);
    EXPECT_EQ(d, [] {
        PatternData e(PatternKind::Pattern7000);
        e.setStepVolume(0, 50);
        return e;
    }());
    PatternData w5(PatternKind::Pattern5000);
    w5.setStepVolume(0, 1);
    EXPECT_EQ(w5, PatternData(PatternKind::Pattern5000));
    EXPECT_FALSE(w5.hasInterruptPhrase());
    w5.setStepRef(127, 0);
    EXPECT_TRUE(w5.hasInterruptPhrase());
}

TEST(PatternFile, SongStepsAreStoredSorted) {
    PatternData song(PatternKind::Song);
    song.storeSongSteps({{4, 5000}, {7, 1000}, {kSongStop, 0}});
    const auto steps = song.songSteps();
    EXPECT_EQ(steps[0], (SongStep{7, 1000}));
    EXPECT_EQ(steps[1], (SongStep{4, 5000}));
    EXPECT_EQ(steps[2], (SongStep{kSongStop, 0}));
    EXPECT_EQ(steps[3], (SongStep{kStepUnused, 0}));
    // Start times are big-endian u32 at 210 + 4i.
    EXPECT_EQ(song.block()[210 + 2], 0x03);
    EXPECT_EQ(song.block()[210 + 3], 0xE8);

    // Equal start times keep their order; every other value counts as a
    // phrase; unused steps lose their start time; stops sort by time.
    std::vector<SongStep> mixed = {{kStepUnused, 900}, {kSongStop, 300}, {16384, 200}, {3, 200},
                                   {kSongStop, 100},   {2, 200},         {1, 50}};
    sortSongSteps(mixed);
    const std::vector<SongStep> want = {{1, 50},         {16384, 200},     {3, 200},
                                        {2, 200},        {kSongStop, 100}, {kSongStop, 300},
                                        {kStepUnused, 0}};
    EXPECT_EQ(mixed, want);
}

TEST(PatternFile, ReadingChecksMagicKindAndSize) {
    auto with = [](std::vector<std::uint8_t> f, std::size_t size) {
        f.resize(size);
        return f;
    };
    const auto p7 = fileOf(PatternData(PatternKind::Pattern7000));
    const auto p5 = fileOf(PatternData(PatternKind::Pattern5000));
    const auto song = fileOf(PatternData(PatternKind::Song));
    auto foreign = p7;
    foreign[0] = 'Q';
    auto kind3 = p7;
    kind3[9] = 3;
    auto otherHeaderEnd = p7;  // only "WQPh" is checked
    otherHeaderEnd[4] = 'x';
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        Model model;
        PatternReadStatus status;
    };
    const Case cases[] = {
        {"WQ-7000 pattern", p7, Model::WQ7000, PatternReadStatus::Ok},
        {"WQ-7000 song", song, Model::WQ7000, PatternReadStatus::Ok},
        {"WQ-5000 pattern", p5, Model::WQ5000, PatternReadStatus::Ok},
        {"longer file", with(p7, 2000), Model::WQ7000, PatternReadStatus::Ok},
        {"header end not checked", otherHeaderEnd, Model::WQ7000, PatternReadStatus::Ok},
        {"kind 1 on a WQ-5000", p7, Model::WQ5000, PatternReadStatus::NotSupported},
        {"song on a WQ-5000", song, Model::WQ5000, PatternReadStatus::NotSupported},
        {"kind 0 on a WQ-7000", p5, Model::WQ7000, PatternReadStatus::NotSupported},
        {"kind 3", kind3, Model::WQ7000, PatternReadStatus::NotSupported},
        {"foreign magic", foreign, Model::WQ7000, PatternReadStatus::NotSupported},
        {"15 bytes", with(p7, 15), Model::WQ7000, PatternReadStatus::Short},
        {"block cut short", with(p7, 1023), Model::WQ7000, PatternReadStatus::Short},
        {"WQ-5000 block cut short", with(p5, 511), Model::WQ5000, PatternReadStatus::Short},
    };
    for (const Case& c : cases) {
        const PatternReadResult r = parsePatternFile(c.bytes, c.model, "_WQP0001.PHR");
        EXPECT_EQ(r.status, c.status) << c.what;
        EXPECT_EQ(r.data.has_value(), c.status == PatternReadStatus::Ok) << c.what;
        if (c.status != PatternReadStatus::Ok) {
            EXPECT_TRUE(r.error.starts_with("_WQP0001.PHR: ")) << r.error;
        }
    }
    EXPECT_EQ(parsePatternFile(p7, Model::WQ5000).error,
              "pattern file: a WQ-7000 pattern file, which a WQ-5000 card does not use");
}

TEST(PatternFile, ReadsFromDisk) {
    TempDir dir;
    EXPECT_EQ(readPatternFile(dir / "_WQP0001.PHR", Model::WQ7000).status,
              PatternReadStatus::Missing);
    PatternData d(PatternKind::Pattern7000);
    d.setStepRef(3, 42);
    test::writeBytes(dir / "_WQP0001.PHR", fileOf(d));
    const PatternReadResult r = readPatternFile(dir / "_WQP0001.PHR", Model::WQ7000);
    ASSERT_TRUE(r.data);
    EXPECT_EQ(*r.data, d);
    std::filesystem::create_directory(dir / "_WQP0002.PHR");
    EXPECT_EQ(readPatternFile(dir / "_WQP0002.PHR", Model::WQ7000).status,
              PatternReadStatus::CannotRead);
}

TEST(PatternFile, WriteKeepsTheTailOfALongerFile) {
    TempDir dir;
    const auto path = dir / "_WQP0005.PHR";
    // A new file gets exactly header and block.
    PatternData d(PatternKind::Pattern5000);
    d.setStepRef(0, 499);
    ASSERT_EQ(writePatternFile(path, d), "");
    EXPECT_EQ(test::readBytes(path), fileOf(d));

    // An older, longer file keeps its bytes beyond the block.
    std::vector<std::uint8_t> old(3000);
    for (std::size_t k = 0; k < old.size(); ++k) old[k] = static_cast<std::uint8_t>(k * 7);
    test::writeBytes(path, old);
    PatternData song(PatternKind::Song);
    song.storeSongSteps({{1, 2}});
    ASSERT_EQ(writePatternFile(path, song), "");
    std::vector<std::uint8_t> want = fileOf(song);
    want.insert(want.end(), old.begin() + 1024, old.end());
    EXPECT_EQ(test::readBytes(path), want);
}

TEST(PatternFile, FailedWriteLeavesTheOldFileAndSaysSo) {
    TempDir dir;
    const auto path = dir / "_WQP0005.PHR";
    const auto old = fileOf(PatternData(PatternKind::Pattern7000));
    test::writeBytes(path, old);
    setWriteFaultInjectorForTesting(
        [](const fs::path&) { return std::optional<std::size_t>(100); });
    PatternData d(PatternKind::Pattern7000);
    d.setStepRef(0, 1);
    const std::string error = writePatternFile(path, d);
    setWriteFaultInjectorForTesting(nullptr);
    EXPECT_NE(error.find("_WQP0005.PHR"), std::string::npos) << error;
    EXPECT_EQ(test::readBytes(path), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    // A folder that cannot be written to.
    EXPECT_NE(writePatternFile(dir / "missing" / "_WQP0001.PHR", d), "");
    EXPECT_STREQ(patternWriteFailureMessage(PatternKind::Song),
                 "It failed in the preservation of song phrase file.");
}

TEST(PatternFile, StepCountsFollowThePatternMode) {
    EXPECT_EQ(patternStepCount(Model::WQ7000, 0), 100);
    EXPECT_EQ(patternStepCount(Model::WQ7000, 1), 100);
    EXPECT_EQ(patternStepCount(Model::WQ7000, 2), 128);
    EXPECT_EQ(patternStepCount(Model::WQ7000, 3), 128);
    EXPECT_EQ(patternStepCount(Model::WQ5000, 2), 100);
    EXPECT_EQ(patternStepCount(Model::WQ5000, 3), 128);
    EXPECT_EQ(patternStepCount(Model::WQ5000, 4), 128);
    EXPECT_EQ(patternModeRandom1(Model::WQ5000), 2);
}

}  // namespace
}  // namespace wqe
