// The editor's main window: opening cards of both models, the form's edits
// reaching the card on save, command enabling, the save question, the folder
// chooser, the list's column widths, the window geometry, the print kinds
// and PDF export, and last the Japanese translations.
#include <QHeaderView>
#include <QMenuBar>
#include <QPdfWriter>
#include <QSettings>
#include <QStyle>
#include <cstdio>

#include "GuiTestSupport.h"
#include "app/QtPrompter.h"
#include "app/QtSettingsStore.h"
#include "maintenance/qt/CDirTreeCtrl.h"
#include "maintenance/qt/CPathDialog.h"
#include "view/qt/CPListCtrl.h"
#include "view/qt/CReportPrinter.h"

using namespace wqe;
using namespace wqe::test;
namespace fs = std::filesystem;

// Page count as pdfinfo (poppler-utils) reads it; -1 when it cannot.
static int pdfPages(const std::string& path) {
    FILE* pipe = popen(("pdfinfo '" + path + "' 2>/dev/null").c_str(), "r");
    if (!pipe) return -1;
    std::string out;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
    const auto at = out.find("Pages:");
    return at == std::string::npos ? -1 : std::atoi(out.c_str() + at + 6);
}

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsEmptyThenOpensCardsOfBothModels();
    void editsReachTheCardOnSave();
    void commandEnablingFollowsCardAndSelection();
    void saveQuestionOnOpenAndClose();
    void cardPathThroughTheFolderChooser();
    void folderChooserValidatesAndCreates();
    void fileFilterAndSettingsStore();
    void listColumnsFitTheirTexts();
    void windowGeometryIsRemembered();
    void printKindsAreCheckableWithOneChecked();
    void exportsThePagesOfTheCheckedKind();
    // Last: the Japanese translations stay installed once loaded.
    void menusFormListAndMessagesInJapanese();
};

void MainWindowTest::startsEmptyThenOpensCardsOfBothModels() {
    TempDir tmp;
    const fs::path sys = copyDemoCard(tmp / "DEMO");
    QVERIFY(bool(createCard(tmp / "W5", Model::WQ5000, 1)));
    Editor e(Language::English);
    QCOMPARE(e.app.mainFrame()->windowTitle(),
             QString("Load system information. - WQ SERIES CARD EDITOR WQE-7000"));
    QCOMPARE(e.text("systemFolder"), QDir::currentPath());
    // Before a card: slot numbers and "---" in columns 1 to 13 only.
    QCOMPARE(e.model()->rowCount(), 250);
    QCOMPARE(e.model()->index(249, 0).data().toString(), QString("0250"));
    QCOMPARE(e.model()->index(0, 13).data().toString(), QString("---"));
    QCOMPARE(e.model()->index(0, 14).data().toString(), QString());

    e.open(sys);
    QVERIFY(e.doc().isLoaded());
    QVERIFY(e.prompter.messages.empty());
    QCOMPARE(e.app.mainFrame()->windowTitle(),
             QString::fromStdString(e.doc().systemPath()) + " - WQ SERIES CARD EDITOR WQE-7000");
    QCOMPARE(e.cardName()->text(), QString("DEMOCARD"));
    QCOMPARE(e.text("phraseCount"), QString("250"));
    QCOMPARE(e.memo()->toPlainText(), QString("Demo card of the WQE-7000 card editor.\n"));
    QVERIFY(e.combo("displaySleep")->isEnabled());
    QVERIFY(e.find<QWidget>("equalizer")->isEnabled());
    QVERIFY(!e.doc().isModified());  // filling the form is no edit
    e.checkListCells(Language::English, {0, 1, 2, 3, 249});
    QCOMPARE(e.app.view()->selectedPhrase(), 0);

    e.open(tmp / "W5" / "_WQ5TSYS.CNF");
    QCOMPARE(e.model()->rowCount(), 500);
    QCOMPARE(e.text("phraseCount"), QString("500"));
    e.checkListCells(Language::English, {7, 499});
    for (const char* name : {"displaySleep", "outputVolumeThru", "wqLinkMode"}) {
        QVERIFY2(!e.combo(name)->isEnabled(), name);
        QCOMPARE(e.combo(name)->currentIndex(), -1);
    }
    QVERIFY(!e.find<QWidget>("equalizer")->isEnabled());
    QVERIFY(!e.enabled(Command::WavImport) && !e.enabled(Command::SongPhrase));
}

