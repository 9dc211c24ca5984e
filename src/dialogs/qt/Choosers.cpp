#include "dialogs/qt/Choosers.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

#include "dialogs/qt/DialogParts.h"

namespace wqe {

CPhSel::CPhSel(const PhraseChooser& chooser, std::uint16_t current, QWidget* parent)
    : QDialog(parent), chooser_(chooser), current_(current) {
    setObjectName("phraseChooser");
    setWindowTitle(tr("Select"));
    list_ = dialogs::makeList(this, chooser_.items(), chooser_.position(current_));
    list_->setObjectName("phraseNumber");
    auto* label = new QLabel(tr("Phrase Number:"), this);
    label->setBuddy(list_);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(list_);
    layout->addSpacing(12);
    layout->addWidget(dialogs::enterCloseButtons(this, tr("ENTER"), tr("CLOSE")));
}

std::uint16_t CPhSel::value() const { return chooser_.valueAt(list_->currentIndex(), current_); }

std::optional<std::uint16_t> CPhSel::choose(const PhraseChooser& chooser, std::uint16_t current,
                                            QWidget* parent) {
    CPhSel dialog(chooser, current, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.value();
}

CMtcSel::CMtcSel(const StartPoint& current, int mtcType, Language lang, QWidget* parent)
    : QDialog(parent), current_(current) {
    setObjectName("startPointChooser");
    setWindowTitle(tr("Select"));
    phrase_ =
        dialogs::makeList(this, startPointPhraseItems(lang), startPointPhrasePosition(current.ref));
    phrase_->setObjectName("phraseNumber");
    auto* grid = new QGridLayout;
    auto* phraseLabel = new QLabel(tr("Phrase Number:"), this);
    phraseLabel->setBuddy(phrase_);
    grid->addWidget(phraseLabel, 0, 0);
    grid->addWidget(phrase_, 0, 1, 1, 4);

    const int values[] = {current.time.hours, current.time.minutes, current.time.seconds,
                          current.time.frames};
    const QString names[] = {tr("Hours"), tr("Minutes"), tr("Seconds"), tr("Frames")};
    auto* startLabel = new QLabel(tr("Start:"), this);
    grid->addWidget(startLabel, 1, 0);
    for (int i = 0; i < 4; ++i) {
        const auto f = static_cast<StartField>(i);
        QComboBox* combo = dialogs::makeList(this, startTimeItems(f, mtcType),
                                             startTimePosition(f, values[i], mtcType));
        combo->setAccessibleName(names[i]);
        combo->setObjectName(QStringLiteral("start%1").arg(i));
        grid->addWidget(combo, 1, 1 + i);
        time_[static_cast<std::size_t>(i)] = combo;
    }
    startLabel->setBuddy(time_[0]);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(12);
    layout->addWidget(dialogs::enterCloseButtons(this, tr("ENTER"), tr("CLOSE")));
    connect(phrase_, &QComboBox::currentIndexChanged, this, &CMtcSel::updateEnabling);
    updateEnabling();
}

void CMtcSel::updateEnabling() {
    const bool on = startTimeEnabled(phrase_->currentIndex());
    for (QComboBox* c : time_) c->setEnabled(on);
}

StartPoint CMtcSel::value() const {
    std::array<int, 4> positions{};
    for (std::size_t i = 0; i < 4; ++i) positions[i] = time_[i]->currentIndex();
    return startPointResult(phrase_->currentIndex(), positions, current_);
}

std::optional<StartPoint> CMtcSel::choose(const StartPoint& current, int mtcType, Language lang,
                                          QWidget* parent) {
    CMtcSel dialog(current, mtcType, lang, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.value();
}

}  // namespace wqe
