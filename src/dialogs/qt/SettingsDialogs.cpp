#include "dialogs/qt/SettingsDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialogs/qt/DialogParts.h"
#include "dialogs/qt/TableDialogs.h"

namespace wqe {

CSettingsDialog::CSettingsDialog(CWQEDoc& doc, SysDialog dialog, const char* editName,
                                 QWidget* parent)
    : QDialog(parent), doc_(doc), dialog_(dialog), editName_(editName) {
    opened_ = readDialog(doc_.sys(), dialog_);
    grid_ = new QGridLayout;
    grid_->setColumnStretch(1, 1);
    extra_ = new QVBoxLayout;
}

QComboBox* CSettingsDialog::addList(DialogField f, const QString& label) {
    QComboBox* combo =
        dialogs::makeList(this, dialogFieldItems(f, doc_.model(), doc_.language()), opened_[f]);
    auto* text = new QLabel(label, this);
    text->setBuddy(combo);
    grid_->addWidget(text, row_, 0);
    grid_->addWidget(combo, row_, 1);
    ++row_;
    lists_[f] = combo;
    labels_[f] = text;
    return combo;
}

QCheckBox* CSettingsDialog::addCheck(DialogField f, const QString& text, QLayout* into) {
    auto* box = new QCheckBox(text, this);
    const int state = opened_[f];
    if (state < 0) {
        // A stored value that is neither off nor on: kept unless the box is set.
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
    } else {
        box->setChecked(state == 1);
    }
    if (into)
        into->addWidget(box);
    else
        grid_->addWidget(box, row_++, 0, 1, 2);
    checks_[f] = box;
    return box;
}

void CSettingsDialog::addWide(QWidget* w) { grid_->addWidget(w, row_++, 0, 1, 2); }

QPushButton* CSettingsDialog::addButton(const QString& text, const char* name) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setAutoDefault(false);
    extra_->addWidget(b);
    return b;
}

void CSettingsDialog::finish() {
    const Model m = doc_.model();
    for (auto& [f, combo] : lists_) {
        const bool on = dialogFieldExists(f, m);
        combo->setEnabled(on);
        labels_[f]->setEnabled(on);
    }
    for (auto& [f, box] : checks_) box->setEnabled(dialogFieldExists(f, m));

    grid_->setRowStretch(row_, 1);  // the rows stay together at the top
    auto* column = new QVBoxLayout;
    column->addWidget(dialogs::enterCloseButtons(this, tr("ENTER"), tr("CLOSE")));
    column->addSpacing(8);
    column->addLayout(extra_);
    column->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid_, 1);
    layout->addSpacing(12);
    layout->addLayout(column);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QComboBox* CSettingsDialog::list(DialogField f) const {
    const auto it = lists_.find(f);
    return it == lists_.end() ? nullptr : it->second;
}

QCheckBox* CSettingsDialog::check(DialogField f) const {
    const auto it = checks_.find(f);
    return it == checks_.end() ? nullptr : it->second;
}

void CSettingsDialog::accept() {
    DialogValues values;
    for (const auto& [f, combo] : lists_) values[f] = combo->currentIndex();
    for (const auto& [f, box] : checks_) {
        values[f] = box->checkState() == Qt::PartiallyChecked ? -1 : box->isChecked() ? 1 : 0;
    }
    doc_.edit(editName_, [&] { storeDialog(doc_.sys(), dialog_, values); });
    QDialog::accept();
    afterEnter();
}

// ---------------------------------------------------------------------------

ClineThru::ClineThru(CWQEDoc& doc, QWidget* parent)
    : CSettingsDialog(doc, SysDialog::LineThru, "Line Thru Settings", parent) {
    setObjectName("lineThruDialog");
    setWindowTitle(tr("Line Thru Settings"));
    addList(DialogField::LineThru, tr("Line Thru:"));
    addList(DialogField::LineThruVolume, tr("Line Thru Volume:"));
    addList(DialogField::FadeIn, tr("Fade In:"));
    addList(DialogField::FadeOut, tr("Fade Out:"));
    finish();
}

CEqDlg::CEqDlg(CWQEDoc& doc, QWidget* parent)
    : CSettingsDialog(doc, SysDialog::Equalizer, "Equalizer Settings", parent) {
    setObjectName("equalizerDialog");
    setWindowTitle(tr("Equalizer Settings"));
    addList(DialogField::EqSwitch, tr("Switch:"));
    addList(DialogField::EqLowFreq, tr("Low Freq:"));
    addList(DialogField::EqLowGain, tr("Low Gain:"));
    addList(DialogField::EqHighFreq, tr("Hi Freq:"));
    addList(DialogField::EqHighGain, tr("Hi Gain:"));
    addList(DialogField::EqAttenuation, tr("Attenuation:"));
    finish();
}

