#include "georef/GeoRef.h"
#include "georef/Uncertainty.h"

#include "TrackFixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelorin {
namespace {

using namespace std::chrono_literals;
using test::kStart;
using test::point;

Recording at(std::chrono::milliseconds sinceStart) {
    return {kStart + sinceStart, "rec.wav", {}};
}

// 0 s, 60 s, then a 15-minute gap to 960 s; elevations on the first two fixes only.
const std::vector<TrackPoint> kTrack = {point("10", "20", kStart, "100"),
                                        point("11", "22", kStart + 60s, "160"),
                                        point("12", "24", kStart + 960s)};

TEST(Placement, EveryStatusWithItsFixesAndDistances) {
    struct Case {
        std::chrono::milliseconds sinceStart;
        std::int32_t offset;
        PlacementStatus status;
        bool hasBefore, hasAfter;
        double secondsToFix, gap;
    };
    const Case cases[] = {
        {-240s, 0, PlacementStatus::BeforeTrack, false, true, 240, 0},
        {-5s, 5, PlacementStatus::Exact, true, false, 0, 0}, // the offset brings it onto the first fix
        {15s, 0, PlacementStatus::Interpolated, true, true, 15, 60},
        {45'500ms, 0, PlacementStatus::Interpolated, true, true, 14.5, 60},
        {500s, 0, PlacementStatus::Interpolated, true, true, 440, 900},
        {1000s, 0, PlacementStatus::AfterTrack, true, false, 40, 0},
        {900s, 100, PlacementStatus::AfterTrack, true, false, 40, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.sinceStart.count()) + " ms, offset " + std::to_string(c.offset));
        const GeoRefResult result =
            placeRecordings(std::vector{at(c.sinceStart)}, TrackView{kTrack, {}}, c.offset);
        ASSERT_EQ(result.placements.size(), 1u);
        const Placement &p = result.placements[0];
        EXPECT_EQ(p.status, c.status);
        EXPECT_EQ(p.correctedTime, kStart + c.sinceStart + std::chrono::seconds{c.offset});
        EXPECT_EQ(p.before.has_value(), c.hasBefore);
        EXPECT_EQ(p.after.has_value(), c.hasAfter);
        EXPECT_DOUBLE_EQ(p.secondsToNearestFix, c.secondsToFix);
        EXPECT_DOUBLE_EQ(p.gapSeconds, c.gap);
        EXPECT_EQ(result.records.size(), p.placed() ? 1u : 0u);
        if (p.placed()) {
            EXPECT_EQ(p.lat, result.records[0].lat);
            EXPECT_EQ(p.lon, result.records[0].lon);
            EXPECT_GE(p.uncertaintyMetres, 5.0);
        }
    }
}

TEST(Placement, KeepsTheRecordsAndAddsFixDetails) {
    const std::vector<Recording> recordings = {at(15s), at(-1s), at(60s), at(2000s)};
    const GeoRefResult result = placeRecordings(recordings, TrackView{kTrack, {}}, 0);
    EXPECT_EQ(result.records, geoRefRecordings(recordings, TrackView{kTrack, {}}, 0));

    const Placement &between = result.placements[0];
    EXPECT_EQ(between.before->time, kStart);
    EXPECT_EQ(between.after->time, kStart + 60s);
    EXPECT_NEAR(between.fixDistanceMetres, 245'000, 5'000); // 1° north, 2° east at 10° N
    ASSERT_TRUE(between.elevation);
    EXPECT_DOUBLE_EQ(*between.elevation, 115.0);

    const Placement &onFix = result.placements[2];
    EXPECT_EQ(onFix.status, PlacementStatus::Exact);
    EXPECT_DOUBLE_EQ(onFix.uncertaintyMetres, 5.0);
    EXPECT_EQ(onFix.elevation, 160.0);
    EXPECT_EQ(result.placements[1].status, PlacementStatus::BeforeTrack);
    EXPECT_EQ(result.placements[3].status, PlacementStatus::AfterTrack);
    EXPECT_EQ(result.placements[3].before->time, kStart + 960s);
}

TEST(Placement, NoElevationUnlessBothFixesHaveOne) {
    const GeoRefResult result = placeRecordings(std::vector{at(500s)}, TrackView{kTrack, {}}, 0);
    EXPECT_EQ(result.placements[0].status, PlacementStatus::Interpolated);
    EXPECT_FALSE(result.placements[0].elevation);
}

TEST(Placement, MaxGapLeavesRecordingsInLongGapsUnplaced) {
    const std::vector<Recording> recordings = {at(15s), at(500s)};
    for (const double maxGap : {60.0, 899.0}) {
        PlacementOptions options;
        options.maxGapSeconds = maxGap;
        const GeoRefResult result = placeRecordings(recordings, TrackView{kTrack, {}}, 0, options);
        EXPECT_EQ(result.placements[0].status, PlacementStatus::Interpolated) << maxGap;
        EXPECT_EQ(result.placements[1].status, PlacementStatus::InGap) << maxGap;
        EXPECT_DOUBLE_EQ(result.placements[1].gapSeconds, 900);
        EXPECT_EQ(result.records.size(), 1u);
    }
    PlacementOptions atTheGap;
    atTheGap.maxGapSeconds = 900;
    EXPECT_EQ(placeRecordings(recordings, TrackView{kTrack, {}}, 0, atTheGap).records.size(), 2u);
}

TEST(Placement, SplitSegmentsNeverCrossesASegmentBoundaryOrAWaypoint) {
    const auto inSegment = [](TrackPoint p, std::uint32_t segment) {
        p.setSegment(segment);
        return p;
    };
    TrackPoint waypoint = point("13", "26", kStart + 180s);
    waypoint.setWaypoint(true);
    const std::vector<TrackPoint> track = {inSegment(point("10", "20", kStart), 0),
                                           inSegment(point("11", "22", kStart + 60s), 0),
                                           inSegment(point("12", "24", kStart + 120s), 1), waypoint,
                                           inSegment(point("14", "28", kStart + 240s), 1)};
    using enum PlacementStatus;
    const struct {
        std::chrono::seconds at;
        PlacementStatus split;
    } cases[] = {
        {30s, Interpolated}, // within segment 0
        {90s, InGap},        // from segment 0 to segment 1
        {150s, InGap},       // from a track point to a waypoint
        {180s, Exact},       // on the waypoint itself
        {210s, InGap},       // from the waypoint back to segment 1
    };
    PlacementOptions split;
    split.splitSegments = true;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.at.count());
        const std::vector recordings{at(c.at)};
        EXPECT_TRUE(placeRecordings(recordings, TrackView{track, {}}, 0).placements[0].placed());
        const Placement p = placeRecordings(recordings, TrackView{track, {}}, 0, split).placements[0];
        EXPECT_EQ(p.status, c.split);
        if (c.split == InGap) {
            EXPECT_DOUBLE_EQ(p.gapSeconds, 60);
        }
    }
}

