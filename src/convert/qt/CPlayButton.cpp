#include "convert/qt/CPlayButton.h"

#include <QMessageBox>

#include "card/Prompter.h"
#include "convert/qt/CPhrasePlayer.h"

namespace wqe {

CPlayButton::CPlayButton(Prompter* prompter, CPhrasePlayer* player, QWidget* parent)
    : QPushButton(parent), prompter_(prompter), player_(player ? player : CPhrasePlayer::shared()) {
    setObjectName("play");
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &CPlayButton::onClicked);
    connect(player_, &CPhrasePlayer::stateChanged, this, &CPlayButton::refresh);
    refresh();
}

CPlayButton::~CPlayButton() {
    // What this button started does not outlive it.
    if (isPlayingSource()) player_->stop();
}

void CPlayButton::setSource(const QString& file, int volumePercent) {
    file_ = file;
    volume_ = volumePercent;
    refresh();
}

bool CPlayButton::isPlayingSource() const {
    return !file_.isEmpty() && player_->isPlaying() && player_->phrase() < 0 &&
           player_->file() == file_;
}

void CPlayButton::onClicked() {
    if (isPlayingSource()) {
        player_->stop();
        return;
    }
    const Status played = player_->play(file_, volume_);
    if (played) return;
    const QString fixed = tr("The file cannot be played.");
    if (prompter_) {
        prompter_->report(fixed.toStdString(), played.error());
    } else {
        QMessageBox::warning(this, QStringLiteral("WQE-7000"),
                             fixed + "\n" + QString::fromStdString(played.error().message()));
    }
}

void CPlayButton::refresh() {
    const bool playing = isPlayingSource();
    setText(playing ? tr("Stop") : tr("Play"));
    setEnabled(playing || (!file_.isEmpty() && player_->isAvailable()));
    setToolTip(player_->playToolTip());
}

}  // namespace wqe
