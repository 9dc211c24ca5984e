#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include "GuiTestSupport.h"
#include "app/QtPrompter.h"
#include "app/QtSettingsStore.h"
#include "maintenance/qt/CDirTreeCtrl.h"
#include "maintenance/qt/CPathDialog.h"
#include "view/PhraseListText.h"

using namespace wqe;
using namespace wqe::test;
namespace fs = std::filesystem;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsEmpty();
    void opensTheDemoCard();
    void showsAWq5000Card();
    void editsReachTheCardOnSave();
    void commandEnablingFollowsCardAndSelection();
    void saveQuestionOnOpenAndClose();
    void rejectsAnImproperFileName();
    void cardPathThroughTheFolderChooser();
    void folderChooserValidatesAndCreates();
    void fileFilterAndSettingsStore();
    void contextMenuAndVersionDialog();
};

void MainWindowTest::startsEmpty() {
    Editor e(Language::English);
    QCOMPARE(e.app.mainFrame()->windowTitle(),
             QString("Load system information. - WQ SERIES CARD EDITOR WQE-7000"));
    QCOMPARE(e.text("systemFolder"), QDir::currentPath());
    QCOMPARE(e.combo("baudRate")->currentIndex(), 1);
    QCOMPARE(e.combo("displaySleep")->count(), 3571);
    QCOMPARE(e.combo("displaySleep")->itemText(3570), QString("59m59s"));
    // Before a card: slot numbers and "---" in columns 1 to 13 only.
    QCOMPARE(e.model()->rowCount(), 250);
    QCOMPARE(e.model()->index(249, 0).data().toString(), QString("0250"));
    QCOMPARE(e.model()->index(0, 13).data().toString(), QString("---"));
    QCOMPARE(e.model()->index(0, 14).data().toString(), QString());
    // The window cannot be made smaller than it was first shown.
    QCOMPARE(e.app.mainFrame()->minimumSize(), e.app.mainFrame()->size());
}

void MainWindowTest::opensTheDemoCard() {
    TempDir tmp;
    const fs::path sys = copyDemoCard(tmp / "DEMO");
    Editor e(Language::English);
    e.open(sys);
    QVERIFY(e.doc().isLoaded());
    QCOMPARE(e.prompter.messages, std::vector<std::string>{});
    QCOMPARE(e.app.mainFrame()->windowTitle(),
             QString::fromStdString(e.doc().systemPath()) + " - WQ SERIES CARD EDITOR WQE-7000");
    QCOMPARE(e.settings.value(kKeySystemFolder), e.doc().systemPath());
    QCOMPARE(e.text("systemFolder"), QString::fromStdString(e.doc().folderPrefix()));
    QCOMPARE(e.cardName()->text(), QString("DEMOCARD"));
    QCOMPARE(e.text("phraseCount"), QString("250"));
    QCOMPARE(e.memo()->toPlainText(), QString("Demo card of the WQE-7000 card editor.\n"));
    QCOMPARE(e.combo("displaySleep")->currentIndex(), 0);
    QVERIFY(e.combo("displaySleep")->isEnabled());
    QVERIFY(e.find<QWidget>("equalizer")->isEnabled());
    QVERIFY(!e.doc().isModified());  // filling the form is no edit

    const auto columns = phraseListColumns(Model::WQ7000, Language::English);
    QCOMPARE(e.model()->columnCount(), 22);
    for (int c = 0; c < 22; ++c) {
        QCOMPARE(e.model()->headerData(c, Qt::Horizontal).toString(),
                 QString::fromStdString(columns[c].header));
        QCOMPARE(e.app.view()->list()->columnWidth(c), columns[c].width);
    }
    for (int row : {0, 1, 2, 3, 249}) {
        const auto cells = phraseListRow(e.doc(), row, Language::English);
        for (int c = 0; c < 22; ++c) {
            QCOMPARE(e.model()->index(row, c).data().toString(), QString::fromStdString(cells[c]));
        }
    }
    QCOMPARE(e.model()->index(0, 0).data().toString(), QString("0001"));
    QCOMPARE(e.app.view()->selectedPhrase(), 0);
}

