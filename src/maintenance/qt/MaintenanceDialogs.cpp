#include "maintenance/qt/MaintenanceDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "app/QtPrompter.h"
#include "card/Model.h"
#include "maintenance/Cleanup.h"
#include "maintenance/CopyInformation.h"
#include "maintenance/qt/CDirTreeCtrl.h"
#include "maintenance/qt/CDrvListBox.h"
#include "maintenance/qt/CPathDialog.h"
#include "view/qt/CWQEView.h"

namespace wqe {

namespace {

QString core(const char* text) { return translateCoreText(text); }
QString fromStd(const std::string& s) { return QString::fromStdString(s); }

// Lets the dialog repaint its progress while the core works on the GUI
// thread; the user's input waits until the step is over.
void showProgress() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

QPushButton* addButton(QBoxLayout* row, const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    row->addWidget(b);
    return b;
}

// The foot of a dialog that runs a step: an empty progress bar, then the
// dialog's action button (the default) and CLOSE, which rejects.
struct ProgressFoot {
    QProgressBar* progress;
    QPushButton* action;
    QPushButton* close;
};
ProgressFoot addProgressFoot(QDialog* dialog, QBoxLayout* layout, const QString& actionText,
                             const char* actionName, const QString& closeText) {
    auto* progress = new QProgressBar(dialog);
    progress->setObjectName("progress");
    progress->setRange(0, 1);
    progress->setValue(0);
    layout->addWidget(progress);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    QPushButton* action = addButton(buttons, actionText, actionName, dialog);
    action->setDefault(true);
    QPushButton* close = addButton(buttons, closeText, "close", dialog);
    layout->addLayout(buttons);
    QObject::connect(close, &QPushButton::clicked, dialog, &QDialog::reject);
    return {progress, action, close};
}

}  // namespace

// ---------------------------------------------------------------------------
// Backup and restore

CCbuck::CCbuck(TransferMode mode, CWQEDoc& doc, Prompter& prompter, QWidget* owner)
    : QDialog(owner), mode_(mode), doc_(doc), prompter_(prompter) {
    setObjectName(mode == TransferMode::Backup ? "backupDialog" : "restoreDialog");
    const TransferTexts texts = transferTexts(mode);
    setWindowTitle(core(texts.title));
    const TransferFolders start =
        transferStartFolders(mode, doc.settings(), QDir::currentPath().toStdString());

    auto* layout = new QVBoxLayout(this);
    auto folderBox = [&](const char* label, const char* name, const std::string& folder,
                         const char* chooserTitle) {
        // A frame round the folder's label, edit and "refer" button.
        auto* box = new QGroupBox(this);
        auto* column = new QVBoxLayout(box);
        auto* caption = new QLabel(core(label), box);
        column->addWidget(caption);
        auto* row = new QHBoxLayout;
        column->addLayout(row);
        auto* edit = new QLineEdit(fromStd(folder), box);
        edit->setObjectName(name);
        caption->setBuddy(edit);
        edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 48);
        row->addWidget(edit, 1);
        QPushButton* referButton =
            addButton(row, tr("refer"), (std::string(name) + "Refer").c_str(), box);
        referButton->setAccessibleName(tr("refer") + QLatin1Char(' ') + core(label));
        connect(referButton, &QPushButton::clicked, this,
                [this, edit, chooserTitle] { refer(edit, chooserTitle); });
        layout->addWidget(box);
        return edit;
    };
    source_ = folderBox(texts.sourceLabel, "sourceFolder", start.source, texts.sourceChooserTitle);
    destination_ = folderBox(texts.destinationLabel, "destinationFolder", start.destination,
                             texts.destinationChooserTitle);
    auto* note = new QLabel(core(texts.note), this);
    note->setObjectName("note");
    note->setVisible(*texts.note != '\0');
    layout->addWidget(note);
    const ProgressFoot foot = addProgressFoot(this, layout, tr("ENTER"), "enter", tr("CLOSE"));
    progress_ = foot.progress;
    enter_ = foot.action;
    close_ = foot.close;
    connect(enter_, &QPushButton::clicked, this, &CCbuck::onEnter);
}

