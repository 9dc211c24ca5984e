#include "codec/KpacEncoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <type_traits>
#include <vector>

#include "codec/KpacSearch.h"

namespace wqe::kpac {

namespace {

// The constants of the analysis for 16-bit input and for 24-bit input (where
// every value is the sample × 256 in 32 bits and the exponent runs 16 higher).
struct Bits16 {
    using Sample = std::int16_t;
    static constexpr std::int32_t kB = 0x7FE, kBMode1 = 0x3FFF, kC = 0x3FC, kD = 0x3F0,
                                  kDLimit = 2047, kDAlt = 0x1FFE, kE = 0x3C0, kF = 0x180, kFOr = 7,
                                  kG = 48, kGLimit = 7, kMax = 32767, kSmall = 32, kFPrime = 0x380,
                                  kGSmall = 8, kGPrime = 96, kGCut = 16, kLoop = 16384,
                                  kStartE = 13, kFloor = 3;
    static constexpr int kExponentOffset = 0;
    // One's complement magnitude.
    static std::int32_t magnitude(std::int32_t v) { return v ^ (v >> 31); }
    // Q(x - h(a) - h(b)): 32767 outside the signed 16-bit range.
    static std::int32_t predicted(Sample x, Sample a, Sample b) {
        const std::int32_t v = x - (a >> 1) - (b >> 1);
        return (v < -32768 || v > 32767) ? 32767 : magnitude(v);
    }
    // m0p << 1, wrapping in 16 bits.
    static std::int32_t doubled(std::int32_t v) { return static_cast<std::int16_t>(v << 1); }
};

struct Bits24 {
    using Sample = std::int32_t;
    static constexpr std::int32_t kB = 0x7FFFFFE, kBMode1 = 0x3FFFFFFF, kC = 0x3FFFFFC,
                                  kD = 0x3FFFFF0, kDLimit = 0x7FFFFFF, kDAlt = 0x1FFFFFFE,
                                  kE = 0x3FFFFC0, kF = 0x1FFFF80, kFOr = 0x7FFFF, kG = 0x3FFFF0,
                                  kGLimit = 0x7FFFF, kMax = 0x7FFFFFFF, kSmall = 0x200000,
                                  kFPrime = 0x3FFFF80, kGSmall = 0x80000, kGPrime = 0x7FFFE0,
                                  kGCut = 0x100000, kLoop = 0x40000000, kStartE = 29,
                                  kFloor = 0x30000;
    static constexpr int kExponentOffset = 16;
    static std::int32_t magnitude(std::int32_t v) { return v ^ (v >> 31); }
    // Q24(x/2 - (h(a) + h(b))/2), divisions truncating toward zero.
    static std::int32_t predicted(Sample x, Sample a, Sample b) {
        const std::int64_t v = std::int64_t{x} / 2 - (std::int64_t{a >> 1} + (b >> 1)) / 2;
        if (v < -(std::int64_t{1} << 30) || v > (std::int64_t{1} << 30) - 1) return 0x7FFFFF00;
        return 2 * magnitude(static_cast<std::int32_t>(v));
    }
    static std::int32_t doubled(std::int32_t v) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(v) << 1);
    }
};

