// Phrase settings file: record layout of both models, defaults, the erased
// record, playback time and the guard against short images.
#include <gtest/gtest.h>

#include <numeric>

#include "card/CWQEPhr.h"

namespace wqe {
namespace {

struct Layout {
    const char* field;
    Model model;
    int offset;
    int size;
};

// Offsets within a record, written out independently of the code's table.
const Layout kLayouts[] = {
    {"type", Model::WQ7000, 0, 1},           {"repeat-switch", Model::WQ7000, 1, 1},
    {"control-output-switch", Model::WQ7000, 2, 1}, {"repeat-count", Model::WQ7000, 3, 1},
    {"repeat-interval", Model::WQ7000, 4, 2}, {"control-output-time", Model::WQ7000, 6, 2},
    {"delay", Model::WQ7000, 8, 2},          {"grade", Model::WQ7000, 23, 1},
    {"mode", Model::WQ7000, 24, 1},          {"recording-type", Model::WQ7000, 25, 1},
    {"data-offset", Model::WQ7000, 26, 2},   {"length", Model::WQ7000, 28, 4},
    {"data-file-length", Model::WQ7000, 32, 4}, {"start-point", Model::WQ7000, 36, 4},
    {"end-point", Model::WQ7000, 40, 4},     {"loop1-point", Model::WQ7000, 44, 4},
    {"loop2-point", Model::WQ7000, 48, 4},   {"volume", Model::WQ7000, 52, 1},
    {"loop-switch", Model::WQ7000, 53, 1},   {"loop-count", Model::WQ7000, 54, 1},
    {"fade-in", Model::WQ7000, 56, 2},       {"fade-out", Model::WQ7000, 58, 2},
    {"pattern-mode", Model::WQ7000, 60, 1},  {"tempo", Model::WQ7000, 62, 1},
    {"used", Model::WQ5000, 0, 1},           {"grade", Model::WQ5000, 2, 1},
    {"mode", Model::WQ5000, 3, 1},           {"recording-type", Model::WQ5000, 4, 1},
    {"midi-flag", Model::WQ5000, 5, 1},      {"length", Model::WQ5000, 6, 4},
    {"data-file-length", Model::WQ5000, 10, 4}, {"volume", Model::WQ5000, 14, 1},
    {"pattern-mode", Model::WQ5000, 15, 1},  {"delay", Model::WQ5000, 16, 2},
    {"control-output", Model::WQ5000, 18, 2}, {"repeat", Model::WQ5000, 20, 2},
    {"start-point", Model::WQ5000, 34, 4},   {"end-point", Model::WQ5000, 38, 4},
    {"tempo", Model::WQ5000, 42, 1},
};

PhraseField fieldNamed(const std::string& name) {
    for (const auto& info : phraseFields())
        if (name == info.name) return static_cast<PhraseField>(&info - phraseFields().data());
    ADD_FAILURE() << "no field " << name;
    return PhraseField::Type;
}

std::vector<std::uint8_t> patternImage(Model m, int records) {
    std::vector<std::uint8_t> image(phraseRecordSize(m) * static_cast<std::size_t>(records));
    std::iota(image.begin(), image.end(), std::uint8_t{0x21});
    return image;
}

TEST(PhraseFile, EachFieldWritesExactlyItsBytesOfItsRecord) {
    for (const Layout& l : kLayouts) {
        SCOPED_TRACE(std::string(l.field) + (l.model == Model::WQ7000 ? " WQ-7000" : " WQ-5000"));
        auto image = patternImage(l.model, 3);
        const auto before = image;
        CWQEPhr phr;
        phr.setModel(l.model);
        phr.attach(image);
        const std::uint32_t value = l.size == 1 ? 0xA5 : l.size == 2 ? 0x1234 : 0x12345678;
        phr.set(1, fieldNamed(l.field), value);
        const int base = static_cast<int>(phraseRecordSize(l.model)) + l.offset;
        for (int k = 0; k < static_cast<int>(image.size()); ++k) {
            if (k < base || k >= base + l.size) {
                ASSERT_EQ(image[k], before[k]) << "byte " << k;
            }
        }
        std::uint32_t stored = 0;
        for (int k = 0; k < l.size; ++k) {
            const int shift = l.model == Model::WQ7000 ? 8 * k : 8 * (l.size - 1 - k);
            stored |= std::uint32_t{image[base + k]} << shift;
        }
        EXPECT_EQ(stored, value);
        EXPECT_EQ(phr.get(1, fieldNamed(l.field)), value);
    }
}

TEST(PhraseFile, WqFiveThousandBigEndianLength) {
    auto image = patternImage(Model::WQ5000, 1);
    CWQEPhr phr;
    phr.setModel(Model::WQ5000);
    phr.attach(image);
    image[6] = 0x00, image[7] = 0x00, image[8] = 0x10, image[9] = 0x00;
    EXPECT_EQ(phr.getLength(0), 4096u);
    phr.setGrade(0, 0);
    EXPECT_EQ(phr.playbackTenths(0), 81);  // 81.92 tenths -> 00:00:08.1s
}

TEST(PhraseFile, PlaybackTimeUsesTheGradeDivisors) {
    auto image = CWQEPhr::erasedImage(Model::WQ7000, 1);
    CWQEPhr phr;
    phr.attach(image);
    // Ten seconds at 22050 Hz, cut to whole blocks, shows as 9.9 seconds.
    phr.setGrade(0, 2);
    phr.setLength(0, 220500 / 16);
    EXPECT_EQ(phr.playbackTenths(0), 99);
    // Exact at 48000 Hz; lengths beyond 32 bits of samples do not overflow.
    phr.setGrade(0, 5);
    phr.setLength(0, 30000);
    EXPECT_EQ(phr.playbackTenths(0), 100);
    phr.setLength(0, 0xFFFFFFFF);
    EXPECT_EQ(phr.playbackTenths(0), static_cast<std::int64_t>(0xFFFFFFFFull * 16 / 4800));
    phr.setGrade(0, 6);
    EXPECT_EQ(phr.playbackTenths(0), 0);
}

TEST(PhraseFile, ErasedRecordsOfBothModels) {
    // WQ-7000: zeros, 12 blanks and a zero byte from offset 10, volume 100;
    // bytes the editor does not interpret keep their values.
    auto image7 = patternImage(Model::WQ7000, 2);
    CWQEPhr phr7;
    phr7.attach(image7);
    phr7.erase(1);
    const std::uint8_t* r = image7.data() + 80;
    std::vector<std::uint8_t> expected7(80, 0);
    std::fill_n(expected7.begin() + 10, 12, ' ');
    expected7[52] = 100;
    expected7[55] = image7[55 + 80];
    for (int k = 71; k < 80; ++k) expected7[k] = image7[80 + k];
    EXPECT_EQ(std::vector<std::uint8_t>(r, r + 80), expected7);
    EXPECT_EQ(image7[0], 0x21);  // record 0 untouched

    auto image5 = patternImage(Model::WQ5000, 1);
    CWQEPhr phr5;
    phr5.setModel(Model::WQ5000);
    phr5.attach(image5);
    phr5.erase(0);
    std::vector<std::uint8_t> expected5(48, 0);
    expected5[14] = 100;
    expected5[18] = 0x80;  // control output OFF
    expected5[20] = 0x80;  // repeat OFF
    std::fill_n(expected5.begin() + 22, 11, ' ');
    expected5[42] = 115;
    expected5[43] = 115;
    for (int k = 44; k < 48; ++k) expected5[k] = image5[k];
    EXPECT_EQ(image5, expected5);
}

TEST(PhraseFile, NamesEndInAZeroByte) {
    auto image = CWQEPhr::erasedImage(Model::WQ7000, 1);
    CWQEPhr phr;
    phr.attach(image);
    phr.setName(0, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(phr.getName(0), "ABCDEFGHIJKL");
    EXPECT_EQ(image[22], 0);
    EXPECT_EQ(image[23], 0);  // grade untouched

    auto image5 = CWQEPhr::erasedImage(Model::WQ5000, 1);
    CWQEPhr phr5;
    phr5.setModel(Model::WQ5000);
    phr5.attach(image5);
    phr5.setName(0, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(phr5.getName(0), "ABCDEFGHIJK");
    EXPECT_EQ(image5[33], 0);
    EXPECT_EQ(image5[34], 0);
}

TEST(PhraseFile, IndexesPastAShortImageReadDefaultsAndWriteNothing) {
    // One and a half records: index 1 is cut short, index 2 lies beyond.
    std::vector<std::uint8_t> image(120, 0x77);
    const auto before = image;
    CWQEPhr phr;
    phr.attach(image);
    for (int i : {1, 2, 1000, -1}) {
        phr.setVolume(i, 5);
        phr.setLength(i, 5);
        phr.setName(i, "X");
        phr.erase(i);
        EXPECT_EQ(phr.getVolume(i), 100u) << i;
        EXPECT_EQ(phr.getName(i), std::string(12, ' ')) << i;
        EXPECT_FALSE(phr.isUsed(i));
    }
    EXPECT_EQ(image, before);
    EXPECT_EQ(phr.recordCount(), 1);
}

TEST(PhraseFile, DefaultsWithoutACard) {
    CWQEPhr phr;
    EXPECT_EQ(phr.getVolume(0), 100u);
    EXPECT_EQ(phr.getControlOutputTime(0), 32768u);
    EXPECT_EQ(phr.getTempo(0), 0u);
    phr.setModel(Model::WQ5000);
    EXPECT_EQ(phr.getTempo(0), 115u);
    EXPECT_EQ(phr.getControlOutput(0), 32768u);
    EXPECT_EQ(phr.getName(0), std::string(11, ' '));
    EXPECT_EQ(phr.getFadeIn(0), 0u);  // the WQ-5000 has no fades
}

}  // namespace
}  // namespace wqe
