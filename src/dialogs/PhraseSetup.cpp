#include "dialogs/PhraseSetup.h"

#include <algorithm>
#include <cstdio>

#include "card/NameFilter.h"
#include "card/PatternFile.h"
#include "card/TextCodec.h"
#include "dialogs/StartPointChooser.h"
#include "timecode/CConvert.h"
#include "timecode/PhraseTimes.h"

namespace wqe {

namespace {

constexpr int kVolumeMin = 10, kVolumeMax = 100;
constexpr int kTempoItems = 256;     // tempo bytes 0..255 shown as 5..260
constexpr int kSecondsItems = 3600;  // 00m00s .. 59m59s
constexpr int kRepeatCountMax = 99;
constexpr int kFadeNamedItems = 4;  // OFF, TIME1..TIME3
constexpr int kFadeTenthsMax = 599;
constexpr int kDelayTenthsItems = 600;  // WQ-5000 00.0s .. 59.9s
constexpr int kDelaySeconds = 60;       // WQ-7000 00s .. 59s
constexpr int kPatternModes = 4;
constexpr std::uint8_t kSwitchOn = 1;

std::string format(const char* fmt, auto... args) {
    char text[64];
    std::snprintf(text, sizeof text, fmt, args...);
    return text;
}

bool isWq7000(Model m) { return m == Model::WQ7000; }

std::vector<std::string> secondsItems(int count) {
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(count) + 1);
    for (int s = 0; s < count; ++s) items.push_back(format("%02dm%02ds", s / 60, s % 60));
    return items;
}

// "OFF", "ENDLESS", then 1..99: the WQ-7000 repeat and loop lists.
std::vector<std::string> countItems(Language lang) {
    std::vector<std::string> items = {pick(lang, "OFF", "ｵﾌ"), pick(lang, "ENDLESS", "ｴﾝﾄﾞﾚｽ")};
    for (int n = 1; n <= kRepeatCountMax; ++n) items.push_back(format("%d", n));
    return items;
}

// A switch and a count as one list: 0 = off, 1 + count otherwise.
int switchCountPosition(std::uint32_t sw, std::uint32_t count) {
    if (sw == 0) return 0;
    return count <= kRepeatCountMax ? static_cast<int>(count) + 1 : -1;
}

// A stored value shown at position value - offset in a list of `items`.
int offsetPosition(std::uint32_t value, int offset, int items) {
    const long long pos = static_cast<long long>(value) - offset;
    return pos >= 0 && pos < items ? static_cast<int>(pos) : -1;
}

int delayFrames(int mtcType) { return startPointFrameCount(mtcType); }

bool knownMtcType(int mtcType) { return mtcType >= 0 && mtcType < kMtcTypeCount; }

// The WQ-7000 delay item whose text the stored milliseconds show, or -1 when
// the delay reaches a minute (the list stops at 59s) or the MTC type is unknown.
int delay7000Position(std::uint32_t ms, int mtcType) {
    if (!knownMtcType(mtcType)) return -1;
    const TimeCode tc = CConvert::MsToTimeCode(ms, mtcType);
    if (tc.hours != 0 || tc.minutes != 0) return -1;
    const int fps = delayFrames(mtcType);
    return tc.frames < fps ? tc.seconds * fps + tc.frames : -1;
}

std::uint32_t delay7000Ms(int position, int mtcType) {
    const int fps = delayFrames(mtcType);
    TimeCode tc;
    tc.seconds = static_cast<std::uint8_t>(position / fps);
    tc.frames = static_cast<std::uint8_t>(position % fps);
    tc.type = static_cast<std::uint32_t>(mtcType);
    return CConvert::TimeCodeToMs(tc);
}

// Stores "switch on" without disturbing a switch that already holds another non-zero value.
void switchOn(CWQEPhr& phr, int i, PhraseField f) {
    if (phr.get(i, f) == 0) phr.set(i, f, kSwitchOn);
}

std::string padded(std::string bytes, Model m) {
    bytes.resize(phraseNameLength(m), ' ');
    return bytes;
}

// Memo texts are one line in the memo file: line breaks pasted in become blanks.
std::string memoForStore(std::string_view utf8) {
    std::string bytes = utf8ToCp932Lossy(utf8, "?");
    std::replace_if(
        bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return bytes;
}

std::size_t utf16Length(std::string_view utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80) ++n;  // a character starts
        if ((c & 0xF8) == 0xF0) ++n;  // beyond the basic plane: two units
    }
    return n;
}

}  // namespace

