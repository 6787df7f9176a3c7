#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/SystemTime.h"

namespace kvt::test {

// "2026-03-07 12:00:00.500": a reading as text, for comparing and reporting.
inline std::string stamp(const SystemTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second, t.milliseconds);
    return text;
}

// Every field from the year to the milliseconds (not the day of the week).
inline void expectTime(const SystemTime& actual, const SystemTime& expected) {
    EXPECT_EQ(actual.year, expected.year);
    EXPECT_EQ(actual.month, expected.month);
    EXPECT_EQ(actual.day, expected.day);
    EXPECT_EQ(actual.hour, expected.hour);
    EXPECT_EQ(actual.minute, expected.minute);
    EXPECT_EQ(actual.second, expected.second);
    EXPECT_EQ(actual.milliseconds, expected.milliseconds);
}

}  // namespace kvt::test
