// Backup and restore, cleanup, phrase copy, the deletions and drag and drop
// on the phrase list, driven through the editor on the offscreen platform
// with scripted answers.
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "GuiTestSupport.h"
#include "maintenance/CardFixture.h"
#include "maintenance/PhraseDelete.h"
#include "maintenance/PhraseDrop.h"
#include "maintenance/qt/CPathDialog.h"
#include "maintenance/qt/MaintenanceDialogs.h"

using namespace wqe;
using namespace wqe::test;
namespace fs = std::filesystem;

namespace {

// Every file under `folder` with its bytes, for byte-identical comparisons.
std::map<std::string, std::string> files(const fs::path& folder) {
    std::map<std::string, std::string> out;
    for (const auto& e : fs::recursive_directory_iterator(folder))
        if (e.is_regular_file())
            out[e.path().lexically_relative(folder).string()] = readText(e.path());
    return out;
}

QString cell(Editor& e, int row, int column) {
    return e.model()->index(row, column).data().toString();
}

}  // namespace

class MaintenanceDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void backupAndRestoreRoundTrip();
    void transferRefusalsTouchNothing();
    void cleanupRegistersNewFilesAndDropsStaleRecords();
    void phraseCopyOfEachKind();
    void deletePhraseAndUndo();
    void folderDeletionRefusesHome();
    void droppingTwoWavFilesRegistersTwoPhrases();
};

void MaintenanceDialogsTest::backupAndRestoreRoundTrip() {
    TempDir tmp;
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "card"));
    const auto original = files(tmp / "card");

    // Backup into a folder that does not exist: no question, created and filled.
    CCbuck backup(TransferMode::Backup, e.doc(), e.prompter);
    backup.sourceEdit()->setText(QString::fromStdString((tmp / "card").string()));
    backup.destinationEdit()->setText(QString::fromStdString((tmp / "backup").string()));
    backup.onEnter();
    QVERIFY(e.prompter.questions.empty());
    QCOMPARE(backup.result(), int(QDialog::Rejected));  // not the open card: no reload
    QVERIFY(files(tmp / "backup") == original);

    // The card loses a phrase; restore into the open card asks the longer
    // question and reloads the card as it was.
    e.app.view()->showRow(0);
    e.prompter = ScriptedPrompter({Answer::Yes, Answer::Yes});
    e.app.runCommand(Command::DeletePhrase);
    QVERIFY(e.doc().onSaveCardInfo());
    QVERIFY(files(tmp / "card") != original);
    CCbuck restore(TransferMode::Restore, e.doc(), e.prompter);
    restore.sourceEdit()->setText(QString::fromStdString((tmp / "backup").string()));
    restore.destinationEdit()->setText(QString::fromStdString((tmp / "card").string()));
    restore.onEnter();
    QCOMPARE(e.prompter.questions.back(), std::string(kMsgRestoreIntoOpenCard));
    QCOMPARE(restore.result(), int(QDialog::Accepted));
    QVERIFY(restore.lastResult()->reloaded);
    QVERIFY(files(tmp / "card") == original);
    QVERIFY(e.doc().phr().isUsed(0));
    QVERIFY(cell(e, 0, 1) != "---");
}

void MaintenanceDialogsTest::transferRefusalsTouchNothing() {
    TempDir tmp;
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "card"));
    fs::create_directories(tmp / "other");
    const std::string card = (tmp / "card").string();
    // One refusal shown as the dialog's message (the rules behind it are the
    // transfer's own): nothing asked, nothing touched.
    const auto before = files(tmp.path());
    e.prompter = ScriptedPrompter({}, Answer::Yes);
    CCbuck refused(TransferMode::Backup, e.doc(), e.prompter);
    refused.sourceEdit()->setText(QString::fromStdString(card));
    refused.destinationEdit()->setText(QString::fromStdString(card + "/"));
    refused.onEnter();
    QCOMPARE(refused.lastResult()->status, TransferResult::Status::Refused);
    QVERIFY(e.prompter.questions.empty());
    QCOMPARE(e.prompter.messages.size(), size_t(1));
    QVERIFY2(e.prompter.messages[0].find("same folder") != std::string::npos,
             e.prompter.messages[0].c_str());
    QVERIFY(files(tmp.path()) == before);
    // The answer no to the open-card question leaves the card as it is.
    e.prompter = ScriptedPrompter({Answer::No});
    CCbuck d(TransferMode::Backup, e.doc(), e.prompter);
    d.sourceEdit()->setText(QString::fromStdString((tmp / "other").string()));
    d.destinationEdit()->setText(QString::fromStdString(card));
    d.onEnter();
    QCOMPARE(e.prompter.questions, std::vector<std::string>{kMsgBackupIntoOpenCard});
    QCOMPARE(d.lastResult()->status, TransferResult::Status::Declined);
    QVERIFY(files(tmp.path()) == before);
}

