#include "dialogs/qt/CPhSel2.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "dialogs/qt/DialogParts.h"

namespace wqe {

CPhSel2::CPhSel2(Model model, PatternKind kind, const EditorRow& current, bool interruptRow,
                 QWidget* parent)
    : QDialog(parent), model_(model), current_(current) {
    setObjectName("stepDialog");
    setWindowTitle(tr("Select"));
    phrase_ = dialogs::makeList(this, stepPhraseChooser(model).items(),
                                stepPhrasePosition(model, current.ref));
    phrase_->setObjectName("phraseNumber");
    const bool hasVolume = kind == PatternKind::Pattern7000;
    volume_ = dialogs::makeList(this, stepVolumeItems(),
                                current.volume <= kMaxStepVolume ? current.volume : -1);
    volume_->setObjectName("volume");
    volume_->setEnabled(hasVolume);
    interval_ = dialogs::makeList(this, stepIntervalItems(),
                                  current.interval <= kMaxStepInterval ? current.interval : -1);
    interval_->setObjectName("interval");
    interval_->setEnabled(!interruptRow);

    auto* grid = new QGridLayout;
    const std::pair<QString, QComboBox*> rows[] = {
        {tr("Phrase Number:"), phrase_}, {tr("Volume:"), volume_}, {tr("Interval:"), interval_}};
    int r = 0;
    for (const auto& [text, list] : rows) {
        auto* label = new QLabel(text, this);
        label->setBuddy(list);
        label->setEnabled(list->isEnabled());
        grid->addWidget(label, r, 0);
        grid->addWidget(list, r, 1);
        ++r;
    }
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(12);
    layout->addWidget(dialogs::enterCloseButtons(this, tr("ENTER"), tr("CLOSE")));
}

EditorRow CPhSel2::value() const {
    EditorRow row = current_;
    row.ref = stepRefAt(model_, phrase_->currentIndex(), current_.ref);
    if (row.ref == kStepUnused) return EditorRow{};
    if (volume_->isEnabled() && volume_->currentIndex() >= 0)
        row.volume = static_cast<std::uint8_t>(volume_->currentIndex());
    if (interval_->isEnabled() && interval_->currentIndex() >= 0)
        row.interval = static_cast<std::uint16_t>(interval_->currentIndex());
    return row;
}

}  // namespace wqe
