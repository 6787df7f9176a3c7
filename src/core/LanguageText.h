#pragma once
#include "core/RunFlags.h"

namespace kvt {

// The English or the Japanese literal, as the language flag says.
inline const char* byLanguage(const char* english, const char* japanese) {
    return languageFlag != 0 ? english : japanese;
}

}  // namespace kvt
