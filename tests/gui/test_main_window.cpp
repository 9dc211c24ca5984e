// The editor's main window and its dialogs on a card: opening cards of both
// models, the form's edits reaching the card on save, command enabling, the
// save question, the folder chooser, printing; each system dialog and Phrase
// Setup pane opened from its button or command and storing its change, the
// pattern editor hook, new patterns and songs made through the step dialogs;
// last the Japanese translations.
#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QMenuBar>
#include <QPdfWriter>
#include <QRadioButton>
#include <QSettings>
#include <QStyle>
#include <QTreeWidget>
#include <QUndoStack>
#include <cstdio>

#include "GuiTestSupport.h"
#include "app/QtPrompter.h"
#include "card/PatternFile.h"
#include "dialogs/qt/CPhSel2.h"
#include "dialogs/qt/CPhSel3.h"
#include "dialogs/qt/CPhraseDlg.h"
#include "dialogs/qt/CPthPhEdit.h"
#include "dialogs/qt/CardUndoStack.h"
#include "dialogs/qt/Choosers.h"
#include "dialogs/qt/SettingsDialogs.h"
#include "dialogs/qt/TableDialogs.h"
#include "maintenance/CardFixture.h"
#include "maintenance/qt/CPathDialog.h"
#include "view/qt/CPListCtrl.h"
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

Bytes image(CWQEDoc& doc) {
    const auto s = doc.sys().image();
    return {s.begin(), s.end()};
}

Bytes record(CWQEDoc& doc, int i) {
    const auto r = doc.phr().record(i);
    return {r.begin(), r.end()};
}

QStringList rowTexts(CPthPhEdit* e, int r) {
    QStringList texts;
    QTreeWidgetItem* item = e->stepList()->topLevelItem(r);
    for (int c = 0; item && c < item->columnCount(); ++c) texts << item->text(c);
    return texts;
}

struct Card {
    Card() {
        QVERIFY(bool(createCard(dir.path(), Model::WQ7000, 0)));
        editor.open(dir / "_WQ7TSYS.CNF");
    }
    void select(int i) {
        editor.app.view()->showRow(i);
        editor.app.mainFrame()->updateCommandStates();
    }
    PatternData read(int i) {
        auto r = readPatternFile(dir / phraseDataFileName("", i, "PHR"), Model::WQ7000);
        return r.data.value_or(PatternData(PatternKind::Pattern5000));
    }
    TempDir dir;
    Editor editor{Language::English};
};

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsEmptyThenOpensCardsOfBothModels();
    void editsReachTheCardOnSave();
    void commandEnablingFollowsCardAndSelection();
    void saveQuestionOnOpenAndClose();
    void folderChooserValidatesAndCreates();
    void printKindsAndPdfExport();
    // Cut TIME cells and a window too small for the list were faults once.
    void listColumnsFitTheirTexts();
    void windowGeometryIsRemembered();
    void eachSystemDialogStoresItsEdit();
    void tableEditorsAndChooser();
    void eachPhraseKindStoresItsChange();
    void patternEditHookAndInterruptCheck();
    void newPatternIsMadeEditedWrittenAndReadBack();
    void newSongIsMadeAndAClosedOneLeavesItsSlotEmpty();
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
    QCOMPARE(e.model()->rowCount(), 250);  // the empty list before a card

    e.open(sys);
    QVERIFY(e.prompter.messages.empty());
    QCOMPARE(e.app.mainFrame()->windowTitle(),
             QString::fromStdString(e.doc().systemPath()) + " - WQ SERIES CARD EDITOR WQE-7000");
    QCOMPARE(e.cardName()->text(), QString("DEMOCARD"));
    QCOMPARE(e.find<QLabel>("phraseCount")->text(), QString("250"));
    QVERIFY(e.find<QWidget>("equalizer")->isEnabled());
    QVERIFY(!e.doc().isModified());  // filling the form is no edit
    e.checkListCells(Language::English, {0, 1, 2, 3, 249});
    QCOMPARE(e.app.view()->selectedPhrase(), 0);

    // The WQ-5000 card: its list length and its lack of WQ-7000 controls.
    e.open(tmp / "W5" / "_WQ5TSYS.CNF");
    QCOMPARE(e.model()->rowCount(), 500);
    QVERIFY(!e.find<QWidget>("equalizer")->isEnabled());
}

