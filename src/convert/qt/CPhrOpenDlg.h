// "Target Phrase Number Selected.": a folder (drive list and folder tree), a
// phrase number (0001 up to the card's phrase count) and the phrase data
// files already in that folder; "Save" returns the data file path of the
// chosen number in the chosen folder. Nothing is created on disk.
#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;

namespace wqe {

class CDirTreeCtrl;
class CDrvListBox;

class CPhrOpenDlg : public QDialog {
    Q_OBJECT
public:
    // `extension` without the dot ("PHR"); `maxNumber` 250, 500 or 1000; an
    // empty previous folder starts in the user's Documents folder.
    CPhrOpenDlg(const QString& extension, int maxNumber, const QString& previousFolder,
                QWidget* parent = nullptr);

    // The chosen path (after Save).
    QString chosenPath() const { return chosen_; }
    // The folder whose files are listed, ending in a separator.
    QString workingFolder() const { return folder_; }

    QComboBox* numberList() const { return numbers_; }
    QListWidget* fileList() const { return files_; }
    QString selectedFileText() const;

public slots:
    void accept() override;

private:
    void setFolder(const QString& folder);
    void refreshTexts();
    int selectedNumber() const;
    void onFileActivated(QListWidgetItem* item);

    QString extension_;
    int max_;
    QString folder_;
    QString chosen_;
    CDrvListBox* drives_ = nullptr;
    CDirTreeCtrl* tree_ = nullptr;
    QComboBox* numbers_ = nullptr;
    QListWidget* files_ = nullptr;
    QLabel* selected_ = nullptr;
    QLabel* fileName_ = nullptr;
};

}  // namespace wqe
