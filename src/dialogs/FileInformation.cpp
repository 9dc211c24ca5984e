#include "dialogs/FileInformation.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

#include "card/FileIO.h"
#include "card/MidiFile.h"
#include "card/PhrasePrm.h"
#include "card/TextCodec.h"
#include "codec/KpacHeader.h"
#include "stream/LWaveFile.h"

namespace wqe {

namespace {

constexpr const char* kAudio = "Phrase Type: Audio Phrase";
constexpr const char* kAudioNotSupported = "Phrase Type: Audio Phrase(not supported)";
constexpr const char* kAudioNoFile = "Phrase Type: Audio Phrase(no audio phrase data file)";
constexpr const char* kAudioFailed =
    "Phrase Type: Audio Phrase(failed in reading of audio phrase data file)";
constexpr const char* kMidi = "Phrase Type: MIDI Phrase";
constexpr const char* kMidiNotSupported = "Phrase Type: MIDI Phrase(not supported)";
constexpr const char* kMidiNoFile = "Phrase Type: MIDI Phrase(no MIDI phrase data file)";
constexpr const char* kMidiFailed =
    "Phrase Type: MIDI Phrase(failed in reading of MIDI phrase data file)";
constexpr const char* kPattern = "Phrase Type: Pattern Phrases";
constexpr const char* kPatternNotSupported = "Phrase Type: Pattern Phrases(not supported)";
constexpr const char* kPatternNoFile = "Phrase Type: Pattern Phrases(no pattern phrase data file)";
constexpr const char* kPatternFailed =
    "Phrase Type: Pattern Phrase(failed in reading of pattern phrase data file)";
constexpr const char* kSong = "Phrase Type: Song Phrases";
constexpr const char* kSongNotSupported = "Phrase Type: Song Phrases(not supported)";
constexpr const char* kSongNoFile = "Phrase Type: Song Phrases(no song phrase data file)";
constexpr const char* kSongFailed =
    "Phrase Type: Song Phrase(failed in reading of song phrase data file)";
constexpr const char* kNoValue = "-----";

std::string format(const char* fmt, auto... args) {
    char text[96];
    std::snprintf(text, sizeof text, fmt, args...);
    return text;
}

// The colon after "KPAC Grade" and "KPAC Mode": full width in Japanese.
const char* infoColon(Language lang) { return pick(lang, ":", "\xEF\xBC\x9A"); }

FileInformation failed(const char* line1) {
    FileInformation info;
    info.lines[0] = line1;
    return info;
}

bool fileExists(const std::filesystem::path& file) {
    std::error_code ec;
    return std::filesystem::exists(file, ec);
}

std::string gradeLine(int grade, Language lang) {
    const std::string_view name = kpac::gradeName(grade);
    return std::string("KPAC Grade") + infoColon(lang) + " " +
           (name.empty() ? std::string(kNoValue) : std::string(name));
}

std::string modeLine(std::string_view name, Language lang) {
    return std::string("KPAC Mode") + infoColon(lang) + " " + std::string(name);
}

std::string recordingTypeLine(int channelsMinusOne) {
    return std::string("Recording Type: ") + (channelsMinusOne == 0   ? "MONO"
                                              : channelsMinusOne == 1 ? "STEREO"
                                                                      : kNoValue);
}

// Card texts of a MIDI file shown on one line: control bytes become blanks.
std::string oneLineText(const std::string& cp932) {
    std::string text = cp932ToUtf8(cp932);
    std::replace_if(
        text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20; }, ' ');
    return text;
}

}  // namespace

std::filesystem::path phraseDataFile(const std::filesystem::path& folder, int index,
                                     std::string_view extension) {
    return findCardFile(folder, phraseDataFileName("", index, extension));
}

FileInformation kpacFileInformation(const std::filesystem::path& file, Model m, Language lang) {
    if (!fileExists(file)) return failed(kAudioNoFile);
    const auto start = readPhrFileStart(file);  // the 16-byte header, nothing more
    if (!start) return failed(kAudioFailed);
    if (start->content() != PhrContent::Kpac) return failed(kAudioNoFile);
    const kpac::RawHeader h = start->kpacHeader();

    FileInformation info;
    info.read = true;
    const bool supported = kpacPlayableOn(h, m) && h.channelsMinusOne <= 1;
    info.lines[0] = supported ? kAudio : kAudioNotSupported;
    info.lines[1] = gradeLine(h.grade, lang);
    const bool knownMode = h.mode < kpac::kModeCount;
    info.lines[2] =
        modeLine(knownMode ? kpac::modeName(static_cast<kpac::Mode>(h.mode)) : kNoValue, lang);
    info.lines[3] = recordingTypeLine(h.channelsMinusOne);
    const double divisor = playbackDivisor(h.grade);
    if (divisor == 0.0) {
        info.lines[4] = std::string("Playback Time: ") + kNoValue;
    } else {
        const auto tenths = static_cast<std::int64_t>(
            static_cast<double>(std::int64_t{h.blockCount} * 16) / divisor);
        info.lines[4] =
            format("Playback Time: %02lld:%02d:%02d.%01d(sec)",
                   static_cast<long long>(tenths / 36000), static_cast<int>(tenths / 600 % 60),
                   static_cast<int>(tenths / 10 % 60), static_cast<int>(tenths % 10));
    }
    info.pointsUnavailable = h.mode == static_cast<std::uint8_t>(kpac::Mode::Mode2);
    return info;
}

