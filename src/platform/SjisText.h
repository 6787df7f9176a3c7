#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace kvt {

// Stored texts (tags, units, alarm history) are Shift-JIS (code page 932)
// bytes; they are converted only where they meet the screen.
std::string sjisToUtf8(std::string_view sjis);
std::string utf8ToSjis(std::string_view utf8);

// Bytes of the first character of a Shift-JIS text: 2 for a lead byte
// followed by a trail byte, else 1 (half-width katakana are single bytes).
int sjisCharLength(std::string_view sjis);

// The code point of one Shift-JIS character given as a number (a single
// byte, or lead byte * 256 + trail byte); 0 when it has none.
char32_t sjisCodePoint(uint16_t code);

// Bytes a UTF-8 text takes once stored as Shift-JIS: one per ASCII or
// half-width katakana character, two per other character.
int sjisByteCount(std::string_view utf8);

}  // namespace kvt
