// The setup dialogs on records: Phrase Setup with small data files (what it
// shows, what ENTER stores, the interrupt check, the File Information lines
// of every reader); the system settings dialogs' positions <-> stored bytes;
// and the play table editors' edits and stored byte order.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string_view>

#include "card/PatternFile.h"
#include "codec/KpacHeader.h"
#include "dialogs/PhraseSetup.h"
#include "dialogs/PlayTables.h"
#include "dialogs/SystemDialogs.h"
#include "stream/LWaveFile.h"
#include "support/TempDir.h"

using namespace wqe;
using namespace wqe::test;
using L = SetupList;
using F = PhraseField;
using D = DialogField;
using Bytes = std::vector<std::uint8_t>;

namespace {

const auto E = Language::English, J = Language::Japanese;
const auto W7 = Model::WQ7000, W5 = Model::WQ5000;
const auto A = PhraseKind::Audio, M = PhraseKind::Midi, P = PhraseKind::Pattern,
           S = PhraseKind::Song;

// Phrase 0 of a kind on a card of four slots in a temporary folder.
struct Card {
    explicit Card(Model m, PhraseKind kind = PhraseKind::Audio)
        : sysImage(CWQESys::defaultImage(m)), phrImage(CWQEPhr::erasedImage(m, 4)) {
        sys.setModel(m);
        phr.setModel(m);
        memo.setModel(m);
        sys.attach(sysImage);
        phr.attach(phrImage);
        if (m == W7) {
            phr.setType(0, static_cast<std::uint32_t>(kind) + 1);
        } else {
            phr.setUsed(0, 1);
            phr.setMidiFlag(0, kind == M);
            phr.setPatternMode(0, kind == P);
        }
        phr.setName(0, m == W7 ? "ANNOUNCE 001" : "ANNOUNCE 01");
    }
    PhraseSetup open(Language lang = E) const {
        return openPhraseSetup(sys, phr, memo, 0, dir.path(), lang).value();
    }
    // ENTER with the controls as they opened, after `change`.
    std::optional<std::string> enter(const std::function<void(PhraseSetupEntry&)>& change = {}) {
        const PhraseSetup s = open();
        PhraseSetupEntry e{s.name, s.memo, s.positions};
        if (change) change(e);
        return storePhraseSetup(phr, memo, s, e);
    }
    Bytes record() const { return {phr.record(0).begin(), phr.record(0).end()}; }
    std::string item(L list, const PhraseSetup& s) const {
        const int pos = at(s.positions, list);
        if (pos < 0) return "(none)";
        return phraseSetupItems(list, s.kind, s.model, s.mtcType, E)[static_cast<std::size_t>(pos)];
    }

    TempDir dir;
    Bytes sysImage, phrImage;
    CWQESys sys;
    CWQEPhr phr;
    CWQEMemo memo;
};

Bytes kpacFile(int grade, int mode, int channelsMinusOne, std::uint32_t blocks) {
    Bytes b(kpac::kHeaderSize + 64);  // a few coded bytes; the header says how long it is
    std::ranges::copy(std::string_view("QWhPsr"), b.begin());
    b[6] = static_cast<std::uint8_t>(grade);
    b[7] = static_cast<std::uint8_t>(mode);
    b[9] = static_cast<std::uint8_t>(channelsMinusOne);
    kpac::writeWordSwapped32(b.data() + kpac::kOffsetBlockCount, blocks);
    return b;
}

Bytes wavFile(std::uint16_t channels, std::uint32_t rate, std::uint32_t dataBytes) {
    const auto header = canonicalWaveHeader(WaveFormat::pcm(channels, rate, 16), dataBytes);
    Bytes b(header.begin(), header.end());
    b.resize(b.size() + dataBytes);
    return b;
}

// Time base 480, one track holding `events`.
Bytes midiFile(int format, std::string_view events) {
    std::string b("MThd\0\0\0\x06\0\0\0\x01\x01\xE0MTrk\0\0\0\0", 22);
    b[9] = static_cast<char>(format);
    b[21] = static_cast<char>(events.size());
    b += events;
    return Bytes(b.begin(), b.end());
}

Bytes patternFile(PatternKind k) {
    TempDir d;
    EXPECT_TRUE(writePatternFile(d / "P", PatternData(k)));
    return readBytes(d / "P");
}

std::vector<std::uint16_t> iota(std::size_t n, std::uint16_t from) {
    std::vector<std::uint16_t> v(n);
    for (std::size_t i = 0; i < n; ++i) v[i] = static_cast<std::uint16_t>(from + i);
    return v;
}

Bytes head(Bytes bytes, std::size_t n) {
    bytes.resize(n);
    return bytes;
}

}  // namespace

