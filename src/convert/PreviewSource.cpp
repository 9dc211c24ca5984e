#include "convert/PreviewSource.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "card/CWQEDoc.h"
#include "card/FileIO.h"
#include "card/PhrasePrm.h"
#include "codec/ByteIo.h"
#include "codec/KpacDecoder.h"
#include "stream/LWaveFile.h"

namespace wqe {

namespace fs = std::filesystem;

namespace {

// A reader's error, naming the file it read.
Error withFile(Error e, const fs::path& path) {
    if (e.file.empty()) e.file = path.string();
    return e;
}

constexpr std::size_t kSampleBytes = 2;  // the preview's PCM: signed 16-bit, little-endian
// Decoded PCM kept ahead of playback: about five seconds of 48 kHz stereo,
// enough to ride out a busy machine, small enough for any phrase length.
constexpr std::size_t kDecodedAheadBytes = std::size_t{1} << 20;

std::int16_t sampleAt(const std::uint8_t* p) { return static_cast<std::int16_t>(p[0] | p[1] << 8); }

// The decoder's output as it comes: the 44-byte WAV header it writes first
// is skipped; the PCM bytes queue in a ring of bounded size. The decoder
// waits while the ring is full; a closed pipe refuses further bytes, which
// ends the decoder's run.
class PcmPipe : public kpac::ByteSink {
public:
    PcmPipe() : ring_(kDecodedAheadBytes) {}

    bool write(const std::uint8_t* src, std::size_t count) override {
        std::unique_lock lock(mutex_);
        const std::size_t skip = std::min(count, headerLeft_);
        src += skip;
        count -= skip;
        headerLeft_ -= skip;
        while (count) {
            space_.wait(lock, [this] { return closed_ || size_ < ring_.size(); });
            if (closed_) return false;
            const std::size_t tail = (head_ + size_) % ring_.size();
            const std::size_t n = std::min({count, ring_.size() - size_, ring_.size() - tail});
            std::memcpy(ring_.data() + tail, src, n);
            size_ += n;
            src += n;
            count -= n;
            data_.notify_all();
        }
        return true;
    }
    // The decoder patches its WAV header when the file held fewer blocks
    // than announced; the header is not played.
    bool writeAt(std::uint64_t, const std::uint8_t*, std::size_t) override { return true; }

    // The decoder ended; `error` is empty when it decoded everything.
    void finish(std::string error) {
        const std::lock_guard lock(mutex_);
        finished_ = true;
        error_ = std::move(error);
        data_.notify_all();
    }
    void close() {
        const std::lock_guard lock(mutex_);
        closed_ = true;
        space_.notify_all();
    }

    // Up to `max` bytes in whole units of `unit`, waiting up to `wait` for
    // some; `ended` once the decoder finished and everything was taken.
    std::size_t take(std::uint8_t* dst, std::size_t max, std::size_t unit,
                     std::chrono::milliseconds wait, bool& ended) {
        std::unique_lock lock(mutex_);
        const auto ready = [&] { return finished_ || size_ >= unit; };
        if (wait == kPreviewWaitForever)
            data_.wait(lock, ready);
        else
            data_.wait_for(lock, wait, ready);
        std::size_t n = std::min(max, size_);
        n -= n % unit;
        for (std::size_t done = 0; done < n;) {
            const std::size_t piece = std::min(n - done, ring_.size() - head_);
            std::memcpy(dst + done, ring_.data() + head_, piece);
            head_ = (head_ + piece) % ring_.size();
            done += piece;
        }
        size_ -= n;
        if (n) space_.notify_all();
        ended = finished_ && size_ < unit;
        return n;
    }
    std::string error() const {
        const std::lock_guard lock(mutex_);
        return error_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable data_, space_;
    std::vector<std::uint8_t> ring_;
    std::size_t head_ = 0, size_ = 0;
    std::size_t headerLeft_ = kpac::kWaveHeaderSize;
    bool finished_ = false, closed_ = false;
    std::string error_;
};

// A KPAC phrase file, decoded as it plays.
class KpacPreview final : public PreviewSource {
public:
    KpacPreview(const fs::path& path, const kpac::Header& header, int volume,
                std::unique_ptr<kpac::FileSource> file)
        : PreviewSource(path, {header.sampleRate(), header.channels}, header.frames(), volume),
          file_(std::move(file)) {
        progress_.cancel = &cancel_;
        decoder_ = std::thread([this] { decode(); });
    }
    ~KpacPreview() override {
        cancel_ = true;
        pipe_.close();
        decoder_.join();
    }

private:
    void decode() {
        // Nothing may escape the thread: a failure ends the data with its reason.
        try {
            std::string warning;
            auto result = kpac::decode(*file_, pipe_, static_cast<int>(kSampleBytes), &progress_,
                                       {}, &warning);
            pipe_.finish(result ? warning : result.error().reason);
        } catch (const std::exception& e) {
            pipe_.finish(std::string("cannot be decoded: ") + e.what());
        }
    }

