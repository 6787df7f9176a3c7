#pragma once
#include <cstddef>

namespace kvt {

// Bytes of the UTF-8 character that starts with `lead`.
inline size_t utf8CharLength(unsigned char lead) {
    if (lead >= 0xF0) return 4;
    if (lead >= 0xE0) return 3;
    if (lead >= 0xC0) return 2;
    return 1;
}

}  // namespace kvt
