#include "codec/WavInput.h"

#include <bit>
#include <string>

namespace wqe::kpac {

namespace {

// The codec's buffered reader as the WAV header reader's input.
class ReaderInput : public ByteInput {
public:
    explicit ReaderInput(ByteReader& reader) : reader_(reader) {}
    std::size_t read(std::uint8_t* dst, std::size_t count) override {
        return reader_.read(dst, count);
    }
    bool skip(std::uint64_t count) override { return reader_.skip(count); }

private:
    ByteReader& reader_;
};

// The byte rate and block align that width, rate and channels imply; "" when
// the header states them so.
std::string layoutProblem(const WaveFormat& f, int width) {
    const std::uint64_t expectedByteRate =
        std::uint64_t{f.sampleRate} * static_cast<std::uint64_t>(width) * f.channels;
    if (f.byteRate != expectedByteRate)
        return "the byte rate " + std::to_string(f.byteRate) + " does not match " +
               std::to_string(f.sampleRate) + " Hz × " + std::to_string(f.channels) +
               " channel(s) × " + std::to_string(width) + " bytes (" +
               std::to_string(expectedByteRate) + ")";
    if (f.blockAlign != static_cast<std::uint64_t>(width) * f.channels)
        return "the block align " + std::to_string(f.blockAlign) + " does not match " +
               std::to_string(f.channels) + " channel(s) × " + std::to_string(width) + " bytes";
    return {};
}

}  // namespace

Expected<WavInput> readWavInput(ByteReader& reader) {
    ReaderInput in(reader);
    const auto header = readWaveHeader(in);
    if (!header) return header.error();
    const WaveFormat& f = header->format;
    const std::uint16_t channels = f.channels, bits = f.bitsPerSample;
    if (header->sampleCoding() != kWaveFormatPcm)
        return unexpected("format tag " + std::to_string(f.formatTag) +
                          " is not PCM (1); only PCM WAV files are supported");
    if (channels == 0) return unexpected("the \"fmt \" chunk gives 0 channels");
    if (channels > 2)
        return unexpected(std::to_string(channels) +
                          " channels; only mono and stereo WAV files are supported");
    const int width = (bits + 7) / 8;
    if (width != 2 && width != 3) {
        if (width == 1) return unexpected("8-bit WAV files are not supported (16 or 24 bits only)");
        return unexpected(std::to_string(bits) +
                          "-bit WAV files are not supported (16 or 24 bits only)");
    }
    if (std::string why = layoutProblem(f, width); !why.empty()) return unexpected(why);
    WavInput input;
    input.channels = channels;
    input.sampleRate = f.sampleRate;
    input.width = width;
    input.blockAlign = f.blockAlign;
    input.dataSize = header->dataSize;
    return input;
}

std::string WavSamples::describe() const {
    return std::to_string(8 * width) + "-bit" + (coding == SampleCoding::Float ? " float" : "");
}

Expected<WavSamples> readWavSamples(ByteReader& reader) {
    ReaderInput in(reader);
    const auto header = readWaveHeader(in);
    if (!header) return header.error();
    const WaveFormat& f = header->format;
    const std::uint16_t coding = header->sampleCoding();
    if (coding != kWaveFormatPcm && coding != kWaveFormatFloat) {
        if (f.formatTag == kWaveFormatExtensible)
            return unexpected("the WAVE_FORMAT_EXTENSIBLE sub-format is neither PCM nor float");
        return unexpected("format tag " + std::to_string(f.formatTag) +
                          " is neither PCM (1) nor float (3); such WAV files are not supported");
    }
    if (f.channels == 0) return unexpected("the \"fmt \" chunk gives 0 channels");
    const int width = (f.bitsPerSample + 7) / 8;
    const bool isFloat = coding == kWaveFormatFloat;
    if (isFloat ? (f.bitsPerSample != 32 && f.bitsPerSample != 64)
                : (f.bitsPerSample == 0 || width > 4))
        return unexpected(std::to_string(f.bitsPerSample) + "-bit " + (isFloat ? "float" : "PCM") +
                          " WAV files are not supported (PCM of 8 to 32 bits, float of 32 or 64)");
    if (std::string why = layoutProblem(f, width); !why.empty()) return unexpected(why);
    WavSamples s;
    s.channels = f.channels;
    s.sampleRate = f.sampleRate;
    s.coding = isFloat ? SampleCoding::Float : SampleCoding::Int;
    s.width = width;
    s.blockAlign = f.blockAlign;
    s.dataSize = header->dataSize;
    return s;
}

void samplesToFloat(const WavSamples& format, const std::uint8_t* raw, std::size_t frames,
                    float* out) {
    const std::size_t count = frames * static_cast<std::size_t>(format.channels);
    const std::uint8_t* b = raw;
    if (format.coding == SampleCoding::Float) {
        for (std::size_t k = 0; k < count; ++k, b += format.width) {
            std::uint64_t v = 0;
            for (int i = format.width - 1; i >= 0; --i) v = v << 8 | b[i];
            out[k] = format.width == 4 ? std::bit_cast<float>(static_cast<std::uint32_t>(v))
                                       : static_cast<float>(std::bit_cast<double>(v));
        }
        return;
    }
    switch (format.width) {
        case 1:
            for (std::size_t k = 0; k < count; ++k) out[k] = (b[k] - 128) * (1.0f / 128);
            break;
        case 2:
            for (std::size_t k = 0; k < count; ++k, b += 2)
                out[k] = static_cast<std::int16_t>(b[0] | b[1] << 8) * (1.0f / 32768);
            break;
        case 3:
            for (std::size_t k = 0; k < count; ++k, b += 3)
                out[k] = static_cast<float>(static_cast<std::int32_t>(
                             static_cast<std::uint32_t>(b[0] << 8 | b[1] << 16 | b[2] << 24))) *
                         (1.0f / 2147483648.0f);
            break;
        default:
            for (std::size_t k = 0; k < count; ++k, b += 4)
                out[k] = static_cast<float>(static_cast<std::int32_t>(
                             static_cast<std::uint32_t>(b[0] | b[1] << 8 | b[2] << 16) |
                             static_cast<std::uint32_t>(b[3]) << 24)) *
                         (1.0f / 2147483648.0f);
    }
}

}  // namespace wqe::kpac
