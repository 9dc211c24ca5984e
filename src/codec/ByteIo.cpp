#include "codec/ByteIo.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace wqe::kpac {

std::size_t SpanSource::read(std::uint8_t* dst, std::size_t count) {
    const std::size_t n = std::min(count, bytes_.size() - at_);
    if (n) std::memcpy(dst, bytes_.data() + at_, n);
    at_ += n;
    return n;
}

bool VectorSink::write(const std::uint8_t* src, std::size_t count) {
    bytes_.insert(bytes_.end(), src, src + count);
    return true;
}

bool VectorSink::writeAt(std::uint64_t offset, const std::uint8_t* src, std::size_t count) {
    if (offset > bytes_.size() || count > bytes_.size() - offset) return false;
    std::copy(src, src + count, bytes_.begin() + static_cast<std::ptrdiff_t>(offset));
    return true;
}

FileSource::~FileSource() {
    if (file_) std::fclose(file_);
}

Status FileSource::begin(const std::filesystem::path& path) {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return errnoError(EISDIR, path, "cannot be opened", ErrorKind::ReadFailed);
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return errnoError(errno, path, "cannot be opened", ErrorKind::ReadFailed);
    return {};
}

std::size_t FileSource::read(std::uint8_t* dst, std::size_t count) {
    return file_ ? std::fread(dst, 1, count, file_) : 0;
}

Status AtomicFileSink::begin(const std::filesystem::path& path) {
    discard();
    auto file = AtomicFile::begin(*fs_, path);
    if (!file) return status_ = file.error();
    file_.emplace(std::move(*file));
    return status_ = Status();
}

bool AtomicFileSink::write(const std::uint8_t* src, std::size_t count) {
    if (!file_ || !status_) return false;
    status_ = file_->write({src, count});
    return bool(status_);
}

bool AtomicFileSink::writeAt(std::uint64_t offset, const std::uint8_t* src, std::size_t count) {
    if (!file_ || !status_) return false;
    status_ = file_->writeAt(offset, {src, count});
    return bool(status_);
}

Status AtomicFileSink::complete() {
    if (!file_) return Error{ErrorKind::WriteFailed, {}, "the file is not open"};
    if (status_) status_ = file_->commit();
    file_.reset();
    return status_;
}

void AtomicFileSink::discard() { file_.reset(); }

// ---------------------------------------------------------------------------

ByteReader::ByteReader(ByteSource& source, std::size_t bufferSize)
    : source_(source), buffer_(bufferSize) {}

bool ByteReader::refill() {
    if (eof_) return false;
    at_ = 0;
    end_ = 0;
    while (end_ < buffer_.size()) {
        const std::size_t n = source_.read(buffer_.data() + end_, buffer_.size() - end_);
        if (n == 0) {
            eof_ = true;
            break;
        }
        end_ += n;
        total_ += n;
    }
    return end_ > 0;
}

bool ByteReader::atEnd() { return at_ == end_ && !refill(); }

std::size_t ByteReader::read(std::uint8_t* dst, std::size_t count) {
    std::size_t got = 0;
    while (got < count) {
        if (at_ == end_ && !refill()) break;
        const std::size_t n = std::min(count - got, end_ - at_);
        std::memcpy(dst + got, buffer_.data() + at_, n);
        at_ += n;
        got += n;
    }
    return got;
}

void ByteReader::readPadded(std::uint8_t* dst, std::size_t count, std::uint8_t fill) {
    if (end_ - at_ >= count) {  // the common case
        std::memcpy(dst, buffer_.data() + at_, count);
        at_ += count;
        return;
    }
    const std::size_t got = read(dst, count);
    if (got < count) std::memset(dst + got, fill, count - got);
}

bool ByteReader::skip(std::uint64_t count) {
    while (count > 0) {
        if (at_ == end_ && !refill()) return false;
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(count, end_ - at_));
        at_ += n;
        count -= n;
    }
    return true;
}

bool ByteReader::readU16(std::uint16_t& v) {
    std::uint8_t b[2];
    if (read(b, 2) != 2) return false;
    v = static_cast<std::uint16_t>(b[0] | b[1] << 8);
    return true;
}

bool ByteReader::readU32(std::uint32_t& v) {
    std::uint8_t b[4];
    if (read(b, 4) != 4) return false;
    v = std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
        std::uint32_t{b[3]} << 24;
    return true;
}

// ---------------------------------------------------------------------------

ByteWriter::ByteWriter(ByteSink& sink, std::size_t bufferSize) : sink_(sink), buffer_(bufferSize) {}

ByteWriter::~ByteWriter() { flush(); }

void ByteWriter::write(const std::uint8_t* src, std::size_t count) {
    while (count > 0) {
        if (used_ == buffer_.size()) flush();
        const std::size_t n = std::min(count, buffer_.size() - used_);
        std::memcpy(buffer_.data() + used_, src, n);
        used_ += n;
        src += n;
        count -= n;
    }
}

std::uint8_t* ByteWriter::reserve(std::size_t count) {
    if (buffer_.size() - used_ < count) flush();
    std::uint8_t* at = buffer_.data() + used_;
    used_ += count;
    return at;
}

bool ByteWriter::flush() {
    if (used_ && ok_) ok_ = sink_.write(buffer_.data(), used_);
    flushed_ += used_;
    used_ = 0;
    return ok_;
}

}  // namespace wqe::kpac
