#include "dialogs/qt/CPhSel3.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace wqe {

CPhSel3::CPhSel3(Model model, MakePreset preset, QWidget* parent) : QDialog(parent) {
    setObjectName("phraseToMake");
    const MakePhraseLayout layout = makePhraseLayout(model, preset);
    setWindowTitle(tr(layout.title.c_str()));
    auto* frame = new QGroupBox(tr("Phrase to make"), this);
    pattern_ = new QRadioButton(tr("Pattern Phrase"), frame);
    pattern_->setObjectName("patternPhrase");
    song_ = new QRadioButton(tr("Song Phrase"), frame);
    song_->setObjectName("songPhrase");
    pattern_->setVisible(layout.showPattern);
    song_->setVisible(layout.showSong);
    song_->setEnabled(layout.songEnabled);
    (layout.songChecked ? song_ : pattern_)->setChecked(true);
    auto* radios = new QVBoxLayout(frame);
    radios->addWidget(pattern_);
    radios->addWidget(song_);

    auto* buttons = new QDialogButtonBox(Qt::Vertical, this);
    QPushButton* ok = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName("ok");
    ok->setDefault(true);
    buttons->addButton(tr("CLOSE"), QDialogButtonBox::RejectRole)->setObjectName("close");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* row = new QHBoxLayout(this);
    row->addWidget(frame, 1);
    row->addSpacing(12);
    row->addWidget(buttons);
}

bool CPhSel3::songChosen() const { return song_->isChecked(); }

}  // namespace wqe

// The titles chosen in code, listed for the translation file.
[[maybe_unused]] static const char* const kPhraseToMakeTitles[] = {
    QT_TRANSLATE_NOOP("wqe::CPhSel3", "Phrase to make"),
    QT_TRANSLATE_NOOP("wqe::CPhSel3", "Preparation of Phrase")};
