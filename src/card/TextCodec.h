// Card texts (card name, phrase names, memos) are CP932 bytes on the card.
// These convert them for display and back; the bytes on the card are never
// re-encoded unless the user edits them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace wqe {

// CP932 bytes to UTF-8. Bytes that do not decode become U+FFFD.
std::string cp932ToUtf8(std::string_view bytes);
// UTF-8 to CP932; nullopt when a character has no CP932 form (or the input
// is not valid UTF-8).
std::optional<std::string> utf8ToCp932(std::string_view text);

// UTF-8 to CP932 character by character: a character without a CP932
// form becomes `replacement` (which may be empty), the rest is kept.
std::string utf8ToCp932Lossy(std::string_view text, std::string_view replacement);

// True when byte b starts a CP932 double-byte character.
inline bool isCp932LeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

}  // namespace wqe
