// Fuzzes the KPAC encoder on arbitrary samples: the first bytes choose the
// mode, the rate, the channels and the sample width; the rest are the
// samples of a WAV file built in memory. What it encodes must decode to a
// whole number of blocks of the same length.
#include <cstdint>
#include <vector>

#include "codec/KpacDecoder.h"
#include "codec/KpacEncoder.h"
#include "fuzz/FuzzInput.h"

using namespace wqe::kpac;

namespace {

void putLe(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int k = 0; k < bytes; ++k) out.push_back(static_cast<std::uint8_t>(v >> (8 * k)));
}

std::vector<std::uint8_t> waveFile(int channels, std::uint32_t rate, int bits,
                                   std::span<const std::uint8_t> samples) {
    const std::uint32_t align = static_cast<std::uint32_t>(channels * bits / 8);
    const std::uint32_t dataSize = static_cast<std::uint32_t>(samples.size()) / align * align;
    std::vector<std::uint8_t> f = {'R', 'I', 'F', 'F'};
    putLe(f, 36 + dataSize, 4);
    for (char c : std::string_view("WAVEfmt ")) f.push_back(static_cast<std::uint8_t>(c));
    putLe(f, 16, 4), putLe(f, 1, 2), putLe(f, static_cast<std::uint32_t>(channels), 2);
    putLe(f, rate, 4), putLe(f, rate * align, 4), putLe(f, align, 2);
    putLe(f, static_cast<std::uint32_t>(bits), 2);
    for (char c : std::string_view("data")) f.push_back(static_cast<std::uint8_t>(c));
    putLe(f, dataSize, 4);
    f.insert(f.end(), samples.begin(), samples.begin() + dataSize);
    return f;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 64 * 1024) return 0;
    wqe::fuzz::Input in(data, size);
    const std::uint8_t choice = in.byte();
    const int mode = choice % kModeCount;
    const int channels = (choice >> 3) & 1 ? 2 : 1;
    const int bits = (choice >> 4) & 1 ? 24 : 16;
    constexpr std::uint32_t kRates[] = {8000, 16000, 22050, 32000, 44100, 48000};
    const std::uint32_t rate = kRates[((choice >> 5) & 7) % 6];
    const auto wave = waveFile(channels, rate, bits, in.rest());

    SpanSource source(wave);
    VectorSink phrase;
    const auto summary = encode(source, phrase, mode);
    if (!summary) return 0;
    SpanSource again(phrase.bytes());
    VectorSink decoded;
    const auto header = decode(again, decoded, bits / 8);
    if (!header) __builtin_trap();
    return 0;
}
