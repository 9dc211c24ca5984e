#include "card/PatternFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>

#include "base/FileSystem.h"

namespace wqe {

namespace {

constexpr std::size_t kMarkerBytes = 3;
constexpr std::size_t kStepOffset = 10;  // main steps: reference, interval
constexpr std::size_t kStepStride = 4;
constexpr std::size_t kInterruptOffset = 410;      // interrupt steps: reference only
constexpr std::size_t kInterruptStepOffset = 504;  // 1-based interrupt step
constexpr std::size_t kVolumeOffset = 506;         // WQ-7000 pattern step volumes
constexpr std::size_t kSongRefOffset = 10;
constexpr std::size_t kSongStartOffset = 210;

std::string fileLabel(const std::filesystem::path& path) {
    return path.filename().string() + " (" + path.string() + ")";
}

}  // namespace

std::size_t patternBlockSize(PatternKind kind) {
    return kind == PatternKind::Pattern5000 ? kPatternBlockSize5000 : kPatternBlockSize7000;
}

const char* patternWriteFailureMessage(PatternKind kind) {
    return kind == PatternKind::Song ? kMsgSongWriteFailed : kMsgPatternWriteFailed;
}

bool patternModeUsesInterrupts(Model m, int patternMode) {
    return m == Model::WQ7000 ? (patternMode == 2 || patternMode == 3)
                              : (patternMode == 3 || patternMode == 4);
}

int patternModeRandom1(Model m) { return m == Model::WQ7000 ? 1 : 2; }

int patternStepCount(Model m, int patternMode) {
    return patternModeUsesInterrupts(m, patternMode) ? kPatternAllSteps : kPatternMainSteps;
}

void sortSongSteps(std::vector<SongStep>& steps) {
    auto rank = [](const SongStep& s) {
        return s.ref == kStepUnused ? 2 : s.ref == kSongStop ? 1 : 0;
    };
    std::stable_sort(steps.begin(), steps.end(), [&](const SongStep& a, const SongStep& b) {
        if (rank(a) != rank(b)) return rank(a) < rank(b);
        return rank(a) < 2 && a.startMs < b.startMs;
    });
    for (SongStep& s : steps)
        if (s.ref == kStepUnused) s.startMs = 0;
}

PatternData::PatternData(PatternKind kind) : kind_(kind), block_(patternBlockSize(kind), 0) {
    std::fill_n(block_.begin(), kMarkerBytes, std::uint8_t{0xFF});
    block_[kPatternKindOffset] = static_cast<std::uint8_t>(kind);
    if (isPattern()) {
        for (int i = 0; i < kPatternAllSteps; ++i) setStepRef(i, kStepUnused);
        if (kind == PatternKind::Pattern7000)
            std::fill_n(block_.begin() + kVolumeOffset, kPatternAllSteps, kDefaultStepVolume);
    } else {
        for (int i = 0; i < kSongSteps; ++i) setU16(kSongRefOffset + 2 * i, kStepUnused);
    }
}

PatternData::PatternData(PatternKind kind, std::vector<std::uint8_t> block)
    : kind_(kind), block_(std::move(block)) {
    block_.resize(patternBlockSize(kind), 0);
}

std::uint16_t PatternData::u16(std::size_t off) const {
    return static_cast<std::uint16_t>(block_[off] << 8 | block_[off + 1]);
}

void PatternData::setU16(std::size_t off, std::uint16_t v) {
    block_[off] = static_cast<std::uint8_t>(v >> 8);
    block_[off + 1] = static_cast<std::uint8_t>(v & 0xFF);
}

std::uint16_t PatternData::stepRef(int step) const {
    if (!isPattern() || step < 0 || step >= kPatternAllSteps) return kStepUnused;
    if (step < kPatternMainSteps) return u16(kStepOffset + kStepStride * step);
    return u16(kInterruptOffset + 2 * (step - kPatternMainSteps));
}

void PatternData::setStepRef(int step, std::uint16_t ref) {
    if (!isPattern() || step < 0 || step >= kPatternAllSteps) return;
    if (step < kPatternMainSteps)
        setU16(kStepOffset + kStepStride * step, ref);
    else
        setU16(kInterruptOffset + 2 * (step - kPatternMainSteps), ref);
}

std::uint16_t PatternData::stepInterval(int step) const {
    if (!isPattern() || step < 0 || step >= kPatternMainSteps) return 0;
    return u16(kStepOffset + kStepStride * step + 2);
}

void PatternData::setStepInterval(int step, std::uint16_t tenths) {
    if (!isPattern() || step < 0 || step >= kPatternMainSteps) return;
    setU16(kStepOffset + kStepStride * step + 2, tenths);
}

std::uint8_t PatternData::stepVolume(int step) const {
    if (kind_ != PatternKind::Pattern7000 || step < 0 || step >= kPatternAllSteps)
        return kDefaultStepVolume;
    return block_[kVolumeOffset + (static_cast<std::size_t>(step) ^ 1)];
}

void PatternData::setStepVolume(int step, std::uint8_t percent) {
    if (kind_ != PatternKind::Pattern7000 || step < 0 || step >= kPatternAllSteps) return;
    block_[kVolumeOffset + (static_cast<std::size_t>(step) ^ 1)] = percent;
}

std::uint8_t PatternData::interruptStep() const {
    return isPattern() ? block_[kInterruptStepOffset] : 0;
}

void PatternData::setInterruptStep(std::uint8_t step) {
    if (isPattern()) block_[kInterruptStepOffset] = step;
}

bool PatternData::hasInterruptPhrase() const {
    for (int k = 0; k < kPatternInterruptSteps; ++k)
        if (stepRef(kPatternMainSteps + k) < kStepUnused) return true;
    return false;
}

SongStep PatternData::songStep(int step) const {
    if (isPattern() || step < 0 || step >= kSongSteps) return {};
    const std::size_t t = kSongStartOffset + 4 * static_cast<std::size_t>(step);
    const std::uint32_t start = std::uint32_t{block_[t]} << 24 |
                                std::uint32_t{block_[t + 1]} << 16 |
                                std::uint32_t{block_[t + 2]} << 8 | block_[t + 3];
    return {u16(kSongRefOffset + 2 * static_cast<std::size_t>(step)), start};
}

void PatternData::setSongStep(int step, SongStep value) {
    if (isPattern() || step < 0 || step >= kSongSteps) return;
    setU16(kSongRefOffset + 2 * static_cast<std::size_t>(step), value.ref);
    const std::size_t t = kSongStartOffset + 4 * static_cast<std::size_t>(step);
    for (int k = 0; k < 4; ++k)
        block_[t + k] = static_cast<std::uint8_t>(value.startMs >> (24 - 8 * k));
}

std::vector<SongStep> PatternData::songSteps() const {
    std::vector<SongStep> steps;
    if (isPattern()) return steps;
    for (int i = 0; i < kSongSteps; ++i) steps.push_back(songStep(i));
    return steps;
}

void PatternData::storeSongSteps(std::vector<SongStep> steps) {
    if (isPattern()) return;
    steps.resize(kSongSteps);
    sortSongSteps(steps);
    for (int i = 0; i < kSongSteps; ++i) setSongStep(i, steps[i]);
}

PatternReadResult parsePatternFile(std::span<const std::uint8_t> bytes, Model m,
                                   const std::string& fileName) {
    PatternReadResult r;
    auto fail = [&](PatternReadStatus status, const std::string& what) {
        r.status = status;
        r.error = fileName + ": " + what;
        return r;
    };
    if (bytes.size() < kPatternProbeSize)
        return fail(
            PatternReadStatus::Short,
            std::to_string(bytes.size()) + " bytes; a pattern or song file has at least 512");
    if (std::memcmp(bytes.data(), "WQPh", 4) != 0)
        return fail(PatternReadStatus::NotSupported,
                    "not a pattern or song file (no \"WQPh\" header)");
    const int kind = bytes[kPatternHeaderSize + kPatternKindOffset];
    const bool supported = m == Model::WQ7000 ? (kind == 1 || kind == 2) : kind == 0;
    if (!supported) {
        const char* what = kind == 0   ? "a WQ-5000 pattern file"
                           : kind == 1 ? "a WQ-7000 pattern file"
                           : kind == 2 ? "a WQ-7000 song file"
                                       : nullptr;
        return fail(PatternReadStatus::NotSupported,
                    what ? std::string(what) + ", which a " + std::string(modelName(m)) +
                               " card does not use"
                         : "unknown pattern file kind " + std::to_string(kind));
    }
    const auto k = static_cast<PatternKind>(kind);
    const std::size_t need = kPatternHeaderSize + patternBlockSize(k);
    if (bytes.size() < need)
        return fail(PatternReadStatus::Short, std::to_string(bytes.size()) + " bytes; a " +
                                                  (k == PatternKind::Song ? "song" : "pattern") +
                                                  " file of this kind has " + std::to_string(need));
    r.data.emplace(
        k, std::vector<std::uint8_t>(bytes.begin() + kPatternHeaderSize, bytes.begin() + need));
    return r;
}

PatternReadResult readPatternFile(const std::filesystem::path& path, Model m) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        PatternReadResult r;
        r.status = PatternReadStatus::Missing;
        r.error = fileLabel(path) + ": no such file";
        return r;
    }
    // Only the start of the file matters; a longer file is not read whole.
    std::vector<std::uint8_t> bytes(kPatternHeaderSize + kPatternBlockSize7000);
    std::ifstream in(path, std::ios::binary);
    if (in)
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!in && !in.eof()) {
        PatternReadResult r;
        r.status = PatternReadStatus::CannotRead;
        r.error = fileLabel(path) + ": cannot be read: " + std::strerror(errno);
        return r;
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return parsePatternFile(bytes, m, fileLabel(path));
}

Status writePatternFile(const std::filesystem::path& path, const PatternData& data,
                        FileSystem& fsys) {
    std::vector<std::uint8_t> content;
    if (auto old = fsys.readAll(path))
        content = std::move(*old);
    else if (old.error().kind != ErrorKind::NotFound)
        return old.error();  // an existing file that cannot be read stays as it is
    const std::size_t size = kPatternHeaderSize + data.block().size();
    if (content.size() < size) content.resize(size, 0);
    std::copy_n(kPatternHeader, kPatternHeaderSize, content.begin());
    std::copy(data.block().begin(), data.block().end(), content.begin() + kPatternHeaderSize);
    return writeFileAtomic(fsys, path, content);
}

std::vector<std::uint8_t> patternFileBytes(const PatternData& data) {
    std::vector<std::uint8_t> bytes(kPatternHeaderSize + data.block().size());
    std::copy_n(kPatternHeader, kPatternHeaderSize, bytes.begin());
    std::copy(data.block().begin(), data.block().end(), bytes.begin() + kPatternHeaderSize);
    return bytes;
}

}  // namespace wqe
