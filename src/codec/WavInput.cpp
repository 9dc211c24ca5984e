#include "codec/WavInput.h"

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

}  // namespace

Expected<WavInput> readWavInput(ByteReader& reader) {
    ReaderInput in(reader);
    const auto header = readWaveHeader(in);
    if (!header) return header.error();
    const WaveFormat& f = header->format;
    const std::uint16_t channels = f.channels, bits = f.bitsPerSample;
    const std::uint32_t rate = f.sampleRate;
    if (f.formatTag != kWaveFormatPcm)
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
    const std::uint64_t expectedByteRate =
        std::uint64_t{rate} * static_cast<std::uint64_t>(width * channels);
    if (f.byteRate != expectedByteRate)
        return unexpected("the byte rate " + std::to_string(f.byteRate) + " does not match " +
                          std::to_string(rate) + " Hz × " + std::to_string(channels) +
                          " channel(s) × " + std::to_string(width) + " bytes (" +
                          std::to_string(expectedByteRate) + ")");
    if (f.blockAlign != width * channels)
        return unexpected("the block align " + std::to_string(f.blockAlign) + " does not match " +
                          std::to_string(channels) + " channel(s) × " + std::to_string(width) +
                          " bytes");
    WavInput input;
    input.channels = channels;
    input.sampleRate = rate;
    input.width = width;
    input.blockAlign = f.blockAlign;
    input.dataSize = header->dataSize;
    return input;
}

}  // namespace wqe::kpac
