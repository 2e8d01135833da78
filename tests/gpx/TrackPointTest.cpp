#include "gpx/TrackPoint.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

using namespace std::chrono;

constexpr Instant kMay1At10 = sys_days{2009y / May / 1} + 10h;

TEST(TrackPoint, AttributesAreKeptAsText) {
    TrackPoint p;
    EXPECT_EQ(p.lat(), std::nullopt);
    EXPECT_EQ(p.time(), std::nullopt);
    p.setAttribute("lat", "48.137000");
    p.setAttribute("lon", "not a number");
    p.setAttribute("sym", "Flag, Blue");
    p.setAttribute("sym", "Pin");
    EXPECT_EQ(p.lat(), "48.137000");
    EXPECT_EQ(p.attribute("lon"), "not a number");
    EXPECT_EQ(p.attribute("sym"), "Pin");
    EXPECT_EQ(p.attribute("name"), std::nullopt);
}

TEST(TrackPoint, TimeAndElevationReplaceAttributesOfTheirName) {
    TrackPoint p;
    p.setAttribute("time", "yesterday");
    p.setAttribute("elevation", "3");
    EXPECT_EQ(p.attribute("time"), "yesterday");
    EXPECT_EQ(p.elevation(), "3");

    p.setTime(kMay1At10);
    p.setElevation("12.5");
    EXPECT_EQ(p.attribute("time"), std::nullopt);
    EXPECT_EQ(p.time(), kMay1At10);
    EXPECT_EQ(p.elevation(), "12.5");
    p.setTime(kMay1At10 + 1s);
    EXPECT_EQ(p.time(), kMay1At10 + 1s);
    p.clearTime();
    EXPECT_EQ(p.time(), std::nullopt);

    TrackPoint epoch; // the epoch itself is a time like any other
    epoch.setTime(Instant{});
    EXPECT_EQ(epoch.time(), Instant{});
}

TEST(TrackPoint, CopiesAreDeepAndEqualityIgnoresAttributeOrder) {
    TrackPoint a;
    a.setAttribute("lat", "1");
    a.setAttribute("sym", "Pin");
    a.setAttribute("type", "x");
    TrackPoint b = a;
    EXPECT_EQ(a, b);
    b.setAttribute("sym", "Flag");
    EXPECT_EQ(a.attribute("sym"), "Pin");
    EXPECT_FALSE(a == b);

    TrackPoint c;
    c.setAttribute("type", "x");
    c.setAttribute("sym", "Pin");
    c.setAttribute("lat", "1");
    EXPECT_EQ(a, c);
    c.setElevation("");
    EXPECT_FALSE(a == c); // an empty elevation is still an elevation
}

} // namespace
} // namespace pelorin
