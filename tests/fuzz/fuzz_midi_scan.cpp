// Fuzzes the MIDI header check, the tempo scan and the text scan.
#include <cstdint>

#include "card/MidiFile.h"

using namespace wqe;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const auto header = readMidiHeader(bytes);
    const auto tempo = scanMidiTempo(bytes);
    if (tempo && *tempo < 0) __builtin_trap();
    (void)midiTempoByte(tempo);
    (void)scanMidiInfo(bytes);
    (void)header;
    return 0;
}
