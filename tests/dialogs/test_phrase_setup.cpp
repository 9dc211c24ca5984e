// Phrase Setup on records and small data files: the lists, what the dialog
// shows as it opens, what ENTER stores on each kind and model, the interrupt
// check, and the File Information lines of every reader.
#include <gtest/gtest.h>

#include <functional>

#include "card/PatternFile.h"
#include "codec/KpacHeader.h"
#include "dialogs/PhraseSetup.h"
#include "stream/LWaveFile.h"
#include "support/TempDir.h"

using namespace wqe;
using namespace wqe::test;
using L = SetupList;

namespace {

const auto E = Language::English, J = Language::Japanese;
const auto W7 = Model::WQ7000, W5 = Model::WQ5000;

// A card of four phrase slots in a temporary folder.
struct Card {
    explicit Card(Model m)
        : sysImage(CWQESys::defaultImage(m)), phrImage(CWQEPhr::erasedImage(m, 4)) {
        sys.setModel(m);
        sys.attach(sysImage);
        phr.setModel(m);
        phr.attach(phrImage);
        memo.setModel(m);
    }
    // Phrase 0 of a kind, with the model's usual fields of a registered phrase.
    void use(PhraseKind kind) {
        if (phr.model() == W7) {
            phr.setType(0, static_cast<std::uint32_t>(kind) + 1);
        } else {
            phr.setUsed(0, 1);
            phr.setMidiFlag(0, kind == PhraseKind::Midi);
            phr.setPatternMode(0, kind == PhraseKind::Pattern ? 1 : 0);
        }
        phr.setName(0, phr.model() == W7 ? "ANNOUNCE 001" : "ANNOUNCE 01");
    }
    PhraseSetup open(Language lang = E) const {
        auto s = openPhraseSetup(sys, phr, memo, 0, dir.path(), lang);
        EXPECT_TRUE(s.has_value());
        return s ? *s : PhraseSetup{};
    }
    // ENTER with the dialog's controls as they opened, after `change`.
    std::optional<std::string> enter(const std::function<void(PhraseSetupEntry&)>& change = {}) {
        const PhraseSetup s = open();
        PhraseSetupEntry e{s.name, s.memo, s.positions};
        if (change) change(e);
        return storePhraseSetup(phr, memo, s, e);
    }
    std::vector<std::uint8_t> record() const {
        const auto r = phr.record(0);
        return {r.begin(), r.end()};
    }

