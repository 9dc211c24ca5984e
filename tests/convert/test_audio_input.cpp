// Audio input for encoding and WAV Import: a matrix of formats, sample
// widths, rates and channel counts made by the test itself through
// libsndfile, each encoded to MODE2 (and some imported) and checked by
// decoding it again (the resampled rows keep their signal-to-noise ratio);
// the refusals; the command line's rate and mix options.
#include <gtest/gtest.h>
#include <sndfile.h>

#include <cmath>
#include <numbers>

#include "audiofile/AudioFile.h"
#include "codec/KpacDecoder.h"
#include "convert/FileConvert.h"
#include "convert/WavImport.h"
#include "support/CliRunner.h"
#include "support/TempDir.h"

namespace wqe {
namespace {

using test::TempDir;

constexpr double kAmplitude = 0.5;
constexpr double kSeconds = 0.5;

// The tone of channel c: 500 Hz, 1000 Hz, then silence.
double toneOf(int channel) { return channel == 0 ? 500 : channel == 1 ? 1000 : 0; }

// Writes `seconds` of the channel tones through libsndfile.
void writeTones(const fs::path& path, int format, std::uint32_t rate, int channels,
                double seconds = kSeconds) {
    SF_INFO info{};
    info.samplerate = static_cast<int>(rate);
    info.channels = channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(file, nullptr) << path << ": " << sf_strerror(nullptr);
    const auto frames = static_cast<std::size_t>(seconds * rate);
    std::vector<float> samples(frames * static_cast<std::size_t>(channels));
    for (std::size_t f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c) {
            const double hz = toneOf(c);
            samples[f * static_cast<std::size_t>(channels) + static_cast<std::size_t>(c)] =
                static_cast<float>(kAmplitude * std::sin(2 * std::numbers::pi * hz * f / rate));
        }
    sf_writef_float(file, samples.data(), static_cast<sf_count_t>(frames));
    sf_close(file);
}

// A phrase file decoded to 16-bit samples per channel.
struct Decoded {
    kpac::Header header;
    std::vector<std::vector<double>> channels;
};
Decoded decodePhrase(const fs::path& phrase) {
    const auto bytes = test::readBytes(phrase);
    kpac::SpanSource in(bytes);
    kpac::VectorSink out;
    const auto header = kpac::decode(in, out, 2);
    EXPECT_TRUE(header) << header.error().message();
    Decoded d;
    if (!header) return d;
    d.header = *header;
    const auto& wav = out.bytes();
    d.channels.resize(static_cast<std::size_t>(header->channels));
    for (std::size_t at = kCanonicalWaveHeaderSize; at + 1 < wav.size(); at += 2) {
        const std::size_t k = (at - kCanonicalWaveHeaderSize) / 2;
        d.channels[k % d.channels.size()].push_back(
            static_cast<std::int16_t>(wav[at] | wav[at + 1] << 8) / 32768.0);
    }
    return d;
}

// The sine of `hz` fitted to the middle of `y` by least squares: its
// amplitude and the ratio of its energy to the rest, in dB.
struct Fit {
    double amplitude = 0, snr = 0;
};
Fit fitSine(const std::vector<double>& y, double hz, double rate) {
    const std::size_t from = y.size() / 4, to = y.size() * 3 / 4;
    double ss = 0, cc = 0, sc = 0, ys = 0, yc = 0;
    for (std::size_t n = from; n < to; ++n) {
        const double w = 2 * std::numbers::pi * hz * n / rate, s = std::sin(w), c = std::cos(w);
        ss += s * s, cc += c * c, sc += s * c, ys += y[n] * s, yc += y[n] * c;
    }
    const double det = ss * cc - sc * sc;
    const double a = (ys * cc - yc * sc) / det, b = (yc * ss - ys * sc) / det;
    double signal = 0, noise = 0;
    for (std::size_t n = from; n < to; ++n) {
        const double w = 2 * std::numbers::pi * hz * n / rate;
        const double fitted = a * std::sin(w) + b * std::cos(w);
        signal += fitted * fitted;
        noise += (y[n] - fitted) * (y[n] - fitted);
    }
    return {std::hypot(a, b), 10 * std::log10(signal / std::max(noise, 1e-20))};
}

class AudioInputTest : public ::testing::Test {
protected:
    void SetUp() override { audiofile::install(); }
    // The other tests of this program run without the backend.
    void TearDown() override { setAudioBackend(nullptr); }
    TempDir dir;
};

struct MatrixCase {
    const char* name;
    int format;  // libsndfile major | subtype
    std::uint32_t rate;
    int channels;
    std::uint32_t rateOut;
    int channelsOut;
    const char* conversions;  // the result line's text
    bool lossy = false;
    InputOptions options = {};
};

const InputOptions kTo16000{16000, MixDown::None}, kToMono{std::nullopt, MixDown::Mono},
    kToStereo{std::nullopt, MixDown::Stereo};

const MatrixCase kMatrix[] = {
    {"pcm16-device-rate", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 32000, 1, 32000, 1, ""},
    {"pcm8-11025", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 11025, 1, 16000, 1,
     "resampled 11025 Hz → 16000 Hz, 8-bit → 16-bit"},
    {"float32", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 22050, 2, 22050, 2, "32-bit float → 24-bit"},
    {"pcm16-rate-chosen", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 48000, 2, 16000, 2,
     "resampled 48000 Hz → 16000 Hz", false, kTo16000},
    {"stereo-to-mono", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 32000, 2, 32000, 1,
     "mixed 2 channels → mono", false, kToMono},
    {"six-to-stereo", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 48000, 6, 48000, 2,
     "mixed 6 channels → stereo", false, kToStereo},
    {"flac24-96k", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 96000, 2, 48000, 2,
     "decoded FLAC, resampled 96000 Hz → 48000 Hz"},
    {"mp3-24000", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 24000, 1, 32000, 1,
     "decoded MP3, resampled 24000 Hz → 32000 Hz, 32-bit float → 24-bit", true},
};

// The channel tones after the mix-down: the gain of each output channel's
// tone (silence mixed in lowers it).
double mixedGain(const MatrixCase& c) {
    if (c.channelsOut == c.channels) return 1;
    if (c.channelsOut == 1) return 1.0 / c.channels;  // each tone at 1/n
    return 1 / (1 + 0.5 * (c.channels - 2));
}

TEST_F(AudioInputTest, EveryInputOfTheMatrixEncodesToTheDeviceRateWithItsTones) {
    for (const MatrixCase& c : kMatrix) {
        SCOPED_TRACE(c.name);
        const fs::path source = dir / (std::string(c.name) + ".in");
        writeTones(source, c.format, c.rate, c.channels);
        const fs::path phrase = dir / (std::string(c.name) + ".PHR");
        const ConvertItem item =
            encodeOneFile(source, phrase, kpac::Mode::Mode2, nullptr, {}, c.options);
        ASSERT_TRUE(item.ok) << item.error;
        EXPECT_EQ(item.conversions, c.conversions);
        const Decoded d = decodePhrase(phrase);
        EXPECT_EQ(kpac::kGradeRates[static_cast<std::size_t>(d.header.grade)], c.rateOut);
        ASSERT_EQ(static_cast<int>(d.channels.size()), c.channelsOut);
        const double frames = kSeconds * c.rateOut;
        EXPECT_NEAR(static_cast<double>(d.channels[0].size()), frames, c.lossy ? 4096 : 16);
        for (int ch = 0; ch < c.channelsOut; ++ch) {
            // Mono from several channels holds every tone; check the first.
            const Fit fit =
                fitSine(d.channels[static_cast<std::size_t>(ch)], toneOf(ch), c.rateOut);
            EXPECT_NEAR(fit.amplitude, kAmplitude * mixedGain(c), 0.05 * kAmplitude) << ch;
            if (c.channelsOut == c.channels) {
                EXPECT_GT(fit.snr, c.lossy ? 15 : 25) << ch;
            }
        }
    }
}

TEST_F(AudioInputTest, ImportWritesPlainSixteenBitPhrasesAtADeviceRate) {
    writeTones(dir / "float.in", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 96000, 1);
    const WavImportResult r = importWavFile(dir / "float.in", dir / "_WQP0001.WAV");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.conversions, "resampled 96000 Hz → 48000 Hz, 32-bit float → 16-bit");
    // What the card's player reads: the phrase check accepts it.
    const auto info = probeWavPhrase(dir / "_WQP0001.WAV");
    ASSERT_TRUE(info) << info.error().message();
    EXPECT_EQ(info->dataOffset, kCanonicalWaveHeaderSize);
    EXPECT_EQ(info->format, WaveFormat::pcm(1, 48000, 16));
    EXPECT_EQ(info->dataSize % 32u, 0u);
    EXPECT_NEAR(static_cast<double>(r.dataBytes) / 2, kSeconds * 48000, 16);
}

TEST_F(AudioInputTest, RefusalsNameTheFileAndTheReasonAndLeaveNothing) {
    writeTones(dir / "six.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_16, 48000, 6);
    writeTones(dir / "a24k.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 24000, 1);
    test::writeText(dir / "text.flac", "this is not audio");
    auto adpcm = test::readBytes(dir / "a24k.wav");
    adpcm[20] = 2;  // format tag 2
    test::writeBytes(dir / "adpcm.wav", adpcm);
    struct Case {
        const char* file;
        bool withBackend;
        const char* reason;
    };
    const Case cases[] = {
        {"six.wav", true, "6 channels; only mono and stereo are encoded"},
        {"text.flac", true, "cannot be decoded: "},
        {"adpcm.wav", true, "format tag 2 is neither PCM (1) nor float (3)"},
        {"a24k.wav", false, "sample rate 24000 Hz is not one of"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        setAudioBackend(c.withBackend ? &audiofile::backend() : nullptr);
        const fs::path phrase = dir / "_WQP0009.PHR";
        const ConvertItem item = encodeOneFile(dir / c.file, phrase, kpac::Mode::Mode2);
        EXPECT_FALSE(item.ok);
        EXPECT_EQ(item.error.rfind((dir / c.file).string() + ": " + c.reason, 0), 0u) << item.error;
        EXPECT_FALSE(importWavFile(dir / c.file, dir / "_WQP0009.WAV").ok);
        EXPECT_FALSE(fs::exists(phrase));
        EXPECT_FALSE(fs::exists(dir / "_WQP0009.WAV"));
    }
}

// The command line passes its mix option on and prints the conversions; a
// rate that is no grade is refused.
TEST_F(AudioInputTest, CommandLineTakesRateAndMixAndPrintsTheConversions) {
    writeTones(dir / "six.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_24, 96000, 6, 0.1);
    const std::string in = (dir / "six.flac").string(), out = (dir / "x.PHR").string();
    auto r = test::runWqe({"encode", "--mode", "mode2", "--quiet", "--mix", "stereo", in, out});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(
        r.out.find("(decoded FLAC, mixed 6 channels → stereo, resampled 96000 Hz → 48000 Hz)"),
        std::string::npos)
        << r.out;
    r = test::runWqe({"encode", "--mode", "mode2", "--rate", "96000", in, out});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--rate: '96000' is not one of 8000,"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace wqe
