#include "georef/ClockDrift.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelorin {
namespace {

using namespace std::chrono;

constexpr RecordingTime at(year_month_day day, milliseconds time = {}) {
    return RecordingTime{sys_days{day}} + time;
}

// Recorder 00:00 on May 1 was GPS 00:00:10; on May 11, GPS 00:00:34: the clock lost 24 s in ten days.
const SyncPoint kMay1{at(2025y / May / 1), at(2025y / May / 1, 10s)};
const SyncPoint kMay11{at(2025y / May / 11), at(2025y / May / 11, 34s)};
// On May 21 the offset is back to 14 s: it gained 20 s in the next ten days.
const SyncPoint kMay21{at(2025y / May / 21), at(2025y / May / 21, 14s)};

TEST(ClockDrift, OffsetLinearBetweenSyncPointsAndExtrapolatedBeyond) {
    const struct {
        std::vector<SyncPoint> points;
        RecordingTime recorderTime;
        std::int64_t offsetMs;
    } cases[] = {
        {{kMay1, kMay11}, at(2025y / May / 6, 12h), 23'200},     // 5.5 days in: 10 + 13.2
        {{kMay1, kMay11, kMay21}, at(2025y / May / 16), 24'000}, // 34 - 5 × 2
        {{kMay1, kMay11, kMay21}, at(2025y / May / 26), 4'000},  // beyond the last, the last stretch's rate
    };
    for (const auto &c : cases) {
        const ClockDrift::Made made = ClockDrift::from(c.points);
        ASSERT_TRUE(made.drift) << made.error;
        EXPECT_EQ(made.drift->offsetMillisecondsAt(c.recorderTime), c.offsetMs)
            << c.points.size() << " points, " << c.recorderTime.time_since_epoch().count();
        EXPECT_EQ(made.drift->baseOffsetSeconds(), 10); // the first sync point's
    }
}

TEST(ClockDrift, RefusesSyncPointsNoClockCouldMake) {
    const struct {
        std::vector<SyncPoint> points;
        std::string error;
    } cases[] = {
        {{kMay1, {at(2025y / May / 1), at(2025y / May / 1, 12s)}},
         "two sync points at the recorder time 2025-05-01T00:00:00Z; each needs a time of its own"},
        // 610 s in a day.
        {{kMay1, {at(2025y / May / 2), at(2025y / May / 2, 620s)}},
         "the sync points at the recorder times 2025-05-01T00:00:00Z and 2025-05-02T00:00:00Z make the clock "
         "drift 610 s a day, more than 10 minutes a day: check their times"},
        {{kMay1}, "a drift needs two sync points"},
    };
    for (const auto &c : cases) {
        const ClockDrift::Made made = ClockDrift::from(c.points);
        EXPECT_FALSE(made.drift);
        EXPECT_EQ(made.error, c.error);
    }
    // Exactly ten minutes a day is a clock, if a bad one.
    EXPECT_TRUE(ClockDrift::from({kMay1, {at(2025y / May / 2), at(2025y / May / 2, 610s)}}).drift);
}

} // namespace
} // namespace pelorin
