// The encoder's reading of a WAV file: the header read in order, without
// seeking (so it works on any byte stream), and the frames of the data chunk.
//
//   "RIFF", 4 bytes ignored, "WAVE"; then chunks (4-byte id, 32-bit
//   little-endian size) skipped up to "fmt "; the fmt chunk (at least 16
//   bytes: format tag 1 = PCM, channels 1..2, sample rate, byte rate, block
//   align, bits per sample; width = (bits + 7) / 8 must be 2 or 3, byte rate
//   = width × rate × channels, block align = width × channels), its further
//   bytes skipped; then chunks skipped up to "data", whose size divided by the
//   block align is the number of frames.
//
// Samples: 16-bit little-endian signed; 24-bit as three bytes, least
// significant first. A data chunk shorter than its stated size reads as 0xFF
// bytes past the end of the file; bytes beyond whole frames are ignored.
#pragma once

#include <cstdint>

#include "codec/ByteIo.h"
#include "stream/Expected.h"

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
