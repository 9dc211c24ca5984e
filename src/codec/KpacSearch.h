// The searching encoder of the compressed modes (Quality::Best).
//
// Any type and exponent whose fields hold their values decodes the same on
// every player, so instead of taking the analysis's choice a block may try
// them all: each candidate of the mode is packed with the encoder's own
// packing (packBlock), candidates whose fields do not fit are dropped, and the
// one with the smallest squared error against the input is kept. Its
// reconstruction's last sample becomes the channel's previous sample, exactly
// as the decoder will hold it.
//
// MODE1 and MODE3 code every block in the same number of words, so the
// search only lowers the error. In MODE2 a candidate's width N follows from
// its type and exponent; there the choice minimises
//     squared error + wordCost × N
// and wordCost is set per segment of blocks so that the segment takes no more
// words than the standard encoder spends on it (words it leaves unused pass to
// the next segment). Words thus go to the blocks where they remove the most
// error, and the file is never larger than the standard encoder's.
//
// 24-bit input runs on the samples × 256 (as packBlock24 takes them); errors
// are measured in 24-bit units.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "codec/KpacEncoder.h"

namespace wqe::kpac {

// One block's search from the previous reconstructed sample: fills y and
// sets `previous` to y15; the block's words are in file order. A wordCost of
// 0 keeps the smallest error whatever the width.
CodedBlock searchCodedBlock(Mode mode, const std::int16_t* x, std::int16_t& previous,
                            std::int16_t* y, double wordCost = 0);
CodedBlock searchCodedBlock24(Mode mode, const std::int32_t* x, std::int32_t& previous,
                              std::int32_t* y, double wordCost = 0);

// The coded blocks of a whole file, handed on in file order (per block the
// left channel, then the right) together with their reconstructions. MODE2
// holds a segment of blocks back until its word costs are settled, so the
// blocks come out in bursts; finish() hands on the rest.
template <class Sample>
class BlockSearch {
public:
    using Emit = std::function<void(const CodedBlock& block, const Sample* y)>;

    BlockSearch(Mode mode, int channels, Emit emit);
    ~BlockSearch();
    BlockSearch(const BlockSearch&) = delete;
    BlockSearch& operator=(const BlockSearch&) = delete;

    // One block of 16 frames, channel by channel.
    void add(const Sample (*x)[kFramesPerBlock]);
    void finish();

    // Words handed on so far, and (MODE2) what the standard encoder spends on
    // the blocks added so far.
    std::uint64_t words() const;
    std::uint64_t standardWords() const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

extern template class BlockSearch<std::int16_t>;
extern template class BlockSearch<std::int32_t>;

}  // namespace wqe::kpac
