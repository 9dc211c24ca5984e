// The pattern and song editors' phrase texts at the edges of the banks.
#include <gtest/gtest.h>

#include "view/PatternStepText.h"

namespace wqe {
namespace {

using Row = std::vector<std::string>;

TEST(PatternStepText, PhraseTexts) {
    constexpr auto P5 = PatternKind::Pattern5000, P7 = PatternKind::Pattern7000,
                   S = PatternKind::Song;
    struct Case {
        std::uint16_t ref;
        PatternKind kind;
        const char* text;
    };
    const Case cases[] = {
        {0, P5, "A001"},     {499, P5, "A500"},   {500, P5, "B001"},    {999, P5, "B500"},
        {1000, P5, "----"},  {65535, P5, "----"}, {999, P7, "A1000"},   {1000, P7, "B0001"},
        {1999, P7, "B1000"}, {2000, P7, "-----"}, {65534, P7, "-----"}, {1999, S, "B1000"},
        {2000, S, "Stop"},   {65534, S, "Stop"},  {65535, S, "-----"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(patternStepRefText(c.ref, c.kind, Language::English), c.text) << c.ref;
    EXPECT_EQ(patternStepRefText(16384, S, Language::Japanese), "ｽﾄｯﾌﾟ");
}

TEST(PatternStepText, RowsOfEveryKind) {
    PatternData w5(PatternKind::Pattern5000);
    w5.setStepRef(0, 3);
    w5.setStepInterval(0, 123);
    w5.setStepInterval(1, 9);  // an unused step shows the empty row whatever it holds
    w5.setStepRef(100, 600);
    const auto rows5 = patternStepRows(w5, 128, Language::English, 0);
    ASSERT_EQ(rows5.size(), 128u);
    EXPECT_EQ(rows5[0], (Row{"1", "A004", "12.3s"}));
    EXPECT_EQ(rows5[1], (Row{"2", "----", "00.0s"}));
    EXPECT_EQ(rows5[100], (Row{"101", "B101", "-----"}));
    EXPECT_EQ(rows5[127], (Row{"128", "----", "-----"}));
    PatternData song(PatternKind::Song);
    song.setSongStep(0, {5, 3723017});
    song.setSongStep(1, {kStepUnused, 5000});
    const auto rows = patternStepRows(song, 100, Language::English, 4);
    EXPECT_EQ(rows[0], (Row{"1", "A0006", "01h02m03s00f"}));
    EXPECT_EQ(rows[1], (Row{"2", "-----", "00h00m00s00f"}));
    EXPECT_EQ(patternStepHeaders(PatternKind::Pattern7000, Language::English),
              (Row{"No.", "Phrase", "Volume", "Interval"}));
}

}  // namespace
}  // namespace wqe