TEST(PhraseSetup, OpensWithTheRecordsValues) {
    Card w7(W7, A);
    w7.phr.setRepeatInterval(0, 30);  // repeat switch off: the interval list is disabled
    w7.phr.setLoopSwitch(0, 1);
    w7.phr.setStartPoint(0, 500);                  // 1 s at grade 0
    w7.memo.setPhraseMemo(0, "\x83\x81\x83\x82");  // CP932
    const PhraseSetup s = w7.open();
    EXPECT_EQ(s.caption, "Phrase Info.(Phrase No,0001)");
    EXPECT_EQ(s.memo, "メモ");
    EXPECT_EQ(w7.item(L::Repeat, s), "OFF");
    EXPECT_FALSE(s.intervalEnabled);
    EXPECT_EQ(w7.item(L::RepeatInterval, s), "00m30s");
    EXPECT_EQ(w7.item(L::Loop, s), "ENDLESS");
    EXPECT_EQ(s.points[0], "00h00m01s00f00sf");

    // A KPAC file in MODE2 has no points: zero time codes, no loop selection.
    writeBytes(w7.dir / "_WQP0001.PHR", kpacFile(0, 2, 0, 1000));
    EXPECT_EQ(w7.open().points[0], "00h00m00s00f00sf");
    EXPECT_EQ(w7.item(L::Loop, w7.open()), "(none)");

    Card w5(W5, M);
    w5.phr.setTempo(0, 115);
    const PhraseSetup m = w5.open(J);
    EXPECT_EQ(m.volumeLabel, "ﾃﾝﾎﾟ：");
    EXPECT_EQ(w5.item(L::Volume, m), "120");

    Card empty(W7, A);
    empty.phr.setType(0, 0);
    EXPECT_FALSE(openPhraseSetup(empty.sys, empty.phr, empty.memo, 0, empty.dir.path(), E));
}

TEST(PhraseSetup, EnterStoresEachListOnEachKindAndModel) {
    // (model, kind, list, position, field and value stored, a second field and
    // its value, or Used: absent on the WQ-7000, 1 on the WQ-5000)
    // clang-format off
    const std::tuple<Model, PhraseKind, L, int, F, std::uint32_t, F, std::uint32_t> cases[] = {
        {W7, A, L::Volume, 0, F::Volume, 10, F::Used, 0},
        {W5, A, L::Volume, 90, F::Volume, 100, F::Used, 1},
        {W7, M, L::Volume, 255, F::Tempo, 255, F::Used, 0},
        {W7, S, L::ControlOut, 3600, F::ControlOutputSwitch, 1, F::ControlOutputTime, 3599},
        {W5, A, L::ControlOut, 0, F::ControlOutput, 32768, F::Used, 1},
        {W7, A, L::Delay, 30 * 59 + 29, F::Delay, 59967, F::Used, 0},  // 59s29f at MTC type 0
        {W5, A, L::Repeat, 0, F::Repeat, 32768, F::Used, 1},
        {W7, A, L::Repeat, 1, F::RepeatSwitch, 1, F::RepeatCount, 0},
        {W7, P, L::FadeIn, 602, F::FadeIn, 602, F::Used, 0},
        {W7, M, L::FadeIn, 5, F::FadeIn, 0, F::Used, 0},           // MIDI has no fades
        {W5, P, L::PatternMode, 0, F::PatternMode, 1, F::Used, 1},
        {W7, A, L::PatternMode, 1, F::PatternMode, 0, F::Used, 0}, // only patterns have one
        {W7, A, L::Loop, 100, F::LoopSwitch, 1, F::LoopCount, 99},
    };
    // clang-format on
    for (const auto& [model, kind, list, position, field, stored, field2, stored2] : cases) {
        SCOPED_TRACE(::testing::Message() << "list " << int(list) << " kind " << int(kind));
        Card card(model, kind);
        card.enter([&](PhraseSetupEntry& e) { at(e.positions, list) = position; });
        EXPECT_EQ(card.phr.get(0, field), stored);
        EXPECT_EQ(card.phr.get(0, field2), stored2);
    }
}

