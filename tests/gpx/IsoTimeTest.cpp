#include "gpx/IsoTime.h"
#include "ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace pelorin {
namespace {

using namespace std::chrono;

// 2009-05-01T10:00:00Z
constexpr sys_seconds kMay1At10 = sys_days{2009y / May / 1} + 10h;

struct TimeCase {
    const char *text;
    std::optional<sys_seconds> expected;
};

class GpxTimeTable : public testing::TestWithParam<TimeCase> {};

TEST_P(GpxTimeTable, Reads) {
    const TimeCase &c = GetParam();
    EXPECT_EQ(parseGpxTime(c.text), c.expected) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GpxTimeTable,
    testing::Values(
        TimeCase{"2009-05-01T10:00:00", kMay1At10}, TimeCase{"2009-05-01T10:00:00Z", kMay1At10},
        TimeCase{"2009-05-01T10:00:00.999Z", kMay1At10}, TimeCase{"2009-05-01T10:00:00.5", kMay1At10},
        TimeCase{"2009-05-01T12:00:00+02:00", kMay1At10}, TimeCase{"2009-05-01T12:00:00+0200", kMay1At10},
        TimeCase{"2009-05-01T05:00:00-05:00", kMay1At10},
        TimeCase{"2009-05-01T12:30:00.123+02:30", kMay1At10},
        TimeCase{"2009-05-01T00:30:00+01:00", sys_days{2009y / April / 30} + 23h + 30min},
        TimeCase{"2008-02-29T00:00:00Z", sys_days{2008y / February / 29}},
        TimeCase{"1970-01-01T00:00:00Z", sys_seconds{}}, TimeCase{"", std::nullopt},
        TimeCase{"garbage", std::nullopt}, TimeCase{"2009-05-01", std::nullopt},
        TimeCase{"2009-05-01T10:00", std::nullopt}, TimeCase{"2009-5-01T10:00:00Z", std::nullopt},
        TimeCase{"2009-05-01 10:00:00Z", std::nullopt}, TimeCase{"2009-13-01T10:00:00Z", std::nullopt},
        TimeCase{"2009-00-01T10:00:00Z", std::nullopt}, TimeCase{"2009-02-29T10:00:00Z", std::nullopt},
        TimeCase{"2009-04-31T10:00:00Z", std::nullopt}, TimeCase{"2009-05-01T24:00:00Z", std::nullopt},
        TimeCase{"2009-05-01T10:60:00Z", std::nullopt}, TimeCase{"2009-05-01T10:00:60Z", std::nullopt},
        TimeCase{"2009-05-01T10:00:00.Z", std::nullopt}, TimeCase{"2009-05-01T10:00:00+2:00", std::nullopt},
        TimeCase{"2009-05-01T10:00:00+02", std::nullopt}, TimeCase{"2009-05-01T10:00:00+02:60", std::nullopt},
        TimeCase{"2009-05-01T10:00:00+24:00", std::nullopt},
        TimeCase{"2009-05-01T10:00:00Zjunk", std::nullopt}, TimeCase{"2009-05-01T10:00:00 ", std::nullopt},
        TimeCase{"-009-05-01T10:00:00Z", std::nullopt}));

TEST(IsoDateTime, KeepsMilliseconds) {
    const auto t = parseIsoDateTime("2009-05-01T12:00:00.1239+02:00", MissingZone::Utc);
    ASSERT_TRUE(t);
    EXPECT_EQ(*t, kMay1At10 + 123ms);
    EXPECT_EQ(parseIsoDateTime("2009-05-01T10:00:00.5Z", MissingZone::Local), kMay1At10 + 500ms);
}

TEST(IsoDateTime, MissingZoneIsLocalOrUtcAsAsked) {
    pelorin::test::ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3"); // summer time in May: UTC+2
    EXPECT_EQ(parseIsoDateTime("2009-05-01T12:00:00", MissingZone::Local), kMay1At10);
    EXPECT_EQ(parseIsoDateTime("2009-01-01T12:00:00", MissingZone::Local),
              sys_days{2009y / January / 1} + 11h);
    EXPECT_EQ(parseIsoDateTime("2009-05-01T10:00:00", MissingZone::Utc), kMay1At10);
    // An explicit zone wins over the local one; GPX times never use the local zone.
    EXPECT_EQ(parseIsoDateTime("2009-05-01T10:00:00Z", MissingZone::Local), kMay1At10);
    EXPECT_EQ(parseGpxTime("2009-05-01T10:00:00"), kMay1At10);
}

} // namespace
} // namespace pelorin
