#pragma once
#include <cstddef>
#include <cstring>

#include "core/NumberText.h"

namespace kvt {

// Stores a text in a fixed text field of the configuration record: cut to
// leave room for the terminating NUL and NUL-padded to the field's end.
template <size_t N>
void setFieldText(char (&field)[N], const char* text) {
    size_t length = strnlen(text, N - 1);
    std::memcpy(field, text, length);
    std::memset(field + length, 0, N - length);
}

// A range value is kept twice, as the number and as the text it was typed
// as; sets both from the text.
template <size_t N>
void setTypedValue(double& value, char (&text)[N], const char* typed) {
    value = parseNumberText(typed);
    setFieldText(text, typed);
}

}  // namespace kvt
