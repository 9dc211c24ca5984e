#include "codec/KpacSearch.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <vector>

namespace wqe::kpac {

namespace {

constexpr int kMinWords = 2, kMaxWords = kMaxWordsPerCodedBlock;
constexpr int kWidthCount = kMaxWords - kMinWords + 1;
// MODE2 settles its word costs over this many blocks at a time.
constexpr std::size_t kSegmentBlocks = 8192;
constexpr double kInfinity = std::numeric_limits<double>::infinity();
constexpr int kExponentsBelow = 2, kExponentsAbove = 1;

// The 16-bit and the 24-bit path of the encoder, by sample type.
template <class Sample>
struct Path;

template <>
struct Path<std::int16_t> {
    static constexpr int kScale = 0;  // sample bits above the 16-bit value
    static CodedBlock pack(Mode m, Analysis a, const std::int16_t* x, std::int16_t p,
                           std::int16_t* y) {
        return packBlock(m, a, x, p, y);
    }
    static CodedBlock standard(Mode m, const std::int16_t* x, std::int16_t& p, std::int16_t* y) {
        return encodeCodedBlock(m, x, p, y);
    }
    static Analysis analyse(Mode m, const std::int16_t* x, std::int16_t p) {
        return analyseBlock(m, x, p);
    }
    static std::int64_t difference(std::int16_t y, std::int16_t x) { return y - x; }
};

template <>
struct Path<std::int32_t> {
    static constexpr int kScale = 16;
    static CodedBlock pack(Mode m, Analysis a, const std::int32_t* x, std::int32_t p,
                           std::int32_t* y) {
        return packBlock24(m, a, x, p, y);
    }
    static CodedBlock standard(Mode m, const std::int32_t* x, std::int32_t& p, std::int32_t* y) {
        return encodeCodedBlock24(m, x, p, y);
    }
    static Analysis analyse(Mode m, const std::int32_t* x, std::int32_t p) {
        return analyseBlock24(m, x, p);
    }
    // Both are 24-bit samples × 256.
    static std::int64_t difference(std::int32_t y, std::int32_t x) {
        return (std::int64_t{y} - x) / 256;
    }
};

// A type and exponent of a mode, with the range its sample 7 field holds:
// sample 7 (and so sample 15) is absolute in every type, so a block whose
// x7 or x15 lies outside [-limit, limit) cannot use it (16-bit units).
struct Candidate {
    Analysis analysis;
    int n = 0;
    std::int64_t limit = 0;
};

std::vector<Candidate> buildCandidates(Mode mode) {
    std::vector<Candidate> list;
    for (int t = 0; t < 7; ++t) {
        const auto type = static_cast<BlockType>(static_cast<int>(BlockType::A) + t);
        // Negative exponents (and in MODE3 the lowest ones) would give a
        // field step below one unit.
        for (int e = 0; e <= 13; ++e) {
            if (!headerBitsOf(mode, type, e)) continue;
            const BlockLayout lay = layoutOf(mode, type, e);
            if (lay.stepShift < 0) continue;
            const BlockLayout::Field& s7 = lay.fields[0];
            const int shift = s7.half ? lay.stepShift - 1 : lay.stepShift;
            list.push_back({Analysis{type, e}, lay.n, std::int64_t{1} << (s7.width - 1 + shift)});
        }
    }
    return list;
}

const std::vector<Candidate>& candidatesOf(Mode mode) {
    static const std::vector<Candidate> mode1 = buildCandidates(Mode::Mode1);
    static const std::vector<Candidate> mode2 = buildCandidates(Mode::Mode2);
    static const std::vector<Candidate> mode3 = buildCandidates(Mode::Mode3);
    return mode == Mode::Mode1 ? mode1 : mode == Mode::Mode3 ? mode3 : mode2;
}

// The smallest squared error per width N (index N - 2) among the candidates
// that fit; infinite for a width none reached.
using ErrorByWidth = std::array<double, kWidthCount>;

// A candidate that fitted, with its squared error.
struct Trial {
    std::uint8_t candidate = 0;  // index in candidatesOf(mode)
    std::int64_t error = 0;
};

// The search; with `errors` and `trials` it also records what it tried.
template <class Sample>
CodedBlock search(Mode mode, const Sample* x, Sample p, Sample* y, double wordCost,
                  ErrorByWidth* errors = nullptr, std::vector<Trial>* trials = nullptr) {
    using P = Path<Sample>;
    const std::int64_t x7 = x[7] >> P::kScale, x15 = x[15] >> P::kScale;
    // The analysis's exponent bounds the search: choices more than two
    // exponents below it do not fit, and above it the step only grows.
    const int analysed = P::analyse(mode, x, p).exponent;
    const int lowest = analysed - kExponentsBelow, highest = analysed + kExponentsAbove;
    Sample trial[kFramesPerBlock];
    CodedBlock best;
    double bestCost = kInfinity;
    const std::vector<Candidate>& candidates = candidatesOf(mode);
    for (std::size_t k = 0; k < candidates.size(); ++k) {
        const Candidate& c = candidates[k];
        if (c.analysis.exponent < lowest || c.analysis.exponent > highest) continue;
        if (x7 < -c.limit || x7 >= c.limit || x15 < -c.limit || x15 >= c.limit) continue;
        const CodedBlock block = P::pack(mode, c.analysis, x, p, trial);
        if (!block.fits) continue;
        std::int64_t error = 0;
        for (std::size_t k = 0; k < kFramesPerBlock; ++k) {
            const std::int64_t d = P::difference(trial[k], x[k]);
            error += d * d;
        }
        if (errors) {
            double& e = (*errors)[static_cast<std::size_t>(c.n - kMinWords)];
            e = std::min(e, double(error));
        }
        if (trials) trials->push_back({static_cast<std::uint8_t>(k), error});
        const double cost = double(error) + wordCost * c.n;
        if (cost < bestCost) {
            bestCost = cost;
            best = block;
            std::copy_n(trial, kFramesPerBlock, y);
        }
    }
    if (bestCost == kInfinity) {  // type A at exponent 13 always fits; kept as a guard
        Sample q = p;
        return P::standard(mode, x, q, y);
    }
    toFileOrder(mode, best);
    return best;
}

// The search's choice at another word cost from the same previous sample,
// taken from what it tried: only the chosen candidate is packed again.
template <class Sample>
CodedBlock chooseAgain(Mode mode, const Sample* x, Sample p, Sample* y, double wordCost,
                       std::span<const Trial> trials) {
    const std::vector<Candidate>& candidates = candidatesOf(mode);
    const Candidate* best = nullptr;
    double bestCost = kInfinity;
    for (const Trial& t : trials) {
        const Candidate& c = candidates[t.candidate];
        const double cost = double(t.error) + wordCost * c.n;
        if (cost < bestCost) bestCost = cost, best = &c;
    }
    if (!best) return search<Sample>(mode, x, p, y, wordCost);
    CodedBlock block = Path<Sample>::pack(mode, best->analysis, x, p, y);
    toFileOrder(mode, block);
    return block;
}

}  // namespace

CodedBlock searchCodedBlock(Mode mode, const std::int16_t* x, std::int16_t& previous,
                            std::int16_t* y, double wordCost) {
    CodedBlock b = search<std::int16_t>(mode, x, previous, y, wordCost);
    previous = y[15];
    return b;
}

CodedBlock searchCodedBlock24(Mode mode, const std::int32_t* x, std::int32_t& previous,
                              std::int32_t* y, double wordCost) {
    CodedBlock b = search<std::int32_t>(mode, x, previous, y, wordCost);
    previous = y[15];
    return b;
}

// ---------------------------------------------------------------------------

template <class Sample>
struct BlockSearch<Sample>::Impl {
    Mode mode;
    int channels;
    Emit emit;
    bool allocateWidths;

