// A "Play" button for one data file: the File Convert dialog's source file,
// the file a phrase's settings show. It plays through the shared phrase
// player, reads "Stop" while its file plays, and stops its file when it goes.
// Without a sound output device it is disabled and its tooltip says why.
//
//   auto* play = new CPlayButton(&doc.prompter(), this);
//   play->setSource(path, volume);   // an empty path disables it
#pragma once

#include <QPushButton>

#include "convert/PreviewSource.h"

namespace wqe {

class CPhrasePlayer;
class Prompter;

class CPlayButton : public QPushButton {
    Q_OBJECT
public:
    // Failures are reported through `prompter` (a message box when null);
    // `player` null: the shared player.
    explicit CPlayButton(Prompter* prompter = nullptr, CPhrasePlayer* player = nullptr,
                         QWidget* parent = nullptr);
    ~CPlayButton() override;

    // The file to play and the volume in percent; an empty path disables
    // the button.
    void setSource(const QString& file, int volumePercent = kPreviewFullVolume);
    const QString& source() const { return file_; }
    // True while the player plays this button's file.
    bool isPlayingSource() const;

private:
    void onClicked();
    void refresh();

    Prompter* prompter_;
    CPhrasePlayer* player_;
    QString file_;
    int volume_ = kPreviewFullVolume;
};

}  // namespace wqe
