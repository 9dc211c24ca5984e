// The encoder's reading of a WAV file: the header read in order by the one
// WAV header reader (stream/LWaveFile.h), then judged: format tag 1 = PCM,
// channels 1..2, width = (bits + 7) / 8 must be 2 or 3, byte rate = width ×
// rate × channels, block align = width × channels. The "data" chunk's size
// divided by the block align is the number of frames.
//
// Samples: 16-bit little-endian signed; 24-bit as three bytes, least
// significant first. Only the frames the file holds are encoded; bytes
// beyond whole frames are ignored.
#pragma once

#include <cstdint>

#include "codec/ByteIo.h"
#include "stream/Expected.h"
#include "stream/LWaveFile.h"

namespace wqe::kpac {

struct WavInput {
    int channels = 1;              // 1 or 2
    std::uint32_t sampleRate = 0;  // as stated; the encoder checks it against the grades
    int width = 2;                 // bytes per sample, 2 or 3
    int blockAlign = 2;            // bytes per frame
    std::uint32_t dataSize = 0;    // as stated by the data chunk
    std::uint64_t frames() const { return dataSize / static_cast<std::uint32_t>(blockAlign); }
};

// Reads the header up to the first sample byte. The error says what is
// wrong: "not a WAV file (...)", "8-bit WAV files are not supported", ...
Expected<WavInput> readWavInput(ByteReader& reader);

}  // namespace wqe::kpac
