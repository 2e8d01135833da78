#include "gpx/TrackPoint.h"
#include "gpx/ShortText.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

namespace pelorin {
namespace {

using std::chrono::seconds;

TEST(TrackPoint, TimeSegmentAndKindShareAWordWithoutDisturbingEachOther) {
    const Instant times[] = {Instant{seconds{-62'135'596'800}} /* year 1 */,
                             Instant{seconds{253'402'300'799}} /* 9999-12-31T23:59:59Z */};
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

// The GPX attributes are a dictionary: a key set twice holds the later value, their order does not count.
TEST(TrackPoint, AttributesAreADictionary) {
    const auto make = [](std::initializer_list<std::pair<const char *, const char *>> attributes) {
        TrackPoint p;
        for (const auto &[key, value] : attributes)
            p.setAttribute(key, value);
        return p;
    };
    TrackPoint p = make({{"lat", "1.5"}, {"lon", "2"}, {"elevation", "3"}, {"name", "a"}, {"name", "b"}});
    EXPECT_EQ(
        (std::vector{p.attribute("lat"), p.attribute("lon"), p.attribute("elevation"), p.attribute("name")}),
        (std::vector<std::optional<std::string_view>>{"1.5", "2", "3", "b"}));
    TrackPoint timed = make({{"time", "noon"}});
    timed.setTime(Instant{seconds{60}}); // an instant replaces the text
    EXPECT_EQ(timed.attribute("time"), std::nullopt);
    TrackPoint plain;
    plain.setTime(Instant{seconds{60}});
    EXPECT_EQ(timed, plain);
    const struct {
        TrackPoint a, b;
        bool equal;
    } cases[] = {
        {make({{"lat", "1"}, {"x", "1"}, {"y", "2"}}), make({{"y", "2"}, {"lat", "1"}, {"x", "1"}}), true},
        {make({{"lat", "1"}}), make({{"lat", "1.0"}}), false},
        {make({{"x", "1"}}), make({{"x", "1"}, {"y", "2"}}), false},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        TrackPoint assigned;
        assigned = cases[i].a;
        EXPECT_EQ(assigned == cases[i].b, cases[i].equal) << i;
    }
}

// Texts up to 15 bytes are kept inline, longer ones on the heap.
TEST(ShortText, HoldsTextAndCopiesAndMovesKeepOwnership) {
    EXPECT_EQ(ShortText().get(), std::nullopt);
    for (const std::string &text :
         {std::string(), std::string(15, 'a'), std::string(16, 'b'), std::string(1000, 'c')}) {
        SCOPED_TRACE(text.size());
        ShortText original(text);
        EXPECT_EQ(original.get(), std::optional<std::string_view>(text));
        ShortText copy(original);
        EXPECT_EQ(copy.view(), text);
        EXPECT_NE(copy.view().data(), original.view().data()); // a heap text is duplicated, not shared

        ShortText moved(std::move(copy));
        EXPECT_EQ(moved.view(), text);
        EXPECT_FALSE(copy.has()); // NOLINT(bugprone-use-after-move): a moved-from text is absent

        ShortText assigned("x");
        assigned = original;
        EXPECT_EQ(assigned.view(), text);
        assigned = std::move(moved);
        EXPECT_EQ(assigned.view(), text);
        const ShortText &same = assigned;
        assigned = same;
        assigned.assign(assigned.view().substr(text.size() / 2, 20)); // from its own storage
        EXPECT_EQ(assigned.view(), text.substr(text.size() / 2, 20));
        EXPECT_EQ(original.view(), text);
        original.reset();
        EXPECT_FALSE(original.has());
        assigned = original; // an absent text copied over a present one
        EXPECT_FALSE(assigned.has());
    }
}

} // namespace
} // namespace pelorin
