#include "PipelineFiles.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>

#include "support/TempHome.h"

namespace kvt::test {

std::string dayFolderName(const SystemTime& time) {
    char name[16];
    std::snprintf(name, sizeof name, "%04d%02d%02d", time.year, time.month, time.day);
    return name;
}

std::string stampText(const SystemTime& time) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", time.year, time.month,
                  time.day, time.hour, time.minute, time.second, time.milliseconds);
    return text;
}

DayFileContents readDayFile(const std::string& path, int rowLength) {
    DayFileContents contents;
    contents.exists = fileExists(path);
    std::string bytes = readFile(path);
    if (bytes.size() < 512) {
        contents.strayBytes = bytes.size();
        return contents;
    }
    contents.tags = bytes.substr(0, 256);
    contents.units = bytes.substr(256, 256);
    size_t position = 512;
    for (; position + rowLength <= bytes.size(); position += rowLength) {
        contents.rows.push_back(bytes.substr(position, rowLength));
    }
    contents.strayBytes = bytes.size() - position;
    return contents;
}

std::vector<std::string> dayFolderNames(const std::string& dataFolder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dataFolder, error)) {
        std::string name = entry.path().filename().string();
        bool isDay = entry.is_directory() && name.size() == 8 &&
                     std::all_of(name.begin(), name.end(),
                                 [](unsigned char c) { return std::isdigit(c) != 0; });
        if (isDay) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> fixedRecords(const std::string& path, int recordLength) {
    std::string bytes = readFile(path);
    std::vector<std::string> records;
    for (size_t position = 0; position < bytes.size(); position += recordLength) {
        records.push_back(bytes.substr(position, recordLength));
    }
    return records;
}

}  // namespace kvt::test
