// A value or the text of what went wrong: the small part of C++23's
// std::expected that the readers of this project need.
//
//   Expected<WaveInfo> info = probeWaveFile(path);
//   if (!info) return info.error();     // "x.wav: no "data" chunk"
//   use(info->sampleRate);
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace wqe {

// The failure side of an Expected: a text for the user, naming what is wrong.
struct Unexpected {
    std::string error;
};
inline Unexpected unexpected(std::string error) { return Unexpected{std::move(error)}; }

template <class T>
class Expected {
public:
    Expected(T value) : value_(std::move(value)) {}  // NOLINT: implicit like std::expected
    Expected(Unexpected failure) : error_(std::move(failure.error)) {}  // NOLINT

    bool has_value() const { return value_.has_value(); }
    explicit operator bool() const { return has_value(); }

    const T& value() const {
        if (!value_) throw std::logic_error("Expected::value() on a failure: " + error_);
        return *value_;
    }
    T& value() {
        if (!value_) throw std::logic_error("Expected::value() on a failure: " + error_);
        return *value_;
    }
    const T& operator*() const { return value(); }
    T& operator*() { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }

    // Empty on success.
    const std::string& error() const { return error_; }

private:
    std::optional<T> value_;
    std::string error_;
};

}  // namespace wqe
