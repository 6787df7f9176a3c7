#pragma once
#include <cstdlib>

namespace kvt {

inline double parseNumberText(const char* text) { return std::atof(text); }

}  // namespace kvt
