// The card maintenance dialogs: backup and restore (CCbuck), cleanup
// (CCClean) and phrase copy (CPhCopy). Each moves values between its
// widgets and the core's functions in src/maintenance; the file work, the
// questions and the reload of the card are the core's.
#pragma once

#include <QDialog>
#include <array>
#include <functional>
#include <optional>

#include "card/CWQEDoc.h"
#include "maintenance/BackupRestore.h"
#include "maintenance/Cleanup.h"
#include "maintenance/CopyInformation.h"
#include "maintenance/PhraseCopy.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace wqe {

class CDirTreeCtrl;
class CDrvListBox;
class CWQEView;

// "Back Up Card" / "Restore Card": the two folders, their choosers, ENTER
// and CLOSE. It ends with Accepted only after a copy into the open card's
// folder (the core has then reloaded the card); a refusal, a failure or the
// answer no keep it open.
class CCbuck : public QDialog {
    Q_OBJECT
public:
    CCbuck(TransferMode mode, CWQEDoc& doc, Prompter& prompter, QWidget* owner = nullptr);

    QLineEdit* sourceEdit() const { return source_; }
    QLineEdit* destinationEdit() const { return destination_; }
    // The outcome of the last ENTER (nullopt before one).
    const std::optional<TransferResult>& lastResult() const { return last_; }

public slots:
    void onEnter();

private:
    void refer(QLineEdit* edit, const char* chooserTitle);

    TransferMode mode_;
    CWQEDoc& doc_;
    Prompter& prompter_;
    QLineEdit* source_ = nullptr;
    QLineEdit* destination_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* enter_ = nullptr;
    QPushButton* close_ = nullptr;
    std::optional<TransferResult> last_;
};

// "Clean up": START runs the cleanup slot by slot with the progress bar and
// status text; the run ends the dialog (Accepted when it finished).
class CCClean : public QDialog {
    Q_OBJECT
public:
    CCClean(CWQEDoc& doc, Prompter& prompter, QWidget* owner = nullptr);

    const std::optional<CleanupResult>& lastResult() const { return last_; }

public slots:
    void onStart();

private:
    CWQEDoc& doc_;
    Prompter& prompter_;
    QLabel* status_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* close_ = nullptr;
    std::optional<CleanupResult> last_;
};

// "Phrase Copy": a drive list, folder tree and file list to choose a
// ".PHR", ".WAV" or ".MID" file, what it holds, and ENTER to copy it into
// the destination slot; DEC/INC move to the previous/next empty slot.
class CPhCopy : public QDialog {
    Q_OBJECT
public:
    CPhCopy(CWQEDoc& doc, CWQEView& view, int slot, Prompter& prompter, QWidget* owner = nullptr);

    int destinationSlot() const { return slot_; }
    // Chooses a file of the shown folder's list (or any file, for tests).
    void chooseFile(const QString& path);
    void showFolder(const QString& folder);
    QString informationCaption() const;
    std::array<QString, 6> informationLines() const;
    QPushButton* enterButton() const { return enter_; }

    // The folder of the first ENTER of the program run, the start of every
    // later Phrase Copy.
    static QString& rememberedFolder();

    // The file information lines of a source file (the card's readers, as
    // the Phrase Setup dialog shows them); without a provider those lines
    // stay empty and the box shows the record's summary and member pages.
    using FileInfoProvider =
        std::function<FileInfoLines(const CopySource& source, const CWQEDoc& doc)>;
    static void setFileInfoProvider(FileInfoProvider provider);

public slots:
    void onEnter();
    void onDec() { moveDestination(false); }
    void onInc() { moveDestination(true); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void moveDestination(bool upwards);
    void setDestination(int slot);
    void evaluate();
    void showInformation();
    void setBusy(bool busy);

    CWQEDoc& doc_;
    CWQEView& view_;
    Prompter& prompter_;
    int slot_ = 0;
    int page_ = 0;
    QString folder_;
    QString file_;
    std::optional<CopySource> source_;
    QLineEdit* destination_ = nullptr;
    QLineEdit* sourceText_ = nullptr;
    CDrvListBox* drives_ = nullptr;
    CDirTreeCtrl* tree_ = nullptr;
    QListWidget* files_ = nullptr;
    QGroupBox* info_ = nullptr;
    std::array<QLabel*, 6> lines_{};
    QPushButton* dec_ = nullptr;
    QPushButton* inc_ = nullptr;
    QPushButton* enter_ = nullptr;
    QPushButton* end_ = nullptr;
};

}  // namespace wqe
