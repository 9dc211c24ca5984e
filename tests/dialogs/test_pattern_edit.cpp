// Making and editing pattern and song phrases on records and files: the new
// phrase's record and empty data file byte for byte, refusals and failed
// writes that change nothing, the editor's blocks, the PLAY count, what ENTER
// stores and the record changes that follow it; and the phrase and
// start-point choosers the step dialogs open: lists, preselection and what OK
// returns, at the bank edges of both models.
#include <gtest/gtest.h>

#include "card/NewCard.h"
#include "dialogs/PatternEdit.h"
#include "dialogs/PhraseChooser.h"
#include "dialogs/StartPointChooser.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

using namespace wqe;
using wqe::test::FaultyFileSystem;
using wqe::test::FsOp;
using wqe::test::readBytes;
using wqe::test::TempDir;

namespace {

constexpr int kSlot = 4;  // phrase 5, "_WQP0005.PHR"

// A fresh card (250 phrases, card name "TESTCARD") opened in a document.
struct Card {
    explicit Card(Model m) : doc(prompter, settings) {
        EXPECT_TRUE(createCard(dir.path(), m, 0));
        EXPECT_TRUE(doc.loadCard(dir.str()));
        doc.edit("name", [&] { doc.sys().setCardName("TESTCARD"); });
    }
    std::filesystem::path dataFile() const { return dir / "_WQP0005.PHR"; }
    std::vector<std::uint8_t> record() const {
        auto r = doc.phr().record(kSlot);
        return {r.begin(), r.end()};
    }
    TempDir dir;
    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEDoc doc;
};

}  // namespace

TEST(PatternEdit, NewPhraseRecordAndEmptyFileByteForByte) {
    // (first, last, value) runs of the new record over a record of 0xEE
    // bytes; every other byte (not interpreted, data offset) keeps 0xEE.
    using Runs = std::vector<std::array<int, 3>>;
    const Runs w7 = {{1, 9, 0},      {22, 22, 0}, {23, 24, 3},   {25, 25, 1},   {28, 31, 0},
                     {32, 32, 0xFA}, {33, 33, 3}, {34, 51, 0},   {52, 52, 100}, {53, 54, 0},
                     {56, 60, 0},    {61, 61, 1}, {62, 63, 115}, {64, 70, 0}};
    Runs pattern7 = w7, song7 = w7;
    pattern7.push_back({0, 0, 3});
    song7.push_back({0, 0, 4});
    const Runs w5 = {{0, 0, 1},   {1, 11, 0},     {12, 12, 1}, {13, 13, 0xFA},
                     {14, 14, 0}, {15, 15, 1},    {16, 17, 0}, {18, 18, 0x80},
                     {19, 19, 0}, {20, 20, 0x80}, {21, 21, 0}, {33, 43, 0}};
    // (model, a song, the file kind made, the record's runs, its name's offset and text)
    const std::tuple<Model, bool, int, Runs, int, std::string> cases[] = {
        {Model::WQ7000, false, 1, pattern7, 10, "TESTCARD005 "},
        {Model::WQ7000, true, 2, song7, 10, "TESTCARD005 "},
        {Model::WQ5000, false, 0, w5, 22, "TESTCARD005"}};
    for (const auto& [model, song, fileKind, runs, nameOffset, name] : cases) {
        SCOPED_TRACE(fileKind);
        Card card(model);
        // An empty slot whose other bytes hold leftovers.
        card.doc.edit("dirty", [&] {
            auto r = card.doc.phr().record(kSlot);
            std::fill(r.begin(), r.end(), 0xEE);
            r[0] = 0;
        });
        std::vector<std::uint8_t> expected = card.record();
        for (const auto& [first, last, value] : runs)
            std::fill(expected.begin() + first, expected.begin() + last + 1, value);
        std::ranges::copy(name, expected.begin() + nameOffset);

        const PatternKind kind = madeKind(model, song);
        EXPECT_EQ(static_cast<int>(kind), fileKind);
        ASSERT_TRUE(makeNewPhrase(card.doc, kSlot, kind));
        EXPECT_EQ(card.record(), expected);
        // The empty layouts themselves are pinned in tests/card.
        EXPECT_EQ(readBytes(card.dataFile()), patternFileBytes(PatternData(kind)));
        EXPECT_EQ(editorKindOf(card.doc, kSlot), kind);
        // One undo step takes the record back; the file stays until CLOSE.
        EXPECT_TRUE(card.doc.undo());
        EXPECT_EQ(card.doc.phr().isUsed(kSlot), false);
    }
}

