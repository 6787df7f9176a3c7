#pragma once
#include <optional>
#include <string>

#include "support/ScopedEnv.h"

namespace kvt::test {

// A fresh temporary HOME for the lifetime of the object: HOME points at a
// new empty directory, XDG_CONFIG_HOME is unset (so the configuration folder
// is <HOME>/.config/kvt936p), the data paths are re-read, and all is restored
// (and the directory removed) afterwards.
class TempHome {
public:
    TempHome();
    ~TempHome();
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    const std::string& path() const { return path_; }
    std::string dataFolder() const { return path_ + "/KVT936P_U_DATA"; }

private:
    std::string path_;
    std::optional<ScopedEnv> home_;
    std::optional<ScopedEnv> configHome_;
};

// Reads a whole file; empty when it cannot be read.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);

// Number of names in a folder (a replacement that left a temporary file
// beside the final one shows as one more).
long entriesIn(const std::string& folder);

}  // namespace kvt::test
