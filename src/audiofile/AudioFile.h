// The audio backend of the editor and the command-line tool: libsndfile
// decodes FLAC, Ogg Vorbis, Opus and MP3 (and whatever else the installed
// library reads), libsoxr converts rates at its very high quality setting.
// The core converters reach it only through AudioBackend
// (convert/AudioInput.h); the executables install it at start-up.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "convert/AudioInput.h"

namespace wqe::audiofile {

// The backend, for the process's lifetime.
AudioBackend& backend();

// Installs backend() with setAudioBackend.
void install();

// A file through libsndfile, whatever its format (WAV included); the error
// names the file and libsndfile's reason.
Result<std::unique_ptr<AudioReader>> openWithSndfile(const std::filesystem::path& path);

// A libsoxr rate converter at its very high quality setting.
Result<std::unique_ptr<Resampler>> makeSoxrResampler(std::uint32_t from, std::uint32_t to,
                                                     int channels);

}  // namespace wqe::audiofile
