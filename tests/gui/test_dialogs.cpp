// The dialogs of the editor on a card, each opened from its button or
// command. The system settings dialogs on the demo card: one value changed,
// ENTER, and the system image compared with the expected bytes; Undo and
// Redo over those edits. Phrase Setup on the demo card: opened on each
// phrase kind from the command and by a double click, one change, ENTER, the
// record's bytes; Undo restores them; the pattern editor hook and the
// interrupt check. A new pattern and a new song made from the Phrase
// Combination commands, edited through the step dialogs, written and read
// back; a new phrase closed unedited leaves its slot empty.
#include <QAction>
#include <QCheckBox>
#include <QRadioButton>
#include <QTreeWidget>
#include <QUndoStack>

#include "GuiTestSupport.h"
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

using namespace wqe;
using namespace wqe::test;
namespace fs = std::filesystem;

namespace {

Bytes image(CWQEDoc& doc) {
    const auto s = doc.sys().image();
    return {s.begin(), s.end()};
}

Bytes record(CWQEDoc& doc, int i) {
    const auto r = doc.phr().record(i);
    return {r.begin(), r.end()};
}

// The demo card with a MIDI phrase (tempo 120 in the file, 115 in the record) added as phrase 4.
void addMidiPhrase(Editor& e, const fs::path& folder) {
    writeBytes(folder / "_WQP0004.MID", midiFile(500000));
    e.doc().edit("Add MIDI", [&] {
        e.doc().phr().setType(3, kTypeMidi);
        e.doc().phr().setName(3, "MIDI TUNE   ");
        e.doc().phr().setTempo(3, 115);
    });
    e.app.view()->fillRow(3);
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

class DialogsTest : public QObject {
    Q_OBJECT
private slots:
    void eachSystemDialogStoresItsEdit();
    void tableEditorsAndChooser();
    void wq5000FieldsAndBusyOutCode();
    void undoRedoAndSavedPoint();
    void eachPhraseKindStoresItsChange();
    void patternEditHookAndInterruptCheck();
    void newPatternIsMadeEditedWrittenAndReadBack();
    void newSongIsMadeEditedWrittenAndReadBack();
    void closingANewPhraseLeavesItsSlotEmpty();
};

void DialogsTest::eachSystemDialogStoresItsEdit() {
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

void DialogsTest::tableEditorsAndChooser() {
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

void DialogsTest::wq5000FieldsAndBusyOutCode() {
    TempDir tmp;
    QVERIFY(bool(createCard(tmp / "W5", Model::WQ5000, 1)));
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

void DialogsTest::undoRedoAndSavedPoint() {
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

void DialogsTest::eachPhraseKindStoresItsChange() {
    TempDir tmp;
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "DEMO"));
    addMidiPhrase(e, tmp / "DEMO");
    CWQEDoc& doc = e.doc();

    struct Case {
        int index;
        const char* line1;
        std::function<void(CPhraseDlg*)> change;
        std::vector<std::pair<int, std::uint8_t>> bytes;  // record offset, new value
        bool doubleClick = false;
    };
    const Case cases[] = {
        {0,
         "Phrase Type: Audio Phrase",
         [](CPhraseDlg* d) {
             d->list(SetupList::Volume)->setCurrentIndex(0);
             d->nameEdit()->clear();
             QTest::keyClicks(d->nameEdit(), "Abc");  // the lower-case letters are dropped
         },
         {{52, 10}, {10, 'A'}, {11, ' '}, {21, ' '}}},
        {2,
         "Phrase Type: Pattern Phrases",
         [](CPhraseDlg* d) {
             QVERIFY(!d->list(SetupList::RepeatInterval)->isEnabled());
             d->list(SetupList::Repeat)->setCurrentIndex(3);
             QVERIFY(d->list(SetupList::RepeatInterval)->isEnabled());
         },
         {{1, 1}, {3, 2}},
         true},
        {3,
         "Phrase Type: MIDI Phrase",
         [](CPhraseDlg* d) {
             QVERIFY(d->list(SetupList::FadeIn)->isHidden());
             QCOMPARE(d->list(SetupList::Volume)->currentText(), QString("120"));
             d->list(SetupList::Volume)->setCurrentIndex(200);
         },
         {{62, 200}}},
    };
    for (const Case& c : cases) {
        const Bytes before = record(doc, c.index);
        Bytes expected = before;
        for (const auto& [offset, value] : c.bytes) expected[std::size_t(offset)] = value;
        if (c.index == 0) std::fill(expected.begin() + 11, expected.begin() + 22, ' ');
        e.app.view()->showRow(c.index);
        bool shown = false;
        whenShown<CPhraseDlg>([&](CPhraseDlg* d) {
            shown = true;
            QCOMPARE(d->infoLine(0)->text(), QString(c.line1));
            c.change(d);
            press(d, "enter");
        });
        if (c.doubleClick) {
            CPListCtrl* list = e.app.view()->list();
            const QRect rect = list->visualRect(list->model()->index(c.index, 1));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
        } else {
            QVERIFY(e.enabled(Command::PhraseSetup));
            e.app.runCommand(Command::PhraseSetup);
        }
        QVERIFY2(shown, c.line1);
        QCOMPARE(record(doc, c.index), expected);
        QVERIFY(doc.isModified());
        QVERIFY(doc.undo());
        QCOMPARE(record(doc, c.index), before);
    }
}

void DialogsTest::patternEditHookAndInterruptCheck() {
    TempDir tmp;
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "DEMO"));
    CWQEDoc& doc = e.doc();
    const fs::path file = tmp / "DEMO" / "_WQP0003.PHR";

    {
        // Without a hook the button is there but disabled; RANDOM2 without an
        // interrupt phrase is corrected to RANDOM1 with the message.
        CPhraseDlg d(doc, 2, e.app.view());
        QVERIFY(d.isValid());
        QVERIFY(!d.editButton()->isHidden());
        QVERIFY(!d.editButton()->isEnabled());
        d.list(SetupList::PatternMode)->setCurrentIndex(2);
        d.accept();
        QCOMPARE(doc.phr().getPatternMode(2), 1u);
        QCOMPARE(e.prompter.messages.size(), std::size_t{1});
        QCOMPARE(QString::fromStdString(e.prompter.messages[0]), QString(kMsgInterruptCorrected));
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
        QCOMPARE(e.prompter.messages.size(), std::size_t{1});
    }
    {
        // A missing data file disables the button even with a hook.
        fs::remove(file);
        CPhraseDlg d(doc, 2, e.app.view());
        d.setPatternEditHandler([](QWidget*, int) { return true; });
        QVERIFY(!d.editButton()->isEnabled());
    }
    // An empty slot does not open.
    CPhraseDlg empty(doc, 10, e.app.view());
    QVERIFY(!empty.isValid());
    QCOMPARE(empty.exec(), int(QDialog::Rejected));
}

void DialogsTest::newPatternIsMadeEditedWrittenAndReadBack() {
    Card card;
    card.select(4);
    QVERIFY(card.editor.enabled(Command::PatternPhrase));
    QVERIFY(card.editor.enabled(Command::SongPhrase));
    whenShown<CPhSel3>([](CPhSel3* d) {
        QCOMPARE(d->windowTitle(), QString("Preparation of Phrase"));
        QVERIFY(d->songButton()->isHidden());
        QVERIFY(d->patternButton()->isChecked());
        whenShown<CPthPhEdit>([](CPthPhEdit* e) {
            QCOMPARE(e->windowTitle(), QString("Editing Pattern Phrases"));
            QVERIFY(!e->playList()->isHidden());
            QVERIFY(!e->playList()->isEnabled());
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
    QCOMPARE(static_cast<int>(data.kind()), 1);
    QCOMPARE(data.stepRef(2), std::uint16_t(11));
    QCOMPARE(int(data.stepVolume(2)), 80);
    QCOMPARE(int(data.stepInterval(2)), 15);
    QCOMPARE(data.stepRef(1), kStepUnused);
    QCOMPARE(card.editor.model()->index(4, 2).data().toString(), QString("PATTERN"));
    QVERIFY(card.editor.prompter.messages.empty());

    // Read back: the command on the used row opens the editor on the file.
    whenShown<CPthPhEdit>([](CPthPhEdit* e) {
        QCOMPARE(rowTexts(e, 2), (QStringList{"3", "A0012", "80%", "01.5s"}));
        press(e, "close");
    });
    card.editor.app.runCommand(Command::PatternPhrase);
    QVERIFY(card.read(4) == data);
}

void DialogsTest::newSongIsMadeEditedWrittenAndReadBack() {
    Card card;
    card.select(5);
    whenShown<CPhSel3>([](CPhSel3* d) {
        QVERIFY(d->patternButton()->isHidden());
        QVERIFY(d->songButton()->isChecked());
        whenShown<CPthPhEdit>([](CPthPhEdit* e) {
            QCOMPARE(e->windowTitle(), QString("Editing Song Phrases"));
            QVERIFY(e->playList()->isHidden());
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
    whenShown<CPthPhEdit>([](CPthPhEdit* e) {
        QCOMPARE(rowTexts(e, 0), (QStringList{"1", "A0001", "00h00m01s00f"}));
        press(e, "close");
    });
    card.editor.app.runCommand(Command::SongPhrase);
}

void DialogsTest::closingANewPhraseLeavesItsSlotEmpty() {
    Card card;
    card.select(6);
    const auto record = card.editor.doc().phr().record(6);
    const std::vector<std::uint8_t> before(record.begin(), record.end());
    whenShown<CPhSel3>([](CPhSel3* d) {
        QCOMPARE(d->windowTitle(), QString("Phrase to make"));
        QVERIFY(!d->patternButton()->isHidden() && !d->songButton()->isHidden());
        d->songButton()->setChecked(true);
        whenShown<CPthPhEdit>([](CPthPhEdit* e) {
            QCOMPARE(e->windowTitle(), QString("Editing Song Phrases"));
            press(e, "close");
        });
        press(d, "ok");
    });
    auto* list = card.editor.app.view()->list();
    emit list->doubleClicked(list->model()->index(6, 0));
    const auto after = card.editor.doc().phr().record(6);
    QCOMPARE(std::vector<std::uint8_t>(after.begin(), after.end()), before);
    QVERIFY(!fs::exists(card.dir / "_WQP0007.PHR"));
    QCOMPARE(card.editor.model()->index(6, 1).data().toString(), QString("---"));
}

QTEST_MAIN(DialogsTest)
#include "test_dialogs.moc"
