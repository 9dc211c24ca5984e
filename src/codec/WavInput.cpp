#include "codec/WavInput.h"

#include <cstring>
#include <string>

namespace wqe::kpac {

namespace {

constexpr std::uint32_t kFmtMinSize = 16;

// Skips chunks until the one with `id`; returns its size.
bool findChunk(ByteReader& reader, const char* id, std::uint32_t& size) {
    for (;;) {
        char chunkId[4];
        if (reader.read(reinterpret_cast<std::uint8_t*>(chunkId), 4) != 4 || !reader.readU32(size))
            return false;
        if (std::memcmp(chunkId, id, 4) == 0) return true;
        if (!reader.skip(size)) return false;
    }
}

}  // namespace

Expected<WavInput> readWavInput(ByteReader& reader) {
    std::uint8_t riff[12];
    const std::size_t got = reader.read(riff, 12);
    if (got < 4 || std::memcmp(riff, "RIFF", 4) != 0)
        return unexpected("not a WAV file (it does not begin with \"RIFF\")");
    if (got < 12 || std::memcmp(riff + 8, "WAVE", 4) != 0)
        return unexpected("not a WAV file (the RIFF form type is not \"WAVE\")");

    std::uint32_t fmtSize = 0;
    if (!findChunk(reader, "fmt ", fmtSize))
        return unexpected("not a WAV file (no \"fmt \" chunk before the end of the file)");
    if (fmtSize < kFmtMinSize)
        return unexpected("the \"fmt \" chunk has " + std::to_string(fmtSize) +
                          " bytes; at least 16 are needed");
    std::uint16_t tag = 0, channels = 0, blockAlign = 0, bits = 0;
    std::uint32_t rate = 0, byteRate = 0;
    if (!reader.readU16(tag) || !reader.readU16(channels) || !reader.readU32(rate) ||
        !reader.readU32(byteRate) || !reader.readU16(blockAlign) || !reader.readU16(bits))
        return unexpected("the file ends inside the \"fmt \" chunk");
    if (tag != 1)
        return unexpected("format tag " + std::to_string(tag) +
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
    if (byteRate != expectedByteRate)
        return unexpected("the byte rate " + std::to_string(byteRate) + " does not match " +
                          std::to_string(rate) + " Hz × " + std::to_string(channels) +
                          " channel(s) × " + std::to_string(width) + " bytes (" +
                          std::to_string(expectedByteRate) + ")");
    if (blockAlign != width * channels)
        return unexpected("the block align " + std::to_string(blockAlign) + " does not match " +
                          std::to_string(channels) + " channel(s) × " + std::to_string(width) +
                          " bytes");
    if (!reader.skip(fmtSize - kFmtMinSize))
        return unexpected("the file ends inside the \"fmt \" chunk");

    std::uint32_t dataSize = 0;
    if (!findChunk(reader, "data", dataSize))
        return unexpected("no \"data\" chunk before the end of the file");
    WavInput in;
    in.channels = channels;
    in.sampleRate = rate;
    in.width = width;
    in.blockAlign = blockAlign;
    in.dataSize = dataSize;
    return in;
}

}  // namespace wqe::kpac
