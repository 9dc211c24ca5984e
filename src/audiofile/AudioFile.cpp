#include "audiofile/AudioFile.h"

#include <sndfile.h>
#include <soxr.h>

#include <string>

namespace wqe::audiofile {

namespace {

// The container's name in the result line.
std::string containerName(int format) {
    switch (format & SF_FORMAT_TYPEMASK) {
        case SF_FORMAT_FLAC:
            return "FLAC";
        case SF_FORMAT_OGG:
            switch (format & SF_FORMAT_SUBMASK) {
                case SF_FORMAT_OPUS:
                    return "Opus";
                case SF_FORMAT_VORBIS:
                    return "Ogg Vorbis";
                default:
                    return "Ogg";
            }
        case SF_FORMAT_MPEG:
            return "MP3";
        case SF_FORMAT_WAV:
        case SF_FORMAT_WAVEX:
            return "WAV";
        default: {
            SF_FORMAT_INFO info{};
            info.format = format & SF_FORMAT_TYPEMASK;
            if (sf_command(nullptr, SFC_GET_FORMAT_INFO, &info, sizeof info) == 0 && info.name)
                return info.name;
            return "audio";
        }
    }
}

// The samples' description and significant bits; lossy formats decode to
// floats and count as 24 bits.
void describeSamples(int format, AudioFormat& f) {
    switch (format & SF_FORMAT_SUBMASK) {
        case SF_FORMAT_PCM_S8:
        case SF_FORMAT_PCM_U8:
            f.samples = "8-bit";
            f.precisionBits = 8;
            return;
        case SF_FORMAT_PCM_16:
            f.samples = "16-bit";
            f.precisionBits = 16;
            return;
        case SF_FORMAT_PCM_24:
            f.samples = "24-bit";
            f.precisionBits = 24;
            return;
        case SF_FORMAT_PCM_32:
            f.samples = "32-bit";
            f.precisionBits = 32;
            return;
        case SF_FORMAT_DOUBLE:
            f.samples = "64-bit float";
            f.precisionBits = 24;
            return;
        default:
            f.samples = "32-bit float";
            f.precisionBits = 24;
    }
}

class SndfileReader : public AudioReader {
public:
    SndfileReader(SNDFILE* file, const SF_INFO& info, std::filesystem::path path)
        : file_(file), path_(std::move(path)) {
        format_.sampleRate = static_cast<std::uint32_t>(info.samplerate);
        format_.channels = info.channels;
        format_.frames = info.frames >= 0 && info.seekable ? static_cast<std::uint64_t>(info.frames)
                                                           : kUnknownFrameCount;
        format_.container = containerName(info.format);
        describeSamples(info.format, format_);
        // Full scale is ±1 for integer formats; floats pass as they are.
        sf_command(file_, SFC_SET_NORM_FLOAT, nullptr, SF_TRUE);
    }
    ~SndfileReader() override { sf_close(file_); }
    SndfileReader(const SndfileReader&) = delete;
    SndfileReader& operator=(const SndfileReader&) = delete;

    const AudioFormat& format() const override { return format_; }
    Result<std::size_t> read(float* out, std::size_t frames) override {
        const sf_count_t got = sf_readf_float(file_, out, static_cast<sf_count_t>(frames));
        if (got < 0 || (got == 0 && sf_error(file_) != SF_ERR_NO_ERROR))
            return Error{ErrorKind::ReadFailed, path_.string(),
                         std::string("cannot be decoded: ") + sf_strerror(file_)};
        return static_cast<std::size_t>(got);
    }

private:
    SNDFILE* file_;
    std::filesystem::path path_;
    AudioFormat format_;
};

class SoxrResampler : public Resampler {
public:
    SoxrResampler(soxr_t soxr, int channels) : soxr_(soxr), channels_(channels) {}
    ~SoxrResampler() override { soxr_delete(soxr_); }
    SoxrResampler(const SoxrResampler&) = delete;
    SoxrResampler& operator=(const SoxrResampler&) = delete;

    Status process(std::span<const float> in, bool last, std::vector<float>& out) override {
        const auto channels = static_cast<std::size_t>(channels_);
        std::size_t inFrames = in.size() / channels;
        const float* src = in.data();
        // Room for this input at the new rate plus the filter's delay.
        const std::size_t room = static_cast<std::size_t>(inFrames * ratio_) + 1024;
        for (;;) {
            const std::size_t start = out.size();
            out.resize(start + room * channels);
            std::size_t used = 0, made = 0;
            // A null input tells soxr that the input has ended.
            const soxr_error_t error =
                soxr_process(soxr_, inFrames || !last ? src : nullptr, inFrames, &used,
                             out.data() + start, room, &made);
            out.resize(start + made * channels);
            if (error) return Error{ErrorKind::Other, {}, std::string("resampling: ") + error};
            src += used * channels;
            inFrames -= used;
            // Done when the input is taken and, at the end, nothing more comes.
            if (inFrames == 0 && (!last || made == 0)) return {};
        }
    }
    void setRatio(double ratio) { ratio_ = ratio; }

private:
    soxr_t soxr_;
    int channels_;
    double ratio_ = 1;
};

class Backend : public AudioBackend {
public:
    Result<std::unique_ptr<AudioReader>> open(const std::filesystem::path& path) override {
        return openWithSndfile(path);
    }
    Result<std::unique_ptr<Resampler>> resampler(std::uint32_t from, std::uint32_t to,
                                                 int channels) override {
        return makeSoxrResampler(from, to, channels);
    }
    std::vector<std::string> patterns() const override {
        return {"*.FLAC", "*.OGG", "*.OGA", "*.OPUS", "*.MP3"};
    }
};

}  // namespace

AudioBackend& backend() {
    static Backend b;
    return b;
}

void install() { setAudioBackend(&backend()); }

Result<std::unique_ptr<AudioReader>> openWithSndfile(const std::filesystem::path& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file)
        return Error{ErrorKind::BadFormat, path.string(),
                     std::string("cannot be decoded: ") + sf_strerror(nullptr)};
    return std::unique_ptr<AudioReader>(std::make_unique<SndfileReader>(file, info, path));
}

Result<std::unique_ptr<Resampler>> makeSoxrResampler(std::uint32_t from, std::uint32_t to,
                                                     int channels) {
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT32_I, SOXR_FLOAT32_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
    // One thread: a folder run already converts one file per core.
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    soxr_error_t error = nullptr;
    soxr_t soxr =
        soxr_create(from, to, static_cast<unsigned>(channels), &error, &io, &quality, &runtime);
    if (!soxr || error)
        return Error{ErrorKind::Other,
                     {},
                     "the resampler cannot be set up for " + std::to_string(from) + " Hz → " +
                         std::to_string(to) + " Hz: " + (error ? error : "unknown error")};
    auto r = std::make_unique<SoxrResampler>(soxr, channels);
    r->setRatio(static_cast<double>(to) / from);
    return std::unique_ptr<Resampler>(std::move(r));
}

}  // namespace wqe::audiofile
