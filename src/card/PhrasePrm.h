// Probing and registering phrase data files: a private copy of one phrase
// record of the card's model with the operations that name, register and
// check its data file ("_WQP%04d.PHR", ".MID", ".WAV").
//
// A ".PHR" file is recognised by its first 16 bytes:
//   "QWhP"  KPAC audio (header bytes: 6 grade, 7 mode, 9 channels - 1,
//           10..13 block count); the WQ-5000 needs grade < 5 and mode < 3,
//           the WQ-7000 grade <= 5 and mode <= 4.
//   "WQPh"  pattern or song file; byte 9 is the kind: 0 WQ-5000 pattern,
//           1 WQ-7000 pattern, 2 WQ-7000 song.
// A file that is missing, unreadable or cut short is not recognised; every
// operation answers true or false and shows nothing.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/FileSystem.h"
#include "card/CWQEPhr.h"
#include "card/MidiFile.h"
#include "card/Model.h"
#include "codec/KpacHeader.h"

namespace wqe {

struct WaveInfo;

// The phrase records in the file's byte order.
struct PHR7000 {
    std::array<std::uint8_t, kPhraseRecordSize7000> rec{};
};
struct PHR5000 {
    std::array<std::uint8_t, kPhraseRecordSize5000> rec{};
};

// What the first 16 bytes of a ".PHR" file hold.
enum class PhrContent {
    Unknown,      // neither magic
    Kpac,         // "QWhP": KPAC audio
    Pattern5000,  // "WQPh", kind byte 0
    Pattern7000,  // "WQPh", kind byte 1
    Song,         // "WQPh", kind byte 2 (WQ-7000 only)
};

// The 16-byte start of a ".PHR" file and the file's length.
struct PhrFileStart {
    std::array<std::uint8_t, kpac::kHeaderSize> bytes{};
    std::uint64_t length = 0;

    PhrContent content() const;
    // The KPAC header fields as they stand (meaningful when content() is Kpac).
    kpac::RawHeader kpacHeader() const;
};
// nullopt when the file cannot be read or holds fewer than 16 bytes.
std::optional<PhrFileStart> readPhrFileStart(const std::filesystem::path& path);

// Whether a model's device plays a KPAC grade and mode: the WQ-5000 grades
// 0..4 in LINEAR, MODE1 and MODE2, the WQ-7000 every grade and mode.
bool kpacPlayableOn(const kpac::RawHeader& h, Model m);

// The WQ-7000 record's format fields for a phrase without audio of its own
// (MIDI, pattern, song): STANDARD, MODE3, stereo.
inline constexpr std::uint32_t kGradeNoAudio = 3;
inline constexpr std::uint32_t kModeNoAudio = 3;
inline constexpr std::uint32_t kRecordingTypeNoAudio = 1;

// How a record filled from a MODE2 KPAC file gets its end point. MODE2
// phrases have no points on the device; the two callers differ on purpose.
enum class Mode2EndPoint {
    AtLength,   // registration of a card's data file: end point := block count
    Untouched,  // phrase copy: the end point stays 0, as on the source card
};

// What a WAV file gives a WQ-7000 audio phrase stored as WAV, or nullopt
// when the file is not acceptable: 16 bits per sample, 1 or 2 channels,
// block align 2 or 4, one of the six grade rates, and sample data at an even
// offset of at most 4095.
struct WavPhraseFormat {
    int grade = 0;          // 0..5 by rate
    int recordingType = 0;  // channels - 1
    std::uint16_t dataOffset = 0;
    std::uint32_t length = 0;  // whole blocks of 16 frames in the sample data present
};
std::optional<WavPhraseFormat> wavPhraseFormat(const WaveInfo& info);

// The default name of a new or registered phrase: the first 8 characters of
// the prefix (the card name) and the phrase number "%03d", padded with blanks
// to the model's name length.
std::string defaultPhraseName(std::string_view prefix, int index, Model m);

class CPhrasePrm {
public:
    virtual ~CPhrasePrm() = default;

    // The erased record of the model.
    virtual void clear() = 0;
    // The record's data file: "PHR" for audio (WQ-7000 mode 5: "WAV"),
    // pattern and song, "MID" for MIDI; "" for an empty slot.
    virtual std::string dataFileName(std::string_view folderPrefix, int index) const = 0;
    // The phrase's kind: kTypeEmpty, kTypeAudio, kTypeMidi, kTypePattern or
    // kTypeSong (the WQ-5000 has no song).
    virtual PhraseType kind() const = 0;
    // The name field up to its first zero byte.
    virtual std::string name() const = 0;

