// The name character filter of card and phrase names: the device shows only
// a few single-byte characters, so every other character is dropped as the
// user types. Names are CP932 bytes.
#pragma once

#include <string>
#include <string_view>

namespace wqe {

// True when bytes `lead` and `trail` form one CP932 double-byte character.
bool isCp932DoubleByte(unsigned char lead, unsigned char trail);

// True for the single bytes a name may hold: blank ! # $ % & ' ( ) - 0-9 @
// A-Z ^ _ { } and the half-width katakana with their punctuation (A1..DF).
bool isNameByte(unsigned char b);

// Keeps only the name bytes of `bytes`, in order. A CP932 double-byte
// character is dropped as a whole (both bytes), so its trail byte never
// survives as a stray single character. Lower-case letters are dropped, not
// converted.
std::string filterNameBytes(std::string_view bytes);

// UTF-8 text (as typed) to filtered CP932 name bytes: characters without a
// CP932 form and characters the device cannot show are dropped.
std::string filterNameText(std::string_view utf8);

}  // namespace wqe