TEST(PhraseSetup, EnterWithoutChangesKeepsTheRecordAndTexts) {
    for (Model m : {W7, W5}) {
        for (PhraseKind kind : {A, M, P}) {
            SCOPED_TRACE(::testing::Message() << int(m) << " kind " << int(kind));
            Card card(m, kind);
            card.phr.setDelay(0, m == W7 ? 1000 : 25);  // whole frames at MTC type 0
            card.phr.setVolume(0, 55);
            card.phr.setRepeat(0, 12);  // WQ-5000: ON, 12 s
            card.phr.setRepeatSwitch(0, 1);
            card.phr.setFadeIn(0, 9);
            card.phr.setName(0, m == W7 ? "lower case 1" : "lower cas 1");  // not typeable
            card.memo.setPhraseMemo(0, "\xFF\xFE");                         // does not decode
            const Bytes before = card.record();
            EXPECT_FALSE(card.enter());
            EXPECT_EQ(card.record(), before);
            EXPECT_EQ(card.memo.phraseMemo(0), "\xFF\xFE");
        }
    }
    // Typed texts: which characters pass is the card's name filter; here the
    // model's length, blank padding, a memo on one line, and a longer stored
    // memo that stays whole.
    EXPECT_EQ(phraseNameEdit("ABCDEFGHIJKLMN", W5), "ABCDEFGHIJK");
    EXPECT_EQ(phraseMemoLimit(std::string(90, 'x')), 90u);
    Card card(W7, A);
    card.enter([](PhraseSetupEntry& e) {
        e.name = "NEW";
        e.memo = "two\nlines ﾒﾓ";
    });
    EXPECT_EQ(card.phr.getName(0), "NEW         ");
    EXPECT_EQ(card.record()[22], 0);
    EXPECT_EQ(card.memo.phraseMemo(0), "two lines \xD2\xD3");
}

TEST(PhraseSetup, DelayAtEachMtcType) {
    // The delay shows as its time code's seconds and frames; ENTER stores
    // what that time code converts back to. From a minute on no item fits.
    const std::tuple<std::uint32_t, std::uint32_t, const char*, std::uint32_t> cases[] = {
        {1, 1500, "01s14f", 1468},   {2, 1500, "01s14f", 1467},   {3, 1500, "01s12f", 1480},
        {0, 59967, "59s29f", 59967}, {0, 59999, "(none)", 59999}, {3, 65000, "(none)", 65000},
    };
    for (const auto& [mtcType, ms, item, stored] : cases) {
        SCOPED_TRACE(::testing::Message() << "type " << mtcType << " " << ms << " ms");
        Card card(W7, A);
        card.sys.setMtcType(mtcType);
        card.phr.setDelay(0, ms);
        EXPECT_EQ(card.item(L::Delay, card.open()), item);
        card.enter();
        EXPECT_EQ(card.phr.getDelay(0), stored);
    }
}

