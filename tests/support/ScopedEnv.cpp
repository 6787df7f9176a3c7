#include "support/ScopedEnv.h"

#include <cstdlib>

namespace kvt::test {

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* previous = std::getenv(name)) {
        hadValue_ = true;
        previous_ = previous;
    }
    if (value != nullptr) {
        setenv(name, value, 1);
    } else {
        unsetenv(name);
    }
}

ScopedEnv::~ScopedEnv() {
    if (hadValue_) {
        setenv(name_.c_str(), previous_.c_str(), 1);
    } else {
        unsetenv(name_.c_str());
    }
}

}  // namespace kvt::test
