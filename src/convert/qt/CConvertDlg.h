// "File Convert" (WAV files to KPAC phrase files and back, one file or a
// folder) and "WAV Import" (WAV files copied onto a card as WAV phrases):
// one dialog, the import a fixed direction without the lists. START runs the
// conversion on a worker thread that never touches a widget; a 100 ms timer
// shows its progress from atomics and the worker's end arrives as a queued
// call. While it runs START reads "Cancel"; closing the dialog asks first
// and then stops the worker.
#pragma once

#include <QDialog>
#include <QStringList>
#include <atomic>
#include <functional>
#include <thread>

#include "card/CWQEDoc.h"
#include "convert/FileConvert.h"
#include "convert/WavImport.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace wqe {

class CPlayButton;

// What the dialogs need from the editor for one modal run.
struct ConvertContext {
    CWQEDoc& doc;
    Prompter& prompter;
    SettingsStore& settings;
    // The "Cleanup" command, run when the user accepts the cleanup question.
    std::function<void()> cleanup;
};

inline constexpr const char* kMsgStopConversion = "Stop the conversion?";
inline constexpr const char* kMsgStopConversionJa = "コンバートを中止しますか？";

class CConvertDlg : public QDialog {
    Q_OBJECT
public:
    explicit CConvertDlg(ConvertContext context, QWidget* parent = nullptr);
    ~CConvertDlg() override;

    bool isRunning() const { return worker_.joinable(); }
    // The worker's progress as shown (0..100).
    int shownPercent() const { return shown_; }

    QLineEdit* sourceEdit() const { return source_; }
    QLineEdit* targetEdit() const { return target_; }
    QPushButton* startButton() const { return start_; }
    QCheckBox* byFolderBox() const { return byFolder_; }
    QComboBox* bitList() const { return bits_; }
    QComboBox* modeList() const { return modes_; }
    QRadioButton* decodeRadio() const { return decode_; }
    QRadioButton* encodeRadio() const { return encode_; }
    // Plays the source file (File Convert only; null in WAV Import).
    CPlayButton* playButton() const { return play_; }
    // Sets the source from dropped paths (one folder: "by Folder").
    void dropPaths(const QStringList& paths);

public slots:
    void reject() override;

protected:
    enum class Kind { Convert, Import };
    CConvertDlg(Kind kind, ConvertContext context, QWidget* parent);

    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void build();
    bool encoding() const;  // WAV side is the source
    void applyDirection();
    void referSource();
    void referTarget();
    void onStart();
    void startWorker();
    void refreshProgress();
    void onWorkerFinished();
    void setRunning(bool running);
    void applyEnabledLists();
    // Asks whether to stop a running conversion; stops it on yes.
    bool stopAfterAsking();
    QString tr2(const char* en, const char* ja) const;
    // The Play button follows the source text: a phrase or WAV file.
    void updatePlaySource();

    const Kind kind_;
    ConvertContext context_;
    QRadioButton* decode_ = nullptr;
    QRadioButton* encode_ = nullptr;
    QCheckBox* byFolder_ = nullptr;
    QComboBox* bits_ = nullptr;
    QComboBox* modes_ = nullptr;
    QComboBox* quality_ = nullptr;  // Standard or Best (searching) encoder
    QLineEdit* source_ = nullptr;
    QLineEdit* target_ = nullptr;
    QPushButton* sourceRefer_ = nullptr;
    QPushButton* targetRefer_ = nullptr;
    QLabel* percent_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* close_ = nullptr;
    CPlayButton* play_ = nullptr;
    QTimer* timer_ = nullptr;

    // The run under way: what it works on, its progress and its results.
    struct Run {
        bool folder = false;
        bool encode = true;
        std::string wavSide, phraseSide;  // paths as started, for the remembered folders
        ConvertBatch convert;
        ImportBatch import;
    };
    Run run_;
    ConvertProgress convertProgress_;
    ImportProgress importProgress_;
    std::thread worker_;
    std::atomic<bool> workerDone_{false};
    int shown_ = -1;
};

class CWavImportDlg : public CConvertDlg {
    Q_OBJECT
public:
    explicit CWavImportDlg(ConvertContext context, QWidget* parent = nullptr);
};

}  // namespace wqe
