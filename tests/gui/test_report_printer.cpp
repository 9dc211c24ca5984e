#include <QAction>
#include <QPdfWriter>
#include <QTest>
#include <cstdio>

#include "GuiTestSupport.h"
#include "view/qt/CReportPrinter.h"

using namespace wqe;
using namespace wqe::test;
namespace fs = std::filesystem;

namespace {

// Page count as pdfinfo (poppler-utils) reads it; -1 when it cannot.
int pdfPages(const std::string& path) {
    FILE* pipe = popen(("pdfinfo '" + path + "' 2>/dev/null").c_str(), "r");
    if (!pipe) return -1;
    std::string out;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
    const auto at = out.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(out.c_str() + at + 6);
}

}  // namespace

class ReportPrinterTest : public QObject {
    Q_OBJECT
private slots:
    void kindsAreCheckableWithOneChecked();
    void exportsThePagesOfTheCheckedKind();
};

void ReportPrinterTest::kindsAreCheckableWithOneChecked() {
    TempDir tmp;
    Editor e(Language::English);
    CMainFrame* frame = e.app.mainFrame();
    const Command kinds[] = {Command::PrintSystemAndPhrase, Command::PrintSystem,
                             Command::PrintPhrase};
    auto checked = [&] {
        QString s;
        for (Command c : kinds) s += frame->action(c)->isChecked() ? "1" : "0";
        return s;
    };
    QCOMPARE(checked(), QString("100"));
    // Without a card nothing can be printed or exported.
    QVERIFY(!e.enabled(Command::Print) && !e.enabled(Command::PrintPreview) &&
            !e.enabled(Command::ExportPdf));
    QVERIFY(e.enabled(Command::PrinterSetup) && e.enabled(Command::PrintSystem));
    QCOMPARE(frame->action(Command::ExportPdf)->text(), QString("Export PDF..."));

    e.open(copyDemoCard(tmp / "DEMO"));
    QVERIFY(e.enabled(Command::Print) && e.enabled(Command::PrintPreview) &&
            e.enabled(Command::ExportPdf));
    e.app.runCommand(Command::PrintPhrase);
    QCOMPARE(checked(), QString("001"));
    QCOMPARE(frame->reportPrinter()->kind(), ReportKind::Phrase);
    frame->action(Command::PrintSystem)->trigger();
    QCOMPARE(checked(), QString("010"));
    QCOMPARE(frame->reportPrinter()->kind(), ReportKind::System);
}

void ReportPrinterTest::exportsThePagesOfTheCheckedKind() {
    TempDir tmp;
    for (Language lang : {Language::English, Language::Japanese}) {
        Editor e(lang);
        e.open(copyDemoCard(tmp / (lang == Language::English ? "EN" : "JA")));
        CReportPrinter* printer = e.app.mainFrame()->reportPrinter();
        struct Case {
            ReportKind kind;
            int pages;
        };
        // The demo card holds three phrases: one phrase page.
        for (const Case& c : {Case{ReportKind::SystemAndPhrase, 4},
                              {ReportKind::System, 3},
                              {ReportKind::Phrase, 1}}) {
            printer->setKind(c.kind);
            const std::string path =
                (tmp / ("report" + std::to_string(int(c.kind)) + ".pdf")).string();
            QCOMPARE(printer->exportPdf(QString::fromStdString(path)), QString());
            const int pages = pdfPages(path);
            if (pages != -1) QCOMPARE(pages, c.pages);
            QVERIFY(fs::file_size(path) > 1000);
        }
        // The print font's characters are as wide as the layout counts them.
        QPdfWriter device(QString::fromStdString((tmp / "probe.pdf").string()));
        ReportMetrics metrics;
        const QFont font = CReportPrinter::reportFont(lang, device, metrics);
        const QFontMetricsF fm(font, &device);
        auto twips = [&](const QString& text) {
            return fm.horizontalAdvance(text) * 1440.0 / device.logicalDpiX();
        };
        QVERIFY(std::abs(twips("0") - metrics.charWidth) < 2.0);
        QVERIFY(std::abs(twips("W") - metrics.charWidth) < 2.0);
        if (lang == Language::Japanese) {
            // Half-width katakana are one character wide, kanji two.
            QVERIFY2(std::abs(twips("ｱ") - metrics.charWidth) < 2.0,
                     qPrintable(QFontInfo(font).family()));
            QVERIFY(std::abs(twips("漢") - 2 * metrics.charWidth) < 2.0);
        }
    }
    // A file that cannot be written: the reason, and nothing left behind.
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "X"));
    const QString bad = QString::fromStdString((tmp / "missing" / "out.pdf").string());
    QVERIFY(!e.app.mainFrame()->reportPrinter()->exportPdf(bad).isEmpty());
    QVERIFY(!fs::exists(tmp / "missing"));
}

QTEST_MAIN(ReportPrinterTest)
#include "test_report_printer.moc"
