// The system settings dialogs on records: lists by model and language,
// position <-> stored value, the combined fields both ways and what ENTER
// keeps when no item stands for a stored value; and the table editors: entry
// labels, the table edits at the first and last entry, and the whole table
// stored in the model's byte order.
#include <gtest/gtest.h>

#include "dialogs/PlayTables.h"
#include "dialogs/SystemDialogs.h"

using namespace wqe;
using F = DialogField;

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

// The lists whose items differ by model (the others are read back through
// the positions below and the report).
TEST(SystemDialogs, ListItemsByModelAndLanguage) {
    struct Case {
        F field;
        Model model;
        Language lang;
        std::size_t count;
        const char* first;
        const char* last;
    };
    const auto E = Language::English, J = Language::Japanese;
    const auto W7 = Model::WQ7000, W5 = Model::WQ5000;
    const Case cases[] = {
        {F::LineThru, W5, J, 3, "ﾐｭｰﾄ", "ｵﾌ"},
        {F::ControlInputSelect, W7, E, 7, "Direct Playback(Normal)", "Terminal Recording"},
        {F::ControlInputSelect, W5, J, 5, "ﾀﾞｲﾚｸﾄ(通常)", "ﾊﾞｲﾅﾘ再生"},
        {F::BinaryTrigger, W7, J, 4, "ﾚﾍﾞﾙ:ｵﾌ, ｴｯｼﾞ:ｵﾌ", "ﾚﾍﾞﾙ:ｵﾝ, ｴｯｼﾞ:ｵﾝ"},
        {F::BinaryTrigger, W5, J, 2, "ﾚﾍﾞﾙ", "ｴｯｼﾞ"},
        {F::TerminalRec, W5, E, 1, "", ""},
    };
    for (const Case& c : cases) {
        const auto items = dialogFieldItems(c.field, c.model, c.lang);
        ASSERT_EQ(items.size(), c.count) << static_cast<int>(c.field);
        EXPECT_EQ(items.front(), c.first);
        EXPECT_EQ(items.back(), c.last);
    }
}

// Each row: a field, a list position, and the bytes ENTER writes for it.
TEST(SystemDialogs, PositionsMapToStoredBytes) {
    struct Case {
        Model model;
        SysDialog dialog;
        F field;
        int position;
        std::vector<std::pair<int, std::uint8_t>> bytes;  // offset, value
    };
    const Case cases[] = {
        {Model::WQ7000, SysDialog::LineThru, F::FadeIn, 0, {{1334, 5}, {1335, 0}}},
        {Model::WQ7000, SysDialog::LineThru, F::FadeOut, 594, {{1332, 0x57}, {1333, 0x02}}},  // 599
        {Model::WQ5000, SysDialog::LineThru, F::LineThru, 2, {{1089, 2}}},
        {Model::WQ7000, SysDialog::Equalizer, F::EqHighGain, 24, {{1339, 24}}},
        {Model::WQ7000, SysDialog::ControlInput, F::ControlInputSelect, 6, {{18, 3}, {19, 0}}},
        {Model::WQ7000, SysDialog::ControlInput, F::BinaryTrigger, 2, {{1053, 0}, {1054, 1}}},
        {Model::WQ5000, SysDialog::ControlInput, F::ControlInputSelect, 4, {{1086, 4}}},
        {Model::WQ5000, SysDialog::ControlInput, F::BinaryTrigger, 1, {{1087, 1}}},
        {Model::WQ7000, SysDialog::Midi, F::DeviceId, 31, {{1320, 32}}},
        {Model::WQ5000, SysDialog::Midi, F::Channel, 17, {{1349, 17}}},
        {Model::WQ7000, SysDialog::Mtc, F::MtcType, 4, {{1324, 4}}},
    };
    for (const Case& c : cases) {
        Card card(c.model);
        const auto before = card.image;
        DialogValues values = readDialog(card.sys, c.dialog);
        values[c.field] = c.position;
        storeDialog(card.sys, c.dialog, values);
        auto expected = before;
        for (auto [offset, value] : c.bytes) expected[static_cast<std::size_t>(offset)] = value;
        EXPECT_EQ(card.image, expected) << static_cast<int>(c.field) << " " << c.position;
        EXPECT_EQ(dialogFieldValue(card.sys, c.field), c.position);
    }
}

