// The table editors: entry labels, the table edits at the first and last
// entry, and the whole table stored in the model's byte order.
#include <gtest/gtest.h>

#include "dialogs/PlayTables.h"

using namespace wqe;

namespace {

struct Card {
    explicit Card(Model m) : image(CWQESys::defaultImage(m)) {
        sys.setModel(m);
        sys.attach(image);
    }
    std::vector<std::uint8_t> image;
    CWQESys sys;
};

std::vector<std::uint16_t> iota(std::size_t n, std::uint16_t from) {
    std::vector<std::uint16_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint16_t>(from + i);
    return v;
}

}  // namespace

TEST(PlayTables, NoteNames) {
    const struct {
        int note;
        const char* name;
    } cases[] = {{0, "C -"},  {1, "C#-"},  {8, "G#-"},  {11, "B -"},
                 {12, "C 0"}, {60, "C 4"}, {127, "G 9"}};
    for (const auto& c : cases) EXPECT_EQ(noteName(c.note), c.name);
    const PlayTable map{TableKind::NoteMap, 0, Model::WQ7000, std::vector<std::uint16_t>(128, 0)};
    EXPECT_EQ(map.label(127), "G 9");
    const PlayTable direct{TableKind::DirectPlay, 0, Model::WQ7000,
                           std::vector<std::uint16_t>(16, 0)};
    EXPECT_EQ(direct.label(0), "1");
    EXPECT_EQ(direct.label(15), "16");
}

TEST(PlayTables, InsertAndDeleteAtTheEdges) {
    const std::uint16_t none7 = 32768, none5 = 65535;
    struct Case {
        Model model;
        bool insert;
        int at;
        std::vector<std::uint16_t> expected;
    };
    auto with = [](std::vector<std::uint16_t> v, std::size_t i, std::uint16_t value) {
        v[i] = value;
        return v;
    };
    std::vector<std::uint16_t> insertFirst{none7};
    for (std::uint16_t k = 0; k < 99; ++k) insertFirst.push_back(k);
    std::vector<std::uint16_t> deleteFirst = iota(100, 1);
    deleteFirst.back() = none5;
    const Case cases[] = {
        {Model::WQ7000, true, 0, insertFirst},
        {Model::WQ7000, true, 99, with(iota(100, 0), 99, none7)},  // only the last becomes none
        {Model::WQ5000, false, 0, deleteFirst},
        {Model::WQ5000, false, 99, with(iota(100, 0), 99, none5)},
        {Model::WQ7000, true, -1, iota(100, 0)},  // no selection: nothing
        {Model::WQ7000, false, 100, iota(100, 0)},
    };
    for (const Case& c : cases) {
        PlayTable t{TableKind::ProgramPlay, 2, c.model, iota(100, 0)};
        c.insert ? t.insertAt(c.at) : t.deleteAt(c.at);
        EXPECT_EQ(t.refs, c.expected) << c.insert << " " << c.at;
    }
    // The other tables have no INSERT or DELETE.
    PlayTable direct{TableKind::DirectPlay, 0, Model::WQ7000, iota(16, 0)};
    direct.insertAt(0);
    EXPECT_EQ(direct.refs, iota(16, 0));
}

TEST(PlayTables, ResetClearAndStoreInByteOrder) {
    Card w5(Model::WQ5000);
    PlayTable t = PlayTable::read(w5.sys, TableKind::DirectPlay);
    t.resetB();
    EXPECT_EQ(t.refs, iota(16, 500));
    EXPECT_EQ(t.refText(15), "B016");
    t.refs[1] = 4095;
    EXPECT_EQ(t.refText(1), "PLAY");
    t.store(w5.sys);
    EXPECT_EQ(w5.image[1054], 0x01);  // 500, most significant byte first
    EXPECT_EQ(w5.image[1055], 0xF4);
    EXPECT_EQ(w5.image[1056], 0x0F);  // 4095
    EXPECT_EQ(w5.image[1057], 0xFF);

    Card w7(Model::WQ7000);
    PlayTable p = PlayTable::read(w7.sys, TableKind::ProgramPlay, 4);
    EXPECT_EQ(p.refText(0), "-----");
    p.resetA();
    p.store(w7.sys);
    EXPECT_EQ(w7.image[52 + 800 + 2 * 99], 99);
    EXPECT_EQ(w7.image[52 + 800 + 2 * 99 + 1], 0);
    p.clear();
    EXPECT_EQ(p.refs, std::vector<std::uint16_t>(100, 32768));

    PlayTable map = PlayTable::read(w5.sys, TableKind::NoteMap);
    map.clear();
    map.store(w5.sys);
    for (std::size_t i = 1092; i < 1092 + 256; ++i) ASSERT_EQ(w5.image[i], 0xFF) << i;
    EXPECT_TRUE(map.chooser(0).highest == 250 && !map.chooser(0).allowPlay);
    EXPECT_TRUE(t.chooser(1).allowPlay);
}