    std::size_t readFrames(std::int16_t* dst, std::size_t frames, std::chrono::milliseconds wait,
                           bool& ended) override {
        const std::size_t frameBytes = kSampleBytes * static_cast<std::size_t>(format().channels);
        bytes_.resize(frames * frameBytes);
        const std::size_t got = pipe_.take(bytes_.data(), bytes_.size(), frameBytes, wait, ended);
        for (std::size_t k = 0; k < got / kSampleBytes; ++k)
            dst[k] = sampleAt(bytes_.data() + kSampleBytes * k);
        if (ended) {
            // The decoder's error, or its word that the file held fewer
            // blocks than it announced.
            if (std::string why = pipe_.error(); !why.empty())
                setFailure({ErrorKind::BadFormat, path().string(), std::move(why)});
        }
        return got / frameBytes;
    }

    std::unique_ptr<kpac::FileSource> file_;
    PcmPipe pipe_;
    kpac::Progress progress_;
    std::atomic<bool> cancel_{false};
    std::vector<std::uint8_t> bytes_;
    std::thread decoder_;  // last: it starts once everything it uses exists
};

// The header reader's input over the reader that then reads the samples.
class ReaderInput : public ByteInput {
public:
    explicit ReaderInput(kpac::ByteReader& reader) : reader_(reader) {}
    std::size_t read(std::uint8_t* dst, std::size_t count) override {
        return reader_.read(dst, count);
    }
    bool skip(std::uint64_t count) override { return reader_.skip(count); }

private:
    kpac::ByteReader& reader_;
};

// A WAV file's data chunk, read as it plays.
class WavPreview final : public PreviewSource {
public:
    WavPreview(const fs::path& path, PreviewFormat format, std::uint64_t total, int volume,
               int width, std::unique_ptr<kpac::FileSource> file,
               std::unique_ptr<kpac::ByteReader> reader)
        : PreviewSource(path, format, total, volume),
          width_(width),
          left_(total),
          file_(std::move(file)),
          reader_(std::move(reader)) {}

private:
    std::size_t readFrames(std::int16_t* dst, std::size_t frames, std::chrono::milliseconds,
                           bool& ended) override {
        const std::size_t channels = static_cast<std::size_t>(format().channels);
        const std::size_t frameBytes = static_cast<std::size_t>(width_) * channels;
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(frames, left_));
        bytes_.resize(want * frameBytes);
        const std::size_t got = reader_->read(bytes_.data(), bytes_.size()) / frameBytes;
        // 24-bit samples keep their top two bytes.
        const std::size_t skip = static_cast<std::size_t>(width_) - kSampleBytes;
        for (std::size_t k = 0; k < got * channels; ++k)
            dst[k] = sampleAt(bytes_.data() + static_cast<std::size_t>(width_) * k + skip);
        left_ -= got;
        if (got < want) {
            // The file was as long as its size said when it was opened.
            setFailure(
                {ErrorKind::ReadFailed, path().string(), "cannot be read to the end of its data"});
            left_ = 0;
        }
        ended = left_ == 0;
        return got;
    }

