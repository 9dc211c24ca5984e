// The application: the settings store, the single document, the main frame
// and the view, the command routing between them, the language and the
// OPTION and HELP commands.
#pragma once

#include <QObject>
#include <QStringList>
#include <memory>

#include "card/CWQEDoc.h"
#include "card/Language.h"
#include "view/qt/Commands.h"

class QCoreApplication;
class QIcon;
class QSettings;

namespace wqe {

class CMainFrame;
class CWQEView;
class QtPrompter;

class CWQEApp : public QObject {
    Q_OBJECT
public:
    // Uses the given prompter and settings store, or the message boxes and
    // the user's settings when they are null.
    CWQEApp(Language lang, Prompter* prompter = nullptr, SettingsStore* settings = nullptr);
    ~CWQEApp() override;

    // Start-up: a new empty document, then the card named on the command line
    // (the first of `cards`, if any), then the main window.
    void initInstance(const QStringList& cards, bool show = true);

    CWQEDoc& document() { return *doc_; }
    CMainFrame* mainFrame() const { return frame_.get(); }
    CWQEView* view() const { return view_; }
    Prompter& prompter() { return *prompter_; }
    SettingsStore& settings() { return *settings_; }

    // Runs a menu command's handler (none: nothing happens; such a command
    // is disabled).
    void runCommand(Command c);
    // "Setting the Backup Path" / "Setting the CARD Path".
    void onSetBackupPath();
    void onSetCardPath();
    void onVersionInfo();

    // Loads the program's translations (and Qt's own, when installed) for
    // `lang` into `app`. False when the program's Japanese translation is missing.
    static bool installTranslations(QCoreApplication& app, Language lang);
    // The program's icon, drawn (no image plug-in needed).
    static QIcon appIcon();

private:
    // Connects the commands the application itself handles.
    void registerCommands();
    void setPath(const char* key, const QString& title);

    Language lang_;
    std::unique_ptr<QtPrompter> ownPrompter_;
    std::unique_ptr<SettingsStore> ownSettings_;
    Prompter* prompter_;
    SettingsStore* settings_;
    std::unique_ptr<CWQEDoc> doc_;
    CWQEView* view_ = nullptr;             // owned by the frame
    std::unique_ptr<QSettings> geometry_;  // the window's geometry, with the user's store
    std::unique_ptr<CMainFrame> frame_;
};

}  // namespace wqe
