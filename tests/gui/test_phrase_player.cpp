// The phrase player in the editor: the phrase list's Play (Space, Esc, the
// status bar), File Convert's Play button, and what happens without a sound
// device. A test output stands in for the audio device; one test plays
// through the real QAudioSink when the machine has a sound output.
#include <QAudioDevice>
#include <QCheckBox>
#include <QMediaDevices>
#include <QRadioButton>
#include <QStatusBar>

#include "GuiTestSupport.h"
#include "convert/qt/CConvertDlg.h"
#include "convert/qt/CPhrasePlayer.h"
#include "convert/qt/CPlayButton.h"

namespace wqe::test {
namespace {

// Plays what it is told to: pump() pulls frames and, at the end of the data,
// reports everything heard.
class TestOutput : public PreviewOutput {
public:
    explicit TestOutput(bool available) : available_(available) {}
    bool available() const override { return available_; }
    Status start(const PreviewFormat& format, PreviewPlayback& playback) override {
        format_ = format;
        playback_ = &playback;
        played_ = 0;
        return {};
    }
    void stop() override { playback_ = nullptr; }
    std::uint64_t playedFrames() const override { return played_; }

    std::size_t pump(std::size_t frames) {
        if (!playback_) return 0;
        std::vector<std::int16_t> pcm(frames * static_cast<std::size_t>(format_.channels));
        const std::size_t got = playback_->pull(pcm.data(), frames);
        played_ += got;
        if (got == 0 && playback_->pullEnded()) playback_->drained();
        return got;
    }

private:
    bool available_;
    PreviewFormat format_;
    PreviewPlayback* playback_ = nullptr;
    std::uint64_t played_ = 0;
};

struct Player {
    explicit Player(bool available) {
        auto out = std::make_unique<TestOutput>(available);
        output = out.get();
        player = std::make_unique<CPhrasePlayer>(std::move(out));
        CPhrasePlayer::setShared(player.get());
    }
    ~Player() { CPhrasePlayer::setShared(nullptr); }
    TestOutput* output;
    std::unique_ptr<CPhrasePlayer> player;
};

}  // namespace

class PhrasePlayerTest : public QObject {
    Q_OBJECT
private slots:
    void theListPlaysStopsAndSwitchesRows();
    void withoutASoundDeviceNothingPlays();
    void fileConvertPlaysItsSourceFile();
    void playsThroughTheRealAudioOutput();
};

void PhrasePlayerTest::theListPlaysStopsAndSwitchesRows() {
    Player p(true);
    TempDir t;
    Editor e(Language::English);
    e.open(copyDemoCard(t / "card"));
    CPhrasePlayer& player = *p.player;
    CPListCtrl* list = e.app.view()->list();
    list->setFocus();
    auto statusText = [&] { return e.app.mainFrame()->statusBar()->currentMessage(); };

    // Row 1, the KPAC phrase: Space plays it, the status bar names it.
    e.app.view()->showRow(0);
    QVERIFY(e.enabled(Command::PlayPhrase));
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(player.state(), PreviewState::Playing);
    QCOMPARE(player.phrase(), 0);
    QVERIFY(player.file().endsWith("_WQP0001.PHR"));
    QVERIFY2(statusText().startsWith("Phrase 0001  00:00.0 / "), qPrintable(statusText()));
    p.output->pump(4410);

    // Row 2 (the WAV phrase) while row 1 plays: the first stops, the second plays.
    e.app.view()->showRow(1);
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(player.phrase(), 1);
    QCOMPARE(player.state(), PreviewState::Playing);
    // Space on the playing row stops it; so does Esc.
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(player.state(), PreviewState::Stopped);
    QTest::keyClick(list, Qt::Key_Space);
    QTest::keyClick(list, Qt::Key_Escape);
    QCOMPARE(player.state(), PreviewState::Stopped);

    // Played to the end: the status bar keeps the whole length.
    QTest::keyClick(list, Qt::Key_Space);
    while (p.output->pump(5000)) {
    }
    QCOMPARE(player.state(), PreviewState::EndOfData);
    const QString total = player.positionText().section(" / ", 1);
    QCOMPARE(player.positionText(), total + " / " + total);
    QVERIFY2(statusText().startsWith("Phrase 0002  "), qPrintable(statusText()));

    // The pattern phrase has nothing to play.
    e.app.view()->showRow(2);
    QVERIFY(!e.enabled(Command::PlayPhrase));
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(player.state(), PreviewState::EndOfData);

    // A data file that is gone: the fixed message with the file and reason.
    std::filesystem::remove(t / "card" / "_WQP0001.PHR");
    e.app.view()->showRow(0);
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(e.prompter.messages.back(), std::string("The phrase cannot be played."));
    QCOMPARE(e.prompter.errors.back().kind, ErrorKind::NotFound);
    QVERIFY(!player.isPlaying());
}

void PhrasePlayerTest::withoutASoundDeviceNothingPlays() {
    Player p(false);
    TempDir t;
    Editor e(Language::English);
    e.open(copyDemoCard(t / "card"));
    e.app.view()->showRow(0);
    QAction* play = e.app.mainFrame()->action(Command::PlayPhrase);
    QVERIFY(!play->isEnabled());
    QVERIFY(play->toolTip().contains("No sound output device"));
    QTest::keyClick(e.app.view()->list(), Qt::Key_Space);
    QCOMPARE(p.player->state(), PreviewState::Idle);

    CPlayButton button(&e.prompter);
    button.setSource(QString::fromStdString((t / "card" / "_WQP0002.WAV").string()));
    QVERIFY(!button.isEnabled());
    QCOMPARE(button.toolTip(), p.player->unavailableReason());
}

void PhrasePlayerTest::fileConvertPlaysItsSourceFile() {
    Player p(true);
    TempDir t;
    Editor e(Language::English);
    copyDemoCard(t / "card");
    const QString phrase = QString::fromStdString((t / "card" / "_WQP0001.PHR").string());
    {
        CConvertDlg dialog({e.doc(), e.prompter, e.settings, [] {}});
        CPlayButton* play = dialog.playButton();
        QVERIFY(play);
        dialog.decodeRadio()->click();
        dialog.sourceEdit()->setText(phrase);
        QVERIFY(play->isEnabled());
        QCOMPARE(play->text(), QString("Play"));
        QVERIFY(play->toolTip().contains("loops are not simulated"));
        play->click();
        QCOMPARE(p.player->state(), PreviewState::Playing);
        QCOMPARE(p.player->phrase(), -1);
        QCOMPARE(play->text(), QString("Stop"));
        play->click();
        QCOMPARE(p.player->state(), PreviewState::Stopped);
        QCOMPARE(play->text(), QString("Play"));

        // A folder, or a file that is neither kind, has nothing to play.
        dialog.sourceEdit()->setText(QString::fromStdString((t / "card").string()));
        QVERIFY(!play->isEnabled());
        dialog.sourceEdit()->setText(phrase);
        dialog.byFolderBox()->setChecked(true);
        QVERIFY(!play->isEnabled());
        dialog.byFolderBox()->setChecked(false);
        dialog.sourceEdit()->setText(phrase);
        play->click();
        QVERIFY(p.player->isPlaying());
    }
    // Closing the dialog silences it.
    QCOMPARE(p.player->state(), PreviewState::Stopped);
}

void PhrasePlayerTest::playsThroughTheRealAudioOutput() {
    if (QMediaDevices::audioOutputs().isEmpty()) QSKIP("no sound output device on this machine");
    TempDir t;
    copyDemoCard(t / "card");
    CPhrasePlayer player;
    QVERIFY(player.isAvailable());
    const Status played =
        player.play(QString::fromStdString((t / "card" / "_WQP0002.WAV").string()), 30);
    QVERIFY2(played, played ? "" : played.error().message().c_str());
    QTRY_VERIFY_WITH_TIMEOUT(player.state() == PreviewState::EndOfData, 30000);
    QVERIFY(!player.playback().failure());
    QCOMPARE(player.playback().position(), player.playback().totalFrames());

    // The KPAC phrase, stopped once it is heard.
    QVERIFY(player.play(QString::fromStdString((t / "card" / "_WQP0001.PHR").string()), 30));
    QTRY_VERIFY_WITH_TIMEOUT(player.playback().position() > 0, 10000);
    player.stop();
    QCOMPARE(player.state(), PreviewState::Stopped);
}

}  // namespace wqe::test

QTEST_MAIN(wqe::test::PhrasePlayerTest)
#include "test_phrase_player.moc"
