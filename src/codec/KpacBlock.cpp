#include "codec/KpacBlock.h"

#include <stdexcept>

namespace wqe::kpac {

namespace {

// Levels of the samples s7, s6, ..., s0 of a half-block; -1: no field.
using LevelRow = std::array<int, kHalfBlockSamples>;
constexpr LevelRow kLevelsA = {13, 13, 13, 13, 13, 13, 13, 13};
constexpr LevelRow kLevelsB = {12, 13, 12, 13, 12, 13, 12, 13};
constexpr LevelRow kLevelsC = {11, 13, 12, 13, 11, 13, 12, 13};
constexpr LevelRow kLevelsD = {9, 14, 12, 14, 10, 14, 12, 14};
constexpr LevelRow kLevelsE = {7, 14, 12, 14, 11, 14, 12, 14};
constexpr LevelRow kLevelsE3 = {7, -1, 12, -1, 11, -1, 12, -1};
constexpr LevelRow kLevelsF = {6, 14, 13, 14, 11, 14, 13, 14};
constexpr LevelRow kLevelsF3 = {6, -1, 13, -1, 11, -1, 13, -1};
constexpr LevelRow kLevelsG = {9, 13, 13, 13, 13, 13, 13, 13};
constexpr LevelRow kLevelsG2 = {8, -1, -1, -1, 12, -1, -1, -1};

bool isTypeOneOf(BlockType t, std::initializer_list<BlockType> types) {
    for (BlockType u : types)
        if (t == u) return true;
    return false;
}

}  // namespace

char typeLetter(BlockType t) { return static_cast<char>(t); }

HeaderCode headerCodeOf(Mode mode, std::uint8_t h) {
    const int top2 = h >> 6;       // a b
    const int c = (h >> 5) & 1;    // third bit of w0
    const int d = (h >> 4) & 1;    // fourth bit of w0
    const int ef = (h >> 2) & 3;   // top two bits of w1
    const int efg = (h >> 1) & 7;  // top three bits of w1
    const int lastBit = h & 1;     // fourth bit of w1
    const bool mode1 = mode == Mode::Mode1;
    using T = BlockType;
    switch (top2) {
        case 0:
            return {T::E, 2 + ef, 2};
        case 1:
            return {(ef >> 1) ? T::C : T::E, 6 + (ef & 1), 2};
        case 2:
            return {T::C, 8 + ef, 2};
        default:
            break;
    }
    if (c == 0) {  // 1 1 0
        if (mode1) {
            if (efg <= 6) return {T::F, efg, 3};
            return {T::E, 8, 3};
        }
        if (efg <= 5) return {T::F, efg + 1, 3};
        if (efg == 6) return {T::E, 8, 3};
        return {T::D, 4, 3};
    }
    // 1 1 1
    if (mode1) {
        if (efg <= 4) return {T::D, efg + 4, 3};
        if (efg == 5) return {T::D, 9, 3};
        if (efg == 6) return {T::A, 13, 3};
        static constexpr HeaderCode kFour[2][2] = {{{T::G, 0, 4}, {T::G, 1, 4}},
                                                   {{T::D, 10, 4}, {T::B, 12, 4}}};
        return kFour[d][lastBit];
    }
    if (efg <= 4) return {T::D, efg + 5, 3};
    // Four-bit codes 1110 1010 .. 1111 1111 (w0's fourth bit, w1's low three).
    static constexpr HeaderCode kFour[2][3][2] = {{{{T::B, 8, 4}, {T::B, 9, 4}},
                                                   {{T::B, 10, 4}, {T::B, 11, 4}},
                                                   {{T::B, 12, 4}, {T::A, 13, 4}}},
                                                  {{{T::D, 10, 4}, {T::G, 0, 4}},
                                                   {{T::G, 1, 4}, {T::G, -3, 4}},
                                                   {{T::G, -2, 4}, {T::G, -1, 4}}}};
    return kFour[d][efg - 5][lastBit];
}

std::optional<HeaderBits> headerBitsOf(Mode mode, BlockType type, int e) {
    const bool mode1 = mode == Mode::Mode1;
    auto two = [](int v) {
        return HeaderBits{2, static_cast<std::uint16_t>(v >> 2), static_cast<std::uint16_t>(v & 3)};
    };
    auto three = [](int v) {
        return HeaderBits{3, static_cast<std::uint16_t>(v >> 3), static_cast<std::uint16_t>(v & 7)};
    };
    auto four = [](int v) {
        return HeaderBits{4, static_cast<std::uint16_t>(v >> 4),
                          static_cast<std::uint16_t>(v & 15)};
    };
    switch (type) {
        case BlockType::A:
            if (e != 13) return std::nullopt;
            return mode1 ? HeaderBits{3, 0b111, 0b110} : four(0xEF);
        case BlockType::B:
            if (mode1) return e == 12 ? std::optional(four(0xFF)) : std::nullopt;
            if (e < 8 || e > 12) return std::nullopt;
            return four(e + 0xE2);
        case BlockType::C:
            if (e < 6 || e > 11) return std::nullopt;
            return two(e);
        case BlockType::D:
            if (e < 4 || e > 10) return std::nullopt;
            if (e == 10) return mode1 ? four(0xFE) : four(0xFA);
            return three(e + (mode1 ? 0x34 : 0x33));
        case BlockType::E:
            if (e < 2 || e > 8) return std::nullopt;
            if (e == 8) return three(mode1 ? 0x37 : 0x36);
            return two(e - 2);
        case BlockType::F:
            if (e < (mode1 ? 0 : 1) || e > 6) return std::nullopt;
            return three(e + (mode1 ? 0x30 : 0x2F));
        case BlockType::G:
            if (e < 0 || e > 1) return std::nullopt;
            return four(e + (mode1 ? 0xEE : 0xFB));
    }
    return std::nullopt;
}

Width widthOf(Mode mode, BlockType type, int e) {
    if (mode == Mode::Mode1) return {4, 0};
    if (mode == Mode::Mode3) return {6, 0};
    const bool dToG = isTypeOneOf(type, {BlockType::D, BlockType::E, BlockType::F, BlockType::G});
    if (e > 9 || (e >= 8 && dToG)) return {6, 0};
    if (e >= 7) return {5, 0};
    if (e == 6 && dToG) return {5, 0};
    if (e > 3) return {4, 0};
    if (type == BlockType::G) return {2, 2};
    return {3, 1};
}

StepConstants stepConstantsOf(int e, Width w) {
    const int k = e + 4;
    const std::int32_t m = ((std::int32_t{-1} << k) >> w.d) >> w.n;
    const std::int32_t r = ((std::int32_t{1} << k) >> w.d) >> (w.n + 1);
    StepConstants s;
    s.mask = static_cast<std::int16_t>(m);
    s.round = static_cast<std::int16_t>(r);
    s.halfMask = static_cast<std::int16_t>(s.mask >> 1);
    s.halfRound = static_cast<std::int16_t>(s.round >> 1);
    return s;
}

int levelOf(BlockType type, int n, int sample) {
    const LevelRow* row = &kLevelsA;
    switch (type) {
        case BlockType::A:
            row = &kLevelsA;
            break;
        case BlockType::B:
            row = &kLevelsB;
            break;
        case BlockType::C:
            row = &kLevelsC;
            break;
        case BlockType::D:
            row = &kLevelsD;
            break;
        case BlockType::E:
            row = n == 3 ? &kLevelsE3 : &kLevelsE;
            break;
        case BlockType::F:
            row = n == 3 ? &kLevelsF3 : &kLevelsF;
            break;
        case BlockType::G:
            row = n == 2 ? &kLevelsG2 : &kLevelsG;
            break;
    }
    return (*row)[static_cast<std::size_t>(7 - sample)];
}

bool isHalfField(BlockType type, int n, int s) {
    if (type != BlockType::A) return false;
    if (n == 4) return s == 7 || s == 6 || s == 4 || s == 2 || s == 0;
    if (n == 6) return s == 7 || s == 5 || s == 3 || s == 1;
    return false;
}

bool isAbsolute(BlockType type, int e, int s) {
    using T = BlockType;
    if (s == 7) return true;
    if (s == 3) return isTypeOneOf(type, {T::A, T::B, T::C}) || (type == T::D && e == 10);
    if (s == 1 || s == 5) return isTypeOneOf(type, {T::A, T::B});
    return type == T::A;
}

namespace {

BlockLayout buildLayout(Mode mode, BlockType type, int e, int headerBits) {
    BlockLayout lay;
    lay.type = type;
    lay.exponent = e;
    const Width w = widthOf(mode, type, e);
    lay.n = w.n;
    lay.d = w.d;
    lay.step = stepConstantsOf(e, w);
    lay.stepShift = e + 4 - w.d - w.n;
    lay.headerBits = headerBits;
    int position = lay.headerBits;
    for (int s = 7; s >= 0; --s) {
        const int level = levelOf(type, w.n, s);
        if (level < 0) continue;
        BlockLayout::Field f;
        f.sample = static_cast<std::uint8_t>(s);
        f.position = static_cast<std::uint8_t>(position);
        f.half = isHalfField(type, w.n, s);
        int width = 12 - level + w.n + w.d;
        int shift = level - e;
        if (shift < 0) {
            width = 12 - e + w.n + w.d;
            shift = 0;
        }
        if (f.half) {
            width = w.n;
            shift = 0;
        }
        f.width = static_cast<std::uint8_t>(width);
        f.shift = static_cast<std::uint8_t>(shift);
        lay.fields[static_cast<std::size_t>(lay.fieldCount++)] = f;
        position += width;
    }
    if (position != 8 * w.n)
        throw std::logic_error(std::string("KPAC layout of type ") + typeLetter(type) + " E " +
                               std::to_string(e) + " has " + std::to_string(position) +
                               " bits, not " + std::to_string(8 * w.n));
    lay.s3Absolute = isAbsolute(type, e, 3);
    lay.s1s5Absolute = isAbsolute(type, e, 1);
    lay.evenAbsolute = isAbsolute(type, e, 0);
    return lay;
}

}  // namespace

BlockLayout layoutOf(Mode mode, BlockType type, int e) {
    const auto bits = headerBitsOf(mode, type, e);
    if (!bits)
        throw std::logic_error(std::string("KPAC type ") + typeLetter(type) +
                               " has no header code for exponent " + std::to_string(e) + " in " +
                               std::string(modeName(mode)));
    return buildLayout(mode, type, e, bits->headerBits);
}

const std::array<BlockLayout, 256>& layoutTable(Mode mode) {
    auto build = [](Mode m) {
        std::array<BlockLayout, 256> table{};
        for (int h = 0; h < 256; ++h) {
            const HeaderCode code = headerCodeOf(m, static_cast<std::uint8_t>(h));
            table[static_cast<std::size_t>(h)] =
                buildLayout(m, code.type, code.exponent, code.headerBits);
        }
        return table;
    };
    static const std::array<BlockLayout, 256> mode1 = build(Mode::Mode1);
    static const std::array<BlockLayout, 256> mode2 = build(Mode::Mode2);
    static const std::array<BlockLayout, 256> mode3 = build(Mode::Mode3);
    switch (mode) {
        case Mode::Mode1:
            return mode1;
        case Mode::Mode3:
            return mode3;
        default:
            return mode2;
    }
}

}  // namespace wqe::kpac
