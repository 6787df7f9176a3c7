#pragma once
#include <string>
#include <string_view>

namespace kvt {

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