void MaintenanceDialogsTest::cleanupRegistersNewFilesAndDropsStaleRecords() {
    TempDir tmp;
    Editor e(Language::English);
    makeCard(tmp / "card", Model::WQ7000);
    e.open(tmp / "card" / "_WQ7TSYS.CNF");
    registerAs(e.doc(), 4, kTypeAudio, "STALE");  // no data file
    writeBytes(tmp / "card" / "_WQP0010.MID", midiFile(500000));
    writeBytes(tmp / "card" / "_WQP0011.PHR", kpacFile(3, 1, 0, 20));
    e.doc().markModified(true);

    QVERIFY(e.enabled(Command::Cleanup) && e.enabled(Command::Backup));
    e.prompter = ScriptedPrompter({Answer::Yes}, Answer::No);
    CCClean d(e.doc(), e.prompter);
    d.onStart();
    // The save question came first; the card was written, cleaned, reloaded.
    QCOMPARE(e.prompter.questions.front(), std::string(kMsgCleanupSaveFirst));
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(e.prompter.messages.back(), std::string(kMsgCleanupFinished));
    QVERIFY(!e.doc().phr().isUsed(4));
    QCOMPARE(cell(e, 4, 1), QString("---"));
    QCOMPARE(cell(e, 9, 2), QString("MIDI "));
    QCOMPARE(cell(e, 10, 2), QString("AUDIO"));
    QVERIFY(!e.doc().isModified());
}

void MaintenanceDialogsTest::phraseCopyOfEachKind() {
    TempDir tmp;
    Editor e(Language::English);
    makeCard(tmp / "card", Model::WQ7000);
    e.open(tmp / "card" / "_WQ7TSYS.CNF");
    fs::create_directories(tmp / "src");
    writeBytes(tmp / "src" / "a.PHR", kpacFile(3, 1, 1, 20));
    writeBytes(tmp / "src" / "d.PHR", patternFile(1, 1024));
    writeBytes(tmp / "src" / "f.PHR", {'x'});
    // The summaries behind these lines are the copy's own; here the dialog
    // shows them and copies.
    struct Case {
        const char* file;
        const char* type;  // end of the caption
        bool pages;        // members shown in lines 3 to 6
    };
    const Case cases[] = {{"a.PHR", "(Audio Phrase)", false}, {"d.PHR", "(Pattern Phrase)", true}};
    e.app.view()->showRow(0);
    CPhCopy d(e.doc(), *e.app.view(), 0, e.prompter);
    d.showFolder(QString::fromStdString((tmp / "src").string()));
    QCOMPARE(d.informationCaption(), QString("File Infomation"));
    d.chooseFile(QString::fromStdString((tmp / "src" / "f.PHR").string()));
    QVERIFY(!d.enterButton()->isEnabled());
    QCOMPARE(d.informationLines()[5], QString("-----"));

    // The reader's lines: the type line starts line 2, the others fill
    // lines 3 to 6 unless a pattern or song shows its members there.
    CPhCopy::setFileInfoProvider([](const CopySource&, const CWQEDoc&) {
        return FileInfoLines{"TYPE", "L3", "L4", "L5", "L6"};
    });
    int slot = 0;
    for (const Case& c : cases) {
        d.chooseFile(QString::fromStdString((tmp / "src" / c.file).string()));
        QVERIFY2(d.enterButton()->isEnabled(), c.file);
        QVERIFY2(d.informationCaption().endsWith(c.type), qPrintable(d.informationCaption()));
        QCOMPARE(d.informationLines()[0], QString("Memo : "));
        QVERIFY(d.informationLines()[1].startsWith("TYPE  "));
        if (c.pages)
            QVERIFY(d.informationLines()[2].startsWith("No.1~No.1"));
        else
            QCOMPARE(d.informationLines()[5], QString("L6"));
        QCOMPARE(d.destinationSlot(), slot);
        d.onEnter();
        QCOMPARE(e.prompter.messages.back(), std::string(kMsgCopySucceeded));
        QVERIFY(e.doc().phr().isUsed(slot));
        QVERIFY(cell(e, slot, 1) != "---");
        ++slot;
        QCOMPARE(d.destinationSlot(), slot);  // moved on to the next empty slot
    }
    CPhCopy::setFileInfoProvider({});
    // The two registrations are two undo steps.
    for (int k = 0; k < 2; ++k) QVERIFY(e.doc().undo());
    QVERIFY(!e.doc().phr().isUsed(0));
}

