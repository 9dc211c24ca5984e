#include <gtest/gtest.h>

#include "card/CWQEDoc.h"
#include "card/NewCard.h"
#include "support/TempDir.h"
#include "view/SystemForm.h"
#include "view/SystemFormCommands.h"

namespace wqe {
namespace {

struct OpenedCard {
    explicit OpenedCard(Model m, int code = 0) {
        EXPECT_TRUE(createCard(tmp.path() / "CARD", m, code));
        EXPECT_TRUE(doc.openCard((tmp.path() / "CARD").string()));
    }
    test::TempDir tmp;
    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEDoc doc{prompter, settings};
};

TEST(SystemForm, ListItems) {
    const auto sleepEn = formListItems(FormList::DisplaySleep, Language::English);
    ASSERT_EQ(sleepEn.size(), 3571u);
    EXPECT_EQ((std::vector<std::string>{sleepEn[0], sleepEn[1], sleepEn[31], sleepEn[3570]}),
              (std::vector<std::string>{"OFF", "00m30s", "01m00s", "59m59s"}));
    EXPECT_EQ(formListItems(FormList::DisplaySleep, Language::Japanese)[0], "ｵﾌ");
    EXPECT_EQ(formListItems(FormList::WqLinkMode, Language::Japanese),
              (std::vector<std::string>{"ｵﾌ", "ﾏｽﾀｰ", "ｽﾚｰﾌﾞ"}));
    EXPECT_EQ(formListItems(FormList::CardProtect, Language::English),
              (std::vector<std::string>{"OFF", "ON"}));
    EXPECT_EQ(formListItems(FormList::BaudRate, Language::Japanese).back(), "38400");
    EXPECT_EQ(formListInitialSelection(FormList::BaudRate), 1);
    EXPECT_EQ(formListInitialSelection(FormList::DisplaySleep), 0);
}

// Display sleep: the record's switch and time shown as a list position, and
// a chosen position stored back (positions the list lacks show nothing).
TEST(SystemForm, ListEditsReachTheRecordAndMarkModified) {
    OpenedCard card(Model::WQ7000);
    CWQEDoc& doc = card.doc;
    struct Sleep {
        int sw, time, position;
    };
    for (const Sleep& c : {Sleep{1, 30, 1},
                           {0, 30, 0},
                           {1, 3599, 3570},
                           {0, 999, 0},
                           {1, 29, -1},
                           {1, 3600, -1},
                           {255, 60, 31}}) {
        EXPECT_EQ(displaySleepListPosition(c.sw, c.time), c.position) << c.sw << " " << c.time;
        if (c.position < 0 || c.sw > 1 || (c.sw == 0 && c.time != 30)) continue;
        applyFormListPosition(doc, FormList::DisplaySleep, c.position);
        EXPECT_EQ(std::pair(doc.sys().getDisplaySleepSwitch(), doc.sys().getDisplaySleepTime()),
                  std::pair(c.sw, c.time))
            << c.position;
        EXPECT_EQ(formListPosition(doc, FormList::DisplaySleep), c.position);
        EXPECT_TRUE(doc.isModified());
    }
    const struct {
        FormList list;
        int index;
        SystemField field;
    } edits[] = {{FormList::DualMonoMode, 1, SystemField::DualMonoMode},
                 {FormList::BaudRate, 3, SystemField::BaudRate},
                 {FormList::CardProtect, 1, SystemField::CardProtect},
                 {FormList::OutputVolumeThru, 1, SystemField::OutputVolumeThru},
                 {FormList::WqLinkMode, 2, SystemField::WqLinkMode}};
    for (const auto& e : edits) {
        applyFormListPosition(doc, e.list, e.index);
        EXPECT_EQ(formListPosition(doc, e.list), e.index);
        applyFormListPosition(doc, e.list, 7);  // outside the list: ignored
        EXPECT_EQ(doc.sys().get(e.field), e.index);
    }
    doc.sys().setBaudRate(9);
    EXPECT_EQ(formListPosition(doc, FormList::BaudRate), -1);
}

TEST(SystemForm, Wq5000LacksTheWq7000Lists) {
    OpenedCard card(Model::WQ5000, 1);
    EXPECT_FALSE(formHasWq7000Controls(Model::WQ5000));
    for (FormList l : {FormList::OutputVolumeThru, FormList::DisplaySleep, FormList::WqLinkMode}) {
        EXPECT_FALSE(formListExists(l, Model::WQ5000));
        EXPECT_EQ(formListPosition(card.doc, l), -1);
    }
    EXPECT_EQ(formListPosition(card.doc, FormList::BaudRate), 1);
    EXPECT_EQ(phraseCountText(card.doc), "500");
}

TEST(SystemForm, CardNameEdit) {
    OpenedCard card(Model::WQ7000);
    struct Case {
        const char* typed;
        const char* shown;
        const char* stored;
    };
    const Case cases[] = {
        {"abc1", "1", "1       "},
        {"ABCDEFGHI", "ABCDEFGH", "ABCDEFGH"},
        {"ｼｮｯﾌﾟ1", "ｼｮｯﾌﾟ1",
         "\xBC\xAE\xAF\xCC\xDF"
         "1  "},
        {"店A", "A", "A       "},
        {"", "", "        "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(applyCardNameEdit(card.doc, c.typed), c.shown) << c.typed;
        EXPECT_EQ(card.doc.sys().getCardName(), c.stored) << c.typed;
        EXPECT_TRUE(cardNameText(card.doc).starts_with(c.shown)) << c.typed;
    }
    EXPECT_TRUE(card.doc.isModified());
}

TEST(SystemForm, MemoEdit) {
    struct Case {
        const char* control;
        const char* stored;
    };
    const Case cases[] = {
        {"A\r\n\r\nB", "A\nB\n"}, {"A\n\nB", "A\nB\n"},     {"", "\n"},     {"A", "A\n"},
        {"A\n", "A\n"},           {"A\n\n\nB", "A\n\nB\n"}, {"\r\n", "\n"},
    };
    for (const Case& c : cases) EXPECT_EQ(memoFromControl(c.control), c.stored) << c.control;
    OpenedCard card(Model::WQ7000);
    applySystemMemoEdit(card.doc, "店\n😀");
    EXPECT_EQ(card.doc.memo().systemMemo(), "\x93\x58\n?\n");
    EXPECT_TRUE(card.doc.isModified());
}

TEST(SystemForm, NoCardNoChange) {
    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEDoc doc(prompter, settings);
    applyFormListPosition(doc, FormList::BaudRate, 2);
    applySystemMemoEdit(doc, "x");
    EXPECT_EQ(applyCardNameEdit(doc, "ab1"), "1");
    EXPECT_FALSE(doc.isModified());
    EXPECT_EQ(doc.memo().systemMemo(), "");
    EXPECT_EQ(systemFolderText(doc, "/cwd"), "/cwd");
}

TEST(PhraseCommands, EnablingContextMenusAndDoubleClick) {
    OpenedCard w7(Model::WQ7000), w5(Model::WQ5000);
    CWQEPhr &p7 = w7.doc.phr(), &p5 = w5.doc.phr();
    for (int row = 1; row <= 4; ++row)
        p7.setType(row, row), p5.setUsed(row, 1);  // audio, MIDI, pattern, song
    p5.setMidiFlag(2, 1);
    p5.setPatternMode(3, 2);
    p5.setMidiFlag(4, 1);  // MIDI with a pattern mode: still a MIDI phrase
    p5.setPatternMode(4, 1);
    // Enabled commands as "SDCPS" (Setup Delete Copy Pattern Song), menu id.
    struct Case {
        CWQEDoc* doc;
        int row;
        const char* enabled;
        int menuId;
    };
    const Case cases[] = {
        {&w7.doc, 0, "..CPS", 133}, {&w7.doc, 1, "SD...", 130}, {&w7.doc, 2, "SD...", 130},
        {&w7.doc, 3, "SD.P.", 131}, {&w7.doc, 4, "SD..S", 132}, {&w5.doc, 0, "..CP.", 161},
        {&w5.doc, 1, "SD...", 130}, {&w5.doc, 2, "SD...", 130}, {&w5.doc, 3, "SD.P.", 131},
        {&w5.doc, 4, "SD...", 130},
    };
    auto letters = [](auto enabled) {
        std::string s;
        for (std::size_t k = 0; k < kPhraseCommands.size(); ++k)
            s += enabled(kPhraseCommands[k]) ? "SDCPS"[k] : '.';
        return s;
    };
    for (const Case& c : cases) {
        const std::string where =
            (c.doc == &w7.doc ? "WQ-7000 row " : "WQ-5000 row ") + std::to_string(c.row);
        EXPECT_EQ(
            letters([&](PhraseCommand k) { return isPhraseCommandEnabled(*c.doc, c.row, k); }),
            c.enabled)
            << where;
        const auto menu = phraseContextMenu(*c.doc, c.row);
        ASSERT_TRUE(menu) << where;
        EXPECT_EQ(menu->menuId, c.menuId) << where;
        EXPECT_EQ(letters([&](PhraseCommand k) { return menu->isEnabled(k); }), c.enabled) << where;
        EXPECT_EQ(doubleClickAction(*c.doc, c.row),
                  c.row == 0 ? DoubleClickAction::MakePhrase : DoubleClickAction::PhraseSetup)
            << where;
    }
    // No selection, a row beyond the card, or no card: nothing is enabled.
    for (int row : {-1, 250}) {
        EXPECT_EQ(letters([&](PhraseCommand k) { return isPhraseCommandEnabled(w7.doc, row, k); }),
                  ".....");
        EXPECT_FALSE(phraseContextMenu(w7.doc, row));
        EXPECT_EQ(doubleClickAction(w7.doc, row), DoubleClickAction::None);
    }
    w7.doc.close();
    EXPECT_FALSE(isPhraseCommandEnabled(w7.doc, 0, PhraseCommand::Copy));
}

}  // namespace
}  // namespace wqe
