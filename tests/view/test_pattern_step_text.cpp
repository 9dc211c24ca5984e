// The pattern and song editors' phrase texts at the edges of the banks.
#include <gtest/gtest.h>

#include "view/PatternStepText.h"

namespace wqe {
namespace {

TEST(PatternStepText, PhraseTexts) {
    struct Case {
        std::uint16_t ref;
        PatternKind kind;
        Language lang;
        const char* text;
    };
    const Case cases[] = {
        {0, PatternKind::Pattern5000, Language::English, "A001"},
        {499, PatternKind::Pattern5000, Language::English, "A500"},
        {500, PatternKind::Pattern5000, Language::English, "B001"},
        {999, PatternKind::Pattern5000, Language::English, "B500"},
        {1000, PatternKind::Pattern5000, Language::English, "----"},
        {65535, PatternKind::Pattern5000, Language::English, "----"},
        {999, PatternKind::Pattern7000, Language::English, "A1000"},
        {1000, PatternKind::Pattern7000, Language::English, "B0001"},
        {1999, PatternKind::Pattern7000, Language::English, "B1000"},
        {2000, PatternKind::Pattern7000, Language::English, "-----"},
        {65534, PatternKind::Pattern7000, Language::English, "-----"},
        {1999, PatternKind::Song, Language::English, "B1000"},
        {2000, PatternKind::Song, Language::English, "Stop"},
        {16384, PatternKind::Song, Language::Japanese, "ｽﾄｯﾌﾟ"},
        {65534, PatternKind::Song, Language::English, "Stop"},
        {65535, PatternKind::Song, Language::English, "-----"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(patternStepRefText(c.ref, c.kind, c.lang), c.text) << c.ref;
}

TEST(PatternStepText, RowsOfEveryKind) {
    PatternData w5(PatternKind::Pattern5000);
    w5.setStepRef(0, 3);
    w5.setStepInterval(0, 123);
    w5.setStepInterval(1, 9);  // an unused step shows the empty row whatever it holds
    w5.setStepRef(100, 600);
    const auto rows5 = patternStepRows(w5, 128, Language::English, 0);
    ASSERT_EQ(rows5.size(), 128u);
    EXPECT_EQ(rows5[0], (std::vector<std::string>{"1", "A004", "12.3s"}));
    EXPECT_EQ(rows5[1], (std::vector<std::string>{"2", "----", "00.0s"}));
    EXPECT_EQ(rows5[100], (std::vector<std::string>{"101", "B101", "-----"}));
    EXPECT_EQ(rows5[127], (std::vector<std::string>{"128", "----", "-----"}));

    PatternData song(PatternKind::Song);
    song.setSongStep(0, {5, 3723017});
    song.setSongStep(1, {kStepUnused, 5000});
    const auto rows = patternStepRows(song, 100, Language::English, 4);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"1", "A0006", "01h02m03s00f"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"2", "-----", "00h00m00s00f"}));
    EXPECT_EQ(patternStepHeaders(PatternKind::Pattern7000, Language::English),
              (std::vector<std::string>{"No.", "Phrase", "Volume", "Interval"}));
}

}  // namespace
}  // namespace wqe
