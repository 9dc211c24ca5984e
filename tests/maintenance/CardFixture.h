// Small helpers shared by the maintenance tests: fresh cards and phrase data
// files written by hand in the device's layouts.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "card/CWQEDoc.h"
#include "card/NewCard.h"
#include "card/PhrasePrm.h"
#include "support/TempDir.h"

namespace wqe::test {

using Bytes = std::vector<std::uint8_t>;
inline std::uint8_t u8(std::uint32_t x) { return static_cast<std::uint8_t>(x); }

// A fresh card of model `m` in `folder`; fails the test when it cannot be made.
inline void makeCard(const std::filesystem::path& folder, Model m, int phraseCountCode = 0) {
    if (const Status made = createCard(folder, m, phraseCountCode); !made)
        throw std::runtime_error(made.error().message());
}

// A fresh card, opened in a document with its own prompter and settings.
struct OpenCard {
    OpenCard(const std::filesystem::path& folder, Model m, int code = 0,
             std::deque<Answer> answers = {}, Answer fallback = Answer::No)
        : prompter(std::move(answers), fallback) {
        makeCard(folder, m, code);
        if (!doc.openCard(folder.string())) throw std::runtime_error("cannot open the card");
    }
    void save() {
        doc.markModified(true);
        if (!doc.onSaveCardInfo()) throw std::runtime_error("cannot save");
    }
    ScriptedPrompter prompter;
    MemorySettings settings;
    CWQEDoc doc{prompter, settings};
};

// Registers record i as `kind` (kKindWav: WQ-7000 audio stored as WAV), as an editor would.
inline constexpr int kKindWav = kTypeAudio + 10;
inline void registerAs(CWQEDoc& doc, int i, int kind, const char* name = "USER NAME") {
    if (doc.model() == Model::WQ7000) {
        doc.phr().setType(i, static_cast<std::uint32_t>(kind == kKindWav ? kTypeAudio : kind));
        if (kind == kKindWav) doc.phr().setMode(i, kModeWav);
    } else {
        doc.phr().setUsed(i, 1);
        doc.phr().setMidiFlag(i, kind == kTypeMidi ? 1 : 0);
        doc.phr().setPatternMode(i, kind == kTypePattern ? 1 : 0);
    }
    doc.phr().setName(i, name);
}

// A KPAC audio file: "QWhP" magic, grade at 6, mode at 7, channels-1 at 9,
// block count at 10..13 (high word first, each word little-endian as the
// header is stored word-swapped), then `blocks` blocks of filler.
inline Bytes kpacFile(int grade, int mode, int stereo, std::uint32_t blocks) {
    // clang-format off
    Bytes f = {'Q', 'W', 'h', 'P', 's', 'r', u8(grade), u8(mode), 0, u8(stereo),
               u8(blocks >> 16), u8(blocks >> 24), u8(blocks), u8(blocks >> 8), 0, 0};
    // clang-format on
    f.resize(16 + blocks * 20, 0x55);
    return f;
}

// A pattern/song file: "WQPhrs" and the kind at byte 9 (0 WQ-5000 pattern,
// 1 WQ-7000 pattern, 2 song), padded to `size` bytes.
inline Bytes patternFile(int kind, std::size_t size) {
    Bytes f = {'W', 'Q', 'P', 'h', 'r', 's', 0, 0, 0, u8(kind)};
    f.resize(size, 0);
    return f;
}

// A standard MIDI file of format 0 with one set-tempo event (`usPerQuarter`
// microseconds per quarter note; 0 leaves the event out).
inline Bytes midiFile(std::uint32_t usPerQuarter) {
    Bytes f = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96, 'M', 'T', 'r', 'k', 0, 0, 0, 0};
    Bytes track;
    if (usPerQuarter)
        track = {0, 0xFF, 0x51, 3, u8(usPerQuarter >> 16), u8(usPerQuarter >> 8), u8(usPerQuarter)};
    track.insert(track.end(), {0x00, 0xFF, 0x2F, 0x00});
    f[21] = u8(track.size());
    f.insert(f.end(), track.begin(), track.end());
    return f;
}

// A canonical 44-byte-header PCM WAV file with `frames` frames of filler;
// `extraChunk` bytes of an extra chunk before the data shift it.
inline Bytes wavFile(int channels, int rate, int bits, std::uint32_t frames,
                     std::size_t extraChunk = 0) {
    Bytes f;
    auto le = [&f](std::uint32_t x) {
        for (int k = 0; k < 4; ++k) f.push_back(u8(x >> (8 * k)));
    };
    auto tag = [&f](std::string_view s) { f.insert(f.end(), s.begin(), s.end()); };
    const std::uint32_t align = channels * bits / 8, dataSize = frames * align;
    const std::size_t junk = extraChunk ? 8 + extraChunk : 0;
    tag("RIFF"), le(static_cast<std::uint32_t>(36 + junk + dataSize)), tag("WAVEfmt ");
    // The 2-byte fields go in pairs: format 1 and channels, align and bits.
    le(16), le(1 | channels << 16), le(rate), le(rate * align), le(align | bits << 16);
    if (extraChunk) {
        tag("JUNK"), le(static_cast<std::uint32_t>(extraChunk));
        f.insert(f.end(), extraChunk, 0);
    }
    tag("data"), le(dataSize);
    for (std::uint32_t k = 0; k < dataSize; ++k) f.push_back(u8(k * 7));
    return f;
}

// Every entry under `folder` by relative path: a file's bytes, or "<dir>"
// for a folder; entries whose first or last part `skip` names are left out.
// Two equal snapshots mean nothing was written or removed.
inline std::map<std::string, std::string> snapshot(const std::filesystem::path& folder,
                                                   bool (*skip)(std::string_view) = nullptr) {
    std::map<std::string, std::string> entries;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
        const std::filesystem::path rel = e.path().lexically_relative(folder);
        if (skip && (skip(rel.begin()->string()) || skip(rel.filename().string()))) continue;
        entries[rel.string()] = e.is_directory() ? std::string("<dir>") : readText(e.path());
    }
    return entries;
}

// Runs `body` in a child process whose files may grow to at most
// `fileSizeLimit` bytes (writing more fails with "File too large"); returns
// the child's exit status, or -1 when it did not exit normally.
inline int runWithFileSizeLimit(rlim_t fileSizeLimit, const std::function<int()>& body) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace wqe::test