void MainWindowTest::showsAWq5000Card() {
    TempDir tmp;
    QCOMPARE(createCard(tmp / "W5", Model::WQ5000, 1), std::string());
    Editor e(Language::English);
    e.open(tmp / "W5" / "_WQ5TSYS.CNF");
    QCOMPARE(e.model()->rowCount(), 500);
    QCOMPARE(e.model()->columnCount(), 14);
    QCOMPARE(e.model()->index(499, 0).data().toString(), QString("0500"));
    const auto cells = phraseListRow(e.doc(), 7, Language::English);
    for (int c = 0; c < 14; ++c)
        QCOMPARE(e.model()->index(7, c).data().toString(), QString::fromStdString(cells[c]));
    for (const char* name : {"displaySleep", "outputVolumeThru", "wqLinkMode"}) {
        QVERIFY2(!e.combo(name)->isEnabled(), name);
        QCOMPARE(e.combo(name)->currentIndex(), -1);
    }
    QVERIFY(!e.find<QWidget>("equalizer")->isEnabled());
    QVERIFY(!e.enabled(Command::WavImport));
    QVERIFY(!e.enabled(Command::SongPhrase));
    QCOMPARE(e.text("phraseCount"), QString("500"));
}

void MainWindowTest::editsReachTheCardOnSave() {
    TempDir tmp;
    const fs::path sys = copyDemoCard(tmp / "DEMO");
    const auto before = readBytes(sys);
    const auto phraseBefore = readBytes(tmp / "DEMO" / "_WQ7TPHR.CNF");
    Editor e(Language::English);
    e.open(sys);

    QLineEdit* name = e.cardName();
    name->setFocus();
    name->selectAll();
    QTest::keyClicks(name, "ab1");
    QCOMPARE(name->text(), QString("1"));
    QCOMPARE(e.doc().sys().getCardName(), std::string("1       "));
    QVERIFY(e.enabled(Command::SaveCardInfo));
    // A dropped character leaves the caret after the characters before it.
    name->setText("SHOP");
    name->setCursorPosition(2);
    QTest::keyClicks(name, "x");
    QCOMPARE(name->text(), QString("SHOP"));
    QCOMPARE(name->cursorPosition(), 2);
    QTest::keyClicks(name, "-");
    QCOMPARE(name->text(), QString("SH-OP"));
    QCOMPARE(name->cursorPosition(), 3);
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
    const std::string memoFile = readText(tmp / "DEMO" / "WQE_MEMO.TXT");
    QVERIFY(memoFile.starts_with("SystemMemo:\r\nA\r\nB\r\nPhraseMemo:\r\n"));

    // Saving again with nothing changed writes nothing and beeps.
    const int beeps = e.prompter.beeps;
    e.app.runCommand(Command::SaveCardInfo);
    QCOMPARE(e.prompter.beeps, beeps + 1);
}

