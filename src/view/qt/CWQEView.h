// The main view: the system form above the phrase list. Form edits go
// straight into the open document's records; menu commands that act on the
// card are routed here.
#pragma once

#include <QWidget>
#include <functional>
#include <map>

#include "card/CWQEDoc.h"
#include "card/Language.h"
#include "view/SystemForm.h"
#include "view/qt/Commands.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QGroupBox;

namespace wqe {

class CPListCtrl;
class PhraseListModel;

class CWQEView : public QWidget {
    Q_OBJECT
public:
    CWQEView(CWQEDoc& doc, Language lang, QWidget* parent = nullptr);

    CWQEDoc& document() { return doc_; }
    Language language() const { return lang_; }

    // First display: the lists, the rebuilt (unfilled) phrase list and the
    // texts of an empty document.
    void initialUpdate();
    // A card was opened, reloaded or released: refresh the list, enable the
    // model's controls and refill the form from the records.
    void documentUpdate();

    // Phrase list operations for the view and the dialogs' callers.
    void rebuildList();
    void fillRow(int index);
    void refreshAll();
    void showRow(int index);
    int selectedPhrase() const;

    // Enabling of the commands the view decides (the Phrase Settings ones);
    // nullopt for commands it does not decide. A command without a handler
    // is disabled whatever this says.
    std::optional<bool> commandEnabled(Command c) const;

    // Menu commands run through handlers: a command is enabled (in the menu
    // and the phrase list's context menu) only while it has one, so that a
    // command whose dialog does not exist yet cannot be clicked. A dialog's
    // feature connects its command here, e.g.
    // setCommandHandler(Command::Backup, [view] { view->onBackup(); }).
    void setCommandHandler(Command c, std::function<void()> handler);
    bool hasCommandHandler(Command c) const;
    // Runs a command's handler; false when it has none.
    bool runCommand(Command c);
    // A command's own enabling rule, for commands that are not Phrase
    // Settings ones (e.g. Play by the player's state); and the tooltip its
    // items in the phrase list's context menu show.
    void setCommandEnabler(Command c, std::function<bool()> enabled);
    void setCommandToolTip(Command c, const QString& toolTip);

    // The "Phrase Settings" items (setup, delete, copy, combination) added to
    // `menu`; each action carries its command number as data.
    static void addPhraseSettingsItems(QMenu* menu);

    CPListCtrl* list() const { return list_; }
    PhraseListModel* listModel() const { return model_; }

signals:
    // Something that decides command enabling changed (an edit, the selection).
    void commandStateChanged();

public slots:
    // Commands whose dialogs and operations come with their own features;
    // each is wired here so that only its body needs filling in.
    void onPhraseSetup();
    void onDeletePhrase();
    void onCopyPhrase();
    void onPatternPhrase();
    void onSongPhrase();
    void onBackup();
    void onRestore();
    void onCleanup();
    void onFileConvert();
    void onWavImport();
    void onDeleteFolder();
    void onPrintKind(int kind);
    void onPrint();
    void onPrintPreview();
    void onPrinterSetup();
    void onControlInput();
    void onEqualizer();
    void onLineThru();
    void onBusyOut();
    void onMidiSettings();

private:
    void buildForm();
    void fillLists();
    void refillForm();
    void onListDoubleClicked();
    void onListContextMenu(const QPoint& pos);
    void onCardNameEdited(const QString& text);
    void onMemoChanged();
    void onListSelected(FormList list, int index);
    // MTC Settings changed the type: the list's times are rebuilt, the row kept.
    void onMtcChanged();
    // Phrase Setup on phrase `index`; true when it ended with OK.
    bool runPhraseSetup(int index);
    // "Phrase to make" and the pattern/song editing for an empty phrase; true
    // when a phrase was made.
    bool runMakePhrase(int index);
    void runPhraseCombinationCommand(bool song);

    CWQEDoc& doc_;
    Language lang_;
    bool filling_ = false;  // the form is being refilled from the records

    QWidget* form_ = nullptr;
    QLabel* folder_ = nullptr;
    QLineEdit* cardName_ = nullptr;
    QLabel* phraseCount_ = nullptr;
    QPlainTextEdit* memo_ = nullptr;
    std::map<FormList, QComboBox*> lists_;
    QPushButton* equalizer_ = nullptr;
    std::vector<QPushButton*> dialogButtons_;  // the five settings dialogs, off without a card
    std::vector<QWidget*> wq7000Only_;         // disabled on the WQ-5000
    CPListCtrl* list_ = nullptr;
    PhraseListModel* model_ = nullptr;
    std::map<Command, std::function<void()>> handlers_;
    std::map<Command, std::function<bool()>> enablers_;
    std::map<Command, QString> toolTips_;
};

}  // namespace wqe