void MaintenanceDialogsTest::deletePhraseAndUndo() {
    TempDir tmp;
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "card"));
    e.app.view()->showRow(0);
    const QString name = cell(e, 0, 1);
    const fs::path data = registeredDataFile(e.doc(), 0);
    QVERIFY(fs::exists(data));
    e.prompter = ScriptedPrompter({Answer::No, Answer::Yes});
    e.app.runCommand(Command::DeletePhrase);  // no: nothing happens
    QVERIFY(e.doc().phr().isUsed(0) && fs::exists(data));
    e.app.runCommand(Command::DeletePhrase);
    QVERIFY(e.prompter.questions[1].find("cannot be undone") != std::string::npos);
    QVERIFY(!fs::exists(data));
    QCOMPARE(cell(e, 0, 1), QString("---"));
    QVERIFY(e.doc().undo());
    QCOMPARE(cell(e, 0, 1), name);
    QVERIFY(!e.doc().isModified());
}

void MaintenanceDialogsTest::folderDeletionRefusesHome() {
    TempDir tmp;
    const QByteArray oldHome = qgetenv("HOME");
    fs::create_directories(tmp / "home" / "user");
    qputenv("HOME", QByteArray::fromStdString((tmp / "home" / "user").string()));
    Editor e(Language::English);
    // The chooser's folder is the home folder: refused before any question.
    e.settings.setValue(kKeyBackupPath, tmp.path().string());
    e.prompter = ScriptedPrompter({}, Answer::Yes);
    whenShown<CPathDialog>([&](CPathDialog* chooser) {
        chooser->pathEdit()->setText(QString::fromStdString((tmp / "home" / "user").string()));
        chooser->accept();
    });
    e.app.runCommand(Command::DeleteFolder);
    QVERIFY(e.prompter.questions.empty());
    QCOMPARE(e.prompter.messages.size(), size_t(1));
    QVERIFY(e.prompter.messages[0].find("never deleted") != std::string::npos);
    QVERIFY(fs::exists(tmp / "home" / "user"));
    // No saved backup path that exists: the warning, no chooser.
    e.settings.setValue(kKeyBackupPath, (tmp / "gone").string());
    e.prompter = ScriptedPrompter();
    e.app.runCommand(Command::DeleteFolder);
    QCOMPARE(e.prompter.messages, std::vector<std::string>{kMsgSpecifyCorrectPath});
    qputenv("HOME", oldHome);
}

void MaintenanceDialogsTest::droppingTwoWavFilesRegistersTwoPhrases() {
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
    // Rows 7 and 8: row 8 (phrase 0008) is used, so nothing is written.
    e.prompter = ScriptedPrompter();
    drop(6);
    QCOMPARE(e.prompter.messages, std::vector<std::string>{kMsgDropRefused});
    QVERIFY(e.prompter.errors[0].reason.find("0008") != std::string::npos);
    QVERIFY(!fs::exists(tmp / "card" / "_WQP0007.WAV"));

    drop(2);
    QCOMPARE(e.prompter.messages.back(), std::string("Conversion succeeded. (2 file(s))"));
    QCOMPARE(cell(e, 2, 2), QString("AUDIO"));
    QCOMPARE(cell(e, 3, 2), QString("AUDIO"));
    QCOMPARE(cell(e, 2, 5), QString("WAV"));
    QCOMPARE(cell(e, 3, 6), QString("STEREO"));
    QVERIFY(fs::exists(tmp / "card" / "_WQP0003.WAV"));
    QVERIFY(fs::exists(tmp / "card" / "_WQP0004.WAV"));
    QVERIFY(e.doc().isModified());
}

QTEST_MAIN(MaintenanceDialogsTest)
#include "test_maintenance_dialogs.moc"
