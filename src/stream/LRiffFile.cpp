#include "stream/LRiffFile.h"

#include <algorithm>
#include <cstring>

namespace wqe {

FourCC fourCC(std::string_view id) {
    FourCC c{' ', ' ', ' ', ' '};
    std::copy_n(id.begin(), std::min<std::size_t>(id.size(), 4), c.begin());
    return c;
}

LRiffFile::~LRiffFile() { LRiffFile::Close(); }

bool LRiffFile::Open(const std::filesystem::path& path) {
    Close();
    riffSize_ = 0;
    formType_ = {};
    auto fail = [this] {
        file_.Close();
        SetWindow(nullptr, 0);
        return false;
    };
    if (!file_.Open(path, LDataStreamFile::OpenMode::Read)) return fail();
    std::uint8_t head[8];
    if (!file_.ReadExact(head, 8) || std::memcmp(head, "RIFF", 4) != 0) return fail();
    riffSize_ = std::uint32_t{head[4]} | std::uint32_t{head[5]} << 8 |
                std::uint32_t{head[6]} << 16 | std::uint32_t{head[7]} << 24;
    if (!file_.ReadExact(formType_.data(), 4) || !CheckFormType(formType_)) return fail();
    const std::uint64_t size = file_.GetSize();
    const std::uint64_t rest = size > kRiffHeaderSize ? size - kRiffHeaderSize : 0;
    SetWindow(&file_, static_cast<std::uint32_t>(std::min<std::uint64_t>(rest, UINT32_MAX)));
    return true;
}

bool LRiffFile::Create(const std::filesystem::path& path) {
    Close();
    riffSize_ = 0;
    if (!file_.Open(path, LDataStreamFile::OpenMode::Write)) return false;
    SetWindow(&file_, 0);
    writing_ = true;
    return WriteString("RIFF") && WriteU32(0);
}

bool LRiffFile::Finish() {
    if (!file_.IsOpen()) return false;
    writing_ = false;
    const std::filesystem::path path = file_.path();
    file_.Close();
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size < 8 || size - 8 > UINT32_MAX) return false;
    if (!file_.Open(path, LDataStreamFile::OpenMode::Update)) return false;
    riffSize_ = static_cast<std::uint32_t>(size - 8);
    const bool ok = file_.Seek(4) && file_.WriteU32(riffSize_);
    file_.Close();
    return ok;
}

void LRiffFile::Close() {
    if (writing_) Finish();
    file_.Close();
    SetWindow(nullptr, 0);
}

bool LRiffFile::FindChunk(std::string_view id, std::uint64_t& dataOffset, std::uint32_t& size) {
    const FourCC want = fourCC(id);
    std::uint64_t offset = kRiffHeaderSize;
    for (;;) {
        std::uint8_t head[8];
        if (!file_.Seek(offset) || file_.Read(head, 8) != 8) return false;
        const std::uint32_t chunkSize = std::uint32_t{head[4]} | std::uint32_t{head[5]} << 8 |
                                        std::uint32_t{head[6]} << 16 | std::uint32_t{head[7]} << 24;
        if (std::memcmp(head, want.data(), 4) == 0) {
            dataOffset = offset + kChunkHeaderSize;
            size = chunkSize;
            return true;
        }
        offset += kChunkHeaderSize + chunkSize;
    }
}

bool LRiffFile::WriteChunkHeader(std::string_view id, std::uint32_t size) {
    const FourCC c = fourCC(id);
    return WriteExact(c.data(), 4) && WriteU32(size);
}

}  // namespace wqe
