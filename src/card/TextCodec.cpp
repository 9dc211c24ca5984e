#include "card/TextCodec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace wqe {

namespace {

struct IconvCloser {
    void operator()(void* cd) const { iconv_close(static_cast<iconv_t>(cd)); }
};
using IconvHandle = std::unique_ptr<void, IconvCloser>;

IconvHandle openConverter(const char* to, const char* from) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return nullptr;
    return IconvHandle(cd);
}

// Converts as much as possible; on an invalid sequence calls `onBad` with the
// remaining input and returns false if it refuses to go on.
template <typename OnBad>
bool convert(iconv_t cd, std::string_view in, std::string& out, OnBad onBad) {
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buffer[256];
    while (srcLeft > 0) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (r == static_cast<std::size_t>(-1)) {
            if (errno == E2BIG) continue;
            if (!onBad(src, srcLeft)) return false;
        }
    }
    return true;
}

}  // namespace

std::string cp932ToUtf8(std::string_view bytes) {
    std::string out;
    IconvHandle cd = openConverter("UTF-8", "CP932");
    if (!cd) {
        for (unsigned char c : bytes) out += c < 0x80 ? static_cast<char>(c) : '?';
        return out;
    }
    convert(static_cast<iconv_t>(cd.get()), bytes, out, [&](char*& src, std::size_t& left) {
        out += "\xEF\xBF\xBD";  // U+FFFD for a byte that does not decode
        ++src;
        --left;
        iconv(static_cast<iconv_t>(cd.get()), nullptr, nullptr, nullptr, nullptr);
        return true;
    });
    return out;
}

std::optional<std::string> utf8ToCp932(std::string_view text) {
    IconvHandle cd = openConverter("CP932", "UTF-8");
    if (!cd) {
        for (unsigned char c : text)
            if (c >= 0x80) return std::nullopt;
        return std::string(text);
    }
    std::string out;
    if (!convert(static_cast<iconv_t>(cd.get()), text, out,
                 [](char*&, std::size_t&) { return false; }))
        return std::nullopt;
    return out;
}

std::string utf8ToCp932Lossy(std::string_view text, std::string_view replacement) {
    if (auto whole = utf8ToCp932(text)) return *whole;
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        std::size_t len = b < 0x80           ? 1
                          : (b >> 5) == 0x6  ? 2
                          : (b >> 4) == 0xE  ? 3
                          : (b >> 3) == 0x1E ? 4
                                             : 1;
        len = std::min(len, text.size() - i);
        const auto enc = utf8ToCp932(text.substr(i, len));
        out += enc ? std::string_view(*enc) : replacement;
        i += len;
    }
    return out;
}

}  // namespace wqe
