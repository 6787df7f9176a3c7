#pragma once
#include <cstdint>

namespace kvt {

// Windows COLORREF: red in the low byte, then green, then blue.
using Colour = uint32_t;
constexpr Colour rgb(int red, int green, int blue) {
    return static_cast<Colour>(red) | (static_cast<Colour>(green) << 8) |
           (static_cast<Colour>(blue) << 16);
}
constexpr int redOf(Colour colour) { return static_cast<int>(colour & 0xFF); }
constexpr int greenOf(Colour colour) { return static_cast<int>((colour >> 8) & 0xFF); }
constexpr int blueOf(Colour colour) { return static_cast<int>((colour >> 16) & 0xFF); }

}  // namespace kvt
