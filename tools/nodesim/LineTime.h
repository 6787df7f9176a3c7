#pragma once
#include <chrono>

namespace kvt::nodesim {

// Bits a character takes on the line: start, 8 data, parity, stop.
constexpr int kBitsPerCharacter = 11;

// How long `characters` take on a serial line of `baud` (0 for none).
std::chrono::microseconds lineTime(int baud, int characters);

}  // namespace kvt::nodesim
