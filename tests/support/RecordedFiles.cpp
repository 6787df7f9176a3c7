#include "support/RecordedFiles.h"

#include <dirent.h>
#include <sys/stat.h>

#include "recording/CsvRow.h"

namespace kvt::test {

std::vector<std::string> filesEndingIn(const std::string& folder, const std::string& suffix) {
    std::vector<std::string> found;
    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr) return found;
    while (dirent* entry = readdir(listing)) {
        std::string name = entry->d_name;
        if (name[0] == '.') continue;
        std::string path = folder + "/" + name;
        if (name.ends_with(suffix)) found.push_back(path);
        if (entry->d_type == DT_DIR) {
            for (const std::string& inner : filesEndingIn(path, suffix)) found.push_back(inner);
        }
    }
    closedir(listing);
    return found;
}

RecordedDayFile fullestGroupOneDayFile(const std::string& dataFolder) {
    RecordedDayFile fullest;
    for (const std::string& path : filesEndingIn(dataFolder, "GR1.CSV")) {
        struct stat status {};
        if (stat(path.c_str(), &status) != 0 || status.st_size <= kDayFileHeaderSize) continue;
        int rows = static_cast<int>((status.st_size - kDayFileHeaderSize) / kTrendRowLength);
        if (rows > fullest.rows) fullest = {path, rows};
    }
    return fullest;
}

}  // namespace kvt::test
