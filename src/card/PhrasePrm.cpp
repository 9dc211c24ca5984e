#include "card/PhrasePrm.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "card/FileIO.h"
#include "card/MidiFile.h"
#include "card/PatternFile.h"
#include "codec/KpacHeader.h"
#include "stream/LWaveFile.h"

namespace wqe {

namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kKpacDataOffset = 16;
constexpr std::size_t kPatternKindByte = kPatternHeaderSize + kPatternKindOffset;  // file offset 9
constexpr std::uint32_t kWavMaxDataOffset = 4095;

// The WQ-5000 plays grades 0..4 (no S-HIGH) in LINEAR, MODE1 and MODE2.
constexpr int kGradeCount5000 = 5;
constexpr int kModeCount5000 = 3;

std::uint32_t clamp32(std::uint64_t v) {
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(v, 0xFFFFFFFFu));
}

// The file-derived audio fields of a record agree with a KPAC header when
// grade, mode and recording type are the header's, the length L lies within
// H - 1 <= L <= H and the data file length D within F - 16 <= D <= F.
bool audioAgrees(const CWQEPhr& p, const kpac::RawHeader& h, std::uint64_t fileLength) {
    const std::int64_t L = p.getLength(0), H = h.blockCount;
    const std::int64_t D = p.getDataFileLength(0), F = static_cast<std::int64_t>(fileLength);
    return p.getGrade(0) == h.grade && p.getMode(0) == h.mode &&
           p.getRecordingType(0) == h.channelsMinusOne && H - 1 <= L && L <= H && F - 16 <= D &&
           D <= F;
}

// Rewrites a WQ-5000 pattern file (kind 0) into the WQ-7000 pattern layout:
// the 506-byte block at the start of a zeroed 1018-byte block, kind 1 and
// step volumes of 100; the file becomes exactly 1024 bytes. The new content
// replaces the file only once it is wholly written.
bool convertPattern5000To7000(FileSystem& fsys, const fs::path& path) {
    constexpr std::size_t kOldSize = kPatternHeaderSize + kPatternBlockSize5000;
    constexpr std::size_t kVolumes =
        kPatternHeaderSize + kPatternBlockSize5000;  // data bytes 506..633
    const auto old = fsys.readAll(path);
    if (!old || old->size() < kOldSize) return false;
    std::vector<std::uint8_t> file(kPatternHeaderSize + kPatternBlockSize7000, 0);
    std::copy_n(old->begin(), kOldSize, file.begin());
    file[kPatternKindByte] = static_cast<std::uint8_t>(PatternKind::Pattern7000);
    std::fill_n(file.begin() + kVolumes, kPatternAllSteps, kDefaultStepVolume);
    return bool(writeFileAtomic(fsys, path, file));
}

// The format fields of a record filled from a phrase without audio of its own.
void setNoAudioFormat(CWQEPhr& p) {
    p.setGrade(0, kGradeNoAudio);
    p.setMode(0, kModeNoAudio);
    p.setRecordingType(0, kRecordingTypeNoAudio);
}

// What registration leaves in every WQ-7000 record it fills.
void setRegistered7000(CWQEPhr& p, std::uint8_t tempoByte) {
    p.setVolume(0, kVolumeNewPhrase);
    p.setTempo(0, tempoByte);
    p.setTempo2(0, tempoByte);
    p.setRegistered(0, 1);
}

}  // namespace

PhrContent PhrFileStart::content() const {
    if (std::memcmp(bytes.data(), kpac::kMagic.data(), kpac::kMagic.size()) == 0)
        return PhrContent::Kpac;
    if (std::memcmp(bytes.data(), kPatternHeader, 4) != 0) return PhrContent::Unknown;
    switch (static_cast<PatternKind>(bytes[kPatternKindByte])) {
        case PatternKind::Pattern5000:
            return PhrContent::Pattern5000;
        case PatternKind::Pattern7000:
            return PhrContent::Pattern7000;
        case PatternKind::Song:
            return PhrContent::Song;
        default:
            return PhrContent::Unknown;
    }
}

kpac::RawHeader PhrFileStart::kpacHeader() const { return *kpac::readRawHeader(bytes); }

