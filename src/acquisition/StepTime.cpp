#include "acquisition/StepTime.h"

namespace kvt {
namespace {

// Carries whole days into the day of month, month and year, one day at a time.
void carryDays(SystemTime& time, int days) {
    for (; days > 0; --days) {
        time.dayOfWeek = static_cast<uint16_t>((time.dayOfWeek + 1) % 7);
        if (time.day < daysInMonth(time.year, time.month)) {
            ++time.day;
            continue;
        }
        time.day = 1;
        if (time.month < 12) {
            ++time.month;
        } else {
            time.month = 1;
            ++time.year;
        }
    }
}

// Goes back to the last day of the month before, carrying into the year.
void borrowDay(SystemTime& time) {
    time.dayOfWeek = static_cast<uint16_t>((time.dayOfWeek + 6) % 7);
    if (time.day > 1) {
        --time.day;
        return;
    }
    if (time.month > 1) {
        --time.month;
    } else {
        time.month = 12;
        --time.year;
    }
    time.day = static_cast<uint16_t>(daysInMonth(time.year, time.month));
}

}  // namespace

int daysInMonth(int year, int month) {
    switch (month) {
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    case 2:
        return year % 4 == 0 ? 29 : 28;
    default:
        return 31;
    }
}

SystemTime addSeconds(const SystemTime& time, int seconds) {
    SystemTime result = time;
    long total = static_cast<long>(time.second) + seconds;
    result.second = static_cast<uint16_t>(total % 60);
    total = time.minute + total / 60;
    result.minute = static_cast<uint16_t>(total % 60);
    total = time.hour + total / 60;
    result.hour = static_cast<uint16_t>(total % 24);
    carryDays(result, static_cast<int>(total / 24));
    return result;
}

SystemTime nextStepTime(const SystemTime& last) {
    if (last.milliseconds < 500) {
        SystemTime result = last;
        result.milliseconds = 500;
        return result;
    }
    SystemTime result = addSeconds(last, 1);
    result.milliseconds = 0;
    return result;
}

SystemTime previousStepTime(const SystemTime& step) {
    SystemTime result = step;
    result.milliseconds = step.milliseconds >= 500 ? 0 : 500;
    if (step.milliseconds >= 500) return result;
    if (result.second-- > 0) return result;
    result.second = 59;
    if (result.minute-- > 0) return result;
    result.minute = 59;
    if (result.hour-- > 0) return result;
    result.hour = 23;
    borrowDay(result);
    return result;
}

int compareToTheSecond(const SystemTime& a, const SystemTime& b) {
    const uint16_t SystemTime::*fields[] = {&SystemTime::year,   &SystemTime::month,
                                            &SystemTime::day,    &SystemTime::hour,
                                            &SystemTime::minute, &SystemTime::second};
    for (const uint16_t SystemTime::*field : fields) {
        if (a.*field != b.*field) return a.*field < b.*field ? -1 : 1;
    }
    return 0;
}

}  // namespace kvt
