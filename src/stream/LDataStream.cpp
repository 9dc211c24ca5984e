#include "stream/LDataStream.h"

#include <cstring>
#include <limits>
#include <system_error>

namespace wqe {

bool LDataStream::ReadExact(void* buffer, std::size_t count) {
    if (Read(buffer, count) == count) return true;
    SetResult(kResultShort);
    return false;
}

bool LDataStream::WriteExact(const void* buffer, std::size_t count) {
    if (Write(buffer, count) == count) return true;
    SetResult(kResultShort);
    return false;
}

int LDataStream::ReadByte() {
    std::uint8_t b = 0;
    return Read(&b, 1) == 1 ? b : -1;
}

bool LDataStream::ReadU16(std::uint16_t& value) {
    std::uint8_t b[2];
    if (!ReadExact(b, 2)) return false;
    value = static_cast<std::uint16_t>(b[0] | b[1] << 8);
    return true;
}

bool LDataStream::ReadU32(std::uint32_t& value) {
    std::uint8_t b[4];
    if (!ReadExact(b, 4)) return false;
    value = std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
            std::uint32_t{b[3]} << 24;
    return true;
}

bool LDataStream::WriteU16(std::uint16_t value) {
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(value),
                               static_cast<std::uint8_t>(value >> 8)};
    return WriteExact(b, 2);
}

bool LDataStream::WriteU32(std::uint32_t value) {
    const std::uint8_t b[4] = {
        static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
        static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return WriteExact(b, 4);
}

// ---------------------------------------------------------------------------

const char* LDataStreamFile::modeString(OpenMode mode) {
    switch (mode) {
        case OpenMode::Text:
            return "r";
        case OpenMode::Read:
            return "rb";
        case OpenMode::WriteText:
            return "w";
        case OpenMode::Write:
            return "wb";
        case OpenMode::AppendText:
            return "a";
        case OpenMode::Append:
            return "ab";
        case OpenMode::UpdateText:
            return "r+";
        case OpenMode::Update:
            return "r+b";
    }
    return "rb";
}

LDataStreamFile::~LDataStreamFile() { LDataStreamFile::Close(); }

bool LDataStreamFile::Open(const std::filesystem::path& path, OpenMode mode) {
    Close();
    path_ = path;
    file_ = std::fopen(path.c_str(), modeString(mode));
    return file_ != nullptr;
}

void LDataStreamFile::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

std::uint64_t LDataStreamFile::GetSize() {
    if (!file_) return 0;
    std::fseek(file_, 0, SEEK_CUR);  // flushes a pending write
    std::error_code ec;
    const auto size = std::filesystem::file_size(path_, ec);
    return ec ? 0 : size;
}

std::size_t LDataStreamFile::Read(void* buffer, std::size_t count) {
    return file_ ? std::fread(buffer, 1, count, file_) : 0;
}

std::size_t LDataStreamFile::ReadLine(std::string& text) {
    text.clear();
    if (!file_) return 0;
    char piece[64];
    while (std::fgets(piece, sizeof piece, file_)) {
        text += piece;
        if (!text.empty() && text.back() == '\n') break;
    }
    return text.size();
}

std::size_t LDataStreamFile::Write(const void* buffer, std::size_t count) {
    return file_ ? std::fwrite(buffer, 1, count, file_) : 0;
}

bool LDataStreamFile::Seek(std::uint64_t position) {
    if (!file_ || position > static_cast<std::uint64_t>(std::numeric_limits<off_t>::max()))
        return false;
    return fseeko(file_, static_cast<off_t>(position), SEEK_SET) == 0;
}

bool LDataStreamFile::Skip(std::int64_t delta) {
    return file_ && fseeko(file_, static_cast<off_t>(delta), SEEK_CUR) == 0;
}

std::uint64_t LDataStreamFile::Tell() const {
    if (!file_) return 0;
    const off_t at = ftello(file_);
    return at < 0 ? 0 : static_cast<std::uint64_t>(at);
}

// ---------------------------------------------------------------------------

void LDataStreamSub::SetWindow(LDataStream* underlying, std::uint32_t size) {
    underlying_ = underlying;
    size_ = size;
    position_ = 0;
}

std::size_t LDataStreamSub::Read(void* buffer, std::size_t count) {
    if (!underlying_) return 0;
    const std::size_t left = size_ - position_;
    const std::size_t n = underlying_->Read(buffer, count < left ? count : left);
    position_ += static_cast<std::uint32_t>(n);
    return n;
}

std::size_t LDataStreamSub::Write(const void* buffer, std::size_t count) {
    if (!underlying_) return 0;
    const std::size_t n = underlying_->Write(buffer, count);
    const std::uint64_t end = std::uint64_t{position_} + n;
    position_ = end > UINT32_MAX ? UINT32_MAX : static_cast<std::uint32_t>(end);
    if (position_ > size_) size_ = position_;
    return n;
}

bool LDataStreamSub::Seek(std::uint64_t position) {
    if (!underlying_ || position > size_) return false;
    if (!underlying_->Skip(static_cast<std::int64_t>(position) - position_)) return false;
    position_ = static_cast<std::uint32_t>(position);
    return true;
}

bool LDataStreamSub::Skip(std::int64_t delta) {
    const std::int64_t target = std::int64_t{position_} + delta;
    if (!underlying_ || target < 0 || target > std::int64_t{size_}) return false;
    if (!underlying_->Skip(delta)) return false;
    position_ = static_cast<std::uint32_t>(target);
    return true;
}

// ---------------------------------------------------------------------------

std::size_t LDataStreamNull::Read(void* buffer, std::size_t count) {
    if (count) std::memset(buffer, 0, count);
    return 0;
}

}  // namespace wqe
