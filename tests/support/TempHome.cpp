#include "support/TempHome.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/Paths.h"

namespace kvt::test {

TempHome::TempHome() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvt-home-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    home_.emplace("HOME", path_.c_str());
    configHome_.emplace("XDG_CONFIG_HOME", nullptr);
    refreshDataPaths();
}

TempHome::~TempHome() {
    configHome_.reset();
    home_.reset();
    refreshDataPaths();
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string readFile(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool fileExists(const std::string& path) { return std::filesystem::exists(path); }

long entriesIn(const std::string& folder) {
    return std::distance(std::filesystem::directory_iterator(folder),
                         std::filesystem::directory_iterator());
}

}  // namespace kvt::test
