#include "dialogs/qt/CardUndoStack.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeySequence>
#include <QUndoStack>

namespace wqe {

namespace {

// One step of the document's history. The document has already made the
// change when the step is pushed, so the first redo does nothing.
class CardStep : public QUndoCommand {
public:
    CardStep(CWQEDoc& doc, const QString& text, bool mergedIntoPrevious)
        : QUndoCommand(text), doc_(doc), merged_(mergedIntoPrevious) {}

    void undo() override { doc_.undo(); }
    void redo() override {
        if (first_) {
            first_ = false;
            return;
        }
        doc_.redo();
    }
    // Every step may merge; the history decided whether this one did.
    int id() const override { return 1; }
    bool mergeWith(const QUndoCommand* other) override {
        return static_cast<const CardStep*>(other)->merged_;
    }

private:
    CWQEDoc& doc_;
    bool merged_;
    bool first_ = true;
};

// The names of the steps the editor records, for the translation files.
[[maybe_unused]] constexpr const char* kStepNames[] = {
    QT_TRANSLATE_NOOP("EditStep", "Line Thru Settings"),
    QT_TRANSLATE_NOOP("EditStep", "Equalizer Settings"),
    QT_TRANSLATE_NOOP("EditStep", "Busy Out Settings"),
    QT_TRANSLATE_NOOP("EditStep", "Control Input Settings"),
    QT_TRANSLATE_NOOP("EditStep", "MIDI Settings"),
    QT_TRANSLATE_NOOP("EditStep", "MTC Settings"),
    QT_TRANSLATE_NOOP("EditStep", "Direct Play"),
    QT_TRANSLATE_NOOP("EditStep", "Program Play 1"),
    QT_TRANSLATE_NOOP("EditStep", "Program Play 2"),
    QT_TRANSLATE_NOOP("EditStep", "Program Play 3"),
    QT_TRANSLATE_NOOP("EditStep", "Program Play 4"),
    QT_TRANSLATE_NOOP("EditStep", "Program Play 5"),
    QT_TRANSLATE_NOOP("EditStep", "MIDI Note Map"),
    QT_TRANSLATE_NOOP("EditStep", "Card Name"),
    QT_TRANSLATE_NOOP("EditStep", "System Memo"),
    QT_TRANSLATE_NOOP("EditStep", "Dual Mono Mode"),
    QT_TRANSLATE_NOOP("EditStep", "Output Volume Thru"),
    QT_TRANSLATE_NOOP("EditStep", "Card Protect"),
    QT_TRANSLATE_NOOP("EditStep", "Display Sleep"),
    QT_TRANSLATE_NOOP("EditStep", "WQ-LINK Mode"),
    QT_TRANSLATE_NOOP("EditStep", "Baud Rate"),
};

}  // namespace

CardUndoStack::CardUndoStack(CWQEDoc& doc, QObject* parent)
    : QObject(parent), doc_(doc), stack_(new QUndoStack(this)) {
    stack_->setUndoLimit(static_cast<int>(EditHistory::kDepth));
    const QString notInHistory =
        tr("Data files written by pattern or song editing and by conversion are not part of the "
           "history.");
    undo_ = new QAction(tr("Undo(&U)"), this);
    undo_->setObjectName("undo");
    undo_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    undo_->setStatusTip(tr("Undoes the last change of the card's settings.") + QLatin1Char(' ') +
                        notInHistory);
    redo_ = new QAction(tr("Redo(&R)"), this);
    redo_->setObjectName("redo");
    redo_->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    redo_->setStatusTip(tr("Redoes the last undone change of the card's settings.") +
                        QLatin1Char(' ') + notInHistory);
    connect(undo_, &QAction::triggered, this, &CardUndoStack::undo);
    connect(redo_, &QAction::triggered, this, &CardUndoStack::redo);
    connect(stack_, &QUndoStack::indexChanged, this, &CardUndoStack::updateActions);
    connect(stack_, &QUndoStack::cleanChanged, this, &CardUndoStack::updateActions);

    doc_.history().onEvent = [this](EditHistory::Event e, const std::string& name) {
        switch (e) {
            case EditHistory::Event::Pushed:
            case EditHistory::Event::Merged:
                stack_->push(new CardStep(doc_, stepText(name), e == EditHistory::Event::Merged));
                break;
            case EditHistory::Event::Reset:
                stack_->clear();
                break;
            case EditHistory::Event::Saved:
                stack_->setClean();
                break;
            case EditHistory::Event::Undone:
            case EditHistory::Event::Redone:
                break;  // driven from here
        }
        updateActions();
    };
    updateActions();
}

CardUndoStack::~CardUndoStack() { doc_.history().onEvent = nullptr; }

QString CardUndoStack::stepText(const std::string& name) {
    return QCoreApplication::translate("EditStep", name.c_str());
}

void CardUndoStack::undo() {
    // A change that bypassed the history restarts it; nothing is undone then.
    if (doc_.checkHistory()) stack_->undo();
}

void CardUndoStack::redo() {
    if (doc_.checkHistory()) stack_->redo();
}

void CardUndoStack::updateActions() {
    undo_->setEnabled(stack_->canUndo());
    redo_->setEnabled(stack_->canRedo());
    undo_->setText(stack_->canUndo() ? tr("Undo %1(&U)").arg(stack_->undoText()) : tr("Undo(&U)"));
    redo_->setText(stack_->canRedo() ? tr("Redo %1(&R)").arg(stack_->redoText()) : tr("Redo(&R)"));
}

}  // namespace wqe
