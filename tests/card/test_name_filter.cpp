#include <gtest/gtest.h>

#include "card/NameFilter.h"

namespace wqe {
namespace {

TEST(NameFilter, KeepsOnlyTheBytesTheDeviceShows) {
    struct Case {
        const char* what;
        std::string in, out;
    };
    const Case cases[] = {
        {"lower case dropped, not converted", "abc1", "1"},
        {"allowed punctuation", " !#$%&'()-@^_{}", " !#$%&'()-@^_{}"},
        {"refused punctuation", "\"*+,./:;<=>?[\\]`|~", ""},
        {"digits and capitals", "SHOP09", "SHOP09"},
        {"half-width katakana kept", "\xB1\xB2\xDF\xA1", "\xB1\xB2\xDF\xA1"},
        {"kanji pair dropped whole",
         "A\x88\x9F"
         "B",
         "AB"},
        {"vendor-row pair leaves no stray trail byte", "\xFA\x40Z", "Z"},
        {"full-width A (82 60) dropped whole", "\x82\x60X", "X"},
        {"lone lead byte at the end", "AB\x88", "AB"},
        {"lead byte before an invalid trail",
         "\x88\x7F"
         "C",
         "C"},
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