void MainWindowTest::editsReachTheCardOnSave() {
    TempDir tmp;
    const fs::path sys = copyDemoCard(tmp / "DEMO");
    const auto before = readBytes(sys);
    const auto phraseBefore = readBytes(tmp / "DEMO" / "_WQ7TPHR.CNF");
    Editor e(Language::English);
    e.open(sys);

    // The card name takes only the device's characters, at most eight; a
    // dropped character leaves the caret where it was.
    QLineEdit* name = e.cardName();
    name->setFocus();
    name->setText("SHOP");
    name->setCursorPosition(2);
    QTest::keyClicks(name, "x-");
    QCOMPARE(name->text(), QString("SH-OP"));
    QCOMPARE(name->cursorPosition(), 3);
    QCOMPARE(e.doc().sys().getCardName(), std::string("SH-OP   "));
    QVERIFY(e.enabled(Command::SaveCardInfo));
    name->selectAll();
    QTest::keyClicks(name, "ABCDEFGHI");
    QCOMPARE(name->text(), QString("ABCDEFGH"));

    e.combo("displaySleep")->setCurrentIndex(1);
    e.combo("baudRate")->setCurrentIndex(3);
    e.memo()->clear();
    QTest::keyClicks(e.memo(), "A");
    QTest::keyClick(e.memo(), Qt::Key_Return);
    QTest::keyClick(e.memo(), Qt::Key_Return);
    QTest::keyClicks(e.memo(), "B");
    QCOMPARE(e.doc().memo().systemMemo(), std::string("A\nB\n"));

    e.app.mainFrame()->action(Command::SaveCardInfo)->trigger();
    QVERIFY(!e.doc().isModified());
    QVERIFY(!e.enabled(Command::SaveCardInfo));
    auto expected = before;
    const std::string newName = "ABCDEFGH";
    std::copy(newName.begin(), newName.end(), expected.begin() + 8);
    expected[1326] = 3;   // baud rate
    expected[1347] = 1;   // display sleep switch
    expected[1348] = 30;  // display sleep time, LE
    expected[1349] = 0;
    QCOMPARE(readBytes(sys), expected);
    QCOMPARE(readBytes(tmp / "DEMO" / "_WQ7TPHR.CNF"), phraseBefore);
    QVERIFY(readText(tmp / "DEMO" / "WQE_MEMO.TXT")
                .starts_with("SystemMemo:\r\nA\r\nB\r\nPhraseMemo:\r\n"));
}

void MainWindowTest::commandEnablingFollowsCardAndSelection() {
    TempDir tmp;
    const fs::path sys = copyDemoCard(tmp / "DEMO");
    Editor e(Language::English);
    // The state rules below apply to commands with a handler; the test's own
    // handlers replace the dialogs'.
    const Command ruled[] = {Command::PhraseSetup,   Command::DeletePhrase, Command::CopyPhrase,
                             Command::PatternPhrase, Command::SongPhrase,   Command::SaveCardInfo,
                             Command::Print,         Command::Cleanup};
    e.open(sys);
    e.app.view()->showRow(4);  // an empty slot
    // (Printing and the commands whose dialogs exist have their handlers from the start.)
    for (Command c : ruled)
        if (!e.app.view()->hasCommandHandler(c)) QVERIFY(!e.enabled(c));
    int runs = 0;
    for (Command c : ruled)
        if (c != Command::SaveCardInfo) e.app.view()->setCommandHandler(c, [&runs] { ++runs; });
    e.app.mainFrame()->action(Command::CopyPhrase)->trigger();
    QCOMPARE(runs, 1);
    e.doc().close();
    e.app.view()->documentUpdate();

    // Phrase setup, delete, copy, pattern, song; save, print, cleanup; always-on commands.
    auto state = [&] {
        QString s;
        for (Command c : ruled) s += e.enabled(c) ? "1" : "0";
        for (Command c : {Command::OpenCardInfo, Command::SetBackupPath, Command::SetCardPath,
                          Command::VersionInfo, Command::Exit, Command::Backup, Command::Restore,
                          Command::DeleteFolder})
            if (!e.enabled(c)) s += "!";
        return s;
    };
    QCOMPARE(state(), QString("00000000"));
    e.open(sys);
    const struct {
        int row;
        const char* state;
    } steps[] = {{0, "11000011"},   // the demo's KPAC phrase
                 {4, "00111011"},   // an empty slot
                 {2, "11010011"}};  // the demo's pattern
    for (const auto& s : steps) {
        e.app.view()->showRow(s.row);
        QCOMPARE(e.app.view()->selectedPhrase(), s.row);
        QCOMPARE(state(), QString(s.state));
    }
    e.app.view()->list()->clearSelection();
    QCOMPARE(state().left(5), QString("00000"));
    e.doc().close();
    e.app.view()->showRow(1);
    QCOMPARE(state().left(5), QString("00000"));
}

