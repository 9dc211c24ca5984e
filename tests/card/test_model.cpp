// Model recognition, data file names, phrase counts and phrase references.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "card/Model.h"
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
    EXPECT_EQ(phraseDataFileName("/card/", 0, "PHR"), "/card/_WQP0001.PHR");
    EXPECT_EQ(phraseDataFileName("", 999, "WAV"), "_WQP1000.WAV");
    EXPECT_EQ(dataFileExtension7000(2, 5), "MID");
    EXPECT_EQ(dataFileExtension7000(1, 5), "WAV");
    EXPECT_EQ(dataFileExtension7000(3, 0), "PHR");
    EXPECT_EQ(dataFileExtension5000(1), "MID");
    EXPECT_EQ(dataFileExtension5000(2), "PHR");
    for (auto [name, is] : {std::pair{"_WQP0001.PHR", true},
                            {"_wqp1000.wav", true},
                            {"_WQP0012.Mid", true},
                            {"_WQP012.PHR", false},
                            {"_WQP00012.PHR", false},
                            {"_WQP0001.TXT", false},
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
    struct Case {
        int code, list, w7, w5;
    };
    const Case cases[] = {{0, 250, 250, 250},
                          {1, 500, 500, 500},
                          {2, 1000, 1000, 500},
                          {3, 250, 1000, 500},
                          {255, 250, 1000, 500}};
    for (const Case& c : cases) {
        EXPECT_EQ(phraseCountForList(c.code), c.list) << c.code;
        EXPECT_EQ(phraseCountForModel(c.code, W7), c.w7) << c.code;
        EXPECT_EQ(phraseCountForModel(c.code, W5), c.w5) << c.code;
    }
}

TEST(Model, PhraseReferencesFormatAndParseBack) {
    struct Case {
        Model m;
        std::uint16_t value;
        const char* text;
    };
    const Case cases[] = {
        {W7, 0, "A0001"},    {W7, 999, "A1000"},   {W7, 1000, "B0001"}, {W7, 1999, "B1000"},
        {W7, 16384, "PLAY"}, {W7, 32768, "-----"}, {W5, 499, "A500"},   {W5, 500, "B001"},
        {W5, 999, "B500"},   {W5, 4095, "PLAY"},   {W5, 65535, "----"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatRef(c.value, c.m), c.text);
        EXPECT_EQ(parseRef(c.text, c.m), c.value) << c.text;
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

}  // namespace
}  // namespace wqe