template <class T>
Analysis analyse(Mode mode, const typename T::Sample* x, typename T::Sample p) {
    using V = std::int32_t;
    auto A = T::magnitude;
    auto Q = T::predicted;
    const V m7 = A(x[7]) | A(x[15]);
    const V m3 = A(x[3]) | A(x[11]);
    const V m1 = A(x[1]) | A(x[5]) | A(x[9]) | A(x[13]);
    const V m3p = Q(x[3], p, x[7]) | Q(x[11], x[7], x[15]);
    const V m1p =
        Q(x[1], x[3], p) | Q(x[5], x[3], x[7]) | Q(x[9], x[7], x[11]) | Q(x[13], x[11], x[15]);
    V m0p = Q(x[0], x[1], p);
    for (int k = 1; k <= 7; ++k) m0p |= Q(x[2 * k], x[2 * k - 1], x[2 * k + 1]);
    const V m0p2 = T::doubled(m0p);

    const bool mode1 = mode == Mode::Mode1, mode2 = mode == Mode::Mode2;
    const int bitsPerSample = mode1 ? 4 : 6;
    const V floor = mode2 ? T::kFloor : T::kFloor << (bitsPerSample - 4);

    V cB = ((m1 | m3 | m7 | T::kB) >> 1) | floor | m0p;
    if (mode1) cB |= T::kBMode1;
    const V cC = ((((m3 | m7 | T::kC) >> 1) | m1p) >> 1) | floor | m0p;
    V cD = ((((((m7 | T::kD) >> 1) | m3p) >> 2) | m1p) >> 1) | m0p2 | floor;
    if (cD > T::kDLimit) cD = ((m1p | T::kDAlt) >> 1) | m0p2;
    const V eCore = (((((m7 | T::kE) >> 4) | m3p) >> 1) | m1p) >> 1;
    V cE = eCore | m0p2 | floor;
    V cF = ((((m7 | T::kF) >> 5) | m3p) >> 2) | m0p2 | floor | m1p;
    if (!mode1) cF |= T::kFOr;
    V cG = ((m7 | T::kG) >> 4) | floor | m0p | m1p | m3p;
    if (cG > T::kGLimit) cG = T::kMax;

    V c[6] = {fillDownward(cB), fillDownward(cC), fillDownward(cD),
              fillDownward(cE), fillDownward(cF), fillDownward(cG)};
    V minimum;
    if (mode2) {
        minimum = c[0] & c[1] & c[2] & c[3] & c[4];
        if (minimum < T::kSmall) {
            c[3] = fillDownward(eCore);
            c[4] = fillDownward(((((m7 | T::kFPrime) >> 5) | m3p) >> 2) | m1p);
            minimum = c[3] & c[4];
            if (minimum < T::kGSmall) {
                const V g = ((m7 | T::kGPrime) >> 4) | m3p;
                c[5] = fillDownward(g >= T::kGCut ? T::kMax : g >> 1);
                minimum &= c[5];
            }
        }
    } else {
        minimum = c[0] & c[1] & c[2] & c[3] & c[4] & c[5];
    }

    const V found = minimum;
    int e = T::kStartE;
    while (minimum > 0 && minimum < T::kLoop) {
        minimum <<= 1;
        --e;
    }
    Analysis a;
    a.exponent = e - T::kExponentOffset;
    if (e == T::kStartE) {
        a.type = BlockType::A;
        return a;
    }
    a.type = BlockType::G;
    for (int k = 0; k < 5; ++k) {
        if (c[k] == found) {
            a.type = static_cast<BlockType>(static_cast<int>(BlockType::B) + k);
            break;
        }
    }
    return a;
}

// The encoder's view of a layout: per sample, its field (or none).
struct PackLayout {
    BlockLayout layout;
    HeaderBits header;
    std::array<int, kHalfBlockSamples> fieldOf{};  // index into layout.fields, -1: no field
    std::array<int, kHalfBlockSamples> level{};
    std::array<bool, kHalfBlockSamples> absolute{};  // isAbsolute, per sample
    bool valid = false;
};

constexpr int kMinExponent = 0, kMaxExponent = 13;

