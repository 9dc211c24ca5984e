// The program's one RIFF/WAVE unit: a RIFF file of form type "WAVE" with a
// "fmt " chunk and a "data" chunk.
//  - readWaveHeader: the one header reader, on any sequential byte input
//    (memory, a file, the encoder's stream), without seeking;
//  - canonicalWaveHeader: the one header writer (44 bytes);
//  - LWaveFile / CWaveFile: the stream classes over a file, opened through
//    readWaveHeader;
//  - probeWaveFile: the thin path layer reporting a file's format or what is
//    wrong with it.
//
// "fmt " chunk (the 18-byte format block, all little-endian):
//    0 u16 format tag (1 = PCM)     2 u16 channels          4 u32 sample rate, Hz
//    8 u32 byte rate                12 u16 block align       14 u16 bits per sample
//   16 u16 extra size (only present when the chunk has 18 bytes or more)
// WAVE_FORMAT_EXTENSIBLE (format tag 0xFFFE) continues, extra size >= 22:
//   18 u16 valid bits per sample    20 u32 channel mask
//   24 GUID sub-format: its first u16 is the sample coding (1 PCM, 3 float)
//
// Opening does not judge the format: callers check format tag, width,
// channels and rate by their own rules.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "stream/Expected.h"
#include "stream/LRiffFile.h"

namespace wqe {

inline constexpr std::uint32_t kFmtChunkMinSize = 16;
inline constexpr std::uint16_t kWaveFormatPcm = 1;
inline constexpr std::uint16_t kWaveFormatFloat = 3;
inline constexpr std::uint16_t kWaveFormatExtensible = 0xFFFE;
inline constexpr std::uint32_t kFmtChunkExtensibleSize = 40;   // 18 + 22 extension bytes
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

// Bytes read in order, from memory or a file.
class ByteInput {
public:
    virtual ~ByteInput() = default;
    // Up to `count` bytes; fewer only at the end.
    virtual std::size_t read(std::uint8_t* dst, std::size_t count) = 0;
    // Skips `count` bytes; false when the end comes first.
    virtual bool skip(std::uint64_t count);
};

class SpanInput : public ByteInput {
public:
    explicit SpanInput(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::size_t read(std::uint8_t* dst, std::size_t count) override;
    bool skip(std::uint64_t count) override;

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

// What a WAV file holds, as far as its header tells.
struct WaveInfo {
    WaveFormat format;
    std::uint64_t dataOffset = 0;  // file offset of the first sample byte
    std::uint32_t dataSize = 0;    // as the "data" chunk states it
    std::uint64_t fileSize = 0;    // set by probeWaveFile
    // WAVE_FORMAT_EXTENSIBLE only (else 0): the sub-format's sample coding
    // (first u16 of its GUID) and the valid bits per sample.
    std::uint16_t subFormat = 0;
    std::uint16_t validBits = 0;

    // The sample coding: the format tag, or the sub-format's for
    // WAVE_FORMAT_EXTENSIBLE.
    std::uint16_t sampleCoding() const {
        return format.formatTag == kWaveFormatExtensible ? subFormat : format.formatTag;
    }

    // Whole frames in the stated data size (0 when block align is 0).
    std::uint64_t frameCount() const {
        return format.blockAlign ? dataSize / format.blockAlign : 0;
    }
};

// Reads a WAV header up to the first sample byte: "RIFF", the RIFF size,
// "WAVE"; chunks (4-byte id, 32-bit little-endian size, followed as they
// stand) skipped up to "fmt " (at least 16 bytes; the extra size field read
// when it has 18 or more; further bytes skipped); then chunks skipped up to
// "data". Does not judge the format. The error says what is wrong ("not a
// WAV file (...)", "the "fmt " chunk has 14 bytes; at least 16 are
// needed", ...); `why`, when given, gets its kind.
Expected<WaveInfo> readWaveHeader(ByteInput& in, WaveOpenError* why = nullptr);

// The 44-byte header of a WAV file with a 16-byte "fmt " chunk (the format's
// extra size is not written) and `dataSize` bytes of samples: RIFF size =
// dataSize + 36.
std::array<std::uint8_t, kCanonicalWaveHeaderSize> canonicalWaveHeader(const WaveFormat& format,
                                                                       std::uint32_t dataSize);

class LWaveFile : public LRiffFile {
public:
    bool CheckFormType(const FourCC& formType) const override;

    // Clears the format block; opens the RIFF file and reads its header with
    // readWaveHeader. The window is then the
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

// Opens `path` as a WAV file and reports its header, or an error naming the
// file and what is wrong ("x.wav: not a RIFF file", "x.wav: the "fmt " chunk
// has 14 bytes; at least 16 are needed"); `why`, when given, gets its kind.
Expected<WaveInfo> probeWaveFile(const std::filesystem::path& path, WaveOpenError* why = nullptr);

}  // namespace wqe
