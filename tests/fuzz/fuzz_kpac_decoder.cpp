// Fuzzes the KPAC decoder: whole phrase files (16- and 24-bit output) and
// single coded blocks of every compressed mode. Nothing may read outside a
// buffer or hit undefined behaviour, whatever the bytes.
#include <cstdint>
#include <cstring>

#include "codec/KpacDecoder.h"

using namespace wqe::kpac;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One coded block from the first 16 bytes in each compressed mode.
    std::uint16_t window[kWindowWords];
    std::uint8_t bytes[2 * kWindowWords];
    std::memset(bytes, 0xFF, sizeof bytes);
    std::memcpy(bytes, data, size < sizeof bytes ? size : sizeof bytes);
    for (int k = 0; k < kWindowWords; ++k)
        window[k] = static_cast<std::uint16_t>(bytes[2 * k] | bytes[2 * k + 1] << 8);
    for (Mode m : {Mode::Mode1, Mode::Mode2, Mode::Mode3}) {
        std::int16_t previous = static_cast<std::int16_t>(size), samples[16];
        const int n = decodeCodedBlock(m, window, previous, samples);
        if (n < 2 || n > 6) __builtin_trap();
    }

    // The whole file; block counts are kept small so that one input stays fast
    // (a file shorter than its block count decodes 0xFF bytes).
    const auto raw = readRawHeader({data, size});
    if (raw && raw->blockCount > 4096) return 0;
    for (int outBytes : {2, 3}) {
        SpanSource in({data, size});
        VectorSink out;
        const auto header = decode(in, out, outBytes);
        if (header &&
            out.bytes().size() != kWaveHeaderSize + header->frames() * header->channels * outBytes)
            __builtin_trap();
    }
    return 0;
}
