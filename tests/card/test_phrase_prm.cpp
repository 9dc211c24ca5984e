// Phrase data files made by hand: pattern and song files (layouts to the
// byte, steps, sorting, reading checks, safe writing), the MIDI scan, and
// probing and registering files of every kind on both models: recognition,
// the record bytes filled, refreshing and the WQ-5000 pattern conversion.
#include <gtest/gtest.h>

#include "card/FileIO.h"
#include "card/MidiFile.h"
#include "card/PatternFile.h"
#include "card/PhrasePrm.h"
#include "codec/TestSignals.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace wqe {
namespace {

using Bytes = std::vector<std::uint8_t>;
using F = PhraseField;
using K = PatternKind;
using Fields = std::vector<std::pair<PhraseField, std::uint32_t>>;
constexpr Model W7 = Model::WQ7000;
constexpr Model W5 = Model::WQ5000;
std::uint8_t u8(std::uint32_t v) { return static_cast<std::uint8_t>(v); }
std::uint32_t u32(int v) { return static_cast<std::uint32_t>(v); }

Bytes fromHex(std::string_view hex) {
    Bytes out;
    for (std::size_t k = 0; k < hex.size(); ++k)
        if (hex[k] != ' ')
            out.push_back(u8(std::stoul(std::string(hex.substr(k++, 2)), nullptr, 16)));
    return out;
}

Bytes kpacFile(int grade, int mode, int channels, std::uint32_t blocks,
               std::size_t dataBytes = 64) {
    Bytes f = {'Q', 'W', 'h', 'P', 's', 'r', u8(grade), u8(mode), 0, u8(channels - 1)};
    // The 32-bit block count: high word first, each word low byte first.
    for (int shift : {16, 24, 0, 8}) f.push_back(u8(blocks >> shift));
    f.insert(f.end(), {0, 0});
    f.resize(f.size() + dataBytes, 0x11);
    return f;
}

Bytes patternFile(const PatternData& d) {
    Bytes f;
    f.reserve(1024);
    f.insert(f.end(), kPatternHeader, kPatternHeader + 6);
    f.insert(f.end(), d.block().begin(), d.block().end());
    return f;
}
Bytes blockOf(const PatternData& d) { return Bytes(d.block().begin(), d.block().end()); }
Bytes cut(Bytes f, std::size_t size) {
    f.resize(size);
    return f;
}

Bytes withHeader(unsigned format, unsigned timeBase, const Bytes& body) {
    Bytes f = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
    for (unsigned v : {format >> 8, format & 0xFF, 0u, 1u, timeBase >> 8, timeBase & 0xFF})
        f.push_back(u8(v));
    f.insert(f.end(), body.begin(), body.end());
    return f;
}

// A one-track file of `events` and the end of the track.
Bytes midiFile(const Bytes& events, unsigned format = 0) {
    Bytes track = {'M', 'T', 'r', 'k', 0, 0, 0, u8(events.size() + 4)};
    track.insert(track.end(), events.begin(), events.end());
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    return withHeader(format, 480, track);
}

Bytes setTempo(std::uint32_t us) {
    return {0x00, 0xFF, 0x51, 0x03, u8(us >> 16), u8(us >> 8), u8(us)};
}

// A WAV file; `junk` bytes of another chunk come before the data chunk;
// `statedData` overrides the data chunk's size.
Bytes wavFile(int channels, std::uint32_t rate, int bits, std::uint32_t dataBytes,
              std::uint32_t junk = 0, std::optional<std::uint32_t> statedData = std::nullopt) {
    const auto align = u32(channels * bits / 8);
    Bytes body = {'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0};
    test::put16le(body, u32(channels));
    test::put32le(body, rate);
    test::put32le(body, rate * align);
    test::put16le(body, align);
    test::put16le(body, u32(bits));
    if (junk) test::putChunk(body, "junk", Bytes(junk, 0));
    body.insert(body.end(), {'d', 'a', 't', 'a'});
    test::put32le(body, statedData.value_or(dataBytes));
    body.resize(body.size() + dataBytes, 0x22);
    Bytes f = {'R', 'I', 'F', 'F'};
    test::put32le(f, u32(body.size()));
    f.insert(f.end(), body.begin(), body.end());
    return f;
}

Bytes recordOf(const CPhrasePrm& p) { return Bytes(p.bytes().begin(), p.bytes().end()); }

Fields with(Fields a, const Fields& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The erased record of a model with some fields set.
Bytes record(Model m, const Fields& fields, std::string_view name = {}) {
    auto prm = CPhrasePrm::create(m);
    for (auto [f, v] : fields) prm->fields().set(0, f, v);
    if (!name.empty()) prm->fields().setName(0, name);
    return recordOf(*prm);
}

struct Probe {
    test::TempDir dir;
    fs::path put(const std::string& name, const Bytes& bytes) {
        test::writeBytes(dir / name, bytes);
        return dir / name;
    }
};

// The kinds each model takes: the grade and mode limits here. Accepted audio,
// patterns and songs: RegisteredRecords, CheckingRefusesAnotherKind; refused
// files of other kinds (15 bytes, a foreign magic, pattern kind 3, a song or
// grade 5 on a WQ-5000) are pinned with their messages by tests/data/broken
// (copy-*).
TEST(PhrasePrm, RecognisesPhrFilesPerModel) {
    // What, file, kind on a WQ-7000 and on a WQ-5000 (-1: not recognised).
    const std::tuple<const char*, Bytes, int, int> cases[] = {
        {"KPAC 48 kHz", kpacFile(5, 0, 1, 10), 1, -1},
        {"KPAC MODE3", kpacFile(3, 3, 1, 10), 1, -1},
        {"KPAC grade 6", kpacFile(6, 0, 1, 10), -1, -1},
        {"KPAC mode 5", kpacFile(0, 5, 1, 10), -1, -1},
        {"header only", kpacFile(0, 0, 1, 0, 0), 1, 1},
    };
    for (const auto& [what, file, kind7000, kind5000] : cases) {
        for (Model m : {W7, W5}) {
            Probe probe;
            auto prm = CPhrasePrm::create(m);
            const int want = m == W7 ? kind7000 : kind5000;
            EXPECT_EQ(prm->registerPhr(probe.put("_WQP0001.PHR", file), 0, "CARD"), want >= 0)
                << what << ' ' << modelName(m);
            EXPECT_EQ(prm->kind(), std::max(want, 0)) << what << ' ' << modelName(m);
        }
    }
    EXPECT_FALSE(CPhrasePrm::create(W7)->registerPhr("/nonexistent/_WQP0001.PHR", 0, "CARD"));
}

TEST(PhrasePrm, RegisteredRecords) {
    Probe probe;
    // A golden record, byte for byte (the WQ-5000 layout: test_card_files.cpp).
    auto w7 = CPhrasePrm::create(W7);
    ASSERT_TRUE(
        w7->registerPhr(probe.put("a.PHR", kpacFile(2, 1, 2, 0x12345, 100)), 41, "LONGCARDNAME"));
    EXPECT_EQ(recordOf(*w7),
              fromHex("010000000000000000004c4f4e474341 52443034322000020101100045230100 "
                      "74000000000000004523010000000000 45230100640000000000000000017373 "
                      "00000000000000000000000000000000"));

    struct Case {
        const char* what;
        Model model;
        Bytes file;
        int index;
        std::string_view prefix;
        Fields fields;
        const char* name;
    };
    const Fields reg7 = {{F::Volume, 100}, {F::Registered, 1}, {F::Tempo, 115}, {F::Tempo2, 115}};
    const Fields seq7 = with(reg7, {{F::Grade, 3}, {F::Mode, 3}, {F::RecordingType, 1}});
    const Fields pat5 = {
        {F::Used, 1}, {F::Volume, 0}, {F::PatternMode, 1}, {F::Tempo, 0}, {F::Tempo2, 0}};
    // clang-format off
    const Case cases[] = {
        {"MODE2 audio: no loop 2 point", W7, kpacFile(0, 2, 1, 500), 999, "DEMO",
         with(reg7, {{F::Type, 1}, {F::Mode, 2}, {F::DataOffset, 16}, {F::Length, 500},
                     {F::DataFileLength, 80}, {F::EndPoint, 500}}), "DEMO1000    "},
        {"song", W7, patternFile(PatternData(K::Song)), 0, "S",
         with(seq7, {{F::Type, 4}, {F::DataFileLength, 1024}}), "S001        "},
        {"WQ-7000 pattern, prefix to its zero byte", W7, patternFile(PatternData(K::Pattern7000)), 9,
         std::string_view("CARD\0NAME", 9), with(seq7, {{F::Type, 3}, {F::DataFileLength, 1024}}), "CARD010     "},
        {"WQ-5000 pattern", W5, patternFile(PatternData(K::Pattern5000)), 0, "P",
         with(pat5, {{F::DataFileLength, 512}}), "P001       "},
        {"WQ-7000 pattern on a WQ-5000", W5, patternFile(PatternData(K::Pattern7000)), 499, "ABCDEFGHIJ",
         with(pat5, {{F::DataFileLength, 1024}}), "ABCDEFGH500"},
        {"MIDI", W7, midiFile(setTempo(600000)), 1, "M",
         with(seq7, {{F::Type, 2}, {F::DataFileLength, 33}, {F::Tempo, 95}, {F::Tempo2, 95}}), "M002        "},
        {"WQ-5000 MIDI", W5, midiFile(setTempo(600000)), 1, "M",
         {{F::Used, 1}, {F::MidiFlag, 1}, {F::DataFileLength, 33}, {F::Volume, 0}, {F::Tempo, 95},
          {F::Tempo2, 95}}, "M002       "},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto prm = CPhrasePrm::create(c.model);
        const bool midi = c.file[0] == 'M';
        const auto path = probe.put(midi ? "_WQP.MID" : "_WQP.PHR", c.file);
        ASSERT_TRUE(midi ? prm->registerMid(path, c.index, c.prefix)
                         : prm->registerPhr(path, c.index, c.prefix))
            << c.what;
        EXPECT_EQ(recordOf(*prm), record(c.model, c.fields, c.name)) << c.what;
    }
    // A refused file leaves the record as it was.
    auto w5 = CPhrasePrm::create(W5);
    EXPECT_FALSE(w5->registerWav(probe.put("w.WAV", wavFile(1, 8000, 16, 64)), 0, "P"));
    EXPECT_FALSE(w5->registerMid(probe.put("m.MID", midiFile({}, 0x0100)), 0, "P"));
    EXPECT_EQ(recordOf(*w5), record(W5, {}));
}

TEST(PhrasePrm, Wq5000PatternIsConvertedOnAWq7000Card) {
    Probe probe;
    Bytes old = patternFile(PatternData(K::Pattern5000));
    old[6 + 10] = old[6 + 11] = 0x01;  // step 1 refers to phrase reference 0x0101
    old[6 + 504] = 3;
    Bytes longer = old;
    longer.resize(700, 0x5A);
    for (const Bytes& file : {old, longer}) {
        const auto path = probe.put("_WQP0003.PHR", file);
        auto prm = CPhrasePrm::create(W7);
        ASSERT_TRUE(prm->registerPhr(path, 2, "CARD"));
        Bytes want(file.begin(), file.begin() + 512);
        want[9] = 1;
        want.resize(1024, 0);
        std::fill(want.begin() + 512, want.begin() + 640, 100);
        EXPECT_EQ(test::readBytes(path), want);
        EXPECT_EQ(prm->kind(), kTypePattern);
        EXPECT_EQ(prm->fields().getDataFileLength(0), 1024u);
    }
    // Cut short: neither converted nor registered.
    Bytes cut = old;
    cut.resize(300);
    auto prm = CPhrasePrm::create(W7);
    EXPECT_FALSE(prm->registerPhr(probe.put("_WQP0004.PHR", cut), 3, "CARD"));
    EXPECT_EQ(test::readBytes(probe.dir / "_WQP0004.PHR"), cut);
    // A failed rewrite leaves the old file and registers nothing.
    const auto path5 = probe.put("_WQP0005.PHR", old);
    test::FaultyFileSystem full;
    full.failAt(test::FsOp::Write, 1, ENOSPC);
    EXPECT_FALSE(prm->registerPhr(path5, 4, "CARD", full));
    EXPECT_TRUE(full.fired());
    EXPECT_EQ(test::readBytes(path5), old);
    EXPECT_EQ(prm->kind(), kTypeEmpty);
}

TEST(PhrasePrm, CheckingMidiRefreshesLengthAndSecondTempoByte) {
    Probe probe;
    const auto path = probe.put("_WQP0002.MID", midiFile(setTempo(500000)));
    const auto longer = probe.put("_WQP0003.MID", midiFile(setTempo(600000)));
    auto prm = CPhrasePrm::create(W7);
    ASSERT_TRUE(prm->registerMid(path, 1, "CARD"));
    CWQEPhr p = prm->fields();
    p.setTempo(0, 7);
    p.setTempo2(0, 8);
    ASSERT_TRUE(prm->checkMid(longer));
    EXPECT_EQ(p.getTempo(0), 7u);
    EXPECT_EQ(p.getTempo2(0), 95u);
    EXPECT_EQ(p.getDataFileLength(0), 33u);
}

TEST(PhrasePrm, CheckingAudioAgainstItsPhrFile) {
    Probe probe;
    const auto file = probe.put("_WQP0001.PHR", kpacFile(3, 0, 1, 1000, 200));  // H = 1000, F = 216
    const Fields points = {
        {F::StartPoint, 10}, {F::EndPoint, 900}, {F::Loop1Point, 20}, {F::Loop2Point, 800}};
    const Fields reset = {
        {F::StartPoint, 0}, {F::EndPoint, 1000}, {F::Loop1Point, 0}, {F::Loop2Point, 1000}};
    // `edit` goes on a record registered from the file; `expected` on the same record is the state
    // after the check.
    struct Case {
        const char* what;
        Model model;
        Fields edit, expected;
    };
    // clang-format off
    const Case cases[] = {
        {"agrees: points kept", W7, points, points},
        {"length one short, D 16 short: kept, D and offset refreshed", W7,
         with(points, {{F::Length, 999}, {F::DataFileLength, 200}, {F::DataOffset, 0}}), with(points, {{F::Length, 999}})},
        {"length two short: rebuilt", W7, with(points, {{F::Length, 998}}), reset},
        {"D 17 short: rebuilt", W7, with(points, {{F::DataFileLength, 199}}), reset},
        {"MODE2 record of a LINEAR file: rebuilt", W7, with(points, {{F::Mode, 2}}), reset},
        {"WQ-5000 stereo record: rebuilt", W5,
         {{F::RecordingType, 1}, {F::Length, 3}, {F::DataFileLength, 1}, {F::StartPoint, 5}}, {{F::StartPoint, 5}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        auto prm = CPhrasePrm::create(c.model);
        ASSERT_TRUE(prm->registerPhr(file, 0, "A"));
        auto want = CPhrasePrm::create(c.model);
        std::copy(prm->bytes().begin(), prm->bytes().end(), want->bytes().begin());
        for (auto [f, v] : c.edit) prm->fields().set(0, f, v);
        for (auto [f, v] : c.expected) want->fields().set(0, f, v);
        ASSERT_TRUE(prm->checkPhr(file)) << c.what;
        EXPECT_EQ(recordOf(*prm), recordOf(*want)) << c.what;
    }
    // A MODE2 record that agrees only has its end point moved to the length.
    const auto mode2 = probe.put("_WQP0002.PHR", kpacFile(3, 2, 1, 1000, 200));
    auto prm = CPhrasePrm::create(W7);
    ASSERT_TRUE(prm->registerPhr(mode2, 1, "A"));
    CWQEPhr p = prm->fields();
    p.setEndPoint(0, 5);
    p.setStartPoint(0, 3);
    ASSERT_TRUE(prm->checkPhr(mode2));
    EXPECT_EQ(p.getEndPoint(0), 1000u);
    EXPECT_EQ(p.getStartPoint(0), 3u);
}

// A check against a file of another kind, or one that cannot be read, fails
// and leaves the record as it was; an empty record matches nothing.
TEST(PhrasePrm, CheckingRefusesAnotherKind) {
    Probe probe;
    const auto kpac = probe.put("k.PHR", kpacFile(0, 0, 1, 10));
    const auto kpac48 = probe.put("k48.PHR", kpacFile(5, 0, 1, 10));
    const auto p5 = probe.put("p5.PHR", patternFile(PatternData(K::Pattern5000)));
    const auto p7 = probe.put("p7.PHR", patternFile(PatternData(K::Pattern7000)));
    const auto song = probe.put("s.PHR", patternFile(PatternData(K::Song)));
    const auto cut15 = probe.put("cut.PHR", cut(patternFile(PatternData(K::Pattern7000)), 15));
    const auto mid = probe.put("m.MID", midiFile(setTempo(500000)));
    const auto wav = probe.put("w.WAV", wavFile(2, 32000, 16, 6400));
    const auto wav24 = probe.put("w24.WAV", wavFile(1, 32000, 24, 6400));
    const fs::path empty, missing = probe.dir / "missing.MID";
    // Register from (empty: none), check as P(hr), M(id) or W(av), ok.
    // clang-format off
    const std::tuple<Model, fs::path, char, fs::path, bool> cases[] = {
        {W7, p7, 'P', p7, true},      {W7, p7, 'P', song, false},     {W7, song, 'P', song, true},
        {W7, p7, 'P', kpac, false},   {W7, p7, 'P', cut15, false},    {W7, kpac, 'P', kpac48, true},
        {W5, p5, 'P', p5, true},      {W5, p5, 'P', p7, false},       {W7, empty, 'P', kpac, false},
        {W7, mid, 'M', kpac, false},  {W7, mid, 'M', missing, false}, {W7, kpac, 'M', mid, false},
        {W7, wav, 'W', wav24, false}, {W7, kpac, 'W', wav, false},    {W5, empty, 'W', wav, false},
    };
    // clang-format on
    for (const auto& [model, from, check, file, ok] : cases) {
        const auto what = from.filename().string() + ' ' + check + ' ' + file.filename().string();
        auto prm = CPhrasePrm::create(model);
        const auto ext = from.extension();
        if (!from.empty()) {
            ASSERT_TRUE(ext == ".MID"   ? prm->registerMid(from, 0, "A")
                        : ext == ".WAV" ? prm->registerWav(from, 0, "A")
                                        : prm->registerPhr(from, 0, "A"))
                << what;
        }
        prm->fields().setDataFileLength(0, 7);
        const Bytes before = recordOf(*prm);
        const bool checked = check == 'M'   ? prm->checkMid(file)
                             : check == 'W' ? prm->checkWav(file)
                                            : prm->checkPhr(file);
        EXPECT_EQ(checked, ok) << what;
        EXPECT_EQ(recordOf(*prm) == before, !ok) << what;
    }
}

TEST(PhrasePrm, WavPhrases) {
    struct Case {
        const char* what;
        Bytes file;
        int grade, recType, offset;
        std::uint32_t length;
    };
    const Case cases[] = {
        // grade -1: refused (24 bits and foreign files: tests/data/broken, copy-*)
        {"stereo 44.1 kHz", wavFile(2, 44100, 16, 4000), 4, 1, 44, 62},
        {"mono 8 kHz", wavFile(1, 8000, 16, 3200), 0, 0, 44, 100},
        {"22.05 kHz after a chunk", wavFile(1, 22050, 16, 320, 10), 2, 0, 62, 10},
        {"data cut short", wavFile(1, 16000, 16, 320, 0, 3200), 1, 0, 44, 10},
        {"96 kHz", wavFile(1, 96000, 16, 320), -1, 0, 0, 0},
        {"odd data offset", wavFile(1, 8000, 16, 320, 3), -1, 0, 0, 0},
        {"data beyond 4095", wavFile(1, 8000, 16, 320, 4100), -1, 0, 0, 0},
    };
    const Fields reg7 = {{F::Type, 1},       {F::Mode, 5},    {F::Volume, 100},
                         {F::Registered, 1}, {F::Tempo, 115}, {F::Tempo2, 115}};
    for (const Case& c : cases) {
        Probe probe;
        auto prm = CPhrasePrm::create(W7);
        ASSERT_EQ(prm->registerWav(probe.put("_WQP0001.WAV", c.file), 0, "WAVCARD"), c.grade >= 0)
            << c.what;
        if (c.grade < 0) continue;
        const Fields format = {{F::Grade, u32(c.grade)},
                               {F::RecordingType, u32(c.recType)},
                               {F::DataOffset, u32(c.offset)},
                               {F::Length, c.length},
                               {F::EndPoint, c.length},
                               {F::Loop2Point, c.length},
                               {F::DataFileLength, u32(int(c.file.size()))}};
        EXPECT_EQ(recordOf(*prm), record(W7, with(reg7, format), "WAVCARD001  ")) << c.what;
        EXPECT_EQ(prm->dataFileName("d/", 0), "d/_WQP0001.WAV");
    }
}

TEST(PhrasePrm, CheckingAWavRecord) {
    Probe probe;
    const auto path = probe.put("_WQP0001.WAV", wavFile(2, 32000, 16, 6400));
    auto prm = CPhrasePrm::create(W7);
    ASSERT_TRUE(prm->registerWav(path, 0, "W"));
    CWQEPhr p = prm->fields();
    p.setEndPoint(0, 50);  // the user's points and name survive a matching file
    p.setName(0, "MY WAV");
    const Bytes edited = recordOf(*prm);
    ASSERT_TRUE(prm->checkWav(path));
    EXPECT_EQ(recordOf(*prm), edited);
    // The file changed: format fields follow it, the points reset.
    probe.put("_WQP0001.WAV", wavFile(1, 32000, 16, 6400));
    ASSERT_TRUE(prm->checkWav(path));
    EXPECT_EQ(p.getRecordingType(0), 0u);
    EXPECT_EQ(p.getLength(0), 200u);
    EXPECT_EQ(p.getEndPoint(0), 200u);
    EXPECT_EQ(p.getLoop2Point(0), 200u);
    EXPECT_EQ(prm->name(), "MY WAV");
}

TEST(PhrasePrm, KindsAndFileNamesFromRecords) {
    const std::tuple<Model, Fields, int, const char*> cases[] = {
        {W7, {}, 0, ""},
        {W7, {{F::Type, 1}, {F::Mode, 5}}, 1, "_WQP0010.WAV"},
        {W7, {{F::Type, 2}, {F::Mode, 5}}, 2, "_WQP0010.MID"},
        {W7, {{F::Type, 5}}, 0, ""},
        {W5, {{F::Used, 2}}, 0, ""},
        {W5, {{F::Used, 1}, {F::MidiFlag, 1}, {F::PatternMode, 1}}, 2, "_WQP0010.MID"},
        {W5, {{F::Used, 1}, {F::PatternMode, 4}}, 3, "_WQP0010.PHR"},
        {W5, {{F::Used, 1}, {F::MidiFlag, 2}, {F::PatternMode, 1}}, 1, "_WQP0010.PHR"},
    };
    for (const auto& [model, fields, kind, file] : cases) {
        auto prm = CPhrasePrm::create(model);
        for (auto [f, v] : fields) prm->fields().set(0, f, v);
        EXPECT_EQ(prm->kind(), kind) << file;
        EXPECT_EQ(prm->dataFileName("", 9), file) << kind;
    }
}

TEST(PhrasePrm, CopiesRecordsOfATable) {
    Bytes image = CWQEPhr::erasedImage(W7, 3);
    CWQEPhr table;
    table.setModel(W7);
    table.attach(image);
    table.setVolume(1, 42);
    table.setName(1, "SECOND");
    auto prm = CPhrasePrm::create(table, 1);
    EXPECT_TRUE(prm->sameAs(table, 1));
    EXPECT_FALSE(prm->sameAs(table, 0));
    EXPECT_FALSE(prm->sameAs(table, 3));  // outside the table
    prm->fields().setVolume(0, 43);
    EXPECT_FALSE(prm->sameAs(table, 1));
    prm->copyTo(table, 2);
    EXPECT_EQ(table.getVolume(2), 43u);
    EXPECT_EQ(table.getName(2), "SECOND");
    prm->copyTo(table, 3);  // outside: nothing written
    prm->copyFrom(table, 7);
    EXPECT_EQ(recordOf(*prm), record(W7, {}));
}

TEST(PatternFile, EmptyFilesToTheByte) {
    // The empty WQ-7000 pattern file written out by hand.
    Bytes w7 = {'W', 'Q', 'P', 'h', 'r', 's', 0xFF, 0xFF, 0xFF, 0x01, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 100; ++i) w7.insert(w7.end(), {0xFF, 0xFF, 0x00, 0x00});
    for (int i = 0; i < 28; ++i) w7.insert(w7.end(), {0xFF, 0xFF});
    w7.insert(w7.end(), 40, 0);
    w7.insert(w7.end(), 128, 100);
    w7.insert(w7.end(), 384, 0);
    EXPECT_EQ(patternFile(PatternData(K::Pattern7000)), w7);
    Bytes w5 = cut(w7, 512);
    w5[9] = 0;
    EXPECT_EQ(patternFile(PatternData(K::Pattern5000)), w5);
    Bytes song = {'W', 'Q', 'P', 'h', 'r', 's', 0xFF, 0xFF, 0xFF, 0x02, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 100; ++i) song.insert(song.end(), {0xFF, 0xFF});
    song.insert(song.end(), 808, 0);
    EXPECT_EQ(patternFile(PatternData(K::Song)), song);
}

TEST(PatternFile, StepFieldsLandOnTheirBytes) {
    PatternData d(K::Pattern7000);
    Bytes want = blockOf(d);
    d.setStepVolume(0, 50);  // volumes: byte pairs swapped, step 0 at 507
    d.setStepVolume(1, 51);
    d.setStepVolume(127, 7);
    d.setStepRef(0, 1001);  // references and intervals: big-endian
    d.setStepInterval(99, 599);
    d.setStepRef(127, 6);  // the interrupt steps 101 to 128 hold a reference only
    d.setStepInterval(100, 9);
    d.setInterruptStep(3);
    const std::pair<std::size_t, std::uint8_t> bytes[] = {
        {507, 50},   {506, 51},   {632, 7},    {10, 0x03}, {11, 0xE9},
        {408, 0x02}, {409, 0x57}, {464, 0x00}, {465, 6},   {504, 3}};
    for (auto [at, value] : bytes) want[at] = value;
    EXPECT_EQ(blockOf(d), want);
    PatternData w5(K::Pattern5000);
    w5.setStepVolume(0, 1);  // the WQ-5000 has no volumes
    EXPECT_EQ(w5, PatternData(K::Pattern5000));
    EXPECT_FALSE(w5.hasInterruptPhrase());
    w5.setStepRef(127, 0);
    EXPECT_TRUE(w5.hasInterruptPhrase());
}

TEST(PatternFile, SongStepsAreStoredSorted) {
    PatternData song(K::Song);
    song.storeSongSteps({{4, 5000}, {7, 1000}, {kSongStop, 0}});
    const auto steps = song.songSteps();
    EXPECT_EQ(std::vector<SongStep>(steps.begin(), steps.begin() + 4),
              (std::vector<SongStep>{{7, 1000}, {4, 5000}, {kSongStop, 0}, {kStepUnused, 0}}));
    EXPECT_EQ(Bytes(&song.block()[210], &song.block()[214]),
              (Bytes{0, 0, 0x03, 0xE8}));  // big-endian at 210 + 4i
    // Equal start times keep their order; every other value counts as a
    // phrase; unused steps lose their start time; stops sort by time.
    std::vector<SongStep> mixed = {{kStepUnused, 900}, {kSongStop, 300}, {16384, 200}, {3, 200},
                                   {kSongStop, 100},   {2, 200},         {1, 50}};
    sortSongSteps(mixed);
    EXPECT_EQ(mixed, (std::vector<SongStep>{{1, 50},
                                            {16384, 200},
                                            {3, 200},
                                            {2, 200},
                                            {kSongStop, 100},
                                            {kSongStop, 300},
                                            {kStepUnused, 0}}));
}

TEST(PatternFile, ReadingChecksMagicKindAndSize) {
    const auto p7 = patternFile(PatternData(K::Pattern7000));
    const auto p5 = patternFile(PatternData(K::Pattern5000));
    auto foreign = p7, kind3 = p7, otherHeaderEnd = p7;
    foreign[0] = 'Q';
    kind3[9] = 3;
    otherHeaderEnd[4] = 'x';  // only "WQPh" is checked
    using S = PatternReadStatus;
    const std::tuple<const char*, Bytes, Model, S> cases[] = {
        {"WQ-7000 pattern", p7, Model::WQ7000, S::Ok},
        {"longer file", cut(p7, 2000), Model::WQ7000, S::Ok},
        {"header end not checked", otherHeaderEnd, Model::WQ7000, S::Ok},
        {"kind 1 on a WQ-5000", p7, Model::WQ5000, S::NotSupported},
        {"kind 0 on a WQ-7000", p5, Model::WQ7000, S::NotSupported},
        {"kind 3", kind3, Model::WQ7000, S::NotSupported},
        {"foreign magic", foreign, Model::WQ7000, S::NotSupported},
        {"15 bytes", cut(p7, 15), Model::WQ7000, S::Short},
        {"block cut short", cut(p7, 1023), Model::WQ7000, S::Short},
    };
    for (const auto& [what, bytes, model, status] : cases) {
        const PatternReadResult r = parsePatternFile(bytes, model, "_WQP0001.PHR");
        EXPECT_EQ(r.status, status) << what;
        EXPECT_EQ(r.data.has_value(), status == S::Ok) << what;
        EXPECT_EQ(r.error.starts_with("_WQP0001.PHR: "), status != S::Ok) << r.error;
    }
    EXPECT_EQ(parsePatternFile(p7, Model::WQ5000).error,
              "pattern file: a WQ-7000 pattern file, which a WQ-5000 card does not use");
}

TEST(PatternFile, WriteKeepsTheTailOfALongerFile) {
    test::TempDir dir;
    const auto path = dir / "_WQP0005.PHR";
    PatternData d(K::Pattern5000);  // a new file gets exactly header and block
    d.setStepRef(0, 499);
    ASSERT_TRUE(writePatternFile(path, d));
    EXPECT_EQ(test::readBytes(path), patternFile(d));
    // An older, longer file keeps its bytes beyond the block.
    Bytes old(3000);
    for (std::size_t k = 0; k < old.size(); ++k) old[k] = static_cast<std::uint8_t>(k * 7);
    test::writeBytes(path, old);
    PatternData song(K::Song);
    song.storeSongSteps({{1, 2}});
    ASSERT_TRUE(writePatternFile(path, song));
    Bytes want = patternFile(song);
    want.insert(want.end(), old.begin() + 1024, old.end());
    EXPECT_EQ(test::readBytes(path), want);
}

TEST(MidiFile, TextsAndTempoOfTheWholeScan) {
    const Bytes body = {
        0xFF, 0x03, 4,    'F',  'i',  'r',  's',       // sequence name
        0xFF, 0x02, 3,    0xFF, 0x51, 0x03,            // notice whose text looks like a tempo event
        0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0,            // 600000 us: 100 bpm
        0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,            // a later tempo does not count
        0xFF, 0x03, 5,    'S',  'e',  'c',  'o', 'n',  // a later name replaces the first
        0xFF, 0x2F, 0x00, 0xFF, 0x03, 4,    'L', 'a', 't', 'e',  // after the end of track
    };
    const Bytes file = withHeader(1, 480, body);
    const auto info = scanMidiInfo(file);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->header.format, 1);
    EXPECT_EQ(info->header.timeBase, 480);
    EXPECT_EQ(info->tempo, 100);
    EXPECT_EQ(info->sequenceName, "Secon");
    EXPECT_EQ(info->notice, std::string("\xFF\x51\x03"));
    // The registration scan reads byte by byte without skipping texts: it
    // takes the notice's bytes for a set-tempo event (value 0xFF5103).
    EXPECT_EQ(scanMidiTempo(file), 3);
}

// The byte after 0xFF is the event's type and never starts another event,
// so registration and phrase copy agree on every file.
TEST(MidiFile, TempoScanAndTempoByte) {
    const struct {
        Bytes body;
        std::optional<int> tempo;
        std::uint8_t tempoByte;
    } cases[] = {
        {{0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0}, 100, 95},
        {{0xFF, 0x51, 0x03, 0x03, 0x85, 0x72}, 259, 254},  // the last tempo below the cap
        {{0x00, 0xFF, 0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0}, std::nullopt, 115},
        {{0xFF, 0x2F, 0x00, 0xFF, 0x51, 0x03, 0x09, 0x27, 0xC0}, std::nullopt, 115},
        {{0xFF, 0x51, 0x03, 0x00, 0x00, 0x00}, std::nullopt, 115},  // no tempo from 0
        {{0xFF, 0x51, 0x03, 0x09, 0x27}, std::nullopt, 115},        // cut short
        {{0xFF, 0x51, 0x03, 0x00, 0x27, 0x10}, 6000, 255},          // 10000 us, beyond 260 bpm
        {{0xFF, 0x51, 0x03, 0xFF, 0xFF, 0xFF}, 3, 0},               // below 5 bpm
        {{}, std::nullopt, 115},
    };
    for (const auto& c : cases) {
        const Bytes file = withHeader(0, 96, c.body);
        EXPECT_EQ(scanMidiTempo(file), c.tempo) << &c - cases;
        EXPECT_EQ(midiTempoByte(scanMidiTempo(file)), c.tempoByte) << &c - cases;
    }
}

// Short headers and format 256 are refused with their message in
// tests/data/broken (copy-midi-*).
TEST(MidiFile, CutTextsAndFormatTwo) {
    EXPECT_EQ(scanMidiInfo(withHeader(0, 96, {0xFF, 0x03, 10, 'a', 'b'}))->sequenceName, "ab");
    EXPECT_EQ(readMidiHeader(withHeader(2, 96, {}))->format, 2);
}

}  // namespace
}  // namespace wqe
