#include "maintenance/CopyInformation.h"

#include <cstdio>

#include "card/CWQEPhr.h"
#include "card/PatternFile.h"
#include "card/PhrasePrm.h"
#include "timecode/CConvert.h"
#include "view/PhraseListText.h"

namespace wqe {

namespace {

constexpr std::uint32_t kOff5000 = 32768;  // WQ-5000 control output and repeat: OFF
constexpr int kPatternRefBase5000 = 500;   // WQ-5000 B bank starts at reference 500
constexpr int kPatternRefBase7000 = 1000;  // WQ-7000 B bank starts at reference 1000

template <class... A>
std::string format(const char* f, A... a) {
    char buf[160];
    std::snprintf(buf, sizeof buf, f, a...);
    return buf;
}

struct Labels {
    const char *off, *on, *endless, *volume, *tempo, *control, *delay, *repeat, *interval, *pattern,
        *name, *memo, *clickInside;
    std::array<const char*, 4> modes;
};

const Labels& labels(Language lang) {
    static const Labels en{"OFF",
                           "ON",
                           "Endless",
                           "Volume",
                           "Tempo",
                           "Control",
                           "Delay",
                           "Repeat",
                           "Interval",
                           "Pattern",
                           "Name",
                           "Memo",
                           "(Click inside to have next one displayed)",
                           {"SEQUENCE", "Random 1", "Random 2", "Random 3"}};
    static const Labels ja{"ｵﾌ",
                           "ｵﾝ",
                           "ｴﾝﾄﾞﾚｽ",
                           "再生音量",
                           "ﾃﾝﾎﾟ",
                           "制御出力",
                           "遅延時間",
                           "ﾘﾋﾟｰﾄ",
                           "ﾘﾋﾟｰﾄ間隔",
                           "ﾊﾟﾀｰﾝﾓｰﾄﾞ",
                           "ﾌﾚｰｽﾞ名",
                           "ﾒﾓ",
                           "(クリックで次を表示)",
                           {"ｼﾞｭﾝｼﾞ", "ﾗﾝﾀﾞﾑ1", "ﾗﾝﾀﾞﾑ2", "ﾗﾝﾀﾞﾑ3"}};
    return lang == Language::Japanese ? ja : en;
}

const char* typeLabel(SourceKind kind, Language lang) {
    const bool ja = lang == Language::Japanese;
    switch (kind) {
        case SourceKind::Audio:
            return ja ? "(ｵﾝｾｲﾌﾚｰｽﾞ)" : "(Audio Phrase)";
        case SourceKind::Midi:
            return ja ? "(MIDIﾌﾚｰｽﾞ)" : "(MIDI Phrase)";
        case SourceKind::Pattern5000:
        case SourceKind::Pattern7000:
            return ja ? "(ﾊﾟﾀｰﾝﾌﾚｰｽﾞ)" : "(Pattern Phrase)";
        case SourceKind::Song:
            return ja ? "(ｿﾝｸﾞﾌﾚｰｽﾞ)" : "(Song Phrase)";
        default:
            return "";
    }
}

// The candidate record as field access (slot 0).
struct Candidate {
    std::vector<std::uint8_t> bytes;
    CWQEPhr phr;
    Candidate(const CopySource& src, Model m) : bytes(src.candidate) {
        bytes.resize(phraseRecordSize(m));
        phr.setModel(m);
        phr.attach(bytes);
    }
};

std::string minutesSeconds(std::uint32_t seconds) {
    return format("%02dm%02ds", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
}

// A step reference as "A%03d"/"B%03d" (WQ-5000) or "A%04d"/"B%04d"; "" when
// the reference names no phrase.
std::string memberRef(std::uint16_t ref, Model m) {
    const int base = m == Model::WQ5000 ? kPatternRefBase5000 : kPatternRefBase7000;
    if (ref >= 2 * base) return {};
    const char bank = ref < base ? 'A' : 'B';
    const int n = ref % base + 1;
    return m == Model::WQ5000 ? format("%c%03d:", bank, n) : format("%c%04d:", bank, n);
}

std::string patternMember(const PatternData& data, int step, Model m) {
    const bool interrupt = step >= kPatternMainSteps;
    const std::string ref = memberRef(data.stepRef(step), m);
    const int tenths = data.stepInterval(step);
    const std::string interval =
        interrupt ? "--.-|" : format("%02d.%01d|", tenths / 10, tenths % 10);
    if (m == Model::WQ5000)
        return (ref.empty() ? "----:" : ref) + (ref.empty() && !interrupt ? "00.0|" : interval);
    if (ref.empty()) return interrupt ? "-----:----:--.-|" : "-----:----:00.0|";
    return ref + format("%3d%%:", data.stepVolume(step)) + interval;
}

std::string songMember(const PatternData& data, int step, int mtcType) {
    const SongStep s = data.songStep(step);
    std::string ref;
    if (s.ref == kSongStop)
        ref = "Stop";
    else
        ref = memberRef(s.ref, Model::WQ7000);
    if (ref.empty()) return "-----:00h00m00s00f|";
    const TimeCode tc = CConvert::MsToTimeCode(s.startMs, mtcType);
    return ref + format("%02dh%02dm%02ds%02df|", tc.hours % 100, tc.minutes, tc.seconds, tc.frames);
}

// Pages of `first..last` step numbers (1-based) with `perLine` members a line.
struct PageRange {
    int first, last;
};

}  // namespace

std::string copySettingsSummary(const CopySource& source, const CWQEDoc& doc, Language lang) {
    const Model m = doc.model();
    const Labels& l = labels(lang);
    const Candidate c(source, m);
    const CWQEPhr& p = c.phr;
    const bool w5 = m == Model::WQ5000;

    auto volume = [&] { return format("%s:%d%%|", l.volume, static_cast<int>(p.getVolume(0))); };
    auto tempo = [&] { return format("%s:%d|", l.tempo, static_cast<int>(p.getTempo(0)) + 5); };
    auto control = [&] {
        const bool on = w5 ? p.getControlOutput(0) != kOff5000 : p.getControlOutputSwitch(0) != 0;
        if (!on) return format("%s:%s|", l.control, l.off);
        const std::uint32_t s = w5 ? p.getControlOutput(0) : p.getControlOutputTime(0);
        return std::string(l.control) + ":" + minutesSeconds(s) + "|";
    };
    auto delay = [&] {
        const std::uint32_t d = p.getDelay(0);
        if (w5)
            return format("%s:%02d.%ds|", l.delay, static_cast<int>(d / 10),
                          static_cast<int>(d % 10));
        return std::string(l.delay) + ":" + phraseDelayText(d, doc.sys().getMtcType()) + "|";
    };
    auto repeat = [&] {
        if (w5) {
            if (p.getRepeat(0) == kOff5000) return format("%s:%s|", l.repeat, l.off);
            return format("%s:%s|", l.repeat, l.on) + l.interval + ":" +
                   minutesSeconds(p.getRepeat(0)) + "|";
        }
        if (p.getRepeatSwitch(0) == 0) return format("%s:%s|", l.repeat, l.off);
        const std::string count =
            p.getRepeatCount(0) == 0
                ? format("%s:%s|", l.repeat, l.endless)
                : format("%s:%d|", l.repeat, static_cast<int>(p.getRepeatCount(0)));
        return count + l.interval + ":" + minutesSeconds(p.getRepeatInterval(0)) + "|";
    };
    auto patternMode = [&] {
        int mode = static_cast<int>(p.getPatternMode(0)) - (w5 ? 1 : 0);
        if (mode < 0 || mode > 3) mode = 0;
        return format("%s:%s|", l.pattern, l.modes[static_cast<std::size_t>(mode)]);
    };

    switch (source.kind) {
        case SourceKind::Audio:
        case SourceKind::Song:
            return volume() + control() + delay() + repeat();
        case SourceKind::Midi:
            return tempo() + control() + delay() + repeat();
        case SourceKind::Pattern5000:
        case SourceKind::Pattern7000:
            return (w5 ? "" : volume()) + control() + delay() + repeat() + patternMode();
        default:
            return {};
    }
}

std::vector<MemberPage> memberPages(const CopySource& source, Model m, int mtcType, Language lang) {
    std::vector<MemberPage> pages;
    const bool song = source.kind == SourceKind::Song;
    if (!song && source.kind != SourceKind::Pattern5000 && source.kind != SourceKind::Pattern7000)
        return pages;
    const PatternReadResult read = readPatternFile(source.path, m);
    if (!read.data) return pages;
    const PatternData& data = *read.data;

    // Members per page and per line; main steps and interrupt steps never
    // share a page.
    int perPage = 12, perLine = 4, mainSteps = kSongSteps, allSteps = kSongSteps;
    if (!song) {
        perPage = m == Model::WQ5000 ? 21 : 15;
        perLine = m == Model::WQ5000 ? 7 : 5;
        mainSteps = kPatternMainSteps;
        allSteps = kPatternAllSteps;
    }
    std::vector<PageRange> ranges;
    for (int first = 1; first <= mainSteps; first += perPage)
        ranges.push_back({first, std::min(first + perPage - 1, mainSteps)});
    for (int first = mainSteps + 1; first <= allSteps; first += perPage)
        ranges.push_back({first, std::min(first + perPage - 1, allSteps)});

    for (const PageRange& r : ranges) {
        MemberPage page;
        // The WQ-5000's last page is captioned "No.122~No128" on the device's
        // editor; kept as users know it.
        const char* format5000Last = "No.%d~No%d";
        const bool last5000 = m == Model::WQ5000 && !song && r.last == allSteps;
        page.caption = format(last5000 ? format5000Last : "No.%d~No.%d", r.first, r.last) +
                       labels(lang).clickInside;
        for (int step = r.first; step <= r.last; ++step) {
            const int k = step - r.first;
            const std::size_t line = static_cast<std::size_t>(k / perLine);
            page.lines[line] +=
                song ? songMember(data, step - 1, mtcType) : patternMember(data, step - 1, m);
        }
        pages.push_back(std::move(page));
    }
    return pages;
}

CopyInformation copyInformation(const CopySource* source, const CWQEDoc& doc, Language lang,
                                int slot, const FileInfoLines& fileLines, int page) {
    CopyInformation info;
    if (!source || !source->usable()) {
        info.caption = kCopyInfoCaption;
        info.lines.fill(kCopyInfoEmptyLine);
        return info;
    }
    const Model m = doc.model();
    const Labels& l = labels(lang);
    const Candidate c(*source, m);
    const std::string name = source->candidateEmpty()
                                 ? defaultPhraseName(doc.sys().getCardName(), slot, m)
                                 : c.phr.getName(0);
    info.caption = std::string(l.name) + ": " + name + " " + typeLabel(source->kind, lang);
    info.lines[0] = std::string(l.memo) + " : " + source->memo;
    info.lines[1] =
        fileLines[0] + (fileLines[0].empty() ? "" : "  ") + copySettingsSummary(*source, doc, lang);
    const auto pages = memberPages(*source, m, doc.sys().getMtcType(), lang);
    if (pages.empty()) {
        for (std::size_t k = 1; k < fileLines.size(); ++k) info.lines[k + 1] = fileLines[k];
        return info;
    }
    info.pages = static_cast<int>(pages.size());
    const MemberPage& shown = pages[static_cast<std::size_t>(page % info.pages)];
    info.lines[2] = shown.caption;
    for (std::size_t k = 0; k < 3; ++k) info.lines[k + 3] = shown.lines[k];
    return info;
}

}  // namespace wqe
