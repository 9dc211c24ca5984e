// wqe7000: the card editor.
#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QTimer>

#include "app/CMainFrame.h"
#include "app/CWQEApp.h"
#include "audiofile/AudioFile.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    wqe::audiofile::install();  // FLAC, Ogg, MP3 and rate conversion for File Convert and WAV
                                // Import
    QApplication::setOrganizationName("Velmor");
    QApplication::setApplicationName("WQE-7000");
    QApplication::setApplicationVersion("2.00");
    QApplication::setDesktopFileName("wqe7000");

    const wqe::Language lang = wqe::detectLanguage();
    if (!wqe::CWQEApp::installTranslations(app, lang)) {
        qWarning("wqe7000: the Japanese translation is missing; showing English texts");
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QCoreApplication::translate("main", "WQ SERIES CARD EDITOR WQE-7000"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(
        "CARD", QCoreApplication::translate("main", "Card folder or system settings file to open"));
    // Saves a picture of the main window once it is shown, then ends (used
    // to check the window's look in both languages without a desktop).
    const QCommandLineOption screenshot("screenshot",
                                        "Save the main window as a PNG image and quit.", "FILE");
    parser.addOption(screenshot);
    parser.process(app);
    if (parser.positionalArguments().size() > 1) {
        qCritical("wqe7000: give at most one card");
        return 1;
    }

    QApplication::setWindowIcon(wqe::CWQEApp::appIcon());
    wqe::CWQEApp editor(lang);
    editor.initInstance(parser.positionalArguments());
    if (parser.isSet(screenshot)) {
        const QString file = parser.value(screenshot);
        QTimer::singleShot(500, &app, [&] {
            if (!editor.mainFrame()->grab().save(file)) {
                qCritical("wqe7000: %s: the picture could not be saved", qPrintable(file));
                QCoreApplication::exit(2);
                return;
            }
            QCoreApplication::quit();
        });
    }
    return app.exec();
}