void MainWindowTest::saveQuestionOnOpenAndClose() {
    TempDir tmp;
    const fs::path sys = copyDemoCard(tmp / "DEMO");
    Editor e(Language::English);
    e.open(sys);
    e.combo("cardProtect")->setCurrentIndex(1);
    QVERIFY(e.doc().isModified());

    // Cancel keeps the window and the edit.
    e.prompter = ScriptedPrompter({Answer::Cancel});
    QVERIFY(!e.app.mainFrame()->close());
    QCOMPARE(e.prompter.questions, std::vector<std::string>{"Save changes in system data?"});
    QVERIFY(e.doc().isModified());

    // Open: No, then cancel the dialog: no card is left, the form shows defaults.
    e.prompter = ScriptedPrompter({Answer::No});
    e.app.runCommand(Command::OpenCardInfo);
    QVERIFY(!e.doc().isLoaded());
    QCOMPARE(e.cardName()->text(), QString("WQ-7000 "));
    QCOMPARE(e.model()->index(0, 1).data().toString(), QString("---"));

    // Closing an unmodified document asks nothing.
    e.prompter = ScriptedPrompter();
    QVERIFY(e.app.mainFrame()->close());
    QVERIFY(e.prompter.questions.empty());
}

void MainWindowTest::cardPathThroughTheFolderChooser() {
    TempDir tmp;
    fs::create_directories(tmp / "Card" / "Sub");
    Editor e(Language::English);
    e.settings.setValue(kKeyCardPath, tmp.str() + "/gone");  // no longer exists

    // The tree walks down ignoring letter case and keeps the folders' own spelling.
    QString startText;
    whenShown<CPathDialog>([&](CPathDialog* d) {
        startText = d->pathEdit()->text();
        QVERIFY(d->tree()->openToPath(QString::fromStdString(tmp.str() + "/CARD/sub")));
        d->okButton()->click();
    });
    e.app.onSetCardPath();
    QCOMPARE(startText, QDir::currentPath());
    QCOMPARE(e.settings.value(kKeyCardPath), tmp.str() + "/Card/Sub");

    // Cancelling the next time keeps the first choice.
    whenShown<CPathDialog>([&](CPathDialog* d) {
        startText = d->pathEdit()->text();
        d->reject();
    });
    e.app.onSetCardPath();
    QCOMPARE(startText, QString::fromStdString(tmp.str() + "/Card/Sub"));
    QCOMPARE(e.settings.value(kKeyCardPath), tmp.str() + "/Card/Sub");
}

void MainWindowTest::folderChooserValidatesAndCreates() {
    TempDir tmp;
    fs::create_directories(tmp / "Data");
    writeText(tmp / "file", "x");
    const std::string base = tmp.str();
    auto says = [](const std::string& p, const char* what) {
        return std::vector<std::string>{"The folder:\n\n" + p + "\n\n" + what};
    };
    const char* create = "does not exist. Do you want the folder to be created?";
    const char* invalid = "is invalid. Please reenter.";
    const std::vector<std::string> none;
    const struct {
        std::string typed;
        std::deque<Answer> answers;
        bool accepted;
        std::vector<std::string> questions, messages;
    } steps[] = {
        {base + "/Da?ta", {}, false, none, says(base + "/Da?ta", invalid)},
        {base + "/Data/New/Sub", {Answer::No}, false, says(base + "/Data/New/Sub", create), none},
        {base + "/Data/New/Sub", {Answer::Yes}, true, says(base + "/Data/New/Sub", create), none},
        {base + "/file/Sub",
         {Answer::Yes},
         false,
         says(base + "/file/Sub", create),
         says(base + "/file/Sub", "can not be created. Please double check.")},
        {"/", {}, true, none, none},
    };
    for (const auto& s : steps) {
        ScriptedPrompter prompter(s.answers);
        CPathDialog dialog("Title", "Reference Path:", QString::fromStdString(base), prompter);
        dialog.show();
        dialog.pathEdit()->setText(QString::fromStdString(s.typed));
        dialog.okButton()->click();
        QCOMPARE(dialog.result() == QDialog::Accepted, s.accepted);
        QCOMPARE(prompter.questions, s.questions);
        QCOMPARE(prompter.messages, s.messages);
        if (s.accepted) QCOMPARE(dialog.path().toStdString(), s.typed);
        dialog.pathEdit()->clear();
        QVERIFY(!dialog.okButton()->isEnabled());
    }
    QVERIFY(fs::is_directory(tmp / "Data" / "New" / "Sub"));
}

