// "Phrase to make": the kind of phrase an empty slot becomes, pattern or
// song. Its layout comes from makePhraseLayout(); the caller prepares the
// phrase on OK.
#pragma once

#include <QDialog>

#include "card/Model.h"
#include "dialogs/PatternEdit.h"

class QRadioButton;

namespace wqe {

class CPhSel3 : public QDialog {
    Q_OBJECT
public:
    CPhSel3(Model model, MakePreset preset, QWidget* parent = nullptr);

    // True when "Song Phrase" is checked.
    bool songChosen() const;
    QRadioButton* patternButton() const { return pattern_; }
    QRadioButton* songButton() const { return song_; }

private:
    QRadioButton* pattern_ = nullptr;
    QRadioButton* song_ = nullptr;
};

}  // namespace wqe
