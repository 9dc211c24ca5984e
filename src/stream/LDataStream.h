// Byte streams with a sticky result code: over a disk file, as a window onto
// another stream, and a null stream.
//
// The result code is 0 after success. ReadExact and WriteExact set it to -1
// when fewer bytes came or went than asked, and it stays -1 until cleared, so
// a caller can run a sequence of writes and test Succeeded() once at the end:
//
//   CWaveFile out;
//   out.Create(path);
//   out.WriteFormat(fmt); out.WriteChunkHeader("data", size); out.WriteExact(buf, n);
//   bool ok = out.Succeeded() && out.Finish();
//
// The classes never show messages; failures are false or a short count.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace wqe {

class LDataStreamResult {
public:
    virtual ~LDataStreamResult() = default;
    virtual bool Succeeded() const { return result_ == 0; }
    virtual bool Failed() const { return result_ != 0; }
    virtual std::int32_t GetResult() const { return result_; }
    // Stores the code; returns Succeeded().
    virtual bool SetResult(std::int32_t code) {
        result_ = code;
        return Succeeded();
    }
    virtual void ClearResult() { SetResult(0); }

private:
    std::int32_t result_ = 0;
};

inline constexpr std::int32_t kResultShort = -1;  // a short exact read or write

class LDataStream : public LDataStreamResult {
public:
    virtual void Close() {}
    virtual std::uint64_t GetSize() { return 0; }
    // Bytes actually read (fewer at the end).
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    // Read; if fewer bytes came, SetResult(-1) and false.
    virtual bool ReadExact(void* buffer, std::size_t count);
    // One text line with its line feed; its length (0 at the end).
    virtual std::size_t ReadLine(std::string& text) {
        text.clear();
        return 0;
    }
    // The characters of `text`, without a terminator.
    virtual bool WriteString(std::string_view text) { return WriteExact(text.data(), text.size()); }
    // Bytes actually written.
    virtual std::size_t Write(const void* /*buffer*/, std::size_t /*count*/) { return 0; }
    // Write; if fewer bytes went, SetResult(-1) and false.
    virtual bool WriteExact(const void* buffer, std::size_t count);
    // Absolute and relative moves; true on success.
    virtual bool Seek(std::uint64_t /*position*/) { return true; }
    virtual bool Skip(std::int64_t /*delta*/) { return true; }

    // One byte, or -1 at the end.
    int ReadByte();
    // Little-endian values (ReadExact / WriteExact of 2 or 4 bytes).
    bool ReadU16(std::uint16_t& value);
    bool ReadU32(std::uint32_t& value);
    bool WriteU16(std::uint16_t value);
    bool WriteU32(std::uint32_t value);
};

// A disk file through the C runtime: unbuffered pass-throughs of count bytes.
// Every operation returns 0 or false when no file is open.
class LDataStreamFile : public LDataStream {
public:
    // C-runtime mode strings.
    enum class OpenMode { Text, Read, WriteText, Write, AppendText, Append, UpdateText, Update };
    static const char* modeString(OpenMode mode);  // "r", "rb", "w", "wb", "a", "ab", "r+", "r+b"

    LDataStreamFile() = default;
    ~LDataStreamFile() override;
    LDataStreamFile(const LDataStreamFile&) = delete;
    LDataStreamFile& operator=(const LDataStreamFile&) = delete;

    // Closes any open file, then opens `path`; true when a handle was obtained.
    bool Open(const std::filesystem::path& path, OpenMode mode = OpenMode::Read);
    bool IsOpen() const { return file_ != nullptr; }
    const std::filesystem::path& path() const { return path_; }

    void Close() override;
    // The size the file system reports for the path (0 when it cannot).
    std::uint64_t GetSize() override;
    std::size_t Read(void* buffer, std::size_t count) override;
    // Reads pieces of up to 63 characters until a piece ends in a line feed.
    std::size_t ReadLine(std::string& text) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    bool Seek(std::uint64_t position) override;
    bool Skip(std::int64_t delta) override;
    std::uint64_t Tell() const;

private:
    std::filesystem::path path_;
    std::FILE* file_ = nullptr;
};

// A window of `size` bytes onto another stream, starting at that stream's
// position when the window is set. Reads are clipped to the window; Seek and
// Skip fail when they would leave it. Writes pass through to the underlying
// stream and widen the window when they go past its end.
class LDataStreamSub : public LDataStream {
public:
    LDataStreamSub() = default;
    LDataStreamSub(LDataStream* underlying, std::uint32_t size) { SetWindow(underlying, size); }

    void SetWindow(LDataStream* underlying, std::uint32_t size);
    std::uint32_t Position() const { return position_; }

    std::uint64_t GetSize() override { return size_; }
    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    bool Seek(std::uint64_t position) override;
    bool Skip(std::int64_t delta) override;

protected:
    LDataStream* underlying_ = nullptr;
    std::uint32_t size_ = 0;
    std::uint32_t position_ = 0;
};

// Reads fill the buffer with zero bytes and report 0; writes report 0.
class LDataStreamNull : public LDataStream {
public:
    std::size_t Read(void* buffer, std::size_t count) override;
};

}  // namespace wqe