void MainWindowTest::editsReachTheCardOnSave() {
    TempDir tmp;
    const fs::path sys = copyDemoCard(tmp / "DEMO");
    const auto before = readBytes(sys);
    const auto phraseBefore = readBytes(tmp / "DEMO" / "_WQ7TPHR.CNF");
    Editor e(Language::English);
    e.open(sys);

    // A character the card name does not take (the form's rule) leaves the
    // caret where it was.
    QLineEdit* name = e.cardName();
    name->setFocus();
    name->setText("SHOP");
    name->setCursorPosition(2);
    QTest::keyClicks(name, "x-");
    QCOMPARE(name->text(), QString("SH-OP"));
    QCOMPARE(name->cursorPosition(), 3);
    QVERIFY(e.enabled(Command::SaveCardInfo));

    e.combo("baudRate")->setCurrentIndex(3);
    e.memo()->clear();
    QTest::keyClicks(e.memo(), "A");
    QTest::keyClick(e.memo(), Qt::Key_Return);
    QTest::keyClick(e.memo(), Qt::Key_Return);
    QTest::keyClicks(e.memo(), "B");
    QCOMPARE(e.doc().memo().systemMemo(), std::string("A\nB\n"));

    e.app.mainFrame()->action(Command::SaveCardInfo)->trigger();
    QVERIFY(!e.doc().isModified());
    auto expected = before;
    const std::string newName = "SH-OP   ";
    std::copy(newName.begin(), newName.end(), expected.begin() + 8);
    expected[1326] = 3;  // baud rate
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
        QCOMPARE(state(), QString(s.state));
    }
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
        {base + "/Data/New/Sub", {Answer::Yes}, true, says(base + "/Data/New/Sub", create), none},
        {base + "/file/Sub",
         {Answer::Yes},
         false,
         says(base + "/file/Sub", create),
         says(base + "/file/Sub", "can not be created. Please double check.")},
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

// The page counts of each kind are the report's own; here the checked kind
// reaches the printer and every page reaches the PDF.
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

