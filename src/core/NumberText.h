#pragma once
#include <cstddef>

namespace kvt {

// Numbers as text, always with a decimal point: neither the process locale
// (which the GUI toolkit sets from the environment) nor a later setlocale
// by any library changes how a number is written or read.

// Reads a typed number exactly as C atof does in the "C" locale: leading
// white space, an optional sign, digits with an optional '.', an optional
// exponent; reading stops at the first character that does not fit, and a
// text with no number in front gives 0.0.
double parseNumberText(const char* text);

// printf "%.*f" of the "C" locale into `text` (NUL-terminated). Returns the
// length, or -1 (and an empty text) when `capacity` is too small.
int formatFixedNumber(char* text, size_t capacity, double value, int decimals);

// printf "%.*E" of the "C" locale (upper-case "E", at least two exponent
// digits, "INF" and "NAN"), the same way.
int formatExponentNumber(char* text, size_t capacity, double value, int decimals);

}  // namespace kvt
