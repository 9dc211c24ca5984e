// The KPAC encoder: a PCM WAV file (16 or 24 bits, mono or stereo, at a grade
// rate) to a phrase data file in the chosen mode. The core reads a
// ByteSource and writes a ByteSink block by block; encodeFile is the thin
// shell over files.
//
// For the compressed modes each block and channel is coded by
//   1. analyseBlock: the type and exponent from the input samples x and the
//      channel's previous reconstructed sample p;
//   2. packBlock: the words and the reconstruction y (what the decoder will
//      compute);
//   3. analyseBlock on y: a smaller exponent repacks x with that analysis;
//   4. MODE1 only: words 1 and 2 exchanged.
// p then becomes y15. 24-bit input runs the same steps on 32-bit values
// (sample × 256) with the 24-bit constants.
//
// Quality::Best replaces steps 1 to 3 by a search over every type and
// exponent of the mode (KpacSearch.h); the packing, and so the decoder's
// reading, stays the same.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>

#include "codec/ByteIo.h"
#include "codec/KpacBlock.h"
#include "codec/KpacHeader.h"
#include "codec/WavInput.h"
#include "stream/Expected.h"

namespace wqe::kpac {

struct Analysis {
    BlockType type = BlockType::A;
    int exponent = 13;  // E of the header (the 24-bit path's E24 - 16)
    bool operator==(const Analysis&) const = default;
};

// The analysis of 16 samples with the previous reconstructed sample p.
Analysis analyseBlock(Mode mode, const std::int16_t* x, std::int16_t p);
Analysis analyseBlock24(Mode mode, const std::int32_t* x, std::int32_t p);

struct CodedBlock {
    std::array<std::uint16_t, kMaxWordsPerCodedBlock> words{};  // as written to the file
    int n = 0;                                                  // words used
    Analysis analysis;
    // Every field holds its value within its width, so the decoder rebuilds
    // exactly the packing's reconstruction. Always true for the analysis's
    // choices; a searched choice that does not fit is not used.
    bool fits = true;
};

// Packs x with the given analysis; fills the reconstruction y (16 samples).
// Words are in packing order (MODE1's exchange not applied).
CodedBlock packBlock(Mode mode, Analysis a, const std::int16_t* x, std::int16_t p, std::int16_t* y);
CodedBlock packBlock24(Mode mode, Analysis a, const std::int32_t* x, std::int32_t p,
                       std::int32_t* y);

// Step 4 above: the words in the order the file holds them (MODE1 exchanges
// words 1 and 2).
void toFileOrder(Mode mode, CodedBlock& block);

// Steps 1 to 4 above; updates `previous` to y15 and fills y.
CodedBlock encodeCodedBlock(Mode mode, const std::int16_t* x, std::int16_t& previous,
                            std::int16_t* y);
CodedBlock encodeCodedBlock24(Mode mode, const std::int32_t* x, std::int32_t& previous,
                              std::int32_t* y);

// Fills every bit below the highest set bit: c |= c >> 1, >> 2, >> 4, >> 8.
std::int32_t fillDownward(std::int32_t c);

// Standard: the analysis chooses each block's type and exponent, as the
// device's own encoder does. Best: every choice of the mode is tried and the
// one with the smallest error kept; MODE2 also moves words between blocks,
// the file staying no larger than the standard encoder's.
enum class Quality : std::uint8_t { Standard, Best };

struct EncodeOptions {
    Quality quality = Quality::Standard;
};

struct EncodeSummary {
    Header header;        // as written, with the final block count
    WavInput input;       // the WAV file's format
    std::string warning;  // set when the file holds fewer frames than its header claims
};

// Encodes a whole WAV file; modeCode 0..4 (Mode). The progress pair counts
// frames of the data chunk.
Expected<EncodeSummary> encode(ByteSource& wave, ByteSink& phrase, int modeCode,
                               Progress* progress = nullptr, const EncodeOptions& options = {});

// Encodes the file `wave` into the phrase file `phrase`, created or
// overwritten only when the whole encode succeeded. Errors name the file.
Expected<EncodeSummary> encodeFile(const std::filesystem::path& wave,
                                   const std::filesystem::path& phrase, int modeCode,
                                   Progress* progress = nullptr, const EncodeOptions& options = {});
// The same, writing through `fs`.
Expected<EncodeSummary> encodeFile(FileSystem& fs, const std::filesystem::path& wave,
                                   const std::filesystem::path& phrase, int modeCode,
                                   Progress* progress = nullptr, const EncodeOptions& options = {});

}  // namespace wqe::kpac
