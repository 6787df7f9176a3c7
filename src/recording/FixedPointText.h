#pragma once

namespace kvt {

// Longest text printf "%.Nf" can give for a double with N <= 3 decimals.
constexpr int kFixedTextCapacity = 320;

// Writes `value` with `decimals` (0-3) digits after the point exactly as
// printf "%.*f" does in the "C" locale, without padding, into `text`
// (kFixedTextCapacity bytes, NUL-terminated); the process locale never turns
// the point into a comma. Returns the length. A fast path covers ordinary
// values; values whose rounding it cannot decide with certainty are written
// by the exact formatter.
int formatFixed(char* text, double value, int decimals);

// The common case of the above, straight into a field: right-aligns the text
// in `width` characters, with no minus sign when it reads as zero. Returns
// false, leaving the field in any state, when the text would not fit or the
// fast path cannot be sure of the rounding; formatFixed then does it.
bool formatFixedInField(char* field, int width, double value, int decimals);

}  // namespace kvt
