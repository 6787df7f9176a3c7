#pragma once
#include <cstdlib>

namespace kvt {

// Reads a number as C atof does (temporary forwarding until the
// locale-independent reader is in place).
inline double parseNumberText(const char* text) { return std::atof(text); }

}  // namespace kvt
