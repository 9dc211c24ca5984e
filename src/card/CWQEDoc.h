// The card document: the open card's system and phrase settings images, the
// records over them, the memo texts, the model, the three file paths and the
// modified flag. It opens, reloads and saves a card; every question and
// message goes through a Prompter.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/FileSystem.h"
#include "card/CWQEMemo.h"
#include "card/CWQEPhr.h"
#include "card/CWQESys.h"
#include "card/EditHistory.h"
#include "card/Language.h"
#include "card/Prompter.h"
#include "card/Settings.h"

namespace wqe {

inline constexpr const char* kTitleNoCard = "Load system information.";
inline constexpr const char* kMsgSaveChanges = "Save changes in system data?";
inline constexpr const char* kMsgProperFileName = "Choose a proper file name.";
inline constexpr const char* kMsgAllocate = "Fail to Allocate Memory!";
inline constexpr const char* kMsgReadFile = "Fail to Read File!";
inline constexpr const char* kMsgMemoFile = "Unable to open Memo file";
inline constexpr const char* kMsgSaveFailed = "Save failed.";
inline constexpr const char* kMsgReplaceMemo =
    "The memo file is not laid out as this editor writes it. Saving replaces it with the memos "
    "that could be read. Replace it?";

enum class DocCommand { Save, Print, PrintPreview, Cleanup, WavImport };

class CWQEDoc {
public:
    CWQEDoc(Prompter& prompter, SettingsStore& settings);

    // Called after the document's content changed (all views refresh).
    std::function<void()> onUpdateViews;
    // Called with the new window title.
    std::function<void(const std::string&)> onTitleChanged;

    // Reads and writes go through this file system (the real one unless a
    // test hands in another). It must outlive the document's use of it.
    void setFileSystem(FileSystem& fs) { fs_ = &fs; }

    // The operations below without messages: they return what went wrong.
    // Opening or saving also removes stale temporary files that killed runs
    // of this program left in the card folder.
    //
    // Opens a card folder or its system settings file. A system or phrase
    // settings file that is missing, unreadable, a folder or (system file)
    // too short fails the open: no card is loaded. A memo file that cannot
    // be read fails it too, but the settings stay loaded and the memo file
    // is then never written. A missing memo file is created by the next save.
    Status loadCard(const std::string& cardPath);
    // Re-reads the card of the current system path; see reload().
    Status reloadCard();
    // Writes the system image, the phrase image and the memo file together:
    // each is written and flushed to a temporary file first, and the files
    // are replaced only when all three are complete. A memo file whose layout
    // was not understood is replaced only after a yes to kMsgReplaceMemo
    // (else the error is Cancelled and nothing is written).
    Status save();
    // The editor's fixed message for an error of opening ("Fail to Read
    // File!", "Fail to Allocate Memory!", "Unable to open Memo file").
    std::string openMessageFor(const Error& error) const;
    // False while the memo file read at open was not laid out as expected.
    bool memoUnderstood() const { return memoState_ != MemoState::NotUnderstood; }

    // Start-up state: no card, no paths, title "Load system information.".
    void newDocument();
    // "OPEN Card Info.": the save question, then the file dialog, then open.
    void onOpenCardInfo();
    // The forms below report a failure through the prompter (report() with
    // the fixed message) and return false.
    //
    // Opens the card of a chosen system settings file (steps after the file
    // dialog). The bare file name must be "_WQ7TSYS.CNF" or "_WQ5TSYS.CNF".
    bool openFile(const std::string& systemPath);
    // Opens a card folder or the path of its system settings file, without
    // asking: the folder's system file (either model, letter case ignored).
    bool openCard(const std::string& cardPath);
    // Re-reads the card of the current system path without asking; switches
    // the model when the folder now holds the other model's system file.
    bool reload();
    // "SAVE Card Info.": save when modified, else beep. True when every file
    // was written (or nothing needed writing).
    bool onSaveCardInfo();
    // save() whatever the modified flag.
    bool writeAll();
    // Before the document is closed: the save question. False when the user
    // cancels (or a requested save failed).
    bool saveModified();
    // Releases the card (the records read as unloaded) and refreshes the views.
    void close();

    void markModified(bool modified = true);

    // One edit of the card's settings (system image, phrase image, memo
    // texts): runs `change` on the records, marks the document modified and
    // records an undo step named `name` when something changed. Mergeable
    // edits of one name in a row make one step (typing into one field).
    void edit(const std::string& name, const std::function<void()>& change, bool mergeable = false);
    // Restore the state before / after one step, set the modified mark by the
    // saved point and refresh the views. False when there is nothing to do.
    bool undo();
    bool redo();
    // True when the records still hold the history's current state; after a
    // change that bypassed edit() the history restarts from what is there.
    bool checkHistory();
    EditHistory& history() { return history_; }
    const EditHistory& history() const { return history_; }
    bool isModified() const { return isLoaded() && modified_; }
    bool isLoaded() const { return sys_.isLoaded(); }
    bool isCommandEnabled(DocCommand c) const;

    Model model() const { return model_; }
    void setModel(Model m);

    const std::string& systemPath() const { return systemPath_; }
    const std::string& phrasePath() const { return phrasePath_; }
    const std::string& memoPath() const { return memoPath_; }
    // The card folder with a trailing separator ("" when none).
    std::string folderPrefix() const;
    // Number of phrase slots by the list's rule.
    int phraseCount() const;

    CWQESys& sys() { return sys_; }
    const CWQESys& sys() const { return sys_; }
    CWQEPhr& phr() { return phr_; }
    const CWQEPhr& phr() const { return phr_; }
    CWQEMemo& memo() { return memo_; }
    const CWQEMemo& memo() const { return memo_; }
    Prompter& prompter() { return prompter_; }
    SettingsStore& settings() { return settings_; }

    // The open dialog's starting folder: the remembered system file path
    // without its file name, when that folder exists; else "".
    std::string initialOpenFolder() const;

    Language language() const { return language_; }
    void setLanguage(Language lang) { language_ = lang; }

private:
    enum class MemoState { Read, Missing, NotUnderstood, Unreadable };

    void release();
    void setPaths(const std::string& systemPath);
    Status openWithModel(const std::string& systemPath, Model m);
    Status load();                        // reads the files of the current paths
    bool reported(const Status& status);  // reports an open failure
    std::string folder() const;
    void setTitle(const std::string& title);
    void updateViews();
    EditState captureState() const;
    void restoreState(const EditState& state);

    Prompter& prompter_;
    SettingsStore& settings_;
    FileSystem* fs_ = &realFileSystem();
    MemoState memoState_ = MemoState::Read;
    Model model_ = Model::WQ7000;
    std::vector<std::uint8_t> sysImage_;
    std::vector<std::uint8_t> phrImage_;
    bool phrLoaded_ = false;
    CWQESys sys_;
    CWQEPhr phr_;
    CWQEMemo memo_;
    std::string systemPath_, phrasePath_, memoPath_;
    bool modified_ = false;
    EditHistory history_;
    Language language_ = detectLanguage();
};

}  // namespace wqe
