// File Convert and WAV Import; the phrase player from the phrase list and
// File Convert's Play button (a test output stands in for the audio device);
// backup and restore, cleanup, phrase copy and drag and drop on the phrase
// list. All driven through their controls on the offscreen platform with
// scripted answers.
#include <QCheckBox>
#include <QDropEvent>
#include <QMimeData>
#include <QRadioButton>
#include <QStatusBar>
#include <QUrl>

#include "GuiTestSupport.h"
#include "convert/FakePreviewOutput.h"
#include "convert/qt/CConvertDlg.h"
#include "convert/qt/CPhrasePlayer.h"
#include "convert/qt/CPlayButton.h"
#include "maintenance/CardFixture.h"
#include "maintenance/PhraseDrop.h"
#include "maintenance/qt/MaintenanceDialogs.h"

using namespace wqe;
using namespace wqe::test;
namespace fs = std::filesystem;

namespace {

struct Player {
    explicit Player(bool available) {
        auto out = std::make_unique<FakeOutput>();
        out->isAvailable = available;
        output = out.get();
        player = std::make_unique<CPhrasePlayer>(std::move(out));
        CPhrasePlayer::setShared(player.get());
    }
    ~Player() { CPhrasePlayer::setShared(nullptr); }
    FakeOutput* output;
    std::unique_ptr<CPhrasePlayer> player;
};

// Starts encoding the folder `src` into `target` in MODE 2.
void startFolderEncode(CConvertDlg& dialog, const fs::path& src, const fs::path& target) {
    dialog.show();
    dialog.encodeRadio()->click();
    dialog.byFolderBox()->setChecked(true);
    dialog.sourceEdit()->setText(QString::fromStdString(src.string()));
    dialog.targetEdit()->setText(QString::fromStdString(target.string()));
    dialog.modeList()->setCurrentText("MODE 2");
    dialog.startButton()->click();
}

QString cell(Editor& e, int row, int column) {
    return e.model()->index(row, column).data().toString();
}

}  // namespace

class ToolDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void convertsAFolderAndImportsAFile();
    void cancelHalfWayKeepsOnlyWholeFiles();
    void theListPlaysStopsAndSwitchesRows();
    void fileConvertPlaysItsSourceFile();
    void backupAndRestoreRoundTrip();
    void cleanupRegistersNewFilesAndDropsStaleRecords();
    void phraseCopyShowsTheFileAndCopiesIt();
    void droppingTwoWavFilesRegistersTwoPhrases();
};

void ToolDialogsTest::convertsAFolderAndImportsAFile() {
    TempDir tmp;
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "card"));
    QVERIFY(e.enabled(Command::FileConvert));
    const fs::path card = tmp / "card";
    fs::create_directory(tmp / "src");
    for (const char* name : {"b.wav", "a.wav", "c.wav"})
        writeBytes(tmp / "src" / name, wavFile(2, 32000, 16, 4000));
    // Which numbers the files take is the folder run's rule; here three more files.
    const std::size_t before = snapshot(card).size();

    int cleanups = 0;
    e.prompter = ScriptedPrompter({Answer::Yes});
    CConvertDlg dialog({e.doc(), e.prompter, e.settings, [&] { ++cleanups; }}, e.app.mainFrame());
    startFolderEncode(dialog, tmp / "src", card);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isRunning(), 60000);
    QCOMPARE(dialog.shownPercent(), 100);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(snapshot(card).size(), before + 3);
    QCOMPARE(e.prompter.questions,
             std::vector<std::string>{"Conversion succeeded. (3 file(s))\nCleanup the Card Info?"});
    QCOMPARE(cleanups, 1);
    QCOMPARE(e.settings.value(kKeyConvertWavePath), (tmp / "src").string());
    QCOMPARE(e.settings.value(kKeyConvertPhrasePath), card.string());

    // WAV Import of one file (its padding is the import's own); the cleanup
    // question answered No.
    QVERIFY(e.enabled(Command::WavImport));
    writeBytes(tmp / "in.wav", wavFile(2, 44100, 16, 1000));
    e.prompter = ScriptedPrompter({Answer::No});
    CWavImportDlg import({e.doc(), e.prompter, e.settings, [&] { ++cleanups; }});
    import.show();
    import.byFolderBox()->setChecked(false);
    import.sourceEdit()->setText(QString::fromStdString((tmp / "in.wav").string()));
    import.targetEdit()->setText(QString::fromStdString((card / "_WQP0999.WAV").string()));
    import.startButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!import.isRunning(), 60000);
    QVERIFY(fs::exists(card / "_WQP0999.WAV"));
    QCOMPARE(e.prompter.questions.size(), std::size_t{1});
    QCOMPARE(cleanups, 1);  // still one: answered No
}