TEST(PhraseSetup, Wq5000RepeatAndInterval) {
    Card card(W5, A);
    EXPECT_EQ(intervalAfterRepeat(W5, 1).position, 0);  // choosing ON selects 00m00s
    card.enter([](PhraseSetupEntry& e) {
        at(e.positions, L::Repeat) = 1;
        at(e.positions, L::RepeatInterval) = 0;
    });
    EXPECT_EQ(card.phr.getRepeat(0), 0u);
    card.enter([](PhraseSetupEntry& e) { at(e.positions, L::RepeatInterval) = 75; });
    EXPECT_EQ(card.phr.getRepeat(0), 75u);
    card.phr.setRepeat(0, 5000);  // beyond the list: shown without selection and kept
    EXPECT_EQ(card.item(L::RepeatInterval, card.open()), "(none)");
    card.enter();
    EXPECT_EQ(card.phr.getRepeat(0), 5000u);
}

TEST(PhraseSetup, InterruptCheckOfRandomPatterns) {
    // (model, position in the pattern mode list, an interrupt phrase set, the
    // file read, the mode stored, the notice shown)
    const std::tuple<Model, int, bool, bool, std::uint32_t, bool> cases[] = {
        {W7, 3, false, true, 1, true},
        {W7, 2, true, true, 2, false},
        {W7, 1, false, true, 1, false},
        {W5, 2, false, true, 2, true},
        {W5, 3, true, true, 4, false},
        {W7, 2, false, false, 2, false},  // a file that could not be read is not checked
    };
    for (const auto& [model, position, interruptPhrase, fileRead, stored, message] : cases) {
        SCOPED_TRACE(::testing::Message() << "position " << position);
        Card card(model, P);
        PatternData data(model == W7 ? PatternKind::Pattern7000 : PatternKind::Pattern5000);
        if (interruptPhrase) data.setStepRef(kPatternAllSteps - 1, 5);
        if (fileRead) {
            ASSERT_TRUE(writePatternFile(card.dir / "_WQP0001.PHR", data));
        }
        const auto notice =
            card.enter([&](PhraseSetupEntry& e) { at(e.positions, L::PatternMode) = position; });
        EXPECT_EQ(card.phr.getPatternMode(0), stored);
        EXPECT_EQ(notice.value_or(""), message ? kMsgInterruptCorrected : "");
    }
}

