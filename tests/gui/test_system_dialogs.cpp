// The system settings dialogs in the editor: each opened from its button on
// the demo card, one value changed, ENTER, and the system image compared with
// the expected bytes; Undo and Redo over those edits.
#include <QAction>
#include <QCheckBox>
#include <QTreeWidget>
#include <QUndoStack>

#include "GuiTestSupport.h"
#include "dialogs/qt/CardUndoStack.h"
#include "dialogs/qt/Choosers.h"
#include "dialogs/qt/SettingsDialogs.h"
#include "dialogs/qt/TableDialogs.h"

using namespace wqe;
using namespace wqe::test;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes image(CWQEDoc& doc) {
    const auto s = doc.sys().image();
    return {s.begin(), s.end()};
}

}  // namespace

class SystemDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void eachDialogStoresItsEdit();
    void tableEditorsAndChooser();
    void wq5000FieldsAndBusyOutCode();
    void undoRedoAndSavedPoint();
};

void SystemDialogsTest::eachDialogStoresItsEdit() {
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
    // CLOSE keeps the record as it was.
    const Bytes before = image(e.doc());
    whenShown<CSettingsDialog>([](CSettingsDialog* d) {
        d->list(DialogField::EqSwitch)->setCurrentIndex(1);
        press(d, "close");
    });
    press(e.app.view(), "equalizer");
    QCOMPARE(image(e.doc()), before);
    QCOMPARE(e.doc().history().steps(), 5u);
}

void SystemDialogsTest::tableEditorsAndChooser() {
    TempDir tmp;
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "DEMO"));
    Bytes expected = image(e.doc());
    // MTC Settings inside MIDI Settings: the type, stored at once; MIDI Settings then closed.
    expected[1324] = 3;
    // Direct Play: RESET B then entry 1 chosen as PLAY through the chooser.
    for (int k = 0; k < 16; ++k) {
        const int ref = k == 0 ? 16384 : 1000 + k;
        expected[static_cast<std::size_t>(20 + 2 * k)] = static_cast<std::uint8_t>(ref & 0xFF);
        expected[static_cast<std::size_t>(21 + 2 * k)] = static_cast<std::uint8_t>(ref >> 8);
    }
    // Program Play 2: INSERT at entry 1 of the default (all none) table changes nothing; CLEAR of
    // Program Play 1 sets all 100 entries to none.
    for (int k = 0; k < 100; ++k) {
        expected[static_cast<std::size_t>(52 + 2 * k)] = 0x00;
        expected[static_cast<std::size_t>(53 + 2 * k)] = 0x80;
    }

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
                QCOMPARE(chooser->list()->currentText(), QString("B0001"));
                chooser->list()->setCurrentIndex(1);  // PLAY
                press(chooser, "enter");
            });
            direct->chooseEntry(0);
            QCOMPARE(direct->table()->topLevelItem(0)->text(1), QString("PLAY"));
            press(direct, "enter");
        });
        press(control, "directPlay");
        whenShown<CCount1>([](CCount1* program) {
            QCOMPARE(program->windowTitle(), QString("Program Play 1"));
            press(program, "clear");
            QCOMPARE(program->table()->topLevelItem(99)->text(1), QString("-----"));
            press(program, "enter");
        });
        press(control, "program1");
        press(control, "close");
    });
    press(e.app.view(), "controlInput");
    QCOMPARE(image(e.doc()), expected);
    QCOMPARE(e.doc().history().steps(), 3u);
    // Program Play 1 was the last step.
    QCOMPARE(e.app.mainFrame()->undoStack()->stack()->undoText(), QString("Program Play 1"));
}

void SystemDialogsTest::wq5000FieldsAndBusyOutCode() {
    TempDir tmp;
    QCOMPARE(createCard(tmp / "W5", Model::WQ5000, 1), std::string());
    Editor e(Language::Japanese);
    e.open(tmp / "W5" / "_WQ5TSYS.CNF");
    QVERIFY(!e.find<QPushButton>("equalizer")->isEnabled());
    Bytes expected = image(e.doc());
    expected[7] = 2;  // delay off, interval on
    expected[1089] = 1;
    whenShown<CBusyDlg>([](CBusyDlg* d) {
        QVERIFY(!d->check(DialogField::BusyPlayback)->isEnabled());
        QVERIFY(d->check(DialogField::BusyDelay)->isChecked());
        d->check(DialogField::BusyDelay)->setChecked(false);
        press(d, "enter");
    });
    press(e.app.view(), "busyOut");
    whenShown<ClineThru>([](ClineThru* d) {
        QCOMPARE(d->list(DialogField::LineThru)->itemText(0), QString("ﾐｭｰﾄ"));
        QVERIFY(!d->list(DialogField::FadeIn)->isEnabled());
        QCOMPARE(d->list(DialogField::FadeIn)->currentIndex(), -1);
        d->list(DialogField::LineThru)->setCurrentIndex(1);
        press(d, "enter");
    });
    press(e.app.view(), "lineThru");
    QCOMPARE(image(e.doc()), expected);
}

void SystemDialogsTest::undoRedoAndSavedPoint() {
    TempDir tmp;
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "DEMO"));
    QAction* undo = e.app.mainFrame()->undoStack()->undoAction();
    QAction* redo = e.app.mainFrame()->undoStack()->redoAction();
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
    const Bytes opened = image(e.doc());
    e.combo("baudRate")->setCurrentIndex(3);
    e.cardName()->selectAll();
    QTest::keyClicks(e.cardName(), "XY");
    QCOMPARE(e.doc().sys().getCardName(), std::string("XY      "));
    const Bytes edited = image(e.doc());
    QCOMPARE(e.doc().history().steps(), 2u);  // the typing is one step
    QCOMPARE(undo->text(), QString("Undo Card Name(&U)"));

    undo->trigger();
    QCOMPARE(e.cardName()->text(), QString("DEMOCARD"));
    undo->trigger();
    QCOMPARE(image(e.doc()), opened);
    QCOMPARE(e.combo("baudRate")->currentIndex(), 1);
    QVERIFY(!e.doc().isModified());
    QVERIFY(!undo->isEnabled());
    redo->trigger();
    redo->trigger();
    QCOMPARE(image(e.doc()), edited);

    // Save marks the saved point; undoing from there marks the card modified again.
    e.app.runCommand(Command::SaveCardInfo);
    QVERIFY(!e.doc().isModified());
    undo->trigger();
    QVERIFY(e.doc().isModified());
    QVERIFY(e.enabled(Command::SaveCardInfo));
    redo->trigger();
    QVERIFY(!e.doc().isModified());
    // Reload and open start a new history.
    e.open(e.doc().systemPath());
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
    QCOMPARE(image(e.doc()), edited);
}

QTEST_MAIN(SystemDialogsTest)
#include "test_system_dialogs.moc"
