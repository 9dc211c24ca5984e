// The KPAC decoder: a phrase data file to a PCM WAV file with 16-bit or
// 24-bit samples, in one pass, block by block. The core reads a ByteSource
// and writes a ByteSink; decodeFile is the thin shell over files.
//
// Samples of LINEAR and of the compressed modes are signed 16-bit values: as
// 16-bit output low byte, high byte; as 24-bit output 0x00, low, high.
// H-LINEAR samples are signed 24-bit values: as 24-bit output whole, least
// significant byte first; as 16-bit output their top two bytes (middle, high),
// which truncates toward minus infinity.
//
// A file shorter than its block count promises is decoded as if every missing
// byte were 0xFF; the output still has the announced length.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>

#include "codec/ByteIo.h"
#include "codec/KpacBlock.h"
#include "codec/KpacHeader.h"
#include "stream/Expected.h"
#include "stream/LWaveFile.h"

namespace wqe::kpac {

inline constexpr std::size_t kWaveHeaderSize = kCanonicalWaveHeaderSize;

// Decodes one coded block (one channel, 16 samples) from the word window
// (at least 8 words as they stand in the file; in MODE1 w1 and w2 are
// exchanged back here). `previous` is the channel's previous sample; it
// becomes sample 15. Returns the number of words the block occupies (N).
int decodeCodedBlock(Mode mode, const std::uint16_t* window, std::int16_t& previous,
                     std::int16_t* samples);

// Decodes a half-block of 8 samples from its bit string (left-aligned: the
// string's first bit is bit 63) with q as the previous sample.
void decodeHalfBlock(const BlockLayout& layout, std::uint64_t bits, std::int16_t q,
                     std::int16_t* samples);

// The 44-byte header of the decoder's output: RIFF size = data size + 36, a
// 16-byte PCM "fmt " chunk, data size = blocks × 16 × channels × outBytes.
std::array<std::uint8_t, kWaveHeaderSize> decodedWaveHeader(const Header& header, int outBytes);

// Only the previous sample carries from block to block, per channel, so the
// two channels of a stereo file in a compressed mode decode side by side,
// each on its own thread. The output is the same byte for byte.
struct DecodeOptions {
    // 0 or 1: one thread; 2: two threads for stereo files of the compressed
    // modes. One is the default, for runs that convert several files at once
    // (each file on its own thread); a file converted alone takes
    // loneFileDecodeOptions().
    int threads = 0;
};

// The options of a decode that runs alone: two threads when the machine has
// two cores or more.
DecodeOptions loneFileDecodeOptions();

// Decodes a whole phrase file. outBytes is 2 (16-bit) or 3 (24-bit). Only
// the blocks the file holds are decoded (the last one padded with 0xFF
// bytes), whatever the header's block count claims; then `warning` says so
// and the returned header carries the count actually written. Returns the
// header, or what is wrong ("not a KPAC file (...)").
Expected<Header> decode(ByteSource& phrase, ByteSink& wave, int outBytes,
                        Progress* progress = nullptr, const DecodeOptions& options = {},
                        std::string* warning = nullptr);

// Decodes the file `phrase` into the WAV file `wave`, created or overwritten
// only when the whole decode succeeded. Errors name the file.
Expected<Header> decodeFile(const std::filesystem::path& phrase, const std::filesystem::path& wave,
                            int outBytes, Progress* progress = nullptr,
                            std::string* warning = nullptr, const DecodeOptions& options = {});
// The same, writing through `fs`.
Expected<Header> decodeFile(FileSystem& fs, const std::filesystem::path& phrase,
                            const std::filesystem::path& wave, int outBytes,
                            Progress* progress = nullptr, std::string* warning = nullptr,
                            const DecodeOptions& options = {});

}  // namespace wqe::kpac
