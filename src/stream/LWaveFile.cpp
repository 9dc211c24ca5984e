#include "stream/LWaveFile.h"

#include <algorithm>
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
    if (!LRiffFile::Open(path)) {
        // Tell the three reasons apart for the caller's message.
        LDataStreamFile probe;
        std::uint8_t head[12];
        if (!probe.Open(path)) return fail(WaveOpenError::CannotOpen);
        if (probe.Read(head, 12) < 8 || std::memcmp(head, "RIFF", 4) != 0)
            return fail(WaveOpenError::NotRiff);
        return fail(WaveOpenError::NotWave);
    }
    std::uint64_t fmtOffset = 0;
    std::uint32_t fmtSize = 0;
    if (!FindChunk("fmt ", fmtOffset, fmtSize)) return fail(WaveOpenError::NoFmtChunk);
    if (fmtSize < kFmtChunkMinSize) return fail(WaveOpenError::FmtChunkTooShort);
    std::uint8_t b[18] = {};
    const std::size_t want = fmtSize >= 18 ? 18 : 16;
    if (!file_.Seek(fmtOffset) || file_.Read(b, want) != want)
        return fail(WaveOpenError::FmtChunkTooShort);
    auto u16 = [&b](int at) { return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8); };
    auto u32 = [&u16](int at) { return std::uint32_t{u16(at)} | std::uint32_t{u16(at + 2)} << 16; };
    format_.formatTag = u16(0);
    format_.channels = u16(2);
    format_.sampleRate = u32(4);
    format_.byteRate = u32(8);
    format_.blockAlign = u16(12);
    format_.bitsPerSample = u16(14);
    format_.extraSize = want == 18 ? u16(16) : 0;
    if (!FindChunk("data", dataOffset_, dataSize_)) return fail(WaveOpenError::NoDataChunk);
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

Expected<WaveInfo> probeWaveFile(const std::filesystem::path& path) {
    CWaveFile wav;
    if (!wav.Open(path))
        return unexpected(path.filename().string() + ": " + describe(wav.OpenError()));
    WaveInfo info;
    info.format = wav.Format();
    info.dataOffset = wav.DataOffset();
    info.dataSize = wav.DataSize();
    std::error_code ec;
    info.fileSize = std::filesystem::file_size(path, ec);
    if (ec) info.fileSize = 0;
    return info;
}

}  // namespace wqe
