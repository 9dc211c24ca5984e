#include <QHeaderView>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include "GuiTestSupport.h"
#include "app/QtPrompter.h"
#include "app/QtSettingsStore.h"
#include "maintenance/qt/CDirTreeCtrl.h"
#include "maintenance/qt/CPathDialog.h"
#include "view/qt/CPListCtrl.h"

using namespace wqe;
using namespace wqe::test;
namespace fs = std::filesystem;

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void startsEmpty();
    void opensCardsOfBothModels();
    void editsReachTheCardOnSave();
    void commandEnablingFollowsCardAndSelection();
    void saveQuestionOnOpenAndClose();
    void cardPathThroughTheFolderChooser();
    void folderChooserValidatesAndCreates();
    void fileFilterAndSettingsStore();
    void listColumnsFitTheirTexts();
    void windowGeometryIsRemembered();
};

void MainWindowTest::startsEmpty() {
    Editor e(Language::English);
    QCOMPARE(e.app.mainFrame()->windowTitle(),
             QString("Load system information. - WQ SERIES CARD EDITOR WQE-7000"));
    QCOMPARE(e.text("systemFolder"), QDir::currentPath());
    // Before a card: slot numbers and "---" in columns 1 to 13 only.
    QCOMPARE(e.model()->rowCount(), 250);
    QCOMPARE(e.model()->index(249, 0).data().toString(), QString("0250"));
    QCOMPARE(e.model()->index(0, 13).data().toString(), QString("---"));
    QCOMPARE(e.model()->index(0, 14).data().toString(), QString());
}

void MainWindowTest::opensCardsOfBothModels() {
    TempDir tmp;
    const fs::path sys = copyDemoCard(tmp / "DEMO");
    QVERIFY(bool(createCard(tmp / "W5", Model::WQ5000, 1)));
    Editor e(Language::English);
    // The system file's name must be in capitals.
    fs::create_directory(tmp / "LOW");
    fs::copy_file(sys, tmp / "LOW" / "_wq7tsys.cnf");
    e.open(tmp / "LOW" / "_wq7tsys.cnf");
    QVERIFY(!e.doc().isLoaded());
    QCOMPARE(e.prompter.messages, std::vector<std::string>{"Choose a proper file name."});

    e.prompter.messages.clear();
    e.open(sys);
    QVERIFY(e.doc().isLoaded());
    QVERIFY(e.prompter.messages.empty());
    QCOMPARE(e.app.mainFrame()->windowTitle(),
             QString::fromStdString(e.doc().systemPath()) + " - WQ SERIES CARD EDITOR WQE-7000");
    QCOMPARE(e.settings.value(kKeySystemFolder), e.doc().systemPath());
    QCOMPARE(e.cardName()->text(), QString("DEMOCARD"));
    QCOMPARE(e.text("phraseCount"), QString("250"));
    QCOMPARE(e.memo()->toPlainText(), QString("Demo card of the WQE-7000 card editor.\n"));
    QVERIFY(e.combo("displaySleep")->isEnabled());
    QVERIFY(e.find<QWidget>("equalizer")->isEnabled());
    QVERIFY(!e.doc().isModified());  // filling the form is no edit
    QCOMPARE(e.model()->columnCount(), 22);
    e.checkListCells(Language::English, {0, 1, 2, 3, 249});
    QCOMPARE(e.app.view()->selectedPhrase(), 0);

    e.open(tmp / "W5" / "_WQ5TSYS.CNF");
    QCOMPARE(e.model()->rowCount(), 500);
    QCOMPARE(e.model()->columnCount(), 14);
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
    name->selectAll();
    QTest::keyClicks(name, "ab1");
    QCOMPARE(name->text(), QString("1"));
    QCOMPARE(e.doc().sys().getCardName(), std::string("1       "));
    QVERIFY(e.enabled(Command::SaveCardInfo));
    name->setText("SHOP");
    name->setCursorPosition(2);
    QTest::keyClicks(name, "x-");
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
    QVERIFY(readText(tmp / "DEMO" / "WQE_MEMO.TXT")
                .starts_with("SystemMemo:\r\nA\r\nB\r\nPhraseMemo:\r\n"));

    // Saving again with nothing changed writes nothing and beeps.
    const int beeps = e.prompter.beeps;
    e.app.runCommand(Command::SaveCardInfo);
    QCOMPARE(e.prompter.beeps, beeps + 1);
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
        int row, type;  // type: -1 leaves the demo card's record as it is
        const char* state;
    } steps[] = {{0, -1, "11000011"},  // the demo's KPAC phrase
                 {4, -1, "00111011"},  // an empty slot
                 {5, kTypePattern, "11010011"},
                 {6, kTypeSong, "11001011"}};
    for (const auto& s : steps) {
        if (s.type >= 0) e.doc().phr().setType(s.row, static_cast<std::uint32_t>(s.type));
        e.app.view()->fillRow(s.row);
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
    QCOMPARE(e.prompter.openDialogFolders, std::vector<std::string>{(tmp / "DEMO").string()});
    QCOMPARE(e.cardName()->text(), QString("WQ-7000 "));
    QCOMPARE(e.model()->index(0, 1).data().toString(), QString("---"));
    QCOMPARE(readBytes(sys)[17], std::uint8_t{0});  // not saved

    // Closing an unmodified document asks nothing.
    e.prompter = ScriptedPrompter();
    QVERIFY(e.app.mainFrame()->close());
    QVERIFY(e.prompter.questions.empty());
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

    // The tree walks down ignoring letter case and keeps the folders' own spelling.
    QString startText;
    whenChooserShows([&](CPathDialog* d) {
        startText = d->pathEdit()->text();
        QVERIFY(d->tree()->openToPath(QString::fromStdString(tmp.str() + "/CARD/sub")));
        d->okButton()->click();
    });
    e.app.onSetCardPath();
    QCOMPARE(startText, QDir::currentPath());
    QCOMPARE(e.settings.value(kKeyCardPath), tmp.str() + "/Card/Sub");

    // Cancelling the next time keeps the first choice.
    whenChooserShows([&](CPathDialog* d) {
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
        {base + "/Data/", {}, false, none, says(base + "/Data/", invalid)},
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
    QCOMPARE(e.model()->index(0, 3).data().toString(), QString("00:00:02.0s"));
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

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
