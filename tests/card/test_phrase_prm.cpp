// Probing and registering phrase data files on hand-made files of every
// kind, both models: recognition, the record bytes filled, refreshing,
// the WQ-5000 pattern conversion and the MIDI tempo.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "card/FileIO.h"
#include "card/MidiFile.h"
#include "card/PatternFile.h"
#include "card/PhrasePrm.h"
#include "support/TempDir.h"

namespace wqe {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::TempDir;

Bytes kpacFile(int grade, int mode, int channels, std::uint32_t blocks,
               std::size_t dataBytes = 64) {
    Bytes f = {'Q',
               'W',
               'h',
               'P',
               's',
               'r',
               static_cast<std::uint8_t>(grade),
               static_cast<std::uint8_t>(mode),
               0,
               static_cast<std::uint8_t>(channels - 1)};
    // 32-bit value: high word first, each word low byte first.
    f.insert(f.end(),
             {static_cast<std::uint8_t>(blocks >> 16), static_cast<std::uint8_t>(blocks >> 24),
              static_cast<std::uint8_t>(blocks), static_cast<std::uint8_t>(blocks >> 8), 0, 0});
    f.resize(f.size() + dataBytes, 0x11);
    return f;
}

Bytes patternFile(PatternKind kind) {
    PatternData d(kind);
    Bytes f(kPatternHeader, kPatternHeader + 6);
    f.insert(f.end(), d.block().begin(), d.block().end());
    return f;
}

// A MIDI file of format `format` with one track holding `events`.
Bytes midiFile(const Bytes& events, std::uint16_t format = 0) {
    Bytes f = {'M',
               'T',
               'h',
               'd',
               0,
               0,
               0,
               6,
               static_cast<std::uint8_t>(format >> 8),
               static_cast<std::uint8_t>(format),
               0,
               1,
               0x01,
               0xE0,
               'M',
               'T',
               'r',
               'k',
               0,
               0,
               0,
               static_cast<std::uint8_t>(events.size() + 4)};
    f.insert(f.end(), events.begin(), events.end());
    f.insert(f.end(), {0x00, 0xFF, 0x2F, 0x00});
    return f;
}

Bytes setTempo(std::uint32_t us) {
    return {0x00,
            0xFF,
            0x51,
            0x03,
            static_cast<std::uint8_t>(us >> 16),
            static_cast<std::uint8_t>(us >> 8),
            static_cast<std::uint8_t>(us)};
}

void putLe(Bytes& f, std::uint32_t v, int size) {
    for (int k = 0; k < size; ++k) f.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
}

// A WAV file; `junk` bytes of another chunk come before the data chunk;
// `statedData` overrides the data chunk's size.
Bytes wavFile(int channels, std::uint32_t rate, int bits, std::uint32_t dataBytes,
              std::uint32_t junk = 0, std::optional<std::uint32_t> statedData = std::nullopt) {
    Bytes f = {'R', 'I', 'F', 'F'};
    putLe(f, 4 + 24 + (junk ? 8 + junk : 0) + 8 + dataBytes, 4);
    f.insert(f.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    putLe(f, 16, 4);
    putLe(f, 1, 2);
    putLe(f, static_cast<std::uint32_t>(channels), 2);
    putLe(f, rate, 4);
    putLe(f, rate * static_cast<std::uint32_t>(channels * bits / 8), 4);
    putLe(f, static_cast<std::uint32_t>(channels * bits / 8), 2);
    putLe(f, static_cast<std::uint32_t>(bits), 2);
    if (junk) {
        f.insert(f.end(), {'j', 'u', 'n', 'k'});
        putLe(f, junk, 4);
        f.resize(f.size() + junk, 0);
    }
    f.insert(f.end(), {'d', 'a', 't', 'a'});
    putLe(f, statedData.value_or(dataBytes), 4);
    f.resize(f.size() + dataBytes, 0x22);
    return f;
}

std::uint32_t le32(const CPhrasePrm& p, std::size_t off) {
    const auto b = p.bytes();
    return b[off] | b[off + 1] << 8 | b[off + 2] << 16 |
           static_cast<std::uint32_t>(b[off + 3]) << 24;
}
std::uint32_t be32(const CPhrasePrm& p, std::size_t off) {
    const auto b = p.bytes();
    return static_cast<std::uint32_t>(b[off]) << 24 | b[off + 1] << 16 | b[off + 2] << 8 |
           b[off + 3];
}
std::string nameBytes(const CPhrasePrm& p, std::size_t off, std::size_t len) {
    return std::string(reinterpret_cast<const char*>(p.bytes().data()) + off, len);
}

struct Probe {
    TempDir dir;
    fs::path put(const std::string& name, const Bytes& bytes) {
        test::writeBytes(dir / name, bytes);
        return dir / name;
    }
};

TEST(PhrasePrm, RecognisesPhrFilesPerModel) {
    struct Case {
        const char* what;
        Bytes file;
        int kind7000;  // -1: not recognised
        int kind5000;
    };
    Bytes short15 = kpacFile(0, 0, 1, 1, 0);
    short15.resize(15);
    Bytes foreign = wavFile(1, 8000, 16, 32);
    Bytes kind3 = patternFile(PatternKind::Pattern7000);
    kind3[9] = 3;
    const Case cases[] = {
        {"KPAC 8 kHz LINEAR", kpacFile(0, 0, 1, 10), 1, 1},
        {"KPAC 44.1 kHz MODE2", kpacFile(4, 2, 2, 10), 1, 1},
        {"KPAC 48 kHz", kpacFile(5, 0, 1, 10), 1, -1},
        {"KPAC MODE3", kpacFile(3, 3, 1, 10), 1, -1},
        {"KPAC H-LINEAR", kpacFile(3, 4, 1, 10), 1, -1},
        {"KPAC grade 6", kpacFile(6, 0, 1, 10), -1, -1},
        {"KPAC mode 5", kpacFile(0, 5, 1, 10), -1, -1},
        {"header only", kpacFile(0, 0, 1, 0, 0), 1, 1},
        {"15 bytes", short15, -1, -1},
        {"WQ-5000 pattern", patternFile(PatternKind::Pattern5000), 3, 3},
        {"WQ-7000 pattern", patternFile(PatternKind::Pattern7000), 3, 3},
        {"song", patternFile(PatternKind::Song), 4, -1},
        {"pattern kind 3", kind3, -1, -1},
        {"WAV data", foreign, -1, -1},
        {"empty file", {}, -1, -1},
    };
    for (const Case& c : cases) {
        for (Model m : {Model::WQ7000, Model::WQ5000}) {
            Probe probe;
            const auto path = probe.put("_WQP0001.PHR", c.file);
            auto prm = CPhrasePrm::create(m);
            const int want = m == Model::WQ7000 ? c.kind7000 : c.kind5000;
            EXPECT_EQ(prm->registerPhr(path, 0, "CARD"), want >= 0)
                << c.what << ' ' << modelName(m);
            EXPECT_EQ(prm->kind(), want >= 0 ? want : 0) << c.what << ' ' << modelName(m);
        }
    }
    auto prm = CPhrasePrm::create(Model::WQ7000);
    EXPECT_FALSE(prm->registerPhr("/nonexistent/_WQP0001.PHR", 0, "CARD"));
    EXPECT_TRUE(prm->sameAs(
        [] {
            static Bytes image = CWQEPhr::erasedImage(Model::WQ7000, 1);
            CWQEPhr p;
            p.attach(image);
            return p;
        }(),
        0));
}

TEST(PhrasePrm, RegisteredRecordBytes7000) {
    Probe probe;
    auto prm = CPhrasePrm::create(Model::WQ7000);
    ASSERT_TRUE(
        prm->registerPhr(probe.put("a.PHR", kpacFile(2, 1, 2, 0x12345, 100)), 41, "LONGCARDNAME"));
    const auto b = prm->bytes();
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(nameBytes(*prm, 10, 13), std::string("LONGCARD042 \0", 13));
    EXPECT_EQ(b[23], 2);
    EXPECT_EQ(b[24], 1);
    EXPECT_EQ(b[25], 1);
    EXPECT_EQ(b[26] | b[27] << 8, 16);
    EXPECT_EQ(le32(*prm, 28), 0x12345u);
    EXPECT_EQ(le32(*prm, 32), 116u);  // file length
    EXPECT_EQ(le32(*prm, 36), 0u);
    EXPECT_EQ(le32(*prm, 40), 0x12345u);
    EXPECT_EQ(le32(*prm, 44), 0u);
    EXPECT_EQ(le32(*prm, 48), 0x12345u);
    EXPECT_EQ(b[52], 100);
    EXPECT_EQ(b[61], 1);
    EXPECT_EQ(b[62], 115);
    EXPECT_EQ(b[63], 115);
    EXPECT_EQ(prm->name(), "LONGCARD042 ");
    EXPECT_EQ(prm->dataFileName("/c/", 41), "/c/_WQP0042.PHR");

    // MODE2 phrases get no loop 2 point.
    ASSERT_TRUE(prm->registerPhr(probe.put("b.PHR", kpacFile(0, 2, 1, 500)), 999, "DEMO"));
    EXPECT_EQ(le32(*prm, 48), 0u);
    EXPECT_EQ(le32(*prm, 40), 500u);
    EXPECT_EQ(prm->name(), "DEMO1000    ");

    // Songs and patterns.
    ASSERT_TRUE(prm->registerPhr(probe.put("c.PHR", patternFile(PatternKind::Song)), 0, "S"));
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 1), Bytes{4});
    EXPECT_EQ(b[23], 3);
    EXPECT_EQ(b[24], 3);
    EXPECT_EQ(b[25], 1);
    EXPECT_EQ(le32(*prm, 32), 1024u);
    EXPECT_EQ(le32(*prm, 28), 0u);
    EXPECT_EQ(b[52], 100);
    EXPECT_EQ(b[61], 1);
    EXPECT_EQ(b[62], 115);
    EXPECT_EQ(prm->name(), "S001        ");
}

