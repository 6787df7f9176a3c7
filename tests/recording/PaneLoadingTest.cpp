#include <gtest/gtest.h>

#include <sys/stat.h>

#include <climits>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "RetrievalFixture.h"
#include "recording/PaneWindow.h"
#include "support/ScopedTimeZone.h"

namespace kvt {
namespace {

using test::localEpochSeconds;
using test::localMs;
using test::plainPenValue;

std::string stamp(const SystemTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second, t.milliseconds);
    return text;
}

// Slots whose pens hold sample `number` (pen 1 the number, the others
// offset by pen); a mismatch reports the first wrong slot.
::testing::AssertionResult slotHolds(const PlaybackPane& pane, int slot, double number,
                                     int pens = kPensPerGroup) {
    for (int pen = 0; pen < pens; ++pen) {
        if (pane.values[pen][slot] != plainPenValue(number, pen)) {
            return ::testing::AssertionFailure()
                   << "slot " << slot << " pen " << pen << " holds " << pane.values[pen][slot]
                   << ", not sample " << number;
        }
    }
    return ::testing::AssertionSuccess();
}

bool slotEmpty(const PlaybackPane& pane, int slot) {
    for (const auto& pen : pane.values) {
        if (pen[slot] != kNoData) return false;
    }
    return true;
}

class PaneLoading : public test::RetrievalTest {};

TEST_F(PaneLoading, OneSecondCycleFillsTheWindowBackToItsStart) {
    useCycle(2, kCycle1s);
    record(2, localMs(2026, 3, 7, 9, 0, 0), 1000, 5401);  // 09:00:00 to 10:30:00
    playbackCursor = 345;
    const PlaybackPane& pane = load(2, localEpochSeconds(2026, 3, 7, 10, 0, 0));

    // Row 10:00:00 is sample 3600; slot 1599 is 09:33:21, and 09:33:20 is the
    // window start, which ends the scan.
    for (int slot = 0; slot < kPaneSlots; ++slot) ASSERT_TRUE(slotHolds(pane, slot, 3600 - slot));
    EXPECT_EQ(stamp(pane.stamps[0]), "2026-03-07 10:00:00.000");
    EXPECT_EQ(stamp(pane.stamps[1599]), "2026-03-07 09:33:21.000");
    EXPECT_EQ(pane.stamps[0].dayOfWeek, 0);
    EXPECT_EQ(playbackCursor, 0);
    EXPECT_EQ(cursor.shown, 1);
    EXPECT_EQ(cursor.restored, 1);
    EXPECT_TRUE(slotEmpty(playbackPanes[1], 0)) << "pane 2 untouched";

    // Probes at rows 0, 1000, ... 5000 and 5400 (4000, 10:06:40, is the first
    // at or after 10:00:00); the scan reads rows 4000 down to 2000 (09:33:20).
    PaneLoadCounts counts = fill(2, localEpochSeconds(2026, 3, 7, 10, 0, 0));
    EXPECT_EQ(counts.filesRead, 1);
    EXPECT_EQ(counts.probeReads, 7);
    EXPECT_EQ(counts.rowsScanned, 2001);
}

// A full day at 0.5 s: the search probes every thousandth row and the last,
// 174 reads, and the scan reads the window's rows and the two beside it.
TEST_F(PaneLoading, FullDayAtHalfSecondTakesAtMost174Probes) {
    useCycle(1, kCycleHalfSecond);
    record(1, localMs(2026, 3, 7, 0, 0, 0), 500, 172800);
    PaneLoadCounts counts = fill(1, localEpochSeconds(2026, 3, 7, 23, 59, 59));
    EXPECT_EQ(counts.probeReads, 174);
    EXPECT_EQ(counts.rowsScanned, 1602);
    EXPECT_TRUE(slotHolds(playbackPanes[0], 0, 172798));
    EXPECT_TRUE(slotHolds(playbackPanes[0], 1599, 172798 - 1599));
}

// Pane 2 leaves the playback cursor; a reload clears what the previous
// load filled.
TEST_F(PaneLoading, LoadingPaneTwoLeavesTheCursorAndAReloadClearsThePane) {
    useCycle(1, kCycle1s);
    record(1, localMs(2026, 3, 7, 9, 59, 0), 1000, 61);
    playbackCursor = 345;
    const PlaybackPane& pane = load(1, localEpochSeconds(2026, 3, 7, 10, 0, 0), 2);
    EXPECT_TRUE(slotHolds(pane, 0, 60));
    EXPECT_EQ(playbackCursor, 345);
    EXPECT_EQ(cursor.depth, 0);
    load(1, localEpochSeconds(2026, 3, 8, 10, 0, 0), 2);
    for (int slot = 0; slot < kPaneSlots; ++slot) ASSERT_TRUE(slotEmpty(pane, slot));
}

TEST_F(PaneLoading, ReadsTheEndOfThePreviousDayBeforeMidnight) {
    useCycle(4, kCycle1s);
    record(4, localMs(2026, 3, 6, 23, 0, 0), 1000, 3600 + 601);  // to 00:10:00
    const PlaybackPane& pane = load(4, localEpochSeconds(2026, 3, 7, 0, 10, 0));
    for (int slot = 0; slot < kPaneSlots; ++slot) ASSERT_TRUE(slotHolds(pane, slot, 4200 - slot));
    EXPECT_EQ(stamp(pane.stamps[600]), "2026-03-07 00:00:00.000");
    EXPECT_EQ(stamp(pane.stamps[601]), "2026-03-06 23:59:59.000");
}

TEST_F(PaneLoading, OneMinuteWindowAfterMidnightReadsAllThreeDays) {
    // 1600 minutes back from 00:30 on the 9th reach 21:51 on the 7th, so the
    // whole of the 8th lies inside the window.
    useCycle(6, kCycle1min);
    int64_t first = localMs(2026, 3, 7, 20, 0, 0);
    record(6, first, 60000, 1711);  // to 00:30 on the 9th
    const PlaybackPane& pane = load(6, localEpochSeconds(2026, 3, 9, 0, 30, 0));
    for (int slot = 0; slot < kPaneSlots; ++slot) ASSERT_TRUE(slotHolds(pane, slot, 1710 - slot));
    EXPECT_EQ(stamp(pane.stamps[1599]), "2026-03-07 21:51:00.000");
}

TEST_F(PaneLoading, MissingFileGivesAnEmptyPaneWithItsTimeStamps) {
    useCycle(3, kCycle10s);
    int64_t reference = localEpochSeconds(2026, 3, 7, 10, 0, 0);
    const PlaybackPane& pane = load(3, reference);
    for (int slot = 0; slot < kPaneSlots; ++slot) ASSERT_TRUE(slotEmpty(pane, slot));
    EXPECT_EQ(pane.referenceTime[3], reference);
    EXPECT_EQ(stamp(pane.stamps[6]), "2026-03-07 09:59:00.000");
    EXPECT_EQ(cursor.shown, 1);
    EXPECT_EQ(cursor.restored, 1);
}

// Row stamps and the slot each one lands in, per spacing rule.
struct SlotCase {
    const char* name;
    int group;
    int cycle;
    int reference[3];  // hour, minute, second on 7 March 2026
    struct Row {
        int time[4];  // hour, minute, second, milliseconds
        int slot;     // -1: not in the pane
    };
    std::vector<Row> rows;  // oldest first
    const char* stampOfSlot1;
};

void PrintTo(const SlotCase& c, std::ostream* os) { *os << c.name; }

class PaneSlots : public test::RetrievalTest, public ::testing::WithParamInterface<SlotCase> {};

TEST_P(PaneSlots, EveryRowLandsInItsSlot) {
    const SlotCase& c = GetParam();
    useCycle(c.group, c.cycle);
    std::vector<SampleData> samples;
    for (size_t index = 0; index < c.rows.size(); ++index) {
        const auto& t = c.rows[index].time;
        int64_t at = localMs(2026, 3, 7, t[0], t[1], t[2], t[3]);
        samples.push_back(test::samplesEvery(at, 0, 1, static_cast<double>(index))[0]);
    }
    test::writeDayFiles(liveConfiguration, c.group, samples);
    const PlaybackPane& pane =
        load(c.group, localEpochSeconds(2026, 3, 7, c.reference[0], c.reference[1], c.reference[2]));

    std::vector<int> filled(kPaneSlots, -1);
    for (size_t index = 0; index < c.rows.size(); ++index) {
        if (c.rows[index].slot >= 0) filled[static_cast<size_t>(c.rows[index].slot)] = static_cast<int>(index);
    }
    int pens = c.group == 0 ? kHighSpeedPens : kPensPerGroup;
    for (int slot = 0; slot < kPaneSlots; ++slot) {
        if (filled[static_cast<size_t>(slot)] < 0) {
            ASSERT_TRUE(slotEmpty(pane, slot)) << "slot " << slot << " holds " << pane.values[0][slot];
        } else {
            ASSERT_TRUE(slotHolds(pane, slot, filled[static_cast<size_t>(slot)], pens));
        }
    }
    EXPECT_EQ(stamp(pane.stamps[1]), c.stampOfSlot1);
}

INSTANTIATE_TEST_SUITE_P(
    SpacingRules, PaneSlots,
    ::testing::Values(
        // The .5 row of the reference second is later than the reference.
        SlotCase{"HalfSecond", 2, kCycleHalfSecond, {10, 0, 0},
                 {{{9, 46, 40, 0}, -1}, {{9, 46, 40, 500}, 1599}, {{9, 59, 59, 0}, 2},
                  {{9, 59, 59, 500}, 1}, {{10, 0, 0, 0}, 0},
                  {{10, 0, 0, 500}, -1}},
                 "2026-03-07 09:59:59.500"},
        // 20 slots a second; of the reference second only its first tenth
        // counts, and the oldest such row wins slot 0. The window starts at
        // 11:58:40.000, so the rest of that second is in it.
        SlotCase{"HighSpeed", 0, 0, {12, 0, 0},
                 {{{11, 58, 40, 0}, -1}, {{11, 58, 40, 50}, 1599}, {{11, 58, 40, 100}, 1598},
                  {{11, 59, 59, 0}, 20},
                  {{11, 59, 59, 950}, 1}, {{12, 0, 0, 0}, 0}, {{12, 0, 0, 50}, -1},
                  {{12, 0, 0, 100}, -1}},
                 "2026-03-07 11:59:59.950"},
        // Cycles of several seconds: rows between two slots go to the newer one.
        SlotCase{"FiveSeconds", 5, kCycle5s, {10, 0, 5},
                 {{{7, 46, 45, 0}, -1}, {{7, 46, 50, 0}, 1599}, {{9, 59, 55, 0}, 2},
                  {{10, 0, 0, 0}, 1}, {{10, 0, 5, 0}, 0}, {{10, 0, 10, 0}, -1}},
                 "2026-03-07 10:00:00.000"},
        SlotCase{"TwoSeconds", 7, kCycle2s, {10, 0, 0},
                 {{{9, 59, 56, 0}, 2}, {{9, 59, 58, 0}, 1}, {{10, 0, 0, 0}, 0}},
                 "2026-03-07 09:59:58.000"},
        SlotCase{"OneMinute", 8, kCycle1min, {10, 0, 0},
                 {{{9, 58, 0, 0}, 2}, {{9, 59, 0, 0}, 1}, {{10, 0, 0, 0}, 0}},
                 "2026-03-07 09:59:00.000"}),
    [](const ::testing::TestParamInfo<SlotCase>& info) { return std::string(info.param.name); });

// The reference time of a pane loaded without one, the clock at 10:00:07.
struct AlignmentCase {
    int group;
    int cycle;
    int second;  // of 10:00:ss
};

void PrintTo(const AlignmentCase& c, std::ostream* os) {
    *os << "group " << c.group << " cycle " << c.cycle;
}

class PaneReference : public test::RetrievalTest,
                      public ::testing::WithParamInterface<AlignmentCase> {};

TEST_P(PaneReference, UnsetReferenceIsNowLessOneSecondAlignedToTheCycle) {
    const AlignmentCase& c = GetParam();
    useCycle(c.group, c.cycle);
    clock.clock.setLocal(2026, 3, 7, 10, 0, 7, 800);
    const PlaybackPane& pane = load(c.group, 0);
    EXPECT_EQ(pane.referenceTime[c.group], localEpochSeconds(2026, 3, 7, 10, 0, c.second));
}

INSTANTIATE_TEST_SUITE_P(Cycles, PaneReference,
                         ::testing::Values(AlignmentCase{1, kCycleHalfSecond, 6},
                                           AlignmentCase{1, kCycle1s, 6},
                                           AlignmentCase{1, kCycle2s, 6},
                                           AlignmentCase{1, kCycle5s, 5},
                                           AlignmentCase{1, kCycle10s, 0},
                                           AlignmentCase{1, kCycle1min, 0},
                                           AlignmentCase{1, 9, 6},  // unknown code: as 1 s
                                           AlignmentCase{0, 0, 6}));

TEST_F(PaneLoading, TimeStampsOfSubSecondSlots) {
    const PlaybackPane& highSpeed = load(0, localEpochSeconds(2026, 3, 7, 12, 0, 0));
    EXPECT_EQ(stamp(highSpeed.stamps[0]), "2026-03-07 12:00:00.000");
    EXPECT_EQ(stamp(highSpeed.stamps[19]), "2026-03-07 11:59:59.050");
    EXPECT_EQ(stamp(highSpeed.stamps[20]), "2026-03-07 11:59:59.000");
    EXPECT_EQ(stamp(highSpeed.stamps[1599]), "2026-03-07 11:58:40.050");
    useCycle(1, kCycleHalfSecond);
    const PlaybackPane& half = load(1, localEpochSeconds(2026, 3, 7, 12, 0, 0));
    EXPECT_EQ(stamp(half.stamps[3]), "2026-03-07 11:59:58.500");
    EXPECT_EQ(stamp(half.stamps[1599]), "2026-03-07 11:46:40.500");
}

TEST_F(PaneLoading, ReferenceTimesBeyondThirtyTwoBitsLoadTheirDayFiles) {
    useCycle(1, kCycle1s);
    int64_t reference = localEpochSeconds(2040, 6, 1, 10, 0, 0);
    ASSERT_GT(reference, int64_t{INT32_MAX});
    record(1, (reference - 100) * 1000, 1000, 101);
    const PlaybackPane& pane = load(1, reference);
    EXPECT_TRUE(slotHolds(pane, 0, 100));
    EXPECT_TRUE(slotHolds(pane, 100, 0));
    EXPECT_EQ(stamp(pane.stamps[0]), "2040-06-01 10:00:00.000");
}

// A set reference time is kept unaligned (10:00:07 on a 1 min cycle),
// brought into range when it lies outside.
TEST_F(PaneLoading, SetReferenceTimesAreKeptOrBroughtIntoRange) {
    useCycle(1, kCycle1min);
    const int64_t references[] = {localEpochSeconds(2026, 3, 7, 10, 0, 7),
                                  -1,
                                  -86400LL * 365 * 80,
                                  int64_t{INT32_MIN} - 1,
                                  INT64_MIN,
                                  int64_t{INT32_MAX} + 1,
                                  INT64_MAX};
    for (int64_t reference : references) {
        const PlaybackPane& pane = load(1, reference);
        int64_t kept = pane.referenceTime[1];
        EXPECT_GE(kept, kEarliestReferenceTime) << reference;
        EXPECT_LE(kept, kLatestReferenceTime) << reference;
        if (reference >= kEarliestReferenceTime && reference <= kLatestReferenceTime) {
            EXPECT_EQ(kept, reference);
        }
        EXPECT_GE(pane.stamps[kPaneSlots - 1].year, 1900) << reference;
        EXPECT_LE(pane.stamps[0].year, 9999) << reference;
        EXPECT_TRUE(slotEmpty(pane, 0));
    }
    EXPECT_EQ(cursor.shown, cursor.restored);
}

// Rows stamped from a clock that springs forward (01:59:59 is followed by
// 03:00:00, or by 02:30:00 where the step is half an hour) fill the pane
// without a gap: the slots follow real time.
TEST_F(PaneLoading, WindowAcrossTheSpringForwardGap) {
    struct Zone {
        const char* tz;
        int month;
        int day;
        const char* afterGap;
    };
    const Zone zones[] = {{test::kCentralEuropeTz, 3, 29, "03:00:00"},
                          {"<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", 10, 4, "02:30:00"}};
    useCycle(1, kCycle1s);
    for (const Zone& zone : zones) {
        test::ScopedTimeZone scoped(zone.tz);
        int64_t first = localMs(2026, zone.month, zone.day, 1, 50, 0);
        record(1, first, 1000, 1200);  // 600 rows before the step, 600 after
        const PlaybackPane& pane = load(1, first / 1000 + 1199);
        EXPECT_EQ(stamp(pane.stamps[599]).substr(11, 8), zone.afterGap) << zone.tz;
        EXPECT_EQ(stamp(pane.stamps[600]).substr(11, 8), "01:59:59") << zone.tz;
        for (int slot = 0; slot < kPaneSlots; ++slot) {
            if (slot < 1200) {
                ASSERT_TRUE(slotHolds(pane, slot, 1199 - slot)) << zone.tz;
            } else {
                ASSERT_TRUE(slotEmpty(pane, slot)) << zone.tz << " slot " << slot;
            }
        }
    }
}

// Every slot holds the sample that `numberAt` gives for the slot's time in
// milliseconds, or no data where it gives -1.
void expectSlots(const PlaybackPane& pane, int64_t referenceMs, int spacingMs,
                 const std::function<double(int64_t)>& numberAt) {
    for (int slot = 0; slot < kPaneSlots; ++slot) {
        double number = numberAt(referenceMs - int64_t{spacingMs} * slot);
        if (number < 0) {
            ASSERT_TRUE(slotEmpty(pane, slot)) << referenceMs << " slot " << slot;
        } else {
            ASSERT_TRUE(slotHolds(pane, slot, number)) << referenceMs;
        }
    }
}

// Rows stamped from a clock that falls back hold the local hour 02:00 to
// 02:59:59 twice, in summer time first, then in winter time. Playback shows
// the second pass at its own instants and nothing for the hour of the
// first; everything else is exact, for every reference time and cycle.
TEST_F(PaneLoading, FallBackFoldShowsTheSecondPassOfTheRepeatedHour) {
    test::ScopedTimeZone zone(test::kCentralEuropeTz);
    const int64_t firstMs = localEpochSeconds(2026, 10, 25, 0, 30, 0) * 1000;  // summer time
    // 01:50 and 02:30 summer time, 02:05 and 02:40 winter time, 03:10, 04:29.
    for (int cycle : {kCycleHalfSecond, kCycle1s, kCycle5s, kCycle1min}) {
        useCycle(1, cycle);
        int spacing = sampleSpacingMs(1, cycle);
        std::remove(test::dayFilePathOf(test::makeTime(2026, 10, 25, 0, 0, 0), 1).c_str());
        record(1, firstMs, spacing, 5 * 3600 * 1000 / spacing);  // to 04:30 winter time
        for (int64_t offset : {4800, 7200, 9300, 11400, 13200, 17940}) {
            expectSlots(load(1, firstMs / 1000 + offset), firstMs + offset * 1000, spacing,
                        [&](int64_t atMs) {
                            int64_t sinceFirst = atMs - firstMs;
                            bool firstPassHour = sinceFirst >= 5400000 && sinceFirst < 9000000;
                            bool recorded = sinceFirst >= 0 && sinceFirst < 5 * 3600000;
                            return firstPassHour || !recorded ? -1.0 : double(sinceFirst / spacing);
                        });
        }
    }
}

TEST_F(PaneLoading, DayFileThatIsNotAPlainFileIsPassedOver) {
    useCycle(1, kCycle1s);
    SystemTime day = test::makeTime(2026, 3, 7, 10, 0, 0);
    std::string pipe = test::dayFilePathOf(day, 1);
    std::string folder = pipe.substr(0, pipe.rfind('/'));
    ASSERT_EQ(mkdir(home.dataFolder().c_str(), 0777), 0);
    ASSERT_EQ(mkdir(folder.c_str(), 0777), 0);
    ASSERT_EQ(mkfifo(pipe.c_str(), 0666), 0);  // would block a plain open
    std::string directory = test::dayFilePathOf(day, 2);
    ASSERT_EQ(mkdir(directory.c_str(), 0777), 0);
    EXPECT_TRUE(slotEmpty(load(1, localEpochSeconds(2026, 3, 7, 10, 0, 0)), 0));
    EXPECT_TRUE(slotEmpty(load(2, localEpochSeconds(2026, 3, 7, 10, 0, 0)), 0));
}

TEST_F(PaneLoading, GroupOutOfRangeLoadsNothing) {
    currentGroup = 11;
    loadPane(1);
    currentGroup = 1;
    loadPane(3);
    EXPECT_EQ(cursor.shown, 0);
}

}  // namespace
}  // namespace kvt
