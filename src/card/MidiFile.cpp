#include "card/MidiFile.h"

#include <algorithm>
#include <cstring>

#include "base/FileSystem.h"
#include "card/CWQEPhr.h"

namespace wqe {

namespace {

constexpr std::uint8_t kMeta = 0xFF;
constexpr std::uint8_t kMetaNotice = 0x02;
constexpr std::uint8_t kMetaSequenceName = 0x03;
constexpr std::uint8_t kMetaEndOfTrack = 0x2F;
constexpr std::uint8_t kMetaSetTempo = 0x51;
constexpr int kMicrosecondsPerMinute = 60000000;

// The tempo of a set-tempo event whose type byte is at `k`: a length byte
// and three value bytes follow. nullopt when they are cut off or the value
// is 0 (no tempo can be derived).
std::optional<int> tempoAt(std::span<const std::uint8_t> bytes, std::size_t k) {
    if (bytes.size() - k < 5) return std::nullopt;
    const std::uint32_t us =
        std::uint32_t{bytes[k + 2]} << 16 | std::uint32_t{bytes[k + 3]} << 8 | bytes[k + 4];
    if (us == 0) return std::nullopt;
    return static_cast<int>(kMicrosecondsPerMinute / us);
}

}  // namespace

std::optional<MidiHeader> readMidiHeader(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < kMidiHeaderSize || std::memcmp(bytes.data(), "MThd", 4) != 0 ||
        bytes[8] != 0)
        return std::nullopt;
    return MidiHeader{static_cast<std::uint16_t>(bytes[8] << 8 | bytes[9]),
                      static_cast<std::uint16_t>(bytes[12] << 8 | bytes[13])};
}

std::optional<int> scanMidiTempo(std::span<const std::uint8_t> bytes) {
    for (std::size_t k = kMidiHeaderSize; k + 1 < bytes.size(); ++k) {
        if (bytes[k] != kMeta) continue;
        const std::uint8_t type = bytes[++k];
        if (type == kMetaEndOfTrack) return std::nullopt;
        if (type == kMetaSetTempo) return tempoAt(bytes, k);
    }
    return std::nullopt;
}

std::uint8_t midiTempoByte(std::optional<int> tempo) {
    const int bpm = std::clamp(tempo.value_or(kMidiDefaultTempo), kMidiTempoMin, kMidiTempoMax);
    return static_cast<std::uint8_t>(bpm - kTempoByteOffset);
}

std::optional<MidiInfo> scanMidiInfo(std::span<const std::uint8_t> bytes) {
    const auto header = readMidiHeader(bytes);
    if (!header) return std::nullopt;
    MidiInfo info;
    info.header = *header;
    for (std::size_t k = kMidiHeaderSize; k + 1 < bytes.size(); ++k) {
        if (bytes[k] != kMeta) continue;
        const std::uint8_t type = bytes[++k];
        if (type == kMetaEndOfTrack) break;
        if (type == kMetaSetTempo) {
            if (!info.tempo) info.tempo = tempoAt(bytes, k);
            k = std::min(k + 4, bytes.size());
        } else if ((type == kMetaNotice || type == kMetaSequenceName) && k + 1 < bytes.size()) {
            const std::size_t length = bytes[k + 1];
            const std::size_t start = k + 2;
            const std::size_t end = std::min(start + length, bytes.size());
            std::string text(bytes.begin() + static_cast<std::ptrdiff_t>(start),
                             bytes.begin() + static_cast<std::ptrdiff_t>(end));
            (type == kMetaNotice ? info.notice : info.sequenceName) = std::move(text);
            k = end - 1;
        }
    }
    return info;
}

std::optional<MidiProbe> probeMidiFile(const std::filesystem::path& path, std::string* error) {
    const auto bytes = readWholeFile(path);
    if (!bytes || !readMidiHeader(*bytes)) {
        if (error)
            *error =
                bytes ? path.string() + ": not a MIDI file (no \"MThd\" header of format 0, 1 or 2)"
                      : bytes.error().message();
        return std::nullopt;
    }
    return MidiProbe{bytes->size(), scanMidiTempo(*bytes)};
}

}  // namespace wqe
