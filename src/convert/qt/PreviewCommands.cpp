#include "convert/qt/PreviewCommands.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QStatusBar>

#include "convert/PreviewSource.h"
#include "convert/qt/CPhrasePlayer.h"
#include "view/qt/CPListCtrl.h"
#include "view/qt/CWQEView.h"

namespace wqe {

namespace {

QString tr(const char* text) { return QCoreApplication::translate("wqe::PreviewCommands", text); }

// How long the last position stays in the status bar after the sound ends.
constexpr int kFinalStatusMs = 5000;

// Space and Esc on the phrase list, before the list's own use of them.
class PreviewKeys : public QObject {
public:
    PreviewKeys(CWQEView& view, CPhrasePlayer& player)
        : QObject(view.list()), view_(view), player_(player) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() != Qt::NoModifier) return false;
        if (key->key() == Qt::Key_Space && view_.hasCommandHandler(Command::PlayPhrase) &&
            view_.commandEnabled(Command::PlayPhrase).value_or(false)) {
            view_.runCommand(Command::PlayPhrase);
            return true;
        }
        if (key->key() == Qt::Key_Escape && player_.isPlaying()) {
            player_.stop();
            return true;
        }
        return false;
    }

private:
    CWQEView& view_;
    CPhrasePlayer& player_;
};

// Plays the selected row, or stops: Space on the playing row, or on a row
// that cannot play while something plays.
void togglePlay(CWQEView& view, CPhrasePlayer& player) {
    CWQEDoc& doc = view.document();
    const int row = view.selectedPhrase();
    if (player.isPlaying() &&
        (player.playback().stopsOnToggle(row) || !hasPhrasePreview(doc, row))) {
        player.stop();
        return;
    }
    const auto preview = phrasePreview(doc, row);
    if (!preview) return;
    const Status played =
        player.play(QString::fromStdString(preview->file.string()), preview->volume, row);
    if (!played)
        doc.prompter().report(tr("The phrase cannot be played.").toStdString(), played.error());
}

QString statusText(const CPhrasePlayer& player) {
    const QString what =
        player.phrase() >= 0
            ? tr("Phrase %1").arg(player.phrase() + 1, 4, 10, QLatin1Char('0'))
            : QString::fromStdString(
                  std::filesystem::path(player.file().toStdString()).filename().string());
    return what + QStringLiteral("  ") + player.positionText();
}

}  // namespace

void registerPreviewCommands(CWQEView& view, QMainWindow& frame, QAction* menuItem,
                             CPhrasePlayer* player) {
    CPhrasePlayer& p = player ? *player : *CPhrasePlayer::shared();
    QString toolTip = p.playToolTip();
    if (p.isAvailable()) {
        toolTip += QLatin1Char(' ') + tr("Space plays and stops, Esc stops.");
        view.setCommandHandler(Command::PlayPhrase, [&view, &p] { togglePlay(view, p); });
    }
    view.setCommandEnabler(Command::PlayPhrase, [&view, &p] {
        return p.isPlaying() || hasPhrasePreview(view.document(), view.selectedPhrase());
    });
    view.setCommandToolTip(Command::PlayPhrase, toolTip);
    if (menuItem) {
        menuItem->setToolTip(toolTip);
        for (QObject* o : menuItem->associatedObjects())
            if (auto* menu = qobject_cast<QMenu*>(o)) menu->setToolTipsVisible(true);
    }
    view.list()->installEventFilter(new PreviewKeys(view, p));

    // The status bar appears with the first preview.
    QObject::connect(&p, &CPhrasePlayer::positionChanged, &frame,
                     [&frame, &p] { frame.statusBar()->showMessage(statusText(p)); });
    QObject::connect(&p, &CPhrasePlayer::stateChanged, &frame, [&view, &frame, &p] {
        if (p.state() != PreviewState::Idle)
            frame.statusBar()->showMessage(statusText(p), p.isPlaying() ? 0 : kFinalStatusMs);
        emit view.commandStateChanged();
    });
}

}  // namespace wqe
