#include "base/Error.h"

#include <cerrno>
#include <cstring>
#include <system_error>

namespace wqe {

std::string_view kindName(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::NotFound:
            return "not found";
        case ErrorKind::PermissionDenied:
            return "permission denied";
        case ErrorKind::IsFolder:
            return "is a folder";
        case ErrorKind::NotFolder:
            return "not a folder";
        case ErrorKind::SymlinkLoop:
            return "too many levels of symbolic links";
        case ErrorKind::ReadFailed:
            return "read failed";
        case ErrorKind::WriteFailed:
            return "write failed";
        case ErrorKind::NoSpace:
            return "no space left";
        case ErrorKind::FileTooLarge:
            return "file too large";
        case ErrorKind::ReadOnlyFileSystem:
            return "read-only file system";
        case ErrorKind::AlreadyExists:
            return "already exists";
        case ErrorKind::BadFormat:
            return "bad format";
        case ErrorKind::Unsupported:
            return "unsupported";
        case ErrorKind::OutOfMemory:
            return "out of memory";
        case ErrorKind::Cancelled:
            return "cancelled";
        case ErrorKind::Other:
            return "failed";
    }
    return "failed";
}

std::string Error::message() const { return file.empty() ? reason : file + ": " + reason; }

ErrorKind kindFromErrno(int err, ErrorKind io) {
    switch (err) {
        case ENOENT:
            return ErrorKind::NotFound;
        case EACCES:
        case EPERM:
            return ErrorKind::PermissionDenied;
        case EISDIR:
            return ErrorKind::IsFolder;
        case ENOTDIR:
            return ErrorKind::NotFolder;
        case ELOOP:
            return ErrorKind::SymlinkLoop;
        case ENOSPC:
        case EDQUOT:
            return ErrorKind::NoSpace;
        case EFBIG:
            return ErrorKind::FileTooLarge;
        case EROFS:
            return ErrorKind::ReadOnlyFileSystem;
        case EEXIST:
        case ENOTEMPTY:
            return ErrorKind::AlreadyExists;
        case ENOMEM:
            return ErrorKind::OutOfMemory;
        default:
            return io;
    }
}

Error errnoError(int err, const std::filesystem::path& file, std::string_view doing, ErrorKind io) {
    std::string reason(doing);
    if (err != 0) reason += std::string(reason.empty() ? "" : ": ") + std::strerror(err);
    return Error{kindFromErrno(err, io), file.string(), std::move(reason)};
}

Error errorFromCode(const std::error_code& ec, const std::filesystem::path& file,
                    std::string_view doing, ErrorKind io) {
    if (ec.category() == std::system_category() || ec.category() == std::generic_category())
        return errnoError(ec.value(), file, doing, io);
    std::string reason(doing);
    reason += (reason.empty() ? "" : ": ") + ec.message();
    return Error{io, file.string(), std::move(reason)};
}

}  // namespace wqe
