#include "LineTime.h"

namespace kvt::nodesim {

std::chrono::microseconds lineTime(int baud, int characters) {
    if (baud <= 0 || characters <= 0) return std::chrono::microseconds(0);
    long long bits = static_cast<long long>(characters) * kBitsPerCharacter;
    return std::chrono::microseconds((bits * 1000000 + baud - 1) / baud);
}

}  // namespace kvt::nodesim
