#include "convert/qt/CPhrasePlayer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QIODevice>
#include <QMediaDevices>
#include <QPointer>
#include <QTimer>
#include <cstring>
#include <vector>

namespace wqe {

namespace {

// Sound the sink holds ahead of the speaker: short, so that Stop is heard at
// once and the position shown is what is heard.
constexpr int kSinkBufferMs = 200;
// The longest one pull waits for the decoder (it runs on the GUI thread).
constexpr auto kPullWait = std::chrono::milliseconds(30);
// How often the end of the sound is looked for once everything was pulled.
constexpr int kDrainPollMs = 20;

// The sink's pull device: each read pulls frames from the playback.
class PullDevice : public QIODevice {
public:
    PullDevice(PreviewPlayback& playback, int channels, QObject* parent)
        : QIODevice(parent), playback_(playback), channels_(channels) {}

    bool isSequential() const override { return true; }
    bool atEnd() const override { return playback_.pullEnded(); }
    qint64 bytesAvailable() const override {
        return playback_.pullEnded() ? 0 : frameBytes() * 4096 + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const std::size_t frames = static_cast<std::size_t>(maxSize / frameBytes());
        pcm_.resize(frames * static_cast<std::size_t>(channels_));
        const std::size_t got = playback_.pull(pcm_.data(), frames, kPullWait);
        const qint64 bytes = static_cast<qint64>(got) * frameBytes();
        std::memcpy(data, pcm_.data(), static_cast<std::size_t>(bytes));
        return bytes;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    qint64 frameBytes() const { return 2 * qint64{channels_}; }

    PreviewPlayback& playback_;
    int channels_;
    std::vector<std::int16_t> pcm_;
};

// The system's default audio output through a QAudioSink in pull mode.
class QtAudioOutput : public QObject, public PreviewOutput {
public:
    // Called when the device fails while playing (unplugged, server gone).
    std::function<void()> onLost;

    bool available() const override { return !QMediaDevices::audioOutputs().isEmpty(); }

    Status start(const PreviewFormat& f, PreviewPlayback& playback) override {
        stop();
        const QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) return Error{ErrorKind::Unsupported, {}, "there is no sound output"};
        QAudioFormat format;
        format.setSampleRate(static_cast<int>(f.sampleRate));
        format.setChannelCount(f.channels);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format))
            return Error{ErrorKind::Unsupported,
                         {},
                         "the sound output cannot play " + std::to_string(f.sampleRate) +
                             " Hz with " + std::to_string(f.channels) + " channel(s)"};
        format_ = format;
        playback_ = &playback;
        sink_ = new QAudioSink(device, format, this);
        sink_->setBufferSize(format.bytesForDuration(kSinkBufferMs * 1000));
        device_ = new PullDevice(playback, f.channels, this);
        device_->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        // The sink may report from its own thread: queued to this one, and
        // dropped when it comes from a sink stopped meanwhile.
        const int generation = ++generation_;
        connect(
            sink_, &QAudioSink::stateChanged, this,
            [this, generation](QAudio::State s) {
                if (generation == generation_) onState(s);
            },
            Qt::QueuedConnection);
        sink_->start(device_);
        if (sink_->error() != QAudio::NoError) {
            stop();
            return Error{ErrorKind::Unsupported, {}, "the sound output cannot be opened"};
        }
        return {};
    }

    void stop() override {
        ++generation_;
        drainPoll_.stop();
        playback_ = nullptr;
        if (!sink_) return;
        sink_->disconnect(this);
        sink_->stop();
        sink_->deleteLater();
        device_->deleteLater();
        sink_ = nullptr;
        device_ = nullptr;
    }

    std::uint64_t playedFrames() const override {
        // The sink's processed time is what the server has played out (its
        // read position less the device latency), never past what was written.
        if (!sink_) return 0;
        const qint64 frames = format_.framesForDuration(sink_->processedUSecs());
        return frames > 0 ? static_cast<std::uint64_t>(frames) : 0;
    }

