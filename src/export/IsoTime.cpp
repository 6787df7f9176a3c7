#include "export/IsoTime.h"

#include <ctime>

namespace kvt {
namespace {

char* putDigits(char* out, int number, int width) {
    for (int at = width - 1; at >= 0; --at) {
        out[at] = static_cast<char>('0' + number % 10);
        number /= 10;
    }
    return out + width;
}

bool sameDate(const CalendarDate& one, const CalendarDate& other) {
    return one.year == other.year && one.month == other.month && one.day == other.day;
}

// Days since 1970-01-01 of a Gregorian date.
int64_t daysSinceEpoch(const CalendarDate& date) {
    int64_t year = date.month <= 2 ? date.year - 1 : date.year;
    int64_t era = (year >= 0 ? year : year - 399) / 400;
    int64_t yearOfEra = year - era * 400;
    int64_t dayOfYear = (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The offset of the local minute read with daylight saving on (1) or off
// (0), when that reading names the same minute; else nothing.
bool offsetWith(const CalendarDate& date, int hour, int minute, int isDst, time_t& instant,
                int& offset) {
    tm local = localCalendar(date, hour, minute, 0);
    local.tm_isdst = isDst;
    instant = mktime(&local);
    offset = static_cast<int>(local.tm_gmtoff);
    return instant != static_cast<time_t>(-1) && local.tm_hour == hour && local.tm_min == minute &&
           local.tm_mday == date.day && local.tm_isdst == isDst;
}

}  // namespace

void formatIsoTime(char* out, const CalendarDate& date, int hour, int minute, int second,
                   int milliseconds, int offsetSeconds) {
    out = putDigits(out, date.year, 4);
    *out++ = '-';
    out = putDigits(out, date.month, 2);
    *out++ = '-';
    out = putDigits(out, date.day, 2);
    *out++ = 'T';
    out = putDigits(out, hour, 2);
    *out++ = ':';
    out = putDigits(out, minute, 2);
    *out++ = ':';
    out = putDigits(out, second, 2);
    *out++ = '.';
    out = putDigits(out, milliseconds, 3);
    *out++ = offsetSeconds < 0 ? '-' : '+';
    int offsetMinutes = (offsetSeconds < 0 ? -offsetSeconds : offsetSeconds) / 60;
    out = putDigits(out, offsetMinutes / 60, 2);
    *out++ = ':';
    putDigits(out, offsetMinutes % 60, 2);
}

int64_t epochMillisecondsOf(const CalendarDate& date, int hour, int minute, int second,
                            int milliseconds, int offsetSeconds) {
    int64_t seconds = daysSinceEpoch(date) * 86400 + hour * 3600 + minute * 60 + second -
                      offsetSeconds;
    return seconds * 1000 + milliseconds;
}

RowOffsets::MinuteOffsets RowOffsets::offsetsOfMinute(const CalendarDate& date, int hour,
                                                      int minute) {
    time_t standardInstant = 0;
    time_t summerInstant = 0;
    int standard = 0;
    int summer = 0;
    bool hasStandard = offsetWith(date, hour, minute, 0, standardInstant, standard);
    bool hasSummer = offsetWith(date, hour, minute, 1, summerInstant, summer);
    if (hasStandard && hasSummer) {
        return summerInstant < standardInstant ? MinuteOffsets{summer, standard}
                                               : MinuteOffsets{standard, summer};
    }
    if (hasStandard) return {standard, standard};
    if (hasSummer) return {summer, summer};
    // A minute the clocks skipped: the offset before the step.
    time_t instant = 0;
    int before = 0;
    offsetWith(date, hour, minute, -1, instant, before);
    time_t earlier = instant - 3600;
    tm local{};
    localtime_r(&earlier, &local);
    return {static_cast<int>(local.tm_gmtoff), static_cast<int>(local.tm_gmtoff)};
}

int RowOffsets::offsetOf(const CalendarDate& date, int hour, int minute, int second,
                         int milliseconds) {
    int minuteOfDay = hour * 60 + minute;
    if (minuteOfDay != cachedMinute_ || !sameDate(date, cachedDate_)) {
        // Clocks change on whole hours in practice: an hour whose first and
        // last minutes agree is taken as one.
        bool sameHour = sameDate(date, cachedDate_) && cachedMinute_ / 60 == hour && wholeHour_;
        if (!sameHour) {
            cached_ = offsetsOfMinute(date, hour, 0);
            MinuteOffsets last = offsetsOfMinute(date, hour, 59);
            wholeHour_ = last.earlier == cached_.earlier && last.later == cached_.later;
        }
        if (!wholeHour_) cached_ = offsetsOfMinute(date, hour, minute);
        cachedDate_ = date;
        cachedMinute_ = minuteOfDay;
    }
    int millisecond = (minuteOfDay * 60 + second) * 1000 + milliseconds;
    if (cached_.earlier == cached_.later) {
        secondPass_ = false;
    } else if (sameDate(date, lastDate_) && millisecond < lastMillisecond_) {
        secondPass_ = true;
    }
    lastDate_ = date;
    lastMillisecond_ = millisecond;
    return secondPass_ ? cached_.later : cached_.earlier;
}

}  // namespace kvt