const PackLayout& packLayout(Mode mode, Analysis a) {
    using Table = std::array<std::array<PackLayout, kMaxExponent - kMinExponent + 1>, 7>;
    auto build = [](Mode m) {
        auto table = std::make_unique<Table>();
        for (int t = 0; t < 7; ++t) {
            for (int e = kMinExponent; e <= kMaxExponent; ++e) {
                const auto type = static_cast<BlockType>(static_cast<int>(BlockType::A) + t);
                const auto bits = headerBitsOf(m, type, e);
                if (!bits) continue;
                PackLayout& p = (*table)[static_cast<std::size_t>(t)]
                                        [static_cast<std::size_t>(e - kMinExponent)];
                p.layout = layoutOf(m, type, e);
                p.header = *bits;
                p.fieldOf.fill(-1);
                for (int k = 0; k < p.layout.fieldCount; ++k)
                    p.fieldOf[p.layout.fields[static_cast<std::size_t>(k)].sample] = k;
                for (int s = 0; s < kHalfBlockSamples; ++s)
                    p.level[static_cast<std::size_t>(s)] = levelOf(type, p.layout.n, s);
                for (int s = 0; s < kHalfBlockSamples; ++s)
                    p.absolute[static_cast<std::size_t>(s)] = isAbsolute(type, e, s);
                p.valid = true;
            }
        }
        return table;
    };
    static const auto mode1 = build(Mode::Mode1);
    static const auto mode2 = build(Mode::Mode2);
    static const auto mode3 = build(Mode::Mode3);
    const Table& table = mode == Mode::Mode1 ? *mode1 : mode == Mode::Mode3 ? *mode3 : *mode2;
    const int t = static_cast<int>(a.type) - static_cast<int>(BlockType::A);
    if (t < 0 || t >= 7 || a.exponent < kMinExponent || a.exponent > kMaxExponent ||
        !table[static_cast<std::size_t>(t)][static_cast<std::size_t>(a.exponent - kMinExponent)]
             .valid)
        throw std::logic_error(std::string("KPAC encoder: type ") + typeLetter(a.type) +
                               " with exponent " + std::to_string(a.exponent) +
                               " has no header code");
    return table[static_cast<std::size_t>(t)][static_cast<std::size_t>(a.exponent - kMinExponent)];
}

// The neighbours whose halves predict each sample of a half-block (8 = q,
// the previous sample), in the decoder's order.
struct Prediction {
    int sample, left, right;
};
constexpr Prediction kOrder[kHalfBlockSamples] = {{7, -1, -1}, {3, 7, 8}, {1, 3, 8}, {5, 3, 7},
                                                  {0, 1, 8},   {2, 1, 3}, {4, 3, 5}, {6, 5, 7}};

