#include "view/PhraseListText.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <iterator>

#include "card/TextCodec.h"
#include "timecode/CConvert.h"

namespace wqe {

namespace {

constexpr int kColumns5000 = 14;
constexpr int kColumns7000 = 22;
constexpr int kRebuiltDashColumns = 13;  // a rebuilt row shows "---" in columns 1..13
constexpr std::uint32_t kOff5000 = 32768;

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
    return v == kOff5000 ? off(lang) : minutesSplit(v);
}

void fillRow5000(const CWQEPhr& phr, const CWQEMemo& memo, int i, Language lang,
                 std::vector<std::string>& c) {
    if (phr.getUsed(i) != 1) return;  // the rebuilt row's "---" stay
    c[13] = cp932ToUtf8(memo.phraseMemo(i));
    c[1] = cp932ToUtf8(phr.getName(i));
    c[8] = tenthsSplit(phr.getDelay(i));
    c[9] = secondsOrOff5000(phr.getRepeat(i), lang);
    c[10] = secondsOrOff5000(phr.getControlOutput(i), lang);

    if (phr.getMidiFlag(i) == 1) {
        c[2] = "MIDI ";
        c[3] = kNoPlaybackTime;
        c[4] = kNoGrade;
        c[5] = kNoMode5000;
        c[6] = kNoRecType;
        c[7] = kNoVolume;
        c[11] = kNoSetting;
        c[12] = format("%3d   ", phr.getTempo(i) + 5);
        return;
    }
    if (const std::uint32_t mode = phr.getPatternMode(i); mode != 0) {
        c[2] = pick(lang, "PATTERN", "ﾊﾟﾀｰﾝ");
        c[3] = kNoPlaybackTime;
        c[4] = kNoGrade;
        c[5] = kNoMode5000;
        c[6] = kNoRecType;
        c[7] = kNoVolume;
        switch (mode) {
            case 1:
                c[11] = pick(lang, "SEQUENCE", "ｼﾞｭﾝｼﾞ");
                break;
            case 2:
                c[11] = pick(lang, "RANDOM1", "ﾗﾝﾀﾞﾑ ");
                break;
            case 3:
                c[11] = pick(lang, "RANDOM2", "ﾗﾝﾀﾞﾑ2");
                break;
            case 4:
                c[11] = pick(lang, "RANDOM3", "ﾗﾝﾀﾞﾑ3");
                break;
            default:
                c[11] = kNoSetting;
                break;
        }
        c[12] = kNoSetting;
        return;
    }
    c[2] = pick(lang, "AUDIO", "ｵﾝｾｲ ");
    c[3] = phrasePlaybackTimeText(phr.playbackTenths(i));
    c[4] = fromTable(kGrades5000, phr.getGrade(i), kNoGrade);
    c[5] = fromTable(kModes5000, phr.getMode(i), kNoMode5000);
    c[6] = fromTable(kRecTypes, phr.getRecordingType(i), kNoRecType);
    c[7] = format("%3d%%", phr.getVolume(i));
    c[11] = kNoSetting;
    c[12] = kNoSetting;
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

void setNoPoints(std::vector<std::string>& c) {
    c[9] = c[10] = c[12] = c[13] = kNoPoint;
    c[11] = kNoLoop;
}

void fillRow7000(const CWQESys& sys, const CWQEPhr& phr, const CWQEMemo& memo, int i, Language lang,
                 std::vector<std::string>& c) {
    const std::uint32_t type = phr.getType(i);
    if (type == kTypeEmpty) {
        std::fill(c.begin() + 1, c.end(), "---");
        return;
    }
    c[21] = cp932ToUtf8(memo.phraseMemo(i));
    c[1] = cp932ToUtf8(phr.getName(i));
    if (type > kTypeSong) return;

    const int mtcType = sys.getMtcType();
    const std::string volume = format("%d%%", phr.getVolume(i));
    c[8] = phraseDelayText(phr.getDelay(i), mtcType);
    c[16] = switchedCount(phr.getRepeatSwitch(i), phr.getRepeatCount(i), lang);
    c[17] = minutesSplit(phr.getRepeatInterval(i));
    c[18] =
        phr.getControlOutputSwitch(i) == 0 ? off(lang) : minutesSplit(phr.getControlOutputTime(i));
    const std::string fadeIn = fadeText(phr.getFadeIn(i), lang);
    const std::string fadeOut = fadeText(phr.getFadeOut(i), lang);

    switch (type) {
        case kTypeAudio: {
            const std::uint32_t grade = phr.getGrade(i), mode = phr.getMode(i);
            c[2] = pick(lang, "AUDIO", "ｵﾝｾｲ ");
            c[3] = phrasePlaybackTimeText(phr.playbackTenths(i));
            c[4] = fromTable(kGrades7000, grade, kNoGrade);
            c[5] = fromTable(kModes7000, mode, kNoMode7000);
            c[6] = fromTable(kRecTypes, phr.getRecordingType(i), kNoRecType);
            c[7] = volume;
            c[14] = fadeIn;
            c[15] = fadeOut;
            if (mode == 2) {
                setNoPoints(c);  // MODE2 phrases have no points
            } else {
                const int g = static_cast<int>(grade);
                c[9] = phrasePointText(phr.getStartPoint(i), g, mtcType);
                c[10] = phrasePointText(phr.getEndPoint(i), g, mtcType);
                c[12] = phrasePointText(phr.getLoop1Point(i), g, mtcType);
                c[13] = phrasePointText(phr.getLoop2Point(i), g, mtcType);
                c[11] = switchedCount(phr.getLoopSwitch(i), phr.getLoopCount(i), lang);
            }
            c[19] = c[20] = kNoSetting;
            break;
        }
        case kTypeMidi:
            c[2] = "MIDI ";
            c[3] = kNoPlaybackTime;
            c[4] = kNoGrade;
            c[5] = kNoMode7000;
            c[6] = kNoRecType;
            c[7] = kNoVolume;
            c[14] = c[15] = kNoFade;
            setNoPoints(c);
            c[19] = kNoSetting;
            c[20] = format("%d", phr.getTempo(i) + 5);
            break;
        case kTypePattern:
            c[2] = pick(lang, "PATTERN", "ﾊﾟﾀｰﾝ");
            c[3] = kNoPlaybackTime;
            c[4] = kNoGrade;
            c[5] = kNoMode7000;
            c[6] = kNoRecType;
            c[7] = volume;
            c[14] = fadeIn;
            c[15] = fadeOut;
            setNoPoints(c);
            switch (phr.getPatternMode(i)) {
                case 0:
                    c[19] = pick(lang, "SEQUENCE", "ｼﾞｭﾝｼﾞ");
                    break;
                case 1:
                    c[19] = pick(lang, "RANDOM1", "ﾗﾝﾀﾞﾑ1");
                    break;
                case 2:
                    c[19] = pick(lang, "RANDOM2", "ﾗﾝﾀﾞﾑ2");
                    break;
                case 3:
                    c[19] = pick(lang, "RANDOM3", "ﾗﾝﾀﾞﾑ3");
                    break;
                default:
                    c[19] = "---  ";
                    break;
            }
            c[20] = kNoSetting;
            break;
        case kTypeSong:
            c[2] = pick(lang, "SONG ", "ｿﾝｸﾞ ");
            c[3] = kNoPlaybackTime;
            c[4] = kNoGrade;
            c[5] = " ---    ";
            c[6] = kNoRecType;
            c[7] = volume;
            c[14] = fadeIn;
            c[15] = fadeOut;
            setNoPoints(c);
            c[19] = c[20] = kNoSetting;
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
    cells[0] = format("%04d", index + 1);
    for (int k = 1; k <= kRebuiltDashColumns; ++k) cells[k] = "---";
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
    texts[0].push_back(format("%04d", kHighestPhraseCount7000));
    return texts;
}

std::string phrasePlaybackTimeText(std::int64_t tenths) {
    if (tenths < 0) tenths = 0;
    return format("%02lld:%02d:%02d.%ds", static_cast<long long>(tenths / 36000),
                  static_cast<int>(tenths / 600 % 60), static_cast<int>(tenths / 10 % 60),
                  static_cast<int>(tenths % 10));
}

std::uint64_t phrasePointToMs(std::uint32_t point, int grade) {
    static constexpr double kRates[] = {8.0, 16.0, 22.058823529411764, 32.0, 44.11764705882353,
                                        48.0};
    const double samples = static_cast<double>(point) * 16.0;
    if (grade < 0 || grade >= static_cast<int>(std::size(kRates)))
        return static_cast<std::uint64_t>(samples);
    return static_cast<std::uint64_t>(samples / kRates[grade]);
}

std::string phrasePointText(std::uint32_t point, int grade, int mtcType) {
    const TimeCode tc = CConvert::MsToTimeCode(phrasePointToMs(point, grade), mtcType);
    return format("%02dh%02dm%02ds%02df%02dsf", tc.hours % 100, tc.minutes, tc.seconds, tc.frames,
                  tc.tenths);
}

std::string phraseDelayText(std::uint32_t ms, int mtcType) {
    const TimeCode tc = CConvert::MsToTimeCode(ms, mtcType);
    return format("%02ds%02df", tc.seconds, tc.frames);
}

}  // namespace wqe
