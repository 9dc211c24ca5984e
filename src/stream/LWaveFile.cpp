#include "stream/LWaveFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace wqe {

WaveFormat WaveFormat::pcm(std::uint16_t channels, std::uint32_t sampleRate,
                           std::uint16_t bitsPerSample) {
    WaveFormat f;
    f.formatTag = kWaveFormatPcm;
    f.channels = channels;
    f.sampleRate = sampleRate;
    f.bitsPerSample = bitsPerSample;
    f.blockAlign = static_cast<std::uint16_t>(channels * ((bitsPerSample + 7) / 8));
    f.byteRate = sampleRate * f.blockAlign;
    return f;
}

std::string describe(WaveOpenError error) {
    switch (error) {
        case WaveOpenError::None:
            return "no error";
        case WaveOpenError::CannotOpen:
            return "cannot be opened";
        case WaveOpenError::NotRiff:
            return "not a WAV file (it does not begin with \"RIFF\")";
        case WaveOpenError::NotWave:
            return "not a WAV file (the RIFF form type is not \"WAVE\")";
        case WaveOpenError::NoFmtChunk:
            return "not a WAV file (no \"fmt \" chunk)";
        case WaveOpenError::FmtChunkTooShort:
            return "the \"fmt \" chunk is shorter than 16 bytes";
        case WaveOpenError::NoDataChunk:
            return "no \"data\" chunk";
    }
    return "unknown error";
}

bool ByteInput::skip(std::uint64_t count) {
    std::uint8_t scratch[4096];
    while (count > 0) {
        const std::size_t n =
            read(scratch, static_cast<std::size_t>(std::min<std::uint64_t>(count, sizeof scratch)));
        if (n == 0) return false;
        count -= n;
    }
    return true;
}

std::size_t SpanInput::read(std::uint8_t* dst, std::size_t count) {
    const std::size_t n = std::min(count, bytes_.size() - at_);
    if (n) std::memcpy(dst, bytes_.data() + at_, n);
    at_ += n;
    return n;
}

bool SpanInput::skip(std::uint64_t count) {
    if (count > bytes_.size() - at_) {
        at_ = bytes_.size();
        return false;
    }
    at_ += static_cast<std::size_t>(count);
    return true;
}

namespace {

std::uint16_t u16At(const std::uint8_t* b) { return static_cast<std::uint16_t>(b[0] | b[1] << 8); }
std::uint32_t u32At(const std::uint8_t* b) {
    return std::uint32_t{u16At(b)} | std::uint32_t{u16At(b + 2)} << 16;
}

// Reads the LDataStreamFile in order.
class StreamInput : public ByteInput {
public:
    explicit StreamInput(LDataStream& stream) : stream_(stream) {}
    // Skipping reads, so that a chunk running past the end of the file is
    // found out as it is in memory.
    std::size_t read(std::uint8_t* dst, std::size_t count) override {
        return stream_.Read(dst, count);
    }

private:
    LDataStream& stream_;
};

// Reads chunk headers until the one with `id`; counts the bytes passed.
bool findChunk(ByteInput& in, const char* id, std::uint32_t& size, std::uint64_t& offset) {
    for (;;) {
        std::uint8_t head[kChunkHeaderSize];
        if (in.read(head, sizeof head) != sizeof head) return false;
        offset += kChunkHeaderSize;
        size = u32At(head + 4);
        if (std::memcmp(head, id, 4) == 0) return true;
        if (!in.skip(size)) return false;
        offset += size;
    }
}

}  // namespace

