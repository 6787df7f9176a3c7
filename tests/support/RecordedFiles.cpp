#include "support/RecordedFiles.h"

#include <dirent.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <ctime>

#include "recording/CsvRow.h"
#include "recording/DayFileRow.h"

namespace kvt::test {
namespace {

constexpr int kHalfSecondTenths = 5;

int tenthsOfDay(int hour, int minute, int second, int tenths) {
    return ((hour * 60 + minute) * 60 + second) * 10 + tenths;
}

}  // namespace

int tenthsOfDayNow() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    return tenthsOfDay(local.tm_hour, local.tm_min, local.tm_sec, now.tv_nsec / 100000000);
}

int lastOfHalfSecondRows(const std::string& rows) {
    EXPECT_EQ((rows.size() - kDayFileHeaderSize) % kTrendRowLength, 0u);
    int previous = -1;
    for (size_t at = kDayFileHeaderSize; at + kTrendRowLength <= rows.size(); at += kTrendRowLength) {
        RowTime time;
        if (!parseRowTime(rows.data() + at, kTrendRowLength, 1, time)) {
            ADD_FAILURE() << "no row time at " << at;
            return -1;
        }
        int now = tenthsOfDay(time.hour, time.minute, time.second, time.tenths);
        if (previous >= 0 && now != previous + kHalfSecondTenths) {
            ADD_FAILURE() << "row at " << at << " follows " << previous << " with " << now;
        }
        previous = now;
    }
    return previous;
}

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
