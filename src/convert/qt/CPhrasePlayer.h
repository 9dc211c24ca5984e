// The editor's phrase player: a phrase data file decoded by PreviewSource,
// pulled through a QIODevice into a QAudioSink. The phrase list, File Convert
// and Phrase Setup share one player (CPhrasePlayer::shared()), so starting a
// preview anywhere stops the one playing.
//
// Without a sound output device (a server, CI) isAvailable() is false and
// nothing plays; the commands that play are disabled with unavailableReason()
// as their tooltip.
#pragma once

#include <QObject>
#include <QString>
#include <memory>

#include "convert/PreviewSource.h"

class QTimer;

namespace wqe {

class CPhrasePlayer : public QObject {
    Q_OBJECT
public:
    // Plays through `output`; null: the system's default audio output.
    explicit CPhrasePlayer(std::unique_ptr<PreviewOutput> output = nullptr,
                           QObject* parent = nullptr);
    ~CPhrasePlayer() override;

    // The application's player, made on first use (owned by the application
    // object). setShared() puts another in its place (tests); null restores
    // the default on the next call.
    static CPhrasePlayer* shared();
    static void setShared(CPhrasePlayer* player);

    bool isAvailable() const;
    // Why nothing can be played, empty when something can.
    QString unavailableReason() const;
    // The tooltip of a command that plays: what a preview leaves out, or why
    // it is disabled.
    QString playToolTip() const;

    // Plays `file` at `volumePercent`; `phrase` is the phrase index of a
    // list row, -1 for a file shown elsewhere. What plays stops first.
    Status play(const QString& file, int volumePercent, int phrase = -1);
    void stop();

    PreviewState state() const { return playback_.state(); }
    bool isPlaying() const { return playback_.isPlaying(); }
    int phrase() const { return playback_.phrase(); }
    QString file() const;
    const PreviewPlayback& playback() const { return playback_; }
    // "mm:ss.s / mm:ss.s".
    QString positionText() const;

signals:
    void stateChanged();
    // While playing, about ten times a second.
    void positionChanged();

private:
    std::unique_ptr<PreviewOutput> output_;
    PreviewPlayback playback_;
    QTimer* ticker_ = nullptr;
};

}  // namespace wqe
