#include "view/PhraseListText.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <iterator>

#include "card/TextCodec.h"
#include "timecode/CConvert.h"

namespace wqe {

namespace {

constexpr std::size_t kColumns5000 = kCol5Memo + 1;
constexpr std::size_t kColumns7000 = kCol7Memo + 1;
constexpr std::size_t kRebuiltDashColumns = 13;  // a rebuilt row shows "---" in columns 1..13

struct ColumnText {
    const char* en;
    const char* ja;
    int width;
};

// Columns 0..8 are shared by both models.
constexpr ColumnText kColumnsShared[] = {
    {"No.", "No.", 35},
    {" NAME    ", " ﾌﾚｰｽﾞ名  ", 95},
    {"TYPE", "ﾌﾚｰｽﾞﾀｲﾌﾟ", 70},
    {"  TIME  ", " 再生時間", 70},
    {"KPAC Grade", "KPAC Grade", 90},
    {"KPAC MODE", "KPAC MODE", 80},
    {"Rec Type", "Rec Type", 65},
    {"Volume", "再生音量", 60},
    {"Delay", "遅延時間", 60},
};
constexpr ColumnText kColumnsRest5000[] = {
    {"Repeat", "ﾘﾋﾟｰﾄ", 60}, {"Control", "制御出力", 60}, {"Pattern", "ﾊﾟﾀｰﾝﾓｰﾄﾞ", 70},
    {"Temp", "ﾃﾝﾎﾟ", 60},    {"Memo", "ﾒﾓ", 300},
};
constexpr ColumnText kColumnsRest7000[] = {
    {"Start Point", " ｽﾀｰﾄﾎﾟｲﾝﾄ ", 110},
    {"End Point", " ｴﾝﾄﾞﾎﾟｲﾝﾄ ", 110},
    {"Loop", "ﾙｰﾌﾟ", 60},
    {"Loop 1", " ﾙｰﾌﾟ1", 110},
    {"Loop 2", " ﾙｰﾌﾟ2", 110},
    {"Fade In", "ﾌｪｰﾄﾞｲﾝ", 60},
    {"Fade Out", "ﾌｪｰﾄﾞｱｳﾄ", 65},
    {"Repeat", "ﾘﾋﾟｰﾄ", 60},
    {"Interval", "間隔", 60},
    {"Control", "制御出力", 60},
    {"Pattern", "ﾊﾟﾀｰﾝﾓｰﾄﾞ", 70},
    {"Temp", "ﾃﾝﾎﾟ", 60},
    {"Memo", "ﾒﾓ", 300},
};

// Texts of one column padded to a common width in a fixed-pitch font.
constexpr const char* kNoPlaybackTime = "---        ";
constexpr const char* kNoGrade = "---     ";
constexpr const char* kNoMode5000 = "---   ";
constexpr const char* kNoMode7000 = "---     ";
constexpr const char* kNoRecType = "---   ";
constexpr const char* kNoVolume = "--- ";
constexpr const char* kNoPoint = "---             ";
constexpr const char* kNoLoop = "---  ";
constexpr const char* kNoFade = "---    ";
constexpr const char* kNoSetting = "---   ";  // pattern and tempo columns

constexpr const char* kGrades5000[] = {"ANNOUNCE", "LONG2   ", "LONG1   ", "STANDARD", "HIGH    "};
constexpr const char* kGrades7000[] = {"ANNOUNCE", "LONG2   ", "LONG1   ",
                                       "STANDARD", "HIGH    ", "S-HIGH  "};
constexpr const char* kModes5000[] = {"LINEAR", "MODE1 ", "MODE2 "};
constexpr const char* kModes7000[] = {"LINEAR  ", "MODE1   ", "MODE2   ",
                                      "MODE3   ", "H-LINEAR", "WAV"};
constexpr const char* kRecTypes[] = {"MONO  ", "STEREO"};

std::string format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format(const char* fmt, ...) {
    char buffer[96];
    va_list args;
    va_start(args, fmt);
    const int n = std::vsnprintf(buffer, sizeof buffer, fmt, args);
    va_end(args);
    return std::string(
        buffer, n < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buffer - 1));
}

template <std::size_t N>
std::string fromTable(const char* const (&table)[N], std::uint32_t value, const char* other) {
    return value < N ? table[value] : other;
}

std::string off(Language lang) { return pick(lang, " OFF  ", " ｵﾌ   "); }
std::string tenthsSplit(std::uint32_t v) { return format("%02d.%ds", v / 10, v % 10); }
std::string minutesSplit(std::uint32_t v) { return format("%02dm%02ds", v / 60, v % 60); }

// ---------------------------------------------------------------- WQ-5000

// Repeat and control output: seconds, 32768 = OFF.
std::string secondsOrOff5000(std::uint32_t v, Language lang) {
    return v == kSecondsOff5000 ? off(lang) : minutesSplit(v);
}

void fillRow5000(const CWQEPhr& phr, const CWQEMemo& memo, int i, Language lang,
                 std::vector<std::string>& c) {
    if (phr.getUsed(i) != 1) return;  // the rebuilt row's "---" stay
    c[kCol5Memo] = cp932ToUtf8(memo.phraseMemo(i));
    c[kCol5Name] = cp932ToUtf8(phr.getName(i));
    c[kCol5Delay] = tenthsSplit(phr.getDelay(i));
    c[kCol5Repeat] = secondsOrOff5000(phr.getRepeat(i), lang);
    c[kCol5Control] = secondsOrOff5000(phr.getControlOutput(i), lang);

    if (phr.getMidiFlag(i) == 1) {
        c[kCol5Type] = "MIDI ";
        c[kCol5Time] = kNoPlaybackTime;
        c[kCol5Grade] = kNoGrade;
        c[kCol5Mode] = kNoMode5000;
        c[kCol5RecType] = kNoRecType;
        c[kCol5Volume] = kNoVolume;
        c[kCol5Pattern] = kNoSetting;
        c[kCol5Tempo] = format("%3d   ", phr.getTempo(i) + kTempoByteOffset);
        return;
    }
    if (const std::uint32_t mode = phr.getPatternMode(i); mode != 0) {
        c[kCol5Type] = pick(lang, "PATTERN", "ﾊﾟﾀｰﾝ");
        c[kCol5Time] = kNoPlaybackTime;
        c[kCol5Grade] = kNoGrade;
        c[kCol5Mode] = kNoMode5000;
        c[kCol5RecType] = kNoRecType;
        c[kCol5Volume] = kNoVolume;
        switch (mode) {
            case 1:
                c[kCol5Pattern] = pick(lang, "SEQUENCE", "ｼﾞｭﾝｼﾞ");
                break;
            case 2:
                c[kCol5Pattern] = pick(lang, "RANDOM1", "ﾗﾝﾀﾞﾑ ");
                break;
            case 3:
                c[kCol5Pattern] = pick(lang, "RANDOM2", "ﾗﾝﾀﾞﾑ2");
                break;
            case 4:
                c[kCol5Pattern] = pick(lang, "RANDOM3", "ﾗﾝﾀﾞﾑ3");
                break;
            default:
                c[kCol5Pattern] = kNoSetting;
                break;
        }
        c[kCol5Tempo] = kNoSetting;
        return;
    }
    c[kCol5Type] = pick(lang, "AUDIO", "ｵﾝｾｲ ");
    c[kCol5Time] = phrasePlaybackTimeText(phr.playbackTenths(i));
    c[kCol5Grade] = fromTable(kGrades5000, phr.getGrade(i), kNoGrade);
    c[kCol5Mode] = fromTable(kModes5000, phr.getMode(i), kNoMode5000);
    c[kCol5RecType] = fromTable(kRecTypes, phr.getRecordingType(i), kNoRecType);
    c[kCol5Volume] = format("%3d%%", phr.getVolume(i));
    c[kCol5Pattern] = kNoSetting;
    c[kCol5Tempo] = kNoSetting;
}

// ---------------------------------------------------------------- WQ-7000

std::string switchedCount(std::uint32_t on, std::uint32_t count, Language lang) {
    if (on == 0) return off(lang);
    if (count == 0) return pick(lang, "ENDLESS", "ｴﾝﾄﾞﾚｽ");
    return format(" %2d", count);
}

std::string fadeText(std::uint32_t v, Language lang) {
    switch (v) {
        case 0:
            return off(lang);
        case 1:
            return pick(lang, " TIME1  ", " ﾀｲﾑ1  ");
        case 2:
            return pick(lang, " TIME2  ", " ﾀｲﾑ2  ");
        case 3:
            return pick(lang, " TIME3  ", " ﾀｲﾑ3  ");
        default:
            return format(" %02d.%01ds", (v - 3) / 10, (v - 3) % 10);
    }
}

// The texts of the format columns of a phrase without audio of its own.
void setNoAudio7000(std::vector<std::string>& c) {
    c[kCol7Time] = kNoPlaybackTime;
    c[kCol7Grade] = kNoGrade;
    c[kCol7Mode] = kNoMode7000;
    c[kCol7RecType] = kNoRecType;
}

void setNoPoints(std::vector<std::string>& c) {
    c[kCol7Start] = c[kCol7End] = c[kCol7Loop1] = c[kCol7Loop2] = kNoPoint;
    c[kCol7Loop] = kNoLoop;
}

void fillAudio7000(const CWQEPhr& phr, int i, int mtcType, Language lang,
                   std::vector<std::string>& c) {
    const std::uint32_t grade = phr.getGrade(i), mode = phr.getMode(i);
    c[kCol7Type] = pick(lang, "AUDIO", "ｵﾝｾｲ ");
    c[kCol7Time] = phrasePlaybackTimeText(phr.playbackTenths(i));
    c[kCol7Grade] = fromTable(kGrades7000, grade, kNoGrade);
    c[kCol7Mode] = fromTable(kModes7000, mode, kNoMode7000);
    c[kCol7RecType] = fromTable(kRecTypes, phr.getRecordingType(i), kNoRecType);
    if (mode == 2) {
        setNoPoints(c);  // MODE2 phrases have no points
    } else {
        const int g = static_cast<int>(grade);
        c[kCol7Start] = phrasePointText(phr.getStartPoint(i), g, mtcType);
        c[kCol7End] = phrasePointText(phr.getEndPoint(i), g, mtcType);
        c[kCol7Loop1] = phrasePointText(phr.getLoop1Point(i), g, mtcType);
        c[kCol7Loop2] = phrasePointText(phr.getLoop2Point(i), g, mtcType);
        c[kCol7Loop] = switchedCount(phr.getLoopSwitch(i), phr.getLoopCount(i), lang);
    }
    c[kCol7Pattern] = c[kCol7Tempo] = kNoSetting;
}

void fillMidi7000(const CWQEPhr& phr, int i, std::vector<std::string>& c) {
    c[kCol7Type] = "MIDI ";
    setNoAudio7000(c);
    c[kCol7Volume] = kNoVolume;
    c[kCol7FadeIn] = c[kCol7FadeOut] = kNoFade;
    setNoPoints(c);
    c[kCol7Pattern] = kNoSetting;
    c[kCol7Tempo] = format("%d", phr.getTempo(i) + kTempoByteOffset);
}

void fillPattern7000(const CWQEPhr& phr, int i, Language lang, std::vector<std::string>& c) {
    c[kCol7Type] = pick(lang, "PATTERN", "ﾊﾟﾀｰﾝ");
    setNoAudio7000(c);
    setNoPoints(c);
    switch (phr.getPatternMode(i)) {
        case 0:
            c[kCol7Pattern] = pick(lang, "SEQUENCE", "ｼﾞｭﾝｼﾞ");
            break;
        case 1:
            c[kCol7Pattern] = pick(lang, "RANDOM1", "ﾗﾝﾀﾞﾑ1");
            break;
        case 2:
            c[kCol7Pattern] = pick(lang, "RANDOM2", "ﾗﾝﾀﾞﾑ2");
            break;
        case 3:
            c[kCol7Pattern] = pick(lang, "RANDOM3", "ﾗﾝﾀﾞﾑ3");
            break;
        default:
            c[kCol7Pattern] = "---  ";
            break;
    }
    c[kCol7Tempo] = kNoSetting;
}

void fillSong7000(Language lang, std::vector<std::string>& c) {
    c[kCol7Type] = pick(lang, "SONG ", "ｿﾝｸﾞ ");
    setNoAudio7000(c);
    c[kCol7Mode] = " ---    ";
    setNoPoints(c);
    c[kCol7Pattern] = c[kCol7Tempo] = kNoSetting;
}

void fillRow7000(const CWQESys& sys, const CWQEPhr& phr, const CWQEMemo& memo, int i, Language lang,
                 std::vector<std::string>& c) {
    const std::uint32_t type = phr.getType(i);
    if (type == kTypeEmpty) {
        std::fill(c.begin() + 1, c.end(), "---");
        return;
    }
    c[kCol7Memo] = cp932ToUtf8(memo.phraseMemo(i));
    c[kCol7Name] = cp932ToUtf8(phr.getName(i));
    if (type > kTypeSong) return;

    // Texts every kind shows; MIDI replaces the volume and the fades.
    const int mtcType = sys.getMtcType();
    c[kCol7Volume] = format("%d%%", phr.getVolume(i));
    c[kCol7Delay] = phraseDelayText(phr.getDelay(i), mtcType);
    c[kCol7Repeat] = switchedCount(phr.getRepeatSwitch(i), phr.getRepeatCount(i), lang);
    c[kCol7Interval] = minutesSplit(phr.getRepeatInterval(i));
    c[kCol7Control] =
        phr.getControlOutputSwitch(i) == 0 ? off(lang) : minutesSplit(phr.getControlOutputTime(i));
    c[kCol7FadeIn] = fadeText(phr.getFadeIn(i), lang);
    c[kCol7FadeOut] = fadeText(phr.getFadeOut(i), lang);

    switch (type) {
        case kTypeAudio:
            fillAudio7000(phr, i, mtcType, lang, c);
            break;
        case kTypeMidi:
            fillMidi7000(phr, i, c);
            break;
        case kTypePattern:
            fillPattern7000(phr, i, lang, c);
            break;
        case kTypeSong:
            fillSong7000(lang, c);
            break;
    }
}

}  // namespace

