// Model recognition, data file names, phrase counts, phrase references and
// the bytes a name may hold.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "card/Model.h"
#include "card/NameFilter.h"
#include "card/NewCard.h"
#include "support/TempDir.h"

namespace wqe {
namespace {

constexpr Model W7 = Model::WQ7000;
constexpr Model W5 = Model::WQ5000;

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
                            {"_WQP00012.PHR", false},
                            {"_WQP0A01.PHR", false},
                            {"announcement.phr", false}})
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

TEST(Model, PhraseCountRules) {
    // Code: phrases the list shows, phrases of a WQ-7000, of a WQ-5000.
    const std::array<int, 4> cases[] = {{0, 250, 250, 250},
                                        {1, 500, 500, 500},
                                        {2, 1000, 1000, 500},
                                        {3, 250, 1000, 500},
                                        {255, 250, 1000, 500}};
    for (const auto& [code, list, w7, w5] : cases) {
        EXPECT_EQ(phraseCountForList(code), list) << code;
        EXPECT_EQ(phraseCountForModel(code, W7), w7) << code;
        EXPECT_EQ(phraseCountForModel(code, W5), w5) << code;
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
    EXPECT_EQ(formatRef(1000, W5), "----");
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
        {"control bytes", "A\tB\nC\x7F", "ABC"},
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

}  // namespace
}  // namespace wqe
