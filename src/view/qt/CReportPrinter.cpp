#include "view/qt/CReportPrinter.h"

#include <QFileDialog>
#include <QFontMetricsF>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QSaveFile>
#include <cmath>

namespace wqe {

namespace {

constexpr double kTwipsPerInch = 1440.0;

// Page size and margins of a fresh printer or PDF: US Letter, A4 under
// Japanese; an eighth of an inch around, as a printer's unprintable edge.
QPageLayout defaultLayout(Language lang) {
    const QPageSize size(lang == Language::Japanese ? QPageSize::A4 : QPageSize::Letter);
    const double margin = 180.0 / 20.0;  // points
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF(margin, margin, margin, margin),
                       QPageLayout::Point);
}

}  // namespace

CReportPrinter::CReportPrinter(CWQEDoc& doc, Language lang, QWidget* parent)
    : QObject(parent),
      doc_(doc),
      lang_(lang),
      parent_(parent),
      printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    printer_->setPageLayout(defaultLayout(lang));
}

CReportPrinter::~CReportPrinter() = default;

QFont CReportPrinter::reportFont(Language lang, QPaintDevice& device, ReportMetrics& metrics) {
    const ReportFont face = wqe::reportFont(lang);
    QFont font;
    if (lang == Language::Japanese) {
        font.setFamilies({QString::fromUtf8(face.face), QStringLiteral("MS Gothic"),
                          QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("IPAGothic"),
                          QStringLiteral("VL Gothic"), QStringLiteral("DejaVu Sans Mono")});
    } else {
        font.setFamilies({QString::fromUtf8(face.face), QStringLiteral("Liberation Mono"),
                          QStringLiteral("Nimbus Mono PS"), QStringLiteral("DejaVu Sans Mono")});
    }
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setWeight(static_cast<QFont::Weight>(face.weight));
    font.setPointSizeF(face.height / 20.0);

    // The layout's columns are counted in characters of the print font; a
    // stand-in font is sized so that its characters are as wide, and the
    // lines keep the print font's height.
    metrics = defaultReportMetrics(lang);
    const double twipsPerUnit = kTwipsPerInch / device.logicalDpiX();
    const double advance =
        QFontMetricsF(font, &device).horizontalAdvance(QLatin1Char('0')) * twipsPerUnit;
    if (advance > 0) font.setPointSizeF(font.pointSizeF() * metrics.charWidth / advance);
    const double leading =
        QFontMetricsF(font, &device).leading() * kTwipsPerInch / device.logicalDpiY();
    metrics.lineHeight = metrics.fontHeight + std::max(0, static_cast<int>(std::lround(leading)));
    return font;
}

