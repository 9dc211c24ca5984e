// Undo and redo of the card's settings: a bounded list of states of the
// system image, the phrase image and the memo texts, one state per edit, with
// the position of the last save. Parts that an edit left alone are shared
// with the state before, so a system edit does not copy the phrase image.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "card/CWQEMemo.h"

namespace wqe {

// The memo texts: the system memo and the phrase memos that are not empty.
struct MemoTexts {
    std::string system;
    std::vector<std::pair<int, std::string>> phrases;
    bool operator==(const MemoTexts&) const = default;

    static MemoTexts of(const CWQEMemo& memo);
    void restoreInto(CWQEMemo& memo) const;
};

struct EditState {
    std::shared_ptr<const std::vector<std::uint8_t>> sys, phr;
    std::shared_ptr<const MemoTexts> memo;

    static EditState capture(const std::vector<std::uint8_t>& sys,
                             const std::vector<std::uint8_t>& phr, const CWQEMemo& memo);
    // Same bytes and texts (shared parts compare by address first).
    bool sameAs(const EditState& other) const;
    // Shares the parts that equal those of `previous`.
    void shareWith(const EditState& previous);
};

class EditHistory {
public:
    static constexpr std::size_t kDepth = 100;  // undo steps kept

    enum class Event { Reset, Pushed, Merged, Undone, Redone, Saved };
    // Told of every change, with the step's name for Pushed and Merged.
    std::function<void(Event, const std::string&)> onEvent;

    // A new history that starts at `base`; `saved` when it equals the files.
    void reset(EditState base, bool saved);
    // Forgets everything (no card).
    void clear();
    bool isActive() const { return !states_.empty(); }

    // Records one edit that led from the current state to `after`. The steps
    // that could be redone are dropped. With `mergeable`, an edit of the same
    // name right after a mergeable step (and not after the saved point)
    // extends that step instead: typing in one field is one step.
    void push(const std::string& name, EditState after, bool mergeable);

    bool canUndo() const { return index_ > 0; }
    bool canRedo() const { return index_ + 1 < states_.size(); }
    std::string undoName() const { return canUndo() ? names_[index_ - 1] : std::string(); }
    std::string redoName() const { return canRedo() ? names_[index_] : std::string(); }
    // The state to restore; call only when canUndo / canRedo.
    const EditState& undo();
    const EditState& redo();
    const EditState& current() const { return states_[index_]; }
    std::size_t steps() const { return names_.size(); }

    // The current state is what the files hold now.
    void markSaved();
    bool atSavedPoint() const { return saved_ && *saved_ == index_; }

private:
    void notify(Event e, const std::string& name = {}) {
        if (onEvent) onEvent(e, name);
    }

    std::vector<EditState> states_;  // states_[i + 1] follows names_[i]
    std::vector<std::string> names_;
    std::vector<bool> mergeable_;
    std::size_t index_ = 0;
    std::optional<std::size_t> saved_;
};

}  // namespace wqe