// Packs one half-block: fills y and returns its bit string (left-aligned).
// `fits` becomes false when a field's value does not fit its width.
template <class T>
std::uint64_t packHalfBlock(const PackLayout& pl, const typename T::Sample* x, typename T::Sample q,
                            typename T::Sample* y, std::uint16_t headerTop, bool& fits) {
    constexpr bool wide = std::is_same_v<T, Bits24>;
    constexpr int scale = wide ? 16 : 0;
    const BlockLayout& lay = pl.layout;
    const std::int64_t mask = std::int64_t{lay.step.mask} * (std::int64_t{1} << scale);
    const std::int64_t round = std::int64_t{lay.step.round} * (std::int64_t{1} << scale);
    const std::int64_t halfMask = std::int64_t{lay.step.halfMask} * (std::int64_t{1} << scale);
    const std::int64_t halfRound = std::int64_t{lay.step.halfRound} * (std::int64_t{1} << scale);
    const int exponent = lay.exponent + scale;
    const int fieldShift = lay.stepShift + scale;

    std::uint64_t bits = std::uint64_t{headerTop} << (64 - lay.headerBits);
    std::int64_t neighbour[9];
    neighbour[8] = q;
    for (const Prediction& pr : kOrder) {
        const int s = pr.sample;
        const int field = pl.fieldOf[static_cast<std::size_t>(s)];
        const std::int64_t xs = x[s];
        std::int64_t v = 0, ys = 0;
        if (pl.absolute[static_cast<std::size_t>(s)]) {
            const bool halfField = field >= 0 && lay.fields[static_cast<std::size_t>(field)].half;
            v = (xs & (halfField ? halfMask : mask)) | (halfField ? halfRound : round);
            ys = v;
        } else {
            const std::int64_t prediction = (neighbour[pr.left] >> 1) + (neighbour[pr.right] >> 1);
            if (field < 0) {
                ys = prediction;
            } else {
                std::int64_t r = xs - prediction;
                const int top = exponent + 16 - pl.level[static_cast<std::size_t>(s)];  // E + c
                if (((r >> (top - 1)) ^ (r >> top)) & 1)
                    r = r > 0 ? (std::int64_t{1} << (top - 1)) - 1
                              : -(std::int64_t{1} << (top - 1));
                v = (r & mask) | round;
                if constexpr (wide) {
                    const std::int64_t sum = (v >> 8) + (prediction >> 8);
                    ys = sum * 256;
                    if (sum < -(std::int64_t{1} << 23) || sum > (std::int64_t{1} << 23) - 1) {
                        ys ^= static_cast<std::uint32_t>(mask);
                        v = ys - (prediction & ~std::int64_t{0xFF});
                    }
                } else {
                    ys = v + prediction;
                    if (((ys >> 15) ^ (ys >> 16)) & 1) {
                        ys ^= static_cast<std::uint16_t>(mask);
                        v = ys - prediction;
                    }
                }
            }
        }
        y[s] = static_cast<typename T::Sample>(ys);
        neighbour[s] = y[s];
        if (field >= 0) {
            const BlockLayout::Field& f = lay.fields[static_cast<std::size_t>(field)];
            const std::int64_t scaled = v >> (f.half ? fieldShift - 1 : fieldShift);
            const std::int64_t limit = std::int64_t{1} << (f.width - 1);
            if (scaled < -limit || scaled >= limit) fits = false;
            const std::uint64_t value =
                static_cast<std::uint64_t>(scaled) & ((std::uint64_t{1} << f.width) - 1);
            bits |= value << (64 - f.position - f.width);
        }
    }
    return bits;
}

template <class T>
CodedBlock pack(Mode mode, Analysis a, const typename T::Sample* x, typename T::Sample p,
                typename T::Sample* y) {
    const PackLayout& pl = packLayout(mode, a);
    CodedBlock block;
    const std::uint64_t first = packHalfBlock<T>(pl, x, p, y, pl.header.w0Top, block.fits);
    const std::uint64_t second =
        packHalfBlock<T>(pl, x + 8, y[7], y + 8, pl.header.w1Top, block.fits);
    block.analysis = a;
    block.n = pl.layout.n;
    const int n = block.n;
    int i = 0;
    for (; i + 1 < n; i += 2) {
        block.words[static_cast<std::size_t>(i)] =
            static_cast<std::uint16_t>(first >> (48 - 8 * i));
        block.words[static_cast<std::size_t>(i + 1)] =
            static_cast<std::uint16_t>(second >> (48 - 8 * i));
    }
    if (n & 1)
        block.words[static_cast<std::size_t>(n - 1)] = static_cast<std::uint16_t>(
            (first >> (56 - 8 * (n - 1))) << 8 | ((second >> (56 - 8 * (n - 1))) & 0xFF));
    return block;
}

template <class T>
CodedBlock encodeBlock(Mode mode, const typename T::Sample* x, typename T::Sample& previous,
                       typename T::Sample* y) {
    const Analysis first = analyse<T>(mode, x, previous);
    CodedBlock block = pack<T>(mode, first, x, previous, y);
    const Analysis again = analyse<T>(mode, y, previous);
    if (again.exponent < first.exponent) block = pack<T>(mode, again, x, previous, y);
    toFileOrder(mode, block);
    previous = y[15];
    return block;
}

}  // namespace

void toFileOrder(Mode mode, CodedBlock& block) {
    if (mode == Mode::Mode1) std::swap(block.words[1], block.words[2]);
}

