#include "app/CWQEApp.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLibraryInfo>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QSettings>
#include <QTranslator>
#include <QVBoxLayout>

#include "app/CMainFrame.h"
#include "app/QtPrompter.h"
#include "app/QtSettingsStore.h"
#include "maintenance/qt/CPathDialog.h"
#include "view/qt/CWQEView.h"

namespace wqe {

CWQEApp::CWQEApp(Language lang, Prompter* prompter, SettingsStore* settings) : lang_(lang) {
    if (!prompter) {
        ownPrompter_ = std::make_unique<QtPrompter>();
        prompter = ownPrompter_.get();
    }
    if (!settings) {
        ownSettings_ = std::make_unique<QtSettingsStore>();
        settings = ownSettings_.get();
    }
    prompter_ = prompter;
    settings_ = settings;
    doc_ = std::make_unique<CWQEDoc>(*prompter_, *settings_);
    doc_->setLanguage(lang_);
    view_ = new CWQEView(*doc_, lang_);
    frame_ = std::make_unique<CMainFrame>(*doc_, view_);
    frame_->setWindowIcon(appIcon());
    if (ownPrompter_) ownPrompter_->setParentWidget(frame_.get());
    if (ownSettings_) {
        // The user's store: the window's geometry is remembered there too.
        geometry_ = std::make_unique<QSettings>("Velmor", "WQE-7000");
        frame_->setGeometryStore(geometry_.get());
    }

    doc_->onTitleChanged = [this](const std::string& title) {
        frame_->setDocumentTitle(translateCoreText(title));
    };
    doc_->onUpdateViews = [this] {
        view_->documentUpdate();
        frame_->updateCommandStates();
    };
    connect(frame_.get(), &CMainFrame::commandTriggered, this, &CWQEApp::runCommand);
    registerCommands();
}

CWQEApp::~CWQEApp() {
    // The document's callbacks point into the frame, which goes first.
    doc_->onTitleChanged = nullptr;
    doc_->onUpdateViews = nullptr;
}

void CWQEApp::initInstance(const QStringList& cards, bool show) {
    doc_->newDocument();
    view_->initialUpdate();
    if (!frame_->restoreSavedGeometry()) frame_->resize(frame_->firstStartSize());
    if (show) frame_->show();
    if (!cards.isEmpty()) doc_->openCard(QFileInfo(cards.front()).absoluteFilePath().toStdString());
    frame_->updateCommandStates();
}

void CWQEApp::runCommand(Command c) {
    view_->runCommand(c);
    frame_->updateCommandStates();
}

void CWQEApp::registerCommands() {
    const std::pair<Command, std::function<void()>> handlers[] = {
        {Command::OpenCardInfo, [this] { doc_->onOpenCardInfo(); }},
        {Command::SaveCardInfo, [this] { doc_->onSaveCardInfo(); }},
        {Command::Exit, [this] { frame_->close(); }},
        {Command::SetBackupPath, [this] { onSetBackupPath(); }},
        {Command::SetCardPath, [this] { onSetCardPath(); }},
        {Command::VersionInfo, [this] { onVersionInfo(); }},
    };
    for (const auto& [c, handler] : handlers) view_->setCommandHandler(c, handler);
}

void CWQEApp::setPath(const char* key, const QString& title) {
    QString start = QString::fromStdString(settings_->value(key, ""));
    // A stored folder that no longer exists: start from the current folder.
    if (start.isEmpty() || !QDir(start).exists()) start = QDir::currentPath();
    CPathDialog dialog(title, tr("Reference Path:"), start, *prompter_, frame_.get());
    if (dialog.exec() == QDialog::Accepted) settings_->setValue(key, dialog.path().toStdString());
}

void CWQEApp::onSetBackupPath() { setPath(kKeyBackupPath, tr("Buckup Up Path Setup")); }

void CWQEApp::onSetCardPath() { setPath(kKeyCardPath, tr("CARD Path Setup")); }

void CWQEApp::onVersionInfo() {
    QDialog dialog(frame_.get());
    dialog.setObjectName("versionDialog");
    dialog.setWindowTitle(tr("Version Information"));
    auto* icon = new QLabel(&dialog);
    icon->setPixmap(appIcon().pixmap(48, 48));
    auto* text = new QLabel(tr("WQE-7000 Version 2.00"), &dialog);
    auto* buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(tr("OK"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addLayout(row);
    layout->addWidget(buttons);
    dialog.exec();
}

bool CWQEApp::installTranslations(QCoreApplication& app, Language lang) {
    if (lang != Language::Japanese) return true;
    auto* qt = new QTranslator(&app);
    if (qt->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt);
    } else {
        delete qt;
    }
    // One translation file per family of windows (the shell, the dialogs,
    // the reports ...), all embedded under :/i18n.
    const QStringList files =
        QDir(QStringLiteral(":/i18n")).entryList({QStringLiteral("*_ja.qm")}, QDir::Files);
    if (files.isEmpty()) return false;
    for (const QString& file : files) {
        auto* own = new QTranslator(&app);
        if (!own->load(QStringLiteral(":/i18n/") + file)) {
            delete own;
            return false;
        }
        QCoreApplication::installTranslator(own);
    }
    return true;
}

QIcon CWQEApp::appIcon() {
    // A memory card with a notched corner, its contacts and a sound wave.
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 64.0, size / 64.0);
        QPainterPath card;
        card.moveTo(12, 4);
        card.lineTo(44, 4);
        card.lineTo(56, 16);
        card.lineTo(56, 60);
        card.lineTo(12, 60);
        card.closeSubpath();
        p.setPen(QPen(QColor(0x1f, 0x3a, 0x5f), 2));
        p.setBrush(QColor(0x2f, 0x6d, 0xb5));
        p.drawPath(card);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xf2, 0xc1, 0x4e));
        for (int x = 18; x <= 42; x += 8) p.drawRect(QRectF(x, 8, 5, 12));
        p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap));
        const qreal bars[] = {6, 14, 22, 14, 6};
        for (int i = 0; i < 5; ++i) {
            const qreal x = 20 + i * 7, h = bars[i];
            p.drawLine(QPointF(x, 42 - h / 2), QPointF(x, 42 + h / 2));
        }
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace wqe