std::optional<PhraseKind> phraseSetupKind(const CWQEPhr& phr, int index) {
    if (!phr.isUsed(index)) return std::nullopt;
    if (isWq7000(phr.model())) {
        const std::uint32_t type = phr.getType(index);
        if (type < kTypeAudio || type > kTypeSong) return std::nullopt;
        return static_cast<PhraseKind>(type - 1);
    }
    if (phr.getMidiFlag(index) != 0) return PhraseKind::Midi;
    if (phr.getPatternMode(index) != 0) return PhraseKind::Pattern;
    return PhraseKind::Audio;
}

std::vector<std::string> phraseSetupItems(SetupList list, PhraseKind kind, Model m, int mtcType,
                                          Language lang) {
    std::vector<std::string> items;
    switch (list) {
        case SetupList::Volume:
            if (kind == PhraseKind::Midi) {
                for (int b = 0; b < kTempoItems; ++b)
                    items.push_back(format("%d", b + kTempoByteOffset));
            } else {
                for (int v = kVolumeMin; v <= kVolumeMax; ++v) items.push_back(format("%d%%", v));
            }
            return items;
        case SetupList::ControlOut:
            items = secondsItems(kSecondsItems);
            items.insert(items.begin(), pick(lang, "OFF", "ｵﾌ"));
            return items;
        case SetupList::Delay:
            if (isWq7000(m)) {
                const int fps = delayFrames(mtcType);
                for (int s = 0; s < kDelaySeconds; ++s)
                    for (int f = 0; f < fps; ++f) items.push_back(format("%02ds%02df", s, f));
            } else {
                for (int t = 0; t < kDelayTenthsItems; ++t)
                    items.push_back(format("%02d.%ds", t / 10, t % 10));
            }
            return items;
        case SetupList::Repeat:
            if (isWq7000(m)) return countItems(lang);
            return {pick(lang, "OFF", "ｵﾌ"), pick(lang, "ON", "ｵﾝ")};
        case SetupList::RepeatInterval:
            return secondsItems(kSecondsItems);
        case SetupList::FadeIn:
        case SetupList::FadeOut:
            items = {pick(lang, "OFF", "ｵﾌ"), pick(lang, "TIME1", "ﾀｲﾑ1"),
                     pick(lang, "TIME2", "ﾀｲﾑ2"), pick(lang, "TIME3", "ﾀｲﾑ3")};
            for (int t = 1; t <= kFadeTenthsMax; ++t)
                items.push_back(format("%02d.%ds", t / 10, t % 10));
            return items;
        case SetupList::PatternMode:
            return {pick(lang, "SEQUENCE", "ｼﾞｭﾝｼﾞ"), pick(lang, "RANDOM1", "ﾗﾝﾀﾞﾑ1"),
                    pick(lang, "RANDOM2", "ﾗﾝﾀﾞﾑ2"), pick(lang, "RANDOM3", "ﾗﾝﾀﾞﾑ3")};
        case SetupList::Loop:
            return countItems(lang);
    }
    return items;
}

