#include "recording/DayFolders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/PlainFiles.h"

namespace kvt {
namespace {

int openDataFolder(const char* dataFolder, bool create) {
    constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    int descriptor = open(dataFolder, kFlags);
    if (descriptor >= 0 || errno != ENOENT || !create) return descriptor;
    // Removed while the recorder ran: made again as at start-up.
    if (mkdir(dataFolder, 0777) != 0 && errno != EEXIST) return -1;
    return open(dataFolder, kFlags);
}

// Closes `descriptor` keeping errno as it is.
void closeKeepingReason(int descriptor) {
    int reason = errno;
    close(descriptor);
    errno = reason;
}

}  // namespace

void dayFolderName(char (&name)[kDayNameCapacity], const CalendarDate& date) {
    std::snprintf(name, sizeof name, "%04d%02d%02d", date.year, date.month, date.day);
}

void dayFileName(char (&name)[kDayNameCapacity], int group) {
    std::snprintf(name, sizeof name, "GR%d.CSV", group);
}

int openDayFolder(const char* dataFolder, const CalendarDate& date, bool create) {
    int data = openDataFolder(dataFolder, create);
    if (data < 0) return -1;
    char name[kDayNameCapacity];
    dayFolderName(name, date);
    int day = openFolderAt(data, name, create);
    closeKeepingReason(data);
    return day;
}

int openGroupDayFile(const char* dataFolder, const CalendarDate& date, int group, DayFileUse use) {
    bool append = use == DayFileUse::Append;
    int day = openDayFolder(dataFolder, date, append);
    if (day < 0) return -1;
    char name[kDayNameCapacity];
    dayFileName(name, group);
    int file = append ? openOwnPlainFileAt(day, name, O_RDWR | O_APPEND | O_CREAT, 0666)
                      : openPlainFileAt(day, name, O_RDONLY);
    closeKeepingReason(day);
    return file;
}

}  // namespace kvt