std::int32_t fillDownward(std::int32_t c) {
    c |= c >> 1;
    c |= c >> 2;
    c |= c >> 4;
    c |= c >> 8;
    return c;
}

Analysis analyseBlock(Mode mode, const std::int16_t* x, std::int16_t p) {
    return analyse<Bits16>(mode, x, p);
}
Analysis analyseBlock24(Mode mode, const std::int32_t* x, std::int32_t p) {
    return analyse<Bits24>(mode, x, p);
}

CodedBlock packBlock(Mode mode, Analysis a, const std::int16_t* x, std::int16_t p,
                     std::int16_t* y) {
    return pack<Bits16>(mode, a, x, p, y);
}
CodedBlock packBlock24(Mode mode, Analysis a, const std::int32_t* x, std::int32_t p,
                       std::int32_t* y) {
    return pack<Bits24>(mode, a, x, p, y);
}

CodedBlock encodeCodedBlock(Mode mode, const std::int16_t* x, std::int16_t& previous,
                            std::int16_t* y) {
    return encodeBlock<Bits16>(mode, x, previous, y);
}
CodedBlock encodeCodedBlock24(Mode mode, const std::int32_t* x, std::int32_t& previous,
                              std::int32_t* y) {
    return encodeBlock<Bits24>(mode, x, previous, y);
}

// ---------------------------------------------------------------------------

namespace {

// Writes one block of 16 frames (samples already split by channel).
class BlockWriter {
public:
    BlockWriter(ByteWriter& out, Mode mode, int channels, Quality quality)
        : out_(out), mode_(mode), channels_(channels) {
        if (quality != Quality::Best || !isCompressed(mode)) return;
        search16_ = std::make_unique<BlockSearch<std::int16_t>>(
            mode, channels, [this](const CodedBlock& b, const std::int16_t*) { writeCoded(b); });
        search24_ = std::make_unique<BlockSearch<std::int32_t>>(
            mode, channels, [this](const CodedBlock& b, const std::int32_t*) { writeCoded(b); });
    }

    // Hands on the blocks that a search still holds.
    void finish() {
        if (search16_) search16_->finish();
        if (search24_) search24_->finish();
    }

    // Samples as 32-bit values: 16-bit input as is, 24-bit input as sample × 256.
    void write16(const std::int16_t (*x)[kFramesPerBlock]) {
        switch (mode_) {
            case Mode::Linear: {
                std::uint8_t* o =
                    out_.reserve(kFramesPerBlock * 2 * static_cast<std::size_t>(channels_));
                for (std::size_t f = 0; f < kFramesPerBlock; ++f)
                    for (int ch = 0; ch < channels_; ++ch) {
                        const auto u = static_cast<std::uint16_t>(x[ch][f]);
                        *o++ = static_cast<std::uint8_t>(u);
                        *o++ = static_cast<std::uint8_t>(u >> 8);
                    }
                break;
            }
            case Mode::HLinear:
                for (int ch = 0; ch < channels_; ++ch) {
                    std::int32_t wide[kFramesPerBlock];
                    for (std::size_t f = 0; f < kFramesPerBlock; ++f)
                        wide[f] = std::int32_t{x[ch][f]} * 256;
                    writeHighLinear(wide);
                }
                break;
            default:
                if (search16_) {
                    search16_->add(x);
                    break;
                }
                for (int ch = 0; ch < channels_; ++ch) {
                    std::int16_t y[kFramesPerBlock];
                    writeCoded(encodeCodedBlock(mode_, x[ch], previous16_[ch], y));
                }
        }
    }

