// Model recognition, data file names, phrase counts, phrase references, the
// bytes a name may hold and the new card images; then the card's three
// settings files. System and phrase settings: field layout of both models,
// defaults, read-time range rules, the erased record, playback time and the
// guard against short images. The memo file: both prefix widths, system memo
// lines, byte preservation and file errors.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <numeric>

#include "card/CWQEMemo.h"
#include "card/CWQEPhr.h"
#include "card/CWQESys.h"
#include "card/Model.h"
#include "card/NameFilter.h"
#include "card/NewCard.h"
#include "support/TempDir.h"

namespace wqe {
namespace {

constexpr Model W7 = Model::WQ7000;
constexpr Model W5 = Model::WQ5000;
using Bytes = std::vector<std::uint8_t>;

TEST(Model, RecognisedOnlyFromTheExactSystemFileName) {
    for (auto [name, model] : {std::pair<const char*, std::optional<Model>>{"_WQ7TSYS.CNF", W7},
                               {"_WQ5TSYS.CNF", W5},
                               {"_wq7tsys.cnf", std::nullopt},
                               {"_WQ7TPHR.CNF", std::nullopt},
                               {"", std::nullopt}})
        EXPECT_EQ(modelFromFileName(name), model) << name;
}

TEST(Model, DataFileNames) {
    // The extensions per record: test_phrase_prm.cpp (KindsAndFileNamesFromRecords).
    EXPECT_EQ(phraseDataFileName("", 999, "WAV"), "_WQP1000.WAV");
    for (auto [name, is] : {std::pair{"_WQP0001.PHR", true},
                            {"_wqp1000.wav", true},
                            {"_WQP012.PHR", false},
                            {"_WQP0A01.PHR", false}})
        EXPECT_EQ(isPhraseDataFileName(name), is) << name;
}

// What "wqe new" writes for each model, compared byte for byte with the
// card images kept in tests/data.
TEST(Model, NewCardImagesOfBothModels) {
    auto bytes = [](const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::vector<char>(std::istreambuf_iterator<char>(in), {});
    };
    const std::filesystem::path data = WQE_TEST_DATA;
    for (const auto& [model, folder] : {std::pair{W7, "new-card-7000"}, {W5, "new-card-5000"}}) {
        test::TempDir t;
        ASSERT_TRUE(createCard(t / "card", model, 0));
        const std::string names[] = {std::string(systemFileName(model)),
                                     std::string(phraseFileName(model)),
                                     std::string(kMemoFileName)};
        for (const std::string& name : names) {
            const auto expected = bytes(data / folder / name);
            ASSERT_FALSE(expected.empty()) << folder << '/' << name;
            EXPECT_TRUE(bytes(t / "card" / name) == expected) << folder << '/' << name;
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(t / "card"),
                                std::filesystem::directory_iterator()),
                  3);
    }
}

TEST(Model, PhraseReferencesFormatAndParseBack) {
    const std::tuple<Model, std::uint16_t, const char*> cases[] = {
        {W7, 0, "A0001"},    {W7, 999, "A1000"},   {W7, 1000, "B0001"}, {W7, 1999, "B1000"},
        {W7, 16384, "PLAY"}, {W7, 32768, "-----"}, {W5, 499, "A500"},   {W5, 500, "B001"},
        {W5, 4095, "PLAY"},  {W5, 65535, "----"},
    };
    for (const auto& [m, value, text] : cases) {
        EXPECT_EQ(formatRef(value, m), text);
        EXPECT_EQ(parseRef(text, m), value) << text;
    }
    // Values that are no A, B or play reference show as none.
    EXPECT_EQ(formatRef(2000, W7), "-----");
    EXPECT_EQ(formatRef(16384, W5), "----");
    // Lenient input, strict ranges.
    EXPECT_EQ(parseRef("a12", W7), 11);
    EXPECT_EQ(parseRef("none", W5), 65535);
    for (const char* bad : {"A0", "A1001", "C1", "A1x"})
        EXPECT_EQ(parseRef(bad, W7), std::nullopt) << bad;
    EXPECT_EQ(parseRef("B501", W5), std::nullopt);
}

TEST(NameFilter, KeepsOnlyTheBytesTheDeviceShows) {
    struct Case {
        const char* what;
        std::string in, out;
    };
    const Case cases[] = {
        {"lower case dropped, not converted", "abc1", "1"},
        {"allowed punctuation, digits and capitals", " !#$%&'()-@^_{}SHOP09",
         " !#$%&'()-@^_{}SHOP09"},
        {"refused punctuation", "\"*+,./:;<=>?[\\]`|~", ""},
        {"half-width katakana kept", "\xB1\xB2\xDF\xA1", "\xB1\xB2\xDF\xA1"},
        {"kanji pair dropped whole", "A\x88\x9F\x42", "AB"},
        {"vendor-row pair leaves no stray trail byte", "\xFA\x40Z", "Z"},
        {"lone lead byte at the end", "AB\x88", "AB"},
        {"lead byte before an invalid trail", "\x88\x7F\x43", "C"},
    };
    for (const Case& c : cases) EXPECT_EQ(filterNameBytes(c.in), c.out) << c.what;
}

TEST(NameFilter, TypedTextIsEncodedCharacterByCharacter) {
    EXPECT_EQ(filterNameText("Ab-1"), "A-1");
    EXPECT_EQ(filterNameText("ｱｲ漢字Z"), "\xB1\xB2Z");
    EXPECT_EQ(filterNameText("A\xF0\x9F\x98\x80"
                             "B"),
              "AB");  // no CP932 form: drops only itself
}

// Offsets and sizes as the device reads them, written out independently of
// the field tables in the code: the first and last field of each model, the
// fields only one model has and each width in both byte orders.
struct Layout {
    const char* field;
    Model model;
    int offset, size;
};
// clang-format off
const Layout kSystemLayouts[] = {
    {"phrase-count-code", W7, 6, 1},  {"phrase-count-code", W5, 51, 1},  {"busy-out-code", W5, 7, 1},
    {"midi-channel", W7, 1314, 1},    {"midi-channel", W5, 1349, 1},     {"device-id", W5, 1352, 1},
    {"wq-link-mode", W7, 1327, 1},    {"line-thru-fade-in", W7, 1334, 2}, {"display-sleep-time", W7, 1348, 2},
};
// clang-format on
// clang-format off
const Layout kPhraseLayouts[] = {
    {"type", W7, 0, 1},         {"repeat-interval", W7, 4, 2}, {"grade", W7, 23, 1},
    {"length", W7, 28, 4},      {"loop2-point", W7, 48, 4},    {"tempo", W7, 62, 1},
    {"used", W5, 0, 1},         {"midi-flag", W5, 5, 1},       {"length", W5, 6, 4},
    {"delay", W5, 16, 2},       {"end-point", W5, 38, 4},      {"tempo", W5, 42, 1},
};
// clang-format on

template <class Field, class Infos>
Field fieldNamed(const Infos& infos, const std::string& name) {
    for (const auto& info : infos)
        if (name == info.name) return static_cast<Field>(&info - infos.data());
    ADD_FAILURE() << "no field " << name;
    return Field{};
}

Bytes counting(std::size_t size) {
    Bytes image(size);
    std::iota(image.begin(), image.end(), std::uint8_t{0x11});
    return image;
}

template <class Table>
struct Attached {
    Attached(Model m, Bytes img) : image(std::move(img)) {
        t.setModel(m);
        t.attach(image);
    }
    Bytes image;
    Table t;
};

TEST(SystemFile, EachFieldWritesExactlyItsBytesInTheModelsByteOrder) {
    for (const Layout& l : kSystemLayouts) {
        SCOPED_TRACE(std::string(l.field) + (l.model == W7 ? " WQ-7000" : " WQ-5000"));
        Attached<CWQESys> a(l.model, counting(systemFileSize(l.model)));
        Bytes want = a.image;
        a.t.set(fieldNamed<SystemField>(systemFields(), l.field), l.size == 1 ? 0xA5 : 0x1234);
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
    Attached<CWQESys> a5(W5, counting(systemFileSize(W5)));
    const Bytes before5 = a5.image;
    a5.t.setWqLinkMode(2);
    a5.t.setLineThruFadeIn(100);
    a5.t.setEqLowGain(3);
    EXPECT_EQ(a5.image, before5);
    EXPECT_EQ(a5.t.getEqLowGain(), 12);
    EXPECT_EQ(a5.t.getMtcErrorLevel(), 5);
    Attached<CWQESys> a7(W7, counting(systemFileSize(W7)));
    const Bytes before7 = a7.image;
    a7.t.setBusyOutCode(3);
    a7.t.setControlInputSelect(4);
    EXPECT_EQ(a7.image, before7);
}

TEST(SystemFile, ReadTimeRangeRules) {
    // Device ID 0 or above 32 reads as 1; fades outside 5..599 read as 5.
    // Stored value, device ID read (-1: not a byte value), fade read.
    const std::array<int, 3> cases[] = {{0, 1, 5},   {4, 4, 5},      {5, 5, 5},   {32, 32, 32},
                                        {33, 1, 33}, {599, -1, 599}, {600, -1, 5}};
    Attached<CWQESys> a(W7, CWQESys::defaultImage(W7));
    for (const auto& [stored, deviceId, fade] : cases) {
        a.image[1320] = static_cast<std::uint8_t>(stored);
        a.image[1334] = static_cast<std::uint8_t>(stored);
        a.image[1335] = static_cast<std::uint8_t>(stored >> 8);
        if (deviceId >= 0) {
            EXPECT_EQ(a.t.getDeviceId(), deviceId) << stored;
        }
        EXPECT_EQ(a.t.getLineThruFadeIn(), fade) << stored;
    }
    a.t.setDisplaySleepTime(5);  // not clamped
    EXPECT_EQ(a.t.getDisplaySleepTime(), 5);
}

TEST(SystemFile, TablesFollowTheModelsByteOrder) {
    Attached<CWQESys> a5(W5, CWQESys::defaultImage(W5)), a7(W7, CWQESys::defaultImage(W7));
    // Program play table t entry k: WQ-7000 at 52 + 200t + 2k, WQ-5000 at 54 + 200t + 2k.
    std::array<std::uint16_t, kProgramPlayEntries> table{};
    table[7] = 0xBEEF;
    a7.t.setProgramPlayTable(4, table);
    a5.t.setProgramPlayTable(4, table);
    EXPECT_EQ(Bytes(&a7.image[866], &a7.image[868]), (Bytes{0xEF, 0xBE}));
    EXPECT_EQ(Bytes(&a5.image[868], &a5.image[870]), (Bytes{0xBE, 0xEF}));
    const Bytes before = a7.image;  // a table number past the last is ignored
    a7.t.setProgramPlayTable(5, table);
    EXPECT_EQ(a7.image, before);
    EXPECT_EQ(a7.t.getProgramPlayTable(5)[0], 32768);
}

TEST(SystemFile, CardNameIsEightCharactersAndAZeroByte) {
    Attached<CWQESys> a(W7, counting(systemFileSize(W7)));
    a.t.setCardName("ABCDEFGH");
    EXPECT_EQ(std::string(a.image.begin() + 8, a.image.begin() + 17), std::string("ABCDEFGH\0", 9));
    // Longer names are cut to the field; shorter ones end at their zero byte.
    a.t.setCardName("TOOLONGNAME");
    EXPECT_EQ(a.t.getCardName(), "TOOLONGN");
    EXPECT_EQ(a.image[16], 0);
    a.t.setCardName("AB");
    EXPECT_EQ(a.t.getCardName(), "AB");
    EXPECT_EQ(a.image[10], 0);
}

TEST(SystemFile, DisplaySleepPositions) {
    for (const auto& [position, wantSwitch, wantTime] :
         {std::array{0, 0, 30}, {1, 1, 30}, {3570, 1, 3599}}) {
        int sw = -1, time = -1;
        displaySleepFromPosition(position, sw, time);
        EXPECT_EQ(std::pair(sw, time), std::pair(wantSwitch, wantTime)) << position;
    }
    EXPECT_EQ(displaySleepPosition(0, 500), 0);
    EXPECT_EQ(displaySleepPosition(7, 3599), 3570);
}

TEST(PhraseFile, EachFieldWritesExactlyItsBytesOfItsRecord) {
    for (const Layout& l : kPhraseLayouts) {
        SCOPED_TRACE(std::string(l.field) + (l.model == W7 ? " WQ-7000" : " WQ-5000"));
        Attached<CWQEPhr> a(l.model, counting(phraseRecordSize(l.model) * 3));
        Bytes want = a.image;
        const std::uint32_t value = l.size == 1 ? 0xA5 : l.size == 2 ? 0x1234 : 0x12345678;
        a.t.set(1, fieldNamed<PhraseField>(phraseFields(), l.field), value);
        const std::size_t base = phraseRecordSize(l.model) + static_cast<std::size_t>(l.offset);
        for (int k = 0; k < l.size; ++k)  // WQ-7000 low byte first, WQ-5000 high byte first
            want[base + static_cast<std::size_t>(k)] =
                static_cast<std::uint8_t>(value >> (8 * (l.model == W7 ? k : l.size - 1 - k)));
        EXPECT_EQ(a.image, want);
        EXPECT_EQ(a.t.get(1, fieldNamed<PhraseField>(phraseFields(), l.field)), value);
    }
}

TEST(PhraseFile, PlaybackTimeUsesTheGradeDivisors) {
    Attached<CWQEPhr> a(W7, CWQEPhr::erasedImage(W7, 1));
    const std::tuple<int, std::uint32_t, std::int64_t> cases[] = {
        // grade, length, tenths
        {2, 220500 / 16, 99},  // ten seconds at 22050 Hz, cut to whole blocks
        {5, 30000, 100},
        {5, 0xFFFFFFFF, 14316557},  // beyond 32 bits of samples: no overflow
        {6, 30000, 0},
    };
    for (const auto& [grade, length, tenths] : cases) {
        a.t.setGrade(0, grade);
        a.t.setLength(0, length);
        EXPECT_EQ(a.t.playbackTenths(0), tenths) << grade << ' ' << length;
    }
}

// The erased records themselves are pinned by the new card images in
// tests/data; here erasing keeps the bytes the editor does not interpret.
TEST(PhraseFile, ErasingKeepsUninterpretedBytes) {
    // Zeros, 12 blanks and a zero byte from offset 10, volume 100.
    Attached<CWQEPhr> a7(W7, counting(phraseRecordSize(W7) * 2));
    const Bytes before = a7.image;
    a7.t.erase(1);
    Bytes want7 = before;
    std::fill(want7.begin() + 80, want7.end(), 0);
    std::fill_n(want7.begin() + 90, 12, ' ');
    want7[132] = 100;
    want7[135] = before[135];
    std::copy(before.begin() + 151, before.end(), want7.begin() + 151);
    EXPECT_EQ(a7.image, want7);  // record 0 untouched
}

TEST(PhraseFile, NamesEndInAZeroByte) {
    Attached<CWQEPhr> a(W7, CWQEPhr::erasedImage(W7, 1));
    a.t.setName(0, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(a.t.getName(0), "ABCDEFGHIJKL");
    EXPECT_EQ(a.image[22], 0);
    EXPECT_EQ(a.image[23], 0);  // the next field untouched
}

TEST(PhraseFile, IndexesPastAShortImageReadDefaultsAndWriteNothing) {
    // One and a half records: index 1 is cut short, index 2 lies beyond.
    Attached<CWQEPhr> a(W7, Bytes(120, 0x77));
    for (int i : {1, 2, 1000, -1}) {
        a.t.setVolume(i, 5);
        a.t.setLength(i, 5);
        a.t.setName(i, "X");
        a.t.erase(i);
        EXPECT_EQ(a.t.getVolume(i), 100u) << i;
        EXPECT_EQ(a.t.getName(i), std::string(12, ' ')) << i;
        EXPECT_FALSE(a.t.isUsed(i));
    }
    EXPECT_EQ(a.image, Bytes(120, 0x77));
    EXPECT_EQ(a.t.recordCount(), 1);
}

// Either width reads back on a WQ-7000 memo, the model a card is read with
// before its system file is known.
TEST(Memo, RoundTripsInBothWidthsAndKeepsBytes) {
    // CP932 bytes; the second character's trail byte is 0x5C, a backslash.
    const std::string sjis = "\x83\x81\x95\x5c \x93\xfa";
    for (Model m : {Model::WQ7000, Model::WQ5000}) {
        CWQEMemo memo;
        memo.setModel(m);
        memo.setSystemMemo("two\nlines\n");
        memo.setPhraseMemo(4, sjis);
        memo.setPhraseMemo(5, "a:b:c");
        memo.setPhraseMemo(499, "last of 500");
        CWQEMemo back;
        back.setPhraseMemo(700, "stale");
        back.clear();
        back.parse(memo.serialize());
        EXPECT_EQ(back.systemMemo(), "two\nlines\n");
        EXPECT_EQ(back.phraseMemo(4), sjis);
        EXPECT_EQ(back.phraseMemo(5), "a:b:c");
        EXPECT_EQ(back.phraseMemo(6), "");
        EXPECT_EQ(back.phraseMemo(499), "last of 500");
        EXPECT_EQ(back.phraseMemo(700), "");
    }
    // A system memo without a final line feed, and a phrase memo holding a
    // line break, must not shift or swallow the phrase memos.
    CWQEMemo memo, back;
    memo.setSystemMemo("no newline at the end");
    memo.setPhraseMemo(0, "two\nlines");
    memo.setPhraseMemo(1, "second");
    back.parse(memo.serialize());
    EXPECT_EQ(back.systemMemo(), "no newline at the end\n");
    EXPECT_EQ(back.phraseMemo(0), "two lines");
    EXPECT_EQ(back.phraseMemo(1), "second");
}

TEST(Memo, ParsesHandWrittenFilesAndTellsWhenTheLayoutIsForeign) {
    struct Case {
        const char* file;
        const char* system;
        int index;
        const char* memo;
        bool understood;
    };
    const Case cases[] = {
        {"SystemMemo:\r\n\r\nPhraseMemo:\r\n0001:\r\n", "\n", 0, "", true},
        {"SystemMemo:\nA\nPhraseMemo:\n001:abc\n002:def", "A\n", 1, "def", true},  // LF, no last LF
        {"SystemMemo:\rA\rB\rPhraseMemo:\r0001:a\r0002:b\r", "A\nB\n", 1, "b", true},  // CR only
        {"", "", 0, "", true},
        // Foreign layouts: what can be read is read, and the file is flagged.
        {"SystemMemo:\r\nPhraseMemo:\r\n0001\r\n0002:y\r\n", "", 0, "", false},  // no colon
        {"SystemMemo:\r\nno phrase part\r\n", "no phrase part\n", 0, "", false},
        {"notes\r\nPhraseMemo:\r\n0001:x\r\n", "", 0, "x", false},
        {"SystemMemo:\nPhraseMemo:\nab01:x\n", "", 0, ":x", false},
    };
    for (const Case& c : cases) {
        CWQEMemo memo;
        EXPECT_EQ(memo.parse(c.file), c.understood) << c.file;
        EXPECT_EQ(memo.systemMemo(), c.system) << c.file;
        EXPECT_EQ(memo.phraseMemo(c.index), c.memo) << c.file;
    }
    // More phrase lines than slots would be lost by a rewrite.
    std::string many = "SystemMemo:\nPhraseMemo:\n";
    for (int i = 1; i <= 1001; ++i) many += std::to_string(10000 + i).substr(1) + ":m\n";
    EXPECT_FALSE(CWQEMemo().parse(many));
}

TEST(Memo, FileErrorsAreReported) {
    test::TempDir dir;
    CWQEMemo memo;
    EXPECT_NE(memo.read((dir / "missing.txt").string()), "");
    EXPECT_NE(memo.write((dir / "no-such-folder" / "WQE_MEMO.TXT").string()), "");
    EXPECT_EQ(memo.write((dir / "WQE_MEMO.TXT").string()), "");
    EXPECT_EQ(memo.read((dir / "WQE_MEMO.TXT").string()), "");
}

}  // namespace
}  // namespace wqe
