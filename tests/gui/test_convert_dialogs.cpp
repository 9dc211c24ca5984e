// File Convert, WAV Import and the target phrase number dialog, driven
// through their controls on the offscreen platform; the phrase player from
// the phrase list (Space, Esc, the status bar) and File Convert's Play
// button. A test output stands in for the audio device; one test plays
// through the real QAudioSink when the machine has a sound output.
#include <QAudioDevice>
#include <QCheckBox>
#include <QListWidget>
#include <QMediaDevices>
#include <QRadioButton>
#include <QStandardPaths>
#include <QStatusBar>
#include <cmath>

#include "GuiTestSupport.h"
#include "codec/TestSignals.h"
#include "convert/WavImport.h"
#include "convert/qt/CConvertDlg.h"
#include "convert/qt/CPhrOpenDlg.h"
#include "convert/qt/CPhrasePlayer.h"
#include "convert/qt/CPlayButton.h"

using namespace wqe;
using namespace wqe::test;
namespace fs = std::filesystem;

namespace {

Bytes toneWav(int channels, std::uint32_t rate, std::size_t frames) {
    std::vector<std::int32_t> s(frames * static_cast<std::size_t>(channels));
    for (std::size_t k = 0; k < s.size(); ++k)
        s[k] = static_cast<std::int32_t>(8000 * std::sin(0.01 * static_cast<double>(k)));
    return makeWav(channels, rate, 16, s);
}

std::vector<std::string> namesIn(const fs::path& folder) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(folder)) out.push_back(e.path().filename());
    std::sort(out.begin(), out.end());
    return out;
}

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

class ConvertDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void convertsAFolderIntoTheCardFolder();
    void cancelHalfWayKeepsOnlyWholeFiles();
    void targetNumberDialogListsAndDoubleClick();
    void wavImportThroughItsDialog();
    void theListPlaysStopsAndSwitchesRows();
    void withoutASoundDeviceNothingPlays();
    void fileConvertPlaysItsSourceFile();
    void playsThroughTheRealAudioOutput();
};

void ConvertDialogsTest::convertsAFolderIntoTheCardFolder() {
    TempDir tmp;
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "card"));
    QVERIFY(e.enabled(Command::FileConvert));
    const fs::path card = tmp / "card";
    fs::create_directory(tmp / "src");
    for (const char* name : {"b.wav", "a.wav", "c.wav"})
        writeBytes(tmp / "src" / name, toneWav(2, 32000, 4000));
    // Which numbers the files take is the folder run's rule; here three more files.
    const std::size_t before = namesIn(card).size();

    int cleanups = 0;
    e.prompter = ScriptedPrompter({Answer::Yes});
    CConvertDlg dialog({e.doc(), e.prompter, e.settings, [&] { ++cleanups; }}, e.app.mainFrame());
    dialog.show();
    dialog.encodeRadio()->click();
    dialog.byFolderBox()->setChecked(true);
    QVERIFY(dialog.sourceEdit()->isReadOnly());
    QVERIFY(!dialog.bitList()->isEnabled());
    dialog.sourceEdit()->setText(QString::fromStdString((tmp / "src").string()));
    dialog.targetEdit()->setText(QString::fromStdString(card.string()));
    dialog.modeList()->setCurrentText("MODE 2");
    dialog.startButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isRunning(), 60000);
    QCOMPARE(dialog.shownPercent(), 100);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(namesIn(card).size(), before + 3);
    QCOMPARE(e.prompter.questions,
             std::vector<std::string>{"Conversion succeeded. (3 file(s))\nCleanup the Card Info?"});
    QCOMPARE(cleanups, 1);
    QCOMPARE(e.settings.value(kKeyConvertWavePath), (tmp / "src").string());
    QCOMPARE(e.settings.value(kKeyConvertPhrasePath), card.string());
}

void ConvertDialogsTest::cancelHalfWayKeepsOnlyWholeFiles() {
    TempDir tmp;
    fs::create_directory(tmp / "src");
    fs::create_directory(tmp / "out");
    for (int k = 0; k < 16; ++k)
        writeBytes(tmp / "src" / ("t" + std::to_string(k + 10) + ".wav"),
                   toneWav(2, 48000, 48000 * 10));
    Editor e(Language::English);
    e.prompter = ScriptedPrompter();
    CConvertDlg dialog({e.doc(), e.prompter, e.settings, {}});
    dialog.show();
    dialog.encodeRadio()->click();
    dialog.byFolderBox()->setChecked(true);
    dialog.sourceEdit()->setText(QString::fromStdString((tmp / "src").string()));
    dialog.targetEdit()->setText(QString::fromStdString((tmp / "out").string()));
    dialog.modeList()->setCurrentText("MODE 2");
    dialog.startButton()->click();
    QVERIFY(dialog.isRunning());
    QCOMPARE(dialog.startButton()->text(), QString("Cancel"));
    QVERIFY(!dialog.sourceEdit()->isEnabled());
    // Cancelled at once: sixteen 10-second files take far longer than this
    // on any machine, so the run is surely half-way.
    dialog.startButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isRunning(), 60000);

    // Only finished phrase files are left, as many as the message says.
    const auto names = namesIn(tmp / "out");
    QVERIFY(names.size() < 16);
    for (const auto& n : names) QVERIFY2(n.starts_with("_WQP") && n.ends_with(".PHR"), n.c_str());
    QCOMPARE(e.prompter.messages.back(),
             "Conversion cancelled. (" + std::to_string(names.size()) + " file(s) converted)");
}

