#pragma once
#include <string>
#include <string_view>

namespace kvt {

// A node text of one or two characters as a number: '1'-'9' count 1-9,
// 'A'-'F' 10-15, anything else 0; of two characters the first counts
// sixteen times. So "1F" is 31, "A" is 10, "0" and "" are 0.
int hexNodeValue(std::string_view text);

// The leading decimal integer of a text (optional sign, then digits), 0
// when there is none; saturates instead of overflowing.
int decimalIntegerValue(std::string_view text);

// The value as "%d" (or "%X" when `hexadecimal`), or an empty text when
// that would need more than `maxCharacters`: a stored value that an edit
// cannot hold whole is shown empty rather than cut into another number.
std::string fittingNumberText(int value, bool hexadecimal, int maxCharacters);

// Reads a fixed text field that may lack its terminating NUL.
std::string fieldText(const char* field, size_t size);
template <size_t N>
std::string fieldText(const char (&field)[N]) {
    return fieldText(field, N);
}

}  // namespace kvt
