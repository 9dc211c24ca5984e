// The coded blocks of the compressed KPAC modes (MODE1, MODE2, MODE3): header
// codes, block types, widths, step constants, levels and the bit layout of a
// half-block. The decoder and the encoder both work from BlockLayout.
//
// A coded block holds the 16 samples of one channel in N 16-bit words w0..wN-1
// (N = bits per sample, 2..6). Samples 0..7 form the first half-block, samples
// 8..15 the second. Each half-block is a string of N bytes read most
// significant bit first: the first from w0, w2, w4, ... (high byte, then low
// byte), the second from w1, w3, w5, .... With an odd N the last word is
// shared: its high byte ends the first half-block, its low byte the second.
// In MODE1 the file holds w1 and w2 exchanged.
//
// A half-block's string: the header bits (2, 3 or 4; the top bits of w0 and
// of w1 together give the block type and the exponent E), then the fields of
// the coded samples from sample 7 down to sample 0, each a two's-complement
// number of its own width, without gaps or padding; 8·N bits in all.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "codec/KpacHeader.h"

namespace wqe::kpac {

// Block types, carried as the codes 0x41..0x47 ('A'..'G').
enum class BlockType : std::uint8_t { A = 0x41, B, C, D, E, F, G };
char typeLetter(BlockType t);

inline constexpr int kHalfBlockSamples = 8;
inline constexpr int kMaxWordsPerCodedBlock = 6;
inline constexpr int kWindowWords = 8;

// The header code: type and exponent from the eight bits H = (top four bits of
// w0) << 4 | (top four bits of w1), MODE1 column or MODE2/MODE3 column.
struct HeaderCode {
    BlockType type = BlockType::A;
    int exponent = 0;    // E, -3..13
    int headerBits = 2;  // per half-block: 2, 3 or 4
};
HeaderCode headerCodeOf(Mode mode, std::uint8_t h);

// The header bits the encoder writes for a type and exponent: the top
// `headerBits` bits of w0 and of w1. nullopt when the combination has no code
// in the mode (the encoder's analysis never produces one).
struct HeaderBits {
    int headerBits = 2;
    std::uint16_t w0Top = 0;  // right-aligned: the value of the top headerBits bits
    std::uint16_t w1Top = 0;
};
std::optional<HeaderBits> headerBitsOf(Mode mode, BlockType type, int exponent);

// Bits per sample N and narrowing d of a coded block.
struct Width {
    int n = 4;
    int d = 0;
};
Width widthOf(Mode mode, BlockType type, int exponent);

// Mask M and rounding R (16-bit) of a block: with K = E + 4, computed in 32-bit
// signed arithmetic and cut to 16 bits,
//   M = ((-1 << K) >> d) >> N,   R = ((1 << K) >> d) >> (N + 1).
// Type A's half fields use M' = M >> 1 and R' = R >> 1 (signed 16-bit).
struct StepConstants {
    std::int16_t mask = 0;
    std::int16_t round = 0;
    std::int16_t halfMask = 0;
    std::int16_t halfRound = 0;
};
StepConstants stepConstantsOf(int exponent, Width w);

// Level L of sample s (0..7) of a half-block; -1 when the sample has no field
// (types E and F with N = 3: even samples; type G with N = 2: all but s7, s3).
int levelOf(BlockType type, int n, int sample);
// Type A's half fields (N bits wide, M' and R'): N = 4: s7, s6, s4, s2, s0;
// N = 6: s7, s5, s3, s1.
bool isHalfField(BlockType type, int n, int sample);
// True when sample s of a half-block is stored absolutely (not as a residual
// to the interpolation of its neighbours): s7 always; s3 for A, B, C and D
// with E = 10; s1 and s5 for A and B; the even samples for A.
bool isAbsolute(BlockType type, int exponent, int sample);

// Everything a decoder or encoder needs about one coded block.
struct BlockLayout {
    BlockType type = BlockType::A;
    int exponent = 0;
    int n = 4;
    int d = 0;
    int headerBits = 2;
    StepConstants step;
    // The field step exponent: every field holds v >> stepShift (type A's
    // half fields v >> (stepShift - 1)); E + 4 - d - N.
    int stepShift = 0;

    struct Field {
        std::uint8_t sample = 0;    // 0..7
        std::uint8_t position = 0;  // first bit in the half-block string (0 = MSB)
        std::uint8_t width = 0;     // b
        std::uint8_t shift = 0;     // S = L - E (0 where that is negative)
        bool half = false;          // type A half field
    };
    std::array<Field, kHalfBlockSamples> fields{};  // in string order: s7 first
    int fieldCount = 0;

    bool s3Absolute = false;
    bool s1s5Absolute = false;
    bool evenAbsolute = false;
};
// Throws std::logic_error when the type and exponent have no header code in
// the mode.
BlockLayout layoutOf(Mode mode, BlockType type, int exponent);

// The layout for each of the 256 header codes of a mode (compressed modes
// only), built once.
const std::array<BlockLayout, 256>& layoutTable(Mode mode);

}  // namespace wqe::kpac
