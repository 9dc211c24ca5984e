// System settings file: field layout of both models, defaults, read-time
// range rules and byte preservation.
#include <gtest/gtest.h>

#include <numeric>

#include "card/CWQESys.h"

namespace wqe {
namespace {

constexpr Model W7 = Model::WQ7000;
constexpr Model W5 = Model::WQ5000;
using Bytes = std::vector<std::uint8_t>;

// Offsets and sizes (1 or 2) as the device reads them, written out
// independently of the field table in the code.
struct Layout {
    const char* field;
    Model model;
    int offset, size;
};
// clang-format off
const Layout kLayouts[] = {
    {"phrase-count-code", W7, 6, 1},        {"phrase-count-code", W5, 51, 1},   {"busy-out-code", W5, 7, 1},
    {"card-protect", W7, 17, 1},            {"card-protect", W5, 1091, 1},      {"control-input-mode", W7, 18, 1},
    {"direct-playback-kind", W7, 19, 1},    {"control-input-select", W5, 1086, 1}, {"binary-trigger", W5, 1087, 1},
    {"binary-trigger-level", W7, 1053, 1},  {"binary-trigger-edge", W7, 1054, 1}, {"terminal-recording-input", W7, 1055, 1},
    {"midi-output", W7, 1056, 1},           {"midi-output", W5, 1350, 1},       {"midi-channel", W7, 1314, 1},
    {"midi-channel", W5, 1349, 1},          {"note-trigger", W7, 1315, 1},      {"note-trigger", W5, 1351, 1},
    {"rx-velocity", W7, 1316, 1},           {"rx-panpot", W7, 1317, 1},         {"rx-expression", W7, 1318, 1},
    {"note-out", W7, 1319, 1},              {"device-id", W7, 1320, 1},         {"device-id", W5, 1352, 1},
    {"mmc-mode", W7, 1321, 1},              {"mtc-sync-source", W7, 1322, 1},   {"mtc-sync-out", W7, 1323, 1},
    {"mtc-type", W7, 1324, 1},              {"mtc-error-level", W7, 1325, 1},   {"baud-rate", W7, 1326, 1},
    {"baud-rate", W5, 1090, 1},             {"wq-link-mode", W7, 1327, 1},      {"dual-mono-mode", W7, 1329, 1},
    {"dual-mono-mode", W5, 1088, 1},        {"line-thru", W7, 1330, 1},         {"line-thru", W5, 1089, 1},
    {"line-thru-volume", W7, 1331, 1},      {"line-thru-fade-out", W7, 1332, 2}, {"line-thru-fade-in", W7, 1334, 2},
    {"eq-switch", W7, 1336, 1},             {"eq-low-gain", W7, 1337, 1},       {"eq-low-freq", W7, 1338, 1},
    {"eq-high-gain", W7, 1339, 1},          {"eq-high-freq", W7, 1340, 1},      {"eq-attenuation", W7, 1341, 1},
    {"output-volume-thru", W7, 1342, 1},    {"busy-out-delay", W7, 1343, 1},    {"busy-out-playback", W7, 1344, 1},
    {"busy-out-interval", W7, 1345, 1},     {"display-sleep-switch", W7, 1347, 1}, {"display-sleep-time", W7, 1348, 2},
};
// clang-format on

SystemField fieldNamed(const std::string& name) {
    for (const auto& info : systemFields())
        if (name == info.name) return static_cast<SystemField>(&info - systemFields().data());
    ADD_FAILURE() << "no field " << name;
    return SystemField::PhraseCountCode;
}

Bytes patternImage(Model m) {
    Bytes image(systemFileSize(m));
    std::iota(image.begin(), image.end(), std::uint8_t{0x11});
    return image;
}

struct Attached {
    Attached(Model m, Bytes img) : image(std::move(img)) {
        sys.setModel(m);
        sys.attach(image);
    }
    Bytes image;
    CWQESys sys;
};

TEST(SystemFile, EachFieldWritesExactlyItsBytesInTheModelsByteOrder) {
    for (const Layout& l : kLayouts) {
        SCOPED_TRACE(std::string(l.field) + (l.model == W7 ? " WQ-7000" : " WQ-5000"));
        Attached a(l.model, patternImage(l.model));
        Bytes want = a.image;
        a.sys.set(fieldNamed(l.field), l.size == 1 ? 0xA5 : 0x1234);
        if (l.size == 1)
            want[l.offset] = 0xA5;
        else if (l.model == W7)
            want[l.offset] = 0x34, want[l.offset + 1] = 0x12;
        else
            want[l.offset] = 0x12, want[l.offset + 1] = 0x34;
        EXPECT_EQ(a.image, want);
    }
}

TEST(SystemFile, FieldsTheModelLacksReadDefaultsAndWriteNothing) {
    Attached a5(W5, patternImage(W5));
    const Bytes before5 = a5.image;
    a5.sys.setWqLinkMode(2);
    a5.sys.setLineThruFadeIn(100);
    a5.sys.setEqLowGain(3);
    EXPECT_EQ(a5.image, before5);
    EXPECT_EQ(a5.sys.getEqLowGain(), 12);
    EXPECT_EQ(a5.sys.getMtcErrorLevel(), 5);
    Attached a7(W7, patternImage(W7));
    const Bytes before7 = a7.image;
    a7.sys.setBusyOutCode(3);
    a7.sys.setControlInputSelect(4);
    EXPECT_EQ(a7.image, before7);
    // Without a card the defaults are read and setters write nowhere. (The
    // fresh images are pinned byte for byte by test_model.cpp.)
    CWQESys unloaded;
    unloaded.setBaudRate(3);
    EXPECT_EQ(unloaded.getBaudRate(), 1);
    EXPECT_EQ(unloaded.getCardName(), "WQ-7000 ");
    EXPECT_EQ(unloaded.getProgramPlayTable(3)[0], 32768);
}

TEST(SystemFile, ReadTimeRangeRules) {
    // Device ID 0 or above 32 reads as 1; fades outside 5..599 read as 5.
    struct Case {
        int stored, deviceId, fade;
    };
    const Case cases[] = {{0, 1, 5},   {4, 4, 5},     {5, 5, 5},      {32, 32, 32},
                          {33, 1, 33}, {255, 1, 255}, {599, -1, 599}, {600, -1, 5}};
    Attached a(W7, CWQESys::defaultImage(W7));
    for (const Case& c : cases) {
        a.image[1320] = static_cast<std::uint8_t>(c.stored);
        a.image[1334] = static_cast<std::uint8_t>(c.stored);
        a.image[1335] = static_cast<std::uint8_t>(c.stored >> 8);
        if (c.deviceId >= 0) {
            EXPECT_EQ(a.sys.getDeviceId(), c.deviceId) << c.stored;
        }
        EXPECT_EQ(a.sys.getLineThruFadeIn(), c.fade) << c.stored;
    }
    a.sys.setDisplaySleepTime(5);  // not clamped
    EXPECT_EQ(a.sys.getDisplaySleepTime(), 5);
}

TEST(SystemFile, TablesFollowTheModelsByteOrder) {
    Attached a5(W5, CWQESys::defaultImage(W5)), a7(W7, CWQESys::defaultImage(W7));
    a5.image[1054] = a7.image[20] = 0x00;
    a5.image[1055] = a7.image[21] = 0x05;
    EXPECT_EQ(a5.sys.getDirectPlayTable()[0], 5);
    EXPECT_EQ(a7.sys.getDirectPlayTable()[0], 1280);
    // Program play table t entry k: WQ-7000 at 52 + 200t + 2k, WQ-5000 at 54 + 200t + 2k.
    std::array<std::uint16_t, kProgramPlayEntries> table{};
    table[7] = 0xBEEF;
    a7.sys.setProgramPlayTable(4, table);
    a5.sys.setProgramPlayTable(4, table);
    EXPECT_EQ(Bytes(&a7.image[866], &a7.image[868]), (Bytes{0xEF, 0xBE}));
    EXPECT_EQ(Bytes(&a5.image[868], &a5.image[870]), (Bytes{0xBE, 0xEF}));
    const Bytes before = a7.image;  // a table number past the last is ignored
    a7.sys.setProgramPlayTable(5, table);
    EXPECT_EQ(a7.image, before);
    EXPECT_EQ(a7.sys.getProgramPlayTable(5)[0], 32768);
    std::array<std::uint16_t, kNoteMapEntries> notes{};
    notes[127] = 0x0102;
    a5.sys.setNoteMap(notes);
    a7.sys.setNoteMap(notes);
    EXPECT_EQ(Bytes(&a5.image[1346], &a5.image[1348]), (Bytes{0x01, 0x02}));
    EXPECT_EQ(Bytes(&a7.image[1312], &a7.image[1314]), (Bytes{0x02, 0x01}));
}

TEST(SystemFile, CardNameIsEightCharactersAndAZeroByte) {
    for (Model m : {W7, W5}) {
        const int off = m == W7 ? 8 : 42;
        Attached a(m, patternImage(m));
        a.sys.setCardName("ABCDEFGH");
        EXPECT_EQ(std::string(a.image.begin() + off, a.image.begin() + off + 9),
                  std::string("ABCDEFGH\0", 9));
        // Longer names are cut to the field; shorter ones end at their zero byte.
        a.sys.setCardName("TOOLONGNAME");
        EXPECT_EQ(a.sys.getCardName(), "TOOLONGN");
        EXPECT_EQ(a.image[off + 8], 0);
        a.sys.setCardName("AB");
        EXPECT_EQ(a.sys.getCardName(), "AB");
        EXPECT_EQ(a.image[off + 2], 0);
    }
}

TEST(SystemFile, DisplaySleepPositions) {
    struct Case {
        int position, sw, time;
    };
    for (const Case& c : {Case{0, 0, 30}, {1, 1, 30}, {3570, 1, 3599}}) {
        int sw = -1, time = -1;
        displaySleepFromPosition(c.position, sw, time);
        EXPECT_EQ(std::pair(sw, time), std::pair(c.sw, c.time)) << c.position;
    }
    EXPECT_EQ(displaySleepPosition(0, 500), 0);
    EXPECT_EQ(displaySleepPosition(7, 3599), 3570);
}

}  // namespace
}  // namespace wqe
