// Results of the stream and codec readers and writers: a value or the
// program's one error value (base/Error.h: kind, file, reason).
//
//   Expected<WaveInfo> info = probeWaveFile(path);
//   if (!info) return info.error();   // {BadFormat, path, "no \"data\" chunk"}
//   use(info->sampleRate);
//
// A reader that works on bytes knows no file name: its errors leave `file`
// empty, and the layer that opened the file names it (inFile).
#pragma once

#include <filesystem>
#include <string>
#include <utility>

#include "base/Error.h"

namespace wqe {

template <class T>
using Expected = Result<T>;

// A failure; by default the bytes are not what the file must hold.
inline Error unexpected(std::string reason, ErrorKind kind = ErrorKind::BadFormat) {
    return Error{kind, {}, std::move(reason)};
}

// The error naming `file`.
inline Error inFile(Error error, const std::filesystem::path& file) {
    error.file = file.string();
    return error;
}

}  // namespace wqe
