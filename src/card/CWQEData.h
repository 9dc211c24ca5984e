// Base of the card records: the model and a view of a file image that the
// document owns. Accessors of the derived records convert the byte order of
// multi-byte values on every access and never touch bytes outside the image.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>

#include "card/Model.h"

namespace wqe {

class CWQEData {
public:
    virtual ~CWQEData() = default;

    Model model() const { return model_; }
    void setModel(Model m) { model_ = m; }

    // Attach a view of an image (empty span detaches).
    void attach(std::span<std::uint8_t> image) { image_ = image; }
    void detach() { image_ = {}; }
    bool isLoaded() const { return image_.data() != nullptr; }
    std::span<const std::uint8_t> image() const { return image_; }

protected:
    bool w7() const { return model_ == Model::WQ7000; }

    // True when `size` bytes at `offset` lie inside the image.
    bool fits(std::size_t offset, std::size_t size) const {
        return image_.data() != nullptr && offset <= image_.size() &&
               size <= image_.size() - offset;
    }

    std::uint8_t u8(std::size_t off, std::uint8_t def) const {
        return fits(off, 1) ? image_[off] : def;
    }
    void setU8(std::size_t off, std::uint8_t v) {
        if (fits(off, 1)) image_[off] = v;
    }
    std::uint16_t u16(std::size_t off, std::uint16_t def) const {
        if (!fits(off, 2)) return def;
        const std::uint8_t* p = image_.data() + off;
        return w7() ? static_cast<std::uint16_t>(p[0] | p[1] << 8)
                    : static_cast<std::uint16_t>(p[0] << 8 | p[1]);
    }
    void setU16(std::size_t off, std::uint16_t v) {
        if (!fits(off, 2)) return;
        std::uint8_t* p = image_.data() + off;
        const std::uint8_t lo = v & 0xFF, hi = v >> 8;
        p[0] = w7() ? lo : hi;
        p[1] = w7() ? hi : lo;
    }
    std::uint32_t u32(std::size_t off, std::uint32_t def) const {
        if (!fits(off, 4)) return def;
        const std::uint8_t* p = image_.data() + off;
        std::uint32_t v = 0;
        for (int k = 0; k < 4; ++k) v |= std::uint32_t{p[w7() ? k : 3 - k]} << (8 * k);
        return v;
    }
    void setU32(std::size_t off, std::uint32_t v) {
        if (!fits(off, 4)) return;
        std::uint8_t* p = image_.data() + off;
        for (int k = 0; k < 4; ++k) p[w7() ? k : 3 - k] = static_cast<std::uint8_t>(v >> (8 * k));
    }
    std::uint8_t* at(std::size_t off) { return image_.data() + off; }
    const std::uint8_t* at(std::size_t off) const { return image_.data() + off; }

private:
    Model model_ = Model::WQ7000;
    std::span<std::uint8_t> image_;
};

}  // namespace wqe
