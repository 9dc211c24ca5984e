// Making and editing pattern and song phrases on records and files: the new
// phrase's record and empty data file byte for byte, refusals and failed
// writes that change nothing, the editor's blocks, the PLAY count, what ENTER
// stores and the record changes that follow it.
#include <gtest/gtest.h>

#include "card/NewCard.h"
#include "dialogs/PatternEdit.h"
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

void put16be(std::vector<std::uint8_t>& b, std::size_t at, unsigned v) {
    b[at] = static_cast<std::uint8_t>(v >> 8);
    b[at + 1] = static_cast<std::uint8_t>(v);
}

// The empty files written out by hand from the layout.
std::vector<std::uint8_t> emptyFile(int kind) {
    const std::size_t block = kind == 0 ? 506 : 1018;
    std::vector<std::uint8_t> f = {'W', 'Q',  'P',  'h',  'r',
                                   's', 0xFF, 0xFF, 0xFF, static_cast<std::uint8_t>(kind)};
    f.resize(6 + block, 0);
    if (kind == 2) {
        for (int i = 0; i < 100; ++i) put16be(f, 6 + 10 + 2 * i, 0xFFFF);
        return f;
    }
    for (int i = 0; i < 100; ++i) put16be(f, 6 + 10 + 4 * i, 0xFFFF);
    for (int k = 0; k < 28; ++k) put16be(f, 6 + 410 + 2 * k, 0xFFFF);
    if (kind == 1)
        for (int i = 0; i < 128; ++i) f[6 + 506 + i] = 100;
    return f;
}

}  // namespace

TEST(PatternEdit, NewPhraseRecordAndEmptyFileByteForByte) {
    struct Case {
        Model model;
        bool song;
        int fileKind;
        // (offset, value) of the new record over a record of 0xEE bytes;
        // every other byte (not interpreted, data offset) keeps 0xEE.
        std::vector<std::pair<int, int>> bytes;
    };
    std::vector<std::pair<int, int>> w7 = {
        {1, 0},  {2, 0},  {3, 0},  {4, 0},     {5, 0},  {6, 0},  {7, 0},  {8, 0},    {9, 0},
        {23, 3}, {24, 3}, {25, 1}, {32, 0xFA}, {33, 3}, {34, 0}, {35, 0}, {52, 100}, {53, 0},
        {54, 0}, {56, 0}, {57, 0}, {58, 0},    {59, 0}, {60, 0}, {61, 1}, {62, 115}, {63, 115},
        {64, 0}, {65, 0}, {66, 0}, {67, 0},    {68, 0}, {69, 0}, {70, 0}};
    for (int o = 28; o < 32; ++o) w7.push_back({o, 0});
    for (int o = 36; o < 52; ++o) w7.push_back({o, 0});
    const std::string name7 = "TESTCARD005 ";
    for (int k = 0; k < 12; ++k) w7.push_back({10 + k, name7[k]});
    w7.push_back({22, 0});
    auto pattern7 = w7, song7 = w7;
    pattern7.push_back({0, 3});
    song7.push_back({0, 4});

    std::vector<std::pair<int, int>> w5 = {{0, 1},  {1, 0},     {2, 0},  {3, 0},  {4, 0},
                                           {5, 0},  {10, 0},    {11, 0}, {12, 1}, {13, 0xFA},
                                           {14, 0}, {15, 1},    {16, 0}, {17, 0}, {18, 0x80},
                                           {19, 0}, {20, 0x80}, {21, 0}, {42, 0}, {43, 0}};
    for (int o = 6; o < 10; ++o) w5.push_back({o, 0});
    for (int o = 34; o < 42; ++o) w5.push_back({o, 0});
    const std::string name5 = "TESTCARD005";
    for (int k = 0; k < 11; ++k) w5.push_back({22 + k, name5[k]});
    w5.push_back({33, 0});

    const Case cases[] = {{Model::WQ7000, false, 1, pattern7},
                          {Model::WQ7000, true, 2, song7},
                          {Model::WQ5000, false, 0, w5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fileKind);
        Card card(c.model);
        // An empty slot whose other bytes hold leftovers.
        card.doc.edit("dirty", [&] {
            auto r = card.doc.phr().record(kSlot);
            std::fill(r.begin(), r.end(), 0xEE);
            r[0] = 0;
        });
        std::vector<std::uint8_t> expected = card.record();
        for (const auto& [offset, value] : c.bytes)
            expected[offset] = static_cast<std::uint8_t>(value);

        const PatternKind kind = madeKind(c.model, c.song);
        EXPECT_EQ(static_cast<int>(kind), c.fileKind);
        ASSERT_TRUE(makeNewPhrase(card.doc, kSlot, kind));
        EXPECT_EQ(card.record(), expected);
        EXPECT_EQ(readBytes(card.dataFile()), emptyFile(c.fileKind));
        EXPECT_EQ(editorKindOf(card.doc, kSlot), kind);
        // One undo step takes the record back; the file stays until CLOSE.
        EXPECT_TRUE(card.doc.undo());
        EXPECT_EQ(card.doc.phr().isUsed(kSlot), false);
    }
}

