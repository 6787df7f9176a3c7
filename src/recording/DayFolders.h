#pragma once
#include "platform/SystemTime.h"

namespace kvt {

// Day folders and day files are opened from the data folder down, one name
// at a time, never through a link: a link planted where a day folder or a
// day file belongs is refused, not followed. (The data folder itself may
// be a link, to a folder on another disk say.)

enum class DayFileUse {
    Read,    // reading only; nothing is made
    Append,  // appending rows: the file, its day folder and the data folder
             // are made when missing; only a file of this account's own
};

constexpr int kDayNameCapacity = 16;

// "%04d%02d%02d" and "GR%d.CSV".
void dayFolderName(char (&name)[kDayNameCapacity], const CalendarDate& date);
void dayFileName(char (&name)[kDayNameCapacity], int group);

// The day folder of `date` in `dataFolder` open as a folder, made first
// when missing if `create`; -1 with errno set when there is none.
int openDayFolder(const char* dataFolder, const CalendarDate& date, bool create);

// The group's day file of `date` open for `use`: O_RDONLY, or O_RDWR and
// O_APPEND; -1 with errno set (see PlainFiles.h) when it cannot be had.
int openGroupDayFile(const char* dataFolder, const CalendarDate& date, int group, DayFileUse use);

}  // namespace kvt
