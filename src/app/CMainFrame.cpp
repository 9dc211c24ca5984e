#include "app/CMainFrame.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>

#include "convert/qt/CConvertDlg.h"
#include "convert/qt/ConvertCommands.h"
#include "convert/qt/PreviewCommands.h"
#include "dialogs/qt/CardUndoStack.h"
#include "dialogs/qt/PatternEditFlow.h"
#include "maintenance/qt/MaintenanceCommands.h"
#include "view/qt/CReportPrinter.h"
#include "view/qt/CWQEView.h"

namespace wqe {

namespace {
const QString kGeometryKey = QStringLiteral("MainWindow/Geometry");
}  // namespace

CMainFrame::CMainFrame(CWQEDoc& doc, CWQEView* view) : doc_(doc), view_(view) {
    setObjectName("mainFrame");
    setCentralWidget(view_);
    buildMenu();
    connectPrinting();
    connect(view_, &CWQEView::commandStateChanged, this, &CMainFrame::updateCommandStates);
    registerConvertCommands(*view_, doc_, this);
    registerPatternCommands(*view_);
    registerMaintenanceCommands(*view_, doc_, this);
    registerPreviewCommands(*view_, *this, action(Command::PlayPhrase));
    updateCommandStates();
}

QAction* CMainFrame::addCommand(QMenu* menu, const QString& text, Command c,
                                const QKeySequence& key) {
    QAction* a = menu->addAction(text);
    a->setData(static_cast<int>(c));
    if (!key.isEmpty()) a->setShortcut(key);
    actions_[c] = a;
    connect(a, &QAction::triggered, this, [this, c] { emit commandTriggered(c); });
    return a;
}

void CMainFrame::registerActions(QMenu* menu) {
    for (QAction* a : menu->actions()) {
        if (a->menu()) {
            registerActions(a->menu());
        } else if (!a->isSeparator()) {
            const auto c = static_cast<Command>(a->data().toInt());
            actions_[c] = a;
            connect(a, &QAction::triggered, this, [this, c] { emit commandTriggered(c); });
        }
    }
}

void CMainFrame::buildMenu() {
    QMenu* file = menuBar()->addMenu(tr("FILE(&F)"));
    addCommand(file, tr("OPEN Card Info.(&O)..."), Command::OpenCardInfo,
               QKeySequence(Qt::CTRL | Qt::Key_O));
    addCommand(file, tr("SAVE Card Info.(&S)"), Command::SaveCardInfo,
               QKeySequence(Qt::CTRL | Qt::Key_S));
    file->addSeparator();
    QMenu* printSettings = file->addMenu(tr("PRINT Settings(&U)"));
    addCommand(printSettings, tr("System & Phrase Info.(&A)"), Command::PrintSystemAndPhrase);
    addCommand(printSettings, tr("System Info.(&S)"), Command::PrintSystem);
    addCommand(printSettings, tr("Phrase Info.(&P)"), Command::PrintPhrase);
    addCommand(file, tr("PRINT(&P)..."), Command::Print, QKeySequence(Qt::CTRL | Qt::Key_P));
    addCommand(file, tr("PRINT Preview(&V)..."), Command::PrintPreview);
    addCommand(file, tr("Printer Setup(&R)..."), Command::PrinterSetup);
    addCommand(file, tr("Export PDF..."), Command::ExportPdf);
    file->addSeparator();
    addCommand(file, tr("END(&X)"), Command::Exit);

    QMenu* edit = menuBar()->addMenu(tr("EDIT(&E)"));
    undo_ = new CardUndoStack(doc_, this);
    edit->addAction(undo_->undoAction());
    edit->addAction(undo_->redoAction());
    edit->addSeparator();
    addCommand(edit, tr("Backup(&B)..."), Command::Backup);
    addCommand(edit, tr("Restore(&R)..."), Command::Restore);
    edit->addSeparator();
    addCommand(edit, tr("Cleanup(&C)..."), Command::Cleanup);
    edit->addSeparator();
    addCommand(edit, tr("File Convert(&C)..."), Command::FileConvert);
    addCommand(edit, tr("WAV Import..."), Command::WavImport);
    edit->addSeparator();
    addCommand(edit, tr("Delete of folder(&D)..."), Command::DeleteFolder);

    QMenu* phrase = menuBar()->addMenu(tr("Phrase Settings(&P)"));
    CWQEView::addPhraseSettingsItems(phrase);
    registerActions(phrase);

    QMenu* option = menuBar()->addMenu(tr("OPTION(&O)"));
    addCommand(option, tr("Setting the Backup Path (&B)..."), Command::SetBackupPath);
    addCommand(option, tr("Setting the CARD Path(&C)..."), Command::SetCardPath);

    QMenu* help = menuBar()->addMenu(tr("HELP(&H)"));
    addCommand(help, tr("Version Info.(&A)..."), Command::VersionInfo);

    for (QMenu* m : {file, printSettings, edit, phrase, option, help}) {
        connect(m, &QMenu::aboutToShow, this, &CMainFrame::updateCommandStates);
    }
}

// The three print kinds are checkable items with the check on one; the
// print, preview, setup and export commands draw the checked kind.
void CMainFrame::connectPrinting() {
    printer_ = new CReportPrinter(doc_, view_->language(), this);
    auto* kinds = new QActionGroup(this);
    const std::pair<Command, ReportKind> kindItems[] = {
        {Command::PrintSystemAndPhrase, ReportKind::SystemAndPhrase},
        {Command::PrintSystem, ReportKind::System},
        {Command::PrintPhrase, ReportKind::Phrase}};
    for (const auto& [c, kind] : kindItems) {
        QAction* a = action(c);
        a->setCheckable(true);
        a->setChecked(kind == printer_->kind());
        kinds->addAction(a);
        view_->setCommandHandler(c, [this, a, kind] {
            printer_->setKind(kind);
            a->setChecked(true);
        });
    }
    view_->setCommandHandler(Command::Print, [this] { printer_->print(); });
    view_->setCommandHandler(Command::PrintPreview, [this] { printer_->preview(); });
    view_->setCommandHandler(Command::PrinterSetup, [this] { printer_->printerSetup(); });
    view_->setCommandHandler(Command::ExportPdf, [this] { printer_->exportPdfInteractive(); });
}

QAction* CMainFrame::action(Command c) const {
    const auto it = actions_.find(c);
    return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::updateCommandStates() {
    for (const auto& [c, a] : actions_) {
        // A command without a handler does nothing, so it cannot be clicked.
        bool enabled = view_->hasCommandHandler(c);
        if (!enabled) {
            a->setEnabled(false);
            continue;
        }
        switch (c) {
            case Command::SaveCardInfo:
                enabled = doc_.isCommandEnabled(DocCommand::Save);
                break;
            case Command::Print:
                enabled = doc_.isCommandEnabled(DocCommand::Print);
                break;
            case Command::PrintPreview:
            case Command::ExportPdf:
                enabled = doc_.isCommandEnabled(DocCommand::PrintPreview);
                break;
            case Command::Cleanup:
                enabled = doc_.isCommandEnabled(DocCommand::Cleanup);
                break;
            case Command::WavImport:
                enabled = doc_.isCommandEnabled(DocCommand::WavImport);
                break;
            default:
                enabled = view_->commandEnabled(c).value_or(true);
                break;
        }
        a->setEnabled(enabled);
    }
}

void CMainFrame::setDocumentTitle(const QString& title) {
    setWindowTitle(title + QStringLiteral(" - ") + tr("WQ SERIES CARD EDITOR WQE-7000"));
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!minimumRecorded_) {
        // The window never becomes smaller than it was first shown.
        minimumRecorded_ = true;
        setMinimumSize(size());
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // A conversion under way is stopped first (its dialog asks).
    for (CConvertDlg* dialog : findChildren<CConvertDlg*>()) {
        if (dialog->isRunning()) dialog->close();
        if (dialog->isRunning()) {
            event->ignore();
            return;
        }
    }
    if (!doc_.saveModified()) {
        event->ignore();
        return;
    }
    doc_.close();
    if (geometryStore_) {
        geometryStore_->setValue(kGeometryKey, saveGeometry());
        geometryStore_->sync();
    }
    event->accept();
}

void CMainFrame::setGeometryStore(QSettings* store) { geometryStore_ = store; }

bool CMainFrame::restoreSavedGeometry() {
    if (!geometryStore_) return false;
    const QByteArray saved = geometryStore_->value(kGeometryKey).toByteArray();
    return !saved.isEmpty() && restoreGeometry(saved);
}

QSize CMainFrame::firstStartSize() const {
    QSize size = sizeHint();
    if (const QScreen* s = screen()) {
        // The frame's border and caption come on top of the client area.
        const QSize room = s->availableGeometry().size() - QSize(16, 48);
        size = size.boundedTo(room);
    }
    return size;
}

}  // namespace wqe
