// The main window: the menu with its accelerators and command enabling, the
// document title in the caption, the view as its central widget, and the
// save question when it is closed.
#pragma once

#include <QMainWindow>
#include <map>

#include "card/CWQEDoc.h"
#include "view/qt/Commands.h"

namespace wqe {

class CReportPrinter;
class CWQEView;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(CWQEDoc& doc, CWQEView* view);

    QAction* action(Command c) const;
    CReportPrinter* reportPrinter() const { return printer_; }
    // Sets the caption: the document title and the program's name.
    void setDocumentTitle(const QString& title);
    // Enables every menu command that has a handler by the document's and the
    // view's state; a command without one is disabled.
    void updateCommandStates();

signals:
    void commandTriggered(Command c);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    QAction* addCommand(QMenu* menu, const QString& text, Command c, const QKeySequence& key = {});
    void registerActions(QMenu* menu);
    void connectPrinting();

    CWQEDoc& doc_;
    CWQEView* view_;
    std::map<Command, QAction*> actions_;
    bool minimumRecorded_ = false;
    CReportPrinter* printer_ = nullptr;  // owned by the frame
};

}  // namespace wqe
