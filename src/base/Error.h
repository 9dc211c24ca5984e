// The one error value of the program: what kind of failure, which file, and
// the reason in the user's terms. Readers, writers and the document return it;
// the editor turns the kind into its fixed message, the command-line tool
// prints the file and the reason. Nothing compares the texts.
//
//   Result<std::vector<std::uint8_t>> bytes = readWholeFile(path);
//   if (!bytes) return bytes.error();   // {PermissionDenied, path, "..."}
//   use(*bytes);
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

namespace wqe {

enum class ErrorKind {
    NotFound,            // the file or a folder on its path does not exist
    PermissionDenied,    // the file system refuses access
    IsFolder,            // a file was expected, a folder is there
    NotFolder,           // a folder was expected, or a path component is a file
    SymlinkLoop,         // too many levels of symbolic links
    ReadFailed,          // an input/output error or a short read
    WriteFailed,         // an input/output error while writing or renaming
    NoSpace,             // the device (or the quota) is full
    FileTooLarge,        // the file-size limit of the process or file system
    ReadOnlyFileSystem,  // the file system is mounted read-only
    AlreadyExists,       // the name is taken
    BadFormat,           // the bytes are not what the file must hold
    Unsupported,         // a valid file the program cannot handle
    OutOfMemory,         // memory for the file could not be allocated
    Cancelled,           // the user said no
    Other,               // any other failure
};

// A short English name of a kind ("permission denied"), for logs and tests.
std::string_view kindName(ErrorKind kind);

struct Error {
    ErrorKind kind = ErrorKind::Other;
    std::string file;    // full path of the file concerned; may be empty
    std::string reason;  // what went wrong, e.g. "cannot be read: Permission denied"

    // "file: reason", or the reason alone when no file is named.
    std::string message() const;
};

// The kind of an errno value. `io` is the kind an EIO (and any errno that has
// no kind of its own) stands for: ReadFailed while reading, WriteFailed while
// writing.
ErrorKind kindFromErrno(int err, ErrorKind io = ErrorKind::Other);

// An error from an errno value: reason = `doing` + ": " + the system's text,
// e.g. errnoError(EACCES, p, "cannot be opened", ErrorKind::ReadFailed).
Error errnoError(int err, const std::filesystem::path& file, std::string_view doing,
                 ErrorKind io = ErrorKind::Other);

// Same from a std::error_code of the system category.
Error errorFromCode(const std::error_code& ec, const std::filesystem::path& file,
                    std::string_view doing, ErrorKind io = ErrorKind::Other);

// A value or an Error (the small part of C++23's std::expected that this
// program needs). Result<void> (alias Status) carries only success or Error.
template <class T>
class [[nodiscard]] Result {
public:
    Result(T value) : v_(std::in_place_index<0>, std::move(value)) {}      // NOLINT: implicit
    Result(Error error) : v_(std::in_place_index<1>, std::move(error)) {}  // NOLINT: implicit

    bool has_value() const { return v_.index() == 0; }
    explicit operator bool() const { return has_value(); }

    T& value() { return std::get<0>(v_); }
    const T& value() const { return std::get<0>(v_); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }

    // Only on failure.
    const Error& error() const { return std::get<1>(v_); }

private:
    std::variant<T, Error> v_;
};

template <>
class [[nodiscard]] Result<void> {
public:
    Result() = default;
    Result(Error error) : error_(std::move(error)), failed_(true) {}  // NOLINT: implicit

    bool has_value() const { return !failed_; }
    explicit operator bool() const { return !failed_; }
    // Only on failure.
    const Error& error() const { return error_; }

private:
    Error error_;
    bool failed_ = false;
};

using Status = Result<void>;

}  // namespace wqe
