#include "convert/AudioInput.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include "card/FileIO.h"
#include "codec/KpacHeader.h"
#include "codec/WavInput.h"
#include "convert/FileConvert.h"
#include "stream/LWaveFile.h"

namespace wqe {

namespace {

std::atomic<AudioBackend*> gBackend{nullptr};

constexpr std::size_t kPieceFrames = 4096;  // source frames converted per step
constexpr std::uint64_t kMaxDataSize = 0xFFFFFFFFull - (kCanonicalWaveHeaderSize - 8);

// A WAV file through the program's own reader: the data chunk's frames, no
// byte beyond it.
class WavReader : public AudioReader {
public:
    static Result<std::unique_ptr<AudioReader>> open(std::unique_ptr<kpac::ByteSource> source,
                                                     const fs::path& path) {
        auto r = std::unique_ptr<WavReader>(new WavReader);
        r->source_ = std::move(source);
        r->reader_.emplace(*r->source_);
        auto samples = kpac::readWavSamples(*r->reader_);
        if (!samples) return inFile(samples.error(), path);
        r->path_ = path;
        r->samples_ = *samples;
        r->left_ = samples->frames();
        r->format_.sampleRate = samples->sampleRate;
        r->format_.channels = samples->channels;
        r->format_.frames = samples->frames();
        r->format_.samples = samples->describe();
        r->format_.precisionBits =
            samples->coding == kpac::SampleCoding::Float ? 24 : std::min(8 * samples->width, 24);
        if (samples->coding == kpac::SampleCoding::Int && samples->width == 4)
            r->format_.precisionBits = 32;
        return std::unique_ptr<AudioReader>(std::move(r));
    }
    const AudioFormat& format() const override { return format_; }
    Result<std::size_t> read(float* out, std::size_t frames) override {
        const auto n = static_cast<std::size_t>(std::min<std::uint64_t>(frames, left_));
        const auto align = static_cast<std::size_t>(samples_.blockAlign);
        raw_.resize(n * align);
        const std::size_t got = reader_->read(raw_.data(), raw_.size()) / align;
        kpac::samplesToFloat(samples_, raw_.data(), got, out);
        // A data chunk that claims more than the file holds ends early; the
        // converted stream pads it with silence, as the encoder does.
        left_ = got < n ? 0 : left_ - got;
        return got;
    }

private:
    WavReader() = default;
    fs::path path_;
    std::unique_ptr<kpac::ByteSource> source_;
    std::optional<kpac::ByteReader> reader_;
    kpac::WavSamples samples_;
    AudioFormat format_;
    std::uint64_t left_ = 0;
    std::vector<std::uint8_t> raw_;
};

}  // namespace

std::size_t RewindableFile::read(std::uint8_t* dst, std::size_t count) {
    std::size_t n = 0;
    if (replaying_ && at_ < head_.size()) {
        n = std::min(count, head_.size() - at_);
        std::memcpy(dst, head_.data() + at_, n);
        at_ += n;
    }
    if (n < count) {
        const std::size_t got = file_.read(dst + n, count - n);
        if (!replaying_) head_.insert(head_.end(), dst + n, dst + n + got);
        n += got;
    }
    return n;
}

void RewindableFile::rewind() {
    replaying_ = true;
    at_ = 0;
}

bool RewindableFile::startsWithRiff() const {
    return head_.size() >= 4 && std::memcmp(head_.data(), "RIFF", 4) == 0;
}

Result<std::unique_ptr<AudioReader>> openWavInput(std::unique_ptr<kpac::ByteSource> source,
                                                  const fs::path& path) {
    return WavReader::open(std::move(source), path);
}

bool hasWavExtension(const fs::path& path) {
    return upperAscii(path.extension().string()) == ".WAV";
}

void setAudioBackend(AudioBackend* backend) { gBackend.store(backend); }
AudioBackend* audioBackend() { return gBackend.load(); }

std::optional<std::uint32_t> parseDeviceRate(std::string_view text) {
    for (const std::uint32_t rate : kpac::kGradeRates)
        if (text == std::to_string(rate)) return rate;
    return std::nullopt;
}

std::optional<MixDown> parseMixDown(std::string_view text) {
    const std::string upper = upperAscii(text);
    if (upper == "MONO") return MixDown::Mono;
    if (upper == "STEREO") return MixDown::Stereo;
    return std::nullopt;
}

std::uint32_t deviceRateFor(std::uint32_t sourceRate) {
    for (const std::uint32_t rate : kpac::kGradeRates)
        if (rate >= sourceRate) return rate;
    return kpac::kGradeRates.back();
}

std::string InputPlan::summary() const {
    std::string text;
    for (const std::string& step : steps) {
        if (!text.empty()) text += ", ";
        text += step;
    }
    return text;
}

Result<InputPlan> planInput(const AudioFormat& source, const InputOptions& options, int maxBits) {
    auto refuse = [](std::string reason) { return Error{ErrorKind::Unsupported, {}, reason}; };
    if (source.channels <= 0) return refuse("the file gives 0 channels");
    if (source.sampleRate == 0) return refuse("the file gives a sample rate of 0 Hz");
    InputPlan plan;
    if (!source.isWav()) plan.steps.push_back("decoded " + source.container);

    plan.channels = source.channels;
    if (options.mix == MixDown::Mono) plan.channels = 1;
    if (options.mix == MixDown::Stereo) plan.channels = std::min(source.channels, 2);
    if (plan.channels > 2)
        return refuse(std::to_string(source.channels) +
                      " channels; only mono and stereo are encoded unless a mix-down to mono "
                      "or stereo is asked for");
    if (plan.channels != source.channels)
        plan.steps.push_back("mixed " + std::to_string(source.channels) + " channels → " +
                             (plan.channels == 1 ? "mono" : "stereo"));

    plan.rate = options.rate ? *options.rate : deviceRateFor(source.sampleRate);
    if (!kpac::gradeOfRate(plan.rate))
        return refuse(std::to_string(plan.rate) + " Hz is not one of " + kpac::gradeRateList());
    if (plan.rate != source.sampleRate)
        plan.steps.push_back("resampled " + std::to_string(source.sampleRate) + " Hz → " +
                             std::to_string(plan.rate) + " Hz");

    plan.bits = maxBits >= 24 && source.precisionBits > 16 ? 24 : 16;
    const std::string out = std::to_string(plan.bits) + "-bit";
    if (source.samples != out) plan.steps.push_back(source.samples + " → " + out);
    return plan;
}

Result<std::unique_ptr<AudioReader>> openAudioInput(const fs::path& path, AudioBackend* backend) {
    std::error_code ec;
    if (!fs::exists(path, ec)) return Error{ErrorKind::NotFound, path.string(), "does not exist"};
    auto file = std::make_unique<RewindableFile>();
    if (Status opened = file->open(path); !opened) return opened.error();
    std::uint8_t magic[4];
    (void)file->read(magic, sizeof magic);
    file->rewind();
    if (hasWavExtension(path) || file->startsWithRiff() || !backend)
        return WavReader::open(std::move(file), path);
    return backend->open(path);
}

std::vector<fs::path> audioFilesInFolder(const fs::path& folder, std::string& error,
                                         AudioBackend* backend) {
    std::vector<std::string> patterns{"*.WAV"};
    if (backend)
        for (const std::string& p : backend->patterns()) patterns.push_back(p);
    std::vector<fs::path> files;
    for (const std::string& pattern : patterns) {
        for (fs::path& p : filesInFolder(folder, pattern, error)) {
            if (std::find(files.begin(), files.end(), p) == files.end())
                files.push_back(std::move(p));
        }
        if (!error.empty()) break;
    }
    std::sort(files.begin(), files.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
    return files;
}

// ---------------------------------------------------------------------------

Result<std::unique_ptr<ConvertedWave>> ConvertedWave::create(std::unique_ptr<AudioReader> reader,
                                                             const InputPlan& plan,
                                                             AudioBackend* backend) {
    const AudioFormat& source = reader->format();
    if (source.frames == kUnknownFrameCount)
        return Error{ErrorKind::Unsupported, {}, "the file does not tell its length"};
    std::unique_ptr<Resampler> resampler;
    if (plan.rate != source.sampleRate) {
        // Without a resampler only the device rates can be taken.
        if (!backend)
            return Error{ErrorKind::Unsupported,
                         {},
                         "sample rate " + std::to_string(source.sampleRate) + " Hz is not one of " +
                             kpac::gradeRateList()};
        auto made = backend->resampler(source.sampleRate, plan.rate, plan.channels);
        if (!made) return made.error();
        resampler = std::move(*made);
    }
    auto wave = std::unique_ptr<ConvertedWave>(
        new ConvertedWave(std::move(reader), plan, std::move(resampler)));
    const std::uint64_t blockAlign = static_cast<std::uint64_t>(plan.bits / 8 * plan.channels);
    if (wave->frames_ * blockAlign > kMaxDataSize)
        return Error{
            ErrorKind::FileTooLarge,
            {},
            "too long: " + std::to_string(wave->frames_) + " frames do not fit a WAV file's 4 GB"};
    const WaveFormat format = WaveFormat::pcm(static_cast<std::uint16_t>(plan.channels), plan.rate,
                                              static_cast<std::uint16_t>(plan.bits));
    const auto header =
        canonicalWaveHeader(format, static_cast<std::uint32_t>(wave->frames_ * blockAlign));
    wave->bytes_.assign(header.begin(), header.end());
    return wave;
}

ConvertedWave::ConvertedWave(std::unique_ptr<AudioReader> reader, const InputPlan& plan,
                             std::unique_ptr<Resampler> resampler)
    : reader_(std::move(reader)), plan_(plan), resampler_(std::move(resampler)) {
    const AudioFormat& source = reader_->format();
    // Frames at the new rate, rounded to the nearest.
    const std::uint64_t from = source.sampleRate, to = plan_.rate;
    frames_ = from == to ? source.frames : (source.frames * to + from / 2) / from;
}

std::size_t ConvertedWave::read(std::uint8_t* dst, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        if (at_ == bytes_.size()) {
            bytes_.clear();
            at_ = 0;
            if (!refill()) break;
            continue;
        }
        const std::size_t n = std::min(count - done, bytes_.size() - at_);
        std::memcpy(dst + done, bytes_.data() + at_, n);
        at_ += n;
        done += n;
    }
    return done;
}

void ConvertedWave::mixInto(const float* in, std::size_t frames, std::vector<float>& out) const {
    const int from = reader_->format().channels, to = plan_.channels;
    out.resize(frames * static_cast<std::size_t>(to));
    if (to == 1) {
        const float scale = 1.0f / static_cast<float>(from);
        for (std::size_t f = 0; f < frames; ++f) {
            float sum = 0;
            for (int c = 0; c < from; ++c) sum += in[f * static_cast<std::size_t>(from) + c];
            out[f] = sum * scale;
        }
        return;
    }
    // Stereo from more channels: the further channels into both sides at half weight.
    const float scale = 1.0f / (1.0f + 0.5f * static_cast<float>(from - 2));
    for (std::size_t f = 0; f < frames; ++f) {
        const float* s = in + f * static_cast<std::size_t>(from);
        float shared = 0;
        for (int c = 2; c < from; ++c) shared += s[c];
        out[2 * f] = (s[0] + 0.5f * shared) * scale;
        out[2 * f + 1] = (s[1] + 0.5f * shared) * scale;
    }
}

void ConvertedWave::quantise(const float* in, std::size_t samples) {
    const auto channels = static_cast<std::uint64_t>(plan_.channels);
    const std::uint64_t room = (frames_ - framesOut_) * channels;
    samples = static_cast<std::size_t>(std::min<std::uint64_t>(samples, room));
    const int width = plan_.bits / 8;
    const std::size_t start = bytes_.size();
    bytes_.resize(start + samples * static_cast<std::size_t>(width));
    std::uint8_t* o = bytes_.data() + start;
    const float scale = plan_.bits == 24 ? 8388608.0f : 32768.0f;
    const float top = scale - 1;
    for (std::size_t k = 0; k < samples; ++k) {
        float v = std::nearbyint(in[k] * scale);
        if (!(v <= top)) {  // also NaN
            if (v > top) ++clipped_;
            v = std::isnan(v) ? 0.0f : top;
        } else if (v < -scale) {
            ++clipped_;
            v = -scale;
        }
        const auto i = static_cast<std::int32_t>(v);
        *o++ = static_cast<std::uint8_t>(i);
        *o++ = static_cast<std::uint8_t>(i >> 8);
        if (width == 3) *o++ = static_cast<std::uint8_t>(i >> 16);
    }
    framesOut_ += samples / channels;
}

bool ConvertedWave::refill() {
    if (error_ || framesOut_ >= frames_) return false;
    const AudioFormat& source = reader_->format();
    const auto inChannels = static_cast<std::size_t>(source.channels);
    std::size_t got = 0;
    if (!sourceDone_) {
        raw_.resize(kPieceFrames * inChannels);
        auto r = reader_->read(raw_.data(), kPieceFrames);
        if (!r) {
            error_ = r.error();
            return false;
        }
        got = *r;
        framesIn_ += got;
        if (got == 0) sourceDone_ = true;
    }
    const float* samples = raw_.data();
    if (static_cast<int>(inChannels) != plan_.channels) {
        mixInto(raw_.data(), got, mixed_);
        samples = mixed_.data();
    }
    const std::size_t count = got * static_cast<std::size_t>(plan_.channels);
    if (resampler_) {
        resampled_.clear();
        if (Status s = resampler_->process({samples, count}, sourceDone_, resampled_); !s) {
            error_ = s.error();
            return false;
        }
        quantise(resampled_.data(), resampled_.size());
    } else {
        quantise(samples, count);
    }
    if (sourceDone_ && framesOut_ < frames_ && framesIn_ >= source.frames) {
        // The rate converter's rounding: silence up to the length in the
        // header. A source that ends before its announced length ends the
        // stream short instead, as such a WAV file does.
        const std::vector<float> silence(static_cast<std::size_t>(frames_ - framesOut_) *
                                         static_cast<std::size_t>(plan_.channels));
        quantise(silence.data(), silence.size());
    }
    // An empty piece while the rate converter fills its filter is no end.
    return !bytes_.empty() || !sourceDone_;
}

}  // namespace wqe
