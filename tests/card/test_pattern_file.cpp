// Pattern and song files: the empty layouts to the byte, step accessors,
// song sorting, reading checks and safe writing.
#include <gtest/gtest.h>

#include <functional>

#include "card/FileIO.h"
#include "card/PatternFile.h"
#include "support/TempDir.h"

namespace wqe {
namespace {

using Bytes = std::vector<std::uint8_t>;
using K = PatternKind;

Bytes fileOf(const PatternData& d) {
    Bytes f;
    f.reserve(1024);
    f.insert(f.end(), kPatternHeader, kPatternHeader + 6);
    f.insert(f.end(), d.block().begin(), d.block().end());
    return f;
}
Bytes blockOf(const PatternData& d) { return Bytes(d.block().begin(), d.block().end()); }
Bytes cut(Bytes f, std::size_t size) {
    f.resize(size);
    return f;
}

TEST(PatternFile, EmptyFilesToTheByte) {
    // The empty WQ-7000 pattern file written out by hand.
    Bytes w7 = {'W', 'Q', 'P', 'h', 'r', 's', 0xFF, 0xFF, 0xFF, 0x01, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 100; ++i) w7.insert(w7.end(), {0xFF, 0xFF, 0x00, 0x00});
    for (int i = 0; i < 28; ++i) w7.insert(w7.end(), {0xFF, 0xFF});
    w7.insert(w7.end(), 40, 0);
    w7.insert(w7.end(), 128, 100);
    w7.insert(w7.end(), 384, 0);
    EXPECT_EQ(fileOf(PatternData(K::Pattern7000)), w7);
    Bytes w5 = cut(w7, 512);
    w5[9] = 0;
    EXPECT_EQ(fileOf(PatternData(K::Pattern5000)), w5);
    Bytes song = {'W', 'Q', 'P', 'h', 'r', 's', 0xFF, 0xFF, 0xFF, 0x02, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 100; ++i) song.insert(song.end(), {0xFF, 0xFF});
    song.insert(song.end(), 808, 0);
    EXPECT_EQ(fileOf(PatternData(K::Song)), song);
}

TEST(PatternFile, StepFieldsLandOnTheirBytes) {
    struct Case {
        const char* what;
        std::function<void(PatternData&)> edit;
        std::size_t at;
        Bytes bytes;
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
        {"interrupt steps have no interval",
         [](PatternData& d) { d.setStepInterval(100, 9); },
         0,
         {}},
    };
    for (const Case& c : cases) {
        PatternData d(K::Pattern7000);
        Bytes want = blockOf(d);
        c.edit(d);
        std::copy(c.bytes.begin(), c.bytes.end(), want.begin() + static_cast<std::ptrdiff_t>(c.at));
        EXPECT_EQ(blockOf(d), want) << c.what;
    }
    PatternData d(K::Pattern7000);
    d.setStepVolume(0, 50);
    EXPECT_EQ(d.stepVolume(0), 50);
    EXPECT_EQ(d.stepVolume(1), 100);
    PatternData w5(K::Pattern5000);
    w5.setStepVolume(0, 1);  // the WQ-5000 has no volumes
    EXPECT_EQ(w5, PatternData(K::Pattern5000));
    EXPECT_FALSE(w5.hasInterruptPhrase());
    w5.setStepRef(127, 0);
    EXPECT_TRUE(w5.hasInterruptPhrase());
}

TEST(PatternFile, SongStepsAreStoredSorted) {
    PatternData song(K::Song);
    song.storeSongSteps({{4, 5000}, {7, 1000}, {kSongStop, 0}});
    const auto steps = song.songSteps();
    EXPECT_EQ(std::vector<SongStep>(steps.begin(), steps.begin() + 4),
              (std::vector<SongStep>{{7, 1000}, {4, 5000}, {kSongStop, 0}, {kStepUnused, 0}}));
    EXPECT_EQ(Bytes(&song.block()[210], &song.block()[214]),
              (Bytes{0, 0, 0x03, 0xE8}));  // big-endian at 210 + 4i
    // Equal start times keep their order; every other value counts as a
    // phrase; unused steps lose their start time; stops sort by time.
    std::vector<SongStep> mixed = {{kStepUnused, 900}, {kSongStop, 300}, {16384, 200}, {3, 200},
                                   {kSongStop, 100},   {2, 200},         {1, 50}};
    sortSongSteps(mixed);
    EXPECT_EQ(mixed, (std::vector<SongStep>{{1, 50},
                                            {16384, 200},
                                            {3, 200},
                                            {2, 200},
                                            {kSongStop, 100},
                                            {kSongStop, 300},
                                            {kStepUnused, 0}}));
}

TEST(PatternFile, ReadingChecksMagicKindAndSize) {
    const auto p7 = fileOf(PatternData(K::Pattern7000));
    const auto p5 = fileOf(PatternData(K::Pattern5000));
    const auto song = fileOf(PatternData(K::Song));
    auto foreign = p7, kind3 = p7, otherHeaderEnd = p7;
    foreign[0] = 'Q';
    kind3[9] = 3;
    otherHeaderEnd[4] = 'x';  // only "WQPh" is checked
    using S = PatternReadStatus;
    struct Case {
        const char* what;
        Bytes bytes;
        Model model;
        S status;
    };
    const Case cases[] = {
        {"WQ-7000 pattern", p7, Model::WQ7000, S::Ok},
        {"WQ-7000 song", song, Model::WQ7000, S::Ok},
        {"WQ-5000 pattern", p5, Model::WQ5000, S::Ok},
        {"longer file", cut(p7, 2000), Model::WQ7000, S::Ok},
        {"header end not checked", otherHeaderEnd, Model::WQ7000, S::Ok},
        {"kind 1 on a WQ-5000", p7, Model::WQ5000, S::NotSupported},
        {"song on a WQ-5000", song, Model::WQ5000, S::NotSupported},
        {"kind 0 on a WQ-7000", p5, Model::WQ7000, S::NotSupported},
        {"kind 3", kind3, Model::WQ7000, S::NotSupported},
        {"foreign magic", foreign, Model::WQ7000, S::NotSupported},
        {"15 bytes", cut(p7, 15), Model::WQ7000, S::Short},
        {"block cut short", cut(p7, 1023), Model::WQ7000, S::Short},
        {"WQ-5000 block cut short", cut(p5, 511), Model::WQ5000, S::Short},
    };
    for (const Case& c : cases) {
        const PatternReadResult r = parsePatternFile(c.bytes, c.model, "_WQP0001.PHR");
        EXPECT_EQ(r.status, c.status) << c.what;
        EXPECT_EQ(r.data.has_value(), c.status == S::Ok) << c.what;
        EXPECT_EQ(r.error.starts_with("_WQP0001.PHR: "), c.status != S::Ok) << r.error;
    }
    EXPECT_EQ(parsePatternFile(p7, Model::WQ5000).error,
              "pattern file: a WQ-7000 pattern file, which a WQ-5000 card does not use");
}

TEST(PatternFile, ReadsFromDisk) {
    test::TempDir dir;
    EXPECT_EQ(readPatternFile(dir / "_WQP0001.PHR", Model::WQ7000).status,
              PatternReadStatus::Missing);
    PatternData d(K::Pattern7000);
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
    test::TempDir dir;
    const auto path = dir / "_WQP0005.PHR";
    PatternData d(K::Pattern5000);  // a new file gets exactly header and block
    d.setStepRef(0, 499);
    ASSERT_TRUE(writePatternFile(path, d));
    EXPECT_EQ(test::readBytes(path), fileOf(d));
    // An older, longer file keeps its bytes beyond the block.
    Bytes old(3000);
    for (std::size_t k = 0; k < old.size(); ++k) old[k] = static_cast<std::uint8_t>(k * 7);
    test::writeBytes(path, old);
    PatternData song(K::Song);
    song.storeSongSteps({{1, 2}});
    ASSERT_TRUE(writePatternFile(path, song));
    Bytes want = fileOf(song);
    want.insert(want.end(), old.begin() + 1024, old.end());
    EXPECT_EQ(test::readBytes(path), want);
}

TEST(PatternFile, StepCountsFollowThePatternMode) {
    for (auto [m, mode, steps] : {std::tuple{Model::WQ7000, 1, 100},
                                  {Model::WQ7000, 2, 128},
                                  {Model::WQ5000, 2, 100},
                                  {Model::WQ5000, 3, 128}})
        EXPECT_EQ(patternStepCount(m, mode), steps) << mode;
    EXPECT_EQ(patternModeRandom1(Model::WQ5000), 2);
}

}  // namespace
}  // namespace wqe
