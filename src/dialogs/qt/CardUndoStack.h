// The EDIT menu's Undo and Redo over the document's edit history. The
// history lives in the document; this QUndoStack mirrors its steps so that
// the actions carry the step names and follow Qt's clean state.
#pragma once

#include <QObject>

#include "card/CWQEDoc.h"

class QAction;
class QUndoStack;

namespace wqe {

class CardUndoStack : public QObject {
    Q_OBJECT
public:
    CardUndoStack(CWQEDoc& doc, QObject* parent = nullptr);
    ~CardUndoStack() override;

    QUndoStack* stack() const { return stack_; }
    QAction* undoAction() const { return undo_; }
    QAction* redoAction() const { return redo_; }

    void undo();
    void redo();

    // The text an undo step shows for a step name of the history.
    static QString stepText(const std::string& name);

private:
    void updateActions();

    CWQEDoc& doc_;
    QUndoStack* stack_;
    QAction* undo_;
    QAction* redo_;
};

}  // namespace wqe
