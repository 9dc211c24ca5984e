#include "maintenance/qt/MaintenanceCommands.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include "app/QtPrompter.h"
#include "dialogs/FileInformation.h"
#include "maintenance/Cleanup.h"
#include "maintenance/PhraseDelete.h"
#include "maintenance/PhraseDrop.h"
#include "maintenance/qt/CPathDialog.h"
#include "maintenance/qt/MaintenanceDialogs.h"
#include "view/SystemFormCommands.h"
#include "view/qt/CPListCtrl.h"
#include "view/qt/CWQEView.h"

namespace wqe {

namespace {

// The core's fixed texts of these commands, translated in the context
// "CoreText" (src/maintenance/qt/translations/wqe_maintenance_ja.ts).
[[maybe_unused]] const char* const kTranslatedCoreTexts[] = {
    QT_TRANSLATE_NOOP("CoreText", "Back Up Card"),
    QT_TRANSLATE_NOOP("CoreText", "Restore Card"),
    QT_TRANSLATE_NOOP("CoreText", "Backup-Source Folder:"),
    QT_TRANSLATE_NOOP("CoreText", "Backup-Destination Folder:"),
    QT_TRANSLATE_NOOP("CoreText", "Restoration-Source Folder:"),
    QT_TRANSLATE_NOOP("CoreText", "Restoration-Destination Folder:"),
    QT_TRANSLATE_NOOP("CoreText", "Change Folder Name As Necessary"),
    QT_TRANSLATE_NOOP("CoreText", "CARD Path Setup"),
    QT_TRANSLATE_NOOP("CoreText", "Buckup Up Path Setup"),
    QT_TRANSLATE_NOOP("CoreText", "Reference Path:"),
    QT_TRANSLATE_NOOP("CoreText", "Specify Folder to Erase"),
    QT_TRANSLATE_NOOP("CoreText", "Specify correct path with OPTION"),
    QT_TRANSLATE_NOOP("CoreText", "Copy succeeded."),
    QT_TRANSLATE_NOOP("CoreText", "Copy failed."),
    QT_TRANSLATE_NOOP("CoreText",
                      "All of the files in the backup-destination folder will be deleted,\nand "
                      "the card data will be loaded after the backup. Do you want to continue?"),
    QT_TRANSLATE_NOOP(
        "CoreText",
        "All the files in the folder at the backup destination will be deleted. OK to proceed?"),
    QT_TRANSLATE_NOOP("CoreText",
                      "All card phrases will be erased, and the card data will be loaded after the "
                      "restoration.\nDo you want to continue?"),
    QT_TRANSLATE_NOOP("CoreText", "All phrases on the card will be erased. OK to proceed?"),
    QT_TRANSLATE_NOOP("CoreText", "The data currently being edited will be saved.\nOK to proceed?"),
    QT_TRANSLATE_NOOP("CoreText",
                      "Double registration of the system file has occurred.\nProcessing halted."),
    QT_TRANSLATE_NOOP("CoreText",
                      "Phrase information file couldn't be read properly.\nTreatment is stopped."),
    QT_TRANSLATE_NOOP("CoreText", "Cleanup in progress"),
    QT_TRANSLATE_NOOP("CoreText", "Phrase and memo data being written."),
    QT_TRANSLATE_NOOP("CoreText", "Redisplaying phrase data..."),
    QT_TRANSLATE_NOOP("CoreText", "Finished."),
    QT_TRANSLATE_NOOP("CoreText", "It failed in the preservation of phrase information file."),
};

bool isEnabled(const CWQEView& view, Command c) { return view.commandEnabled(c).value_or(false); }

void runTransferDialog(CWQEView& view, CWQEDoc& doc, TransferMode mode, QWidget* owner) {
    CCbuck dialog(mode, doc, doc.prompter(), owner);
    dialog.exec();
    emit view.commandStateChanged();
}

void deleteSelectedPhrase(CWQEView& view, CWQEDoc& doc) {
    const int i = view.selectedPhrase();
    if (!isEnabled(view, Command::DeletePhrase)) return;
    const PhraseDeleteResult r = deletePhrase(doc, i, doc.prompter());
    if (r.status == PhraseDeleteResult::Status::Deleted) {
        view.fillRow(i);
        view.showRow(i);
    }
    emit view.commandStateChanged();
}

void deleteFolderCommand(CWQEDoc& doc, QWidget* owner) {
    const std::string start = folderDeleteStart(doc.settings(), doc.prompter());
    if (start.empty()) return;
    CPathDialog chooser(translateCoreText(kTitleFolderToErase),
                        translateCoreText("Reference Path:"), QString::fromStdString(start),
                        doc.prompter(), owner);
    if (chooser.exec() == QDialog::Accepted)
        deleteFolder(chooser.path().toStdString(), doc.prompter());
}

}  // namespace

// Phrase Copy's file information lines: the readers of the Phrase Setup
// dialog's "File Information" pane, by the source's kind.
static FileInfoLines sourceFileLines(const CopySource& source, const CWQEDoc& doc) {
    const Language lang = doc.language();
    FileInformation info;
    switch (source.kind) {
        case SourceKind::Audio:
            info = source.extension == "WAV" ? wavFileInformation(source.path, lang)
                                             : kpacFileInformation(source.path, doc.model(), lang);
            break;
        case SourceKind::Midi:
            info = midiFileInformation(source.path, lang);
            break;
        case SourceKind::Pattern5000:
        case SourceKind::Pattern7000:
        case SourceKind::Song:
            info =
                patternFileInformation(source.path, doc.model(), source.kind == SourceKind::Song);
            break;
        default:
            break;
    }
    FileInfoLines lines;
    std::copy(info.lines.begin(), info.lines.end(), lines.begin());
    return lines;
}

void registerMaintenanceCommands(CWQEView& view, CWQEDoc& doc, QWidget* owner) {
    CPhCopy::setFileInfoProvider(sourceFileLines);
    view.setCommandHandler(Command::Backup, [&view, &doc, owner] {
        runTransferDialog(view, doc, TransferMode::Backup, owner);
    });
    view.setCommandHandler(Command::Restore, [&view, &doc, owner] {
        runTransferDialog(view, doc, TransferMode::Restore, owner);
    });
    view.setCommandHandler(Command::Cleanup, [&view, &doc, owner] {
        if (!doc.isLoaded()) return;
        CCClean dialog(doc, doc.prompter(), owner);
        dialog.exec();
        emit view.commandStateChanged();
    });
    view.setCommandHandler(Command::DeleteFolder,
                           [&doc, owner] { deleteFolderCommand(doc, owner); });
    view.setCommandHandler(Command::DeletePhrase,
                           [&view, &doc] { deleteSelectedPhrase(view, doc); });
    view.setCommandHandler(Command::CopyPhrase, [&view, &doc, owner] {
        if (!isEnabled(view, Command::CopyPhrase)) return;
        CPhCopy dialog(doc, view, view.selectedPhrase(), doc.prompter(), owner);
        dialog.exec();
        emit view.commandStateChanged();
    });

    CPListCtrl* list = view.list();
    list->setDragFilesProvider([&doc](int row) {
        QList<QUrl> urls;
        for (const auto& file : phraseDataFilesOf(doc, {row}))
            urls << QUrl::fromLocalFile(QString::fromStdString(file.string()));
        return urls;
    });
    QObject::connect(
        list, &CPListCtrl::filesDropped, &view,
        [&view, &doc](int row, const QList<QUrl>& urls) { dropFilesOnRow(view, doc, row, urls); });
}

void dropFilesOnRow(CWQEView& view, CWQEDoc& doc, int row, const QList<QUrl>& urls) {
    std::vector<fs::path> files;
    for (const QUrl& url : urls)
        if (url.isLocalFile()) files.emplace_back(url.toLocalFile().toStdString());
    QProgressDialog progress(&view);
    progress.setWindowModality(Qt::WindowModal);
    progress.setCancelButton(nullptr);
    progress.setMinimumDuration(500);
    const DropResult r = dropPhraseFiles(doc, row, files, doc.prompter(), [&](int done, int total) {
        progress.setMaximum(total);
        progress.setValue(done);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    for (int slot : r.registered) view.fillRow(slot);
    if (!r.registered.empty()) view.showRow(r.registered.front());
    emit view.commandStateChanged();
}

}  // namespace wqe