TEST(FileInformation, LinesOfEveryReader) {
    const std::string tempo120("\x00\xFF\x51\x03\x07\xA1\x20", 7);
    const std::string texts(
        "\x00\xFF\x03\x04"
        "DEMO\x00\xFF\x02\x04(C)X",
        16);
    const std::string end("\x00\xFF\x2F\x00", 4);
    Bytes bigWav = wavFile(1, 8000, 16000);
    bigWav[42] = 0xFF;  // the data chunk claims far more than the file holds
    const std::string kAudioFailed =
        "Phrase Type: Audio Phrase(failed in reading of audio phrase data file)";
    using PS = PatternDataState;
    // (kind, model, language, data file name or "" for none, its bytes, the
    // lines, the pattern state)
    // clang-format off
    const std::tuple<PhraseKind, Model, Language, std::string, Bytes,
                     std::array<std::string, kFileInfoLineCount>, PatternDataState>
        cases[] = {
        {A, W7, E, "_WQP0001.PHR", kpacFile(3, 1, 0, 1200000), {"Phrase Type: Audio Phrase", "KPAC Grade: STANDARD(32kHz)", "KPAC Mode: MODE1", "Recording Type: MONO", "Playback Time: 00:10:00.0(sec)"}, PS::None},
        {A, W7, E, "_WQP0001.PHR", kpacFile(7, 9, 2, 1000), {"Phrase Type: Audio Phrase(not supported)", "KPAC Grade: -----", "KPAC Mode: -----", "Recording Type: -----", "Playback Time: -----"}, PS::None},
        {A, W7, E, "", {}, {"Phrase Type: Audio Phrase(no audio phrase data file)"}, PS::None},
        {A, W7, E, "_WQP0001.PHR", head(kpacFile(0, 0, 0, 1), 15), {kAudioFailed}, PS::None},
        {A, W7, E, "_wqp0001.wav", wavFile(1, 8000, 48000), {"Phrase Type: Audio Phrase", "KPAC Grade: ANNOUNCE(8kHz)", "KPAC Mode: WAV", "Recording Type: MONO", "Playback Time: 00:00:03(sec)"}, PS::None},
        {A, W7, J, "_WQP0001.WAV", wavFile(2, 11025, 176400), {"Phrase Type: Audio Phrase", "KPAC Grade： -----", "KPAC Mode： WAV", "Recording Type: STEREO", "Playback Time: 00:00:04(sec)"}, PS::None},
        {A, W7, E, "_WQP0001.WAV", bigWav, {"Phrase Type: Audio Phrase", "KPAC Grade: ANNOUNCE(8kHz)", "KPAC Mode: WAV", "Recording Type: MONO", "Playback Time: 00:00:01(sec)"}, PS::None},
        {A, W7, E, "_WQP0001.WAV", head(wavFile(1, 8000, 0), 36), {kAudioFailed}, PS::None},  // no data chunk
        {M, W7, E, "_WQP0001.MID", midiFile(0, tempo120 + texts + end), {"Phrase Type: MIDI Phrase", "Format: format0", "TimeBase: 480  Tempo: 120", "SequenceName: DEMO", "Copyright Notice: (C)X"}, PS::None},
        {M, W5, J, "_WQP0001.MID", midiFile(1, end), {"Phrase Type: MIDI Phrase(not supported)", "Format: format1", "TimeBase： 480  Tempo: 120", "SequenceName: ", "Copyright Notice: "}, PS::None},
        {M, W7, E, "_WQP0001.MID", Bytes(13, 'M'), {"Phrase Type: MIDI Phrase(failed in reading of MIDI phrase data file)"}, PS::None},
        {P, W7, E, "_WQP0001.PHR", patternFile(PatternKind::Pattern7000), {"Phrase Type: Pattern Phrases"}, PS::Pattern7000},
        {S, W7, E, "_WQP0001.PHR", patternFile(PatternKind::Song), {"Phrase Type: Song Phrases"}, PS::Song},
        {P, W7, E, "_WQP0001.PHR", patternFile(PatternKind::Song), {"Phrase Type: Pattern Phrases(not supported)"}, PS::PatternFailed},
        {P, W7, E, "_WQP0001.PHR", head(patternFile(PatternKind::Pattern7000), 600), {"Phrase Type: Pattern Phrase(failed in reading of pattern phrase data file)"}, PS::PatternFailed},
        {S, W7, E, "", {}, {"Phrase Type: Song Phrases(no song phrase data file)"}, PS::SongFailed},
    };
    // clang-format on
    for (const auto& [kind, model, lang, name, file, lines, state] : cases) {
        SCOPED_TRACE(lines[0] + " from " + name);
        Card card(model, kind);
        if (name.ends_with("wav") || name.ends_with("WAV")) card.phr.setMode(0, kModeWav);
        if (!name.empty()) writeBytes(card.dir / name, file);
        const FileInformation info = card.open(lang).info;
        EXPECT_EQ(info.lines, lines);
        const bool read = state == PS::None ? !lines[1].empty() : state < PS::PatternFailed;
        EXPECT_EQ(info.read, read);
        EXPECT_EQ(info.patternState, state);
        EXPECT_EQ(info.pattern.has_value(), state != PS::None && state < PS::PatternFailed);
    }
}