void MainWindowTest::commandEnablingFollowsCardAndSelection() {
    TempDir tmp;
    const fs::path sys = copyDemoCard(tmp / "DEMO");
    Editor e(Language::English);
    const Command phraseCommands[] = {Command::PhraseSetup, Command::DeletePhrase,
                                      Command::CopyPhrase, Command::PatternPhrase,
                                      Command::SongPhrase};
    auto phraseState = [&] {
        QString s;
        for (Command c : phraseCommands) s += e.enabled(c) ? "1" : "0";
        return s;
    };
    QCOMPARE(phraseState(), QString("00000"));
    for (Command c :
         {Command::SaveCardInfo, Command::Print, Command::PrintPreview, Command::Cleanup}) {
        QVERIFY(!e.enabled(c));
    }
    for (Command c :
         {Command::OpenCardInfo, Command::WavImport, Command::Backup, Command::FileConvert,
          Command::SetBackupPath, Command::VersionInfo, Command::PrinterSetup}) {
        QVERIFY(e.enabled(c));
    }

    e.open(sys);
    QVERIFY(e.enabled(Command::Print) && e.enabled(Command::Cleanup) &&
            !e.enabled(Command::SaveCardInfo));
    QCOMPARE(phraseState(), QString("00111"));  // row 0 selected, an empty slot
    e.doc().phr().setType(5, kTypePattern);
    e.app.view()->fillRow(5);
    e.app.view()->showRow(5);
    QCOMPARE(e.app.view()->selectedPhrase(), 5);
    QCOMPARE(phraseState(), QString("11010"));
    QCOMPARE(e.model()->index(5, 2).data().toString(), QString("PATTERN"));
    e.app.view()->list()->clearSelection();
    QCOMPARE(phraseState(), QString("00000"));
    e.doc().close();
    e.app.view()->showRow(1);
    QCOMPARE(phraseState(), QString("00000"));
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
    QCOMPARE(e.prompter.beeps, 1);
    QVERIFY(e.doc().isModified());

    // Open: No, then cancel the dialog: no card is left, the form shows defaults.
    e.prompter = ScriptedPrompter({Answer::No});
    e.app.runCommand(Command::OpenCardInfo);
    QVERIFY(!e.doc().isLoaded());
    QCOMPARE(e.prompter.openDialogFolders, std::vector<std::string>{(tmp / "DEMO").string()});
    QCOMPARE(e.cardName()->text(), QString("WQ-7000 "));
    QCOMPARE(e.model()->index(0, 1).data().toString(), QString("---"));
    QCOMPARE(readBytes(sys)[17], std::uint8_t{0});  // not saved

    // Closing an unmodified document asks nothing.
    e.prompter = ScriptedPrompter();
    QVERIFY(e.app.mainFrame()->close());
    QVERIFY(e.prompter.questions.empty());
}

void MainWindowTest::rejectsAnImproperFileName() {
    TempDir tmp;
    copyDemoCard(tmp / "DEMO");
    fs::copy_file(tmp / "DEMO" / "_WQ7TSYS.CNF", tmp / "DEMO" / "_wq7tsys.cnf");
    Editor e(Language::English);
    e.open(tmp / "DEMO" / "_wq7tsys.cnf");
    QVERIFY(!e.doc().isLoaded());
    QCOMPARE(e.prompter.messages, std::vector<std::string>{"Choose a proper file name."});
}

// Runs `interact` on the folder chooser once it is shown modally.
static void whenChooserShows(std::function<void(CPathDialog*)> interact) {
    QTimer::singleShot(0, [interact] {
        auto* dialog = qobject_cast<CPathDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        interact(dialog);
    });
}

void MainWindowTest::cardPathThroughTheFolderChooser() {
    TempDir tmp;
    fs::create_directories(tmp / "Card" / "Sub");
    Editor e(Language::English);
    e.settings.setValue(kKeyCardPath, tmp.str() + "/gone");  // no longer exists

    QString startText;
    whenChooserShows([&](CPathDialog* d) {
        startText = d->pathEdit()->text();
        QCOMPARE(d->windowTitle(), QString("CARD Path Setup"));
        QVERIFY(d->tree()->openToPath(QString::fromStdString(tmp.str() + "/CARD/sub")));
        d->okButton()->click();
    });
    e.app.onSetCardPath();
    QCOMPARE(startText, QDir::currentPath());
    QCOMPARE(e.settings.value(kKeyCardPath), tmp.str() + "/Card/Sub");

    // Cancelling the next time keeps the first choice.
    whenChooserShows([](CPathDialog* d) { d->reject(); });
    e.app.onSetCardPath();
    QCOMPARE(e.settings.value(kKeyCardPath), tmp.str() + "/Card/Sub");

    whenChooserShows([&](CPathDialog* d) {
        startText = d->pathEdit()->text();
        QCOMPARE(d->windowTitle(), QString("Buckup Up Path Setup"));
        d->reject();
    });
    e.settings.setValue(kKeyBackupPath, tmp.str() + "/Card");
    e.app.onSetBackupPath();
    QCOMPARE(startText, QString::fromStdString(tmp.str() + "/Card"));
}

