// Byte sources and sinks for the codec: the codec's core reads and writes
// through these, so that it runs the same on memory (tests, fuzzers,
// benchmarks) and on files, block by block, with memory use independent of
// the file length.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/FileSystem.h"

namespace wqe::kpac {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Up to `count` bytes; fewer only at the end.
    virtual std::size_t read(std::uint8_t* dst, std::size_t count) = 0;
};

class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool write(const std::uint8_t* src, std::size_t count) = 0;
    // Overwrites bytes already written (the encoder's block count).
    virtual bool writeAt(std::uint64_t offset, const std::uint8_t* src, std::size_t count) = 0;
};

class SpanSource : public ByteSource {
public:
    explicit SpanSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::size_t read(std::uint8_t* dst, std::size_t count) override;

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t at_ = 0;
};

class VectorSink : public ByteSink {
public:
    bool write(const std::uint8_t* src, std::size_t count) override;
    bool writeAt(std::uint64_t offset, const std::uint8_t* src, std::size_t count) override;
    std::vector<std::uint8_t>& bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

// A sink that only counts (benchmarks).
class NullSink : public ByteSink {
public:
    bool write(const std::uint8_t*, std::size_t count) override {
        size_ += count;
        return true;
    }
    bool writeAt(std::uint64_t, const std::uint8_t*, std::size_t) override { return true; }
    std::uint64_t size() const { return size_; }

private:
    std::uint64_t size_ = 0;
};

// A disk file read through the C runtime.
class FileSource : public ByteSource {
public:
    FileSource() = default;
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;
    // Opens the file for reading; the error names it (NotFound,
    // PermissionDenied, IsFolder, ...).
    Status begin(const std::filesystem::path& path);
    std::size_t read(std::uint8_t* dst, std::size_t count) override;

private:
    std::FILE* file_ = nullptr;
};

// An output file that appears at its path only when committed: the bytes go
// through an AtomicFile (base/FileSystem.h) of the file system handed in, and
// are renamed over the path by commit(). Without a commit the temporary file
// is removed, so a failure never leaves a half-written file and never harms
// an existing one.
class AtomicFileSink : public ByteSink {
public:
    explicit AtomicFileSink(FileSystem& fs = realFileSystem()) : fs_(&fs) {}
    AtomicFileSink(const AtomicFileSink&) = delete;
    AtomicFileSink& operator=(const AtomicFileSink&) = delete;

    Status begin(const std::filesystem::path& path);
    bool write(const std::uint8_t* src, std::size_t count) override;
    bool writeAt(std::uint64_t offset, const std::uint8_t* src, std::size_t count) override;
    // Flushes, closes and renames.
    Status complete();
    // Removes the temporary file.
    void discard();
    // True after a failed write; error() tells why.
    bool failed() const { return !status_; }
    const Status& status() const { return status_; }

private:
    FileSystem* fs_;
    std::optional<AtomicFile> file_;
    Status status_;
};

// Buffered reading over a source: bulk reads, reads that pad the end with a
// fill byte, and skips.
class ByteReader {
public:
    explicit ByteReader(ByteSource& source, std::size_t bufferSize = 1 << 16);
    // Up to `count` bytes; fewer only at the end.
    std::size_t read(std::uint8_t* dst, std::size_t count);
    // Exactly `count` bytes; those past the end read as `fill`.
    void readPadded(std::uint8_t* dst, std::size_t count, std::uint8_t fill = 0xFF);
    // False when the end comes first.
    bool skip(std::uint64_t count);
    bool readU16(std::uint16_t& v);  // little-endian
    bool readU32(std::uint32_t& v);
    // True when no byte is left to read.
    bool atEnd();
    // The source's length, once its end was met (else nullopt).
    std::optional<std::uint64_t> sourceSize() const {
        return eof_ ? std::optional<std::uint64_t>(total_) : std::nullopt;
    }

private:
    bool refill();
    std::uint64_t total_ = 0;  // bytes taken from the source
    ByteSource& source_;
    std::vector<std::uint8_t> buffer_;
    std::size_t at_ = 0, end_ = 0;
    bool eof_ = false;
};

// Buffered writing to a sink; a failed write makes ok() false for good.
class ByteWriter {
public:
    explicit ByteWriter(ByteSink& sink, std::size_t bufferSize = 1 << 16);
    ~ByteWriter();
    void write(const std::uint8_t* src, std::size_t count);
    // Room for `count` bytes (count <= buffer size) to be filled directly.
    std::uint8_t* reserve(std::size_t count);
    bool flush();
    bool ok() const { return ok_; }
    std::uint64_t written() const { return flushed_ + used_; }

private:
    ByteSink& sink_;
    std::vector<std::uint8_t> buffer_;
    std::size_t used_ = 0;
    std::uint64_t flushed_ = 0;
    bool ok_ = true;
};

// The progress pair of a running conversion, written by the converting thread
// and read by any other without a lock: total units (blocks when decoding,
// frames when encoding) and units done.
// Aligned to a cache line: the runs of a folder conversion each update their
// own Progress after every block, and two of them sharing a line would make
// the cores wait on each other at every store.
struct alignas(64) Progress {
    std::atomic<std::uint64_t> total{0};
    std::atomic<std::uint64_t> done{0};

    void start(std::uint64_t totalUnits) {
        done.store(0, std::memory_order_relaxed);
        total.store(totalUnits, std::memory_order_relaxed);
    }
    // done × 100 / total, truncated; 0 while total is 0.
    int percent() const {
        const std::uint64_t t = total.load(std::memory_order_relaxed);
        const std::uint64_t d = done.load(std::memory_order_relaxed);
        return t ? static_cast<int>(d * 100 / t) : 0;
    }

    // Set by the owner of the run (may stay null): the codec checks it after
    // every block (decoding stereo: every run of blocks) and, once it reads
    // true, stops with the error kCancelled and writes nothing more.
    const std::atomic<bool>* cancel = nullptr;
    bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
};

// The error text of a conversion stopped through Progress::cancel.
inline constexpr const char* kCancelled = "cancelled";

}  // namespace wqe::kpac