std::optional<PhrFileStart> readPhrFileStart(const fs::path& path) {
    std::error_code ec;
    const auto length = fs::file_size(path, ec);
    if (ec) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    PhrFileStart start;
    start.length = length;
    in.read(reinterpret_cast<char*>(start.bytes.data()),
            static_cast<std::streamsize>(start.bytes.size()));
    if (!in) return std::nullopt;  // unreadable, or fewer than 16 bytes
    return start;
}

bool kpacPlayableOn(const kpac::RawHeader& h, Model m) {
    return m == Model::WQ5000 ? (h.grade < kGradeCount5000 && h.mode < kModeCount5000)
                              : (h.grade < kpac::kGradeCount && h.mode < kpac::kModeCount);
}

std::optional<WavPhraseFormat> wavPhraseFormat(const WaveInfo& info) {
    const WaveFormat& f = info.format;
    if (f.bitsPerSample != 16 || (f.channels != 1 && f.channels != 2)) return std::nullopt;
    if (f.blockAlign != 2 && f.blockAlign != 4) return std::nullopt;
    if (info.dataOffset % 2 != 0 || info.dataOffset > kWavMaxDataOffset) return std::nullopt;
    const auto grade = kpac::gradeOfRate(f.sampleRate);
    if (!grade) return std::nullopt;
    // A file cut short holds fewer samples than its "data" chunk states.
    std::uint64_t dataBytes = info.dataSize;
    if (info.fileSize >= info.dataOffset)
        dataBytes = std::min(dataBytes, info.fileSize - info.dataOffset);
    WavPhraseFormat w;
    w.grade = *grade;
    w.recordingType = f.channels - 1;
    w.dataOffset = static_cast<std::uint16_t>(info.dataOffset);
    w.length = clamp32(dataBytes / (2u * f.channels) / 16);
    return w;
}

std::string defaultPhraseName(std::string_view prefix, int index, Model m) {
    prefix = prefix.substr(0, std::min(prefix.find('\0'), std::size_t{8}));
    char number[16];
    std::snprintf(number, sizeof number, "%03d", index + 1);
    std::string name = std::string(prefix) + number;
    name.resize(phraseNameLength(m), ' ');
    return name;
}

// ------------------------------------------------------------ CPhrasePrm

CWQEPhr CPhrasePrm::fields() {
    CWQEPhr p;
    p.setModel(model());
    p.attach(bytes());
    return p;
}

const CWQEPhr CPhrasePrm::fields() const { return const_cast<CPhrasePrm*>(this)->fields(); }

bool CPhrasePrm::sameAs(const CWQEPhr& phr, int index) const {
    const std::size_t size = phraseRecordSize(model());
    const auto image = phr.image();
    const std::size_t off = static_cast<std::size_t>(index) * size;
    if (index < 0 || phr.model() != model() || off + size > image.size()) return false;
    return std::equal(bytes().begin(), bytes().end(),
                      image.begin() + static_cast<std::ptrdiff_t>(off));
}

void CPhrasePrm::copyFrom(const CWQEPhr& phr, int index) {
    const std::size_t size = phraseRecordSize(model());
    const auto image = phr.image();
    const std::size_t off = static_cast<std::size_t>(index) * size;
    if (index < 0 || phr.model() != model() || off + size > image.size()) {
        clear();
        return;
    }
    std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(off), size, bytes().begin());
}

void CPhrasePrm::copyTo(CWQEPhr& phr, int index) const {
    if (phr.model() != model()) return;
    const std::span<std::uint8_t> dst = phr.record(index);
    if (dst.size() == bytes().size()) std::copy(bytes().begin(), bytes().end(), dst.begin());
}

bool CPhrasePrm::checkMid(const fs::path& path) {
    if (kind() != kTypeMidi) return false;
    const auto midi = probeMidiFile(path);
    if (!midi) return false;
    CWQEPhr p = fields();
    p.setDataFileLength(0, clamp32(midi->fileLength));
    p.setTempo2(0, midiTempoByte(midi->tempo));
    return true;
}