TEST(SystemDialogs, BusyOutBothModels) {
    // WQ-5000: the code <-> (delay, interval), both ways.
    const struct {
        int code;
        int delay, interval;
    } codes[] = {{0, 1, 1}, {1, 1, 0}, {2, 0, 1}, {3, 0, 0}};
    for (const auto& c : codes) {
        Card card(Model::WQ5000);
        card.image[7] = static_cast<std::uint8_t>(c.code);
        const DialogValues v = readDialog(card.sys, SysDialog::BusyOut);
        EXPECT_EQ(v.at(F::BusyDelay), c.delay);
        EXPECT_EQ(v.at(F::BusyInterval), c.interval);
        EXPECT_EQ(v.at(F::BusyPlayback), 0);
        EXPECT_FALSE(dialogFieldExists(F::BusyPlayback, Model::WQ5000));
        card.image[7] = 9;
        storeDialog(card.sys, SysDialog::BusyOut, v);
        EXPECT_EQ(card.image[7], c.code);
    }
    // WQ-7000: one byte per box.
    Card w7(Model::WQ7000);
    storeDialog(w7.sys, SysDialog::BusyOut,
                {{F::BusyDelay, 1}, {F::BusyPlayback, 0}, {F::BusyInterval, 1}});
    EXPECT_EQ(w7.image[1343], 1);
    EXPECT_EQ(w7.image[1344], 0);
    EXPECT_EQ(w7.image[1345], 1);
}

// Stored values that no item or box state produces: no selection (or a
// partly checked box), and ENTER leaves the bytes as they were.
TEST(SystemDialogs, UnlistedValuesAreKeptByteForByte) {
    struct Case {
        Model model;
        SysDialog dialog;
        std::vector<std::pair<int, std::uint8_t>> stored;
        F field;
    };
    const Case cases[] = {
        {Model::WQ7000, SysDialog::ControlInput, {{18, 2}, {19, 1}}, F::ControlInputSelect},
        {Model::WQ7000, SysDialog::ControlInput, {{1053, 2}, {1054, 0}}, F::BinaryTrigger},
        {Model::WQ7000, SysDialog::ControlInput, {{1055, 7}}, F::TerminalRec},
        {Model::WQ5000, SysDialog::ControlInput, {{1086, 5}}, F::ControlInputSelect},
        {Model::WQ5000, SysDialog::BusyOut, {{7, 4}}, F::BusyDelay},
        {Model::WQ7000, SysDialog::BusyOut, {{1344, 2}}, F::BusyPlayback},
        {Model::WQ7000, SysDialog::Midi, {{1314, 18}}, F::Channel},
        {Model::WQ5000, SysDialog::LineThru, {{1089, 3}}, F::LineThru},
    };
    for (const Case& c : cases) {
        Card card(c.model);
        for (auto [offset, value] : c.stored) card.image[static_cast<std::size_t>(offset)] = value;
        const auto before = card.image;
        const DialogValues v = readDialog(card.sys, c.dialog);
        EXPECT_EQ(v.at(c.field), -1) << static_cast<int>(c.field);
        storeDialog(card.sys, c.dialog, v);
        EXPECT_EQ(card.image, before) << static_cast<int>(c.field);
    }
}

TEST(SystemDialogs, FieldsTheModelLacks) {
    Card w5(Model::WQ5000);
    const auto before = w5.image;
    for (SysDialog d : {SysDialog::LineThru, SysDialog::Equalizer, SysDialog::ControlInput,
                        SysDialog::Midi, SysDialog::Mtc}) {
        DialogValues v = readDialog(w5.sys, d);
        for (auto& [f, value] : v) {
            if (dialogFieldExists(f, Model::WQ5000)) continue;
            EXPECT_EQ(value, isCheckField(f) ? 0 : -1) << static_cast<int>(f);
            value = 1;  // a disabled control stores nothing whatever it holds
        }
        storeDialog(w5.sys, d, v);
    }
    EXPECT_EQ(w5.image, before);
    // The loop above saw fields the WQ-5000 lacks.
    EXPECT_FALSE(dialogFieldExists(F::FadeIn, Model::WQ5000));
    EXPECT_TRUE(dialogFieldExists(F::LineThru, Model::WQ5000));
}

TEST(PlayTables, NoteNames) {
    const struct {
        int note;
        const char* name;
    } cases[] = {{0, "C -"}, {1, "C#-"}, {12, "C 0"}, {127, "G 9"}};
    for (const auto& c : cases) EXPECT_EQ(noteName(c.note), c.name);
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