void MainWindowTest::printKindsAndPdfExport() {
    TempDir tmp;
    for (Language lang : {Language::English, Language::Japanese}) {
        Editor e(lang);
        CMainFrame* frame = e.app.mainFrame();
        CReportPrinter* printer = frame->reportPrinter();
        e.open(copyDemoCard(tmp / (lang == Language::English ? "EN" : "JA")));
        e.app.runCommand(Command::PrintPhrase);
        QVERIFY(!frame->action(Command::PrintSystemAndPhrase)->isChecked());
        QCOMPARE(printer->kind(), ReportKind::Phrase);
        frame->action(Command::PrintSystemAndPhrase)->trigger();
        QCOMPARE(printer->kind(), ReportKind::SystemAndPhrase);
        const std::string path = (tmp / "report.pdf").string();
        QCOMPARE(printer->exportPdf(QString::fromStdString(path)), QString());
        const int pages = pdfPages(path);
        if (pages != -1) QCOMPARE(pages, 4);  // three system pages, one phrase page
        // The print font's characters are as wide as the layout counts them.
        QPdfWriter device(QString::fromStdString((tmp / "probe.pdf").string()));
        ReportMetrics metrics;
        const QFont font = CReportPrinter::reportFont(lang, device, metrics);
        const QFontMetricsF fm(font, &device);
        auto twips = [&](const QString& text) {
            return fm.horizontalAdvance(text) * 1440.0 / device.logicalDpiX();
        };
        QVERIFY(std::abs(twips("W") - metrics.charWidth) < 2.0);
        if (lang == Language::Japanese) {
            // Half-width katakana are one character wide, kanji two.
            QVERIFY2(std::abs(twips("ｱ") - metrics.charWidth) < 2.0,
                     qPrintable(QFontInfo(font).family()));
            QVERIFY(std::abs(twips("漢") - 2 * metrics.charWidth) < 2.0);
        }
        // A file that cannot be written: the reason, and nothing left behind.
        const QString bad = QString::fromStdString((tmp / "missing" / "out.pdf").string());
        QVERIFY(!printer->exportPdf(bad).isEmpty());
        QVERIFY(!fs::exists(tmp / "missing"));
    }
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

void MainWindowTest::eachSystemDialogStoresItsEdit() {
    TempDir tmp;
    Editor e(Language::English);
    for (const char* b : {"lineThru", "equalizer", "busyOut", "controlInput", "midiSettings"})
        QVERIFY2(!e.find<QPushButton>(b)->isEnabled(), b);  // no card yet
    e.open(copyDemoCard(tmp / "DEMO"));

    struct Case {
        const char* button;
        std::function<void(CSettingsDialog*)> change;
        std::vector<std::pair<int, std::uint8_t>> bytes;
    };
    const Case cases[] = {
        {"lineThru",
         [](CSettingsDialog* d) { d->list(DialogField::FadeOut)->setCurrentIndex(10); },
         {{1332, 15}, {1333, 0}}},
        {"equalizer",
         [](CSettingsDialog* d) { d->list(DialogField::EqLowGain)->setCurrentIndex(0); },
         {{1337, 0}}},
        {"busyOut",
         [](CSettingsDialog* d) { d->check(DialogField::BusyPlayback)->setChecked(true); },
         {{1344, 1}}},
        {"controlInput",
         [](CSettingsDialog* d) { d->list(DialogField::ControlInputSelect)->setCurrentIndex(5); },
         {{18, 2}, {19, 0}}},
        {"midiSettings",
         [](CSettingsDialog* d) { d->list(DialogField::Channel)->setCurrentIndex(17); },
         {{1314, 17}}},
    };
    for (const Case& c : cases) {
        Bytes expected = image(e.doc());
        for (auto [offset, value] : c.bytes) expected[static_cast<std::size_t>(offset)] = value;
        whenShown<CSettingsDialog>([&c](CSettingsDialog* d) {
            c.change(d);
            press(d, "enter");
        });
        press(e.app.view(), c.button);
        QCOMPARE(image(e.doc()), expected);
        QVERIFY(e.doc().isModified());
    }
    QCOMPARE(e.doc().history().steps(), 5u);
}

void MainWindowTest::tableEditorsAndChooser() {
    TempDir tmp;
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "DEMO"));
    // The tables' bytes are the play tables' own; here each dialog's ENTER stores them.
    // A button inside a dialog runs its dialog to the end before the next line.
    whenShown<CMidiSet>([](CMidiSet* midi) {
        whenShown<CMtcDlg>([](CMtcDlg* mtc) {
            mtc->list(DialogField::MtcType)->setCurrentIndex(3);
            press(mtc, "enter");
        });
        press(midi, "mtc");
        press(midi, "close");
    });
    e.app.view()->showRow(3);
    press(e.app.view(), "midiSettings");
    QCOMPARE(e.app.view()->selectedPhrase(),
             3);  // the list is rebuilt for the new type, the row kept

    whenShown<CControl>([](CControl* control) {
        whenShown<CDirect>([](CDirect* direct) {
            press(direct, "resetB");
            QCOMPARE(direct->table()->topLevelItem(15)->text(1), QString("B0016"));
            whenShown<CPhSel>([](CPhSel* chooser) {
                chooser->list()->setCurrentIndex(1);  // PLAY
                press(chooser, "enter");
            });
            direct->chooseEntry(0);
            QCOMPARE(direct->table()->topLevelItem(0)->text(1), QString("PLAY"));
            press(direct, "enter");
        });
        press(control, "directPlay");
        whenShown<CCount1>([](CCount1* program) {
            press(program, "clear");
            press(program, "enter");
        });
        press(control, "program1");
        press(control, "close");
    });
    press(e.app.view(), "controlInput");
    const Bytes after = image(e.doc());
    QCOMPARE(after[1324], std::uint8_t(3));                    // MTC type
    QCOMPARE(after[20] | after[21] << 8, 16384);               // Direct Play entry 1: PLAY
    QCOMPARE(after[50] | after[51] << 8, 1015);                // entry 16 after RESET B
    QCOMPARE(after[52 + 198] | after[53 + 198] << 8, 0x8000);  // Program Play 1 entry 100: none
    QCOMPARE(e.doc().history().steps(), 3u);
    // Program Play 1 was the last step.
    QCOMPARE(e.app.mainFrame()->undoStack()->stack()->undoText(), QString("Program Play 1"));
}