Expected<WaveInfo> readWaveHeader(ByteInput& in, WaveOpenError* why) {
    auto fail = [why](WaveOpenError code, std::string text) {
        if (why) *why = code;
        return unexpected(std::move(text));
    };
    std::uint8_t riff[kRiffHeaderSize];
    const std::size_t got = in.read(riff, sizeof riff);
    if (got < 8 || std::memcmp(riff, "RIFF", 4) != 0)
        return fail(WaveOpenError::NotRiff, "not a WAV file (it does not begin with \"RIFF\")");
    if (got < 12 || std::memcmp(riff + 8, "WAVE", 4) != 0)
        return fail(WaveOpenError::NotWave, "not a WAV file (the RIFF form type is not \"WAVE\")");
    std::uint64_t offset = kRiffHeaderSize;
    std::uint32_t fmtSize = 0;
    if (!findChunk(in, "fmt ", fmtSize, offset))
        return fail(WaveOpenError::NoFmtChunk,
                    "not a WAV file (no \"fmt \" chunk before the end of the file)");
    if (fmtSize < kFmtChunkMinSize)
        return fail(
            WaveOpenError::FmtChunkTooShort,
            "the \"fmt \" chunk has " + std::to_string(fmtSize) + " bytes; at least 16 are needed");
    std::uint8_t b[kFmtChunkExtensibleSize] = {};
    const std::size_t want = fmtSize >= kFmtChunkExtensibleSize ? kFmtChunkExtensibleSize
                             : fmtSize >= 18                    ? 18
                                                                : 16;
    if (in.read(b, want) != want || !in.skip(fmtSize - want))
        return fail(WaveOpenError::FmtChunkTooShort, "the file ends inside the \"fmt \" chunk");
    offset += fmtSize;
    WaveInfo info;
    WaveFormat& f = info.format;
    f.formatTag = u16At(b);
    f.channels = u16At(b + 2);
    f.sampleRate = u32At(b + 4);
    f.byteRate = u32At(b + 8);
    f.blockAlign = u16At(b + 12);
    f.bitsPerSample = u16At(b + 14);
    f.extraSize = want >= 18 ? u16At(b + 16) : 0;
    if (f.formatTag == kWaveFormatExtensible && want == kFmtChunkExtensibleSize &&
        f.extraSize >= kFmtChunkExtensibleSize - 18) {
        // The sub-format GUID is a format tag in the first two bytes of
        // the media sub-type base GUID; any other GUID names no tag.
        static constexpr std::uint8_t kBaseGuidTail[14] = {
            0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        info.validBits = u16At(b + 18);
        if (std::memcmp(b + 26, kBaseGuidTail, sizeof kBaseGuidTail) == 0)
            info.subFormat = u16At(b + 24);
    }
    if (!findChunk(in, "data", info.dataSize, offset))
        return fail(WaveOpenError::NoDataChunk, "no \"data\" chunk before the end of the file");
    info.dataOffset = offset;
    return info;
}

std::array<std::uint8_t, kCanonicalWaveHeaderSize> canonicalWaveHeader(const WaveFormat& f,
                                                                       std::uint32_t dataSize) {
    std::array<std::uint8_t, kCanonicalWaveHeaderSize> b{};
    auto put16 = [&b](std::size_t at, std::uint32_t v) {
        b[at] = static_cast<std::uint8_t>(v);
        b[at + 1] = static_cast<std::uint8_t>(v >> 8);
    };
    auto put32 = [&put16](std::size_t at, std::uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    std::memcpy(b.data(), "RIFF", 4);
    put32(4, dataSize + static_cast<std::uint32_t>(kCanonicalWaveHeaderSize - 8));
    std::memcpy(b.data() + 8, "WAVEfmt ", 8);
    put32(16, kFmtChunkMinSize);
    put16(20, f.formatTag);
    put16(22, f.channels);
    put32(24, f.sampleRate);
    put32(28, f.byteRate);
    put16(32, f.blockAlign);
    put16(34, f.bitsPerSample);
    std::memcpy(b.data() + 36, "data", 4);
    put32(40, dataSize);
    return b;
}

bool LWaveFile::CheckFormType(const FourCC& formType) const { return formType == fourCC("WAVE"); }

bool LWaveFile::fail(WaveOpenError error) {
    openError_ = error;
    LRiffFile::Close();
    return false;
}

bool LWaveFile::Open(const std::filesystem::path& path) {
    format_ = {};
    dataOffset_ = 0;
    dataSize_ = 0;
    openError_ = WaveOpenError::None;
    WaveOpenError why = WaveOpenError::None;
    if (!LRiffFile::Open(path)) {
        LDataStreamFile probe;
        if (!probe.Open(path)) return fail(WaveOpenError::CannotOpen);
        StreamInput in(probe);
        why = WaveOpenError::NotRiff;
        (void)readWaveHeader(in, &why);
        return fail(why);
    }
    if (!file_.Seek(0)) return fail(WaveOpenError::CannotOpen);
    StreamInput in(file_);
    const auto info = readWaveHeader(in, &why);
    if (!info) return fail(why);
    format_ = info->format;
    dataOffset_ = info->dataOffset;
    dataSize_ = info->dataSize;
    if (!file_.Seek(dataOffset_)) return fail(WaveOpenError::NoDataChunk);
    SetWindow(&file_, dataSize_);
    return true;
}

bool LWaveFile::Create(const std::filesystem::path& path) {
    format_ = {};
    dataOffset_ = 0;
    dataSize_ = 0;
    return LRiffFile::Create(path) && WriteString("WAVE");
}

bool LWaveFile::WriteFormat(const WaveFormat& f) {
    const std::uint32_t size = f.extraSize ? 18u + f.extraSize : kFmtChunkMinSize;
    bool ok = WriteChunkHeader("fmt ", size) && WriteU16(f.formatTag) && WriteU16(f.channels) &&
              WriteU32(f.sampleRate) && WriteU32(f.byteRate) && WriteU16(f.blockAlign) &&
              WriteU16(f.bitsPerSample);
    if (ok && f.extraSize) ok = WriteU16(f.extraSize);
    if (ok) format_ = f;
    return ok;
}

CWaveFile::~CWaveFile() = default;

Expected<WaveInfo> probeWaveFile(const std::filesystem::path& path, WaveOpenError* why) {
    WaveOpenError local = WaveOpenError::None;
    if (!why) why = &local;
    *why = WaveOpenError::None;
    LDataStreamFile file;
    if (!file.Open(path)) {
        *why = WaveOpenError::CannotOpen;
        return errnoError(errno, path, describe(*why), ErrorKind::ReadFailed);
    }
    StreamInput in(file);
    auto info = readWaveHeader(in, why);
    if (!info) return Error{ErrorKind::BadFormat, path.string(), describe(*why)};
    std::error_code ec;
    info->fileSize = std::filesystem::file_size(path, ec);
    if (ec) info->fileSize = 0;
    return info;
}

}  // namespace wqe
