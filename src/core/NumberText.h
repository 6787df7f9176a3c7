#pragma once
#include <cstdlib>

namespace kvt {

// Temporary stand-in: forwards to the C conversion until the locale-independent one arrives.
inline double parseNumberText(const char* text) { return std::atof(text); }

}  // namespace kvt
