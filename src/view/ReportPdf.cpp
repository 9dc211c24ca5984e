#include "view/ReportPdf.h"

#include <cstdio>
#include <vector>

#include "card/TextCodec.h"

namespace wqe {

namespace {

struct PageSize {
    int width, height;  // twips
};

PageSize pageSize(Language lang) {
    return lang == Language::Japanese ? PageSize{11906, 16838} : PageSize{12240, 15840};
}

std::string num(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

std::string hexString(std::string_view bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out = "<";
    for (unsigned char b : bytes) {
        out += digits[b >> 4];
        out += digits[b & 15];
    }
    return out + ">";
}

// The bytes a text is shown with: CP932 for the Japanese font; for Courier
// the ASCII characters, anything else as "?".
std::string fontBytes(const std::string& utf8, bool japanese) {
    if (japanese) return utf8ToCp932Lossy(utf8, "?");
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b < 0x80) {
            out += static_cast<char>(b >= 0x20 ? b : ' ');
        } else if ((b & 0xC0) != 0x80) {
            out += '?';  // one per character, its continuation bytes skipped
        }
    }
    return out;
}

class PdfFile {
public:
    // Reserves an object number.
    int reserve() {
        offsets_.push_back(0);
        return static_cast<int>(offsets_.size());
    }
    void object(int id, const std::string& body) {
        offsets_[id - 1] = out_.size();
        out_ += std::to_string(id) + " 0 obj\n" + body + "\nendobj\n";
    }
    void stream(int id, const std::string& data) {
        object(id, "<< /Length " + std::to_string(data.size()) + " >>\nstream\n" + data +
                       "\nendstream");
    }
    std::string finish(int root, int info) {
        const std::size_t xref = out_.size();
        out_ += "xref\n0 " + std::to_string(offsets_.size() + 1) + "\n0000000000 65535 f \n";
        for (std::size_t offset : offsets_) {
            char entry[24];
            std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
            out_ += entry;
        }
        out_ += "trailer\n<< /Size " + std::to_string(offsets_.size() + 1) + " /Root " +
                std::to_string(root) + " 0 R /Info " + std::to_string(info) +
                " 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
        return std::move(out_);
    }

private:
    std::string out_ = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
    std::vector<std::size_t> offsets_;
};

// The drawing of one page in PDF points, y upward from the bottom.
std::string pageContent(const ReportPage& page, const ReportMetrics& m, PageSize size,
                        bool japanese) {
    const double scale = 1.0 / 20.0;  // twips to points
    auto px = [&](int x) { return num((x + kReportPdfOffset) * scale); };
    auto py = [&](int y) { return num((size.height - kReportPdfOffset - y) * scale); };
    std::string s;
    s += "0 G\n";
    for (const ReportLine& l : page.lines) {
        s += num(l.width * scale) + " w " + px(l.x1) + " " + py(l.y1) + " m " + px(l.x2) + " " +
             py(l.y2) + " l S\n";
    }
    const double fontSize = (japanese ? m.fontHeight : m.charWidth / 0.6) * scale;
    // The baseline lies about four fifths of a line below the text's top.
    const int ascent = m.fontHeight * 4 / 5;
    auto show = [&](int x, int y, const std::string& text) {
        const std::string bytes = fontBytes(text, japanese);
        if (bytes.empty()) return;
        s += "BT /F1 " + num(fontSize) + " Tf " + px(x) + " " + py(y + ascent) + " Td " +
             hexString(bytes) + " Tj ET\n";
    };
    for (const ReportText& t : page.texts) {
        const int width = reportTextColumns(t.text) * m.charWidth;
        int x = t.x;
        if (t.align == ReportAlign::Right) x = t.x + t.width - width;
        if (t.align == ReportAlign::Center) x = t.x + (t.width - width) / 2;
        show(x, t.y, t.text);
    }
    for (const ReportBox& b : page.boxes) {
        for (std::size_t i = 0; i < b.lines.size(); ++i) {
            const int y = b.y + static_cast<int>(i) * m.lineHeight;
            if (y + m.lineHeight > b.y + b.height) break;
            show(b.x, y, b.lines[i]);
        }
    }
    return s;
}

}  // namespace

