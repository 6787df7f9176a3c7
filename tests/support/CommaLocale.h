#pragma once
#include <optional>
#include <string>

#include "support/ScopedEnv.h"

namespace kvt::test {

// A locale that writes numbers with a decimal comma (German, "de_DE.UTF-8"),
// built with localedef into a private folder the first time it is asked for,
// so that no test depends on the locales the machine has generated.
// Empty when it cannot be built.
std::string commaLocaleFolder();

// Makes the comma locale the process's global locale (LC_ALL, as the GUI
// toolkit does from LANG) for the lifetime of the object, and puts the
// previous locale back afterwards. active() tells whether it took.
class ScopedCommaLocale {
public:
    ScopedCommaLocale();
    ~ScopedCommaLocale();
    ScopedCommaLocale(const ScopedCommaLocale&) = delete;
    ScopedCommaLocale& operator=(const ScopedCommaLocale&) = delete;

    bool active() const { return active_; }

private:
    std::string previous_;
    std::optional<ScopedEnv> localePath_;
    bool active_ = false;
};

constexpr const char* kCommaLocaleName = "de_DE.UTF-8";

}  // namespace kvt::test
