// The reading of WAV files for encoding, on top of the one WAV header reader
// (stream/LWaveFile.h).
//
// readWavInput is the encoder's own judgement, the path a device-ready file
// takes byte for byte: sample coding PCM (format tag 1, or
// WAVE_FORMAT_EXTENSIBLE with the PCM sub-format), channels 1..2, width =
// (bits + 7) / 8 must be 2 or 3, byte rate = width × rate × channels, block
// align = width × channels. The "data" chunk's size divided by the block
// align is the number of frames. Samples: 16-bit little-endian signed; 24-bit
// as three bytes, least significant first. Only the frames the file holds
// are encoded; bytes beyond whole frames are ignored.
//
// readWavSamples accepts every WAV a converter can turn into the encoder's
// input: PCM of 8 (unsigned), 16, 24 or 32 bits, IEEE float of 32 or 64
// bits, plain or WAVE_FORMAT_EXTENSIBLE, any number of channels and any rate;
// samplesToFloat turns its frames into floats of full scale ±1.
#pragma once

#include <cstdint>
#include <string>

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

enum class SampleCoding : std::uint8_t { Int, Float };

// A WAV file's samples as readWavSamples accepts them.
struct WavSamples {
    int channels = 1;  // 1 or more
    std::uint32_t sampleRate = 0;
    SampleCoding coding = SampleCoding::Int;
    int width = 2;               // bytes per sample: 1..4 (Int), 4 or 8 (Float)
    int blockAlign = 2;          // bytes per frame = width × channels
    std::uint32_t dataSize = 0;  // as stated by the data chunk
    std::uint64_t frames() const { return dataSize / static_cast<std::uint32_t>(blockAlign); }
    // "8-bit", "16-bit", "24-bit", "32-bit", "32-bit float", "64-bit float".
    std::string describe() const;
};

// Reads the header up to the first sample byte and judges it by the rule
// above. Errors as readWavInput's ("format tag 2 is neither PCM (1) nor
// float (3)", ...).
Expected<WavSamples> readWavSamples(ByteReader& reader);

// Converts `frames` whole frames of sample bytes (`raw`, as the data chunk
// holds them) to interleaved floats: integers scaled by 2^-(bits - 1) (8-bit
// samples are unsigned around 128), floats as they are.
void samplesToFloat(const WavSamples& format, const std::uint8_t* raw, std::size_t frames,
                    float* out);

}  // namespace wqe::kpac
