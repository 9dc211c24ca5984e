// Audio input for encoding and WAV Import: any file the program can decode,
// turned into the PCM WAV that the encoder or a WAV phrase takes (16 or 24
// bits, one or two channels, a device rate).
//
// The pieces:
//  - AudioReader: one open input giving interleaved float frames of full
//    scale ±1. WAV files (every variant readWavSamples accepts) are read by
//    the program itself; other formats by the AudioBackend.
//  - Resampler: a rate converter; only the AudioBackend makes them.
//  - AudioBackend: what a library adds (decoders for other formats, the
//    resampler). The executables install one with setAudioBackend; without
//    one, WAV files at a device rate are all that can be converted.
//  - InputPlan: the plain decision of what a source becomes (rate, channels,
//    width) and the conversions it takes, in the words of the result line
//    ("resampled 24000 Hz → 32000 Hz, 32-bit float → 24-bit").
//  - ConvertedWave: the converted samples as a WAV byte stream (the 44-byte
//    header of canonicalWaveHeader, then PCM), which the encoder reads as it
//    reads a file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "base/Error.h"
#include "codec/ByteIo.h"

namespace wqe {

namespace fs = std::filesystem;

inline constexpr std::uint64_t kUnknownFrameCount = ~std::uint64_t{0};

// What a source holds.
struct AudioFormat {
    std::uint32_t sampleRate = 0;
    int channels = 0;
    std::uint64_t frames = kUnknownFrameCount;
    std::string container = "WAV";  // "WAV", "FLAC", "Ogg Vorbis", "Opus", "MP3", ...
    std::string samples;            // "16-bit", "24-bit", "32-bit float", ...
    int precisionBits = 16;         // significant bits; decoded lossy formats count as 24
    bool isWav() const { return container == "WAV"; }
};

class AudioReader {
public:
    virtual ~AudioReader() = default;
    virtual const AudioFormat& format() const = 0;
    // Up to `frames` frames into `out` (frames × channels floats); fewer only
    // at the end (0 there). An error names the file and the cause.
    virtual Result<std::size_t> read(float* out, std::size_t frames) = 0;
};

class Resampler {
public:
    virtual ~Resampler() = default;
    // Converts interleaved frames; `last` marks the end of the input, after
    // which the frames still held are given out too. Appends to `out`.
    virtual Status process(std::span<const float> in, bool last, std::vector<float>& out) = 0;
};

class AudioBackend {
public:
    virtual ~AudioBackend() = default;
    // Opens a file of a format the backend decodes; the error says why not.
    virtual Result<std::unique_ptr<AudioReader>> open(const fs::path& path) = 0;
    // A rate converter for `channels` interleaved channels.
    virtual Result<std::unique_ptr<Resampler>> resampler(std::uint32_t from, std::uint32_t to,
                                                         int channels) = 0;
    // File name patterns of the formats it decodes besides WAV ("*.FLAC", ...).
    virtual std::vector<std::string> patterns() const = 0;
};

// The backend used by the converters, for the process's lifetime; null: WAV
// at device rates only.
void setAudioBackend(AudioBackend* backend);
AudioBackend* audioBackend();

// The channel mix-down the user asked for. Mono: the mean of all channels.
// Stereo: channel 1 left, channel 2 right, every further channel into both
// at half weight, each side scaled so that full scale stays full scale; a
// mono source stays mono. Without a mix-down more than two channels are
// refused.
enum class MixDown : std::uint8_t { None, Mono, Stereo };

struct InputOptions {
    std::optional<std::uint32_t> rate;  // a device rate; nullopt: deviceRateFor(source)
    MixDown mix = MixDown::None;
};

// "8000" .. "48000" -> that device rate; anything else nullopt.
std::optional<std::uint32_t> parseDeviceRate(std::string_view text);
// "mono", "stereo" (any letter case) -> the mix-down; anything else nullopt.
std::optional<MixDown> parseMixDown(std::string_view text);

// The lowest device rate not below `sourceRate`; 48000 above 48000.
std::uint32_t deviceRateFor(std::uint32_t sourceRate);

// What a source becomes and the conversions it takes.
struct InputPlan {
    std::uint32_t rate = 0;
    int channels = 1;
    int bits = 16;  // 16 or 24
    std::vector<std::string> steps;
    // The steps joined by ", "; empty when the samples go through unchanged.
    std::string summary() const;
};

// Decides the plan: the rate of `options` or deviceRateFor; the channels by
// the mix-down; 24 bits when the source has more than 16 significant bits and
// `maxBits` is 24, else 16. Fails (Unsupported) for more than two channels
// without a mix-down, for a rate that is not a device rate, and for a source
// without frames or channels.
Result<InputPlan> planInput(const AudioFormat& source, const InputOptions& options, int maxBits);

// A file read from its start, whose first bytes can be read again after a
// look at its header: what was read until rewind() is replayed, then the
// file goes on. Works for pipes too, which cannot be opened twice.
class RewindableFile : public kpac::ByteSource {
public:
    // Opens the file; the error names it and says why.
    Status open(const fs::path& path) { return file_.begin(path); }
    std::size_t read(std::uint8_t* dst, std::size_t count) override;
    // Reads from the start again; nothing is recorded any more.
    void rewind();
    // True when the file begins with "RIFF" (after a first read of 4 bytes).
    bool startsWithRiff() const;

private:
    kpac::FileSource file_;
    std::vector<std::uint8_t> head_;
    std::size_t at_ = 0;
    bool replaying_ = false;
};

// A WAV file read from `source` by the program's own reader; errors name
// `path`.
Result<std::unique_ptr<AudioReader>> openWavInput(std::unique_ptr<kpac::ByteSource> source,
                                                  const fs::path& path);

// True when `path` ends in ".wav" (any case): such a file is always read as
// WAV, so that its header's faults are told as such.
bool hasWavExtension(const fs::path& path);

// Opens `path`: a RIFF/WAVE file through the program's own reader (Error
// BadFormat / Unsupported with the reason, naming the file), anything else
// through `backend` (without one: Unsupported).
Result<std::unique_ptr<AudioReader>> openAudioInput(const fs::path& path,
                                                    AudioBackend* backend = audioBackend());

// The files of `folder` that openAudioInput may take ("*.WAV" and the
// backend's patterns, letter case ignored), sorted by name.
std::vector<fs::path> audioFilesInFolder(const fs::path& folder, std::string& error,
                                         AudioBackend* backend = audioBackend());

// A source read through its plan as a WAV byte stream. The data chunk holds
// frames × rate / source rate frames (rounded), the rate converter's last
// frames padded with silence; a source that ends before its announced length
// ends the stream short; a read or conversion failure ends it and sets
// error().
class ConvertedWave : public kpac::ByteSource {
public:
    // Fails when the plan needs a resampler and `backend` has none.
    static Result<std::unique_ptr<ConvertedWave>> create(std::unique_ptr<AudioReader> reader,
                                                         const InputPlan& plan,
                                                         AudioBackend* backend = audioBackend());
    std::size_t read(std::uint8_t* dst, std::size_t count) override;

