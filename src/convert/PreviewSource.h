// Hearing a phrase before (or after) it goes on the card.
//
// A PreviewSource streams a phrase data file as PCM: signed 16-bit samples,
// frames interleaved (left, right), the phrase's volume applied.
//  - KPAC phrase files (magic "QWhP") are decoded by the KPAC decoder on a
//    thread of their own into a bounded buffer, so playback starts after the
//    first run of blocks, not after the whole phrase; memory use does not
//    depend on the phrase's length.
//  - WAV files are read from their data chunk: PCM of 16 or 24 bits (24-bit
//    samples keep their top two bytes, as the decoder's 16-bit output does),
//    mono or stereo, any rate.
// Start and end points, loops, fades and delays are not applied: a preview
// plays the whole data file once.
//
// PreviewPlayback is the player's state machine, free of any sound system:
// idle until something plays; playing; stopped by the user; at the end of
// the data once the output has played everything. Playing while something
// plays switches: the first preview stops, the second starts. The sound
// output (PreviewOutput) pulls PCM from it; the editor's output wraps the
// system's audio device, tests use a double.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/Error.h"

namespace wqe {

class CWQEDoc;

// What a preview plays: signed 16-bit samples, frames interleaved.
struct PreviewFormat {
    std::uint32_t sampleRate = 0;
    int channels = 0;  // 1 or 2

    bool operator==(const PreviewFormat&) const = default;
};

// Volume in percent as the phrase record holds it; 0 is silence and values
// above 100 play as 100 (a preview never amplifies, so it never clips).
inline constexpr int kPreviewFullVolume = 100;

// The frames read() may wait for when no wait is given: until the decoder
// has produced them (it runs far faster than real time).
inline constexpr std::chrono::milliseconds kPreviewWaitForever = std::chrono::milliseconds::max();

class PreviewSource {
public:
    virtual ~PreviewSource() = default;
    PreviewSource(const PreviewSource&) = delete;
    PreviewSource& operator=(const PreviewSource&) = delete;

    const PreviewFormat& format() const { return format_; }
    const std::filesystem::path& path() const { return path_; }
    // Frames the file announces (KPAC: 16 × its block count; WAV: whole
    // frames of the data the file holds). When a KPAC file holds fewer
    // blocks than it announces, this becomes the frames read once the data
    // ends.
    std::uint64_t totalFrames() const { return total_; }
    // Frames read so far.
    std::uint64_t position() const { return position_; }
    int volume() const { return volume_; }