void ConvertDialogsTest::targetNumberDialogListsAndDoubleClick() {
    TempDir tmp;
    for (const char* n : {"_WQP0300.WAV", "_WQP0007.PHR", "_wqp0002.mid", "notes.txt"})
        writeBytes(tmp / n, {1});
    fs::create_directory(tmp / "_WQP0009.PHR");  // a folder is no phrase file
    CPhrOpenDlg dialog("PHR", 250, QString::fromStdString(tmp.str()));
    QCOMPARE(dialog.numberList()->count(), 250);
    QCOMPARE(dialog.numberList()->itemText(249), QString("0250"));
    QStringList files;
    for (int k = 0; k < dialog.fileList()->count(); ++k)
        files << dialog.fileList()->item(k)->text();
    files.sort();
    QCOMPARE(files, QStringList({"_WQP0007.PHR", "_WQP0300.WAV", "_wqp0002.mid"}));
    QVERIFY(dialog.selectedFileText().endsWith("/_WQP0001.PHR"));

    const struct {
        const char* file;
        const char* number;
    } clicks[] = {{"_WQP0007.PHR", "0007"}, {"_WQP0300.WAV", "0250"}, {"_wqp0002.mid", "0002"}};
    dialog.show();
    for (const auto& c : clicks) {
        QListWidgetItem* item = dialog.fileList()->findItems(c.file, Qt::MatchExactly).front();
        const QRect rect = dialog.fileList()->visualItemRect(item);
        QTest::mouseClick(dialog.fileList()->viewport(), Qt::LeftButton, {}, rect.center());
        QTest::mouseDClick(dialog.fileList()->viewport(), Qt::LeftButton, {}, rect.center());
        QCOMPARE(dialog.numberList()->currentText(), QString(c.number));
    }
    dialog.accept();
    QCOMPARE(dialog.chosenPath(), QString::fromStdString((tmp / "_WQP0002.PHR").string()));

    CPhrOpenDlg documents("WAV", 1000, QString());
    QCOMPARE(documents.workingFolder(),
             QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + "/");
}

void ConvertDialogsTest::wavImportThroughItsDialog() {
    TempDir tmp;
    Editor e(Language::English);
    e.open(copyDemoCard(tmp / "card"));
    QVERIFY(e.enabled(Command::WavImport));
    writeBytes(tmp / "in.wav", toneWav(2, 44100, 1000));
    e.prompter = ScriptedPrompter({Answer::No});
    int cleanups = 0;
    CWavImportDlg dialog({e.doc(), e.prompter, e.settings, [&] { ++cleanups; }});
    dialog.show();
    dialog.byFolderBox()->setChecked(false);
    QVERIFY(!dialog.encodeRadio() && !dialog.modeList());
    const fs::path target = tmp / "card" / "_WQP0999.WAV";
    dialog.sourceEdit()->setText(QString::fromStdString((tmp / "in.wav").string()));
    dialog.targetEdit()->setText(QString::fromStdString(target.string()));
    dialog.startButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isRunning(), 60000);
    QCOMPARE(fs::file_size(target), std::uintmax_t{44 + 4032});  // padded to 63 blocks
    QCOMPARE(dialog.shownPercent(), 100);
    QCOMPARE(e.prompter.questions,
             std::vector<std::string>{"Conversion succeeded.\nCleanup the Card Info?"});
    QCOMPARE(cleanups, 0);  // answered No
}

void ConvertDialogsTest::theListPlaysStopsAndSwitchesRows() {
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

    // Played to the end: the status bar still names the phrase.
    QTest::keyClick(list, Qt::Key_Space);
    while (p.output->pump(5000)) {
    }
    QCOMPARE(player.state(), PreviewState::EndOfData);
    QVERIFY2(statusText().startsWith("Phrase 0002  "), qPrintable(statusText()));

    // The pattern phrase has nothing to play.
    e.app.view()->showRow(2);
    QVERIFY(!e.enabled(Command::PlayPhrase));
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(player.state(), PreviewState::EndOfData);

    // A data file that is gone: the fixed message with the file and reason.
    fs::remove(t / "card" / "_WQP0001.PHR");
    e.app.view()->showRow(0);
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(e.prompter.messages.back(), std::string("The phrase cannot be played."));
    QCOMPARE(e.prompter.errors.back().kind, ErrorKind::NotFound);
    QVERIFY(!player.isPlaying());

    // A row that plays stops when the card goes.
    e.app.view()->showRow(1);
    QTest::keyClick(list, Qt::Key_Space);
    QVERIFY(player.isPlaying());
    e.doc().close();
    QCOMPARE(player.state(), PreviewState::Stopped);
}

void ConvertDialogsTest::withoutASoundDeviceNothingPlays() {
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

void ConvertDialogsTest::fileConvertPlaysItsSourceFile() {
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

void ConvertDialogsTest::playsThroughTheRealAudioOutput() {
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

QTEST_MAIN(ConvertDialogsTest)
#include "test_convert_dialogs.moc"
