// Shared pieces of the editor's Qt tests: an editor on scripted dialogs and
// in-memory settings, and copies of cards made for the test.
#pragma once

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <filesystem>
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
    QString text(const char* name) const { return find<QLabel>(name)->text(); }
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

}  // namespace wqe::test