TEST(PatternEdit, MakingOrDiscardingNeverLosesAFile) {
    struct Case {
        const char* what;
        bool existingFile;
        std::optional<FsOp> failing;
    };
    const Case cases[] = {{"data file of that number already there", true, std::nullopt},
                          {"the write fails half-way", false, FsOp::Write},
                          {"the file cannot be created", false, FsOp::Create},
                          {"the new file cannot be put in place", false, FsOp::Rename}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Card card(Model::WQ7000);
        const std::vector<std::uint8_t> audio(3000, 0x5A);
        if (c.existingFile) {
            ASSERT_TRUE(writeFileAtomic(realFileSystem(), card.dataFile(), audio));
        }
        FaultyFileSystem faulty;
        if (c.failing) faulty.failAt(*c.failing, 1, ENOSPC);
        const auto before = card.record();
        const Status s = makeNewPhrase(card.doc, kSlot, PatternKind::Pattern7000, faulty);
        EXPECT_FALSE(s);
        EXPECT_EQ(card.record(), before);
        if (c.existingFile)
            EXPECT_EQ(readBytes(card.dataFile()), audio);
        else
            EXPECT_FALSE(std::filesystem::exists(card.dataFile()));
        std::size_t entries = 0;  // no temporary file is left
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(card.dir.path()))
            ++entries;
        EXPECT_EQ(entries, c.existingFile ? 4u : 3u);
    }

    // CLOSE of a new phrase: the prepared file goes, the record is erased.
    Card card(Model::WQ5000);
    ASSERT_TRUE(makeNewPhrase(card.doc, kSlot, PatternKind::Pattern5000));
    ASSERT_TRUE(discardNewPhrase(card.doc, kSlot));
    EXPECT_FALSE(std::filesystem::exists(card.dataFile()));
    const auto erased = CWQEPhr::erasedImage(Model::WQ5000, 1);
    EXPECT_EQ(card.record(), erased);
}

TEST(PatternEdit, InsertDeleteClearStayInTheirBlock) {
    PatternData data(PatternKind::Pattern7000);
    for (int r = 0; r < kPatternAllSteps; ++r) data.setStepRef(r, static_cast<std::uint16_t>(r));
    const std::uint16_t E = kStepUnused;
    struct Case {
        int modeIndex;
        char op;  // I, D, C
        int row;
        int rows;
        std::vector<std::pair<int, std::uint16_t>> expect;  // row -> ref after
    };
    const Case cases[] = {
        {2, 'I', 99, 128, {{98, 98}, {99, E}, {100, 100}, {127, 127}}},
        {2, 'I', 0, 128, {{0, E}, {1, 0}, {99, 98}, {100, 100}}},
        {2, 'D', 0, 128, {{0, 1}, {98, 99}, {99, E}, {100, 100}}},
        {2, 'D', 127, 128, {{126, 126}, {127, E}, {99, 99}}},
        {3, 'I', 100, 128, {{99, 99}, {100, E}, {101, 100}, {127, 126}}},
        {3, 'D', 100, 128, {{99, 99}, {100, 101}, {126, 127}, {127, E}}},
        {2, 'C', 110, 128, {{99, 99}, {100, E}, {127, E}, {0, 0}}},
        {0, 'C', 5, 100, {{0, E}, {99, E}}},
        {1, 'I', 99, 100, {{98, 98}, {99, E}}},
        {0, 'D', 100, 100, {{99, 99}}},  // outside the list: nothing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.op) + std::to_string(c.row));
        PatternEditor ed(data, c.modeIndex);
        ASSERT_EQ(ed.rowCount(), c.rows);
        if (c.op == 'I') ed.insertRow(c.row);
        if (c.op == 'D') ed.deleteRow(c.row);
        if (c.op == 'C') ed.clearBlock(c.row);
        for (const auto& [row, ref] : c.expect) EXPECT_EQ(ed.row(row).ref, ref) << "row " << row;
        EXPECT_EQ(ed.rowCount(), c.rows);
    }
}

TEST(PatternEdit, PlayCountShownEnabledAndStored) {
    struct Case {
        PatternKind kind;
        int modeIndex;
        std::uint8_t byte;
        bool shown, enabled;
        int position;
        int chosen;
        std::uint8_t stored;
    };
    const auto P7 = PatternKind::Pattern7000;
    const Case cases[] = {
        {P7, 2, 5, true, true, 4, 9, 10},
        {P7, 3, 5, true, true, 4, 4, 5},
        {P7, 0, 1, true, false, 0, 0, 1},
        {P7, 1, 0, true, false, 0, 0, 0},
        {P7, 2, 0, true, true, 0, 24, 25},
        {P7, 2, 30, true, true, -1, -1, 30},
        {PatternKind::Pattern5000, 3, 1, false, false, 0, 0, 1},
    };
    for (const Case& c : cases) {
        PatternEditor ed(PatternData(c.kind), c.modeIndex, c.byte);
        EXPECT_EQ(ed.playCountShown(), c.shown);
        EXPECT_EQ(ed.playCountEnabled(), c.enabled);
        EXPECT_EQ(ed.playCountPosition(), c.position);
        EXPECT_EQ(ed.playCountByte(c.chosen), c.stored);
    }
}

