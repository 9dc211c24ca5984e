#include "card/EditHistory.h"

namespace wqe {

MemoTexts MemoTexts::of(const CWQEMemo& memo) {
    MemoTexts texts;
    texts.system = memo.systemMemo();
    for (int i = 0; i < kMemoSlots; ++i) {
        if (!memo.phraseMemo(i).empty()) texts.phrases.emplace_back(i, memo.phraseMemo(i));
    }
    return texts;
}

void MemoTexts::restoreInto(CWQEMemo& memo) const {
    memo.setSystemMemo(system);
    std::size_t next = 0;
    for (int i = 0; i < kMemoSlots; ++i) {
        if (next < phrases.size() && phrases[next].first == i) {
            memo.setPhraseMemo(i, phrases[next++].second);
        } else if (!memo.phraseMemo(i).empty()) {
            memo.setPhraseMemo(i, std::string());
        }
    }
}

EditState EditState::capture(const std::vector<std::uint8_t>& sys,
                             const std::vector<std::uint8_t>& phr, const CWQEMemo& memo) {
    return {std::make_shared<const std::vector<std::uint8_t>>(sys),
            std::make_shared<const std::vector<std::uint8_t>>(phr),
            std::make_shared<const MemoTexts>(MemoTexts::of(memo))};
}

namespace {

template <class T>
bool samePart(const std::shared_ptr<const T>& a, const std::shared_ptr<const T>& b) {
    return a == b || (a && b && *a == *b);
}

}  // namespace

bool EditState::sameAs(const EditState& other) const {
    return samePart(sys, other.sys) && samePart(phr, other.phr) && samePart(memo, other.memo);
}

void EditState::shareWith(const EditState& previous) {
    if (samePart(sys, previous.sys)) sys = previous.sys;
    if (samePart(phr, previous.phr)) phr = previous.phr;
    if (samePart(memo, previous.memo)) memo = previous.memo;
}

void EditHistory::reset(EditState base, bool saved) {
    states_.assign(1, std::move(base));
    names_.clear();
    mergeable_.clear();
    index_ = 0;
    saved_ = saved ? std::optional<std::size_t>(0) : std::nullopt;
    notify(Event::Reset);
}

void EditHistory::clear() {
    states_.clear();
    names_.clear();
    mergeable_.clear();
    index_ = 0;
    saved_.reset();
    notify(Event::Reset);
}

void EditHistory::push(const std::string& name, EditState after, bool mergeable) {
    if (states_.empty()) return;
    // Steps beyond the current one can no longer be redone.
    states_.resize(index_ + 1);
    names_.resize(index_);
    mergeable_.resize(index_);
    if (saved_ && *saved_ > index_) saved_.reset();

    after.shareWith(states_[index_]);
    const bool merge = mergeable && index_ > 0 && mergeable_[index_ - 1] &&
                       names_[index_ - 1] == name && !atSavedPoint();
    if (merge) {
        states_[index_] = std::move(after);
        notify(Event::Merged, name);
        return;
    }
    states_.push_back(std::move(after));
    names_.push_back(name);
    mergeable_.push_back(mergeable);
    ++index_;
    if (names_.size() > kDepth) {
        // The oldest step goes; the saved point goes with it when it was the base.
        states_.erase(states_.begin());
        names_.erase(names_.begin());
        mergeable_.erase(mergeable_.begin());
        --index_;
        if (saved_) saved_ = *saved_ == 0 ? std::nullopt : std::optional<std::size_t>(*saved_ - 1);
    }
    notify(Event::Pushed, name);
}

const EditState& EditHistory::undo() {
    if (canUndo()) {
        --index_;
        notify(Event::Undone, names_[index_]);
    }
    return states_[index_];
}

const EditState& EditHistory::redo() {
    if (canRedo()) {
        ++index_;
        notify(Event::Redone, names_[index_ - 1]);
    }
    return states_[index_];
}

void EditHistory::markSaved() {
    if (states_.empty()) return;
    saved_ = index_;
    notify(Event::Saved);
}

}  // namespace wqe