std::vector<PhraseListColumn> phraseListColumns(Model m, Language lang) {
    std::vector<PhraseListColumn> columns;
    auto add = [&](const ColumnText& t) { columns.push_back({pick(lang, t.en, t.ja), t.width}); };
    for (const ColumnText& t : kColumnsShared) add(t);
    if (m == Model::WQ7000)
        for (const ColumnText& t : kColumnsRest7000) add(t);
    else
        for (const ColumnText& t : kColumnsRest5000) add(t);
    return columns;
}

int phraseListRowCount(const CWQEDoc& doc) {
    return phraseCountForList(doc.sys().getPhraseCountCode());
}

std::vector<std::string> phraseListEmptyRow(Model m, int index) {
    std::vector<std::string> cells(m == Model::WQ7000 ? kColumns7000 : kColumns5000);
    cells[kCol7Number] = format("%04d", index + 1);
    for (std::size_t k = 1; k <= kRebuiltDashColumns; ++k) cells[k] = "---";
    return cells;
}

std::vector<std::string> phraseListRow(const CWQESys& sys, const CWQEPhr& phr, const CWQEMemo& memo,
                                       int index, Language lang) {
    std::vector<std::string> cells = phraseListEmptyRow(phr.model(), index);
    if (phr.model() == Model::WQ7000)
        fillRow7000(sys, phr, memo, index, lang, cells);
    else
        fillRow5000(phr, memo, index, lang, cells);
    return cells;
}

