// Every settings dialog and chooser laid out in the language of WQE_LANG on
// both models: no text of a label, box or button is cut. With WQE_SHOT_DIR
// set, each dialog is also saved there as a PNG (tests/gui/screenshot.sh).
#include <QAbstractButton>
#include <QDir>
#include <QGroupBox>
#include <functional>

#include "GuiTestSupport.h"
#include "dialogs/qt/Choosers.h"
#include "dialogs/qt/SettingsDialogs.h"
#include "dialogs/qt/TableDialogs.h"

using namespace wqe;
using namespace wqe::test;

class SystemDialogsLookTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void textsFitOnBothModels();
};

void SystemDialogsLookTest::initTestCase() {
    QVERIFY(CWQEApp::installTranslations(*QCoreApplication::instance(), detectLanguage()));
}

void SystemDialogsLookTest::textsFitOnBothModels() {
    const Language lang = detectLanguage();
    const QString shots = qEnvironmentVariable("WQE_SHOT_DIR");
    const QString langName = lang == Language::Japanese ? "ja" : "en";
    TempDir tmp;
    QVERIFY(bool(createCard(tmp / "W5", Model::WQ5000, 1)));
    Editor e(lang);
    for (const auto& card : {copyDemoCard(tmp / "DEMO"), tmp / "W5" / "_WQ5TSYS.CNF"}) {
        e.open(card);
        QVERIFY(e.doc().isLoaded());
        CWQEDoc& doc = e.doc();
        QWidget* parent = e.app.view();
        const QString model = doc.model() == Model::WQ7000 ? "7000" : "5000";
        const std::pair<const char*, std::function<QDialog*()>> dialogs[] = {
            {"line-thru", [&] { return new ClineThru(doc, parent); }},
            {"equalizer", [&] { return new CEqDlg(doc, parent); }},
            {"busy-out", [&] { return new CBusyDlg(doc, parent); }},
            {"control-input", [&] { return new CControl(doc, parent); }},
            {"midi", [&] { return new CMidiSet(doc, {}, parent); }},
            {"mtc", [&] { return new CMtcDlg(doc, {}, parent); }},
            {"direct-play", [&] { return new CDirect(doc, parent); }},
            {"program-play", [&] { return new CCount1(doc, 0, parent); }},
            {"note-map", [&] { return new CmidiNoteDlg(doc, parent); }},
            {"phrase-chooser",
             [&] {
                 return new CPhSel(PlayTable::read(doc.sys(), TableKind::DirectPlay).chooser(0), 0,
                                   parent);
             }},
            {"start-point-chooser",
             [&] {
                 return new CMtcSel({1000, {1, 2, 3, 4}}, 3, lang, parent);
             }},
        };
        for (const auto& [name, make] : dialogs) {
            std::unique_ptr<QDialog> d(make());
            d->show();
            QVERIFY(QTest::qWaitForWindowExposed(d.get()));
            for (QWidget* w : d->findChildren<QWidget*>()) {
                if (!w->isVisible() ||
                    !(qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w)))
                    continue;
                QVERIFY2(w->width() >= w->sizeHint().width(),
                         qPrintable(QString("%1: %2").arg(
                             name, w->objectName() + " " + w->property("text").toString())));
            }
            if (!shots.isEmpty()) {
                const QString file =
                    QDir(shots).filePath(QString("%1-%2-%3.png").arg(name, model, langName));
                QVERIFY2(d->grab().save(file), qPrintable(file));
            }
            d->reject();
        }
    }
}

QTEST_MAIN(SystemDialogsLookTest)
#include "test_system_dialogs_look.moc"
