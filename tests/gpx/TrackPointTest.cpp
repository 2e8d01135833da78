#include "gpx/TrackPoint.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

using std::chrono::seconds;

TEST(TrackPoint, TimeSegmentAndKindShareAWordWithoutDisturbingEachOther) {
    const Instant times[] = {Instant{seconds{0}}, Instant{seconds{-62'135'596'800}} /* year 1 */,
                             Instant{seconds{253'402'300'799}} /* 9999-12-31T23:59:59Z */,
                             Instant{seconds{-1}}};
    for (const Instant time : times) {
        TrackPoint point;
        EXPECT_FALSE(point.time());
        point.setSegment(TrackPoint::kLastSegment + 7); // saturates
        point.setWaypoint(true);
        point.setTime(time);
        EXPECT_EQ(point.time(), time);
        EXPECT_EQ(point.segment(), TrackPoint::kLastSegment);
        EXPECT_TRUE(point.isWaypoint());

        point.setSegment(3);
        point.setWaypoint(false);
        EXPECT_EQ(point.time(), time);
        const TrackPoint copy = point;
        EXPECT_EQ(copy.segment(), 3u);
        EXPECT_FALSE(copy.isWaypoint());
        point.clearTime();
        EXPECT_FALSE(point.time());
        EXPECT_EQ(point.segment(), 3u);
    }
}

} // namespace
} // namespace pelorin
