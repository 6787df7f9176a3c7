#include "platform/Language.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace kvt {

int languageFromLocale() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0') return std::strncmp(value, "ja", 2) == 0 ? 0 : 1;
    }
    return 1;
}

}  // namespace kvt