    QtAudioOutput() {
        drainPoll_.setInterval(kDrainPollMs);
        connect(&drainPoll_, &QTimer::timeout, this, [this] { pollDrained(); });
    }

private:
    void onState(QAudio::State state) {
        if (!sink_ || !playback_) return;
        if (state == QAudio::IdleState) {
            if (playback_->pullEnded()) {
                // Everything was pulled; the sink's buffer still sounds.
                drainClock_.start();
                drainPoll_.start();
            } else {
                // The decoder fell behind: pull again shortly.
                QTimer::singleShot(kDrainPollMs, device_, [device = QPointer<QIODevice>(device_)] {
                    if (device) emit device->readyRead();
                });
            }
        } else if (state == QAudio::StoppedState && sink_->error() != QAudio::NoError) {
            if (onLost) onLost();
        }
    }

    void pollDrained() {
        if (!sink_ || !playback_) return drainPoll_.stop();
        if (sink_->bytesFree() >= sink_->bufferSize() ||
            drainClock_.elapsed() > 2 * kSinkBufferMs + 100) {
            drainPoll_.stop();
            playback_->drained();  // stops this output
        }
    }

    QAudioFormat format_;
    PreviewPlayback* playback_ = nullptr;
    QAudioSink* sink_ = nullptr;
    QIODevice* device_ = nullptr;
    QTimer drainPoll_;
    QElapsedTimer drainClock_;
    int generation_ = 0;  // counts the sinks started and stopped
};

QPointer<CPhrasePlayer>& sharedPlayer() {
    static QPointer<CPhrasePlayer> player;
    return player;
}

}  // namespace

CPhrasePlayer::CPhrasePlayer(std::unique_ptr<PreviewOutput> output, QObject* parent)
    : QObject(parent),
      output_([&]() -> std::unique_ptr<PreviewOutput> {
          if (output) return std::move(output);
          auto qt = std::make_unique<QtAudioOutput>();
          qt->onLost = [this] { stop(); };
          return qt;
      }()),
      playback_(*output_) {
    ticker_ = new QTimer(this);
    ticker_->setInterval(100);
    connect(ticker_, &QTimer::timeout, this, &CPhrasePlayer::positionChanged);
    playback_.onStateChanged = [this] {
        if (playback_.isPlaying())
            ticker_->start();
        else
            ticker_->stop();
        emit stateChanged();
    };
}

CPhrasePlayer::~CPhrasePlayer() { playback_.onStateChanged = nullptr; }

CPhrasePlayer* CPhrasePlayer::shared() {
    QPointer<CPhrasePlayer>& player = sharedPlayer();
    if (!player) player = new CPhrasePlayer(nullptr, QCoreApplication::instance());
    return player;
}

void CPhrasePlayer::setShared(CPhrasePlayer* player) { sharedPlayer() = player; }

bool CPhrasePlayer::isAvailable() const { return output_->available(); }

QString CPhrasePlayer::unavailableReason() const {
    return isAvailable() ? QString()
                         : tr("No sound output device is available, so phrases cannot be played.");
}

QString CPhrasePlayer::playToolTip() const {
    if (!isAvailable()) return unavailableReason();
    return tr(
        "Plays the data file once at the phrase's volume; start and end points and loops "
        "are not simulated.");
}

Status CPhrasePlayer::play(const QString& file, int volumePercent, int phrase) {
    // A new request silences what plays, even when the new one fails.
    stop();
    const std::filesystem::path path = file.toStdString();
    if (!isAvailable())
        return Error{ErrorKind::Unsupported, path.string(), "there is no sound output device"};
    auto source = openPreviewSource(path, volumePercent);
    if (!source) return source.error();
    Status started = playback_.play(std::move(*source), phrase);
    if (!started) {
        Error error = started.error();
        error.file = path.string();
        return error;
    }
    return {};
}

void CPhrasePlayer::stop() { playback_.stop(); }

QString CPhrasePlayer::file() const { return QString::fromStdString(playback_.path().string()); }

QString CPhrasePlayer::positionText() const {
    return QString::fromStdString(playback_.positionText());
}

}  // namespace wqe
