// The printed reports of a card as plain data: pages of drawing operations
// (texts at positions in twips, lines, the system memo box) that the printer,
// the preview, the PDF writers and the text output all draw the same way.
//
// Three kinds: system and phrase info (the three system pages, then the
// phrase pages), system info, phrase info. Positions are in twips (1/1440
// inch) from the top-left corner of the printable area, y growing downward.
// The layout follows the font's line height (LH) and the width of one
// character, which the caller measures on its output device (or takes from
// defaultReportMetrics for the built-in fixed-pitch fonts).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "card/CWQEDoc.h"
#include "card/Language.h"

namespace wqe {

enum class ReportKind { SystemAndPhrase = 0, System = 1, Phrase = 2 };

enum class ReportAlign { Left, Right, Center };

// Twips, measured on the output device.
struct ReportMetrics {
    int fontHeight = 160;  // cell height (ascent + descent) of the print font
    int lineHeight = 160;  // LH: font height plus its external leading
    int charWidth = 84;    // one (half-width) character of the fixed-pitch font
};

// The print font by language: "Courier New" at height 160 (8 points), or
// "ＭＳ ゴシック" at height 180 (9 points) under Japanese; both weight 300.
struct ReportFont {
    const char* face;  // UTF-8
    int height;        // twips
    int weight;
};
ReportFont reportFont(Language lang);

// Metrics of the built-in output (PDF standard Courier, or a Japanese
// fixed-pitch font whose half-width characters are half its height): the
// print font's height with no external leading.
ReportMetrics defaultReportMetrics(Language lang);

inline constexpr int kReportLeftMargin = 500;
// The ruler: "---------1---------2 ... ---------2---", 123 characters.
inline constexpr int kReportRulerChars = 123;
// The footer's "Page %d" ends here.
inline constexpr int kReportPageNumberRight = 10800;
// The footer's base line: 15000 twips down, 15840 under Japanese.
int reportFooterY(Language lang);

inline constexpr int kSystemPages = 3;
inline constexpr int kPhrasesPerPage7000 = 10;
inline constexpr int kPhrasesPerPage5000 = 16;
int reportPhrasesPerPage(Model m);

// A text whose top edge lies at y. With width 0 the text starts at x (Left),
// ends at x (Right) or is centred on x; with a width it is placed in the cell
// from x to x + width by its alignment.
struct ReportText {
    int x = 0, y = 0, width = 0;
    std::string text;  // UTF-8
    ReportAlign align = ReportAlign::Left;
};

// A straight line; width 0 is the thinnest line the device draws.
struct ReportLine {
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int width = 0;
};

// A text box with word wrap: the wrapped lines, one LH apart from the top,
// as many as fit into the height.
struct ReportBox {
    int x = 0, y = 0, width = 0, height = 0;
    std::vector<std::string> lines;  // UTF-8, already wrapped to the width
};

struct ReportPage {
    std::vector<ReportText> texts;
    std::vector<ReportLine> lines;
    std::vector<ReportBox> boxes;
};

// One column of the phrase report, from the phrase list: the print width
// (the longest of the header and every row's text, plus one, in characters
// times the character width), the alignment and the header.
struct ReportColumn {
    int width = 0;
    ReportAlign align = ReportAlign::Left;
    std::string header;
};

// Used phrases of the card (WQ-7000 type not 0, WQ-5000 used byte not 0).
int countUsedPhrases(const CWQEDoc& doc);
// Phrase pages: ceiling(used / phrases per page), at least 1.
int reportPhrasePages(const CWQEDoc& doc);
// Pages of a kind: phrase pages + 3, 3 or phrase pages; 0 without a card.
int reportPageCount(const CWQEDoc& doc, ReportKind kind);

// Display width of a UTF-8 text in half-width characters: ASCII and
// half-width katakana count one, every other character two.
int reportTextColumns(std::string_view utf8);
// Word wrap to `columns` half-width characters: breaks at line feeds and
// blanks, and inside words longer than a line.
std::vector<std::string> wrapReportText(std::string_view utf8, int columns);

// A report of one kind for the card as it is now. The column table and the
// used phrases are taken once, when the report is made (a print job); the
// pages are drawn from them on demand.
class Report {
public:
    Report(const CWQEDoc& doc, ReportKind kind, Language lang, ReportMetrics metrics);

    int pageCount() const { return pageCount_; }
    // Page n, 1-based; an empty page outside 1..pageCount.
    ReportPage page(int n) const;
    std::vector<ReportPage> pages() const;

    const std::vector<ReportColumn>& columns() const { return columns_; }
    const ReportMetrics& metrics() const { return metrics_; }
    Language language() const { return lang_; }
    int rulerWidth() const { return kReportRulerChars * metrics_.charWidth; }

    // System pages 1..3 and phrase pages 1..phrase pages, whatever the kind.
    ReportPage systemPage(int n, int absolutePage) const;
    ReportPage phrasePage(int n, int absolutePage) const;

private:
    class Writer;
    void buildColumns();
    void drawHead(Writer& w, bool system, int number) const;
    void drawFooter(Writer& w, int absolutePage) const;
    void drawSystemPage1(Writer& w) const;
    void drawSystemPage2(Writer& w) const;
    void drawSystemPage3(Writer& w) const;
    void drawProgramTable(Writer& w, int table) const;
    void drawPhraseRow(Writer& w, const std::vector<std::string>& cells, int first, int last,
                       bool header) const;
    void drawPhrase(Writer& w, const std::vector<std::string>& cells) const;

    const CWQEDoc& doc_;
    ReportKind kind_;
    Language lang_;
    ReportMetrics metrics_;
    int pageCount_ = 0;
    int phrasePages_ = 0;
    std::vector<ReportColumn> columns_;
    std::vector<std::vector<std::string>> usedRows_;  // cell texts of the used phrases
};

// The pages as plain text: each page's texts in lines from the top, placed
// by column (x in character widths from the left margin); pages separated
// by a form feed.
std::string reportPageText(const ReportPage& page, const ReportMetrics& metrics);
std::string reportText(const Report& report);

}  // namespace wqe