TEST(PhrasePrm, RegisteredRecordBytes5000) {
    Probe probe;
    auto prm = CPhrasePrm::create(Model::WQ5000);
    ASSERT_TRUE(prm->registerPhr(probe.put("a.PHR", kpacFile(4, 2, 2, 4096, 20)), 6, "WQ-5000 "));
    const auto b = prm->bytes();
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(b[2], 4);
    EXPECT_EQ(b[3], 2);
    EXPECT_EQ(b[4], 1);
    EXPECT_EQ(b[5], 0);
    EXPECT_EQ(be32(*prm, 6), 4096u);
    EXPECT_EQ(be32(*prm, 10), 36u);
    EXPECT_EQ(b[14], 100);
    EXPECT_EQ(b[18] << 8 | b[19], 32768);  // the erased record's OFF values stay
    EXPECT_EQ(nameBytes(*prm, 22, 12), std::string("WQ-5000 007\0", 12));
    EXPECT_EQ(b[42], 115);

    ASSERT_TRUE(
        prm->registerPhr(probe.put("p.PHR", patternFile(PatternKind::Pattern5000)), 0, "P"));
    EXPECT_EQ(prm->kind(), kKindPattern);
    EXPECT_EQ(be32(*prm, 10), 512u);
    EXPECT_EQ(b[14], 0);
    EXPECT_EQ(b[15], 1);
    EXPECT_EQ(b[42], 0);
    EXPECT_EQ(b[43], 0);
    EXPECT_EQ(prm->name(), "P001       ");
    EXPECT_EQ(prm->dataFileName("", 0), "_WQP0001.PHR");
    EXPECT_FALSE(prm->registerWav(probe.put("w.WAV", wavFile(1, 8000, 16, 64)), 0, "P"));
    EXPECT_EQ(prm->kind(), kKindPattern);  // unchanged by the refusal
}

