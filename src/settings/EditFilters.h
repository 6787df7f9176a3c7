#pragma once
#include <string>
#include <string_view>

namespace kvt {

// What the numeric edits of the settings dialogs keep of a typed or pasted
// text: the first `most` decimal (or hexadecimal) digits, in order; every
// other character is dropped.
std::string keepDecimalDigits(std::string_view text, size_t most);
std::string keepHexDigits(std::string_view text, size_t most);

// The integer a number edit's text stands for, read as C's atoi does
// (leading blanks, a sign, then decimal digits; nothing readable gives 0),
// but held to the int range instead of overflowing.
int integerFromText(std::string_view text);

// A node number text read as hexadecimal: "1" to "9" and "A" to "F" count
// 1 to 15, any other character 0, each further character multiplies what
// came before by 16. Held to the int range.
int nodeNumberFromText(std::string_view text);

}  // namespace kvt
