// Pattern and song phrases in the editor: a new pattern and a new song made
// from the Phrase Combination commands, edited through the step dialogs,
// written and read back; a new phrase closed unedited leaves its slot empty.
#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

#include "GuiTestSupport.h"
#include "card/PatternFile.h"
#include "dialogs/qt/CPhSel2.h"
#include "dialogs/qt/CPhSel3.h"
#include "dialogs/qt/CPthPhEdit.h"
#include "dialogs/qt/Choosers.h"

using namespace wqe;
using namespace wqe::test;
namespace fs = std::filesystem;

namespace {

// Acts on the next modal dialog of type D once it is shown; another dialog
// is closed so that the test cannot hang.
template <class D>
void whenShown(std::function<void(D*)> act) {
    QTimer::singleShot(0, [act] {
        auto* d = qobject_cast<D*>(QApplication::activeModalWidget());
        if (!d) {
            if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                other->reject();
            QFAIL("the expected dialog did not open");
            return;
        }
        act(d);
    });
}

void press(QWidget* parent, const char* name) {
    auto* b = parent->findChild<QPushButton*>(name);
    QVERIFY2(b && b->isEnabled(), name);
    b->click();
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

class PatternEditorTest : public QObject {
    Q_OBJECT
private slots:
    void newPatternIsMadeEditedWrittenAndReadBack();
    void newSongIsMadeEditedWrittenAndReadBack();
    void closingANewPhraseLeavesItsSlotEmpty();
    // In the language of WQE_LANG, no label or button text is cut; with
    // WQE_SHOT_DIR set each window is saved there (tests/gui/screenshot.sh).
    void textsFitInTheLanguage();
};

void PatternEditorTest::newPatternIsMadeEditedWrittenAndReadBack() {
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
            QCOMPARE(e->stepList()->topLevelItemCount(), 100);
            QVERIFY(!e->playList()->isHidden());
            QVERIFY(!e->playList()->isEnabled());
            QCOMPARE(rowTexts(e, 1), (QStringList{"2", "-----", "----", "00.0s"}));
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

void PatternEditorTest::newSongIsMadeEditedWrittenAndReadBack() {
    Card card;
    card.select(5);
    whenShown<CPhSel3>([](CPhSel3* d) {
        QVERIFY(d->patternButton()->isHidden());
        QVERIFY(d->songButton()->isChecked());
        whenShown<CPthPhEdit>([](CPthPhEdit* e) {
            QCOMPARE(e->windowTitle(), QString("Editing Song Phrases"));
            QCOMPARE(e->stepList()->topLevelItemCount(), 100);
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

void PatternEditorTest::closingANewPhraseLeavesItsSlotEmpty() {
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

void PatternEditorTest::textsFitInTheLanguage() {
    const Language lang = detectLanguage();
    QVERIFY(CWQEApp::installTranslations(*QCoreApplication::instance(), lang));
    const QString shots = qEnvironmentVariable("WQE_SHOT_DIR");
    const QString langName = lang == Language::Japanese ? "ja" : "en";
    PatternData pattern(PatternKind::Pattern7000);
    pattern.setStepRef(0, 11);
    pattern.setStepVolume(0, 80);
    pattern.setStepInterval(0, 15);
    pattern.setStepRef(1, 1004);
    pattern.setStepRef(100, 3);
    PatternData pattern5(PatternKind::Pattern5000);
    pattern5.setStepRef(0, 501);
    pattern5.setStepInterval(0, 123);
    PatternData song(PatternKind::Song);
    song.storeSongSteps({{0, 1000}, {1, 65000}, {kSongStop, 125000}});
    const std::pair<const char*, std::function<QDialog*()>> windows[] = {
        {"phrase-to-make", [] { return new CPhSel3(Model::WQ7000, MakePreset::None); }},
        {"phrase-to-make-pattern", [] { return new CPhSel3(Model::WQ7000, MakePreset::Pattern); }},
        {"pattern-editor-7000",
         [&] { return new CPthPhEdit(PatternEditor(pattern, 2, 3), Model::WQ7000, lang, 0); }},
        {"pattern-editor-5000",
         [&] { return new CPthPhEdit(PatternEditor(pattern5, 0), Model::WQ5000, lang, 0); }},
        {"song-editor",
         [&] { return new CPthPhEdit(PatternEditor(song, 0), Model::WQ7000, lang, 3); }},
        {"step-dialog",
         [] {
             return new CPhSel2(Model::WQ7000, PatternKind::Pattern7000, {11, 80, 15, 0}, false);
         }},
    };
    for (const auto& [name, make] : windows) {
        std::unique_ptr<QDialog> d(make());
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        for (QWidget* w : d->findChildren<QWidget*>()) {
            if (!w->isVisible() || !(qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w)))
                continue;
            QVERIFY2(w->width() >= w->sizeHint().width(),
                     qPrintable(QString("%1: %2").arg(name, w->property("text").toString())));
        }
        if (auto* e = qobject_cast<CPthPhEdit*>(d.get())) {
            // Every column shows its widest text whole.
            QTreeWidget* list = e->stepList();
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
        if (!shots.isEmpty()) {
            const QString file = QDir(shots).filePath(QString("%1-%2.png").arg(name, langName));
            QVERIFY2(d->grab().save(file), qPrintable(file));
        }
        d->reject();
    }
}

QTEST_MAIN(PatternEditorTest)
#include "test_pattern_editor.moc"
