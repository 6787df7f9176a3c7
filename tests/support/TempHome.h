#pragma once
#include <string>

namespace kvt::test {

// A fresh temporary HOME for the lifetime of the object: HOME points at a
// new empty directory, the data paths are re-read, and both are restored
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
    std::string previousHome_;
    bool hadHome_ = false;
};

// Reads a whole file; empty when it cannot be read.
std::string readFile(const std::string& path);
void writeFile(const std::string& path, const std::string& bytes);
bool fileExists(const std::string& path);

}  // namespace kvt::test