void CCbuck::refer(QLineEdit* edit, const char* chooserTitle) {
    // The chooser starts at the field's folder when it exists.
    const QString field = edit->text();
    const QString start = QDir(field).exists() && !field.isEmpty() ? field : QDir::currentPath();
    CPathDialog chooser(core(chooserTitle), core(kTransferChooserCaption), start, prompter_, this);
    if (chooser.exec() == QDialog::Accepted) edit->setText(chooser.path());
}

void CCbuck::onEnter() {
    enter_->setEnabled(false);
    close_->setEnabled(false);
    progress_->setValue(0);
    last_ =
        runTransfer(mode_, source_->text().toStdString(), destination_->text().toStdString(), &doc_,
                    prompter_, [this](std::size_t done, std::size_t total) {
                        progress_->setRange(0, static_cast<int>(std::max<std::size_t>(total, 1)));
                        progress_->setValue(static_cast<int>(done));
                        showProgress();
                    });
    enter_->setEnabled(true);
    close_->setEnabled(true);
    switch (last_->status) {
        case TransferResult::Status::Done:
            // A copy into the open card ends with OK: the card has been reloaded.
            done(last_->destinationIsOpenCard ? QDialog::Accepted : QDialog::Rejected);
            return;
        case TransferResult::Status::Declined:
        case TransferResult::Status::Refused:
        case TransferResult::Status::Failed:
            // Told by the core; the dialog stays open to change the folders.
            progress_->setValue(0);
            return;
    }
}

// ---------------------------------------------------------------------------
// Cleanup

CCClean::CCClean(CWQEDoc& doc, Prompter& prompter, QWidget* owner)
    : QDialog(owner), doc_(doc), prompter_(prompter) {
    setObjectName("cleanupDialog");
    setWindowTitle(tr("Clean up"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("PUSH START SW"), this));
    status_ = new QLabel(this);
    status_->setObjectName("status");
    status_->setMinimumWidth(status_->fontMetrics().horizontalAdvance(QLatin1Char('x')) * 40);
    layout->addWidget(status_);
    const ProgressFoot foot = addProgressFoot(this, layout, tr("START"), "start", tr("CLOSE"));
    progress_ = foot.progress;
    start_ = foot.action;
    close_ = foot.close;
    connect(start_, &QPushButton::clicked, this, &CCClean::onStart);
}

void CCClean::onStart() {
    start_->setEnabled(false);
    close_->setEnabled(false);
    status_->setText(core(kMsgCleanupInProgress));
    CleanupProgress progress;
    progress.step = [this](int slot, int count) {
        progress_->setRange(0, std::max(count, 1));
        progress_->setValue(slot);
        showProgress();
    };
    progress.status = [this](const std::string& text) {
        status_->setText(core(text.c_str()));
        showProgress();
    };
    last_ = runCleanup(doc_, prompter_, progress);
    status_->clear();
    progress_->setValue(progress_->maximum());
    // The run ends the dialog; the core has reloaded the card when it ran.
    const bool ran = last_->status == CleanupResult::Status::Finished ||
                     last_->status == CleanupResult::Status::WriteFailed;
    done(ran ? QDialog::Accepted : QDialog::Rejected);
}

// ---------------------------------------------------------------------------
// Phrase copy

namespace {
CPhCopy::FileInfoProvider& fileInfoProvider() {
    static CPhCopy::FileInfoProvider provider;
    return provider;
}
}  // namespace

void CPhCopy::setFileInfoProvider(FileInfoProvider provider) {
    fileInfoProvider() = std::move(provider);
}

QString& CPhCopy::rememberedFolder() {
    static QString folder;
    return folder;
}