int CReportPrinter::render(const CWQEDoc& doc, ReportKind kind, Language lang,
                           QPagedPaintDevice& device, int fromPage, int toPage) {
    ReportMetrics metrics;
    const QFont font = reportFont(lang, device, metrics);
    const Report report(doc, kind, lang, metrics);
    const int first = fromPage > 0 ? std::max(1, fromPage) : 1;
    const int last = toPage > 0 ? std::min(report.pageCount(), toPage) : report.pageCount();
    if (first > last) return 0;

    QPainter painter;
    if (!painter.begin(&device)) return 0;
    // Twips to device units, y downward from the top of the printable area.
    const double sx = device.logicalDpiX() / kTwipsPerInch;
    const double sy = device.logicalDpiY() / kTwipsPerInch;
    auto rect = [&](int x, int y, int width, int height) {
        return QRectF(x * sx, y * sy, width * sx, height * sy);
    };
    const int lh = metrics.lineHeight;
    const int wide = report.rulerWidth() * 2;  // room for a text placed by one edge
    int drawn = 0;
    for (int n = first; n <= last; ++n) {
        if (drawn > 0) device.newPage();
        const ReportPage page = report.page(n);
        painter.setFont(font);
        for (const ReportLine& l : page.lines) {
            QPen pen(Qt::black);
            pen.setWidthF(l.width * sx);
            pen.setCosmetic(l.width == 0);
            painter.setPen(pen);
            painter.drawLine(QPointF(l.x1 * sx, l.y1 * sy), QPointF(l.x2 * sx, l.y2 * sy));
        }
        painter.setPen(Qt::black);
        for (const ReportText& t : page.texts) {
            QRectF r;
            int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip;
            if (t.width > 0) {
                r = rect(t.x, t.y, t.width, lh);
            } else if (t.align == ReportAlign::Right) {
                r = rect(t.x - wide, t.y, wide, lh);
            } else if (t.align == ReportAlign::Center) {
                r = rect(t.x - wide / 2, t.y, wide, lh);
            } else {
                r = rect(t.x, t.y, wide, lh);
            }
            flags |= t.align == ReportAlign::Right    ? Qt::AlignRight
                     : t.align == ReportAlign::Center ? Qt::AlignHCenter
                                                      : Qt::AlignLeft;
            painter.drawText(r, flags, QString::fromStdString(t.text));
        }
        for (const ReportBox& b : page.boxes) {
            painter.save();
            painter.setClipRect(rect(b.x, b.y, b.width, b.height));
            for (std::size_t i = 0; i < b.lines.size(); ++i) {
                const int y = b.y + static_cast<int>(i) * lh;
                if (y + lh > b.y + b.height) break;
                painter.drawText(rect(b.x, y, b.width, lh),
                                 Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                                 QString::fromStdString(b.lines[i]));
            }
            painter.restore();
        }
        ++drawn;
    }
    painter.end();
    return drawn;
}

void CReportPrinter::print() {
    if (reportPageCount(doc_, kind_) == 0) return;
    QPrintDialog dialog(printer_.get(), parent_);
    dialog.setObjectName(QStringLiteral("printDialog"));
    dialog.setMinMax(1, reportPageCount(doc_, kind_));
    if (dialog.exec() != QDialog::Accepted) return;
    const bool range = printer_->printRange() == QPrinter::PageRange;
    render(doc_, kind_, lang_, *printer_, range ? printer_->fromPage() : 0,
           range ? printer_->toPage() : 0);
}

void CReportPrinter::preview() {
    if (reportPageCount(doc_, kind_) == 0) return;
    QPrintPreviewDialog dialog(printer_.get(), parent_);
    dialog.setObjectName(QStringLiteral("printPreview"));
    connect(&dialog, &QPrintPreviewDialog::paintRequested, this,
            [this](QPrinter* printer) { render(doc_, kind_, lang_, *printer); });
    dialog.exec();
}

void CReportPrinter::printerSetup() {
    QPageSetupDialog dialog(printer_.get(), parent_);
    dialog.setObjectName(QStringLiteral("printerSetup"));
    dialog.exec();
}

QString CReportPrinter::exportPdf(const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return file.errorString();
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(defaultLayout(lang_));
        writer.setResolution(1200);
        writer.setTitle(QString::fromStdString(doc_.systemPath()));
        writer.setCreator(QStringLiteral("WQE-7000"));
        if (render(doc_, kind_, lang_, writer) != reportPageCount(doc_, kind_)) {
            file.cancelWriting();
            return tr("the pages could not be drawn");
        }
    }
    if (!file.commit()) return file.errorString();
    return {};
}

void CReportPrinter::exportPdfInteractive() {
    if (reportPageCount(doc_, kind_) == 0) return;
    const QString path =
        QFileDialog::getSaveFileName(parent_, tr("Export PDF"), QString(), tr("PDF files (*.pdf)"));
    if (path.isEmpty()) return;
    const QString error = exportPdf(path);
    if (!error.isEmpty()) {
        doc_.prompter().message(tr("%1 could not be written: %2").arg(path, error).toStdString(),
                                Icon::Exclamation);
    }
}

}  // namespace wqe