TEST(PhrasePrm, Wq5000PatternIsConvertedOnAWq7000Card) {
    Probe probe;
    Bytes old = patternFile(PatternKind::Pattern5000);
    old[6 + 10] = 0x01;  // step 0 refers to A0002 ... kept as it is
    old[6 + 11] = 0x01;
    old[6 + 504] = 3;
    Bytes longer = old;
    longer.resize(700, 0x5A);
    for (const Bytes& file : {old, longer}) {
        const auto path = probe.put("_WQP0003.PHR", file);
        auto prm = CPhrasePrm::create(Model::WQ7000);
        ASSERT_TRUE(prm->registerPhr(path, 2, "CARD"));
        Bytes want(file.begin(), file.begin() + 512);
        want[9] = 1;
        want.resize(1024, 0);
        std::fill(want.begin() + 512, want.begin() + 640, 100);
        EXPECT_EQ(test::readBytes(path), want);
        EXPECT_EQ(prm->kind(), kKindPattern);
        EXPECT_EQ(le32(*prm, 32), 1024u);
        // The result reads as a WQ-7000 pattern.
        const auto read = readPatternFile(path, Model::WQ7000);
        ASSERT_TRUE(read.data);
        EXPECT_EQ(read.data->stepRef(0), 0x0101);
        EXPECT_EQ(read.data->stepVolume(0), 100);
    }
    // A WQ-5000 pattern file cut short is not converted or registered.
    Bytes cut = old;
    cut.resize(300);
    const auto path = probe.put("_WQP0004.PHR", cut);
    auto prm = CPhrasePrm::create(Model::WQ7000);
    EXPECT_FALSE(prm->registerPhr(path, 3, "CARD"));
    EXPECT_EQ(test::readBytes(path), cut);
    // A failed rewrite leaves the old file and registers nothing.
    const auto path5 = probe.put("_WQP0005.PHR", old);
    setWriteFaultInjectorForTesting([](const fs::path&) { return std::optional<std::size_t>(10); });
    EXPECT_FALSE(prm->registerPhr(path5, 4, "CARD"));
    setWriteFaultInjectorForTesting(nullptr);
    EXPECT_EQ(test::readBytes(path5), old);
    EXPECT_EQ(prm->kind(), kKindEmpty);
}

