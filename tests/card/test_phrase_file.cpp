// Phrase settings file: record layout of both models, defaults, the erased
// record, playback time and the guard against short images.
#include <gtest/gtest.h>

#include <numeric>

#include "card/CWQEPhr.h"

namespace wqe {
namespace {

constexpr Model W7 = Model::WQ7000;
constexpr Model W5 = Model::WQ5000;
using Bytes = std::vector<std::uint8_t>;

// Offsets within a record, written out independently of the code's table.
struct Layout {
    const char* field;
    Model model;
    int offset, size;
};
// clang-format off
const Layout kLayouts[] = {
    {"type", W7, 0, 1},               {"repeat-switch", W7, 1, 1},     {"control-output-switch", W7, 2, 1},
    {"repeat-count", W7, 3, 1},       {"repeat-interval", W7, 4, 2},   {"control-output-time", W7, 6, 2},
    {"delay", W7, 8, 2},              {"grade", W7, 23, 1},            {"mode", W7, 24, 1},
    {"recording-type", W7, 25, 1},    {"data-offset", W7, 26, 2},      {"length", W7, 28, 4},
    {"data-file-length", W7, 32, 4},  {"start-point", W7, 36, 4},      {"end-point", W7, 40, 4},
    {"loop1-point", W7, 44, 4},       {"loop2-point", W7, 48, 4},      {"volume", W7, 52, 1},
    {"loop-switch", W7, 53, 1},       {"loop-count", W7, 54, 1},       {"fade-in", W7, 56, 2},
    {"fade-out", W7, 58, 2},          {"pattern-mode", W7, 60, 1},     {"tempo", W7, 62, 1},
    {"used", W5, 0, 1},               {"grade", W5, 2, 1},             {"mode", W5, 3, 1},
    {"recording-type", W5, 4, 1},     {"midi-flag", W5, 5, 1},         {"length", W5, 6, 4},
    {"data-file-length", W5, 10, 4},  {"volume", W5, 14, 1},           {"pattern-mode", W5, 15, 1},
    {"delay", W5, 16, 2},             {"control-output", W5, 18, 2},   {"repeat", W5, 20, 2},
    {"start-point", W5, 34, 4},       {"end-point", W5, 38, 4},        {"tempo", W5, 42, 1},
};
// clang-format on

PhraseField fieldNamed(const std::string& name) {
    for (const auto& info : phraseFields())
        if (name == info.name) return static_cast<PhraseField>(&info - phraseFields().data());
    ADD_FAILURE() << "no field " << name;
    return PhraseField::Type;
}

struct Attached {
    Attached(Model m, Bytes img) : image(std::move(img)) {
        phr.setModel(m);
        phr.attach(image);
    }
    Bytes image;
    CWQEPhr phr;
};

Bytes patternImage(Model m, int records) {
    Bytes image(phraseRecordSize(m) * static_cast<std::size_t>(records));
    std::iota(image.begin(), image.end(), std::uint8_t{0x21});
    return image;
}

TEST(PhraseFile, EachFieldWritesExactlyItsBytesOfItsRecord) {
    for (const Layout& l : kLayouts) {
        SCOPED_TRACE(std::string(l.field) + (l.model == W7 ? " WQ-7000" : " WQ-5000"));
        Attached a(l.model, patternImage(l.model, 3));
        Bytes want = a.image;
        const std::uint32_t value = l.size == 1 ? 0xA5 : l.size == 2 ? 0x1234 : 0x12345678;
        a.phr.set(1, fieldNamed(l.field), value);
        const std::size_t base = phraseRecordSize(l.model) + static_cast<std::size_t>(l.offset);
        for (int k = 0; k < l.size; ++k)  // WQ-7000 low byte first, WQ-5000 high byte first
            want[base + static_cast<std::size_t>(k)] =
                static_cast<std::uint8_t>(value >> (8 * (l.model == W7 ? k : l.size - 1 - k)));
        EXPECT_EQ(a.image, want);
        EXPECT_EQ(a.phr.get(1, fieldNamed(l.field)), value);
    }
}

TEST(PhraseFile, PlaybackTimeUsesTheGradeDivisors) {
    Attached a5(W5, patternImage(W5, 1));
    a5.image[6] = 0x00, a5.image[7] = 0x00, a5.image[8] = 0x10,
    a5.image[9] = 0x00;  // big-endian 4096
    a5.phr.setGrade(0, 0);
    EXPECT_EQ(a5.phr.playbackTenths(0), 81);  // 81.92 tenths -> 00:00:08.1s
    Attached a(W7, CWQEPhr::erasedImage(W7, 1));
    struct Case {
        int grade;
        std::uint32_t length;
        std::int64_t tenths;
    };
    const Case cases[] = {
        {2, 220500 / 16, 99},  // ten seconds at 22050 Hz, cut to whole blocks
        {5, 30000, 100},
        {5, 0xFFFFFFFF, 14316557},  // beyond 32 bits of samples: no overflow
        {6, 30000, 0},
    };
    for (const Case& c : cases) {
        a.phr.setGrade(0, c.grade);
        a.phr.setLength(0, c.length);
        EXPECT_EQ(a.phr.playbackTenths(0), c.tenths) << c.grade << ' ' << c.length;
    }
}

TEST(PhraseFile, ErasedRecordsOfBothModels) {
    // WQ-7000: zeros, 12 blanks and a zero byte from offset 10, volume 100;
    // bytes the editor does not interpret keep their values.
    Attached a7(W7, patternImage(W7, 2));
    a7.phr.erase(1);
    Bytes want7 = a7.image;
    std::fill(want7.begin() + 80, want7.end(), 0);
    std::fill_n(want7.begin() + 90, 12, ' ');
    want7[132] = 100;
    want7[135] = a7.image[135];
    std::copy(a7.image.begin() + 151, a7.image.end(), want7.begin() + 151);
    EXPECT_EQ(a7.image[0], 0x21);  // record 0 untouched
    EXPECT_EQ(a7.image, want7);

    Attached a5(W5, patternImage(W5, 1));
    Bytes want5 = a5.image;
    a5.phr.erase(0);
    std::fill_n(want5.begin(), 44, 0);
    want5[14] = 100;
    want5[18] = 0x80;  // control output OFF
    want5[20] = 0x80;  // repeat OFF
    std::fill_n(want5.begin() + 22, 11, ' ');
    want5[42] = want5[43] = 115;
    EXPECT_EQ(a5.image, want5);
}

TEST(PhraseFile, NamesEndInAZeroByte) {
    for (auto [m, shown, end] : {std::tuple{W7, "ABCDEFGHIJKL", 22}, {W5, "ABCDEFGHIJK", 33}}) {
        Attached a(m, CWQEPhr::erasedImage(m, 1));
        a.phr.setName(0, "ABCDEFGHIJKLMNOP");
        EXPECT_EQ(a.phr.getName(0), shown);
        EXPECT_EQ(a.image[end], 0);
        EXPECT_EQ(a.image[end + 1], 0);  // the next field untouched
    }
}

TEST(PhraseFile, IndexesPastAShortImageReadDefaultsAndWriteNothing) {
    // One and a half records: index 1 is cut short, index 2 lies beyond.
    Attached a(W7, Bytes(120, 0x77));
    for (int i : {1, 2, 1000, -1}) {
        a.phr.setVolume(i, 5);
        a.phr.setLength(i, 5);
        a.phr.setName(i, "X");
        a.phr.erase(i);
        EXPECT_EQ(a.phr.getVolume(i), 100u) << i;
        EXPECT_EQ(a.phr.getName(i), std::string(12, ' ')) << i;
        EXPECT_FALSE(a.phr.isUsed(i));
    }
    EXPECT_EQ(a.image, Bytes(120, 0x77));
    EXPECT_EQ(a.phr.recordCount(), 1);
    // Without a card the defaults follow the model.
    CWQEPhr phr;
    EXPECT_EQ(phr.getTempo(0), 0u);
    EXPECT_EQ(phr.getControlOutputTime(0), 32768u);
    phr.setModel(W5);
    EXPECT_EQ(phr.getTempo(0), 115u);
    EXPECT_EQ(phr.getName(0), std::string(11, ' '));
}

}  // namespace
}  // namespace wqe
