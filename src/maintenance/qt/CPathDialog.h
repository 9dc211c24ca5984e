// The folder chooser: a folder tree under a chosen volume and an edit for a
// typed path. OK checks the typed path, offers to create a folder that does
// not exist yet (with every missing level above it), and returns the path.
#pragma once

#include <QDialog>

#include "card/Prompter.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace wqe {

class CDirTreeCtrl;
class CDrvListBox;

class CPathDialog : public QDialog {
    Q_OBJECT
public:
    // Questions and messages go through `prompter`. An empty start folder
    // means the process's current folder.
    CPathDialog(const QString& title, const QString& caption, const QString& startFolder,
                Prompter& prompter, QWidget* owner = nullptr);

    // The accepted path (valid after exec() returned Accepted).
    QString path() const { return path_; }

    QLineEdit* pathEdit() const { return edit_; }
    QPushButton* okButton() const { return ok_; }
    CDirTreeCtrl* tree() const { return tree_; }

public slots:
    void accept() override;

private:
    void showVolume(int index);
    void onFolderSelected(const QString& path);
    void selectStartFolder(const QString& folder);

    Prompter& prompter_;
    CDrvListBox* drives_ = nullptr;
    CDirTreeCtrl* tree_ = nullptr;
    QLineEdit* edit_ = nullptr;
    QPushButton* ok_ = nullptr;
    QString path_;
};

}  // namespace wqe
