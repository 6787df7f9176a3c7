#pragma once
#include <cstdint>
#include <ctime>

namespace kvt {

// Local calendar time as eight unsigned 16-bit words; this exact layout is
// stored in acquisition records and ring slots.
struct SystemTime {
    uint16_t year = 0;
    uint16_t month = 0;
    uint16_t dayOfWeek = 0;
    uint16_t day = 0;
    uint16_t hour = 0;
    uint16_t minute = 0;
    uint16_t second = 0;
    uint16_t milliseconds = 0;
};
static_assert(sizeof(SystemTime) == 16);

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;
};

// True when every field lies in the range the recorder accepts as a sane
// local clock (year 2000 to 2099).
bool isPlausibleLocalTime(const SystemTime& time);

// The calendar fields of a broken-down time with the milliseconds given.
// Leap seconds (second 60) read as second 59.
SystemTime toSystemTime(const tm& calendar, int milliseconds);

// Local time of a calendar time in seconds since the epoch, with the
// milliseconds given.
SystemTime localTimeOf(int64_t epochSeconds, int milliseconds);

// Local calendar date of a calendar time in seconds since the epoch.
CalendarDate localDateOf(int64_t epochSeconds);

// The broken-down local time of a date and time of day, daylight saving
// left to the system (tm_isdst -1), for mktime.
tm localCalendar(const CalendarDate& date, int hour, int minute, int second);

// Seconds since the epoch of a local date and time of day. The system
// decides daylight saving: a time in a spring-forward gap moves on by the
// gap, a time in a fall-back fold reads as the later of its two instants
// (the pass in standard time).
int64_t epochSecondsOfLocal(const CalendarDate& date, int hour, int minute, int second);

// Whether `date` lies on a calendar day before `other`.
bool isEarlier(const CalendarDate& date, const CalendarDate& other);

// The calendar day before `date` (Gregorian calendar). Days are counted by
// date, not by 86,400 seconds, so a 23- or 25-hour day at a daylight-saving
// change is neither skipped nor visited twice.
CalendarDate dayBefore(const CalendarDate& date);
CalendarDate dayAfter(const CalendarDate& date);

}  // namespace kvt
