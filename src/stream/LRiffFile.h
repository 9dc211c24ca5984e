// RIFF files: "RIFF", a 32-bit little-endian RIFF size, a 4-byte form type,
// then chunks of a 4-byte id, a 32-bit little-endian size and the data.
// Chunk sizes are followed as they stand (no pad byte after odd sizes).
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "stream/LDataStream.h"

namespace wqe {

using FourCC = std::array<char, 4>;
FourCC fourCC(std::string_view id);  // the first four characters, blank-padded

inline constexpr std::uint64_t kRiffHeaderSize = 12;  // "RIFF", size, form type
inline constexpr std::uint64_t kChunkHeaderSize = 8;  // id, size

// A RIFF file over its own LDataStreamFile. After Open the window covers the
// chunks that follow the form type; after Create writes go to the file.
class LRiffFile : public LDataStreamSub {
public:
    LRiffFile() = default;
    ~LRiffFile() override;
    LRiffFile(const LRiffFile&) = delete;
    LRiffFile& operator=(const LRiffFile&) = delete;

    // Opens with "rb": 8 bytes beginning with "RIFF" (then the RIFF size), the
    // form type, CheckFormType. Any failure closes the file and gives false.
    virtual bool Open(const std::filesystem::path& path);
    // Opens with "wb" and writes "RIFF" and a size of 0; sets the writing flag.
    virtual bool Create(const std::filesystem::path& path);
    // Closes the file, reopens it with "r+b" and writes (file size - 8) at
    // offset 4. A file shorter than 8 bytes fails. Clears the writing flag.
    virtual bool Finish();
    // True when the form type is acceptable: any for a plain RIFF file.
    virtual bool CheckFormType(const FourCC& /*formType*/) const { return true; }
    // Finishes when writing, then closes the file.
    void Close() override;

    bool IsOpen() const { return file_.IsOpen(); }
    bool IsWriting() const { return writing_; }
    std::uint32_t RiffSize() const { return riffSize_; }
    const FourCC& FormType() const { return formType_; }

    // Searches the chunks from file offset 12: on a match, `dataOffset` is the
    // file offset of the chunk's data and `size` its stated size. False when
    // a seek or a read fails first. Leaves the file position undefined.
    bool FindChunk(std::string_view id, std::uint64_t& dataOffset, std::uint32_t& size);
    // Writes a chunk header (id, 32-bit little-endian size).
    bool WriteChunkHeader(std::string_view id, std::uint32_t size);

protected:
    LDataStreamFile file_;
    std::uint32_t riffSize_ = 0;
    FourCC formType_{};
    bool writing_ = false;
};

}  // namespace wqe