TEST(Placement, PointsWithBadCoordinatesAndRecordingsWithoutATimeTakeNoPart) {
    std::vector<TrackPoint> track = kTrack;
    track[1].setBadCoordinates(true);
    std::vector<Recording> recordings = {at(60s), at(480s), at(480s)};
    recordings[2].timeSource = StartTimeSource::None;
    for (const bool arranged : {false, true}) {
        SCOPED_TRACE(arranged);
        const std::vector<std::uint32_t> order = {1, 0, 2}; // out of time order: the sorted walk
        const GeoRefResult result = placeRecordings(
            recordings, TrackView{track, arranged ? std::span(order) : std::span<const std::uint32_t>{}}, 0);
        // At the bad fix's time: between its neighbours, not on it.
        EXPECT_EQ(result.placements[0].status, PlacementStatus::Interpolated);
        EXPECT_EQ(result.placements[0].after->time, kStart + 960s);
        EXPECT_EQ(result.placements[1].status, PlacementStatus::Interpolated);
        EXPECT_FLOAT_EQ(result.placements[1].fraction, 0.5f);
        EXPECT_EQ(result.placements[2].status, PlacementStatus::NoTime);
        EXPECT_FALSE(result.placements[2].before || result.placements[2].after);
        EXPECT_EQ(result.records.size(), 2u);
    }
}

TEST(Placement, StatusNames) {
    EXPECT_EQ(placementStatusName(PlacementStatus::Exact), "exact");
    EXPECT_EQ(placementStatusName(PlacementStatus::BeforeTrack), "before-track");
    EXPECT_EQ(placementStatusName(PlacementStatus::AfterTrack), "after-track");
    EXPECT_EQ(placementStatusName(PlacementStatus::InGap), "in-gap");
    EXPECT_EQ(placementStatusName(PlacementStatus::NoTime), "no-time");
}

TEST(Uncertainty, IsTheAccuracyAtAFixAndGrowsWithTimeAndDistance) {
    EXPECT_DOUBLE_EQ(uncertaintyRadius(0, 60, 100, 5), 5);
    EXPECT_DOUBLE_EQ(uncertaintyRadius(10, 0, 100, 5), 5);  // two fixes at one instant
    EXPECT_DOUBLE_EQ(uncertaintyRadius(-1, 60, 100, 5), 5); // never below the accuracy
    EXPECT_DOUBLE_EQ(uncertaintyRadius(0, 60, 100, -3), 0);
    EXPECT_DOUBLE_EQ(uncertaintyRadius(30, 60, 120, 5), 5 + 30 * (2 + kUnseenWalkMetresPerSecond));

    double previous = 0;
    for (double seconds = 0; seconds <= 450; seconds += 15) {
        const double r = uncertaintyRadius(seconds, 900, 400, 5);
        EXPECT_GE(r, previous) << seconds;
        previous = r;
    }
    previous = 0;
    for (double metres = 0; metres <= 2000; metres += 100) {
        const double r = uncertaintyRadius(20, 60, metres, 5);
        EXPECT_GT(r, previous) << metres;
        previous = r;
    }
}

TEST(Uncertainty, DistanceOfKnownPlaces) {
    EXPECT_DOUBLE_EQ(distanceMetres(52.5, 13.4, 52.5, 13.4), 0);
    EXPECT_NEAR(distanceMetres(0, 0, 0, 1), 111'195, 1); // one degree on the equator
    EXPECT_NEAR(distanceMetres(51.5007, -0.1246, 48.8584, 2.2945), 340'900, 1'000); // London to Paris
}

} // namespace
} // namespace pelorin