    // 24-bit input: samples as 24-bit values (not scaled).
    void write24(const std::int32_t (*x)[kFramesPerBlock]) {
        switch (mode_) {
            case Mode::Linear: {
                std::uint8_t* o =
                    out_.reserve(kFramesPerBlock * 2 * static_cast<std::size_t>(channels_));
                for (std::size_t f = 0; f < kFramesPerBlock; ++f)
                    for (int ch = 0; ch < channels_; ++ch) {
                        *o++ = static_cast<std::uint8_t>(x[ch][f] >> 8);
                        *o++ = static_cast<std::uint8_t>(x[ch][f] >> 16);
                    }
                break;
            }
            case Mode::HLinear:
                for (int ch = 0; ch < channels_; ++ch) writeHighLinear(x[ch]);
                break;
            default: {
                std::int32_t scaled[2][kFramesPerBlock];
                for (int ch = 0; ch < channels_; ++ch)
                    for (std::size_t f = 0; f < kFramesPerBlock; ++f)
                        scaled[ch][f] =
                            static_cast<std::int32_t>(static_cast<std::uint32_t>(x[ch][f]) << 8);
                if (search24_) {
                    search24_->add(scaled);
                    break;
                }
                for (int ch = 0; ch < channels_; ++ch) {
                    std::int32_t y[kFramesPerBlock];
                    writeCoded(encodeCodedBlock24(mode_, scaled[ch], previous24_[ch], y));
                }
            }
        }
    }

private:
    // 8 pairs (A, B) of 24-bit samples, bytes: A mid, A lo, B lo, A hi, B hi, B mid.
    void writeHighLinear(const std::int32_t* s) {
        std::uint8_t* o = out_.reserve(48);
        for (std::size_t k = 0; k < kFramesPerBlock; k += 2) {
            const auto a = static_cast<std::uint32_t>(s[k]),
                       b = static_cast<std::uint32_t>(s[k + 1]);
            *o++ = static_cast<std::uint8_t>(a >> 8);
            *o++ = static_cast<std::uint8_t>(a);
            *o++ = static_cast<std::uint8_t>(b);
            *o++ = static_cast<std::uint8_t>(a >> 16);
            *o++ = static_cast<std::uint8_t>(b >> 16);
            *o++ = static_cast<std::uint8_t>(b >> 8);
        }
    }
    void writeCoded(const CodedBlock& block) {
        std::uint8_t* o = out_.reserve(2 * static_cast<std::size_t>(block.n));
        for (int k = 0; k < block.n; ++k) {
            *o++ = static_cast<std::uint8_t>(block.words[static_cast<std::size_t>(k)]);
            *o++ = static_cast<std::uint8_t>(block.words[static_cast<std::size_t>(k)] >> 8);
        }
    }

    ByteWriter& out_;
    Mode mode_;
    int channels_;
    std::int16_t previous16_[2] = {0, 0};
    std::int32_t previous24_[2] = {0, 0};
    std::unique_ptr<BlockSearch<std::int16_t>> search16_;
    std::unique_ptr<BlockSearch<std::int32_t>> search24_;
};

}  // namespace