std::vector<std::string> phraseListRow(const CWQEDoc& doc, int index, Language lang) {
    return phraseListRow(doc.sys(), doc.phr(), doc.memo(), index, lang);
}

std::vector<std::vector<std::string>> phraseListWidestTexts(Model m, Language lang) {
    // Kinds: the WQ-7000 types, the WQ-5000 audio, MIDI and pattern phrases.
    struct Kind {
        std::uint32_t type, midiFlag, patternMode;
    };
    const std::vector<Kind> kinds = m == Model::WQ7000
                                        ? std::vector<Kind>{{kTypeAudio, 0, 0},
                                                            {kTypeMidi, 0, 0},
                                                            {kTypePattern, 0, 0},
                                                            {kTypeSong, 0, 0}}
                                        : std::vector<Kind>{{1, 0, 0}, {1, 1, 0}, {1, 0, 1}};
    // Small values pick every entry of the fixed texts; the largest values
    // give the longest numbers. 32-bit fields stop at 65535, far beyond any
    // phrase a card holds.
    constexpr std::uint32_t kValues[] = {0, 1, 2, 3, 4, 5, 6, 9, 99, 0xFFFFFFFF};
    constexpr std::uint32_t kLargest = 65535;
    const std::size_t columns = m == Model::WQ7000 ? kColumns7000 : kColumns5000;
    const int count = static_cast<int>(kinds.size() * std::size(kValues));
    std::vector<std::uint8_t> image(static_cast<std::size_t>(count) * phraseRecordSize(m), 0);
    CWQEPhr phr;
    phr.setModel(m);
    phr.attach(image);
    int i = 0;
    for (const Kind& kind : kinds) {
        for (const std::uint32_t v : kValues) {
            for (const PhraseFieldInfo& info : phraseFields()) {
                if (!info.exists(m)) continue;
                const auto f = static_cast<PhraseField>(&info - phraseFields().data());
                phr.set(i, f, std::min({v, info.max(m), kLargest}));
            }
            if (m == Model::WQ7000) {
                phr.setType(i, kind.type);
            } else {
                phr.setUsed(i, kind.type);
                phr.setMidiFlag(i, kind.midiFlag);
                if (kind.patternMode == 0) phr.setPatternMode(i, 0);
            }
            phr.setName(i, std::string(phraseNameLength(m), 'M'));
            ++i;
        }
    }
    CWQESys sys;
    CWQEMemo memo;
    memo.setModel(m);
    std::vector<std::vector<std::string>> texts(columns);
    for (int row = 0; row < count; ++row) {
        const auto cells = phraseListRow(sys, phr, memo, row, lang);
        for (std::size_t c = 0; c + 1 < columns; ++c)  // not the memo column
            if (std::find(texts[c].begin(), texts[c].end(), cells[c]) == texts[c].end())
                texts[c].push_back(cells[c]);
    }
    texts[kCol7Number].push_back(format("%04d", kHighestPhraseCount7000));
    return texts;
}

std::string phrasePlaybackTimeText(std::int64_t tenths) {
    if (tenths < 0) tenths = 0;
    return format("%02lld:%02d:%02d.%ds", static_cast<long long>(tenths / 36000),
                  static_cast<int>(tenths / 600 % 60), static_cast<int>(tenths / 10 % 60),
                  static_cast<int>(tenths % 10));
}

}  // namespace wqe
