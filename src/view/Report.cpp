#include "view/Report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

#include "dialogs/SystemDialogs.h"
#include "view/PhraseListText.h"
#include "view/SystemForm.h"

namespace wqe {

namespace {

std::string format(const char* fmt, int a, int b = 0) {
    char text[64];
    std::snprintf(text, sizeof text, fmt, a, b);
    return text;
}

std::string onOff(int value, Language lang) {
    return value != 0 ? pick(lang, "ON", "ｵﾝ") : pick(lang, "OFF", "ｵﾌ");
}

std::string itemAt(const std::vector<std::string>& items, int position) {
    return position >= 0 && position < static_cast<int>(items.size()) ? items[position]
                                                                      : std::string();
}

// A value shown through a form list at the position the record selects.
std::string formItem(const CWQEDoc& doc, FormList list, Language lang) {
    return itemAt(formListItems(list, lang), formListPosition(doc, list));
}

// A value shown through a settings dialog's list at the record's position.
std::string dialogItem(const CWQESys& sys, DialogField f, Language lang) {
    return itemAt(dialogFieldItems(f, sys.model(), lang), dialogFieldValue(sys, f));
}

// A two-item list where 0 picks the first item and any other value the second.
std::string firstOrSecond(const CWQESys& sys, DialogField f, int value, Language lang) {
    return dialogFieldItems(f, sys.model(), lang).at(value == 0 ? 0 : 1);
}

// A table entry: "A%04d" / "B%04d" / special (WQ-7000), "A%03d" / "B%03d" /
// special (WQ-5000); PLAY only where the table allows it.
std::string entryText(const char* labelFmt, int number, std::uint16_t v, Model m,
                      bool playAllowed) {
    const bool w7 = m == Model::WQ7000;
    const int base = highestPhraseCount(m);
    std::string text = format(labelFmt, number);
    if (v < base) return text + format(w7 ? "A%04d" : "A%03d", v + 1);
    if (v < 2 * base) return text + format(w7 ? "B%04d" : "B%03d", v - base + 1);
    if (playAllowed && v == refPlay(m)) return text + "PLAY";
    return text + (w7 ? "-----" : "----");
}

}  // namespace

ReportFont reportFont(Language lang) {
    if (lang == Language::Japanese) return {"ＭＳ ゴシック", 180, 300};
    return {"Courier New", 160, 300};
}

ReportMetrics defaultReportMetrics(Language lang) {
    // Courier's characters are 0.6 em wide; an em of 140 twips gives a cell
    // of about 160 twips, as the printed font has. The Japanese font's
    // half-width characters are half its 180-twip em.
    if (lang == Language::Japanese) return {180, 180, 90};
    return {160, 160, 84};
}

int reportFooterY(Language lang) { return lang == Language::Japanese ? 15840 : 15000; }

int reportPhrasesPerPage(Model m) {
    return m == Model::WQ7000 ? kPhrasesPerPage7000 : kPhrasesPerPage5000;
}

int countUsedPhrases(const CWQEDoc& doc) {
    if (!doc.isLoaded()) return 0;
    const int slots = doc.phraseCount();
    int used = 0;
    for (int i = 0; i < slots; ++i) used += doc.phr().isUsed(i) ? 1 : 0;
    return used;
}

int reportPhrasePages(const CWQEDoc& doc) {
    const int per = reportPhrasesPerPage(doc.model());
    return std::max(1, (countUsedPhrases(doc) + per - 1) / per);
}

int reportPageCount(const CWQEDoc& doc, ReportKind kind) {
    if (!doc.isLoaded()) return 0;
    switch (kind) {
        case ReportKind::SystemAndPhrase:
            return kSystemPages + reportPhrasePages(doc);
        case ReportKind::System:
            return kSystemPages;
        case ReportKind::Phrase:
            return reportPhrasePages(doc);
    }
    return 0;
}

namespace {

// Decodes one UTF-8 sequence at `i`; returns its code point and advances i.
char32_t nextCodePoint(std::string_view s, std::size_t& i) {
    const auto b = static_cast<unsigned char>(s[i]);
    int len = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
    if (i + len > s.size()) len = 1;
    char32_t cp = len == 1 ? b : b & (0x3F >> (len - 1));
    for (int k = 1; k < len; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    i += len;
    return cp;
}

int columnsOf(char32_t cp) { return cp < 0x80 || (cp >= 0xFF61 && cp <= 0xFF9F) ? 1 : 2; }

}  // namespace

int reportTextColumns(std::string_view utf8) {
    int columns = 0;
    for (std::size_t i = 0; i < utf8.size();) columns += columnsOf(nextCodePoint(utf8, i));
    return columns;
}

std::vector<std::string> wrapReportText(std::string_view utf8, int columns) {
    std::vector<std::string> lines;
    columns = std::max(columns, 2);
    std::size_t start = 0;
    while (start <= utf8.size()) {
        const std::size_t end = std::min(utf8.find('\n', start), utf8.size());
        std::string_view paragraph = utf8.substr(start, end - start);
        if (!paragraph.empty() && paragraph.back() == '\r') paragraph.remove_suffix(1);
        // Greedy fill: a line ends at the last blank that fits, or where the
        // width runs out inside a word.
        do {
            std::size_t i = 0, lastBlank = std::string_view::npos;
            int width = 0;
            while (i < paragraph.size()) {
                std::size_t next = i;
                const char32_t cp = nextCodePoint(paragraph, next);
                if (width + columnsOf(cp) > columns) break;
                if (cp == ' ') lastBlank = i;
                width += columnsOf(cp);
                i = next;
            }
            std::size_t cut = i, resume = i;
            if (i < paragraph.size() && lastBlank != std::string_view::npos && lastBlank > 0) {
                cut = lastBlank;
                resume = lastBlank + 1;
            }
            lines.emplace_back(paragraph.substr(0, cut));
            paragraph.remove_prefix(resume);
        } while (!paragraph.empty());
        if (end >= utf8.size()) break;
        start = end + 1;
        // A final line feed ends the last line; it does not open another.
        if (start == utf8.size()) break;
    }
    return lines;
}

// Draws onto one page: a text cursor y (top of the next line) and the
// drawing operations, in twips.
class Report::Writer {
public:
    Writer(const ReportMetrics& m, int left) : lh(m.lineHeight), left(left) {}

