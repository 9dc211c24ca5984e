// Phrase Setup in the editor on the demo card: opened on each phrase kind
// from the command and by a double click, one change, ENTER, the record's
// bytes; Undo restores them. The pattern editor hook and the interrupt
// check. With WQE_SHOT_DIR set, the dialog of an audio, a MIDI and a pattern
// phrase is also saved there as a PNG (tests/gui/screenshot.sh).
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QPushButton>
#include <QTimer>
#include <functional>

#include "GuiTestSupport.h"
#include "card/PatternFile.h"
#include "dialogs/qt/CPhraseDlg.h"

using namespace wqe;
using namespace wqe::test;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes record(CWQEDoc& doc, int i) {
    const auto r = doc.phr().record(i);
    return {r.begin(), r.end()};
}

// Acts on the next modal dialog once it is shown; another dialog is closed
// so that the test cannot hang.
void whenShown(std::function<void(CPhraseDlg*)> act) {
    QTimer::singleShot(0, [act] {
        auto* d = qobject_cast<CPhraseDlg*>(QApplication::activeModalWidget());
        if (!d) {
            if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                other->reject();
            QFAIL("Phrase Setup did not open");
            return;
        }
        act(d);
    });
}

// A format 0 MIDI file: time base 480, tempo 120, a sequence name.
Bytes midiFile() {
    const char bytes[] =
        "MThd\0\0\0\x06\0\0\0\x01\x01\xE0"
        "MTrk\0\0\0\x13"
        "\0\xFF\x51\x03\x07\xA1\x20"
        "\0\xFF\x03\x04TUNE"
        "\0\xFF\x2F\0";
    return Bytes(bytes, bytes + sizeof bytes - 1);
}

// The demo card with a MIDI phrase added as phrase 4.
void addMidiPhrase(Editor& e, const fs::path& folder) {
    writeBytes(folder / "_WQP0004.MID", midiFile());
    e.doc().edit("Add MIDI", [&] {
        e.doc().phr().setType(3, kTypeMidi);
        e.doc().phr().setName(3, "MIDI TUNE   ");
        e.doc().phr().setTempo(3, 115);
    });
    e.app.view()->fillRow(3);
}

}  // namespace

class PhraseDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void eachKindStoresItsChange();
    void patternEditHookAndInterruptCheck();
    void screenshots();
};

void PhraseDialogTest::initTestCase() {
    QVERIFY(CWQEApp::installTranslations(*QCoreApplication::instance(), detectLanguage()));
}

void PhraseDialogTest::eachKindStoresItsChange() {
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
        {1,
         "Phrase Type: Audio Phrase",
         [](CPhraseDlg* d) { d->list(SetupList::FadeIn)->setCurrentIndex(5); },
         {{56, 5}}},
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
        whenShown([&](CPhraseDlg* d) {
            shown = true;
            QCOMPARE(d->infoLine(0)->text(), QString(c.line1));
            c.change(d);
            d->findChild<QPushButton*>("enter")->click();
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

void PhraseDialogTest::patternEditHookAndInterruptCheck() {
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
        QCOMPARE(d.editButton()->text(), QString("Pattern Edit"));
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
        QCOMPARE(d.infoLine(0)->text(),
                 QString("Phrase Type: Pattern Phrases(no pattern phrase data file)"));
        QVERIFY(!d.editButton()->isEnabled());
    }
    // An empty slot does not open.
    CPhraseDlg empty(doc, 10, e.app.view());
    QVERIFY(!empty.isValid());
    QCOMPARE(empty.exec(), int(QDialog::Rejected));
}

void PhraseDialogTest::screenshots() {
    const QString shots = qEnvironmentVariable("WQE_SHOT_DIR");
    const Language lang = detectLanguage();
    TempDir tmp;
    Editor e(lang);
    e.open(copyDemoCard(tmp / "DEMO"));
    addMidiPhrase(e, tmp / "DEMO");
    const std::pair<int, const char*> phrases[] = {{0, "audio"}, {3, "midi"}, {2, "pattern"}};
    for (const auto& [index, kind] : phrases) {
        CPhraseDlg d(e.doc(), index, e.app.view());
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        // No text is cut: every shown label, box title and button has its room.
        for (QLabel* l : d.findChildren<QLabel*>()) {
            if (l->isVisible())
                QVERIFY2(l->width() >= l->sizeHint().width(), qPrintable(l->text()));
        }
        for (QPushButton* b : d.findChildren<QPushButton*>()) {
            if (b->isVisible())
                QVERIFY2(b->width() >= b->sizeHint().width(), qPrintable(b->text()));
        }
        if (!shots.isEmpty()) {
            const QString name = QString("%1/phrase-setup-%2-%3.png")
                                     .arg(shots, kind, lang == Language::Japanese ? "ja" : "en");
            QVERIFY(d.grab().save(name));
        }
        d.reject();
    }
}

QTEST_MAIN(PhraseDialogTest)
#include "test_phrase_dialog.moc"
