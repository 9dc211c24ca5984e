// In-memory WAV files for the codec, stream, convert and CLI tests.
#pragma once

#include <cstdint>
#include <vector>

namespace wqe::test {

using Bytes = std::vector<std::uint8_t>;

inline void put16le(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void put32le(Bytes& b, std::uint32_t v) {
    put16le(b, v & 0xFFFF);
    put16le(b, v >> 16);
}
inline void putChunk(Bytes& b, const char* id, const Bytes& data) {
    b.insert(b.end(), id, id + 4);
    put32le(b, static_cast<std::uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
}

// A canonical 44-byte-header PCM WAV file; samples interleaved, each the
// value of a `bits`-bit sample (16 or 24; 8 writes unsigned bytes).
inline Bytes makeWav(int channels, std::uint32_t rate, int bits,
                     const std::vector<std::int32_t>& samples) {
    const int width = (bits + 7) / 8;
    Bytes fmt;
    put16le(fmt, 1);
    put16le(fmt, static_cast<std::uint32_t>(channels));
    put32le(fmt, rate);
    put32le(fmt, rate * static_cast<std::uint32_t>(channels * width));
    put16le(fmt, static_cast<std::uint32_t>(channels * width));
    put16le(fmt, static_cast<std::uint32_t>(bits));
    Bytes data;
    for (std::int32_t s : samples)
        for (int k = 0; k < width; ++k) data.push_back(static_cast<std::uint8_t>(s >> (8 * k)));
    Bytes chunks;
    putChunk(chunks, "fmt ", fmt);
    putChunk(chunks, "data", data);
    Bytes wav = {'R', 'I', 'F', 'F'};
    put32le(wav, static_cast<std::uint32_t>(chunks.size() + 4));
    wav.insert(wav.end(), {'W', 'A', 'V', 'E'});
    wav.insert(wav.end(), chunks.begin(), chunks.end());
    return wav;
}

// Samples of a decoded WAV file (44-byte header) as signed values.
inline std::vector<std::int32_t> wavSamples(const Bytes& wav, int width) {
    std::vector<std::int32_t> out;
    for (std::size_t at = 44; at + static_cast<std::size_t>(width) <= wav.size();
         at += static_cast<std::size_t>(width)) {
        std::uint32_t u = 0;
        for (int k = 0; k < width; ++k)
            u |= std::uint32_t{wav[at + static_cast<std::size_t>(k)]} << (8 * k);
        const int shift = 32 - 8 * width;
        out.push_back(static_cast<std::int32_t>(u << shift) >> shift);
    }
    return out;
}

}  // namespace wqe::test
