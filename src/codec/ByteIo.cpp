#include "codec/ByteIo.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <random>

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

std::string FileSource::open(const std::filesystem::path& path) {
    if (file_) std::fclose(file_);
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) return std::strerror(errno);
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        std::fclose(file_);
        file_ = nullptr;
        return "it is a folder";
    }
    return {};
}

std::size_t FileSource::read(std::uint8_t* dst, std::size_t count) {
    return file_ ? std::fread(dst, 1, count, file_) : 0;
}

AtomicFileSink::~AtomicFileSink() { discard(); }

std::string AtomicFileSink::open(const std::filesystem::path& path) {
    discard();
    path_ = path;
    std::random_device rd;
    const std::string name = path.filename().string();
    for (int attempt = 0; attempt < 16 && !file_; ++attempt) {
        temp_ = path.parent_path() / ("." + name + ".part" + std::to_string(rd() % 1000000));
        // "x": never reuse an existing file of that name.
        file_ = std::fopen(temp_.c_str(), "wbx");
        if (!file_ && errno != EEXIST) break;
    }
    if (!file_) {
        const std::string why = std::strerror(errno);
        temp_.clear();
        return why;
    }
    buffer_.resize(1 << 16);
    std::setvbuf(file_, buffer_.data(), _IOFBF, buffer_.size());
    error_ = 0;
    return {};
}

bool AtomicFileSink::write(const std::uint8_t* src, std::size_t count) {
    if (!file_ || error_) return false;
    if (std::fwrite(src, 1, count, file_) != count) {
        error_ = errno ? errno : EIO;
        return false;
    }
    return true;
}

bool AtomicFileSink::writeAt(std::uint64_t offset, const std::uint8_t* src, std::size_t count) {
    if (!file_ || error_) return false;
    const off_t back = ftello(file_);
    if (fseeko(file_, static_cast<off_t>(offset), SEEK_SET) != 0 ||
        std::fwrite(src, 1, count, file_) != count || fseeko(file_, back, SEEK_SET) != 0) {
        error_ = errno ? errno : EIO;
        return false;
    }
    return true;
}

std::string AtomicFileSink::commit() {
    if (!file_) return "the file is not open";
    if (!error_ && std::fflush(file_) != 0) error_ = errno ? errno : EIO;
    if (std::fclose(file_) != 0 && !error_) error_ = errno ? errno : EIO;
    file_ = nullptr;
    if (error_) {
        const std::string why = std::strerror(error_);
        discard();
        return why;
    }
    std::error_code ec;
    std::filesystem::rename(temp_, path_, ec);
    if (ec) {
        discard();
        return ec.message();
    }
    temp_.clear();
    return {};
}

void AtomicFileSink::discard() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
    if (!temp_.empty()) {
        std::error_code ec;
        std::filesystem::remove(temp_, ec);
        temp_.clear();
    }
}

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
    }
    return end_ > 0;
}

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
