#pragma once

namespace kvt {

// 0 (Japanese texts) when the locale (LC_ALL, else LC_MESSAGES, else LANG)
// starts with "ja", else 1 (English texts).
int languageFromLocale();

}  // namespace kvt