void ToolDialogsTest::cancelHalfWayKeepsOnlyWholeFiles() {
    TempDir tmp;
    fs::create_directory(tmp / "src");
    fs::create_directory(tmp / "out");
    for (int k = 0; k < 16; ++k)
        writeBytes(tmp / "src" / ("t" + std::to_string(k + 10) + ".wav"),
                   wavFile(2, 48000, 16, 48000 * 10));
    Editor e(Language::English);
    e.prompter = ScriptedPrompter();
    CConvertDlg dialog({e.doc(), e.prompter, e.settings, {}});
    startFolderEncode(dialog, tmp / "src", tmp / "out");
    QVERIFY(dialog.isRunning());
    QCOMPARE(dialog.startButton()->text(), QString("Cancel"));
    // Cancelled at once: sixteen 10-second files take far longer than this
    // on any machine, so the run is surely half-way.
    dialog.startButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isRunning(), 60000);

    // Only finished phrase files are left, as many as the message says.
    const auto names = snapshot(tmp / "out");
    QVERIFY(names.size() < 16);
    for (const auto& [n, bytes] : names)
        QVERIFY2(n.starts_with("_WQP") && n.ends_with(".PHR"), n.c_str());
    QCOMPARE(e.prompter.messages.back(),
             "Conversion cancelled. (" + std::to_string(names.size()) + " file(s) converted)");
}

void ToolDialogsTest::theListPlaysStopsAndSwitchesRows() {
    Player p(true);
    TempDir t;
    Editor e(Language::English);
    e.open(copyDemoCard(t / "card"));
    CPhrasePlayer& player = *p.player;
    CPListCtrl* list = e.app.view()->list();
    list->setFocus();
    auto statusText = [&] { return e.app.mainFrame()->statusBar()->currentMessage(); };

    // Row 1, the KPAC phrase: Space plays it, the status bar names it.
    e.app.view()->showRow(0);
    QVERIFY(e.enabled(Command::PlayPhrase));
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(player.state(), PreviewState::Playing);
    QVERIFY2(statusText().startsWith("Phrase 0001  00:00.0 / "), qPrintable(statusText()));
    p.output->play(4410);

    // Row 2 (the WAV phrase) while row 1 plays: the second plays; Esc stops it.
    // (Switching and stopping on the same row are the playback's own rules.)
    e.app.view()->showRow(1);
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(player.phrase(), 1);
    QTest::keyClick(list, Qt::Key_Escape);
    QCOMPARE(player.state(), PreviewState::Stopped);

    // A row that plays stops when the card goes.
    e.app.view()->showRow(1);
    QTest::keyClick(list, Qt::Key_Space);
    QVERIFY(player.isPlaying());
    e.doc().close();
    QCOMPARE(player.state(), PreviewState::Stopped);
}

void ToolDialogsTest::fileConvertPlaysItsSourceFile() {
    Player p(true);
    TempDir t;
    Editor e(Language::English);
    copyDemoCard(t / "card");
    const QString phrase = QString::fromStdString((t / "card" / "_WQP0001.PHR").string());
    {
        CConvertDlg dialog({e.doc(), e.prompter, e.settings, [] {}});
        CPlayButton* play = dialog.playButton();
        QVERIFY(play);
        dialog.decodeRadio()->click();
        dialog.byFolderBox()->setChecked(false);  // the session keeps the last run's choice
        dialog.sourceEdit()->setText(phrase);
        QVERIFY(play->isEnabled());
        play->click();
        QCOMPARE(p.player->state(), PreviewState::Playing);
        QCOMPARE(play->text(), QString("Stop"));
        play->click();
        QCOMPARE(p.player->state(), PreviewState::Stopped);
        QCOMPARE(play->text(), QString("Play"));
        play->click();
        QVERIFY(p.player->isPlaying());
    }
    // Closing the dialog silences it.
    QCOMPARE(p.player->state(), PreviewState::Stopped);
}

void ToolDialogsTest::backupAndRestoreRoundTrip() {
    TempDir tmp;
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "card"));
    const auto original = snapshot(tmp / "card");

    // Backup into a folder that does not exist: no question, created and filled.
    CCbuck backup(TransferMode::Backup, e.doc(), e.prompter);
    backup.sourceEdit()->setText(QString::fromStdString((tmp / "card").string()));
    backup.destinationEdit()->setText(QString::fromStdString((tmp / "backup").string()));
    backup.onEnter();
    QCOMPARE(backup.result(), int(QDialog::Rejected));  // not the open card: no reload
    QVERIFY(snapshot(tmp / "backup") == original);

    // The card gains a phrase and is saved; restore into the open card (its
    // question answered yes) reloads the card as it was.
    registerAs(e.doc(), 4, kTypeAudio, "CHANGED");
    e.doc().markModified(true);
    QVERIFY(e.doc().onSaveCardInfo());
    QVERIFY(snapshot(tmp / "card") != original);
    e.prompter = ScriptedPrompter({Answer::Yes});
    CCbuck restore(TransferMode::Restore, e.doc(), e.prompter);
    restore.sourceEdit()->setText(QString::fromStdString((tmp / "backup").string()));
    restore.destinationEdit()->setText(QString::fromStdString((tmp / "card").string()));
    restore.onEnter();
    QCOMPARE(restore.result(), int(QDialog::Accepted));
    QVERIFY(restore.lastResult()->reloaded);
    QVERIFY(snapshot(tmp / "card") == original);
    QCOMPARE(cell(e, 4, 1), QString("---"));
}

