#include "dialogs/qt/CPhraseDlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "convert/PreviewSource.h"
#include "convert/qt/CPlayButton.h"
#include "dialogs/qt/DialogParts.h"

namespace wqe {

namespace {

QString fromUtf8(const std::string& s) { return QString::fromStdString(s); }

void applyShow(QWidget* w, const ControlShow& state) {
    w->setVisible(state.visible);
    w->setEnabled(state.enabled);
}

}  // namespace

CPhraseDlg::CPhraseDlg(CWQEDoc& doc, int index, QWidget* parent)
    : QDialog(parent), doc_(doc), lang_(doc.language()) {
    setObjectName("phraseSetup");
    setWindowTitle(tr("Phrase Setup"));
    setup_ = openPhraseSetup(doc_, index, lang_);
    if (setup_) build();
    if (setup_) addPlayButton(index);
}

// A "Play" button under the file's lines, for audio phrases (the stored
// volume applies; the points and loops are not simulated).
void CPhraseDlg::addPlayButton(int index) {
    const std::optional<PhrasePreview> preview = phrasePreview(doc_, index);
    if (!preview) return;
    auto* play = new CPlayButton(&doc_.prompter(), nullptr, this);
    play->setSource(QString::fromStdString(preview->file.string()), preview->volume);
    if (auto* box = findChild<QGroupBox*>("fileInformation"))
        static_cast<QVBoxLayout*>(box->layout())->addWidget(play, 0, Qt::AlignLeft);
}

int CPhraseDlg::exec() {
    if (!setup_) return QDialog::Rejected;  // an empty slot has nothing to set up
    return QDialog::exec();
}

QComboBox* CPhraseDlg::addList(SetupList l, const QString& label, int row) {
    const PhraseSetup& s = *setup_;
    QComboBox* combo = dialogs::makeList(
        this, phraseSetupItems(l, s.kind, s.model, s.mtcType, lang_), at(s.positions, l));
    auto* text = new QLabel(label, this);
    text->setBuddy(combo);
    auto* grid = static_cast<QGridLayout*>(phraseBox_->layout());
    grid->addWidget(text, row, 0);
    grid->addWidget(combo, row, 1);
    lists_[static_cast<std::size_t>(l)] = combo;
    listLabels_[static_cast<std::size_t>(l)] = text;
    return combo;
}

void CPhraseDlg::build() {
    const PhraseSetup& s = *setup_;

    // File Information: five lines.
    auto* infoBox = new QGroupBox(tr("File Information"), this);
    infoBox->setObjectName("fileInformation");
    auto* infoLayout = new QVBoxLayout(infoBox);
    for (std::size_t k = 0; k < info_.size(); ++k) {
        info_[k] = new QLabel(infoBox);
        info_[k]->setObjectName(QString("infoLine%1").arg(k + 1));
        info_[k]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        infoLayout->addWidget(info_[k]);
    }

    // The phrase's settings.
    phraseBox_ = new QGroupBox(fromUtf8(s.caption), this);
    phraseBox_->setObjectName("phraseInformation");
    auto* grid = new QGridLayout(phraseBox_);
    grid->setColumnStretch(1, 1);
    int row = 0;

    name_ = new QLineEdit(fromUtf8(s.name), this);
    name_->setObjectName("phraseName");
    auto* nameLabel = new QLabel(tr("Phrase Name:"), this);
    nameLabel->setBuddy(name_);
    grid->addWidget(nameLabel, row, 0);
    grid->addWidget(name_, row++, 1);
    connect(name_, &QLineEdit::textEdited, this, &CPhraseDlg::onNameEdited);

    addList(SetupList::Volume, fromUtf8(s.volumeLabel), row++);
    addList(SetupList::ControlOut, tr("Control Out:"), row++);
    addList(SetupList::Delay, tr("Delay Time:"), row++);
    QComboBox* repeat = addList(SetupList::Repeat, tr("Repeat:"), row++);
    addList(SetupList::RepeatInterval, tr("Repeat Interval:"), row++);
    addList(SetupList::FadeIn, tr("Fade In:"), row++);
    addList(SetupList::FadeOut, tr("Fade Out:"), row++);
    addList(SetupList::PatternMode, tr("Pattern Mode:"), row++);

    const QString pointTexts[] = {tr("Start Point:"), tr("End Point:"), tr("Loop 1:"),
                                  tr("Loop 2:")};
    const char* pointNames[] = {"startPoint", "endPoint", "loop1Point", "loop2Point"};
    for (std::size_t k = 0; k < points_.size(); ++k) {
        if (k == 2) addList(SetupList::Loop, tr("Loop:"), row++);
        points_[k] = new QLineEdit(fromUtf8(s.points[k]), this);
        points_[k]->setObjectName(pointNames[k]);
        points_[k]->setReadOnly(true);
        pointLabels_[k] = new QLabel(pointTexts[k], this);
        pointLabels_[k]->setBuddy(points_[k]);
        grid->addWidget(pointLabels_[k], row, 0);
        grid->addWidget(points_[k], row++, 1);
    }

    memo_ = new QLineEdit(fromUtf8(s.memo), this);
    memo_->setObjectName("phraseMemo");
    memo_->setMaxLength(static_cast<int>(phraseMemoLimit(s.memo)));
    memo_->setMinimumWidth(memo_->fontMetrics().horizontalAdvance(QString(40, QChar('M'))));
    auto* memoLabel = new QLabel(tr("Memo:"), this);
    memoLabel->setBuddy(memo_);
    grid->addWidget(memoLabel, row, 0);
    grid->addWidget(memo_, row++, 1);

    // Showing, hiding and enabling by kind and model.
    const bool unavailable = s.info.pointsUnavailable;
    auto state = [&](SetupControl c) {
        return phraseSetupControl(c, s.kind, s.model, unavailable, s.info.read);
    };
    auto showList = [&](SetupList l, SetupControl c) {
        applyShow(list(l), state(c));
        applyShow(listLabels_[static_cast<std::size_t>(l)], state(c));
    };
    showList(SetupList::Volume, SetupControl::Volume);
    showList(SetupList::FadeIn, SetupControl::Fades);
    showList(SetupList::FadeOut, SetupControl::Fades);
    showList(SetupList::PatternMode, SetupControl::PatternMode);
    showList(SetupList::Loop, SetupControl::Loop);
    for (std::size_t k = 0; k < points_.size(); ++k) {
        applyShow(points_[k], state(SetupControl::Points));
        applyShow(pointLabels_[k], state(SetupControl::Points));
    }
    list(SetupList::RepeatInterval)->setEnabled(s.intervalEnabled);
    connect(repeat, &QComboBox::currentIndexChanged, this, &CPhraseDlg::onRepeatChanged);

    // ENTER, CLOSE and the pattern or song editor.
    edit_ = new QPushButton(fromUtf8(s.editButton), this);
    edit_->setObjectName("patternEdit");
    edit_->setAutoDefault(false);
    edit_->setVisible(state(SetupControl::EditButton).visible);
    connect(edit_, &QPushButton::clicked, this, &CPhraseDlg::onEditPattern);
    auto* column = new QVBoxLayout;
    column->addWidget(dialogs::enterCloseButtons(this, tr("ENTER"), tr("CLOSE")));
    column->addSpacing(8);
    column->addWidget(edit_);
    column->addStretch(1);

    auto* left = new QVBoxLayout;
    left->addWidget(infoBox);
    left->addWidget(phraseBox_, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addSpacing(12);
    layout->addLayout(column);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    showFileInformation();
}

void CPhraseDlg::showFileInformation() {
    for (std::size_t k = 0; k < info_.size(); ++k)
        info_[k]->setText(fromUtf8(setup_->info.lines[k]));
    updateEditButton();
}

void CPhraseDlg::updateEditButton() {
    const PhraseSetup& s = *setup_;
    const ControlShow state = phraseSetupControl(SetupControl::EditButton, s.kind, s.model,
                                                 s.info.pointsUnavailable, s.info.read);
    edit_->setEnabled(state.enabled && patternEdit_ != nullptr);
}

void CPhraseDlg::setPatternEditHandler(PatternEditHandler handler) {
    patternEdit_ = std::move(handler);
    if (setup_) updateEditButton();
}

void CPhraseDlg::onNameEdited(const QString& text) {
    const QString kept = fromUtf8(phraseNameEdit(text.toStdString(), setup_->model));
    if (kept == text) return;
    // The caret stays after the characters that were before it.
    const int caret = name_->cursorPosition();
    const QString before = fromUtf8(phraseNameEdit(text.left(caret).toStdString(), setup_->model));
    name_->setText(kept);
    name_->setCursorPosition(qMin(before.size(), kept.size()));
}

void CPhraseDlg::onRepeatChanged(int position) {
    const IntervalAfterRepeat after = intervalAfterRepeat(setup_->model, position);
    QComboBox* interval = list(SetupList::RepeatInterval);
    interval->setEnabled(after.enabled);
    if (after.position) interval->setCurrentIndex(*after.position);
}

void CPhraseDlg::onEditPattern() {
    if (!patternEdit_ || !setup_->info.read) return;
    const int mode = list(SetupList::PatternMode)->currentIndex();
    if (!patternEdit_(this, mode < 0 ? 0 : mode)) return;
    rereadFileInformation(*setup_, doc_.phr(), doc_.folderPrefix(), lang_);
    showFileInformation();
}

void CPhraseDlg::accept() {
    PhraseSetupEntry entry;
    entry.name = name_->text().toStdString();
    entry.memo = memo_->text().toStdString();
    for (std::size_t k = 0; k < kSetupListCount; ++k)
        entry.positions[k] = lists_[k]->currentIndex();
    std::optional<std::string> notice;
    doc_.edit("Phrase Setup",
              [&] { notice = storePhraseSetup(doc_.phr(), doc_.memo(), *setup_, entry); });
    if (notice) doc_.prompter().message(*notice, Icon::Exclamation);
    QDialog::accept();
}

}  // namespace wqe