std::unique_ptr<CPhrasePrm> CPhrasePrm::create(Model m) {
    if (m == Model::WQ7000) return std::make_unique<CPhrasePrmW7>();
    return std::make_unique<CPhrasePrmW5>();
}

std::unique_ptr<CPhrasePrm> CPhrasePrm::create(const CWQEPhr& phr, int index) {
    auto prm = create(phr.model());
    prm->copyFrom(phr, index);
    return prm;
}

// ------------------------------------------------------------ WQ-7000

void CPhrasePrmW7::clear() {
    const auto erased = CWQEPhr::erasedImage(Model::WQ7000, 1);
    std::copy(erased.begin(), erased.end(), rec.begin());
}

std::string CPhrasePrmW7::dataFileName(std::string_view folderPrefix, int index) const {
    switch (kind()) {
        case kTypeAudio:
            return phraseDataFileName(folderPrefix, index,
                                      fields().getMode(0) == kModeWav ? "WAV" : "PHR");
        case kTypeMidi:
            return phraseDataFileName(folderPrefix, index, "MID");
        case kTypePattern:
        case kTypeSong:
            return phraseDataFileName(folderPrefix, index, "PHR");
        default:
            return {};
    }
}

PhraseType CPhrasePrmW7::kind() const {
    const int type = rec[0];
    return type >= kTypeAudio && type <= kTypeSong ? static_cast<PhraseType>(type) : kTypeEmpty;
}

std::string CPhrasePrmW7::name() const { return fields().getName(0); }

bool CPhrasePrmW7::fillFromPhr(const PhrFileStart& start, int index, std::string_view namePrefix,
                               Mode2EndPoint endPoint) {
    const PhrContent content = start.content();
    const kpac::RawHeader h = start.kpacHeader();
    if (content == PhrContent::Kpac && !kpacPlayableOn(h, Model::WQ7000)) return false;
    if (content != PhrContent::Kpac && content != PhrContent::Pattern7000 &&
        content != PhrContent::Song)
        return false;
    clear();
    CWQEPhr p = fields();
    if (content == PhrContent::Kpac) {
        p.setType(0, kTypeAudio);
        p.setGrade(0, h.grade);
        p.setMode(0, h.mode);
        p.setRecordingType(0, h.channelsMinusOne);
        p.setLength(0, h.blockCount);
        p.setDataOffset(0, kKpacDataOffset);
        const bool mode2 = h.mode == static_cast<int>(kpac::Mode::Mode2);
        if (!mode2 || endPoint == Mode2EndPoint::AtLength) p.setEndPoint(0, h.blockCount);
        if (!mode2) p.setLoop2Point(0, h.blockCount);
    } else {
        p.setType(0, content == PhrContent::Song ? kTypeSong : kTypePattern);
        setNoAudioFormat(p);
    }
    p.setDataFileLength(0, clamp32(start.length));
    setRegistered7000(p, kTempoByteRegistered);
    p.setName(0, defaultPhraseName(namePrefix, index, Model::WQ7000));
    return true;
}

void CPhrasePrmW7::fillFromMidi(const MidiProbe& midi, int index, std::string_view namePrefix) {
    clear();
    CWQEPhr p = fields();
    p.setType(0, kTypeMidi);
    setNoAudioFormat(p);
    p.setDataFileLength(0, clamp32(midi.fileLength));
    setRegistered7000(p, midiTempoByte(midi.tempo));
    p.setName(0, defaultPhraseName(namePrefix, index, Model::WQ7000));
}

bool CPhrasePrmW7::registerPhr(const fs::path& path, int index, std::string_view namePrefix,
                               FileSystem& fsys) {
    auto start = readPhrFileStart(path);
    if (!start) return false;
    if (start->content() == PhrContent::Pattern5000) {
        // A WQ-5000 pattern on a WQ-7000 card is rewritten into the WQ-7000 layout first.
        if (!convertPattern5000To7000(fsys, path)) return false;
        start = readPhrFileStart(path);
        if (!start) return false;
    }
    return fillFromPhr(*start, index, namePrefix, Mode2EndPoint::AtLength);
}

bool CPhrasePrmW7::registerMid(const fs::path& path, int index, std::string_view namePrefix) {
    const auto midi = probeMidiFile(path);
    if (!midi) return false;
    fillFromMidi(*midi, index, namePrefix);
    return true;
}

