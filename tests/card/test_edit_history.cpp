// Undo and redo through the document's edit seam: byte-identical images and
// memo texts at every step, the saved point, merging and the depth bound.
#include <gtest/gtest.h>

#include "card/CWQEDoc.h"
#include "card/NewCard.h"
#include "support/TempDir.h"

using namespace wqe;
using wqe::test::TempDir;
namespace fs = std::filesystem;

namespace {

struct Doc {
    explicit Doc(Model m = Model::WQ7000) : doc(prompter, settings) {
        EXPECT_TRUE(createCard(tmp / "CARD", m, 0));
        EXPECT_TRUE(doc.openCard((tmp / "CARD").string()));
    }
    // The three parts an edit may change, as one comparable value.
    std::tuple<std::vector<std::uint8_t>, std::vector<std::uint8_t>, MemoTexts> state() const {
        const auto s = doc.sys().image(), p = doc.phr().image();
        return {{s.begin(), s.end()}, {p.begin(), p.end()}, MemoTexts::of(doc.memo())};
    }
    TempDir tmp;
    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEDoc doc;
};

}  // namespace

TEST(EditHistory, UndoAndRedoGiveIdenticalStatesAtEachStep) {
    Doc d;
    std::vector<decltype(d.state())> states{d.state()};
    const std::function<void()> edits[] = {
        [&] { d.doc.sys().setEqLowGain(3); },
        [&] { d.doc.phr().setName(4, "PHRASE05"); },
        [&] { d.doc.memo().setPhraseMemo(7, "memo of 8"); },
        [&] {
            d.doc.sys().setCardName("NEWNAME ");
            d.doc.memo().setSystemMemo("system\n");
        },
    };
    for (const auto& e : edits) {
        d.doc.edit("Step", e);
        states.push_back(d.state());
    }
    ASSERT_EQ(d.doc.history().steps(), 4u);
    for (int i = 3; i >= 0; --i) {
        ASSERT_TRUE(d.doc.undo());
        ASSERT_EQ(d.state(), states[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_FALSE(d.doc.undo());
    EXPECT_FALSE(d.doc.isModified());  // back at the opened state
    for (std::size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(d.doc.redo());
        ASSERT_EQ(d.state(), states[i]) << i;
        EXPECT_TRUE(d.doc.isModified());
    }
    EXPECT_FALSE(d.doc.redo());
    // An edit that changes nothing marks the document but is no step.
    d.doc.edit("Nothing", [] {});
    EXPECT_EQ(d.doc.history().undoName(), "Step");
}

TEST(EditHistory, SavedPointClearsTheModifiedMark) {
    Doc d;
    d.doc.edit("A", [&] { d.doc.sys().setBaudRate(0); });
    d.doc.edit("B", [&] { d.doc.sys().setBaudRate(2); });
    ASSERT_TRUE(d.doc.onSaveCardInfo());
    EXPECT_FALSE(d.doc.isModified());
    d.doc.undo();
    EXPECT_TRUE(d.doc.isModified());
    d.doc.redo();
    EXPECT_FALSE(d.doc.isModified());
    // A new edit after undoing past the save leaves the saved state unreachable.
    d.doc.undo();
    d.doc.undo();
    d.doc.edit("C", [&] { d.doc.sys().setBaudRate(3); });
    d.doc.undo();
    EXPECT_TRUE(d.doc.isModified());  // the opened state is no longer what the file holds
    // Reload starts a new history at the saved files.
    ASSERT_TRUE(d.doc.reload());
    EXPECT_FALSE(d.doc.history().canUndo());
    EXPECT_EQ(d.doc.sys().getBaudRate(), 2);
}

TEST(EditHistory, MergingAndUntrackedChanges) {
    Doc d;
    const std::string original = d.doc.sys().getCardName();
    for (const char* name : {"A       ", "AB      ", "ABC     "})
        d.doc.edit(
            "Card Name", [&] { d.doc.sys().setCardName(name); }, true);
    d.doc.edit(
        "Baud Rate", [&] { d.doc.sys().setBaudRate(3); }, true);
    EXPECT_EQ(d.doc.history().steps(), 2u);
    d.doc.undo();
    d.doc.undo();
    EXPECT_EQ(d.doc.sys().getCardName(), original);
    // A change that bypassed the seam is never undone: the history restarts there.
    d.doc.redo();
    d.doc.sys().setBaudRate(0);
    EXPECT_FALSE(d.doc.undo());
    EXPECT_EQ(d.doc.sys().getBaudRate(), 0);
    EXPECT_EQ(d.doc.sys().getCardName(), "ABC     ");
}

TEST(EditHistory, DepthIsBounded) {
    Doc d(Model::WQ5000);
    for (int i = 0; i < 130; ++i)
        d.doc.edit("Step", [&] { d.doc.sys().setMidiChannel(i % 17 + 1); });
    EXPECT_EQ(d.doc.history().steps(), EditHistory::kDepth);
    int undone = 0;
    while (d.doc.undo()) ++undone;
    EXPECT_EQ(undone, 100);
    EXPECT_TRUE(d.doc.isModified());  // the opened state fell out of the history
}