TEST(PhrasePrm, MidiTempo) {
    struct Case {
        const char* what;
        Bytes file;
        std::optional<int> tempo;
        std::uint8_t tempoByte;
    };
    Bytes endFirst = midiFile({0x00, 0xFF, 0x2F, 0x00});
    endFirst.insert(endFirst.end(), {0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20});
    Bytes twoTempos = setTempo(600000);
    const Bytes second = setTempo(500000);
    twoTempos.insert(twoTempos.end(), second.begin(), second.end());
    Bytes cutTempo = midiFile({});
    cutTempo.resize(cutTempo.size() - 4);
    cutTempo.insert(cutTempo.end(), {0xFF, 0x51, 0x03, 0x07});
    const Case cases[] = {
        {"120 bpm", midiFile(setTempo(500000)), 120, 115},
        {"100 bpm", midiFile(setTempo(600000)), 100, 95},
        {"first one counts", midiFile(twoTempos), 100, 95},
        {"no tempo event", midiFile({0x00, 0x90, 0x40, 0x7F}), std::nullopt, 115},
        {"tempo 0", midiFile(setTempo(0)), std::nullopt, 115},
        {"end of track first", endFirst, std::nullopt, 115},
        {"cut inside the event", cutTempo, std::nullopt, 115},
        {"600 bpm", midiFile(setTempo(100000)), 600, 255},
        {"260 bpm", midiFile(setTempo(230770)), 259, 254},
        {"4 bpm", midiFile(setTempo(15000000)), 4, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(scanMidiTempo(c.file), c.tempo) << c.what;
        EXPECT_EQ(midiTempoByte(scanMidiTempo(c.file)), c.tempoByte) << c.what;
        for (Model m : {Model::WQ7000, Model::WQ5000}) {
            Probe probe;
            auto prm = CPhrasePrm::create(m);
            ASSERT_TRUE(prm->registerMid(probe.put("_WQP0001.MID", c.file), 0, "MIDI")) << c.what;
            const std::size_t tempoOffset = m == Model::WQ7000 ? 62 : 42;
            EXPECT_EQ(prm->bytes()[tempoOffset], c.tempoByte) << c.what;
            EXPECT_EQ(prm->bytes()[tempoOffset + 1], c.tempoByte) << c.what;
        }
    }
}

TEST(PhrasePrm, MidiRecognitionAndRecords) {
    struct Case {
        const char* what;
        Bytes file;
        bool recognised;
    };
    Bytes short13 = midiFile({});
    short13.resize(13);
    Bytes noMagic = midiFile({});
    noMagic[0] = 'X';
    const Case cases[] = {
        {"format 0", midiFile({}, 0), true},
        {"format 1", midiFile({}, 1), true},
        {"format 0x00FF", midiFile({}, 0xFF), true},
        {"format 0x0100", midiFile({}, 0x0100), false},
        {"13 bytes", short13, false},
        {"no MThd", noMagic, false},
    };
    for (const Case& c : cases) {
        Probe probe;
        auto prm = CPhrasePrm::create(Model::WQ7000);
        EXPECT_EQ(prm->registerMid(probe.put("_WQP0001.MID", c.file), 0, "M"), c.recognised)
            << c.what;
    }
    Probe probe;
    const Bytes file = midiFile(setTempo(500000));
    const auto path = probe.put("_WQP0002.MID", file);
    auto w7 = CPhrasePrm::create(Model::WQ7000);
    ASSERT_TRUE(w7->registerMid(path, 1, "CARD"));
    const auto b7 = w7->bytes();
    EXPECT_EQ(b7[0], 2);
    EXPECT_EQ(b7[23], 3);
    EXPECT_EQ(b7[24], 3);
    EXPECT_EQ(b7[25], 1);
    EXPECT_EQ(le32(*w7, 32), file.size());
    EXPECT_EQ(b7[52], 100);
    EXPECT_EQ(b7[61], 1);
    EXPECT_EQ(w7->dataFileName("", 1), "_WQP0002.MID");
    auto w5 = CPhrasePrm::create(Model::WQ5000);
    ASSERT_TRUE(w5->registerMid(path, 1, "CARD"));
    EXPECT_EQ(w5->bytes()[0], 1);
    EXPECT_EQ(w5->bytes()[5], 1);
    EXPECT_EQ(w5->bytes()[14], 0);
    EXPECT_EQ(be32(*w5, 10), file.size());
    EXPECT_EQ(w5->kind(), kKindMidi);
    EXPECT_EQ(w5->dataFileName("", 1), "_WQP0002.MID");

    // Checking refreshes the data file length and the second tempo byte only.
    for (auto* prm : {w7.get(), w5.get()}) {
        const std::size_t tempo = prm->model() == Model::WQ7000 ? 62 : 42;
        prm->bytes()[tempo] = 7;
        prm->bytes()[tempo + 1] = 8;
        const auto longer = probe.put("_WQP0003.MID", midiFile(setTempo(600000)));
        ASSERT_TRUE(prm->checkMid(longer));
        EXPECT_EQ(prm->bytes()[tempo], 7);
        EXPECT_EQ(prm->bytes()[tempo + 1], 95);
        const Bytes before(prm->bytes().begin(), prm->bytes().end());
        EXPECT_FALSE(prm->checkMid(probe.put("x.MID", kpacFile(0, 0, 1, 1))));
        EXPECT_FALSE(prm->checkMid(probe.dir / "missing.MID"));
        EXPECT_EQ(Bytes(prm->bytes().begin(), prm->bytes().end()), before);
    }
    auto audio = CPhrasePrm::create(Model::WQ7000);
    ASSERT_TRUE(audio->registerPhr(probe.put("a.PHR", kpacFile(0, 0, 1, 1)), 0, "A"));
    EXPECT_FALSE(audio->checkMid(path));
}

TEST(PhrasePrm, CheckingAudioAgainstItsPhrFile) {
    Probe probe;
    const auto file = probe.put("_WQP0001.PHR", kpacFile(3, 0, 1, 1000, 200));  // F = 216
    struct Case {
        const char* what;
        Model model;
        std::function<void(CWQEPhr&)> edit;      // applied to a record registered from `file`
        std::function<void(CWQEPhr&)> expected;  // applied to the same record: the refreshed state
    };
    auto points = [](CWQEPhr& p) {
        p.setStartPoint(0, 10);
        p.setEndPoint(0, 900);
        p.setLoop1Point(0, 20);
        p.setLoop2Point(0, 800);
    };
    auto pointsReset = [](CWQEPhr& p) {
        p.setStartPoint(0, 0);
        p.setEndPoint(0, 1000);
        p.setLoop1Point(0, 0);
        p.setLoop2Point(0, 1000);
    };
    const Case cases[] = {
        {"7000 agrees: points kept", Model::WQ7000, points, points},
        {"7000 length one short and D 16 short: kept", Model::WQ7000,
         [&](CWQEPhr& p) {
             points(p);
             p.setLength(0, 999);
             p.setDataFileLength(0, 200);
             p.setDataOffset(0, 0);
         },
         [&](CWQEPhr& p) {
             points(p);
             p.setLength(0, 999);
         }},
        {"7000 length two short: rebuilt", Model::WQ7000,
         [&](CWQEPhr& p) {
             points(p);
             p.setLength(0, 998);
         },
         pointsReset},
        {"7000 D 17 short: rebuilt", Model::WQ7000,
         [&](CWQEPhr& p) {
             points(p);
             p.setDataFileLength(0, 199);
         },
         pointsReset},
        {"7000 other grade: rebuilt", Model::WQ7000,
         [&](CWQEPhr& p) {
             points(p);
             p.setGrade(0, 1);
         },
         pointsReset},
        {"7000 MODE2 record of a LINEAR file: rebuilt", Model::WQ7000,
         [&](CWQEPhr& p) {
             points(p);
             p.setMode(0, 2);
         },
         pointsReset},
        {"5000 agrees", Model::WQ5000,
         [](CWQEPhr& p) {
             p.setLength(0, 999);
             p.setStartPoint(0, 5);
         },
         [](CWQEPhr& p) {
             p.setLength(0, 999);
             p.setStartPoint(0, 5);
         }},
        {"5000 stereo record: rebuilt", Model::WQ5000,
         [](CWQEPhr& p) {
             p.setRecordingType(0, 1);
             p.setLength(0, 3);
             p.setDataFileLength(0, 1);
             p.setStartPoint(0, 5);
         },
         [](CWQEPhr& p) { p.setStartPoint(0, 5); }},
    };
    for (const Case& c : cases) {
        auto prm = CPhrasePrm::create(c.model);
        ASSERT_TRUE(prm->registerPhr(file, 0, "A"));
        auto want = CPhrasePrm::create(c.model);
        std::copy(prm->bytes().begin(), prm->bytes().end(), want->bytes().begin());
        CWQEPhr p = prm->fields();
        c.edit(p);
        CWQEPhr w = want->fields();
        c.expected(w);
        ASSERT_TRUE(prm->checkPhr(file)) << c.what;
        EXPECT_EQ(Bytes(prm->bytes().begin(), prm->bytes().end()),
                  Bytes(want->bytes().begin(), want->bytes().end()))
            << c.what;
    }
    // A MODE2 record that agrees only has its end point moved to the length.
    const auto mode2 = probe.put("_WQP0002.PHR", kpacFile(3, 2, 1, 1000, 200));
    auto prm = CPhrasePrm::create(Model::WQ7000);
    ASSERT_TRUE(prm->registerPhr(mode2, 1, "A"));
    CWQEPhr p = prm->fields();
    p.setEndPoint(0, 5);
    p.setStartPoint(0, 3);
    ASSERT_TRUE(prm->checkPhr(mode2));
    EXPECT_EQ(p.getEndPoint(0), 1000u);
    EXPECT_EQ(p.getStartPoint(0), 3u);
}

TEST(PhrasePrm, CheckingRefusesAnotherKind) {
    Probe probe;
    const auto kpac = probe.put("k.PHR", kpacFile(0, 0, 1, 10));
    const auto kpac48 = probe.put("k48.PHR", kpacFile(5, 0, 1, 10));
    const auto p5 = probe.put("p5.PHR", patternFile(PatternKind::Pattern5000));
    const auto p7 = probe.put("p7.PHR", patternFile(PatternKind::Pattern7000));
    const auto song = probe.put("s.PHR", patternFile(PatternKind::Song));
    Bytes short15 = patternFile(PatternKind::Pattern7000);
    short15.resize(15);
    const auto cut = probe.put("cut.PHR", short15);
    struct Case {
        Model model;
        fs::path registerFrom, check;
        bool ok;
    };
    const Case cases[] = {
        {Model::WQ7000, p7, p7, true},        {Model::WQ7000, p7, song, false},
        {Model::WQ7000, song, song, true},    {Model::WQ7000, song, p7, false},
        {Model::WQ7000, p7, kpac, false},     {Model::WQ7000, kpac, p7, false},
        {Model::WQ7000, p7, cut, false},      {Model::WQ7000, kpac, kpac48, true},
        {Model::WQ5000, p5, p5, true},        {Model::WQ5000, p5, p7, false},
        {Model::WQ5000, kpac, kpac48, false}, {Model::WQ5000, kpac, p5, false},
        {Model::WQ5000, p5, kpac, false},
    };
    for (const Case& c : cases) {
        auto prm = CPhrasePrm::create(c.model);
        ASSERT_TRUE(prm->registerPhr(c.registerFrom, 0, "A"));
        prm->fields().setDataFileLength(0, 7);
        const Bytes before(prm->bytes().begin(), prm->bytes().end());
        EXPECT_EQ(prm->checkPhr(c.check), c.ok)
            << c.registerFrom.filename() << " vs " << c.check.filename();
        if (!c.ok) {
            EXPECT_EQ(Bytes(prm->bytes().begin(), prm->bytes().end()), before);
        } else {
            EXPECT_NE(prm->fields().getDataFileLength(0), 7u);
        }
    }
    // Empty records match nothing.
    EXPECT_FALSE(CPhrasePrm::create(Model::WQ7000)->checkPhr(kpac));
    EXPECT_FALSE(CPhrasePrm::create(Model::WQ5000)->checkPhr(p5));
}

TEST(PhrasePrm, WavPhrases) {
    struct Case {
        const char* what;
        Bytes file;
        int grade, recType, offset;  // grade -1: refused
        std::uint32_t length;
    };
    const Case cases[] = {
        {"stereo 44.1 kHz", wavFile(2, 44100, 16, 4000), 4, 1, 44, 62},
        {"mono 8 kHz", wavFile(1, 8000, 16, 3200), 0, 0, 44, 100},
        {"mono 48 kHz", wavFile(1, 48000, 16, 31), 5, 0, 44, 0},
        {"22.05 kHz after a chunk", wavFile(1, 22050, 16, 320, 10), 2, 0, 62, 10},
        {"data cut short", wavFile(1, 16000, 16, 320, 0, 3200), 1, 0, 44, 10},
        {"24-bit", wavFile(1, 44100, 24, 480), -1, 0, 0, 0},
        {"8-bit", wavFile(1, 8000, 8, 160), -1, 0, 0, 0},
        {"96 kHz", wavFile(1, 96000, 16, 320), -1, 0, 0, 0},
        {"odd data offset", wavFile(1, 8000, 16, 320, 3), -1, 0, 0, 0},
        {"data beyond 4095", wavFile(1, 8000, 16, 320, 4100), -1, 0, 0, 0},
        {"KPAC file", kpacFile(0, 0, 1, 1), -1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        Probe probe;
        const auto path = probe.put("_WQP0001.WAV", c.file);
        auto prm = CPhrasePrm::create(Model::WQ7000);
        ASSERT_EQ(prm->registerWav(path, 0, "WAVCARD"), c.grade >= 0) << c.what;
        if (c.grade < 0) continue;
        const auto b = prm->bytes();
        EXPECT_EQ(b[0], 1) << c.what;
        EXPECT_EQ(b[23], c.grade) << c.what;
        EXPECT_EQ(b[24], 5) << c.what;
        EXPECT_EQ(b[25], c.recType) << c.what;
        EXPECT_EQ(b[26] | b[27] << 8, c.offset) << c.what;
        EXPECT_EQ(le32(*prm, 28), c.length) << c.what;
        EXPECT_EQ(le32(*prm, 32), c.file.size()) << c.what;
        EXPECT_EQ(le32(*prm, 40), c.length) << c.what;
        EXPECT_EQ(le32(*prm, 48), c.length) << c.what;
        EXPECT_EQ(prm->name(), "WAVCARD001  ");
        EXPECT_EQ(prm->dataFileName("d/", 0), "d/_WQP0001.WAV");
    }
}

TEST(PhrasePrm, CheckingAWavRecord) {
    Probe probe;
    const auto path = probe.put("_WQP0001.WAV", wavFile(2, 32000, 16, 6400));
    auto prm = CPhrasePrm::create(Model::WQ7000);
    ASSERT_TRUE(prm->registerWav(path, 0, "W"));
    CWQEPhr p = prm->fields();
    p.setEndPoint(0, 50);  // the user's points and name survive a matching file
    p.setName(0, "MY WAV");
    const Bytes edited(prm->bytes().begin(), prm->bytes().end());
    ASSERT_TRUE(prm->checkWav(path));
    EXPECT_EQ(Bytes(prm->bytes().begin(), prm->bytes().end()), edited);

    // The file changed: format fields follow it, the points reset.
    probe.put("_WQP0001.WAV", wavFile(1, 32000, 16, 6400));
    ASSERT_TRUE(prm->checkWav(path));
    EXPECT_EQ(p.getRecordingType(0), 0u);
    EXPECT_EQ(p.getLength(0), 200u);
    EXPECT_EQ(p.getEndPoint(0), 200u);
    EXPECT_EQ(p.getLoop2Point(0), 200u);
    EXPECT_EQ(prm->name(), "MY WAV");

    // Refused: a bad file, a KPAC record, a WQ-5000 record.
    const Bytes before(prm->bytes().begin(), prm->bytes().end());
    EXPECT_FALSE(prm->checkWav(probe.put("bad.WAV", wavFile(1, 32000, 24, 6400))));
    EXPECT_EQ(Bytes(prm->bytes().begin(), prm->bytes().end()), before);
    auto kpac = CPhrasePrm::create(Model::WQ7000);
    ASSERT_TRUE(kpac->registerPhr(probe.put("k.PHR", kpacFile(0, 0, 1, 1)), 0, "K"));
    EXPECT_FALSE(kpac->checkWav(path));
    EXPECT_FALSE(CPhrasePrm::create(Model::WQ5000)->checkWav(path));
}

TEST(PhrasePrm, KindsAndFileNamesFromRecords) {
    struct Case {
        Model model;
        std::function<void(CWQEPhr&)> set;
        int kind;
        const char* file;
    };
    const Case cases[] = {
        {Model::WQ7000, [](CWQEPhr&) {}, 0, ""},
        {Model::WQ7000, [](CWQEPhr& p) { p.setType(0, 1); }, 1, "_WQP0010.PHR"},
        {Model::WQ7000,
         [](CWQEPhr& p) {
             p.setType(0, 1);
             p.setMode(0, 5);
         },
         1, "_WQP0010.WAV"},
        {Model::WQ7000,
         [](CWQEPhr& p) {
             p.setType(0, 2);
             p.setMode(0, 5);
         },
         2, "_WQP0010.MID"},
        {Model::WQ7000, [](CWQEPhr& p) { p.setType(0, 3); }, 3, "_WQP0010.PHR"},
        {Model::WQ7000, [](CWQEPhr& p) { p.setType(0, 4); }, 4, "_WQP0010.PHR"},
        {Model::WQ7000, [](CWQEPhr& p) { p.setType(0, 5); }, 0, ""},
        {Model::WQ5000, [](CWQEPhr& p) { p.setMidiFlag(0, 1); }, 0, ""},
        {Model::WQ5000, [](CWQEPhr& p) { p.setUsed(0, 2); }, 0, ""},
        {Model::WQ5000, [](CWQEPhr& p) { p.setUsed(0, 1); }, 1, "_WQP0010.PHR"},
        {Model::WQ5000,
         [](CWQEPhr& p) {
             p.setUsed(0, 1);
             p.setMidiFlag(0, 1);
             p.setPatternMode(0, 1);
         },
         2, "_WQP0010.MID"},
        {Model::WQ5000,
         [](CWQEPhr& p) {
             p.setUsed(0, 1);
             p.setPatternMode(0, 4);
         },
         3, "_WQP0010.PHR"},
        {Model::WQ5000,
         [](CWQEPhr& p) {
             p.setUsed(0, 1);
             p.setMidiFlag(0, 2);
             p.setPatternMode(0, 1);
         },
         1, "_WQP0010.PHR"},
    };
    for (const Case& c : cases) {
        auto prm = CPhrasePrm::create(c.model);
        CWQEPhr p = prm->fields();
        c.set(p);
        EXPECT_EQ(prm->kind(), c.kind) << &c - cases;
        EXPECT_EQ(prm->dataFileName("", 9), c.file) << &c - cases;
    }
}

TEST(PhrasePrm, CopiesRecordsOfATable) {
    for (Model m : {Model::WQ7000, Model::WQ5000}) {
        Bytes image = CWQEPhr::erasedImage(m, 3);
        CWQEPhr table;
        table.setModel(m);
        table.attach(image);
        table.setVolume(1, 42);
        table.setName(1, "SECOND");
        auto prm = CPhrasePrm::create(table, 1);
        EXPECT_TRUE(prm->sameAs(table, 1));
        EXPECT_FALSE(prm->sameAs(table, 0));
        EXPECT_FALSE(prm->sameAs(table, 3));  // outside the table
        EXPECT_EQ(prm->name(), "SECOND");
        prm->fields().setVolume(0, 43);
        EXPECT_FALSE(prm->sameAs(table, 1));
        prm->copyTo(table, 2);
        EXPECT_EQ(table.getVolume(2), 43u);
        EXPECT_EQ(table.getName(2), "SECOND");
        prm->copyTo(table, 3);  // outside: nothing written
        EXPECT_EQ(image.size(), 3 * phraseRecordSize(m));
        prm->copyFrom(table, 7);
        EXPECT_EQ(prm->name(), std::string(phraseNameLength(m), ' '));
    }
}

}  // namespace
}  // namespace wqe