    // Fill the record anew from a data file (kind, format, length, defaults
    // and the default name). False, with the record unchanged, when the file
    // is not recognised. A WQ-5000 pattern file met by the WQ-7000 is first
    // rewritten into the WQ-7000 layout (replacing the file only once the new
    // content is wholly written, through `fsys`).
    virtual bool registerPhr(const std::filesystem::path& path, int index,
                             std::string_view namePrefix, FileSystem& fsys = realFileSystem()) = 0;
    virtual bool registerMid(const std::filesystem::path& path, int index,
                             std::string_view namePrefix) = 0;
    // WQ-7000 only; the WQ-5000 answers false.
    virtual bool registerWav(const std::filesystem::path& path, int index,
                             std::string_view namePrefix) = 0;

    // The record a data file gives, from its already-read start (".PHR") or
    // probe (".MID"): erased record, kind, format, length, defaults and the
    // default name. False, with the record unchanged, when the content is not
    // one the model registers. A WQ-5000 pattern file is not filled on the
    // WQ-7000 (registration converts the file first).
    virtual bool fillFromPhr(const PhrFileStart& start, int index, std::string_view namePrefix,
                             Mode2EndPoint endPoint) = 0;
    virtual void fillFromMidi(const MidiProbe& midi, int index, std::string_view namePrefix) = 0;

    // True when the file is recognised and of the record's kind; the
    // record's file-derived fields are then refreshed from it (whether or not
    // one changed). False, with the record unchanged, otherwise.
    virtual bool checkPhr(const std::filesystem::path& path) = 0;
    // MIDI records: data file length and the second tempo byte.
    virtual bool checkMid(const std::filesystem::path& path);
    // WQ-7000 audio records stored as WAV (mode 5); the WQ-5000 answers false.
    // A record that agrees with the file in grade, recording type, data
    // offset, length and data file length is kept; otherwise those fields
    // are taken from the file and the points reset (start and loop 1 at 0,
    // end and loop 2 at the length).
    virtual bool checkWav(const std::filesystem::path& path) = 0;

    virtual Model model() const = 0;
    virtual std::span<std::uint8_t> bytes() = 0;
    virtual std::span<const std::uint8_t> bytes() const = 0;

    // A view of the private record as phrase index 0, for field access.
    CWQEPhr fields();
    const CWQEPhr fields() const;

    // Whole-record byte comparison with record `index` of a phrase table.
    bool sameAs(const CWQEPhr& phr, int index) const;
    // Copies record `index` of a table in (erased record when it lies
    // outside the table), or this record out to it.
    void copyFrom(const CWQEPhr& phr, int index);
    void copyTo(CWQEPhr& phr, int index) const;

    // An empty object of the model, or one holding a copy of a record.
    static std::unique_ptr<CPhrasePrm> create(Model m);
    static std::unique_ptr<CPhrasePrm> create(const CWQEPhr& phr, int index);
};

class CPhrasePrmW7 : public CPhrasePrm, public PHR7000 {
public:
    CPhrasePrmW7() { clear(); }

    void clear() override;
    std::string dataFileName(std::string_view folderPrefix, int index) const override;
    PhraseType kind() const override;
    std::string name() const override;
    bool registerPhr(const std::filesystem::path& path, int index, std::string_view namePrefix,
                     FileSystem& fsys = realFileSystem()) override;
    bool registerMid(const std::filesystem::path& path, int index,
                     std::string_view namePrefix) override;
    bool registerWav(const std::filesystem::path& path, int index,
                     std::string_view namePrefix) override;
    bool fillFromPhr(const PhrFileStart& start, int index, std::string_view namePrefix,
                     Mode2EndPoint endPoint) override;
    void fillFromMidi(const MidiProbe& midi, int index, std::string_view namePrefix) override;
    bool checkPhr(const std::filesystem::path& path) override;
    bool checkWav(const std::filesystem::path& path) override;

    Model model() const override { return Model::WQ7000; }
    std::span<std::uint8_t> bytes() override { return rec; }
    std::span<const std::uint8_t> bytes() const override { return rec; }
};

class CPhrasePrmW5 : public CPhrasePrm, public PHR5000 {
public:
    CPhrasePrmW5() { clear(); }

    void clear() override;
    std::string dataFileName(std::string_view folderPrefix, int index) const override;
    PhraseType kind() const override;
    std::string name() const override;
    bool registerPhr(const std::filesystem::path& path, int index, std::string_view namePrefix,
                     FileSystem& fsys = realFileSystem()) override;
    bool registerMid(const std::filesystem::path& path, int index,
                     std::string_view namePrefix) override;
    bool registerWav(const std::filesystem::path& path, int index,
                     std::string_view namePrefix) override;
    bool fillFromPhr(const PhrFileStart& start, int index, std::string_view namePrefix,
                     Mode2EndPoint endPoint) override;
    void fillFromMidi(const MidiProbe& midi, int index, std::string_view namePrefix) override;
    bool checkPhr(const std::filesystem::path& path) override;
    bool checkWav(const std::filesystem::path& path) override;

    Model model() const override { return Model::WQ5000; }
    std::span<std::uint8_t> bytes() override { return rec; }
    std::span<const std::uint8_t> bytes() const override { return rec; }
};

}  // namespace wqe
