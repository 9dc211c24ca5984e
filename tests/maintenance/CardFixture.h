// Small helpers shared by the maintenance tests: fresh cards and phrase data
// files written by hand in their documented layouts.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "card/CWQEDoc.h"
#include "card/NewCard.h"
#include "support/TempDir.h"

namespace wqe::test {

// A fresh card of model `m` in `folder`; fails the test when it cannot be made.
inline void makeCard(const std::filesystem::path& folder, Model m, int phraseCountCode = 0) {
    const std::string err = createCard(folder, m, phraseCountCode);
    if (!err.empty()) throw std::runtime_error(err);
}

// A KPAC audio file: "QWhP" magic, grade at 6, mode at 7, channels-1 at 9,
// block count at 10..13 (high word first, each word little-endian as the
// header is stored word-swapped), then `blocks` blocks of filler.
inline std::vector<std::uint8_t> kpacFile(int grade, int mode, int stereo, std::uint32_t blocks) {
    std::vector<std::uint8_t> f(16, 0);
    f[0] = 'Q', f[1] = 'W', f[2] = 'h', f[3] = 'P', f[4] = 's', f[5] = 'r';
    f[6] = static_cast<std::uint8_t>(grade);
    f[7] = static_cast<std::uint8_t>(mode);
    f[9] = static_cast<std::uint8_t>(stereo);
    f[10] = static_cast<std::uint8_t>(blocks >> 16);
    f[11] = static_cast<std::uint8_t>(blocks >> 24);
    f[12] = static_cast<std::uint8_t>(blocks);
    f[13] = static_cast<std::uint8_t>(blocks >> 8);
    f.resize(16 + blocks * 20, 0x55);
    return f;
}

// A pattern/song file: "WQPhrs" and the kind at byte 9 (0 WQ-5000 pattern,
// 1 WQ-7000 pattern, 2 song), padded to `size` bytes.
inline std::vector<std::uint8_t> patternFile(int kind, std::size_t size) {
    std::vector<std::uint8_t> f(size, 0);
    const char* magic = "WQPhrs";
    for (int k = 0; k < 6; ++k) f[k] = static_cast<std::uint8_t>(magic[k]);
    f[9] = static_cast<std::uint8_t>(kind);
    return f;
}

// A standard MIDI file of format 0 with one set-tempo event (`usPerQuarter`
// microseconds per quarter note; 0 leaves the event out).
inline std::vector<std::uint8_t> midiFile(std::uint32_t usPerQuarter) {
    std::vector<std::uint8_t> f = {'M', 'T', 'h', 'd', 0,   0,   0,   6, 0, 0, 0,
                                   1,   0,   96,  'M', 'T', 'r', 'k', 0, 0, 0, 0};
    std::vector<std::uint8_t> track;
    if (usPerQuarter) {
        track = {0x00,
                 0xFF,
                 0x51,
                 0x03,
                 static_cast<std::uint8_t>(usPerQuarter >> 16),
                 static_cast<std::uint8_t>(usPerQuarter >> 8),
                 static_cast<std::uint8_t>(usPerQuarter)};
    }
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    f[21] = static_cast<std::uint8_t>(track.size());
    f.insert(f.end(), track.begin(), track.end());
    return f;
}

// A canonical 44-byte-header PCM WAV file with `frames` frames of filler.
inline std::vector<std::uint8_t> wavFile(int channels, int rate, int bits, std::uint32_t frames,
                                         std::size_t extraChunk = 0) {
    auto le16 = [](std::vector<std::uint8_t>& v, std::uint32_t x) {
        v.push_back(static_cast<std::uint8_t>(x));
        v.push_back(static_cast<std::uint8_t>(x >> 8));
    };
    auto le32 = [&](std::vector<std::uint8_t>& v, std::uint32_t x) {
        le16(v, x & 0xFFFF);
        le16(v, x >> 16);
    };
    const std::uint32_t align = static_cast<std::uint32_t>(channels * bits / 8);
    const std::uint32_t dataSize = frames * align;
    std::vector<std::uint8_t> f = {'R', 'I', 'F', 'F'};
    le32(f, 0);
    f.insert(f.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    le32(f, 16);
    le16(f, 1);
    le16(f, static_cast<std::uint32_t>(channels));
    le32(f, static_cast<std::uint32_t>(rate));
    le32(f, static_cast<std::uint32_t>(rate) * align);
    le16(f, align);
    le16(f, static_cast<std::uint32_t>(bits));
    if (extraChunk) {  // an odd-sized chunk before the data shifts it
        f.insert(f.end(), {'J', 'U', 'N', 'K'});
        le32(f, static_cast<std::uint32_t>(extraChunk));
        f.insert(f.end(), extraChunk, 0);
    }
    f.insert(f.end(), {'d', 'a', 't', 'a'});
    le32(f, dataSize);
    for (std::uint32_t k = 0; k < dataSize; ++k) f.push_back(static_cast<std::uint8_t>(k * 7));
    const std::uint32_t riff = static_cast<std::uint32_t>(f.size() - 8);
    for (int k = 0; k < 4; ++k) f[4 + k] = static_cast<std::uint8_t>(riff >> (8 * k));
    return f;
}

}  // namespace wqe::test
