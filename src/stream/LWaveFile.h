// WAV files: a RIFF file of form type "WAVE" with a "fmt " chunk and a
// "data" chunk, and a probe that reports a WAV file's format or what is wrong
// with it.
//
// "fmt " chunk (the 18-byte format block, all little-endian):
//    0 u16 format tag (1 = PCM)     2 u16 channels          4 u32 sample rate, Hz
//    8 u32 byte rate                12 u16 block align       14 u16 bits per sample
//   16 u16 extra size (only present when the chunk has 18 bytes or more)
//
// Opening does not judge the format: callers check format tag, width,
// channels and rate by their own rules.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "stream/Expected.h"
#include "stream/LRiffFile.h"

namespace wqe {

inline constexpr std::uint32_t kFmtChunkMinSize = 16;
inline constexpr std::uint16_t kWaveFormatPcm = 1;
inline constexpr std::uint64_t kCanonicalWaveHeaderSize = 44;  // RIFF + fmt(16) + data headers

struct WaveFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t byteRate = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;

    // PCM with the byte rate and block align that width, rate and channels imply.
    static WaveFormat pcm(std::uint16_t channels, std::uint32_t sampleRate,
                          std::uint16_t bitsPerSample);
    bool operator==(const WaveFormat&) const = default;
};

// Why LWaveFile::Open failed.
enum class WaveOpenError {
    None,
    CannotOpen,
    NotRiff,
    NotWave,
    NoFmtChunk,
    FmtChunkTooShort,
    NoDataChunk
};
// "cannot be opened", "not a RIFF file", "not a WAVE file", "has no "fmt " chunk", ...
std::string describe(WaveOpenError error);

class LWaveFile : public LRiffFile {
public:
    bool CheckFormType(const FourCC& formType) const override;

    // Clears the format block; opens the RIFF file; reads the "fmt " chunk
    // (at least 16 bytes) and finds the "data" chunk. The window is then the
    // data chunk: Read returns sample data and GetSize its stated size. Any
    // failure closes the file, gives false and sets OpenError().
    bool Open(const std::filesystem::path& path) override;
    // LRiffFile::Create, then "WAVE".
    bool Create(const std::filesystem::path& path) override;
    // "fmt ", a size of 16 (18 + extra size when that is not 0) and the format
    // block's fields in file order; with a non-zero extra size the caller
    // writes the extra bytes next.
    bool WriteFormat(const WaveFormat& format);

    const WaveFormat& Format() const { return format_; }
    std::uint64_t DataOffset() const { return dataOffset_; }
    std::uint32_t DataSize() const { return dataSize_; }
    WaveOpenError OpenError() const { return openError_; }

private:
    bool fail(WaveOpenError error);

    WaveFormat format_;
    std::uint64_t dataOffset_ = 0;
    std::uint32_t dataSize_ = 0;
    WaveOpenError openError_ = WaveOpenError::None;
};

// The program's WAV file.
class CWaveFile : public LWaveFile {
public:
    ~CWaveFile() override;
};

// What a WAV file holds, as far as its header tells.
struct WaveInfo {
    WaveFormat format;
    std::uint64_t dataOffset = 0;  // file offset of the first sample byte
    std::uint32_t dataSize = 0;    // as the "data" chunk states it
    std::uint64_t fileSize = 0;

    // Whole frames in the stated data size (0 when block align is 0).
    std::uint64_t frameCount() const {
        return format.blockAlign ? dataSize / format.blockAlign : 0;
    }
};

// Opens `path` as a WAV file and reports its header, or an error naming the
// file and what is wrong ("x.wav: not a RIFF file", "x.wav: the "fmt " chunk
// has 14 bytes; at least 16 are needed").
Expected<WaveInfo> probeWaveFile(const std::filesystem::path& path);

}  // namespace wqe