bool CPhrasePrmW7::registerWav(const fs::path& path, int index, std::string_view namePrefix) {
    const auto info = probeWaveFile(path);
    if (!info) return false;
    const auto w = wavPhraseFormat(*info);
    if (!w) return false;
    clear();
    CWQEPhr p = fields();
    p.setType(0, kTypeAudio);
    p.setMode(0, kModeWav);
    p.setGrade(0, static_cast<std::uint32_t>(w->grade));
    p.setRecordingType(0, static_cast<std::uint32_t>(w->recordingType));
    p.setDataOffset(0, w->dataOffset);
    p.setLength(0, w->length);
    p.setEndPoint(0, w->length);
    p.setLoop2Point(0, w->length);
    p.setDataFileLength(0, clamp32(info->fileSize));
    setRegistered7000(p, kTempoByteRegistered);
    p.setName(0, defaultPhraseName(namePrefix, index, Model::WQ7000));
    return true;
}

bool CPhrasePrmW7::checkPhr(const fs::path& path) {
    const auto start = readPhrFileStart(path);
    if (!start) return false;
    CWQEPhr p = fields();
    const std::uint32_t F = clamp32(start->length);
    const PhrContent content = start->content();
    switch (kind()) {
        case kTypePattern:
        case kTypeSong:
            if (content != (kind() == kTypePattern ? PhrContent::Pattern7000 : PhrContent::Song))
                return false;
            p.setDataFileLength(0, F);
            return true;
        case kTypeAudio: {
            if (content != PhrContent::Kpac) return false;
            const kpac::RawHeader h = start->kpacHeader();
            if (audioAgrees(p, h, start->length)) {
                if (p.getMode(0) == static_cast<int>(kpac::Mode::Mode2) &&
                    p.getEndPoint(0) != h.blockCount)
                    p.setEndPoint(0, h.blockCount);
            } else {
                p.setGrade(0, h.grade);
                p.setMode(0, h.mode);
                p.setRecordingType(0, h.channelsMinusOne);
                p.setLength(0, h.blockCount);
                p.setStartPoint(0, 0);
                p.setEndPoint(0, h.blockCount);
                p.setLoop1Point(0, 0);
                p.setLoop2Point(0, h.blockCount);
            }
            p.setDataFileLength(0, F);
            p.setDataOffset(0, kKpacDataOffset);
            return true;
        }
        default:
            return false;
    }
}

bool CPhrasePrmW7::checkWav(const fs::path& path) {
    CWQEPhr p = fields();
    if (kind() != kTypeAudio || p.getMode(0) != kModeWav) return false;
    const auto info = probeWaveFile(path);
    if (!info) return false;
    const auto w = wavPhraseFormat(*info);
    if (!w) return false;
    const std::uint32_t F = clamp32(info->fileSize);
    const bool agrees = p.getGrade(0) == static_cast<std::uint32_t>(w->grade) &&
                        p.getRecordingType(0) == static_cast<std::uint32_t>(w->recordingType) &&
                        p.getDataOffset(0) == w->dataOffset && p.getLength(0) == w->length &&
                        p.getDataFileLength(0) == F;
    if (!agrees) {
        p.setGrade(0, static_cast<std::uint32_t>(w->grade));
        p.setRecordingType(0, static_cast<std::uint32_t>(w->recordingType));
        p.setDataOffset(0, w->dataOffset);
        p.setLength(0, w->length);
        p.setDataFileLength(0, F);
        p.setStartPoint(0, 0);
        p.setEndPoint(0, w->length);
        p.setLoop1Point(0, 0);
        p.setLoop2Point(0, w->length);
    }
    return true;
}

// ------------------------------------------------------------ WQ-5000

void CPhrasePrmW5::clear() {
    const auto erased = CWQEPhr::erasedImage(Model::WQ5000, 1);
    std::copy(erased.begin(), erased.end(), rec.begin());
}