// Each row: a field, a list position, and the bytes ENTER writes for it. The
// GUI test stores one edit per WQ-7000 dialog; here the ends of the lists,
// the combined fields and the WQ-5000's places.
TEST(SystemDialogs, PositionsMapToStoredBytes) {
    // (model, dialog, field, position, the bytes written as (offset, value))
    const std::tuple<Model, SysDialog, D, int, std::vector<std::pair<int, std::uint8_t>>> cases[] =
        {
            {W7, SysDialog::LineThru, D::FadeIn, 0, {{1334, 5}, {1335, 0}}},
            {W7, SysDialog::LineThru, D::FadeOut, 594, {{1332, 0x57}, {1333, 0x02}}},  // 599
            {W7, SysDialog::ControlInput, D::ControlInputSelect, 6, {{18, 3}, {19, 0}}},
            {W7, SysDialog::ControlInput, D::BinaryTrigger, 2, {{1053, 0}, {1054, 1}}},
            {W5, SysDialog::ControlInput, D::ControlInputSelect, 4, {{1086, 4}}},
            {W5, SysDialog::ControlInput, D::BinaryTrigger, 1, {{1087, 1}}},
            {W7, SysDialog::Midi, D::DeviceId, 31, {{1320, 32}}},
            {W5, SysDialog::Midi, D::Channel, 17, {{1349, 17}}},
        };
    for (const auto& [model, dialog, field, position, bytes] : cases) {
        Card card(model);
        const auto before = card.sysImage;
        DialogValues values = readDialog(card.sys, dialog);
        values[field] = position;
        storeDialog(card.sys, dialog, values);
        auto expected = before;
        for (auto [offset, value] : bytes) expected[static_cast<std::size_t>(offset)] = value;
        EXPECT_EQ(card.sysImage, expected) << static_cast<int>(field) << " " << position;
        EXPECT_EQ(dialogFieldValue(card.sys, field), position);
    }
}

// The WQ-5000's code <-> (delay, interval), both ways; the WQ-7000's one byte
// per box is the GUI test's.
TEST(SystemDialogs, Wq5000BusyOutCode) {
    for (auto [code, delay, interval] : {std::tuple{0, 1, 1}, {1, 1, 0}, {2, 0, 1}, {3, 0, 0}}) {
        Card card(W5);
        card.sysImage[7] = static_cast<std::uint8_t>(code);
        const DialogValues v = readDialog(card.sys, SysDialog::BusyOut);
        EXPECT_EQ(v.at(D::BusyDelay), delay);
        EXPECT_EQ(v.at(D::BusyInterval), interval);
        EXPECT_EQ(v.at(D::BusyPlayback), 0);
        card.sysImage[7] = 9;
        storeDialog(card.sys, SysDialog::BusyOut, v);
        EXPECT_EQ(card.sysImage[7], code);
    }
}

// Stored values that no item or box state produces: no selection (or a
// partly checked box), and ENTER leaves the bytes as they were.
TEST(SystemDialogs, UnlistedValuesAreKeptByteForByte) {
    // (model, dialog, the stored (offset, value)s, the field they make)
    const std::tuple<Model, SysDialog, std::vector<std::pair<int, std::uint8_t>>, D> cases[] = {
        {W7, SysDialog::ControlInput, {{18, 2}, {19, 1}}, D::ControlInputSelect},
        {W7, SysDialog::ControlInput, {{1053, 2}, {1054, 0}}, D::BinaryTrigger},
        {W5, SysDialog::ControlInput, {{1086, 5}}, D::ControlInputSelect},
        {W5, SysDialog::BusyOut, {{7, 4}}, D::BusyDelay},
        {W7, SysDialog::BusyOut, {{1344, 2}}, D::BusyPlayback},
        {W5, SysDialog::LineThru, {{1089, 3}}, D::LineThru},
    };
    for (const auto& [model, dialog, stored, field] : cases) {
        Card card(model);
        for (auto [offset, value] : stored) card.sysImage[static_cast<std::size_t>(offset)] = value;
        const auto before = card.sysImage;
        const DialogValues v = readDialog(card.sys, dialog);
        EXPECT_EQ(v.at(field), -1) << static_cast<int>(field);
        storeDialog(card.sys, dialog, v);
        EXPECT_EQ(card.sysImage, before) << static_cast<int>(field);
    }
}

