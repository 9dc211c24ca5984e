// The dialogs of the editor laid out in the language of WQE_LANG, one of
// each kind (the dialogs made by one base class share its layout): no text
// of a label, box or button is cut. With WQE_SHOT_DIR set, each dialog is
// also saved there as a PNG (tests/gui/screenshot.sh).
#include <QCheckBox>
#include <QHeaderView>
#include <QRadioButton>
#include <QTreeWidget>

#include "GuiTestSupport.h"
#include "convert/qt/CConvertDlg.h"
#include "convert/qt/CPhrOpenDlg.h"
#include "dialogs/qt/CPhSel2.h"
#include "dialogs/qt/CPhSel3.h"
#include "dialogs/qt/CPhraseDlg.h"
#include "dialogs/qt/CPthPhEdit.h"
#include "dialogs/qt/Choosers.h"
#include "dialogs/qt/SettingsDialogs.h"
#include "dialogs/qt/TableDialogs.h"
#include "maintenance/CardFixture.h"
#include "maintenance/PhraseDelete.h"
#include "maintenance/PhraseDrop.h"
#include "maintenance/qt/MaintenanceDialogs.h"

using namespace wqe;
using namespace wqe::test;

using Maker = std::function<QDialog*()>;

class DialogsLookTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void systemDialogsOnBothModels();
    void patternPhraseAndMaintenanceDialogs();

private:
    const Language lang_ = detectLanguage();
};

void DialogsLookTest::initTestCase() {
    QVERIFY(CWQEApp::installTranslations(*QCoreApplication::instance(), lang_));
}

void DialogsLookTest::systemDialogsOnBothModels() {
    TempDir tmp;
    QVERIFY(bool(createCard(tmp / "W5", Model::WQ5000, 1)));
    Editor e(lang_);
    for (const auto& card : {copyDemoCard(tmp / "DEMO"), tmp / "W5" / "_WQ5TSYS.CNF"}) {
        e.open(card);
        QVERIFY(e.doc().isLoaded());
        CWQEDoc& doc = e.doc();
        QWidget* parent = e.app.view();
        const QString model = doc.model() == Model::WQ7000 ? "7000" : "5000";
        const std::pair<const char*, Maker> dialogs[] = {
            {"midi", [&] { return new CMidiSet(doc, {}, parent); }},
            {"program-play", [&] { return new CCount1(doc, 0, parent); }},
            {"phrase-chooser",
             [&] {
                 return new CPhSel(PlayTable::read(doc.sys(), TableKind::DirectPlay).chooser(0), 0,
                                   parent);
             }},
            {"start-point-chooser",
             [&] {
                 return new CMtcSel({1000, {1, 2, 3, 4}}, 3, lang_, parent);
             }},
        };
        for (const auto& [name, make] : dialogs) {
            std::unique_ptr<QDialog> d(make());
            showWithTextsWhole(*d, QString("%1-%2").arg(name, model), lang_);
            d->reject();
        }
    }
}

void DialogsLookTest::patternPhraseAndMaintenanceDialogs() {
    PatternData pattern(PatternKind::Pattern7000);
    pattern.setStepRef(0, 11);
    pattern.setStepVolume(0, 80);
    pattern.setStepInterval(0, 15);
    pattern.setStepRef(1, 1004);
    pattern.setStepRef(100, 3);
    PatternData song(PatternKind::Song);
    song.storeSongSteps({{0, 1000}, {1, 65000}, {kSongStop, 125000}});
    TempDir tmp;
    Editor e(lang_);
    e.open(copyDemoCard(tmp / "card"));
    e.doc().setLanguage(lang_);
    const QString card = QString::fromStdString((tmp / "card").string());
    const std::pair<const char*, Maker> dialogs[] = {
        {"phrase-to-make", [] { return new CPhSel3(Model::WQ7000, MakePreset::None); }},
        {"pattern-editor-7000",
         [&] { return new CPthPhEdit(PatternEditor(pattern, 2, 3), Model::WQ7000, lang_, 0); }},
        {"song-editor",
         [&] { return new CPthPhEdit(PatternEditor(song, 0), Model::WQ7000, lang_, 3); }},
        {"step-dialog",
         [] {
             return new CPhSel2(Model::WQ7000, PatternKind::Pattern7000, {11, 80, 15, 0}, false);
         }},
        {"phrase-setup-audio", [&] { return new CPhraseDlg(e.doc(), 0, e.app.view()); }},
        {"phrase-setup-pattern", [&] { return new CPhraseDlg(e.doc(), 2, e.app.view()); }},
        {"backup", [&] { return new CCbuck(TransferMode::Backup, e.doc(), e.prompter); }},
        {"cleanup", [&] { return new CCClean(e.doc(), e.prompter); }},
        {"phrase-copy",
         [&] {
             auto* d =
                 new CPhCopy(e.doc(), *e.app.view(), *nextEmptySlot(e.doc(), -1, true), e.prompter);
             d->showFolder(card);
             d->chooseFile(QString::fromStdString(registeredDataFile(e.doc(), 0).string()));
             return d;
         }},
        {"file-convert-decode",
         [&] {
             auto* d = new CConvertDlg({e.doc(), e.prompter, e.settings, {}});
             d->decodeRadio()->click();
             d->byFolderBox()->setChecked(true);
             return d;
         }},
        {"target-phrase-number", [&] { return new CPhrOpenDlg("PHR", 1000, card); }},
    };
    for (const auto& [name, make] : dialogs) {
        std::unique_ptr<QDialog> d(make());
        showWithTextsWhole(*d, name, lang_);
        if (auto* editor = qobject_cast<CPthPhEdit*>(d.get())) {
            // Every column shows its widest text whole.
            QTreeWidget* list = editor->stepList();
            for (int c = 0; c < list->columnCount(); ++c) {
                int widest =
                    list->header()->fontMetrics().horizontalAdvance(list->headerItem()->text(c));
                for (int r = 0; r < list->topLevelItemCount(); ++r)
                    widest = std::max(widest, list->fontMetrics().horizontalAdvance(
                                                  list->topLevelItem(r)->text(c)));
                QVERIFY2(list->columnWidth(c) >= widest,
                         qPrintable(QString("%1: column %2").arg(name).arg(c)));
            }
        }
        d->reject();
    }
}

QTEST_MAIN(DialogsLookTest)
#include "test_dialogs_look.moc"