void MainWindowTest::eachPhraseKindStoresItsChange() {
    TempDir tmp;
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "DEMO"));
    CWQEDoc& doc = e.doc();

    // The record's bytes for each value are Phrase Setup's own; here each
    // kind's pane opens, stores its change on ENTER, and Undo takes it back.
    struct Case {
        int index;
        std::function<void(CPhraseDlg*)> change;
        bool doubleClick = false;
    };
    const Case cases[] = {
        {0, [](CPhraseDlg* d) { d->list(SetupList::Volume)->setCurrentIndex(0); }},
        {2,
         [](CPhraseDlg* d) {
             QVERIFY(!d->list(SetupList::RepeatInterval)->isEnabled());
             d->list(SetupList::Repeat)->setCurrentIndex(3);
             QVERIFY(d->list(SetupList::RepeatInterval)->isEnabled());
         },
         true},
    };
    for (const Case& c : cases) {
        const Bytes before = record(doc, c.index);
        e.app.view()->showRow(c.index);
        bool shown = false;
        whenShown<CPhraseDlg>([&](CPhraseDlg* d) {
            shown = true;
            c.change(d);
            press(d, "enter");
        });
        if (c.doubleClick) {
            CPListCtrl* list = e.app.view()->list();
            const QRect rect = list->visualRect(list->model()->index(c.index, 1));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        } else {
            e.app.runCommand(Command::PhraseSetup);
        }
        QVERIFY(shown);
        QVERIFY(record(doc, c.index) != before);
        QVERIFY(doc.isModified());
        QVERIFY(doc.undo());
        QCOMPARE(record(doc, c.index), before);
    }
}

void MainWindowTest::patternEditHookAndInterruptCheck() {
    TempDir tmp;
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "DEMO"));
    CWQEDoc& doc = e.doc();
    const fs::path file = tmp / "DEMO" / "_WQP0003.PHR";

    {
        // Without a hook the button is there but disabled.
        CPhraseDlg d(doc, 2, e.app.view());
        QVERIFY(!d.editButton()->isHidden());
        QVERIFY(!d.editButton()->isEnabled());
    }
    {
        // The hook writes an interrupt phrase; the pane is read again and
        // RANDOM2 is kept.
        CPhraseDlg d(doc, 2, e.app.view());
        int modeSeen = -1;
        QWidget* parentSeen = nullptr;
        d.setPatternEditHandler([&](QWidget* parent, int mode) -> bool {
            modeSeen = mode, parentSeen = parent;
            auto read = readPatternFile(file, Model::WQ7000);
            read.data->setStepRef(kPatternMainSteps, 0);
            return bool(writePatternFile(file, *read.data));
        });
        QVERIFY(d.editButton()->isEnabled());
        d.list(SetupList::PatternMode)->setCurrentIndex(3);
        d.editButton()->click();
        QCOMPARE(modeSeen, 3);
        QCOMPARE(parentSeen, static_cast<QWidget*>(&d));
        QVERIFY(d.setup()->info.pattern->hasInterruptPhrase());
        d.accept();
        QCOMPARE(doc.phr().getPatternMode(2), 3u);
        QVERIFY(e.prompter.messages.empty());
    }
}