// CLOSE of a new phrase (its file goes, its slot stays empty) is the main
// window GUI test's.
TEST(PatternEdit, MakingNeverLosesAFile) {
    // (what, a data file of that number already there, the failing step)
    const std::tuple<const char*, bool, std::optional<FsOp>> cases[] = {
        {"existing file", true, std::nullopt},
        {"the write fails half-way", false, FsOp::Write},
        {"the new file cannot be put in place", false, FsOp::Rename}};
    for (const auto& [what, existingFile, failing] : cases) {
        SCOPED_TRACE(what);
        Card card(Model::WQ7000);
        const std::vector<std::uint8_t> audio(3000, 0x5A);
        if (existingFile) {
            ASSERT_TRUE(writeFileAtomic(realFileSystem(), card.dataFile(), audio));
        }
        FaultyFileSystem faulty;
        if (failing) faulty.failAt(*failing, 1, ENOSPC);
        const auto before = card.record();
        const Status s = makeNewPhrase(card.doc, kSlot, PatternKind::Pattern7000, faulty);
        EXPECT_FALSE(s);
        EXPECT_EQ(card.record(), before);
        if (existingFile)
            EXPECT_EQ(readBytes(card.dataFile()), audio);
        else
            EXPECT_FALSE(std::filesystem::exists(card.dataFile()));
        // No temporary file is left.
        EXPECT_EQ(std::ranges::distance(std::filesystem::directory_iterator(card.dir.path())),
                  existingFile ? 4 : 3);
    }
}

TEST(PatternEdit, InsertDeleteClearStayInTheirBlock) {
    PatternData data(PatternKind::Pattern7000);
    for (int r = 0; r < kPatternAllSteps; ++r) data.setStepRef(r, static_cast<std::uint16_t>(r));
    const std::uint16_t E = kStepUnused;
    // (mode index, Insert/Delete/Clear, row, rows, row -> ref after)
    const std::tuple<int, char, int, int, std::vector<std::pair<int, std::uint16_t>>> cases[] = {
        {2, 'I', 99, 128, {{98, 98}, {99, E}, {100, 100}, {127, 127}}},
        {2, 'D', 0, 128, {{0, 1}, {98, 99}, {99, E}, {100, 100}}},
        {3, 'I', 100, 128, {{99, 99}, {100, E}, {101, 100}, {127, 126}}},
        {2, 'C', 110, 128, {{99, 99}, {100, E}, {127, E}, {0, 0}}},
        {0, 'C', 5, 100, {{0, E}, {99, E}}},
        {0, 'D', 100, 100, {{99, 99}}},  // outside the list: nothing
    };
    for (const auto& [modeIndex, op, at, rows, expect] : cases) {
        SCOPED_TRACE(std::string(1, op) + std::to_string(at));
        PatternEditor ed(data, modeIndex);
        ASSERT_EQ(ed.rowCount(), rows);
        if (op == 'I') ed.insertRow(at);
        if (op == 'D') ed.deleteRow(at);
        if (op == 'C') ed.clearBlock(at);
        for (const auto& [row, ref] : expect) EXPECT_EQ(ed.row(row).ref, ref) << "row " << row;
        EXPECT_EQ(ed.rowCount(), rows);
    }
}

TEST(PatternEdit, PlayCountShownEnabledAndStored) {
    // (kind, mode index, stored byte, shown, enabled, its position, the
    // position chosen, the byte it stores)
    const auto P7 = PatternKind::Pattern7000;
    const std::tuple<PatternKind, int, std::uint8_t, bool, bool, int, int, std::uint8_t> cases[] = {
        {P7, 2, 5, true, true, 4, 9, 10},
        {P7, 0, 1, true, false, 0, 0, 1},
        {P7, 2, 0, true, true, 0, 24, 25},
        {P7, 2, 30, true, true, -1, -1, 30},
        {PatternKind::Pattern5000, 3, 1, false, false, 0, 0, 1},
    };
    for (const auto& [kind, modeIndex, byte, shown, enabled, position, chosen, stored] : cases) {
        PatternEditor ed(PatternData(kind), modeIndex, byte);
        EXPECT_EQ(std::tuple(ed.playCountShown(), ed.playCountEnabled(), ed.playCountPosition(),
                             ed.playCountByte(chosen)),
                  std::tuple(shown, enabled, position, stored));
    }
}