CPhCopy::CPhCopy(CWQEDoc& doc, CWQEView& view, int slot, Prompter& prompter, QWidget* owner)
    : QDialog(owner), doc_(doc), view_(view), prompter_(prompter), slot_(slot) {
    setObjectName("phraseCopyDialog");
    auto* layout = new QGridLayout(this);

    auto* destinationLabel = new QLabel(tr("Destination Phrase:"), this);
    destination_ = new QLineEdit(this);
    destination_->setObjectName("destination");
    destination_->setReadOnly(true);
    destinationLabel->setBuddy(destination_);
    auto* decInc = new QHBoxLayout;
    decInc->addWidget(destination_, 1);
    dec_ = addButton(decInc, tr("DEC"), "dec", this);
    inc_ = addButton(decInc, tr("INC"), "inc", this);
    layout->addWidget(destinationLabel, 0, 0, 1, 2);
    layout->addLayout(decInc, 1, 0, 1, 2);

    auto* driveLabel = new QLabel(tr("Reference Drive:"), this);
    drives_ = new CDrvListBox(this);
    drives_->setObjectName("drives");
    driveLabel->setBuddy(drives_);
    auto* treeLabel = new QLabel(tr("Folder:"), this);
    tree_ = new CDirTreeCtrl(this);
    tree_->setObjectName("folders");
    tree_->setMinimumHeight(tree_->fontMetrics().height() * 14);
    treeLabel->setBuddy(tree_);
    auto* filesLabel = new QLabel(tr("File:"), this);
    files_ = new QListWidget(this);
    files_->setObjectName("files");
    files_->setSortingEnabled(true);
    filesLabel->setBuddy(files_);
    layout->addWidget(driveLabel, 2, 0);
    layout->addWidget(drives_, 3, 0);
    layout->addWidget(treeLabel, 4, 0);
    layout->addWidget(tree_, 5, 0);
    layout->addWidget(filesLabel, 2, 1);
    layout->addWidget(files_, 3, 1, 3, 1);

    auto* sourceLabel = new QLabel(tr("Source Phrase:"), this);
    sourceText_ = new QLineEdit(this);
    sourceText_->setObjectName("source");
    sourceText_->setReadOnly(true);
    sourceLabel->setBuddy(sourceText_);
    layout->addWidget(sourceLabel, 6, 0, 1, 2);
    layout->addWidget(sourceText_, 7, 0, 1, 2);

    info_ = new QGroupBox(this);
    info_->setObjectName("information");
    info_->installEventFilter(this);
    auto* infoLayout = new QVBoxLayout(info_);
    for (std::size_t k = 0; k < lines_.size(); ++k) {
        lines_[k] = new QLabel(info_);
        lines_[k]->setObjectName(QString("informationLine%1").arg(k + 1));
        lines_[k]->setTextFormat(Qt::PlainText);
        lines_[k]->installEventFilter(this);
        infoLayout->addWidget(lines_[k]);
    }
    layout->addWidget(info_, 8, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    enter_ = addButton(buttons, tr("ENTER"), "enter", this);
    enter_->setDefault(true);
    end_ = addButton(buttons, tr("END"), "end", this);
    layout->addLayout(buttons, 9, 0, 1, 2);
    layout->setColumnStretch(0, 1);
    layout->setColumnStretch(1, 1);
    layout->setRowStretch(5, 1);
    const int em = fontMetrics().horizontalAdvance(QLatin1Char('x'));
    resize(em * 110, em * 70);

    connect(dec_, &QPushButton::clicked, this, &CPhCopy::onDec);
    connect(inc_, &QPushButton::clicked, this, &CPhCopy::onInc);
    connect(enter_, &QPushButton::clicked, this, &CPhCopy::onEnter);
    connect(end_, &QPushButton::clicked, this, &QDialog::reject);
    connect(drives_, &QComboBox::activated, this, [this](int index) {
        if (index < 0) return;
        tree_->showDrive(drives_->rootPath(index), drives_->itemText(index));
        showFolder(drives_->rootPath(index));
    });
    connect(tree_, &CDirTreeCtrl::folderSelected, this, &CPhCopy::showFolder);
    connect(files_, &QListWidget::currentTextChanged, this, [this](const QString& name) {
        if (!name.isEmpty()) chooseFile(QDir(folder_).filePath(name));
    });

    setDestination(slot_);
    // The remembered folder, else the backup path, else the current folder.
    QString start = rememberedFolder();
    if (start.isEmpty()) start = fromStd(doc.settings().value(kKeyBackupPath, ""));
    if (start.isEmpty() || !QDir(start).exists()) start = QDir::currentPath();
    drives_->fill();
    if (const int volume = drives_->indexOfPath(start); volume >= 0) {
        drives_->setCurrentIndex(volume);
        tree_->showDrive(drives_->rootPath(volume), drives_->itemText(volume));
        tree_->openToPath(start);
    }
    showFolder(start);
}

void CPhCopy::showFolder(const QString& folder) {
    folder_ = folder;
    const QSignalBlocker block(files_);
    files_->clear();
    const QDir dir(folder);
    // ".PHR", ".WAV" and ".MID" files (letter case ignored), no folders.
    files_->addItems(dir.entryList({"*.PHR", "*.WAV", "*.MID"}, QDir::Files | QDir::Hidden,
                                   QDir::Name | QDir::IgnoreCase));
    file_.clear();
    source_.reset();
    evaluate();
}

void CPhCopy::chooseFile(const QString& path) {
    const QFileInfo info(path);
    folder_ = info.absolutePath();
    file_ = info.fileName();
    // The chosen name is shown selected when the list holds it.
    const auto shown = files_->findItems(file_, Qt::MatchExactly);
    if (!shown.isEmpty()) {
        const QSignalBlocker block(files_);
        files_->setCurrentItem(shown.front());
    }
    evaluate();
}

void CPhCopy::evaluate() {
    page_ = 0;
    if (file_.isEmpty()) {
        source_.reset();
        sourceText_->clear();
    } else {
        source_ = evaluateSource(QDir(folder_).filePath(file_).toStdString(), doc_, prompter_);
        sourceText_->setText(QDir::toNativeSeparators(QDir(folder_).filePath(file_)));
    }
    const std::string ext = source_ && !source_->extension.empty() ? source_->extension : "PHR";
    destination_->setText(fromStd(doc_.folderPrefix() + phraseDataFileName("", slot_, ext)));
    enter_->setEnabled(source_ && source_->usable());
    showInformation();
}

void CPhCopy::showInformation() {
    FileInfoLines fileLines;
    if (source_ && source_->usable() && fileInfoProvider())
        fileLines = fileInfoProvider()(*source_, doc_);
    const CopyInformation info = copyInformation(source_ ? &*source_ : nullptr, doc_,
                                                 doc_.language(), slot_, fileLines, page_);
    info_->setTitle(fromStd(info.caption));
    for (std::size_t k = 0; k < lines_.size(); ++k) lines_[k]->setText(fromStd(info.lines[k]));
}

QString CPhCopy::informationCaption() const { return info_->title(); }

std::array<QString, 6> CPhCopy::informationLines() const {
    std::array<QString, 6> lines;
    for (std::size_t k = 0; k < lines.size(); ++k) lines[k] = lines_[k]->text();
    return lines;
}

bool CPhCopy::eventFilter(QObject* watched, QEvent* event) {
    // A click inside the information box shows the next page of members.
    if (event->type() == QEvent::MouseButtonRelease) {
        ++page_;
        showInformation();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void CPhCopy::setDestination(int slot) {
    slot_ = slot;
    const char* number = doc_.model() == Model::WQ5000 ? "%03d" : "%04d";
    setWindowTitle(tr("Phrase Copy(Phrase No,%1)").arg(QString::asprintf(number, slot + 1)));
}

void CPhCopy::moveDestination(bool upwards) {
    const auto next = nextEmptySlot(doc_, slot_, upwards);
    if (!next) {
        reject();  // no empty slot is left anywhere
        return;
    }
    setDestination(*next);
    // The destination name and the default record name follow the slot.
    evaluate();
    view_.showRow(slot_);
}

void CPhCopy::setBusy(bool busy) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{enter_, end_, dec_, inc_, drives_, tree_, files_})
        w->setEnabled(!busy);
}

void CPhCopy::onEnter() {
    if (!source_ || !source_->usable() || doc_.phr().isUsed(slot_)) return;
    setBusy(true);
    if (rememberedFolder().isEmpty()) rememberedFolder() = folder_;
    const CopyResult r = copyPhrase(doc_, *source_, slot_, prompter_);
    setBusy(false);
    enter_->setEnabled(source_->usable());
    if (r.status != CopyResult::Status::Copied) {
        // "Copy failed." was shown; a refusal names its cause.
        if (r.status == CopyResult::Status::NotCopied && !r.error.empty())
            prompter_.report(kMsgCopyFailed, Error{ErrorKind::Other, "", r.error});
        return;
    }
    view_.fillRow(slot_);
    view_.showRow(slot_);
    moveDestination(true);
}

}  // namespace wqe