void MainWindowTest::newPatternIsMadeEditedWrittenAndReadBack() {
    Card card;
    card.select(4);
    whenShown<CPhSel3>([](CPhSel3* d) {
        QVERIFY(d->songButton()->isHidden());
        QVERIFY(d->patternButton()->isChecked());
        whenShown<CPthPhEdit>([](CPthPhEdit* e) {
            whenShown<CPhSel2>([](CPhSel2* s) {
                QVERIFY(s->volumeList()->isEnabled() && s->intervalList()->isEnabled());
                s->phraseList()->setCurrentIndex(12);  // A0012
                s->volumeList()->setCurrentIndex(80);
                s->intervalList()->setCurrentIndex(15);
                press(s, "enter");
            });
            e->editRow(1);
            QCOMPARE(rowTexts(e, 1), (QStringList{"2", "A0012", "80%", "01.5s"}));
            e->selectRow(0);
            press(e, "insert");
            QCOMPARE(rowTexts(e, 2), (QStringList{"3", "A0012", "80%", "01.5s"}));
            press(e, "enter");
        });
        press(d, "ok");
    });
    card.editor.app.runCommand(Command::PatternPhrase);

    CWQEDoc& doc = card.editor.doc();
    QCOMPARE(doc.phr().getType(4), 3u);
    QVERIFY(doc.isModified());
    const PatternData data = card.read(4);
    QCOMPARE(data.stepRef(2), std::uint16_t(11));
    QCOMPARE(int(data.stepVolume(2)), 80);
    QCOMPARE(int(data.stepInterval(2)), 15);
    QCOMPARE(data.stepRef(1), kStepUnused);
}

void MainWindowTest::newSongIsMadeAndAClosedOneLeavesItsSlotEmpty() {
    Card card;
    card.select(5);
    whenShown<CPhSel3>([](CPhSel3* d) {
        QVERIFY(d->patternButton()->isHidden());
        QVERIFY(d->songButton()->isChecked());
        whenShown<CPthPhEdit>([](CPthPhEdit* e) {
            const std::pair<int, int> steps[] = {{3, 5}, {2, 1}};  // A0002 at 5 s, A0001 at 1 s
            for (int r = 0; r < 2; ++r) {
                whenShown<CMtcSel>([choice = steps[r]](CMtcSel* s) {
                    s->phraseList()->setCurrentIndex(choice.first);
                    s->timeList(StartField::Seconds)->setCurrentIndex(choice.second);
                    press(s, "enter");
                });
                e->editRow(r);
            }
            QCOMPARE(rowTexts(e, 0), (QStringList{"1", "A0002", "00h00m05s00f"}));
            press(e, "enter");
        });
        press(d, "ok");
    });
    card.editor.app.runCommand(Command::SongPhrase);

    QCOMPARE(card.editor.doc().phr().getType(5), 4u);
    const PatternData data = card.read(5);
    QVERIFY(data.isSong());
    QVERIFY((data.songStep(0) == SongStep{0, 1000}));
    QVERIFY((data.songStep(1) == SongStep{1, 5000}));
    QCOMPARE(data.songStep(2).ref, kStepUnused);

    // A new phrase closed unedited leaves its slot empty.
    card.select(6);
    const Bytes before = record(card.editor.doc(), 6);
    whenShown<CPhSel3>([](CPhSel3* d) {
        d->songButton()->setChecked(true);
        whenShown<CPthPhEdit>([](CPthPhEdit* e) {
            QCOMPARE(e->windowTitle(), QString("Editing Song Phrases"));
            press(e, "close");
        });
        press(d, "ok");
    });
    auto* list = card.editor.app.view()->list();
    emit list->doubleClicked(list->model()->index(6, 0));
    QCOMPARE(record(card.editor.doc(), 6), before);
    QVERIFY(!fs::exists(card.dir / "_WQP0007.PHR"));
    QCOMPARE(card.editor.model()->index(6, 1).data().toString(), QString("---"));
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
