// The main window: the menu with its accelerators and command enabling, the
// document title in the caption, the view as its central widget, and the
// save question when it is closed.
#pragma once

#include <QMainWindow>
#include <map>

class QSettings;

#include "card/CWQEDoc.h"
#include "view/qt/Commands.h"

namespace wqe {

class CReportPrinter;
class CWQEView;
class CardUndoStack;

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(CWQEDoc& doc, CWQEView* view);

    QAction* action(Command c) const;
    // Undo and Redo of the card's settings (EDIT menu).
    CardUndoStack* undoStack() const { return undo_; }
    CReportPrinter* reportPrinter() const { return printer_; }
    // Sets the caption: the document title and the program's name.
    void setDocumentTitle(const QString& title);
    // Enables every menu command that has a handler by the document's and the
    // view's state; a command without one is disabled.
    void updateCommandStates();

    // The window's geometry is remembered in `store` (key "MainWindow/Geometry",
    // outside the group "Path") when the window closes; null remembers nothing.
    void setGeometryStore(QSettings* store);
    // Places the window where it was last closed; false when nothing usable
    // was remembered.
    bool restoreSavedGeometry();
    // The size of a first start: room for the form, every list column and
    // about twenty list rows, within the screen's free area.
    QSize firstStartSize() const;

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
    CardUndoStack* undo_ = nullptr;
    bool minimumRecorded_ = false;
    QSettings* geometryStore_ = nullptr;
    CReportPrinter* printer_ = nullptr;  // owned by the frame
};

}  // namespace wqe