TEST(PatternEdit, EnterStoresRowsAsRead) {
    // Pattern: edited, emptied and interrupt rows; the interrupt byte.
    PatternData read(PatternKind::Pattern7000);
    read.setStepRef(1, 7);
    read.setStepVolume(1, 30);
    read.setStepInterval(1, 12);
    read.setInterruptStep(105);
    // (mode index, selected interrupt row, the interrupt byte stored)
    for (auto [modeIndex, selected, interruptByte] :
         {std::tuple{2, 100, 101}, {3, 3, 0}, {0, 100, 105}}) {
        PatternEditor ed(read, modeIndex);
        ed.setRow(0, {11, 50, 15, 0});
        ed.setRow(1, EditorRow{});
        if (ed.rowCount() > 100) ed.setRow(100, {1000, 80, 33, 0});
        // Where the steps lie in the block is pinned in tests/card.
        const PatternData out = ed.stored(selected);
        EXPECT_EQ(std::tuple(out.stepRef(0), out.stepVolume(0), out.stepInterval(0)),
                  std::tuple(11, 50, 15));
        EXPECT_EQ(std::tuple(out.stepRef(1), out.stepVolume(1), out.stepInterval(1)),
                  std::tuple(kStepUnused, 100, 0));
        EXPECT_EQ(out.interruptStep(), interruptByte);
        if (modeIndex >= 2) {
            EXPECT_EQ(out.stepRef(100), 1000);
            EXPECT_EQ(out.stepInterval(100), 0);  // interrupt rows have none
        }
    }

    // Song: rows from the start-point chooser, stored sorted; Stop both ways.
    PatternEditor song(PatternData(PatternKind::Song), 0);
    song.setRow(0, rowOfStartPoint({1, {0, 0, 5, 0}}, 0));
    song.setRow(1, rowOfStartPoint({kStartPointStop, {0, 0, 0, 0}}, 0));
    song.setRow(2, rowOfStartPoint({0, {0, 0, 1, 15}}, 0));
    song.setRow(3, rowOfStartPoint({kStartPointNone, {0, 0, 9, 0}}, 0));
    const PatternData out = song.stored(-1);
    EXPECT_EQ(out.songStep(0), (SongStep{0, 1500}));
    EXPECT_EQ(out.songStep(1), (SongStep{1, 5000}));
    EXPECT_EQ(out.songStep(2), (SongStep{kSongStop, 0}));
    EXPECT_EQ(out.songStep(3), (SongStep{kStepUnused, 0}));
    EXPECT_EQ(startPointOfRow({kSongStop, 100, 0, 1000}, 0),
              (StartPoint{kStartPointStop, {0, 0, 1, 0}}));
    EXPECT_EQ(startPointOfRow(EditorRow{}, 0).ref, kStartPointNone);
}

// The bank edges are the phrase chooser's; the step dialog adds the unused
// step at position 0 and refuses references beyond bank B.
TEST(PatternEdit, StepDialogListsAndValues) {
    // (model, stored reference, its position); ENTER at that position gives
    // the reference back.
    const std::tuple<Model, std::uint16_t, int> cases[] = {{Model::WQ7000, kStepUnused, 0},
                                                           {Model::WQ7000, 2500, -1},
                                                           {Model::WQ5000, 999, 1000},
                                                           {Model::WQ5000, 4095, -1}};
    for (const auto& [model, ref, position] : cases) {
        EXPECT_EQ(stepPhrasePosition(model, ref), position) << ref;
        EXPECT_EQ(stepRefAt(model, position, ref), ref) << ref;
    }
}