CBusyDlg::CBusyDlg(CWQEDoc& doc, QWidget* parent)
    : CSettingsDialog(doc, SysDialog::BusyOut, "Busy Out Settings", parent) {
    setObjectName("busyOutDialog");
    setWindowTitle(tr("Busy Out Settings"));
    addCheck(DialogField::BusyDelay, tr("During Delay Time:"));
    addCheck(DialogField::BusyPlayback, tr("During Phrase Playback:"));
    addCheck(DialogField::BusyInterval, tr("During Repeat Interval:"));
    finish();
}

CControl::CControl(CWQEDoc& doc, QWidget* parent)
    : CSettingsDialog(doc, SysDialog::ControlInput, "Control Input Settings", parent) {
    setObjectName("controlInputDialog");
    setWindowTitle(tr("Control Input Settings"));
    addList(DialogField::ControlInputSelect, tr("Control Input Select:"));
    addList(DialogField::BinaryTrigger, tr("Binary Playback Trigger:"));
    addList(DialogField::TerminalRec, tr("Treminal REC:"));
    connect(addButton(tr("Direct Play"), "directPlay"), &QPushButton::clicked, this,
            [this] { CDirect(doc_, this).exec(); });
    for (int t = 0; t < kProgramPlayTables; ++t) {
        const QByteArray name = QByteArray("program") + QByteArray::number(t + 1);
        connect(addButton(tr("Program %1").arg(t + 1), name.constData()), &QPushButton::clicked,
                this, [this, t] { CCount1(doc_, t, this).exec(); });
    }
    finish();
}

CMidiSet::CMidiSet(CWQEDoc& doc, std::function<void()> mtcChanged, QWidget* parent)
    : CSettingsDialog(doc, SysDialog::Midi, "MIDI Settings", parent),
      mtcChanged_(std::move(mtcChanged)) {
    setObjectName("midiDialog");
    setWindowTitle(tr("MIDI Settings"));
    addList(DialogField::MidiOutput, tr("MIDI Output:"));
    addList(DialogField::DeviceId, tr("Device ID:"));
    addList(DialogField::Channel, tr("Channel:"));
    addList(DialogField::NoteTrigger, tr("Note Trigger:"));
    addList(DialogField::MmcMode, tr("MMC Mode:"));
    // The received messages sit in their own frame.
    auto* rx = new QGroupBox(tr("Rx Message"), this);
    auto* rxLayout = new QVBoxLayout(rx);
    addCheck(DialogField::RxVelocity, tr("Note On Velocity:"), rxLayout);
    addCheck(DialogField::RxPanpot, tr("Panpot:"), rxLayout);
    addCheck(DialogField::RxExpression, tr("Expression:"), rxLayout);
    addWide(rx);
    addCheck(DialogField::NoteOut, tr("Note Out"));
    rx->setEnabled(dialogFieldExists(DialogField::RxVelocity, doc.model()));

    QPushButton* mtc = addButton(tr("MTC"), "mtc");
    mtc->setEnabled(doc.model() == Model::WQ7000);
    connect(mtc, &QPushButton::clicked, this, [this] { CMtcDlg(doc_, mtcChanged_, this).exec(); });
    connect(addButton(tr("MIDI Note Map"), "noteMap"), &QPushButton::clicked, this,
            [this] { CmidiNoteDlg(doc_, this).exec(); });
    finish();
}

CMtcDlg::CMtcDlg(CWQEDoc& doc, std::function<void()> changed, QWidget* parent)
    : CSettingsDialog(doc, SysDialog::Mtc, "MTC Settings", parent), changed_(std::move(changed)) {
    setObjectName("mtcDialog");
    setWindowTitle(tr("MTC Settings"));
    addList(DialogField::SyncSource, tr("Sync Source:"));
    addList(DialogField::SyncOut, tr("Sync Out:"));
    addList(DialogField::MtcType, tr("MTC Type:"));
    addList(DialogField::ErrorLevel, tr("Error Level:"));
    finish();
}

void CMtcDlg::afterEnter() {
    if (changed_) changed_();
}

}  // namespace wqe