    TempDir dir;
    std::vector<std::uint8_t> sysImage, phrImage;
    CWQESys sys;
    CWQEPhr phr;
    CWQEMemo memo;
};

std::vector<std::uint8_t> kpacFile(int grade, int mode, int channelsMinusOne,
                                   std::uint32_t blocks) {
    std::vector<std::uint8_t> b = {'Q',
                                   'W',
                                   'h',
                                   'P',
                                   's',
                                   'r',
                                   static_cast<std::uint8_t>(grade),
                                   static_cast<std::uint8_t>(mode),
                                   0,
                                   static_cast<std::uint8_t>(channelsMinusOne)};
    b.resize(kpac::kHeaderSize);
    kpac::writeWordSwapped32(b.data() + kpac::kOffsetBlockCount, blocks);
    b.resize(kpac::kHeaderSize + 64);  // a few coded bytes; the header says how long it is
    return b;
}

std::vector<std::uint8_t> wavFile(std::uint16_t channels, std::uint32_t rate,
                                  std::uint32_t dataBytes) {
    const auto header = canonicalWaveHeader(WaveFormat::pcm(channels, rate, 16), dataBytes);
    std::vector<std::uint8_t> b(header.begin(), header.end());
    b.resize(b.size() + dataBytes);
    return b;
}

void append(std::vector<std::uint8_t>& b, std::string_view bytes) {
    b.insert(b.end(), bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> midiFile(int format, std::string_view events) {
    std::vector<std::uint8_t> b;
    append(b, "MThd");
    for (int v : {0, 0, 0, 6, 0, format, 0, 1, 0x01, 0xE0})
        b.push_back(static_cast<std::uint8_t>(v));
    append(b, "MTrk");
    for (int v : {0, 0, 0, static_cast<int>(events.size())})
        b.push_back(static_cast<std::uint8_t>(v));
    append(b, events);
    return b;
}

std::vector<std::uint8_t> head(std::vector<std::uint8_t> bytes, std::size_t n) {
    bytes.resize(n);
    return bytes;
}

using Lines = std::array<std::string, kFileInfoLineCount>;

}  // namespace

TEST(PhraseSetup, ListItemsByKindModelAndLanguage) {
    struct Case {
        L list;
        PhraseKind kind;
        Model model;
        int mtcType;
        Language lang;
        std::size_t count;
        const char* first;
        const char* second;
        const char* last;
    };
    const auto A = PhraseKind::Audio, M = PhraseKind::Midi, P = PhraseKind::Pattern;
    const Case cases[] = {
        {L::Volume, A, W7, 0, E, 91, "10%", "11%", "100%"},
        {L::Volume, M, W5, 0, E, 256, "5", "6", "260"},
        {L::ControlOut, A, W7, 0, E, 3601, "OFF", "00m00s", "59m59s"},
        {L::ControlOut, A, W5, 0, J, 3601, "ｵﾌ", "00m00s", "59m59s"},
        {L::Delay, A, W7, 0, E, 1800, "00s00f", "00s01f", "59s29f"},
        {L::Delay, A, W7, 2, E, 1800, "00s00f", "00s01f", "59s29f"},
        {L::Delay, A, W7, 3, E, 1500, "00s00f", "00s01f", "59s24f"},
        {L::Delay, A, W7, 4, E, 1440, "00s00f", "00s01f", "59s23f"},
        {L::Delay, A, W5, 3, E, 600, "00.0s", "00.1s", "59.9s"},
        {L::Repeat, A, W7, 0, E, 101, "OFF", "ENDLESS", "99"},
        {L::Repeat, A, W7, 0, J, 101, "ｵﾌ", "ｴﾝﾄﾞﾚｽ", "99"},
        {L::Repeat, A, W5, 0, J, 2, "ｵﾌ", "ｵﾝ", "ｵﾝ"},
        {L::Repeat, A, W5, 0, E, 2, "OFF", "ON", "ON"},
        {L::RepeatInterval, A, W7, 0, E, 3600, "00m00s", "00m01s", "59m59s"},
        {L::FadeIn, A, W7, 0, E, 603, "OFF", "TIME1", "59.9s"},
        {L::FadeOut, P, W7, 0, J, 603, "ｵﾌ", "ﾀｲﾑ1", "59.9s"},
        {L::PatternMode, P, W7, 0, E, 4, "SEQUENCE", "RANDOM1", "RANDOM3"},
        {L::PatternMode, P, W5, 0, J, 4, "ｼﾞｭﾝｼﾞ", "ﾗﾝﾀﾞﾑ1", "ﾗﾝﾀﾞﾑ3"},
        {L::Loop, A, W7, 0, J, 101, "ｵﾌ", "ｴﾝﾄﾞﾚｽ", "99"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "list " << static_cast<int>(c.list) << " mtc " << c.mtcType);
        const auto items = phraseSetupItems(c.list, c.kind, c.model, c.mtcType, c.lang);
        ASSERT_EQ(items.size(), c.count);
        EXPECT_EQ(items[0], c.first);
        EXPECT_EQ(items[1], c.second);
        EXPECT_EQ(items.back(), c.last);
    }
    // The fades' tenths start after TIME3: value 4 is 0.1 s.
    EXPECT_EQ(phraseSetupItems(L::FadeIn, A, W7, 0, E)[4], "00.1s");
    EXPECT_EQ(phraseSetupItems(L::Volume, M, W7, 0, E)[115], "120");
}

TEST(PhraseSetup, ShowHideAndDisableByKindAndModel) {
    using C = SetupControl;
    const auto A = PhraseKind::Audio, M = PhraseKind::Midi, P = PhraseKind::Pattern,
               S = PhraseKind::Song;
    const ControlShow on{true, true}, off{true, false}, hidden{false, false};
    struct Case {
        C control;
        PhraseKind kind;
        Model model;
        bool pointsUnavailable, read;
        ControlShow want;
    };
    const Case cases[] = {
        {C::Volume, A, W7, false, true, on},
        {C::Volume, P, W5, false, true, off},
        {C::Volume, M, W5, false, true, on},
        {C::Fades, A, W7, false, true, on},
        {C::Fades, A, W5, false, true, off},
        {C::Fades, P, W5, false, true, off},
        {C::Fades, M, W7, false, true, hidden},
        {C::Fades, S, W7, false, true, on},
        {C::PatternMode, P, W7, false, true, on},
        {C::PatternMode, S, W7, false, true, hidden},
        {C::PatternMode, A, W7, false, true, hidden},
        {C::Points, A, W7, false, true, on},
        {C::Points, A, W7, true, true, off},
        {C::Points, A, W5, false, true, off},
        {C::Loop, A, W7, true, true, off},
        {C::Loop, P, W7, false, true, hidden},
        {C::Points, M, W7, false, true, hidden},
        {C::EditButton, A, W7, false, true, hidden},
        {C::EditButton, M, W5, false, true, hidden},
        {C::EditButton, P, W7, false, true, on},
        {C::EditButton, S, W7, false, false, off},
        {C::EditButton, P, W5, false, false, off},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "control " << static_cast<int>(c.control) << " kind "
                                          << static_cast<int>(c.kind));
        const ControlShow got =
            phraseSetupControl(c.control, c.kind, c.model, c.pointsUnavailable, c.read);
        EXPECT_EQ(got.visible, c.want.visible);
        EXPECT_EQ(got.enabled, c.want.enabled);
    }
}

TEST(PhraseSetup, OpensWithTheRecordsValues) {
    Card w7(W7);
    w7.use(PhraseKind::Audio);
    w7.sys.setMtcType(3);
    w7.phr.setVolume(0, 80);
    w7.phr.setControlOutputSwitch(0, 1);
    w7.phr.setControlOutputTime(0, 61);
    w7.phr.setDelay(0, 1500);
    w7.phr.setRepeatSwitch(0, 0);
    w7.phr.setRepeatInterval(0, 30);
    w7.phr.setFadeIn(0, 3);
    w7.phr.setFadeOut(0, 14);  // 1.1 s
    w7.phr.setLoopSwitch(0, 1);
    w7.phr.setLoopCount(0, 0);  // ENDLESS
    w7.phr.setGrade(0, 0);
    w7.phr.setStartPoint(0, 500);                  // 1 s at 8 kHz
    w7.memo.setPhraseMemo(0, "\x83\x81\x83\x82");  // CP932 "メモ"
    const PhraseSetup s = w7.open();
    EXPECT_EQ(s.caption, "Phrase Info.(Phrase No,0001)");
    EXPECT_EQ(s.volumeLabel, "Volume:");
    EXPECT_EQ(s.editButton, "Pattern Edit");
    EXPECT_EQ(s.name, "ANNOUNCE 001");
    EXPECT_EQ(s.memo, "メモ");
    EXPECT_EQ(at(s.positions, L::Volume), 70);
    EXPECT_EQ(at(s.positions, L::ControlOut), 62);
    EXPECT_EQ(phraseSetupItems(L::Delay, s.kind, W7, 3,
                               E)[static_cast<std::size_t>(at(s.positions, L::Delay))],
              "01s12f");
    EXPECT_EQ(at(s.positions, L::Repeat), 0);
    EXPECT_FALSE(s.intervalEnabled);
    EXPECT_EQ(at(s.positions, L::RepeatInterval), 30);
    EXPECT_EQ(at(s.positions, L::FadeIn), 3);
    EXPECT_EQ(at(s.positions, L::FadeOut), 14);
    EXPECT_EQ(at(s.positions, L::PatternMode), -1);
    EXPECT_EQ(at(s.positions, L::Loop), 1);
    EXPECT_EQ(s.points[0], "00h00m01s00f00sf");
    // No data file: the pane says so and the points stay available.
    EXPECT_EQ(s.info.lines[0], "Phrase Type: Audio Phrase(no audio phrase data file)");

    Card w5(W5);
    w5.use(PhraseKind::Midi);
    w5.phr.setTempo(0, 115);
    const PhraseSetup m = w5.open(J);
    EXPECT_EQ(m.caption, "ﾌﾚｰｽﾞ情報(ﾌﾚｰｽﾞNo,001)");
    EXPECT_EQ(m.volumeLabel, "ﾃﾝﾎﾟ：");
    EXPECT_EQ(at(m.positions, L::Volume), 115);
    EXPECT_EQ(at(m.positions, L::Repeat), 0);  // an erased WQ-5000 record repeats OFF
    EXPECT_EQ(at(m.positions, L::RepeatInterval), -1);
    EXPECT_EQ(at(m.positions, L::FadeIn), -1);

    Card empty(W7);
    EXPECT_FALSE(openPhraseSetup(empty.sys, empty.phr, empty.memo, 0, empty.dir.path(), E));
}

TEST(PhraseSetup, EnterStoresEachListOnEachKindAndModel) {
    struct Case {
        const char* what;
        Model model;
        PhraseKind kind;
        L list;
        int position;
        PhraseField field;
        std::uint32_t stored;
        std::optional<PhraseField> field2 = std::nullopt;
        std::uint32_t stored2 = 0;
    };
    using F = PhraseField;
    const auto A = PhraseKind::Audio, M = PhraseKind::Midi, P = PhraseKind::Pattern,
               S = PhraseKind::Song;
    const Case cases[] = {
        {"volume", W7, A, L::Volume, 0, F::Volume, 10},
        {"volume 5000", W5, A, L::Volume, 90, F::Volume, 100},
        {"tempo", W7, M, L::Volume, 255, F::Tempo, 255},
        {"tempo 5000", W5, M, L::Volume, 0, F::Tempo, 0},
        {"control out off", W7, A, L::ControlOut, 0, F::ControlOutputSwitch, 0,
         F::ControlOutputTime, 0},
        {"control out 7000", W7, S, L::ControlOut, 3600, F::ControlOutputSwitch, 1,
         F::ControlOutputTime, 3599},
        {"control out 5000 off", W5, A, L::ControlOut, 0, F::ControlOutput, 32768},
        {"control out 5000", W5, P, L::ControlOut, 1, F::ControlOutput, 0},
        {"delay 5000", W5, A, L::Delay, 599, F::Delay, 599},
        {"delay 7000", W7, A, L::Delay, 30 * 59 + 29, F::Delay, 59967},
        {"repeat endless", W7, A, L::Repeat, 1, F::RepeatSwitch, 1, F::RepeatCount, 0},
        {"repeat 99", W7, M, L::Repeat, 100, F::RepeatSwitch, 1, F::RepeatCount, 99},
        {"interval 7000", W7, A, L::RepeatInterval, 3599, F::RepeatInterval, 3599},
        {"repeat 5000 off", W5, A, L::Repeat, 0, F::Repeat, 32768},
        {"fade in", W7, P, L::FadeIn, 602, F::FadeIn, 602},
        {"fade out", W7, S, L::FadeOut, 3, F::FadeOut, 3},
        {"fade 5000 untouched", W5, A, L::FadeIn, 5, F::FadeIn, 0},
        {"fade of MIDI untouched", W7, M, L::FadeIn, 5, F::FadeIn, 0},
        {"pattern mode", W7, P, L::PatternMode, 3, F::PatternMode, 3},
        {"pattern mode 5000", W5, P, L::PatternMode, 0, F::PatternMode, 1},
        {"pattern mode of audio untouched", W7, A, L::PatternMode, 1, F::PatternMode, 0},
        {"loop", W7, A, L::Loop, 100, F::LoopSwitch, 1, F::LoopCount, 99},
        {"loop of a pattern untouched", W7, P, L::Loop, 2, F::LoopSwitch, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Card card(c.model);
        card.use(c.kind);
        card.enter([&](PhraseSetupEntry& e) { at(e.positions, c.list) = c.position; });
        EXPECT_EQ(card.phr.get(0, c.field), c.stored);
        if (c.field2) {
            EXPECT_EQ(card.phr.get(0, *c.field2), c.stored2);
        }
    }
}

TEST(PhraseSetup, EnterWithoutChangesKeepsTheRecord) {
    for (Model m : {W7, W5}) {
        for (PhraseKind kind : {PhraseKind::Audio, PhraseKind::Midi, PhraseKind::Pattern}) {
            SCOPED_TRACE(::testing::Message()
                         << (m == W7 ? "WQ-7000 " : "WQ-5000 ") << static_cast<int>(kind));
            Card card(m);
            card.use(kind);
            card.phr.setDelay(0, m == W7 ? 1000 : 25);  // whole frames at MTC type 0
            card.phr.setVolume(0, 55);
            card.phr.setTempo(0, 115);
            card.phr.setRepeat(0, 12);  // WQ-5000: ON, 12 s
            card.phr.setRepeatSwitch(0, 1);
            card.phr.setRepeatCount(0, 3);
            card.phr.setFadeIn(0, 9);
            card.phr.setPatternMode(0, kind == PhraseKind::Pattern ? 1 : 0);
            card.phr.setName(0, m == W7 ? "lower case 1" : "lower cas 1");  // not typeable
            card.memo.setPhraseMemo(0, "\xFF\xFE");  // bytes that do not decode
            const auto before = card.record();
            EXPECT_FALSE(card.enter());
            EXPECT_EQ(card.record(), before);
            EXPECT_EQ(card.memo.phraseMemo(0), "\xFF\xFE");
        }
    }
}

TEST(PhraseSetup, DelayAtEachMtcType) {
    // A delay shows as the seconds and frames of its time code; ENTER stores
    // what that time code converts back to.
    struct Case {
        int mtcType;
        std::uint32_t ms;
        const char* item;
        std::uint32_t stored;
    };
    const Case cases[] = {
        {0, 1500, "01s15f", 1500}, {1, 1500, "01s14f", 1468}, {2, 1500, "01s14f", 1467},
        {3, 1500, "01s12f", 1480}, {4, 1500, "01s12f", 1500}, {0, 59967, "59s29f", 59967},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "type " << c.mtcType << " " << c.ms << " ms");
        Card card(W7);
        card.use(PhraseKind::Audio);
        card.sys.setMtcType(static_cast<std::uint32_t>(c.mtcType));
        card.phr.setDelay(0, c.ms);
        const PhraseSetup s = card.open();
        const auto items = phraseSetupItems(L::Delay, s.kind, W7, c.mtcType, E);
        ASSERT_GE(at(s.positions, L::Delay), 0);
        EXPECT_EQ(items[static_cast<std::size_t>(at(s.positions, L::Delay))], c.item);
        card.enter();
        EXPECT_EQ(card.phr.getDelay(0), c.stored);
    }
    // A minute or more has no item: the list shows none and ENTER keeps the delay.
    Card card(W7);
    card.use(PhraseKind::Audio);
    for (std::uint32_t ms : {65000u, 59999u}) {  // 59.999 s rounds up to a minute
        card.phr.setDelay(0, ms);
        EXPECT_EQ(at(card.open().positions, L::Delay), -1);
        card.enter();
        EXPECT_EQ(card.phr.getDelay(0), ms);
    }
}

TEST(PhraseSetup, Wq5000RepeatAndInterval) {
    Card card(W5);
    card.use(PhraseKind::Audio);
    // OFF opens with the interval disabled; choosing ON selects 00m00s.
    const PhraseSetup s = card.open();
    EXPECT_EQ(at(s.positions, L::Repeat), 0);
    EXPECT_FALSE(s.intervalEnabled);
    const IntervalAfterRepeat on = intervalAfterRepeat(W5, 1);
    EXPECT_TRUE(on.enabled);
    EXPECT_EQ(on.position, 0);
    EXPECT_EQ(intervalAfterRepeat(W5, 0).position, -1);
    EXPECT_FALSE(intervalAfterRepeat(W7, 0).enabled);
    EXPECT_EQ(intervalAfterRepeat(W7, 3).position, std::nullopt);
    card.enter([](PhraseSetupEntry& e) {
        at(e.positions, L::Repeat) = 1;
        at(e.positions, L::RepeatInterval) = 0;
    });
    EXPECT_EQ(card.phr.getRepeat(0), 0u);
    card.enter([](PhraseSetupEntry& e) { at(e.positions, L::RepeatInterval) = 75; });
    EXPECT_EQ(card.phr.getRepeat(0), 75u);
    // An interval beyond the list stays as stored.
    card.phr.setRepeat(0, 5000);
    EXPECT_EQ(at(card.open().positions, L::RepeatInterval), -1);
    card.enter();
    EXPECT_EQ(card.phr.getRepeat(0), 5000u);
}

TEST(PhraseSetup, InterruptCheckOfRandomPatterns) {
    struct Case {
        Model model;
        int position;  // pattern mode list
        bool interruptPhrase;
        std::uint32_t stored;
        bool message;
    };
    const Case cases[] = {
        {W7, 2, false, 1, true},  {W7, 3, false, 1, true}, {W7, 2, true, 2, false},
        {W7, 1, false, 1, false}, {W5, 2, false, 2, true}, {W5, 3, true, 4, false},
        {W5, 0, false, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "position " << c.position);
        Card card(c.model);
        card.use(PhraseKind::Pattern);
        PatternData data(c.model == W7 ? PatternKind::Pattern7000 : PatternKind::Pattern5000);
        if (c.interruptPhrase) data.setStepRef(kPatternMainSteps + 27, 5);
        ASSERT_EQ(writePatternFile(card.dir / "_WQP0001.PHR", data), "");
        const auto notice =
            card.enter([&](PhraseSetupEntry& e) { at(e.positions, L::PatternMode) = c.position; });
        EXPECT_EQ(card.phr.getPatternMode(0), c.stored);
        EXPECT_EQ(notice.has_value(), c.message);
        if (notice) {
            EXPECT_EQ(*notice, kMsgInterruptCorrected);
        }
    }
    // A pattern file that could not be read is not checked.
    Card card(W7);
    card.use(PhraseKind::Pattern);
    EXPECT_FALSE(card.enter([](PhraseSetupEntry& e) { at(e.positions, L::PatternMode) = 2; }));
    EXPECT_EQ(card.phr.getPatternMode(0), 2u);
}

TEST(PhraseSetup, NameAndMemo) {
    EXPECT_EQ(phraseNameEdit("abcDEF-12", W7), "DEF-12");
    EXPECT_EQ(phraseNameEdit("ABCDEFGHIJKLMN", W7), "ABCDEFGHIJKL");
    EXPECT_EQ(phraseNameEdit("ABCDEFGHIJKLMN", W5), "ABCDEFGHIJK");
    EXPECT_EQ(phraseNameEdit("ｱｲｳ漢字", W7), "ｱｲｳ");
    EXPECT_EQ(phraseMemoLimit("short"), 80u);
    EXPECT_EQ(phraseMemoLimit(std::string(90, 'x')), 90u);

    Card card(W7);
    card.use(PhraseKind::Audio);
    card.enter([](PhraseSetupEntry& e) {
        e.name = "NEW";
        e.memo = "two\nlines ﾒﾓ";
    });
    EXPECT_EQ(card.phr.getName(0), "NEW         ");
    EXPECT_EQ(card.record()[22], 0);
    EXPECT_EQ(card.memo.phraseMemo(0), "two lines \xD2\xD3");
}

TEST(FileInformation, AudioPhrFiles) {
    struct Case {
        const char* what;
        Model model;
        Language lang;
        std::optional<std::vector<std::uint8_t>> file;  // nullopt: no file
        Lines lines;
        bool pointsUnavailable = false;
    };
    const std::vector<std::uint8_t> pattern = {'W',  'Q', 'P', 'h', 'r', 's', 0xFF, 0xFF,
                                               0xFF, 1,   0,   0,   0,   0,   0,    0};
    const Case cases[] = {
        {"10 minutes at 32 kHz",
         W7,
         E,
         kpacFile(3, 1, 0, 1200000),
         {"Phrase Type: Audio Phrase", "KPAC Grade: STANDARD(32kHz)", "KPAC Mode: MODE1",
          "Recording Type: MONO", "Playback Time: 00:10:00.0(sec)"}},
        {"MODE2 stereo, Japanese",
         W7,
         J,
         kpacFile(4, 2, 1, 4096),
         {"Phrase Type: Audio Phrase", "KPAC Grade： HIGH(44.1kHz)", "KPAC Mode： MODE2",
          "Recording Type: STEREO", "Playback Time: 00:00:01.4(sec)"},
         true},
        {"long hours",
         W7,
         E,
         kpacFile(0, 0, 0, 0xFFFFFFFF),
         {"Phrase Type: Audio Phrase", "KPAC Grade: ANNOUNCE(8kHz)", "KPAC Mode: LINEAR",
          "Recording Type: MONO", "Playback Time: 2386:05:34.5(sec)"}},
        {"48 kHz on the WQ-5000",
         W5,
         E,
         kpacFile(5, 0, 0, 3000),
         {"Phrase Type: Audio Phrase(not supported)", "KPAC Grade: S-HIGH(48kHz)",
          "KPAC Mode: LINEAR", "Recording Type: MONO", "Playback Time: 00:00:01.0(sec)"}},
        {"MODE3 on the WQ-5000",
         W5,
         E,
         kpacFile(1, 3, 0, 1000),
         {"Phrase Type: Audio Phrase(not supported)", "KPAC Grade: LONG2(16kHz)",
          "KPAC Mode: MODE3", "Recording Type: MONO", "Playback Time: 00:00:01.0(sec)"}},
        {"unknown grade, mode and channels",
         W7,
         E,
         kpacFile(7, 9, 2, 1000),
         {"Phrase Type: Audio Phrase(not supported)", "KPAC Grade: -----", "KPAC Mode: -----",
          "Recording Type: -----", "Playback Time: -----"}},
        {"no file",
         W7,
         E,
         std::nullopt,
         {"Phrase Type: Audio Phrase(no audio phrase data file)", "", "", "", ""}},
        {"a pattern file",
         W7,
         E,
         pattern,
         {"Phrase Type: Audio Phrase(no audio phrase data file)", "", "", "", ""}},
        {"15 bytes",
         W7,
         E,
         head(kpacFile(0, 0, 0, 1), 15),
         {"Phrase Type: Audio Phrase(failed in reading of audio phrase data file)", "", "", "",
          ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        if (c.file) writeBytes(dir / "_WQP0001.PHR", *c.file);
        const FileInformation info = kpacFileInformation(dir / "_WQP0001.PHR", c.model, c.lang);
        EXPECT_EQ(info.lines, c.lines);
        EXPECT_EQ(info.pointsUnavailable, c.pointsUnavailable);
    }
}

TEST(FileInformation, WavMidiAndPatternFiles) {
    struct Case {
        const char* what;
        std::string name;  // data file name in the card folder; "" for none
        std::vector<std::uint8_t> file;
        PhraseKind kind;
        Model model;
        Language lang;
        Lines lines;
        bool read;
        PatternDataState state = PatternDataState::None;
    };
    const auto A = PhraseKind::Audio, M = PhraseKind::Midi, P = PhraseKind::Pattern,
               S = PhraseKind::Song;
    const std::string tempo120("\x00\xFF\x51\x03\x07\xA1\x20", 7);
    const std::string names = std::string(
        "\x00\xFF\x03\x04"
        "DEMO\x00\xFF\x02\x04(C)X",
        16);
    const std::string end = std::string("\x00\xFF\x2F\x00", 4);
    const auto patternBytes = [](PatternKind k) {
        TempDir d;
        EXPECT_EQ(writePatternFile(d / "P", PatternData(k)), "");
        return readBytes(d / "P");
    };
    const Case cases[] = {
        {"WAV, 3 s at 8 kHz",
         "_wqp0001.wav",
         wavFile(1, 8000, 48000),
         A,
         W7,
         E,
         {"Phrase Type: Audio Phrase", "KPAC Grade: ANNOUNCE(8kHz)", "KPAC Mode: WAV",
          "Recording Type: MONO", "Playback Time: 00:00:03(sec)"},
         true},
        {"WAV at 11025 Hz, Japanese",
         "_WQP0001.WAV",
         wavFile(2, 11025, 44100 * 4),
         A,
         W7,
         J,
         {"Phrase Type: Audio Phrase", "KPAC Grade： -----", "KPAC Mode： WAV",
          "Recording Type: STEREO", "Playback Time: 00:00:04(sec)"},
         true},
        {"WAV claiming more than it holds",
         "_WQP0001.WAV",
         [] {
             auto b = wavFile(1, 8000, 16000);
             b[40] = 0xFF, b[41] = 0xFF, b[42] = 0xFF;  // data size far beyond the file
             return b;
         }(),
         A,
         W7,
         E,
         {"Phrase Type: Audio Phrase", "KPAC Grade: ANNOUNCE(8kHz)", "KPAC Mode: WAV",
          "Recording Type: MONO", "Playback Time: 00:00:01(sec)"},
         true},
        {"not a WAV file",
         "_WQP0001.WAV",
         kpacFile(0, 0, 0, 1),
         A,
         W7,
         E,
         {"Phrase Type: Audio Phrase(no audio phrase data file)", "", "", "", ""},
         false},
        {"WAV without data chunk",
         "_WQP0001.WAV",
         head(wavFile(1, 8000, 0), 36),
         A,
         W7,
         E,
         {"Phrase Type: Audio Phrase(failed in reading of audio phrase data file)", "", "", "", ""},
         false},
        {"MIDI format 0",
         "_WQP0001.MID",
         midiFile(0, tempo120 + names + end),
         M,
         W7,
         E,
         {"Phrase Type: MIDI Phrase", "Format: format0", "TimeBase: 480  Tempo: 120",
          "SequenceName: DEMO", "Copyright Notice: (C)X"},
         true},
        {"MIDI format 1 without tempo, Japanese",
         "_WQP0001.MID",
         midiFile(1, end),
         M,
         W5,
         J,
         {"Phrase Type: MIDI Phrase(not supported)", "Format: format1",
          "TimeBase： 480  Tempo: 120", "SequenceName: ", "Copyright Notice: "},
         true},
        {"MIDI format 3",
         "_WQP0001.MID",
         midiFile(3, end),
         M,
         W7,
         E,
         {"Phrase Type: MIDI Phrase(not supported)", "Format: Unknown", "TimeBase: 480  Tempo: 120",
          "SequenceName: ", "Copyright Notice: "},
         true},
        {"no MIDI header",
         "_WQP0001.MID",
         kpacFile(0, 0, 0, 1),
         M,
         W7,
         E,
         {"Phrase Type: MIDI Phrase(no MIDI phrase data file)", "", "", "", ""},
         false},
        {"MIDI of 13 bytes",
         "_WQP0001.MID",
         std::vector<std::uint8_t>(13, 'M'),
         M,
         W7,
         E,
         {"Phrase Type: MIDI Phrase(failed in reading of MIDI phrase data file)", "", "", "", ""},
         false},
        {"no MIDI file",
         "",
         {},
         M,
         W7,
         E,
         {"Phrase Type: MIDI Phrase(no MIDI phrase data file)", "", "", "", ""},
         false},
        {"WQ-7000 pattern",
         "_WQP0001.PHR",
         patternBytes(PatternKind::Pattern7000),
         P,
         W7,
         E,
         {"Phrase Type: Pattern Phrases", "", "", "", ""},
         true,
         PatternDataState::Pattern7000},
        {"WQ-5000 pattern",
         "_WQP0001.PHR",
         patternBytes(PatternKind::Pattern5000),
         P,
         W5,
         E,
         {"Phrase Type: Pattern Phrases", "", "", "", ""},
         true,
         PatternDataState::Pattern5000},
        {"song",
         "_WQP0001.PHR",
         patternBytes(PatternKind::Song),
         S,
         W7,
         E,
         {"Phrase Type: Song Phrases", "", "", "", ""},
         true,
         PatternDataState::Song},
        {"song file of a pattern phrase",
         "_WQP0001.PHR",
         patternBytes(PatternKind::Song),
         P,
         W7,
         E,
         {"Phrase Type: Pattern Phrases(not supported)", "", "", "", ""},
         false,
         PatternDataState::PatternFailed},
        {"WQ-7000 pattern on the WQ-5000",
         "_WQP0001.PHR",
         patternBytes(PatternKind::Pattern7000),
         P,
         W5,
         E,
         {"Phrase Type: Pattern Phrases(not supported)", "", "", "", ""},
         false,
         PatternDataState::PatternFailed},
        {"short pattern",
         "_WQP0001.PHR",
         head(patternBytes(PatternKind::Pattern7000), 600),
         P,
         W7,
         E,
         {"Phrase Type: Pattern Phrase(failed in reading of pattern phrase data file)", "", "", "",
          ""},
         false,
         PatternDataState::PatternFailed},
        {"no song file",
         "",
         {},
         S,
         W7,
         E,
         {"Phrase Type: Song Phrases(no song phrase data file)", "", "", "", ""},
         false,
         PatternDataState::SongFailed},
        {"KPAC file of a song phrase",
         "_WQP0001.PHR",
         kpacFile(0, 0, 0, 1),
         S,
         W7,
         E,
         {"Phrase Type: Song Phrases(not supported)", "", "", "", ""},
         false,
         PatternDataState::SongFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Card card(c.model);
        card.use(c.kind);
        if (c.kind == A) card.phr.setMode(0, kModeWav);
        if (!c.name.empty()) writeBytes(card.dir / c.name, c.file);
        const FileInformation info = card.open(c.lang).info;
        EXPECT_EQ(info.lines, c.lines);
        EXPECT_EQ(info.read, c.read);
        EXPECT_EQ(info.patternState, c.state);
        EXPECT_EQ(info.pattern.has_value(), c.read && c.state != PatternDataState::None);
    }
}