    // Up to `frames` frames into `dst` (frames × channels samples), the volume
    // applied. Waits up to `wait` for frames the decoder has not produced yet;
    // returns 0 at the end of the data, or when the wait ran out (atEnd()
    // tells which).
    std::size_t read(std::int16_t* dst, std::size_t frames,
                     std::chrono::milliseconds wait = kPreviewWaitForever);
    // True once every frame has been read (or the data ended early).
    bool atEnd() const { return ended_; }
    // Why the data ended before its announced length could be read, if it did.
    const std::optional<Error>& failure() const { return failure_; }

protected:
    PreviewSource(std::filesystem::path path, PreviewFormat format, std::uint64_t total,
                  int volume);
    // Up to `frames` raw frames; 0 with `ended` set at the end of the data.
    virtual std::size_t readFrames(std::int16_t* dst, std::size_t frames,
                                   std::chrono::milliseconds wait, bool& ended) = 0;
    void setFailure(Error error) { failure_ = std::move(error); }

private:
    std::filesystem::path path_;
    PreviewFormat format_;
    std::uint64_t total_ = 0;
    std::uint64_t position_ = 0;
    int volume_ = kPreviewFullVolume;
    bool ended_ = false;
    std::optional<Error> failure_;
};

// Opens a data file for a preview at `volumePercent`: a KPAC phrase file or a
// PCM WAV file, told apart by their first bytes. Errors name the file:
// NotFound / PermissionDenied / ReadFailed when it cannot be read, BadFormat
// when it is neither or its header is broken, Unsupported for a pattern,
// song or MIDI file and for WAV data other than 16/24-bit PCM.
Result<std::unique_ptr<PreviewSource>> openPreviewSource(const std::filesystem::path& path,
                                                         int volumePercent);

// The sample a volume gives: sample × volume / 100, truncated toward zero.
std::int16_t applyPreviewVolume(std::int16_t sample, int volumePercent);

// "mm:ss.s" of a frame count at a rate: minutes (two digits or more),
// seconds, tenths truncated; "00:00.0" for a rate of 0.
std::string previewTimeText(std::uint64_t frames, std::uint32_t sampleRate);

// Whether the phrase list can play a row: an audio phrase of the open card
// (not without a card, nor for an index outside it).
bool hasPhrasePreview(const CWQEDoc& doc, int index);
// What the phrase list plays for such a row: the data file (the name on
// disk, letter case ignored) and the phrase's volume; nullopt for any other.
struct PhrasePreview {
    std::filesystem::path file;
    int volume = kPreviewFullVolume;
};
std::optional<PhrasePreview> phrasePreview(const CWQEDoc& doc, int index);

// ---------------------------------------------------------------------------
// The player's state machine.

enum class PreviewState {
    Idle,       // nothing played yet
    Playing,    // the output pulls PCM from the source
    Stopped,    // the user stopped it
    EndOfData,  // everything was played
};

class PreviewPlayback;

// The sound output a preview plays through. start() begins pulling frames
// with PreviewPlayback::pull; when pull() has returned 0 with pullEnded()
// true and everything pulled has been heard, the output calls
// PreviewPlayback::drained().
class PreviewOutput {
public:
    virtual ~PreviewOutput() = default;
    // False when there is no device to play on (a server, CI).
    virtual bool available() const = 0;
    virtual Status start(const PreviewFormat& format, PreviewPlayback& playback) = 0;
    // Stops at once; nothing more is pulled.
    virtual void stop() = 0;
    // Frames heard since start().
    virtual std::uint64_t playedFrames() const = 0;
};

class PreviewPlayback {
public:
    explicit PreviewPlayback(PreviewOutput& output) : output_(output) {}
    ~PreviewPlayback();
    PreviewPlayback(const PreviewPlayback&) = delete;
    PreviewPlayback& operator=(const PreviewPlayback&) = delete;

    // Plays `source` for phrase index `phrase` (-1: a file that is not a row).
    // A preview under way stops first (switching rows). When the output
    // cannot start, the state is Stopped and the error is returned.
    Status play(std::unique_ptr<PreviewSource> source, int phrase = -1);
    // Playing -> Stopped; nothing in the other states.
    void stop();
    // What Space on row `phrase` does: true when it stops (that row plays),
    // false when it plays the row.
    bool stopsOnToggle(int phrase) const {
        return state_ == PreviewState::Playing && phrase_ == phrase;
    }

    // The output's pull: up to `frames` frames; 0 when the wait ran out or
    // at the end of the data (pullEnded() then true).
    std::size_t pull(std::int16_t* dst, std::size_t frames,
                     std::chrono::milliseconds wait = kPreviewWaitForever);
    bool pullEnded() const;
    // The output has played every pulled frame after the end: Playing ->
    // EndOfData.
    void drained();

    PreviewState state() const { return state_; }
    bool isPlaying() const { return state_ == PreviewState::Playing; }
    // The phrase of the current or last preview (-1 for a file or none).
    int phrase() const { return phrase_; }
    const std::filesystem::path& path() const { return path_; }
    const PreviewFormat& format() const { return format_; }
    // Frames heard: the output's count, never past what was read; the total
    // once the end was played.
    std::uint64_t position() const;
    std::uint64_t totalFrames() const { return total_; }
    // "mm:ss.s / mm:ss.s" of position and total.
    std::string positionText() const;
    // Why the last preview's data ended early, if it did.
    const std::optional<Error>& failure() const { return failure_; }

    // Called after every change of state.
    std::function<void()> onStateChanged;

private:
    void setState(PreviewState state);
    // Keeps what the display needs and releases the source (its decoder).
    void release();

    PreviewOutput& output_;
    std::unique_ptr<PreviewSource> source_;
    PreviewState state_ = PreviewState::Idle;
    int phrase_ = -1;
    std::filesystem::path path_;
    PreviewFormat format_;
    std::uint64_t total_ = 0;
    std::uint64_t read_ = 0;   // frames pulled from the source
    std::uint64_t heard_ = 0;  // position kept after the source is released
    std::optional<Error> failure_;
};

}  // namespace wqe