ControlShow phraseSetupControl(SetupControl c, PhraseKind kind, Model m, bool pointsUnavailable,
                               bool dataFileRead) {
    const bool w7 = isWq7000(m);
    const bool audio = kind == PhraseKind::Audio;
    const bool midi = kind == PhraseKind::Midi;
    const bool patternOrSong = kind == PhraseKind::Pattern || kind == PhraseKind::Song;
    switch (c) {
        case SetupControl::Volume:
            return {true, w7 || kind != PhraseKind::Pattern};
        case SetupControl::Fades:
            return {!midi, !midi && w7};
        case SetupControl::PatternMode:
            return {kind == PhraseKind::Pattern, kind == PhraseKind::Pattern};
        case SetupControl::Points:
        case SetupControl::Loop:
            return {audio, audio && w7 && !pointsUnavailable};
        case SetupControl::EditButton:
            return {patternOrSong, patternOrSong && dataFileRead};
    }
    return {};
}

std::optional<PhraseSetup> openPhraseSetup(const CWQESys& sys, const CWQEPhr& phr,
                                           const CWQEMemo& memo, int index,
                                           const std::filesystem::path& folder, Language lang) {
    const auto kind = phraseSetupKind(phr, index);
    if (!kind) return std::nullopt;
    const Model m = phr.model();
    const bool w7 = isWq7000(m);
    const int i = index;

    PhraseSetup s;
    s.index = index;
    s.model = m;
    s.kind = *kind;
    s.mtcType = static_cast<int>(sys.getMtcType());
    s.caption = std::string(pick(lang, "Phrase Info.(Phrase No,", "ﾌﾚｰｽﾞ情報(ﾌﾚｰｽﾞNo,")) +
                format(w7 ? "%04d)" : "%03d)", index + 1);
    s.volumeLabel = *kind == PhraseKind::Midi ? pick(lang, "Tempo:", "ﾃﾝﾎﾟ：")
                                              : pick(lang, "Volume:", "再生音量：");
    s.editButton = *kind == PhraseKind::Song ? pick(lang, "Song Edit", "ｿﾝｸﾞ編集")
                                             : pick(lang, "Pattern Edit", "ﾊﾟﾀｰﾝ編集");
    s.info = phraseFileInformation(phr, index, *kind, folder, lang);

    s.nameBytes = phr.getName(i).substr(0, phraseNameLength(m));
    s.name = cp932ToUtf8(s.nameBytes);
    s.memoBytes = memo.phraseMemo(i);
    s.memo = cp932ToUtf8(s.memoBytes);

    SetupPositions& p = s.positions;
    p.fill(-1);
    if (*kind == PhraseKind::Midi)
        at(p, SetupList::Volume) = offsetPosition(phr.getTempo(i), 0, kTempoItems);
    else if (w7 || *kind != PhraseKind::Pattern)
        at(p, SetupList::Volume) =
            offsetPosition(phr.getVolume(i), kVolumeMin, kVolumeMax - kVolumeMin + 1);

    if (w7)
        at(p, SetupList::ControlOut) =
            phr.getControlOutputSwitch(i) == 0
                ? 0
                : offsetPosition(phr.getControlOutputTime(i), -1, kSecondsItems + 1);
    else
        at(p, SetupList::ControlOut) =
            phr.getControlOutput(i) == kSecondsOff5000
                ? 0
                : offsetPosition(phr.getControlOutput(i), -1, kSecondsItems + 1);

    at(p, SetupList::Delay) = w7 ? delay7000Position(phr.getDelay(i), s.mtcType)
                                 : offsetPosition(phr.getDelay(i), 0, kDelayTenthsItems);

    if (w7) {
        at(p, SetupList::Repeat) =
            switchCountPosition(phr.getRepeatSwitch(i), phr.getRepeatCount(i));
        s.intervalEnabled = phr.getRepeatSwitch(i) != 0;
        at(p, SetupList::RepeatInterval) =
            offsetPosition(phr.getRepeatInterval(i), 0, kSecondsItems);
    } else if (phr.getRepeat(i) == kSecondsOff5000) {
        at(p, SetupList::Repeat) = 0;
        s.intervalEnabled = false;
    } else {
        at(p, SetupList::Repeat) = 1;
        at(p, SetupList::RepeatInterval) = offsetPosition(phr.getRepeat(i), 0, kSecondsItems);
    }

    if (*kind != PhraseKind::Midi && w7) {
        const int fadeItems = kFadeNamedItems + kFadeTenthsMax;
        at(p, SetupList::FadeIn) = offsetPosition(phr.getFadeIn(i), 0, fadeItems);
        at(p, SetupList::FadeOut) = offsetPosition(phr.getFadeOut(i), 0, fadeItems);
    }
    if (*kind == PhraseKind::Pattern)
        at(p, SetupList::PatternMode) =
            offsetPosition(phr.getPatternMode(i), w7 ? 0 : 1, kPatternModes);

    if (*kind == PhraseKind::Audio) {
        const bool available = !s.info.pointsUnavailable;
        if (w7 && available)
            at(p, SetupList::Loop) = switchCountPosition(phr.getLoopSwitch(i), phr.getLoopCount(i));
        const int grade = static_cast<int>(phr.getGrade(i));
        const std::uint32_t points[] = {phr.getStartPoint(i), phr.getEndPoint(i),
                                        phr.getLoop1Point(i), phr.getLoop2Point(i)};
        for (std::size_t k = 0; k < s.points.size(); ++k)
            s.points[k] = phrasePointText(available ? points[k] : 0, grade, s.mtcType);
    }
    return s;
}

