// The phrase chooser and the start-point chooser: lists, preselection and
// what OK returns, at the bank edges of both models.
#include <gtest/gtest.h>

#include "dialogs/PhraseChooser.h"
#include "dialogs/StartPointChooser.h"

using namespace wqe;

TEST(PhraseChooser, ListsByModelPlayAndCount) {
    struct Case {
        Model model;
        bool play;
        int highest;
        std::size_t count;
        const char* second;
        const char* lastA;
        const char* firstB;
        const char* last;
    };
    const Case cases[] = {
        {Model::WQ7000, true, 250, 1 + 1 + 250 + 1000, "PLAY", "A0250", "B0001", "B1000"},
        {Model::WQ5000, true, 500, 1 + 1 + 500 + 500, "PLAY", "A500", "B001", "B500"},
        {Model::WQ5000, false, 250, 1 + 250 + 500, "A001", "A250", "B001", "B500"},
    };
    for (const Case& c : cases) {
        const PhraseChooser chooser{c.model, c.play, c.highest};
        const auto items = chooser.items();
        ASSERT_EQ(items.size(), c.count);
        EXPECT_EQ(items[0], c.model == Model::WQ7000 ? "-----" : "----");
        EXPECT_EQ(items[1], c.second);
        const std::size_t lastA = (c.play ? 1 : 0) + static_cast<std::size_t>(c.highest);
        EXPECT_EQ(items[lastA], c.lastA);
        EXPECT_EQ(items[lastA + 1], c.firstB);
        EXPECT_EQ(items.back(), c.last);
        // Every item's text gives back the reference its position stands for.
        for (std::size_t i = 0; i < items.size(); ++i) {
            const std::uint16_t v = chooser.valueAt(static_cast<int>(i), 1);
            ASSERT_EQ(chooser.valueOfText(items[i]), v) << items[i];
            ASSERT_EQ(chooser.position(v), static_cast<int>(i)) << items[i];
        }
    }
    // An emptied text reads as no phrase.
    EXPECT_EQ((PhraseChooser{Model::WQ5000, true, 500}.valueOfText("")), 65535);
}

TEST(PhraseChooser, PreselectionAndEnterAtTheBankEdges) {
    struct Case {
        Model model;
        bool play;
        int highest;
        std::uint16_t ref;
        int position;  // -1: no item stands for the value
    };
    const Case cases[] = {
        // WQ-7000, 250 phrases, PLAY listed: A250 is item 251, B1 follows bank A.
        {Model::WQ7000, true, 250, 249, 251},    // A n
        {Model::WQ7000, true, 250, 1000, 252},   // B 1
        {Model::WQ7000, true, 250, 16384, 1},    // PLAY
        {Model::WQ7000, true, 250, 250, -1},     // A251 beyond the card's count
        {Model::WQ7000, false, 250, 16384, -1},  // PLAY where it is not offered
        {Model::WQ7000, false, 1000, 2000, -1},  // beyond bank B
        // WQ-5000, 500 phrases, no PLAY.
        {Model::WQ5000, false, 500, 500, 501},
        {Model::WQ5000, false, 500, 4095, -1},
        {Model::WQ5000, false, 500, 32768, -1},
    };
    for (const Case& c : cases) {
        const PhraseChooser chooser{c.model, c.play, c.highest};
        EXPECT_EQ(chooser.position(c.ref), c.position) << c.ref;
        // ENTER without touching the list gives back the stored value.
        EXPECT_EQ(chooser.valueAt(c.position, c.ref), c.ref) << c.ref;
    }
}

TEST(StartPointChooser, ListsAndFrameRanges) {
    const auto items = startPointPhraseItems(Language::Japanese);
    ASSERT_EQ(items.size(), 2002u);
    EXPECT_EQ((std::vector{items[0], items[1], items[2], items[1002], items[2001]}),
              (std::vector<std::string>{"-----", "ｽﾄｯﾌﾟ", "A0001", "B0001", "B1000"}));
    const struct {
        int type;
        const char* lastFrame;
    } frames[] = {{0, "29"}, {3, "24"}, {4, "23"}};
    for (const auto& f : frames) {
        const auto items = startTimeItems(StartField::Frames, f.type);
        EXPECT_EQ(items.front(), "00");
        EXPECT_EQ(items.back(), f.lastFrame) << f.type;
        EXPECT_EQ(startTimePosition(StartField::Frames, std::stoi(f.lastFrame) + 1, f.type), -1);
    }
}

TEST(StartPointChooser, PreselectionAndResult) {
    for (auto [ref, position] :
         {std::pair{32768, 0}, {16384, 1}, {0, 2}, {1000, 1002}, {1999, 2001}, {2000, -1}})
        EXPECT_EQ(startPointPhrasePosition(static_cast<std::uint16_t>(ref)), position) << ref;
    EXPECT_FALSE(startTimeEnabled(0));
    EXPECT_FALSE(startTimeEnabled(-1));
    EXPECT_TRUE(startTimeEnabled(1));

    const StartPoint current{5, {1, 2, 3, 4}};
    const struct {
        int phrase;
        std::array<int, 4> time;
        StartPoint expected;
    } cases[] = {
        {1, {10, 20, 30, 29}, {16384, {10, 20, 30, 29}}},    // Stop keeps the chosen time
        {0, {10, 20, 30, 29}, {32768, {0, 0, 0, 0}}},        // none: time 0
        {2001, {23, 59, 59, 23}, {1999, {23, 59, 59, 23}}},  // B1000
        {-1, {-1, -1, -1, -1}, current},                     // nothing chosen: unchanged
    };
    for (const auto& c : cases)
        EXPECT_EQ(startPointResult(c.phrase, c.time, current), c.expected) << c.phrase;
}