Expected<EncodeSummary> encode(ByteSource& wave, ByteSink& phrase, int modeCode, Progress* progress,
                               const EncodeOptions& options) {
    if (modeCode < 0 || modeCode >= kModeCount)
        return unexpected("mode " + std::to_string(modeCode) + " is not one of 0..4",
                          ErrorKind::Other);
    const auto mode = static_cast<Mode>(modeCode);
    ByteReader reader(wave);
    auto input = readWavInput(reader);
    if (!input) return input.error();
    const auto grade = gradeOfRate(input->sampleRate);
    if (!grade)
        return unexpected("sample rate " + std::to_string(input->sampleRate) +
                              " Hz is not one of " + gradeRateList(),
                          ErrorKind::Unsupported);
    EncodeSummary summary;
    summary.input = *input;
    summary.header = Header{*grade, mode, input->channels, 0};

    ByteWriter writer(phrase);
    const auto headerBytes = writeHeader(summary.header);
    writer.write(headerBytes.data(), headerBytes.size());

    const std::uint64_t frames = input->frames();
    if (progress) progress->start(frames);
    const int channels = input->channels;
    const auto align = static_cast<std::size_t>(input->blockAlign);
    BlockWriter blocks(writer, mode, channels, options.quality);
    std::vector<std::uint8_t> raw(kFramesPerBlock * align);
    std::uint64_t left = frames;
    std::uint32_t blockCount = 0;
    while (left > 0) {
        std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, kFramesPerBlock));
        // Only the frames the file holds are encoded, however many the data
        // chunk claims; the rest of the last block is zero samples.
        const std::size_t got = reader.read(raw.data(), n * align);
        if (got < n * align) {
            n = got / align;
            summary.warning = "the \"data\" chunk claims " + std::to_string(frames) +
                              " frames, but the file holds " + std::to_string(frames - left + n) +
                              "; only those were encoded";
            left = n;  // this block is the last
            if (n == 0) break;
        }
        left -= n;
        if (input->width == 2) {
            std::int16_t x[2][kFramesPerBlock] = {};
            for (std::size_t f = 0; f < n; ++f)
                for (int ch = 0; ch < channels; ++ch) {
                    const std::uint8_t* b =
                        raw.data() + f * align + 2 * static_cast<std::size_t>(ch);
                    x[ch][f] = static_cast<std::int16_t>(b[0] | b[1] << 8);
                }
            blocks.write16(x);
        } else {
            std::int32_t x[2][kFramesPerBlock] = {};
            for (std::size_t f = 0; f < n; ++f)
                for (int ch = 0; ch < channels; ++ch) {
                    const std::uint8_t* b =
                        raw.data() + f * align + 3 * static_cast<std::size_t>(ch);
                    // sign-extend the 24-bit sample
                    x[ch][f] =
                        static_cast<std::int32_t>(
                            static_cast<std::uint32_t>(b[0] | b[1] << 8 | b[2] << 16) << 8) >>
                        8;
                }
            blocks.write24(x);
        }
        ++blockCount;
        if (progress) {
            progress->done.store(frames - left, std::memory_order_relaxed);
            if (progress->cancelled()) return unexpected(kCancelled, ErrorKind::Cancelled);
        }
    }
    blocks.finish();
    if (!writer.flush()) return unexpected("cannot write the phrase file", ErrorKind::WriteFailed);
    summary.header.blockCount = blockCount;
    std::uint8_t count[4];
    writeWordSwapped32(count, blockCount);
    if (!phrase.writeAt(kOffsetBlockCount, count, 4))
        return unexpected("cannot write the phrase file", ErrorKind::WriteFailed);
    return summary;
}

Expected<EncodeSummary> encodeFile(const std::filesystem::path& wave,
                                   const std::filesystem::path& phrase, int modeCode,
                                   Progress* progress, const EncodeOptions& options) {
    return encodeFile(realFileSystem(), wave, phrase, modeCode, progress, options);
}

Expected<EncodeSummary> encodeFile(FileSystem& fs, const std::filesystem::path& wave,
                                   const std::filesystem::path& phrase, int modeCode,
                                   Progress* progress, const EncodeOptions& options) {
    if (modeCode < 0 || modeCode >= kModeCount)
        return unexpected("mode " + std::to_string(modeCode) + " is not one of 0..4",
                          ErrorKind::Other);
    FileSource in;
    if (Status s = in.begin(wave); !s) return s.error();
    AtomicFileSink out(fs);
    if (Status s = out.begin(phrase); !s) return s.error();
    auto result = encode(in, out, modeCode, progress, options);
    if (!result) {
        // A write failure names the phrase file; anything else the WAV file.
        const bool writeFailed = out.failed();
        out.discard();
        return writeFailed ? out.status().error() : inFile(result.error(), wave);
    }
    if (Status s = out.complete(); !s) return s.error();
    return result;
}

}  // namespace wqe::kpac
