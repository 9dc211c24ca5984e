// The editor's main window and its dialogs on a card: opening cards of both
// models, the form's edits reaching the card on save, command enabling, the
// save question, the folder chooser, printing; system dialogs, tables and a
// Phrase Setup pane opened from their buttons or rows and storing a change, the
// pattern editor hook, new patterns and songs made through the step dialogs;
// last the Japanese translations.
#include <QHeaderView>
#include <QPdfWriter>
#include <QRadioButton>
#include <QSettings>
#include <QStyle>
#include <QTreeWidget>
#include <QUndoStack>

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

// Page count of a PDF that QPdfWriter wrote: its page objects.
int pdfPages(const fs::path& path) {
    const std::string pdf = readText(path);
    int pages = 0;
    for (auto at = pdf.find("/Type /Page\n"); at != std::string::npos;
         at = pdf.find("/Type /Page\n", at + 1))
        ++pages;
    return pages;
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
    void systemDialogsAndTablesStoreTheirEdits();
    void phraseSetupStoresItsChange();
    void patternEditHookAndInterruptCheck();
    void newPatternAndSongAreMadeAndAClosedOneLeavesItsSlotEmpty();
    // Last: the Japanese translations stay installed once loaded.
    void menusFormListAndMessagesInJapanese();
};

void MainWindowTest::startsEmptyThenOpensCardsOfBothModels() {
    TempDir tmp;
    const fs::path sys = copyDemoCard(tmp / "DEMO");
    QVERIFY(bool(createCard(tmp / "W5", Model::WQ5000, 1)));
    Editor e(Language::English);
    QCOMPARE(e.model()->rowCount(), 250);  // the empty list before a card

    e.open(sys);
    QVERIFY(e.prompter.messages.empty());
    QCOMPARE(e.app.mainFrame()->windowTitle(),
             QString::fromStdString(e.doc().systemPath()) + " - WQ SERIES CARD EDITOR WQE-7000");
    QCOMPARE(e.cardName()->text(), QString("DEMOCARD"));
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
    for (Command c : ruled)
        if (c != Command::SaveCardInfo) e.app.view()->setCommandHandler(c, [] {});
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
        QCOMPARE(pdfPages(path), 4);  // three system pages, one phrase page
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
    QCOMPARE(e.app.mainFrame()->windowTitle(),
             QString("システム情報を読み込んでください。 - WQ シリーズ カードエディタ WQE-7000"));
    for (const char* text : coreTexts())
        QVERIFY2(translateCoreText(text) != QString::fromLatin1(text), text);
    // The list shows the document's Japanese texts.
    e.open(copyDemoCard(tmp / "DEMO"));
    e.checkListCells(Language::Japanese, {0, 1, 2, 249});
}

void MainWindowTest::systemDialogsAndTablesStoreTheirEdits() {
    TempDir tmp;
    Editor e(Language::English);
    QVERIFY(!e.find<QPushButton>("lineThru")->isEnabled());  // no card yet
    e.open(copyDemoCard(tmp / "DEMO"));
    // The bytes of every field and table are the dialogs' own; here each
    // dialog's ENTER stores them. A button inside a dialog runs its dialog to
    // the end before the next line.
    whenShown<CSettingsDialog>([](CSettingsDialog* d) {
        d->list(DialogField::FadeOut)->setCurrentIndex(10);
        press(d, "enter");
    });
    press(e.app.view(), "lineThru");
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
        press(control, "close");
    });
    press(e.app.view(), "controlInput");
    const auto after = e.doc().sys().image();
    QCOMPARE(after[1332], std::uint8_t(15));      // fade-out
    QCOMPARE(after[1324], std::uint8_t(3));       // MTC type
    QCOMPARE(after[20] | after[21] << 8, 16384);  // Direct Play entry 1: PLAY
    QCOMPARE(e.doc().history().steps(), 3u);
    // Direct Play was the last step.
    QCOMPARE(e.app.mainFrame()->undoStack()->stack()->undoText(), QString("Direct Play"));
}

void MainWindowTest::phraseSetupStoresItsChange() {
    TempDir tmp;
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "DEMO"));
    CWQEDoc& doc = e.doc();

    // The record's bytes for each value are Phrase Setup's own; here a
    // double click on the pattern's row opens its pane, ENTER stores the
    // change and Undo takes it back.
    const Bytes before = record(doc, 2);
    bool shown = false;
    whenShown<CPhraseDlg>([&](CPhraseDlg* d) {
        shown = true;
        QVERIFY(!d->list(SetupList::RepeatInterval)->isEnabled());
        d->list(SetupList::Repeat)->setCurrentIndex(3);
        QVERIFY(d->list(SetupList::RepeatInterval)->isEnabled());
        press(d, "enter");
    });
    CPListCtrl* list = e.app.view()->list();
    const QRect rect = list->visualRect(list->model()->index(2, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    QVERIFY(shown);
    QVERIFY(record(doc, 2) != before);
    QVERIFY(doc.isModified());
    QVERIFY(doc.undo());
    QCOMPARE(record(doc, 2), before);
}

void MainWindowTest::patternEditHookAndInterruptCheck() {
    TempDir tmp;
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "DEMO"));
    CWQEDoc& doc = e.doc();
    const fs::path file = tmp / "DEMO" / "_WQP0003.PHR";

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

void MainWindowTest::newPatternAndSongAreMadeAndAClosedOneLeavesItsSlotEmpty() {
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

    // A song in the next slot.
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
    const PatternData song = card.read(5);
    QVERIFY(song.isSong());
    QVERIFY((song.songStep(0) == SongStep{0, 1000}));
    QVERIFY((song.songStep(1) == SongStep{1, 5000}));
    QCOMPARE(song.songStep(2).ref, kStepUnused);

    // A new phrase closed unedited leaves its slot empty.
    card.select(6);
    const Bytes before = record(card.editor.doc(), 6);
    whenShown<CPhSel3>([](CPhSel3* d) {
        d->songButton()->setChecked(true);
        whenShown<CPthPhEdit>([](CPthPhEdit* e) { press(e, "close"); });
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
