// The document's edit seam: every change of the card's settings goes
// through edit(), which keeps the undo history of the images and memo texts.
#include "card/CWQEDoc.h"

namespace wqe {

EditState CWQEDoc::captureState() const { return EditState::capture(sysImage_, phrImage_, memo_); }

void CWQEDoc::restoreState(const EditState& state) {
    sysImage_ = *state.sys;
    sys_.attach(sysImage_);
    if (phrLoaded_) {
        phrImage_ = *state.phr;
        phr_.attach(phrImage_);
    }
    state.memo->restoreInto(memo_);
}

bool CWQEDoc::checkHistory() {
    if (!isLoaded()) return false;
    if (history_.isActive() && captureState().sameAs(history_.current())) return true;
    history_.reset(captureState(), !modified_);
    return false;
}

void CWQEDoc::edit(const std::string& name, const std::function<void()>& change, bool mergeable) {
    if (!isLoaded()) {
        change();  // the setters store nothing without a card
        return;
    }
    checkHistory();
    change();
    markModified(true);
    EditState after = captureState();
    if (!after.sameAs(history_.current())) history_.push(name, std::move(after), mergeable);
}

bool CWQEDoc::undo() {
    if (!checkHistory() || !history_.canUndo()) return false;
    const EditState state = history_.undo();
    restoreState(state);
    modified_ = !history_.atSavedPoint();
    updateViews();
    return true;
}

bool CWQEDoc::redo() {
    if (!checkHistory() || !history_.canRedo()) return false;
    const EditState state = history_.redo();
    restoreState(state);
    modified_ = !history_.atSavedPoint();
    updateViews();
    return true;
}

}  // namespace wqe