TEST(SystemDialogs, FieldsTheModelLacks) {
    Card w5(W5);
    const auto before = w5.sysImage;
    for (SysDialog d : {SysDialog::LineThru, SysDialog::Equalizer, SysDialog::ControlInput,
                        SysDialog::Midi, SysDialog::Mtc}) {
        DialogValues v = readDialog(w5.sys, d);
        for (auto& [f, value] : v) {
            if (dialogFieldExists(f, W5)) continue;
            EXPECT_EQ(value, isCheckField(f) ? 0 : -1) << static_cast<int>(f);
            value = 1;  // a disabled control stores nothing whatever it holds
        }
        storeDialog(w5.sys, d, v);
    }
    EXPECT_EQ(w5.sysImage, before);
    // The loop above saw fields the WQ-5000 lacks.
    EXPECT_FALSE(dialogFieldExists(D::FadeIn, W5));
}

TEST(PlayTables, NoteNames) {
    for (auto [note, name] : {std::pair{0, "C -"}, {1, "C#-"}, {12, "C 0"}, {127, "G 9"}})
        EXPECT_EQ(noteName(note), name);
}

TEST(PlayTables, InsertAndDeleteAtTheEdges) {
    const std::uint16_t none7 = 32768, none5 = 65535;
    // (model, insert or delete, entry, entries after the edit of the table 0..99)
    const std::tuple<Model, bool, int, std::vector<std::pair<int, std::uint16_t>>> cases[] = {
        {W7, true, 0, {{0, none7}, {1, 0}, {99, 98}}},
        {W7, true, 99, {{0, 0}, {98, 98}, {99, none7}}},  // only the last becomes none
        {W5, false, 0, {{0, 1}, {98, 99}, {99, none5}}},
        {W5, false, 99, {{0, 0}, {98, 98}, {99, none5}}},
        {W7, true, -1, {{0, 0}, {99, 99}}},  // no selection: nothing
        {W7, false, 100, {{0, 0}, {99, 99}}},
    };
    for (const auto& [model, insert, at, entries] : cases) {
        PlayTable t{TableKind::ProgramPlay, 2, model, iota(100, 0)};
        insert ? t.insertAt(at) : t.deleteAt(at);
        ASSERT_EQ(t.refs.size(), 100u);
        for (auto [i, ref] : entries) EXPECT_EQ(t.refs[i], ref) << at << " [" << i << "]";
    }
    // The other tables have no INSERT or DELETE.
    PlayTable direct{TableKind::DirectPlay, 0, W7, iota(16, 0)};
    direct.insertAt(0);
    EXPECT_EQ(direct.refs, iota(16, 0));
}

// RESET B, PLAY and CLEAR of the WQ-7000 tables are the GUI test's too.
TEST(PlayTables, ResetClearAndStoreInByteOrder) {
    Card w5(W5);
    PlayTable t = PlayTable::read(w5.sys, TableKind::DirectPlay);
    t.resetB();
    EXPECT_EQ(t.refs, iota(16, 500));
    EXPECT_EQ(t.refText(15), "B016");
    t.refs[1] = 4095;
    EXPECT_EQ(t.refText(1), "PLAY");
    t.store(w5.sys);
    EXPECT_EQ(w5.sysImage[1054], 0x01);  // 500, most significant byte first
    EXPECT_EQ(w5.sysImage[1055], 0xF4);
    EXPECT_EQ(w5.sysImage[1056], 0x0F);  // 4095
    EXPECT_EQ(w5.sysImage[1057], 0xFF);

    Card w7(W7);
    PlayTable p = PlayTable::read(w7.sys, TableKind::ProgramPlay, 4);
    p.resetA();
    p.store(w7.sys);
    EXPECT_EQ(w7.sysImage[52 + 800 + 2 * 99], 99);
    EXPECT_EQ(w7.sysImage[52 + 800 + 2 * 99 + 1], 0);

    PlayTable map = PlayTable::read(w5.sys, TableKind::NoteMap);
    map.clear();
    map.store(w5.sys);
    for (std::size_t i = 1092; i < 1092 + 256; ++i) ASSERT_EQ(w5.sysImage[i], 0xFF) << i;
    EXPECT_TRUE(map.chooser(0).highest == 250 && !map.chooser(0).allowPlay);
    EXPECT_TRUE(t.chooser(1).allowPlay);
}