    void text(int x, int y, std::string s, ReportAlign align = ReportAlign::Left, int width = 0) {
        page.texts.push_back({x, y, width, std::move(s), align});
    }
    void rule(int x1, int y1, int x2, int y2, int width = 0) {
        page.lines.push_back({x1, y1, x2, y2, width});
    }
    // A line at the left margin; the next one follows one LH lower.
    void line(std::string label, const std::string& value = {}) {
        text(left, y, std::move(label) + value);
        y += lh;
    }
    void blank() { y += lh; }
    // A gap of 2 LH before the next line instead of one.
    void gap() { y += lh; }

    ReportPage page;
    int lh;
    int left;
    int y = 0;
};

Report::Report(const CWQEDoc& doc, ReportKind kind, Language lang, ReportMetrics metrics)
    : doc_(doc), kind_(kind), lang_(lang), metrics_(metrics) {
    pageCount_ = reportPageCount(doc, kind);
    if (pageCount_ == 0) return;
    phrasePages_ = reportPhrasePages(doc);
    if (kind != ReportKind::System) buildColumns();
}

void Report::buildColumns() {
    const auto listColumns = phraseListColumns(doc_.model(), lang_);
    std::vector<int> longest(listColumns.size(), 0);
    for (std::size_t c = 0; c < listColumns.size(); ++c)
        longest[c] = reportTextColumns(listColumns[c].header);
    const int rows = phraseListRowCount(doc_);
    for (int i = 0; i < rows; ++i) {
        auto cells = phraseListRow(doc_, i, lang_);
        for (std::size_t c = 0; c < cells.size() && c < longest.size(); ++c)
            longest[c] = std::max(longest[c], reportTextColumns(cells[c]));
        if (doc_.phr().isUsed(i)) usedRows_.push_back(std::move(cells));
    }
    columns_.clear();
    for (std::size_t c = 0; c < listColumns.size(); ++c) {
        // The list's columns are all left-aligned.
        const int width = listColumns[c].width == 0 ? 0 : (longest[c] + 1) * metrics_.charWidth;
        columns_.push_back({width, ReportAlign::Left, listColumns[c].header});
    }
}

ReportPage Report::page(int n) const {
    if (n < 1 || n > pageCount_) return {};
    switch (kind_) {
        case ReportKind::SystemAndPhrase:
            return n <= kSystemPages ? systemPage(n, n) : phrasePage(n - kSystemPages, n);
        case ReportKind::System:
            return systemPage(n, n);
        case ReportKind::Phrase:
            return phrasePage(n, n);
    }
    return {};
}

std::vector<ReportPage> Report::pages() const {
    std::vector<ReportPage> all;
    all.reserve(pageCount_);
    for (int n = 1; n <= pageCount_; ++n) all.push_back(page(n));
    return all;
}

void Report::drawHead(Writer& w, bool system, int number) const {
    const int lh = metrics_.lineHeight;
    const std::string title =
        std::string(system ? "System Info. (Folder:" : "Phrase Info. (Folder:") +
        systemFolderText(doc_, "") + ")     " + format("No.%d", number);
    w.text(w.left, 2 * lh, title);
    const int ruleY = 2 * lh + lh * 3 / 2;
    w.rule(w.left, ruleY, w.left + rulerWidth(), ruleY);
    w.y = ruleY + lh;
}

void Report::drawFooter(Writer& w, int absolutePage) const {
    const int base = reportFooterY(lang_);
    const int ruleY = base - 2 * metrics_.lineHeight;
    w.rule(w.left, ruleY, w.left + rulerWidth(), ruleY);
    w.text(w.left, base, doc_.systemPath());
    w.text(kReportPageNumberRight, base, format("Page %d", absolutePage), ReportAlign::Right);
}

ReportPage Report::systemPage(int n, int absolutePage) const {
    Writer w(metrics_, kReportLeftMargin);
    if (!doc_.isLoaded() || n < 1 || n > kSystemPages) return {};
    drawHead(w, true, n);
    if (n == 1) drawSystemPage1(w);
    if (n == 2) drawSystemPage2(w);
    if (n == 3) drawSystemPage3(w);
    drawFooter(w, absolutePage);
    return std::move(w.page);
}

void Report::drawSystemPage1(Writer& w) const {
    const CWQESys& sys = doc_.sys();
    const bool w7 = doc_.model() == Model::WQ7000;
    const Language lang = lang_;
    const int lh = metrics_.lineHeight;
    // A line that only the WQ-7000 has; the WQ-5000 leaves it blank.
    auto line7 = [&](const char* label, const std::string& value) {
        if (w7)
            w.line(label, value);
        else
            w.blank();
    };

    w.line("Card Name   : ", cardNameText(doc_));
    w.line("Phrase Num. : ", phraseCountText(doc_));
    w.gap();
    const std::string memoLabel = "Memo : ";
    const int memoY = w.y;
    w.text(w.left, memoY, memoLabel);
    const int labelWidth = reportTextColumns(memoLabel) * metrics_.charWidth;
    const int boxWidth = rulerWidth() - labelWidth;
    w.page.boxes.push_back({w.left + labelWidth, memoY, boxWidth, 10 * lh,
                            wrapReportText(systemMemoText(doc_), boxWidth / metrics_.charWidth)});
    w.y = memoY + 12 * lh;

    w.line("System Settings");
    w.line("  Dual Mono Mode    : ", formItem(doc_, FormList::DualMonoMode, lang));
    w.gap();
    w.line("  Line Thru settings");
    // The WQ-7000's line thru is a switch; the WQ-5000's is Mute / Mix / OFF,
    // printed as its list shows it.
    w.line("    Line Thru        : ",
           w7 ? onOff(sys.getLineThru(), lang) : dialogItem(sys, DialogField::LineThru, lang));
    line7("    Line Thru Volume : ", format("%d%%", sys.getLineThruVolume()));
    const int fadeIn = sys.getLineThruFadeIn(), fadeOut = sys.getLineThruFadeOut();
    line7("    Fade In          : ", format("%01d.%ds", fadeIn / 10, fadeIn % 10));
    line7("    Fade Out         : ", format("%01d.%ds", fadeOut / 10, fadeOut % 10));
    w.gap();
    w.line("  Busy Out settings");
    if (w7) {
        w.line("    During Delay Time     : ", onOff(sys.getBusyOutDelay(), lang));
        w.line("    During Phrase Playback: ", onOff(sys.getBusyOutPlayback(), lang));
        w.line("    During Repeat Interval: ", onOff(sys.getBusyOutInterval(), lang));
    } else {
        bool delay = false, interval = false;
        const bool known = busyOutFromCode(sys.getBusyOutCode(), delay, interval);
        w.line("    During Delay Time     : ", known ? onOff(delay, lang) : std::string());
        w.blank();
        w.line("    During Repeat Interval: ", known ? onOff(interval, lang) : std::string());
    }
    w.gap();
    line7("  Display Sleep : ", formItem(doc_, FormList::DisplaySleep, lang));
    line7("  Output Volume Thru : ", formItem(doc_, FormList::OutputVolumeThru, lang));
    if (w7) {
        w.gap();
        w.line("  Equalizer settings");
        w.line("    Switch           : ", onOff(sys.getEqSwitch(), lang));
        w.line("    Low Freq         : ", dialogItem(sys, DialogField::EqLowFreq, lang));
        w.line("    Low Gain         : ", format("%ddB", sys.getEqLowGain() - 12));
        w.line("    Hi Freq          : ", dialogItem(sys, DialogField::EqHighFreq, lang));
        w.line("    Hi Gain          : ", format("%ddB", sys.getEqHighGain() - 12));
        w.line("    Attenuation      : ", format("%ddB", sys.getEqAttenuation() - 12));
    }
    w.gap();
    w.line("RS-232C Setting");
    w.line("  Baud Rate         : ", formItem(doc_, FormList::BaudRate, lang));
    w.gap();
    w.line("Card Editing");
    w.line("  Card Protect      : ", formItem(doc_, FormList::CardProtect, lang));
    w.gap();
    line7("WQ-LINK Setting", {});
    line7("  WQ-LINK Mode       : ", formItem(doc_, FormList::WqLinkMode, lang));
}

void Report::drawProgramTable(Writer& w, int table) const {
    const Model m = doc_.model();
    const auto refs = doc_.sys().getProgramPlayTable(table);
    constexpr int kRows = 20, kColumnStep = 2000;
    const int top = w.y;
    for (int k = 0; k < kProgramPlayEntries; ++k) {
        w.text(w.left + (k / kRows) * kColumnStep, top + (k % kRows) * w.lh,
               entryText("    No.%03d: ", k + 1, refs[k], m, false));
    }
    w.y = top + kRows * w.lh;
}

void Report::drawSystemPage2(Writer& w) const {
    const Model m = doc_.model();
    w.line("Control Input Settings");
    w.line("  Direct Play : ");
    const auto direct = doc_.sys().getDirectPlayTable();
    for (int k = 0; k < kDirectPlayEntries; ++k)
        w.line(entryText("    CH%02d: ", k + 1, direct[k], m, true));
    for (int t = 0; t < 3; ++t) {
        w.line(format("  Program Play %d : ", t + 1));
        drawProgramTable(w, t);
    }
}

void Report::drawSystemPage3(Writer& w) const {
    const CWQESys& sys = doc_.sys();
    const bool w7 = doc_.model() == Model::WQ7000;
    const Language lang = lang_;
    auto line7 = [&](const char* label, const std::string& value) {
        if (w7)
            w.line(label, value);
        else
            w.blank();
    };

    w.line("Control Input Settings");
    for (int t = 3; t < kProgramPlayTables; ++t) {
        w.line(format("  Program Play %d : ", t + 1));
        drawProgramTable(w, t);
    }
    w.gap();
    w.line("  Control Input Select    : ", dialogItem(sys, DialogField::ControlInputSelect, lang));
    std::string trigger = dialogItem(sys, DialogField::BinaryTrigger, lang);
    if (!w7 && sys.getBinaryTrigger() == 2) trigger = " ";
    w.line("  Binary Playback Trigger : ", trigger);
    line7("  Treminal REC       : ", dialogItem(sys, DialogField::TerminalRec, lang));
    w.gap();
    w.line("MIDI Settings");
    const int channel = sys.getMidiChannel();
    const auto channels = dialogFieldItems(DialogField::Channel, sys.model(), lang);
    w.line("  MIDI Channel  : ", channel > 16 ? channels.back() : itemAt(channels, channel));
    w.line("  MIDI Output   : ",
           firstOrSecond(sys, DialogField::MidiOutput, sys.getMidiOutput(), lang));
    w.line("  Note Trigger  : ",
           firstOrSecond(sys, DialogField::NoteTrigger, sys.getNoteTrigger(), lang));
    w.line("  Device ID     : ", format("%d", sys.getDeviceId()));
    line7("  Note Out      : ", onOff(sys.getNoteOut(), lang));
    line7("  MMC Mode           : ", dialogItem(sys, DialogField::MmcMode, lang));
    line7("  Rx Message : ", {});
    line7("    Note On Velocity : ", onOff(sys.getRxVelocity(), lang));
    line7("    Panpot           : ", onOff(sys.getRxPanpot(), lang));
    line7("    Expression       : ", onOff(sys.getRxExpression(), lang));
    line7("  MTC Settings : ", {});
    line7("    Sync Source      : ",
          firstOrSecond(sys, DialogField::SyncSource, sys.getMtcSyncSource(), lang));
    line7("    Sync Out         : ",
          firstOrSecond(sys, DialogField::SyncOut, sys.getMtcSyncOut(), lang));
    line7("    MTC Type         : ", dialogItem(sys, DialogField::MtcType, lang));
    line7("    Error Level      : ", format("%d", sys.getMtcErrorLevel()));
}

void Report::drawPhraseRow(Writer& w, const std::vector<std::string>& cells, int first, int last,
                           bool header) const {
    const int lh = metrics_.lineHeight;
    const int rowHeight = lh + 6;
    const int right = w.left + rulerWidth();
    int x = w.left;
    for (int c = first; c <= last && c < static_cast<int>(columns_.size()); ++c) {
        const ReportColumn& col = columns_[c];
        if (col.width == 0) continue;
        if (x + col.width > right) break;
        w.rule(x - 2, w.y, x - 2, w.y + rowHeight);
        const std::string& text =
            header ? col.header : (c < static_cast<int>(cells.size()) ? cells[c] : col.header);
        w.text(x, w.y + 3, text, col.align, col.width);
        x += col.width;
    }
    w.rule(x - 2, w.y, x - 2, w.y + rowHeight);
    if (!header) w.rule(w.left, w.y + rowHeight, right, w.y + rowHeight, 3);
    w.y += rowHeight;
}

void Report::drawPhrase(Writer& w, const std::vector<std::string>& cells) const {
    const bool w7 = doc_.model() == Model::WQ7000;
    const int memoColumn = w7 ? 21 : 13;
    if (w7) {
        drawPhraseRow(w, cells, 0, 10, true);
        drawPhraseRow(w, cells, 0, 10, false);
        drawPhraseRow(w, cells, 11, 20, true);
        drawPhraseRow(w, cells, 11, 20, false);
    } else {
        drawPhraseRow(w, cells, 0, 12, true);
        drawPhraseRow(w, cells, 0, 12, false);
    }
    // The memo in a box one line high after its header: a page holds its
    // phrases with one memo line each, and a longer memo is cut at the box.
    const std::string label = columns_.at(memoColumn).header + " : ";
    const int labelWidth = reportTextColumns(label) * metrics_.charWidth;
    const int boxWidth = rulerWidth() - labelWidth;
    w.text(w.left, w.y, label);
    w.page.boxes.push_back({w.left + labelWidth, w.y, boxWidth, metrics_.lineHeight,
                            wrapReportText(cells.at(memoColumn), boxWidth / metrics_.charWidth)});
    w.y += metrics_.lineHeight;
    w.y += (w7 ? 3 : 2) * metrics_.lineHeight;
}

ReportPage Report::phrasePage(int n, int absolutePage) const {
    Writer w(metrics_, kReportLeftMargin);
    if (!doc_.isLoaded() || n < 1 || n > phrasePages_ || columns_.empty()) return {};
    drawHead(w, false, n);
    const int per = reportPhrasesPerPage(doc_.model());
    const int used = static_cast<int>(usedRows_.size());
    for (int k = (n - 1) * per; k < std::min(used, n * per); ++k) drawPhrase(w, usedRows_[k]);
    drawFooter(w, absolutePage);
    return std::move(w.page);
}

std::string reportPageText(const ReportPage& page, const ReportMetrics& metrics) {
    // Every text and every line of a memo box, keyed by its top edge.
    struct Placed {
        int x;
        std::string text;
    };
    std::map<int, std::vector<Placed>> rows;
    const int cw = std::max(1, metrics.charWidth);
    for (const ReportText& t : page.texts) {
        const int width = reportTextColumns(t.text) * cw;
        int x = t.x;
        if (t.align == ReportAlign::Right) x = t.x + t.width - width;
        if (t.align == ReportAlign::Center) x = t.x + (t.width - width) / 2;
        rows[t.y].push_back({x, t.text});
    }
    for (const ReportBox& b : page.boxes) {
        const int fit = metrics.lineHeight > 0 ? b.height / metrics.lineHeight : 0;
        for (int i = 0; i < static_cast<int>(b.lines.size()) && i < fit; ++i)
            rows[b.y + i * metrics.lineHeight].push_back({b.x, b.lines[i]});
    }
    std::string out;
    bool first = true;
    int lastY = 0;
    for (auto& [y, texts] : rows) {
        if (!first) {
            const int breaks = std::max(
                1,
                static_cast<int>(std::lround(double(y - lastY) / std::max(1, metrics.lineHeight))));
            out.append(breaks, '\n');
        }
        first = false;
        lastY = y;
        std::sort(texts.begin(), texts.end(),
                  [](const Placed& a, const Placed& b) { return a.x < b.x; });
        std::string line;
        int column = 0;
        for (const Placed& p : texts) {
            const int want =
                std::max(0, static_cast<int>(std::lround(double(p.x - kReportLeftMargin) / cw)));
            if (want > column) {
                line.append(want - column, ' ');
                column = want;
            } else if (column > 0 && want < column) {
                line += ' ';
                ++column;
            }
            line += p.text;
            column += reportTextColumns(p.text);
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        out += line;
    }
    if (!first) out += '\n';
    return out;
}

std::string reportText(const Report& report) {
    std::string out;
    for (int n = 1; n <= report.pageCount(); ++n) {
        if (n > 1) out += '\f';
        out += reportPageText(report.page(n), report.metrics());
    }
    return out;
}

}  // namespace wqe
