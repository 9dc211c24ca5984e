#include "card/NameFilter.h"

#include "card/TextCodec.h"

namespace wqe {

bool isCp932DoubleByte(unsigned char lead, unsigned char trail) {
    // Every lead byte of the code page counts, not only the assigned kanji
    // rows: a pair from the vendor rows (0xED..0xFC) must not leave its trail
    // byte behind, which could be an allowed character such as "@".
    const bool trailOk = (trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFC);
    return isCp932LeadByte(lead) && trailOk;
}

bool isNameByte(unsigned char b) {
    return b == 0x20 || b == 0x21 || (b >= 0x23 && b <= 0x29) || b == 0x2D ||
           (b >= '0' && b <= '9') || b == 0x40 || (b >= 'A' && b <= 'Z') || b == 0x5E ||
           b == 0x5F || b == 0x7B || b == 0x7D || (b >= 0xA1 && b <= 0xDF);
}

std::string filterNameBytes(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (i + 1 < bytes.size() &&
            isCp932DoubleByte(b, static_cast<unsigned char>(bytes[i + 1]))) {
            i += 2;
            continue;
        }
        if (isNameByte(b)) out.push_back(static_cast<char>(b));
        ++i;
    }
    return out;
}

std::string filterNameText(std::string_view utf8) {
    // Encoded character by character so that one character without a CP932
    // form drops only itself.
    return filterNameBytes(utf8ToCp932Lossy(utf8, ""));
}

}  // namespace wqe