TEST(PatternEdit, EnterStoresRowsAsRead) {
    // Pattern: edited, emptied and interrupt rows; the interrupt byte.
    PatternData read(PatternKind::Pattern7000);
    read.setStepRef(1, 7);
    read.setStepVolume(1, 30);
    read.setStepInterval(1, 12);
    read.setInterruptStep(105);
    struct Case {
        int modeIndex;
        int selected;
        std::uint8_t interruptByte;
    };
    for (const Case& c : {Case{2, 100, 101}, Case{3, 3, 0}, Case{0, 100, 105}}) {
        PatternEditor ed(read, c.modeIndex);
        ed.setRow(0, {11, 50, 15, 0});
        ed.setRow(1, EditorRow{});
        if (ed.rowCount() > 100) ed.setRow(100, {1000, 80, 33, 0});
        const PatternData out = ed.stored(c.selected);
        const auto b = out.block();
        EXPECT_EQ((b[10] << 8) | b[11], 11);
        EXPECT_EQ((b[12] << 8) | b[13], 15);
        EXPECT_EQ(b[507], 50);  // step 0's volume lies in the pair's second byte
        EXPECT_EQ(out.stepRef(1), kStepUnused);
        EXPECT_EQ(out.stepVolume(1), 100);
        EXPECT_EQ(out.stepInterval(1), 0);
        EXPECT_EQ(out.interruptStep(), c.interruptByte);
        if (c.modeIndex >= 2) {
            EXPECT_EQ((b[410] << 8) | b[411], 1000);
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

TEST(PatternEdit, StepDialogListsAndValues) {
    struct Case {
        Model m;
        std::uint16_t ref;
        int position;
        std::uint16_t backFromPosition;
    };
    const Case cases[] = {
        {Model::WQ7000, kStepUnused, 0, kStepUnused},
        {Model::WQ7000, 0, 1, 0},
        {Model::WQ7000, 1000, 1001, 1000},
        {Model::WQ7000, 1999, 2000, 1999},
        {Model::WQ7000, 2500, -1, 2500},
        {Model::WQ5000, 500, 501, 500},
        {Model::WQ5000, 999, 1000, 999},
        {Model::WQ5000, 4095, -1, 4095},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(stepPhrasePosition(c.m, c.ref), c.position) << c.ref;
        EXPECT_EQ(stepRefAt(c.m, c.position, c.ref), c.backFromPosition) << c.ref;
    }
    EXPECT_EQ(stepPhraseChooser(Model::WQ5000).items()[501], "B001");
}

TEST(PatternEdit, EnterWritesFileThenRecordAsOneStep) {
    struct Case {
        Model model;
        std::uint32_t mode;  // the record's pattern mode byte
        bool interruptPhrase;
        std::optional<std::uint8_t> play;
        bool failWrite;
        std::uint32_t modeAfter;
        std::uint32_t playAfter;
        bool corrected;
    };
    const Case cases[] = {
        {Model::WQ7000, 2, false, 7, false, 1, 7, true},
        {Model::WQ7000, 3, true, std::nullopt, false, 3, 1, false},
        {Model::WQ7000, 0, false, 1, false, 0, 1, false},
        {Model::WQ5000, 4, false, std::nullopt, false, 2, 0, true},
        {Model::WQ5000, 1, false, std::nullopt, false, 1, 0, false},
        {Model::WQ7000, 2, false, 9, true, 2, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        Card card(c.model);
        const PatternKind kind = madeKind(c.model, false);
        ASSERT_TRUE(makeNewPhrase(card.doc, kSlot, kind));
        card.doc.edit("mode", [&] { card.doc.phr().setPatternMode(kSlot, c.mode); });
        const auto fileBefore = readBytes(card.dataFile());
        const auto recordBefore = card.record();
        PatternData data(kind);
        data.setStepRef(0, 3);
        if (c.interruptPhrase) data.setStepRef(120, 4);
        FaultyFileSystem faulty;
        if (c.failWrite) faulty.failAt(FsOp::Write, 1, ENOSPC);
        const StoreResult r = storeEditedSteps(card.doc, kSlot, data, c.play, faulty);
        EXPECT_EQ(static_cast<bool>(r.status), !c.failWrite);
        EXPECT_EQ(r.interruptCorrected, c.corrected);
        EXPECT_EQ(card.doc.phr().getPatternMode(kSlot), c.modeAfter);
        EXPECT_EQ(card.doc.phr().getRegistered(kSlot), c.playAfter);
        if (c.failWrite) {
            EXPECT_EQ(readBytes(card.dataFile()), fileBefore);
            EXPECT_EQ(card.record(), recordBefore);
            continue;
        }
        EXPECT_EQ(readBytes(card.dataFile()), patternFileBytes(data));
        // A record change is one undo step.
        if (c.corrected || (c.model == Model::WQ7000 && c.playAfter != 1)) {
            EXPECT_TRUE(card.doc.undo());
        }
        EXPECT_EQ(card.record(), recordBefore);
    }
}