std::string CPhrasePrmW5::dataFileName(std::string_view folderPrefix, int index) const {
    switch (kind()) {
        case kTypeAudio:
        case kTypePattern:
            return phraseDataFileName(folderPrefix, index, "PHR");
        case kTypeMidi:
            return phraseDataFileName(folderPrefix, index, "MID");
        default:
            return {};
    }
}

PhraseType CPhrasePrmW5::kind() const {
    const CWQEPhr p = fields();
    if (p.getUsed(0) != 1) return kTypeEmpty;
    if (p.getMidiFlag(0) == 1) return kTypeMidi;
    return p.getMidiFlag(0) == 0 && p.getPatternMode(0) > 0 ? kTypePattern : kTypeAudio;
}

std::string CPhrasePrmW5::name() const { return fields().getName(0); }

bool CPhrasePrmW5::fillFromPhr(const PhrFileStart& start, int index, std::string_view namePrefix,
                               Mode2EndPoint) {
    const PhrContent content = start.content();
    const kpac::RawHeader h = start.kpacHeader();
    if (content == PhrContent::Kpac && !kpacPlayableOn(h, Model::WQ5000)) return false;
    if (content != PhrContent::Kpac && content != PhrContent::Pattern5000 &&
        content != PhrContent::Pattern7000)
        return false;
    clear();
    CWQEPhr p = fields();
    p.setUsed(0, 1);
    if (content == PhrContent::Kpac) {
        p.setGrade(0, h.grade);
        p.setMode(0, h.mode);
        p.setRecordingType(0, h.channelsMinusOne);
        p.setLength(0, h.blockCount);
    } else {
        p.setVolume(0, 0);
        p.setPatternMode(0, 1);  // SEQUENCE
        p.setTempo(0, 0);
        p.setTempo2(0, 0);
    }
    p.setDataFileLength(0, clamp32(start.length));
    p.setName(0, defaultPhraseName(namePrefix, index, Model::WQ5000));
    return true;
}

void CPhrasePrmW5::fillFromMidi(const MidiProbe& midi, int index, std::string_view namePrefix) {
    clear();
    CWQEPhr p = fields();
    p.setUsed(0, 1);
    p.setMidiFlag(0, 1);
    p.setDataFileLength(0, clamp32(midi.fileLength));
    p.setVolume(0, 0);
    p.setTempo(0, midiTempoByte(midi.tempo));
    p.setTempo2(0, midiTempoByte(midi.tempo));
    p.setName(0, defaultPhraseName(namePrefix, index, Model::WQ5000));
}

bool CPhrasePrmW5::registerPhr(const fs::path& path, int index, std::string_view namePrefix,
                               FileSystem& /*fsys: a WQ-5000 registration writes nothing*/) {
    const auto start = readPhrFileStart(path);
    return start && fillFromPhr(*start, index, namePrefix, Mode2EndPoint::AtLength);
}

bool CPhrasePrmW5::registerMid(const fs::path& path, int index, std::string_view namePrefix) {
    const auto midi = probeMidiFile(path);
    if (!midi) return false;
    fillFromMidi(*midi, index, namePrefix);
    return true;
}

bool CPhrasePrmW5::registerWav(const fs::path&, int, std::string_view) { return false; }

bool CPhrasePrmW5::checkPhr(const fs::path& path) {
    const auto start = readPhrFileStart(path);
    if (!start) return false;
    CWQEPhr p = fields();
    const std::uint32_t F = clamp32(start->length);
    switch (kind()) {
        case kTypePattern:
            if (start->content() != PhrContent::Pattern5000) return false;
            p.setDataFileLength(0, F);
            return true;
        case kTypeAudio: {
            const kpac::RawHeader h = start->kpacHeader();
            if (start->content() != PhrContent::Kpac || !kpacPlayableOn(h, Model::WQ5000))
                return false;
            if (!audioAgrees(p, h, start->length)) {
                p.setGrade(0, h.grade);
                p.setMode(0, h.mode);
                p.setRecordingType(0, h.channelsMinusOne);
                p.setLength(0, h.blockCount);
                p.setDataFileLength(0, F);
            }
            return true;
        }
        default:
            return false;
    }
}

bool CPhrasePrmW5::checkWav(const fs::path&) { return false; }

}  // namespace wqe