void MainWindowTest::folderChooserValidatesAndCreates() {
    TempDir tmp;
    fs::create_directories(tmp / "Data");
    writeText(tmp / "file", "x");
    const QString base = QString::fromStdString(tmp.str());
    struct Step {
        QString typed;
        std::deque<Answer> answers;
        bool accepted;
        std::vector<std::string> questions, messages;
    };
    auto q = [](const QString& p) {
        return "The folder:\n\n" + p.toStdString() +
               "\n\ndoes not exist. Do you want the folder to be created?";
    };
    const Step steps[] = {
        {base + "/Data/",
         {},
         false,
         {},
         {"The folder:\n\n" + (base + "/Data/").toStdString() + "\n\nis invalid. Please reenter."}},
        {base + "/Da?ta",
         {},
         false,
         {},
         {"The folder:\n\n" + (base + "/Da?ta").toStdString() + "\n\nis invalid. Please reenter."}},
        {base + "/Data/New/Sub", {Answer::No}, false, {q(base + "/Data/New/Sub")}, {}},
        {base + "/Data/New/Sub", {Answer::Yes}, true, {q(base + "/Data/New/Sub")}, {}},
        {base + "/file/Sub",
         {Answer::Yes},
         false,
         {q(base + "/file/Sub")},
         {"The folder:\n\n" + (base + "/file/Sub").toStdString() +
          "\n\ncan not be created. Please double check."}},
        {"/", {}, true, {}, {}},
    };
    for (const Step& s : steps) {
        ScriptedPrompter prompter(s.answers);
        CPathDialog dialog("Title", "Reference Path:", base, prompter);
        dialog.show();
        dialog.pathEdit()->setText(s.typed);
        QVERIFY(dialog.okButton()->isEnabled());
        dialog.okButton()->click();
        QCOMPARE(dialog.result() == QDialog::Accepted, s.accepted);
        QCOMPARE(prompter.questions, s.questions);
        QCOMPARE(prompter.messages, s.messages);
        if (s.accepted) QCOMPARE(dialog.path(), s.typed);
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
    {
        QtSettingsStore store(ini);
        QCOMPARE(store.value(kKeyBackupPath, ""), std::string());
        store.setValue(kKeyBackupPath, "/media/カード");
    }
    QtSettingsStore again(ini);
    QCOMPARE(again.value(kKeyBackupPath, ""), std::string("/media/カード"));
    QVERIFY(readText(tmp / "wqe.ini").find("[Path]") != std::string::npos);
}

void MainWindowTest::contextMenuAndVersionDialog() {
    TempDir tmp;
    const fs::path sys = copyDemoCard(tmp / "DEMO");
    Editor e(Language::English);
    e.open(sys);
    e.doc().phr().setType(3, kTypeSong);
    e.app.view()->fillRow(3);
    e.app.view()->showRow(3);

    QString menuName;
    QStringList enabled;
    QTimer::singleShot(0, [&] {
        QWidget* popup = QApplication::activePopupWidget();
        QVERIFY(popup);
        menuName = popup->objectName();
        std::function<void(QMenu*)> collect = [&](QMenu* m) {
            for (QAction* a : m->actions()) {
                if (a->menu())
                    collect(a->menu());
                else if (!a->isSeparator() && a->isEnabled())
                    enabled << a->text();
            }
        };
        collect(qobject_cast<QMenu*>(popup));
        popup->close();
    });
    CPListCtrl* list = e.app.view()->list();
    emit list->customContextMenuRequested(list->visualRect(e.model()->index(3, 0)).center());
    QCOMPARE(menuName, QString("phraseMenu132"));
    QCOMPARE(enabled,
             QStringList({"Phrase Setup(&E)...", "Delete Phrase(&D)...", "Song Phrase(&S)..."}));

    QString versionText;
    QTimer::singleShot(0, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QString("Version Information"));
        for (QLabel* l : dialog->findChildren<QLabel*>()) versionText += l->text();
        qobject_cast<QDialog*>(dialog)->accept();
    });
    e.app.runCommand(Command::VersionInfo);
    QCOMPARE(versionText, QString("WQE-7000 Version 2.00"));
}

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
