#pragma once
#include <string>

namespace kvt::test {

// Sets an environment variable (or removes it, for a null value) for the
// lifetime of the object; the previous value, or its absence, comes back
// afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::string previous_;
    bool hadValue_ = false;
};

}  // namespace kvt::test
