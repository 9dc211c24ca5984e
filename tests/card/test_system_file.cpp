// System settings file: field layout of both models, defaults, read-time
// range rules and byte preservation.
#include <gtest/gtest.h>

#include <numeric>

#include "card/CWQESys.h"

namespace wqe {
namespace {

struct Layout {
    const char* field;
    Model model;
    int offset;
    int size;  // 1 or 2
};

// Offsets and sizes as the device reads them, written out independently of
// the field table in the code.
const Layout kLayouts[] = {
    {"phrase-count-code", Model::WQ7000, 6, 1},      {"phrase-count-code", Model::WQ5000, 51, 1},
    {"busy-out-code", Model::WQ5000, 7, 1},          {"card-protect", Model::WQ7000, 17, 1},
    {"card-protect", Model::WQ5000, 1091, 1},        {"control-input-mode", Model::WQ7000, 18, 1},
    {"direct-playback-kind", Model::WQ7000, 19, 1},  {"control-input-select", Model::WQ5000, 1086, 1},
    {"binary-trigger", Model::WQ5000, 1087, 1},      {"binary-trigger-level", Model::WQ7000, 1053, 1},
    {"binary-trigger-edge", Model::WQ7000, 1054, 1}, {"terminal-recording-input", Model::WQ7000, 1055, 1},
    {"midi-output", Model::WQ7000, 1056, 1},         {"midi-output", Model::WQ5000, 1350, 1},
    {"midi-channel", Model::WQ7000, 1314, 1},        {"midi-channel", Model::WQ5000, 1349, 1},
    {"note-trigger", Model::WQ7000, 1315, 1},        {"note-trigger", Model::WQ5000, 1351, 1},
    {"rx-velocity", Model::WQ7000, 1316, 1},         {"rx-panpot", Model::WQ7000, 1317, 1},
    {"rx-expression", Model::WQ7000, 1318, 1},       {"note-out", Model::WQ7000, 1319, 1},
    {"device-id", Model::WQ7000, 1320, 1},           {"device-id", Model::WQ5000, 1352, 1},
    {"mmc-mode", Model::WQ7000, 1321, 1},            {"mtc-sync-source", Model::WQ7000, 1322, 1},
    {"mtc-sync-out", Model::WQ7000, 1323, 1},        {"mtc-type", Model::WQ7000, 1324, 1},
    {"mtc-error-level", Model::WQ7000, 1325, 1},     {"baud-rate", Model::WQ7000, 1326, 1},
    {"baud-rate", Model::WQ5000, 1090, 1},           {"wq-link-mode", Model::WQ7000, 1327, 1},
    {"dual-mono-mode", Model::WQ7000, 1329, 1},      {"dual-mono-mode", Model::WQ5000, 1088, 1},
    {"line-thru", Model::WQ7000, 1330, 1},           {"line-thru", Model::WQ5000, 1089, 1},
    {"line-thru-volume", Model::WQ7000, 1331, 1},    {"line-thru-fade-out", Model::WQ7000, 1332, 2},
    {"line-thru-fade-in", Model::WQ7000, 1334, 2},   {"eq-switch", Model::WQ7000, 1336, 1},
    {"eq-low-gain", Model::WQ7000, 1337, 1},         {"eq-low-freq", Model::WQ7000, 1338, 1},
    {"eq-high-gain", Model::WQ7000, 1339, 1},        {"eq-high-freq", Model::WQ7000, 1340, 1},
    {"eq-attenuation", Model::WQ7000, 1341, 1},      {"output-volume-thru", Model::WQ7000, 1342, 1},
    {"busy-out-delay", Model::WQ7000, 1343, 1},      {"busy-out-playback", Model::WQ7000, 1344, 1},
    {"busy-out-interval", Model::WQ7000, 1345, 1},   {"display-sleep-switch", Model::WQ7000, 1347, 1},
    {"display-sleep-time", Model::WQ7000, 1348, 2},
};

SystemField fieldNamed(const std::string& name) {
    for (const auto& info : systemFields())
        if (name == info.name) return static_cast<SystemField>(&info - systemFields().data());
    ADD_FAILURE() << "no field " << name;
    return SystemField::PhraseCountCode;
}

std::vector<std::uint8_t> patternImage(Model m) {
    std::vector<std::uint8_t> image(systemFileSize(m));
    std::iota(image.begin(), image.end(), std::uint8_t{0x11});
    return image;
}

TEST(SystemFile, EachFieldWritesExactlyItsBytesInTheModelsByteOrder) {
    for (const Layout& l : kLayouts) {
        SCOPED_TRACE(std::string(l.field) + (l.model == Model::WQ7000 ? " WQ-7000" : " WQ-5000"));
        auto image = patternImage(l.model);
        const auto before = image;
        CWQESys sys;
        sys.setModel(l.model);
        sys.attach(image);
        const int value = l.size == 1 ? 0xA5 : 0x1234;
        sys.set(fieldNamed(l.field), value);
        for (std::size_t k = 0; k < image.size(); ++k) {
            const int rel = static_cast<int>(k) - l.offset;
            if (rel < 0 || rel >= l.size) {
                ASSERT_EQ(image[k], before[k]) << "byte " << k << " changed";
            }
        }
        if (l.size == 1) {
            EXPECT_EQ(image[l.offset], 0xA5);
        } else if (l.model == Model::WQ7000) {
            EXPECT_EQ(image[l.offset], 0x34);
            EXPECT_EQ(image[l.offset + 1], 0x12);
        } else {
            EXPECT_EQ(image[l.offset], 0x12);
            EXPECT_EQ(image[l.offset + 1], 0x34);
        }
    }
}

TEST(SystemFile, FieldsTheModelLacksReadDefaultsAndWriteNothing) {
    auto image = patternImage(Model::WQ5000);
    const auto before = image;
    CWQESys sys;
    sys.setModel(Model::WQ5000);
    sys.attach(image);
    sys.setWqLinkMode(2);
    sys.setLineThruFadeIn(100);
    sys.setEqLowGain(3);
    EXPECT_EQ(image, before);
    EXPECT_EQ(sys.getEqLowGain(), 12);
    EXPECT_EQ(sys.getMtcErrorLevel(), 5);

    auto image7 = patternImage(Model::WQ7000);
    const auto before7 = image7;
    sys.setModel(Model::WQ7000);
    sys.attach(image7);
    sys.setBusyOutCode(3);
    sys.setControlInputSelect(4);
    EXPECT_EQ(image7, before7);
}

TEST(SystemFile, UnloadedRecordReadsTheDefaults) {
    CWQESys sys;
    EXPECT_EQ(sys.getCardName(), "WQ-7000 ");
    EXPECT_EQ(sys.getBaudRate(), 1);
    EXPECT_EQ(sys.getDeviceId(), 1);
    EXPECT_EQ(sys.getEqLowGain(), 12);
    EXPECT_EQ(sys.getEqHighGain(), 12);
    EXPECT_EQ(sys.getEqAttenuation(), 12);
    EXPECT_EQ(sys.getBinaryTriggerLevel(), 1);
    EXPECT_EQ(sys.getDisplaySleepTime(), 30);
    EXPECT_EQ(sys.getLineThruFadeOut(), 5);
    EXPECT_EQ(sys.getDirectPlayTable()[15], 15);
    EXPECT_EQ(sys.getProgramPlayTable(0)[99], 99);
    EXPECT_EQ(sys.getProgramPlayTable(3)[0], 32768);
    EXPECT_EQ(sys.getNoteMap()[127], 127);
    sys.setBaudRate(3);  // ignored, nothing to write to
    EXPECT_EQ(sys.getBaudRate(), 1);
}

TEST(SystemFile, ReadTimeRangeRules) {
    struct Case {
        int stored;
        int deviceId;
        int fade;
    };
    // Device ID 0 or above 32 reads as 1; fades outside 5..599 read as 5.
    const Case cases[] = {{0, 1, 5}, {1, 1, 5}, {4, 4, 5}, {5, 5, 5}, {32, 32, 32}, {33, 1, 33}, {255, 1, 255}};
    auto image = CWQESys::defaultImage(Model::WQ7000);
    CWQESys sys;
    sys.attach(image);
    for (const Case& c : cases) {
        image[1320] = static_cast<std::uint8_t>(c.stored);
        image[1334] = static_cast<std::uint8_t>(c.stored);
        image[1335] = 0;
        EXPECT_EQ(sys.getDeviceId(), c.deviceId) << c.stored;
        EXPECT_EQ(sys.getLineThruFadeIn(), c.fade) << c.stored;
    }
    image[1334] = 600 & 0xFF;
    image[1335] = 600 >> 8;
    EXPECT_EQ(sys.getLineThruFadeIn(), 5);
    image[1334] = 599 & 0xFF;
    image[1335] = 599 >> 8;
    EXPECT_EQ(sys.getLineThruFadeIn(), 599);
    // The display sleep time is not clamped.
    sys.setDisplaySleepTime(5);
    EXPECT_EQ(sys.getDisplaySleepTime(), 5);
}

TEST(SystemFile, TablesFollowTheModelsByteOrder) {
    auto image5 = CWQESys::defaultImage(Model::WQ5000);
    CWQESys sys5;
    sys5.setModel(Model::WQ5000);
    sys5.attach(image5);
    image5[1054] = 0x00;
    image5[1055] = 0x05;
    EXPECT_EQ(sys5.getDirectPlayTable()[0], 5);

    auto image7 = CWQESys::defaultImage(Model::WQ7000);
    CWQESys sys7;
    sys7.attach(image7);
    image7[20] = 0x00;
    image7[21] = 0x05;
    EXPECT_EQ(sys7.getDirectPlayTable()[0], 1280);

    // Program play table t entry k: WQ-7000 at 52 + 200t + 2k, WQ-5000 at 54 + 200t + 2k.
    std::array<std::uint16_t, kProgramPlayEntries> table{};
    table[7] = 0xBEEF;
    sys7.setProgramPlayTable(4, table);
    EXPECT_EQ(image7[52 + 800 + 14], 0xEF);
    EXPECT_EQ(image7[52 + 800 + 15], 0xBE);
    sys5.setProgramPlayTable(4, table);
    EXPECT_EQ(image5[54 + 800 + 14], 0xBE);
    EXPECT_EQ(image5[54 + 800 + 15], 0xEF);
    // A table number past the last is ignored by the setter.
    const auto before = image7;
    sys7.setProgramPlayTable(5, table);
    EXPECT_EQ(image7, before);
    EXPECT_EQ(sys7.getProgramPlayTable(5)[0], 32768);

    std::array<std::uint16_t, kNoteMapEntries> notes{};
    notes[127] = 0x0102;
    sys5.setNoteMap(notes);
    EXPECT_EQ(image5[1092 + 254], 0x01);
    EXPECT_EQ(image5[1092 + 255], 0x02);
    sys7.setNoteMap(notes);
    EXPECT_EQ(image7[1058 + 254], 0x02);
    EXPECT_EQ(image7[1058 + 255], 0x01);
}

TEST(SystemFile, CardNameIsEightCharactersAndAZeroByte) {
    for (Model m : {Model::WQ7000, Model::WQ5000}) {
        const int off = m == Model::WQ7000 ? 8 : 42;
        auto image = patternImage(m);
        CWQESys sys;
        sys.setModel(m);
        sys.attach(image);
        sys.setCardName("ABCDEFGH");
        EXPECT_EQ(std::string(image.begin() + off, image.begin() + off + 8), "ABCDEFGH");
        EXPECT_EQ(image[off + 8], 0);
        EXPECT_EQ(sys.getCardName(), "ABCDEFGH");
        // Longer names are cut to the field; shorter ones end at their zero byte.
        sys.setCardName("TOOLONGNAME");
        EXPECT_EQ(sys.getCardName(), "TOOLONGN");
        EXPECT_EQ(image[off + 8], 0);
        sys.setCardName("AB");
        EXPECT_EQ(sys.getCardName(), "AB");
        EXPECT_EQ(image[off + 2], 0);
    }
}

TEST(SystemFile, DefaultImageHoldsTheDocumentedDefaults) {
    for (Model m : {Model::WQ7000, Model::WQ5000}) {
        auto image = CWQESys::defaultImage(m);
        ASSERT_EQ(image.size(), m == Model::WQ7000 ? 1352u : 1354u);
        CWQESys sys;
        sys.setModel(m);
        sys.attach(image);
        for (const auto& info : systemFields()) {
            if (!info.exists(m)) continue;
            EXPECT_EQ(sys.get(static_cast<SystemField>(&info - systemFields().data())), info.defaultValue)
                << info.name;
        }
        EXPECT_EQ(sys.getCardName(), "WQ-7000 ");
        for (int k = 0; k < kDirectPlayEntries; ++k) EXPECT_EQ(sys.getDirectPlayTable()[k], k);
        EXPECT_EQ(sys.getProgramPlayTable(0)[42], 42);
        EXPECT_EQ(sys.getProgramPlayTable(1)[42], 32768);
        EXPECT_EQ(sys.getNoteMap()[60], 60);
    }
}

TEST(SystemFile, DisplaySleepPositions) {
    int sw = -1, time = -1;
    displaySleepFromPosition(0, sw, time);
    EXPECT_EQ(sw, 0);
    EXPECT_EQ(time, 30);
    displaySleepFromPosition(1, sw, time);
    EXPECT_EQ(sw, 1);
    EXPECT_EQ(time, 30);
    displaySleepFromPosition(3570, sw, time);
    EXPECT_EQ(time, 3599);
    EXPECT_EQ(displaySleepPosition(0, 500), 0);
    EXPECT_EQ(displaySleepPosition(7, 3599), 3570);
}

}  // namespace
}  // namespace wqe
