// Shared pieces of the editor's Qt tests: an editor on scripted dialogs and
// in-memory settings, copies of cards made for the test, and the driving of
// modal dialogs.
#pragma once

#include <QAbstractButton>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <memory>

#include "app/CMainFrame.h"
#include "app/CWQEApp.h"
#include "card/NewCard.h"
#include "support/TempDir.h"
#include "view/PhraseListText.h"
#include "view/qt/CPListCtrl.h"
#include "view/qt/CWQEView.h"
#include "view/qt/PhraseListModel.h"

namespace wqe::test {

struct Editor {
    explicit Editor(Language lang) : app(lang, &prompter, &settings) {
        app.initInstance({}, true);
        tester = std::make_unique<QAbstractItemModelTester>(
            app.view()->listModel(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    }
    template <class W>
    W* find(const char* name) const {
        return app.mainFrame()->findChild<W*>(name);
    }
    QComboBox* combo(const char* name) const { return find<QComboBox>(name); }
    QLineEdit* cardName() const { return find<QLineEdit>("cardName"); }
    QPlainTextEdit* memo() const { return find<QPlainTextEdit>("systemMemo"); }
    PhraseListModel* model() const { return app.view()->listModel(); }
    CWQEDoc& doc() { return app.document(); }
    bool enabled(Command c) const { return app.mainFrame()->action(c)->isEnabled(); }

    // The list shows the document's texts for a sample of rows, under the model's headers.
    void checkListCells(Language lang, std::initializer_list<int> rows) {
        const auto columns = phraseListColumns(doc().model(), lang);
        QCOMPARE(model()->columnCount(), static_cast<int>(columns.size()));
        for (int c = 0; c < model()->columnCount(); ++c)
            QCOMPARE(model()->headerData(c, Qt::Horizontal).toString(),
                     QString::fromStdString(columns[c].header));
        for (int row : rows) {
            const auto cells = phraseListRow(doc(), row, lang);
            for (int c = 0; c < model()->columnCount(); ++c)
                QCOMPARE(model()->index(row, c).data().toString(),
                         QString::fromStdString(cells[c]));
        }
    }

    // Opens a system settings file through "OPEN Card Info." and the file dialog.
    void open(const std::filesystem::path& systemFile) {
        prompter.files.push_back(systemFile.string());
        app.runCommand(Command::OpenCardInfo);
    }

    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEApp app;
    std::unique_ptr<QAbstractItemModelTester> tester;
};

// A copy of the demo card in `folder` (the build makes the demo card).
inline std::filesystem::path copyDemoCard(const std::filesystem::path& folder) {
    std::filesystem::copy(WQE_DEMO_CARD, folder, std::filesystem::copy_options::recursive);
    return folder / "_WQ7TSYS.CNF";
}

// Acts on the next modal dialog of type D once it is shown; a dialog of
// another type is closed so that the test cannot hang.
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

// Clicks the push button `name` of `parent`, which must be enabled.
inline void press(QWidget* parent, const char* name) {
    auto* b = parent->findChild<QPushButton*>(name);
    QVERIFY2(b && b->isEnabled(), name);
    b->click();
}

// Shows `w` and checks that no shown label or button cuts its text. With
// WQE_SHOT_DIR set, `w` is also saved there as NAME-en.png or NAME-ja.png
// (run under a real X display for the fonts: tests/gui/screenshot.sh).
inline void showWithTextsWhole(QWidget& w, const QString& name, Language lang) {
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    for (QWidget* c : w.findChildren<QWidget*>()) {
        if (!c->isVisible() || !(qobject_cast<QLabel*>(c) || qobject_cast<QAbstractButton*>(c)))
            continue;
        QVERIFY2(
            c->width() >= c->sizeHint().width(),
            qPrintable(
                QString("%1: %2 %3").arg(name, c->objectName(), c->property("text").toString())));
    }
    const QString shots = qEnvironmentVariable("WQE_SHOT_DIR");
    if (shots.isEmpty()) return;
    const QString file = QDir(shots).filePath(
        QString("%1-%2.png").arg(name, lang == Language::Japanese ? "ja" : "en"));
    QVERIFY2(w.grab().save(file), qPrintable(file));
}

}  // namespace wqe::test