    int width_;
    std::uint64_t left_;
    std::unique_ptr<kpac::FileSource> file_;
    std::unique_ptr<kpac::ByteReader> reader_;
    std::vector<std::uint8_t> bytes_;
};

Result<std::unique_ptr<kpac::FileSource>> openFile(const fs::path& path) {
    auto file = std::make_unique<kpac::FileSource>();
    if (Status opened = file->begin(path); !opened) return opened.error();
    return file;
}

Result<std::unique_ptr<PreviewSource>> openWav(const fs::path& path, int volume) {
    auto file = openFile(path);
    if (!file) return file.error();
    auto reader = std::make_unique<kpac::ByteReader>(**file);
    ReaderInput input(*reader);
    const auto info = readWaveHeader(input);
    if (!info) return withFile(info.error(), path);
    const WaveFormat& f = info->format;
    const int width = (f.bitsPerSample + 7) / 8;
    if (f.formatTag != kWaveFormatPcm || (width != 2 && width != 3))
        return Error{ErrorKind::Unsupported, path.string(),
                     "only 16- and 24-bit PCM WAV files can be played (format tag " +
                         std::to_string(f.formatTag) + ", " + std::to_string(f.bitsPerSample) +
                         " bits)"};
    if (f.channels < 1 || f.channels > 2 || f.sampleRate == 0 || f.blockAlign != width * f.channels)
        return Error{ErrorKind::Unsupported, path.string(),
                     std::to_string(f.channels) + " channels at " + std::to_string(f.sampleRate) +
                         " Hz with " + std::to_string(f.blockAlign) +
                         "-byte frames cannot be played"};
    // Only the frames the file holds: a data chunk may claim more.
    std::error_code ec;
    const std::uint64_t size = fs::file_size(path, ec);
    const std::uint64_t held = ec || size < info->dataOffset ? 0 : size - info->dataOffset;
    const std::uint64_t frames = std::min<std::uint64_t>(info->dataSize, held) / f.blockAlign;
    return std::unique_ptr<PreviewSource>(
        std::make_unique<WavPreview>(path, PreviewFormat{f.sampleRate, f.channels}, frames, volume,
                                     width, std::move(*file), std::move(reader)));
}

bool startsWith(const std::uint8_t* bytes, std::size_t size, const char (&magic)[5]) {
    return size >= 4 && std::memcmp(bytes, magic, 4) == 0;
}

}  // namespace

PreviewSource::PreviewSource(fs::path path, PreviewFormat format, std::uint64_t total, int volume)
    : path_(std::move(path)), format_(format), total_(total), volume_(volume) {}

std::size_t PreviewSource::read(std::int16_t* dst, std::size_t frames,
                                std::chrono::milliseconds wait) {
    if (ended_ || frames == 0) return 0;
    bool ended = false;
    const std::size_t got = readFrames(dst, frames, wait, ended);
    if (volume_ != kPreviewFullVolume) {
        const std::size_t samples = got * static_cast<std::size_t>(format_.channels);
        for (std::size_t k = 0; k < samples; ++k) dst[k] = applyPreviewVolume(dst[k], volume_);
    }
    position_ += got;
    if (ended) {
        ended_ = true;
        total_ = std::min(total_, position_);
    }
    return got;
}

std::int16_t applyPreviewVolume(std::int16_t sample, int volumePercent) {
    return static_cast<std::int16_t>(sample * volumePercent / kPreviewFullVolume);
}

Result<std::unique_ptr<PreviewSource>> openPreviewSource(const fs::path& path, int volumePercent) {
    const int volume = std::clamp(volumePercent, 0, kPreviewFullVolume);
    auto file = openFile(path);
    if (!file) return file.error();
    std::uint8_t start[kpac::kHeaderSize];
    const std::size_t got = kpac::ByteReader(**file).read(start, sizeof start);
    file->reset();
    if (startsWith(start, got, "QWhP")) {
        const auto header = kpac::parseHeader(std::span<const std::uint8_t>(start, got));
        if (!header) return withFile(header.error(), path);
        auto decoded = openFile(path);
        if (!decoded) return decoded.error();
        return std::unique_ptr<PreviewSource>(
            std::make_unique<KpacPreview>(path, *header, volume, std::move(*decoded)));
    }
    if (startsWith(start, got, "RIFF")) return openWav(path, volume);
    if (startsWith(start, got, "WQPh"))
        return Error{ErrorKind::Unsupported, path.string(),
                     "a pattern or song phrase has no audio of its own to play"};
    if (startsWith(start, got, "MThd"))
        return Error{ErrorKind::Unsupported, path.string(), "a MIDI file cannot be played here"};
    return Error{ErrorKind::BadFormat, path.string(), "neither a KPAC phrase file nor a WAV file"};
}

std::string previewTimeText(std::uint64_t frames, std::uint32_t sampleRate) {
    const std::uint64_t tenths = sampleRate ? frames * 10 / sampleRate : 0;
    char text[32];
    std::snprintf(text, sizeof text, "%02llu:%02llu.%llu",
                  static_cast<unsigned long long>(tenths / 600),
                  static_cast<unsigned long long>(tenths / 10 % 60),
                  static_cast<unsigned long long>(tenths % 10));
    return text;
}

bool hasPhrasePreview(const CWQEDoc& doc, int index) {
    return doc.isLoaded() && index >= 0 && index < doc.phraseCount() &&
           CPhrasePrm::create(doc.phr(), index)->kind() == kTypeAudio;
}

std::optional<PhrasePreview> phrasePreview(const CWQEDoc& doc, int index) {
    if (!hasPhrasePreview(doc, index)) return std::nullopt;
    const auto record = CPhrasePrm::create(doc.phr(), index);
    const fs::path named(record->dataFileName(doc.folderPrefix(), index));
    return PhrasePreview{findCardFile(named.parent_path(), named.filename().string()),
                         static_cast<int>(doc.phr().getVolume(index))};
}

// ---------------------------------------------------------------------------
// PreviewPlayback

PreviewPlayback::~PreviewPlayback() {
    if (state_ == PreviewState::Playing) output_.stop();
}

Status PreviewPlayback::play(std::unique_ptr<PreviewSource> source, int phrase) {
    // Switching: the preview under way stops without passing through Stopped.
    if (state_ == PreviewState::Playing) output_.stop();
    source_ = std::move(source);
    phrase_ = phrase;
    path_ = source_->path();
    format_ = source_->format();
    total_ = source_->totalFrames();
    read_ = heard_ = 0;
    failure_.reset();
    state_ = PreviewState::Playing;
    if (Status started = output_.start(format_, *this); !started) {
        release();
        setState(PreviewState::Stopped);
        return started;
    }
    // An output may have played everything already (then drained() told).
    if (state_ == PreviewState::Playing && onStateChanged) onStateChanged();
    return {};
}

void PreviewPlayback::stop() {
    if (state_ != PreviewState::Playing) return;
    output_.stop();
    heard_ = position();
    release();
    setState(PreviewState::Stopped);
}

std::size_t PreviewPlayback::pull(std::int16_t* dst, std::size_t frames,
                                  std::chrono::milliseconds wait) {
    if (state_ != PreviewState::Playing || !source_) return 0;
    const std::size_t got = source_->read(dst, frames, wait);
    read_ += got;
    if (source_->atEnd()) {
        total_ = source_->totalFrames();
        failure_ = source_->failure();
    }
    return got;
}

bool PreviewPlayback::pullEnded() const { return !source_ || source_->atEnd(); }

void PreviewPlayback::drained() {
    if (state_ != PreviewState::Playing || !pullEnded()) return;
    output_.stop();
    heard_ = total_;
    release();
    setState(PreviewState::EndOfData);
}

std::uint64_t PreviewPlayback::position() const {
    if (state_ != PreviewState::Playing) return heard_;
    return std::min(output_.playedFrames(), read_);
}

std::string PreviewPlayback::positionText() const {
    return previewTimeText(position(), format_.sampleRate) + " / " +
           previewTimeText(total_, format_.sampleRate);
}

void PreviewPlayback::setState(PreviewState state) {
    state_ = state;
    if (onStateChanged) onStateChanged();
}

void PreviewPlayback::release() { source_.reset(); }

}  // namespace wqe