std::optional<PhraseSetup> openPhraseSetup(const CWQEDoc& doc, int index, Language lang) {
    if (!doc.isLoaded() || index < 0 || index >= doc.phr().recordCount()) return std::nullopt;
    return openPhraseSetup(doc.sys(), doc.phr(), doc.memo(), index, doc.folderPrefix(), lang);
}

void rereadFileInformation(PhraseSetup& setup, const CWQEPhr& phr,
                           const std::filesystem::path& folder, Language lang) {
    setup.info = phraseFileInformation(phr, setup.index, setup.kind, folder, lang);
}

IntervalAfterRepeat intervalAfterRepeat(Model m, int repeatPosition) {
    const bool on = repeatPosition != 0;
    if (isWq7000(m)) return {on, std::nullopt};
    return {on, on ? 0 : -1};
}

std::string phraseNameEdit(std::string_view typedUtf8, Model m) {
    return cp932ToUtf8(filterNameText(typedUtf8).substr(0, phraseNameLength(m)));
}

std::size_t phraseMemoLimit(std::string_view openedMemoUtf8) {
    return std::max(kPhraseMemoMaxChars, utf16Length(openedMemoUtf8));
}

std::optional<std::string> storePhraseSetup(CWQEPhr& phr, CWQEMemo& memo, const PhraseSetup& opened,
                                            const PhraseSetupEntry& entry) {
    const int i = opened.index;
    const Model m = opened.model;
    const bool w7 = isWq7000(m);
    const PhraseKind kind = opened.kind;
    const SetupPositions& p = entry.positions;

    // 1. The name, blank-padded; a name left as it opened keeps its bytes.
    const std::string name = entry.name == opened.name
                                 ? opened.nameBytes
                                 : filterNameText(entry.name).substr(0, phraseNameLength(m));
    phr.setName(i, padded(name, m));

    // 2. Volume, or the tempo byte of a MIDI phrase.
    if (const int v = at(p, SetupList::Volume); v >= 0) {
        if (kind == PhraseKind::Midi)
            phr.setTempo(i, static_cast<std::uint32_t>(v));
        else
            phr.setVolume(i, static_cast<std::uint32_t>(v + kVolumeMin));
    }

    // 3. Control output.
    if (const int v = at(p, SetupList::ControlOut); v >= 0) {
        if (!w7) {
            phr.setControlOutput(i, v == 0 ? kSecondsOff5000 : static_cast<std::uint32_t>(v - 1));
        } else if (v == 0) {
            phr.setControlOutputSwitch(i, 0);
            phr.setControlOutputTime(i, 0);
        } else {
            switchOn(phr, i, PhraseField::ControlOutputSwitch);
            phr.setControlOutputTime(i, static_cast<std::uint32_t>(v - 1));
        }
    }

    // 4. Delay: WQ-7000 seconds and frames back to milliseconds at the card's MTC type.
    if (const int v = at(p, SetupList::Delay); v >= 0) {
        if (!w7)
            phr.setDelay(i, static_cast<std::uint32_t>(v));
        else if (knownMtcType(opened.mtcType))
            phr.setDelay(i, delay7000Ms(v, opened.mtcType));
    }

    // 5. and 6. Repeat and its interval. The WQ-5000 keeps both in one field:
    // OFF, or the interval in seconds.
    const int repeat = at(p, SetupList::Repeat);
    const int interval = at(p, SetupList::RepeatInterval);
    if (w7) {
        if (repeat == 0) {
            phr.setRepeatSwitch(i, 0);
        } else if (repeat > 0) {
            switchOn(phr, i, PhraseField::RepeatSwitch);
            phr.setRepeatCount(i, static_cast<std::uint32_t>(repeat - 1));
        }
        if (interval >= 0) phr.setRepeatInterval(i, static_cast<std::uint32_t>(interval));
    } else {
        if (repeat == 0)
            phr.setRepeat(i, kSecondsOff5000);
        else if (repeat > 0 && phr.getRepeat(i) == kSecondsOff5000)
            phr.setRepeat(i, static_cast<std::uint32_t>(repeat));
        // An interval no item stands for (beyond 59m59s) stays as stored.
        if (phr.getRepeat(i) != kSecondsOff5000 && interval >= 0)
            phr.setRepeat(i, static_cast<std::uint32_t>(interval));
    }

    // 7. Fades.
    if (kind != PhraseKind::Midi && w7) {
        if (const int v = at(p, SetupList::FadeIn); v >= 0)
            phr.setFadeIn(i, static_cast<std::uint32_t>(v));
        if (const int v = at(p, SetupList::FadeOut); v >= 0)
            phr.setFadeOut(i, static_cast<std::uint32_t>(v));
    }

    // 8. Pattern mode.
    const int mode = at(p, SetupList::PatternMode);
    if (kind == PhraseKind::Pattern && mode >= 0)
        phr.setPatternMode(i, static_cast<std::uint32_t>(w7 ? mode : mode + 1));

    // 9. Loop.
    if (kind == PhraseKind::Audio && w7) {
        if (const int v = at(p, SetupList::Loop); v == 0) {
            phr.setLoopSwitch(i, 0);
        } else if (v > 0) {
            switchOn(phr, i, PhraseField::LoopSwitch);
            phr.setLoopCount(i, static_cast<std::uint32_t>(v - 1));
        }
    }

    // 10. Memo; a memo left as it opened keeps its bytes.
    memo.setPhraseMemo(i, entry.memo == opened.memo ? opened.memoBytes : memoForStore(entry.memo));

    // 11. RANDOM2 and RANDOM3 play an interrupt phrase; a pattern without one
    // is corrected to RANDOM1.
    const bool patternRead = opened.info.patternState == PatternDataState::Pattern5000 ||
                             opened.info.patternState == PatternDataState::Pattern7000;
    if (kind == PhraseKind::Pattern && patternRead && (mode == 2 || mode == 3) &&
        opened.info.pattern && !opened.info.pattern->hasInterruptPhrase()) {
        phr.setPatternMode(i, static_cast<std::uint32_t>(patternModeRandom1(m)));
        return std::string(kMsgInterruptCorrected);
    }
    return std::nullopt;
}

std::optional<FileInformation> phraseFileInformation(const CWQEDoc& doc, int index, Language lang) {
    if (!doc.isLoaded() || index < 0 || index >= doc.phr().recordCount()) return std::nullopt;
    const auto kind = phraseSetupKind(doc.phr(), index);
    if (!kind) return std::nullopt;
    return phraseFileInformation(doc.phr(), index, *kind, doc.folderPrefix(), lang);
}

}  // namespace wqe
