#include "view/PatternStepText.h"

#include <cstdio>

#include "timecode/CConvert.h"

namespace wqe {

namespace {

constexpr int kBankSize5000 = 500;
constexpr int kBankSize7000 = 1000;

std::string numbered(const char* fmt, int n) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, fmt, n);
    return buffer;
}

const char* emptyRef(PatternKind kind) {
    return kind == PatternKind::Pattern5000 ? "----" : "-----";
}

std::string intervalText(std::uint16_t tenths) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%02d.%01ds", tenths / 10, tenths % 10);
    return buffer;
}

std::string startText(std::uint32_t ms, int mtcType) {
    const TimeCode tc = CConvert::MsToTimeCode(ms, mtcType);
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%02dh%02dm%02ds%02df", tc.hours, tc.minutes, tc.seconds,
                  tc.frames);
    return buffer;
}

}  // namespace

std::vector<std::string> patternStepHeaders(PatternKind kind, Language lang) {
    std::vector<std::string> headers = {"No.", pick(lang, "Phrase", "ﾌﾚｰｽﾞ")};
    switch (kind) {
        case PatternKind::Pattern5000:
            headers.push_back(pick(lang, "Interval", "間隔"));
            break;
        case PatternKind::Pattern7000:
            headers.push_back(pick(lang, "Volume", "音量"));
            headers.push_back(pick(lang, "Interval", "間隔"));
            break;
        case PatternKind::Song:
            headers.push_back(pick(lang, "Start", "ｽﾀｰﾄ"));
            break;
    }
    return headers;
}

std::string patternStepRefText(std::uint16_t ref, PatternKind kind, Language lang) {
    if (ref == kStepUnused) return emptyRef(kind);
    if (kind == PatternKind::Pattern5000) {
        if (ref < kBankSize5000) return numbered("A%03d", ref + 1);
        if (ref < 2 * kBankSize5000) return numbered("B%03d", ref - (kBankSize5000 - 1));
        return emptyRef(kind);
    }
    if (ref < kBankSize7000) return numbered("A%04d", ref + 1);
    if (ref < 2 * kBankSize7000) return numbered("B%04d", ref - (kBankSize7000 - 1));
    if (kind == PatternKind::Song) return pick(lang, "Stop", "ｽﾄｯﾌﾟ");
    return emptyRef(kind);
}

std::vector<std::string> patternStepRowTexts(PatternKind kind, int step, const EditorRow& r,
                                             Language lang, int mtcType) {
    std::vector<std::string> row = {std::to_string(step + 1)};
    const bool used = r.ref != kStepUnused;
    row.push_back(patternStepRefText(r.ref, kind, lang));
    if (kind == PatternKind::Song) {
        row.push_back(used ? startText(r.startMs, mtcType) : "00h00m00s00f");
        return row;
    }
    const bool interrupt = step >= kPatternMainSteps;
    if (kind == PatternKind::Pattern7000)
        row.push_back(used ? std::to_string(r.volume) + "%" : "----");
    row.push_back(interrupt ? "-----" : used ? intervalText(r.interval) : "00.0s");
    return row;
}

std::vector<std::vector<std::string>> patternStepRows(const PatternData& data, int rowCount,
                                                      Language lang, int mtcType) {
    const PatternKind kind = data.kind();
    std::vector<std::vector<std::string>> rows;
    for (int step = 0; step < rowCount; ++step) {
        EditorRow r;
        if (kind == PatternKind::Song) {
            const SongStep s = data.songStep(step);
            r.ref = s.ref;
            r.startMs = s.startMs;
        } else {
            r.ref = data.stepRef(step);
            r.volume = data.stepVolume(step);
            r.interval = data.stepInterval(step);
        }
        rows.push_back(patternStepRowTexts(kind, step, r, lang, mtcType));
    }
    return rows;
}

}  // namespace wqe