    std::uint64_t frames() const { return frames_; }
    // Samples that lay beyond full scale and were clipped.
    std::uint64_t clippedSamples() const { return clipped_; }
    bool failed() const { return error_.has_value(); }
    const std::optional<Error>& error() const { return error_; }

private:
    ConvertedWave(std::unique_ptr<AudioReader> reader, const InputPlan& plan,
                  std::unique_ptr<Resampler> resampler);
    // Converts the next piece of the source into bytes_; false at the end.
    bool refill();
    void mixInto(const float* in, std::size_t frames, std::vector<float>& out) const;
    void quantise(const float* in, std::size_t samples);

    std::unique_ptr<AudioReader> reader_;
    InputPlan plan_;
    std::unique_ptr<Resampler> resampler_;
    std::uint64_t frames_ = 0;         // frames of the data chunk
    std::uint64_t framesOut_ = 0;      // frames put into bytes_ so far
    std::uint64_t framesIn_ = 0;       // frames read from the source
    std::vector<std::uint8_t> bytes_;  // ready to be read
    std::size_t at_ = 0;
    std::vector<float> raw_, mixed_, resampled_;
    bool sourceDone_ = false;
    std::uint64_t clipped_ = 0;
    std::optional<Error> error_;
};

}  // namespace wqe