void MainWindowTest::fileFilterAndSettingsStore() {
    QCOMPARE(qtFileFilter("WQE system information(_WQ?TSYS.CNF)|_WQ?TSYS.CNF||"),
             QString("WQE system information(_WQ?TSYS.CNF)"));
    QCOMPARE(qtFileFilter("Wave|*.wav|All|*.*||"), QString("Wave (*.wav);;All (*.*)"));
    TempDir tmp;
    const QString ini = QString::fromStdString((tmp / "wqe.ini").string());
    QtSettingsStore(ini).setValue(kKeyBackupPath, "/media/カード");
    QCOMPARE(QtSettingsStore(ini).value(kKeyBackupPath, ""), std::string("/media/カード"));
    QVERIFY(readText(tmp / "wqe.ini").find("[Path]") != std::string::npos);
}

void MainWindowTest::listColumnsFitTheirTexts() {
    TempDir tmp;
    const fs::path sys = copyDemoCard(tmp / "DEMO");
    Editor e(Language::English);
    e.open(sys);
    CPListCtrl* list = e.app.view()->list();
    const int margins =
        2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
    const QFont shown = list->font();
    for (const int points : {0, 18}) {  // the font found, and a larger one
        QFont f = shown;
        if (points) f.setPointSize(points);
        list->setFont(f);
        const QFontMetrics metrics(f);
        for (int c = 0; c + 1 < e.model()->columnCount(); ++c) {  // not the memo
            QVERIFY(list->columnWidth(c) >= e.model()->columnWidth(c));
            for (int r = 0; r < 10; ++r) {
                const QString text = e.model()->index(r, c).data().toString();
                QVERIFY2(list->columnWidth(c) >= metrics.horizontalAdvance(text) + margins,
                         qPrintable(QString("column %1 cuts \"%2\"").arg(c).arg(text)));
            }
        }
    }
}

void MainWindowTest::windowGeometryIsRemembered() {
    TempDir tmp;
    QSettings store(QString::fromStdString((tmp / "wqe.ini").string()), QSettings::IniFormat);
    {
        Editor e(Language::English);
        e.app.mainFrame()->setGeometryStore(&store);
        QVERIFY(!e.app.mainFrame()->restoreSavedGeometry());  // a first start
        e.app.mainFrame()->resize(e.app.mainFrame()->width() + 40,
                                  e.app.mainFrame()->height() + 30);
        const QSize closed = e.app.mainFrame()->size();
        QVERIFY(e.app.mainFrame()->close());
        Editor again(Language::English);
        again.app.mainFrame()->setGeometryStore(&store);
        QVERIFY(again.app.mainFrame()->restoreSavedGeometry());
        QCOMPARE(again.app.mainFrame()->size(), closed);
    }
    QVERIFY(!store.childGroups().contains("Path"));
    // A first start asks room for about twenty list rows.
    CPListCtrl list;
    QVERIFY(list.sizeHint().height() >= 20 * list.verticalHeader()->defaultSectionSize());
}

void MainWindowTest::printKindsAreCheckableWithOneChecked() {
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

void MainWindowTest::exportsThePagesOfTheCheckedKind() {
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

void MainWindowTest::menusFormListAndMessagesInJapanese() {
    QVERIFY(CWQEApp::installTranslations(*qApp, Language::Japanese));
    TempDir tmp;
    Editor e(Language::Japanese);
    QStringList titles;
    for (QAction* a : e.app.mainFrame()->menuBar()->actions()) titles << a->text();
    QCOMPARE(titles, QStringList({"ファイル(&F)", "編集(&E)", "フレーズ設定(&P)", "オプション(&O)",
                                  "ヘルプ(&H)"}));
    QCOMPARE(e.app.mainFrame()->windowTitle(),
             QString("システム情報を読み込んでください。 - WQ シリーズ カードエディタ WQE-7000"));
    QCOMPARE(e.combo("wqLinkMode")->itemText(2), QString("ｽﾚｰﾌﾞ"));
    QCOMPARE(translateCoreText("Save changes in system data?"),
             QString("システムデータの変更を保存しますか?"));
    for (const char* text : coreTexts())
        QVERIFY2(translateCoreText(text) != QString::fromLatin1(text), text);
    // Texts without a translation (paths, file errors) are shown as they are.
    QCOMPARE(translateCoreText("/card/_WQ7TSYS.CNF"), QString("/card/_WQ7TSYS.CNF"));
    // The list shows the document's Japanese texts.
    e.open(copyDemoCard(tmp / "DEMO"));
    e.checkListCells(Language::Japanese, {0, 1, 2, 249});
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