    Sample previous[2] = {0, 0};
    Sample standardPrevious[2] = {0, 0};
    std::uint64_t words = 0, standardWords = 0;

    // MODE2: the segment held back, per block and channel.
    std::vector<Sample> input, output;
    std::vector<CodedBlock> coded;
    std::vector<ErrorByWidth> errors;
    // What the first coding of the segment tried per block, and from which
    // previous sample: a later coding from the same one chooses among them.
    std::vector<Trial> trials;
    std::vector<std::size_t> trialsBegin, trialsEnd;
    std::vector<Sample> triedFrom;
    std::size_t blocks = 0;
    std::int64_t segmentBudget = 0;  // the standard words of the segment plus the surplus
    double wordCost = 0;

    Impl(Mode m, int ch, Emit e)
        : mode(m), channels(ch), emit(std::move(e)), allocateWidths(m == Mode::Mode2) {}

    std::size_t slot(std::size_t block, int ch) const {
        return block * static_cast<std::size_t>(channels) + static_cast<std::size_t>(ch);
    }

    void add(const Sample (*x)[kFramesPerBlock]) {
        if (!allocateWidths) {
            for (int ch = 0; ch < channels; ++ch) {
                Sample y[kFramesPerBlock];
                const CodedBlock b = search<Sample>(mode, x[ch], previous[ch], y, 0);
                previous[ch] = y[15];
                words += static_cast<std::uint64_t>(b.n);
                emit(b, y);
            }
            return;
        }
        for (int ch = 0; ch < channels; ++ch) {
            Sample y[kFramesPerBlock];
            const CodedBlock b = Path<Sample>::standard(mode, x[ch], standardPrevious[ch], y);
            standardWords += static_cast<std::uint64_t>(b.n);
            segmentBudget += b.n;
            input.insert(input.end(), x[ch], x[ch] + kFramesPerBlock);
        }
        if (++blocks == kSegmentBlocks) settleSegment(false);
    }

    void finish() {
        if (allocateWidths && blocks > 0) settleSegment(true);
    }