void ToolDialogsTest::cleanupRegistersNewFilesAndDropsStaleRecords() {
    TempDir tmp;
    Editor e(Language::English);
    makeCard(tmp / "card", Model::WQ7000);
    e.open(tmp / "card" / "_WQ7TSYS.CNF");
    registerAs(e.doc(), 4, kTypeAudio, "STALE");  // no data file
    writeBytes(tmp / "card" / "_WQP0010.MID", midiFile(500000));
    writeBytes(tmp / "card" / "_WQP0011.PHR", kpacFile(3, 1, 0, 20));
    e.doc().markModified(true);

    e.prompter = ScriptedPrompter({Answer::Yes}, Answer::No);
    CCClean d(e.doc(), e.prompter);
    d.onStart();
    // Saved first (answered yes), cleaned, reloaded.
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(e.prompter.messages.back(), std::string(kMsgCleanupFinished));
    QCOMPARE(cell(e, 4, 1), QString("---"));
    QCOMPARE(cell(e, 9, 2), QString("MIDI "));
    QVERIFY(!e.doc().isModified());
}

void ToolDialogsTest::phraseCopyShowsTheFileAndCopiesIt() {
    TempDir tmp;
    Editor e(Language::English);
    makeCard(tmp / "card", Model::WQ7000);
    e.open(tmp / "card" / "_WQ7TSYS.CNF");
    fs::create_directories(tmp / "src");
    writeBytes(tmp / "src" / "d.PHR", patternFile(1, 1024));
    // The summaries behind these lines are the copy's own; here the dialog
    // shows them and copies.
    e.app.view()->showRow(0);
    CPhCopy d(e.doc(), *e.app.view(), 0, e.prompter);
    d.showFolder(QString::fromStdString((tmp / "src").string()));
    QVERIFY(!d.enterButton()->isEnabled());  // no file chosen yet

    // The reader's lines: the type line starts line 2; a pattern shows its
    // members in lines 3 to 6.
    CPhCopy::setFileInfoProvider([](const CopySource&, const CWQEDoc&) {
        return FileInfoLines{"TYPE", "L3", "L4", "L5", "L6"};
    });
    d.chooseFile(QString::fromStdString((tmp / "src" / "d.PHR").string()));
    QVERIFY(d.enterButton()->isEnabled());
    QVERIFY(d.informationLines()[1].startsWith("TYPE  "));
    QVERIFY(d.informationLines()[2].startsWith("No.1~No.1"));
    d.onEnter();
    CPhCopy::setFileInfoProvider({});
    QCOMPARE(e.prompter.messages.back(), std::string(kMsgCopySucceeded));
    QVERIFY(cell(e, 0, 1) != "---");
    QCOMPARE(d.destinationSlot(), 1);  // moved on to the next empty slot
    QVERIFY(e.doc().undo());
    QVERIFY(!e.doc().phr().isUsed(0));
}

void ToolDialogsTest::droppingTwoWavFilesRegistersTwoPhrases() {
    TempDir tmp;
    Editor e(Language::English);
    makeCard(tmp / "card", Model::WQ7000);
    e.open(tmp / "card" / "_WQ7TSYS.CNF");
    e.app.mainFrame()->show();
    QVERIFY(QTest::qWaitForWindowExposed(e.app.mainFrame()));
    registerAs(e.doc(), 7, kTypeAudio, "USED");
    e.app.view()->fillRow(7);
    writeBytes(tmp / "one.wav", wavFile(1, 32000, 16, 1600));
    writeBytes(tmp / "two.wav", wavFile(2, 48000, 16, 4800));
    CPListCtrl* list = e.app.view()->list();
    auto drop = [&](int row) {
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(QString::fromStdString((tmp / "one.wav").string())),
                      QUrl::fromLocalFile(QString::fromStdString((tmp / "two.wav").string()))});
        list->scrollTo(e.model()->index(row, 0));
        const QPointF at = list->visualRect(e.model()->index(row, 0)).center();
        // A drag enters the list, moves to the row and is dropped there.
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &enter);
        QDragMoveEvent move(at.toPoint(), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &move);
        QVERIFY(move.isAccepted());
        QDropEvent event(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &event);
    };
    // Rows 7 and 8: row 8 is used, so nothing is written (the drop's rule); the message is shown.
    e.prompter = ScriptedPrompter();
    drop(6);
    QCOMPARE(e.prompter.messages, std::vector<std::string>{kMsgDropRefused});

    drop(2);
    QCOMPARE(e.prompter.messages.back(), std::string("Conversion succeeded. (2 file(s))"));
    QCOMPARE(cell(e, 2, 5), QString("WAV"));
    QCOMPARE(cell(e, 3, 6), QString("STEREO"));
    QVERIFY(e.doc().isModified());
}

QTEST_MAIN(ToolDialogsTest)
#include "test_tool_dialogs.moc"