FileInformation wavFileInformation(const std::filesystem::path& file, Language lang) {
    if (!fileExists(file)) return failed(kAudioNoFile);
    WaveOpenError why = WaveOpenError::None;
    const auto wave = probeWaveFile(file, &why);  // the header up to the first sample byte
    if (!wave) {
        const bool notWave = why == WaveOpenError::NotRiff || why == WaveOpenError::NotWave;
        return failed(notWave ? kAudioNoFile : kAudioFailed);
    }
    const WaveFormat& f = wave->format;
    FileInformation info;
    info.read = true;
    info.lines[0] = kAudio;
    const auto grade = kpac::gradeOfRate(f.sampleRate);
    info.lines[1] = gradeLine(grade ? *grade : -1, lang);
    info.lines[2] = modeLine("WAV", lang);
    info.lines[3] = recordingTypeLine(static_cast<int>(f.channels) - 1);
    // The samples the file holds, even when its data chunk claims more.
    const std::uint64_t present =
        wave->fileSize > wave->dataOffset ? wave->fileSize - wave->dataOffset : 0;
    const std::uint64_t dataBytes = std::min<std::uint64_t>(wave->dataSize, present);
    if (f.sampleRate == 0 || f.blockAlign == 0) {
        info.lines[4] = std::string("Playback Time: ") + kNoValue;
    } else {
        const std::uint64_t seconds = dataBytes / f.blockAlign / f.sampleRate;
        info.lines[4] = format("Playback Time: %02llu:%02d:%02d(sec)",
                               static_cast<unsigned long long>(seconds / 3600),
                               static_cast<int>(seconds / 60 % 60), static_cast<int>(seconds % 60));
    }
    return info;
}

FileInformation midiFileInformation(const std::filesystem::path& file, Language lang) {
    if (!fileExists(file)) return failed(kMidiNoFile);
    const auto bytes = readWholeFile(file);  // the scan may run to the end of the track
    if (!bytes || bytes->size() < kMidiHeaderSize) return failed(kMidiFailed);
    if (!std::equal(bytes->begin(), bytes->begin() + 4, "MThd")) return failed(kMidiNoFile);
    const auto midi = scanMidiInfo(*bytes);
    if (!midi) {
        // "MThd" with a format word beyond 0..255.
        FileInformation info = failed(kMidiNotSupported);
        info.read = true;
        info.lines[1] = "Format: Unknown";
        return info;
    }
    FileInformation info;
    info.read = true;
    const int fmt = midi->header.format;
    info.lines[0] = fmt == 0 ? kMidi : kMidiNotSupported;
    info.lines[1] = fmt <= 2 ? format("Format: format%d", fmt) : std::string("Format: Unknown");
    info.lines[2] =
        format(pick(lang, "TimeBase: %d  Tempo: %d", "TimeBase\xEF\xBC\x9A %d  Tempo: %d"),
               static_cast<int>(midi->header.timeBase), midi->tempo.value_or(kMidiDefaultTempo));
    info.lines[3] = "SequenceName: " + oneLineText(midi->sequenceName);
    info.lines[4] = "Copyright Notice: " + oneLineText(midi->notice);
    return info;
}

FileInformation patternFileInformation(const std::filesystem::path& file, Model m, bool song) {
    PatternReadResult r = readPatternFile(file, m);  // the 1024-byte start at most
    // A song where a pattern belongs, or the other way round, is not this phrase's file.
    if (r.status == PatternReadStatus::Ok && r.data->isSong() != song)
        r.status = PatternReadStatus::NotSupported;
    FileInformation info;
    switch (r.status) {
        case PatternReadStatus::Ok:
            info.read = true;
            info.lines[0] = song ? kSong : kPattern;
            info.patternState = static_cast<PatternDataState>(r.data->kind());
            info.pattern = std::move(r.data);
            return info;
        case PatternReadStatus::Missing:
            info.lines[0] = song ? kSongNoFile : kPatternNoFile;
            break;
        case PatternReadStatus::NotSupported:
            info.lines[0] = song ? kSongNotSupported : kPatternNotSupported;
            break;
        case PatternReadStatus::CannotRead:
        case PatternReadStatus::Short:
            info.lines[0] = song ? kSongFailed : kPatternFailed;
            break;
    }
    info.patternState = song ? PatternDataState::SongFailed : PatternDataState::PatternFailed;
    return info;
}

FileInformation phraseFileInformation(const CWQEPhr& phr, int index, PhraseKind kind,
                                      const std::filesystem::path& folder, Language lang) {
    const Model m = phr.model();
    switch (kind) {
        case PhraseKind::Audio: {
            const std::string_view ext = phr.dataFileExtension(index);
            const auto file = phraseDataFile(folder, index, ext == "WAV" ? "WAV" : "PHR");
            return ext == "WAV" ? wavFileInformation(file, lang)
                                : kpacFileInformation(file, m, lang);
        }
        case PhraseKind::Midi:
            return midiFileInformation(phraseDataFile(folder, index, "MID"), lang);
        case PhraseKind::Pattern:
        case PhraseKind::Song:
            return patternFileInformation(phraseDataFile(folder, index, "PHR"), m,
                                          kind == PhraseKind::Song);
    }
    return {};
}

}  // namespace wqe
