#include "maintenance/qt/CPathDialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "maintenance/PathRules.h"
#include "maintenance/qt/CDirTreeCtrl.h"
#include "maintenance/qt/CDrvListBox.h"

namespace wqe {

CPathDialog::CPathDialog(const QString& title, const QString& caption, const QString& startFolder,
                         Prompter& prompter, QWidget* owner)
    : QDialog(owner), prompter_(prompter) {
    setObjectName("pathDialog");
    if (!title.isEmpty()) setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* captionLabel = new QLabel(caption, this);
    layout->addWidget(captionLabel);
    edit_ = new QLineEdit(this);
    edit_->setObjectName("pathEdit");
    layout->addWidget(edit_);
    drives_ = new CDrvListBox(this);
    layout->addWidget(drives_);
    tree_ = new CDirTreeCtrl(this);
    layout->addWidget(tree_, 1);
    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    ok_->setObjectName("ok");
    ok_->setDefault(true);
    buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    resize(420, 460);

    connect(buttons, &QDialogButtonBox::accepted, this, &CPathDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CPathDialog::reject);
    connect(edit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { ok_->setEnabled(!text.isEmpty()); });
    connect(tree_, &CDirTreeCtrl::folderSelected, this, &CPathDialog::onFolderSelected);
    connect(drives_, &QComboBox::activated, this, &CPathDialog::showVolume);

    drives_->fill();
    selectStartFolder(startFolder.isEmpty() ? QDir::currentPath() : startFolder);
}

void CPathDialog::showVolume(int index) {
    if (index < 0) return;
    tree_->showDrive(drives_->rootPath(index), drives_->itemText(index));
    tree_->openToPath(drives_->rootPath(index));
}

void CPathDialog::selectStartFolder(const QString& folder) {
    const int volume = drives_->indexOfPath(folder);
    if (volume < 0) {
        edit_->setText(folder);
        return;
    }
    drives_->setCurrentIndex(volume);
    tree_->showDrive(drives_->rootPath(volume), drives_->itemText(volume));
    tree_->openToPath(folder);
    // A start folder the tree does not reach (hidden by letter case or
    // removed since) is still offered as typed.
    if (edit_->text().isEmpty() || !tree_->currentItem() ||
        tree_->fullPath(tree_->currentItem()) != QDir::cleanPath(folder)) {
        edit_->setText(folder);
    }
}

void CPathDialog::onFolderSelected(const QString& path) {
    if (isSelectablePath(path.toStdString())) {
        edit_->setText(path);
        ok_->setEnabled(true);
    } else {
        edit_->clear();
        ok_->setEnabled(false);
    }
}

void CPathDialog::accept() {
    const QString typed = edit_->text();
    const std::string path = typed.toStdString();
    switch (folderState(path)) {
        case FolderState::Invalid:
            prompter_.message(
                tr("The folder:\n\n%1\n\nis invalid. Please reenter.").arg(typed).toStdString(),
                Icon::Exclamation);
            edit_->setFocus();
            return;
        case FolderState::Missing: {
            const QString question =
                tr("The folder:\n\n%1\n\ndoes not exist. Do you want the folder to be created?")
                    .arg(typed);
            if (prompter_.ask(question.toStdString(), Buttons::YesNo, Icon::Question) !=
                Answer::Yes)
                return;
            if (!createMissingLevels(path).ok) {
                prompter_.message(
                    tr("The folder:\n\n%1\n\ncan not be created. Please double check.")
                        .arg(typed)
                        .toStdString(),
                    Icon::Exclamation);
                edit_->setFocus();
                return;
            }
            break;
        }
        case FolderState::Exists:
            break;
    }
    path_ = typed;
    QDialog::accept();
}

}  // namespace wqe