TEST(PatternEdit, EnterWritesFileThenRecordAsOneStep) {
    // (model, the record's pattern mode byte, an interrupt phrase set, the PLAY
    // count chosen, the write fails, mode and PLAY count after, corrected)
    const std::tuple<Model, std::uint32_t, bool, std::optional<std::uint8_t>, bool, std::uint32_t,
                     std::uint32_t, bool>
        cases[] = {
            {Model::WQ7000, 2, false, 7, false, 1, 7, true},
            {Model::WQ7000, 3, true, std::nullopt, false, 3, 1, false},
            {Model::WQ5000, 4, false, std::nullopt, false, 2, 0, true},
            {Model::WQ7000, 2, false, 9, true, 2, 1, false},
        };
    for (const auto& [model, mode, interruptPhrase, play, failWrite, modeAfter, playAfter,
                      corrected] : cases) {
        SCOPED_TRACE(static_cast<int>(mode));
        Card card(model);
        const PatternKind kind = madeKind(model, false);
        ASSERT_TRUE(makeNewPhrase(card.doc, kSlot, kind));
        card.doc.edit("mode", [&] { card.doc.phr().setPatternMode(kSlot, mode); });
        const auto fileBefore = readBytes(card.dataFile());
        const auto recordBefore = card.record();
        PatternData data(kind);
        data.setStepRef(0, 3);
        if (interruptPhrase) data.setStepRef(120, 4);
        FaultyFileSystem faulty;
        if (failWrite) faulty.failAt(FsOp::Write, 1, ENOSPC);
        const StoreResult r = storeEditedSteps(card.doc, kSlot, data, play, faulty);
        EXPECT_EQ(static_cast<bool>(r.status), !failWrite);
        EXPECT_EQ(r.interruptCorrected, corrected);
        EXPECT_EQ(card.doc.phr().getPatternMode(kSlot), modeAfter);
        EXPECT_EQ(card.doc.phr().getRegistered(kSlot), playAfter);
        if (failWrite) {
            EXPECT_EQ(readBytes(card.dataFile()), fileBefore);
            EXPECT_EQ(card.record(), recordBefore);
            continue;
        }
        EXPECT_EQ(readBytes(card.dataFile()), patternFileBytes(data));
        // A record change is one undo step.
        if (corrected || (model == Model::WQ7000 && playAfter != 1)) {
            EXPECT_TRUE(card.doc.undo());
        }
        EXPECT_EQ(card.record(), recordBefore);
    }
}

TEST(PhraseChooser, ListsByModelPlayAndCount) {
    // (model, PLAY offered, highest phrase, item count, the second item, the
    // last of bank A, the first of bank B, the last)
    const std::tuple<Model, bool, int, std::size_t, const char*, const char*, const char*,
                     const char*>
        cases[] = {
            {Model::WQ7000, true, 250, 1 + 1 + 250 + 1000, "PLAY", "A0250", "B0001", "B1000"},
            {Model::WQ5000, false, 250, 1 + 250 + 500, "A001", "A250", "B001", "B500"},
        };
    for (const auto& [model, play, highest, count, second, lastA, firstB, last] : cases) {
        const PhraseChooser chooser{model, play, highest};
        const auto items = chooser.items();
        ASSERT_EQ(items.size(), count);
        EXPECT_EQ(items[0], model == Model::WQ7000 ? "-----" : "----");
        EXPECT_EQ(items[1], second);
        const std::size_t a = (play ? 1 : 0) + static_cast<std::size_t>(highest);
        EXPECT_EQ(items[a], lastA);
        EXPECT_EQ(items[a + 1], firstB);
        EXPECT_EQ(items.back(), last);
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
    // (model, PLAY offered, highest phrase, a stored value no item stands
    // for); the positions of listed values are the round trip of the lists above.
    const std::tuple<Model, bool, int, std::uint16_t> cases[] = {
        {Model::WQ7000, true, 250, 250},     // A251 beyond the card's count
        {Model::WQ7000, false, 250, 16384},  // PLAY where it is not offered
        {Model::WQ7000, false, 1000, 2000},  // beyond bank B
        {Model::WQ5000, false, 500, 4095},  {Model::WQ5000, false, 500, 32768},
    };
    for (const auto& [model, play, highest, ref] : cases) {
        const PhraseChooser chooser{model, play, highest};
        EXPECT_EQ(chooser.position(ref), -1) << ref;
        // ENTER without touching the list gives back the stored value.
        EXPECT_EQ(chooser.valueAt(-1, ref), ref) << ref;
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
    // (chosen phrase position, chosen time, the result)
    const std::tuple<int, std::array<int, 4>, StartPoint> cases[] = {
        {1, {10, 20, 30, 29}, {16384, {10, 20, 30, 29}}},    // Stop keeps the chosen time
        {0, {10, 20, 30, 29}, {32768, {0, 0, 0, 0}}},        // none: time 0
        {2001, {23, 59, 59, 23}, {1999, {23, 59, 59, 23}}},  // B1000
        {-1, {-1, -1, -1, -1}, current},                     // nothing chosen: unchanged
    };
    for (const auto& [phrase, time, expected] : cases)
        EXPECT_EQ(startPointResult(phrase, time, current), expected) << phrase;
}