std::string reportPdf(const Report& report, const std::string& title) {
    const bool japanese = report.language() == Language::Japanese;
    const PageSize size = pageSize(report.language());
    PdfFile pdf;
    const int catalog = pdf.reserve();
    const int pagesId = pdf.reserve();
    const int font = pdf.reserve();
    const int info = pdf.reserve();
    if (japanese) {
        const int descendant = pdf.reserve();
        const int descriptor = pdf.reserve();
        pdf.object(
            font,
            "<< /Type /Font /Subtype /Type0 /BaseFont /HeiseiKakuGo-W5 /Encoding /90ms-RKSJ-H "
            "/DescendantFonts [" +
                std::to_string(descendant) + " 0 R] >>");
        // Half-width Latin and katakana (CIDs 231..632) are half an em wide.
        pdf.object(descendant,
                   "<< /Type /Font /Subtype /CIDFontType0 /BaseFont /HeiseiKakuGo-W5 "
                   "/CIDSystemInfo << /Registry (Adobe) /Ordering (Japan1) /Supplement 2 >> "
                   "/FontDescriptor " +
                       std::to_string(descriptor) + " 0 R /DW 1000 /W [1 95 500 231 632 500] >>");
        pdf.object(descriptor,
                   "<< /Type /FontDescriptor /FontName /HeiseiKakuGo-W5 /Flags 5 "
                   "/FontBBox [-92 -250 1010 922] /ItalicAngle 0 /Ascent 752 /Descent -221 "
                   "/CapHeight 737 /StemV 114 >>");
    } else {
        pdf.object(
            font,
            "<< /Type /Font /Subtype /Type1 /BaseFont /Courier /Encoding /WinAnsiEncoding >>");
    }
    std::string kids;
    std::vector<std::pair<int, int>> pageIds;
    for (int n = 1; n <= report.pageCount(); ++n) {
        const int page = pdf.reserve();
        const int content = pdf.reserve();
        pageIds.emplace_back(page, content);
        kids += std::to_string(page) + " 0 R ";
    }
    const std::string mediaBox =
        "[0 0 " + num(size.width / 20.0) + " " + num(size.height / 20.0) + "]";
    for (int n = 1; n <= report.pageCount(); ++n) {
        const auto [page, content] = pageIds[n - 1];
        pdf.stream(content, pageContent(report.page(n), report.metrics(), size, japanese));
        pdf.object(page, "<< /Type /Page /Parent " + std::to_string(pagesId) + " 0 R /MediaBox " +
                             mediaBox + " /Resources << /Font << /F1 " + std::to_string(font) +
                             " 0 R >> >> /Contents " + std::to_string(content) + " 0 R >>");
    }
    pdf.object(pagesId, "<< /Type /Pages /Kids [" + kids + "] /Count " +
                            std::to_string(report.pageCount()) + " >>");
    pdf.object(catalog, "<< /Type /Catalog /Pages " + std::to_string(pagesId) + " 0 R >>");
    // The title as a UTF-16 text string.
    std::string utf16 = "\xFE\xFF";
    for (std::size_t i = 0; i < title.size();) {
        const auto b = static_cast<unsigned char>(title[i]);
        int len = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        if (i + len > title.size()) len = 1;
        char32_t cp = len == 1 ? b : b & (0x3F >> (len - 1));
        for (int k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(title[i + k]) & 0x3F);
        i += len;
        auto unit = [&](unsigned u) {
            utf16 += static_cast<char>(u >> 8);
            utf16 += static_cast<char>(u & 0xFF);
        };
        if (cp >= 0x10000) {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            unit(static_cast<unsigned>(cp));
        }
    }
    pdf.object(info, "<< /Title " + hexString(utf16) + " /Producer (WQE-7000) >>");
    return pdf.finish(catalog, info);
}

}  // namespace wqe
