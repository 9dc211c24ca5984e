#include "app/QtPrompter.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "card/CWQEDoc.h"

namespace wqe {

namespace {

// The core's fixed texts that reach the user through the prompter and the
// caption, taken from the core's own constants; their Japanese texts are
// the context "CoreText" of translations/wqe_ja.ts. The open dialog's title
// "Open Card Info." is translated there as well.
const char* const kCoreTexts[] = {kMsgSaveChanges, kMsgProperFileName, kMsgAllocate,
                                  kMsgReadFile,    kMsgMemoFile,       kTitleNoCard,
                                  kMsgSaveFailed,  kMsgReplaceMemo};

QMessageBox::Icon boxIcon(Icon icon) {
    switch (icon) {
        case Icon::Information:
            return QMessageBox::Information;
        case Icon::Exclamation:
            return QMessageBox::Warning;
        case Icon::Question:
            return QMessageBox::Question;
        case Icon::Error:
            return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

std::span<const char* const> coreTexts() { return kCoreTexts; }

QString translateCoreText(const std::string& text) {
    return QCoreApplication::translate("CoreText", text.c_str());
}

Answer QtPrompter::ask(const std::string& text, Buttons buttons, Icon icon) {
    QMessageBox box(boxIcon(icon), QString::fromLatin1(kMessageBoxTitle), translateCoreText(text),
                    QMessageBox::NoButton, parent_);
    box.addButton(QMessageBox::Yes)->setText(QCoreApplication::translate("QtPrompter", "&Yes"));
    box.addButton(QMessageBox::No)->setText(QCoreApplication::translate("QtPrompter", "&No"));
    if (buttons == Buttons::YesNoCancel) {
        box.addButton(QMessageBox::Cancel)
            ->setText(QCoreApplication::translate("QtPrompter", "Cancel"));
        box.setEscapeButton(QMessageBox::Cancel);
    } else {
        box.setEscapeButton(QMessageBox::No);
    }
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return buttons == Buttons::YesNoCancel ? Answer::Cancel : Answer::No;
    }
}

void QtPrompter::message(const std::string& text, Icon icon) {
    QMessageBox box(boxIcon(icon), QString::fromLatin1(kMessageBoxTitle), translateCoreText(text),
                    QMessageBox::NoButton, parent_);
    box.addButton(QMessageBox::Ok)->setText(QCoreApplication::translate("QtPrompter", "OK"));
    box.exec();
}

void QtPrompter::report(const std::string& fixed, const Error& error, Icon icon) {
    // The fixed message in the user's language; which file and why below it.
    QMessageBox box(boxIcon(icon), QString::fromLatin1(kMessageBoxTitle), translateCoreText(fixed),
                    QMessageBox::NoButton, parent_);
    box.setInformativeText(QString::fromStdString(error.message()));
    box.addButton(QMessageBox::Ok)->setText(QCoreApplication::translate("QtPrompter", "OK"));
    box.exec();
}

void QtPrompter::beep() { QApplication::beep(); }

std::optional<std::string> QtPrompter::chooseOpenFile(const std::string& title,
                                                      const std::string& filter,
                                                      const std::string& initialFolder) {
    const QString folder =
        initialFolder.empty() ? QDir::currentPath() : QString::fromStdString(initialFolder);
    const QString chosen = QFileDialog::getOpenFileName(
        parent_, translateCoreText(title), folder, qtFileFilter(QString::fromStdString(filter)));
    if (chosen.isEmpty()) return std::nullopt;
    return chosen.toStdString();
}

QString qtFileFilter(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString& pattern = parts[i + 1];
        if (description.isEmpty() && pattern.isEmpty()) break;
        const QString suffix = QLatin1Char('(') + pattern + QLatin1Char(')');
        filters << (description.endsWith(suffix) ? description
                                                 : description + QLatin1String(" ") + suffix);
    }
    return filters.join(QLatin1String(";;"));
}

}  // namespace wqe