    // Codes the segment with one word cost from the segment's first previous
    // samples; returns the words used. With `collect` the error per width of
    // every block is kept for choosing the next word cost.
    std::int64_t codeSegment(double cost, const Sample* start, bool collect) {
        const std::size_t count = blocks * static_cast<std::size_t>(channels);
        coded.resize(count);
        output.resize(count * kFramesPerBlock);
        if (collect) {
            errors.assign(count,
                          ErrorByWidth{kInfinity, kInfinity, kInfinity, kInfinity, kInfinity});
            trials.clear();
            trialsBegin.assign(count, 0);
            trialsEnd.assign(count, 0);
            triedFrom.assign(count, 0);
        }
        std::int64_t used = 0;
        for (int ch = 0; ch < channels; ++ch) {
            Sample p = start[ch];
            for (std::size_t b = 0; b < blocks; ++b) {
                const std::size_t i = slot(b, ch);
                const Sample* x = input.data() + i * kFramesPerBlock;
                Sample* y = output.data() + i * kFramesPerBlock;
                if (collect) {
                    triedFrom[i] = p;
                    trialsBegin[i] = trials.size();
                    coded[i] = search<Sample>(mode, x, p, y, cost, &errors[i], &trials);
                    trialsEnd[i] = trials.size();
                } else if (p == triedFrom[i]) {
                    coded[i] =
                        chooseAgain<Sample>(mode, x, p, y, cost,
                                            std::span<const Trial>(trials).subspan(
                                                trialsBegin[i], trialsEnd[i] - trialsBegin[i]));
                } else {
                    coded[i] = search<Sample>(mode, x, p, y, cost);
                }
                p = y[15];
                used += coded[i].n;
            }
            previous[ch] = p;
        }
        return used;
    }

    // Words the segment would take at a word cost, from the collected errors.
    std::int64_t predictedWords(double cost) const {
        std::int64_t total = 0;
        for (const ErrorByWidth& e : errors) {
            double best = kInfinity;
            int n = kMaxWords;
            for (int w = 0; w < kWidthCount; ++w) {
                const double c = e[static_cast<std::size_t>(w)] + cost * (w + kMinWords);
                if (c < best) best = c, n = w + kMinWords;
            }
            total += n;
        }
        return total;
    }

    // The smallest word cost whose predicted words stay within `target`.
    double costFor(std::int64_t target) const {
        if (predictedWords(0) <= target) return 0;
        double low = -24, high = 80;  // log2 of the cost
        if (predictedWords(std::exp2(high)) > target) return std::exp2(high);
        for (int k = 0; k < 24; ++k) {
            const double mid = (low + high) / 2;
            (predictedWords(std::exp2(mid)) <= target ? high : low) = mid;
        }
        return std::exp2(high);
    }

    void settleSegment(bool last) {
        const Sample start[2] = {previous[0], previous[1]};
        const std::int64_t budget = segmentBudget;
        // Words left unused before the last segment are not lost: they carry.
        const std::int64_t slack = last ? budget / 2000 + 4 : budget / 200 + 16;
        std::int64_t used = codeSegment(wordCost, start, true);
        if (used > budget || budget - used > slack) {
            std::int64_t target = budget - budget / 1000;
            bool within = false;
            for (int attempt = 0; attempt < 6 && !within; ++attempt) {
                wordCost = costFor(target);
                used = codeSegment(wordCost, start, false);
                within = used <= budget;
                target -= std::max<std::int64_t>(used - budget, 0) + budget / 500 + 1;
            }
            if (!within) {
                wordCost = std::exp2(80);  // the fewest words that fit
                used = codeSegment(wordCost, start, false);
            }
        }
        for (std::size_t b = 0; b < blocks; ++b)
            for (int ch = 0; ch < channels; ++ch) {
                const std::size_t i = slot(b, ch);
                emit(coded[i], output.data() + i * kFramesPerBlock);
            }
        words += static_cast<std::uint64_t>(used);
        segmentBudget = budget - used;
        blocks = 0;
        input.clear();
    }
};

template <class Sample>
BlockSearch<Sample>::BlockSearch(Mode mode, int channels, Emit emit)
    : impl_(std::make_unique<Impl>(mode, channels, std::move(emit))) {}

template <class Sample>
BlockSearch<Sample>::~BlockSearch() = default;

template <class Sample>
void BlockSearch<Sample>::add(const Sample (*x)[kFramesPerBlock]) {
    impl_->add(x);
}

template <class Sample>
void BlockSearch<Sample>::finish() {
    impl_->finish();
}

template <class Sample>
std::uint64_t BlockSearch<Sample>::words() const {
    return impl_->words;
}

template <class Sample>
std::uint64_t BlockSearch<Sample>::standardWords() const {
    return impl_->standardWords;
}

template class BlockSearch<std::int16_t>;
template class BlockSearch<std::int32_t>;

}  // namespace wqe::kpac
