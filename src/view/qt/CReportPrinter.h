// Printing the card's report: the print kind, the printer and its page
// setup, "PRINT", "PRINT Preview", "Printer Setup" and the PDF export. The
// pages come from the core's Report; this class only draws its operations
// on a printer, a preview or a PDF writer.
#pragma once

#include <QFont>
#include <QObject>
#include <QString>
#include <memory>

#include "card/CWQEDoc.h"
#include "card/Language.h"
#include "view/Report.h"

class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace wqe {

class CReportPrinter : public QObject {
    Q_OBJECT
public:
    CReportPrinter(CWQEDoc& doc, Language lang, QWidget* parent = nullptr);
    ~CReportPrinter() override;

    // The report kind the print commands use; lasts while the program runs.
    ReportKind kind() const { return kind_; }
    void setKind(ReportKind kind) { kind_ = kind; }

    QPrinter& printer() { return *printer_; }

    // "PRINT(&P)...": the print dialog, then the pages it asks for.
    void print();
    // "PRINT Preview(&V)...": the preview window over the printer.
    void preview();
    // "Printer Setup(&R)...": paper, orientation and margins of the printer.
    void printerSetup();
    // "Export PDF...": asks for a file name, then writes the PDF; a failure
    // is told through the document's prompter.
    void exportPdfInteractive();
    // Writes the current kind's pages as a PDF file (through a temporary
    // file, so that a failure leaves an old file as it was). Empty on
    // success, else the reason.
    QString exportPdf(const QString& path);

    // The print font for a device, falling back to an installed fixed-pitch
    // (Japanese: CJK fixed-pitch) font, sized so that one character is as
    // wide as the report's layout takes it; `metrics` receives the layout.
    static QFont reportFont(Language lang, QPaintDevice& device, ReportMetrics& metrics);
    // Draws every page of a report (the printer's page range when it has
    // one) on `device`, starting a new page between them. Returns the pages drawn.
    static int render(const CWQEDoc& doc, ReportKind kind, Language lang, QPagedPaintDevice& device,
                      int fromPage = 0, int toPage = 0);

private:
    CWQEDoc& doc_;
    Language lang_;
    QWidget* parent_;
    ReportKind kind_ = ReportKind::SystemAndPhrase;
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace wqe
