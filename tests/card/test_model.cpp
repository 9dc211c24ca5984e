// Model recognition, data file names, phrase counts and phrase references.
#include <gtest/gtest.h>

#include "card/Model.h"

namespace wqe {
namespace {

TEST(Model, RecognisedOnlyFromTheExactSystemFileName) {
    EXPECT_EQ(modelFromFileName("_WQ7TSYS.CNF"), Model::WQ7000);
    EXPECT_EQ(modelFromFileName("_WQ5TSYS.CNF"), Model::WQ5000);
    EXPECT_EQ(modelFromFileName("_wq7tsys.cnf"), std::nullopt);
    EXPECT_EQ(modelFromFileName("_WQ7TPHR.CNF"), std::nullopt);
    EXPECT_EQ(modelFromFileName(""), std::nullopt);
}

TEST(Model, DataFileNames) {
    EXPECT_EQ(phraseDataFileName("/card/", 0, "PHR"), "/card/_WQP0001.PHR");
    EXPECT_EQ(phraseDataFileName("/card/", 999, "WAV"), "/card/_WQP1000.WAV");
    EXPECT_EQ(phraseDataFileName("", 41, "MID"), "_WQP0042.MID");
    EXPECT_EQ(dataFileExtension7000(2, 5), "MID");
    EXPECT_EQ(dataFileExtension7000(1, 5), "WAV");
    EXPECT_EQ(dataFileExtension7000(3, 0), "PHR");
    EXPECT_EQ(dataFileExtension5000(1), "MID");
    EXPECT_EQ(dataFileExtension5000(2), "PHR");
}

TEST(Model, PhraseCountRules) {
    struct Case {
        int code, list, w7, w5;
    };
    const Case cases[] = {{0, 250, 250, 250}, {1, 500, 500, 500}, {2, 1000, 1000, 500},
                          {3, 250, 1000, 500}, {255, 250, 1000, 500}};
    for (const Case& c : cases) {
        EXPECT_EQ(phraseCountForList(c.code), c.list) << c.code;
        EXPECT_EQ(phraseCountForModel(c.code, Model::WQ7000), c.w7) << c.code;
        EXPECT_EQ(phraseCountForModel(c.code, Model::WQ5000), c.w5) << c.code;
    }
}

TEST(Model, PhraseReferencesFormatAndParseBack) {
    struct Case {
        Model m;
        std::uint16_t value;
        const char* text;
    };
    const Case cases[] = {
        {Model::WQ7000, 0, "A0001"},     {Model::WQ7000, 999, "A1000"},  {Model::WQ7000, 1000, "B0001"},
        {Model::WQ7000, 1999, "B1000"},  {Model::WQ7000, 16384, "PLAY"}, {Model::WQ7000, 32768, "-----"},
        {Model::WQ5000, 499, "A500"},    {Model::WQ5000, 500, "B001"},   {Model::WQ5000, 999, "B500"},
        {Model::WQ5000, 4095, "PLAY"},   {Model::WQ5000, 65535, "----"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formatRef(c.value, c.m), c.text);
        EXPECT_EQ(parseRef(c.text, c.m), c.value) << c.text;
    }
    // Values that are no A, B or play reference show as none.
    EXPECT_EQ(formatRef(2000, Model::WQ7000), "-----");
    EXPECT_EQ(formatRef(1000, Model::WQ5000), "----");
    EXPECT_EQ(formatRef(16384, Model::WQ5000), "----");
    // Lenient input, strict ranges.
    EXPECT_EQ(parseRef("a12", Model::WQ7000), 11);
    EXPECT_EQ(parseRef("none", Model::WQ5000), 65535);
    EXPECT_EQ(parseRef("A0", Model::WQ7000), std::nullopt);
    EXPECT_EQ(parseRef("A1001", Model::WQ7000), std::nullopt);
    EXPECT_EQ(parseRef("B501", Model::WQ5000), std::nullopt);
    EXPECT_EQ(parseRef("C1", Model::WQ7000), std::nullopt);
    EXPECT_EQ(parseRef("A1x", Model::WQ7000), std::nullopt);
}

}  // namespace
}  // namespace wqe
