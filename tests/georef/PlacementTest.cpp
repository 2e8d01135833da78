#include "georef/GeoRef.h"
#include "georef/PlacementReport.h"
#include "georef/PlacementSummary.h"

#include "TrackFixtures.h"

#include <gtest/gtest.h>
#include <span>
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
    // The fixes lie 245,311.6 m apart in 60 s, then 244,651.5 m in 900 s (haversine, mean Earth radius);
    // the radius is 5 m plus the seconds to the nearer fix times (that pace + 0.5 m/s).
    struct Case {
        std::chrono::milliseconds sinceStart;
        std::int32_t offset;
        PlacementStatus status;
        bool hasBefore, hasAfter;
        double secondsToFix, gap;
        double lat, lon, uncertainty; // when placed
    };
    const Case cases[] = {
        {-5s, 5, PlacementStatus::Exact, true, false, 0, 0, 10, 20,
         5}, // the offset brings it onto the first fix
        {15s, 0, PlacementStatus::Interpolated, true, true, 15, 60, 10.25, 20.5, 61'340.39},
        {500s, 0, PlacementStatus::Interpolated, true, true, 440, 900, 11.488889, 22.977778, 119'832.41},
        {1000s, 0, PlacementStatus::AfterTrack, true, false, 40, 0, 0, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::to_string(c.sinceStart.count()) + " ms, offset " + std::to_string(c.offset));
        const GeoRefResult result =
            placeRecordings(std::vector{at(c.sinceStart)}, TrackView{kTrack, {}}, c.offset);
        ASSERT_EQ(result.placements.size(), 1u);
        const Placement &p = result.placements[0];
        EXPECT_EQ(std::tuple(p.status, p.correctedTime, p.before.has_value(), p.after.has_value()),
                  std::tuple(c.status, kStart + c.sinceStart + std::chrono::seconds{c.offset}, c.hasBefore,
                             c.hasAfter));
        EXPECT_DOUBLE_EQ(p.secondsToNearestFix, c.secondsToFix);
        EXPECT_DOUBLE_EQ(p.gapSeconds, c.gap);
        ASSERT_EQ(result.records.size(), p.placed() ? 1u : 0u);
        if (p.placed()) {
            EXPECT_NEAR(p.lat, c.lat, 1e-5);
            EXPECT_NEAR(p.lon, c.lon, 1e-5);
            EXPECT_NEAR(p.uncertaintyMetres, c.uncertainty, 0.01);
            EXPECT_EQ(std::pair(result.records[0].lat, result.records[0].lon),
                      std::pair(p.lat, p.lon)); // bit for bit
        }
    }
}

TEST(Placement, KeepsTheRecordsAndAddsFixDetails) {
    const std::vector<Recording> recordings = {at(15s), at(-1s), at(60s), at(2000s), at(500s)};
    const GeoRefResult result = placeRecordings(recordings, TrackView{kTrack, {}}, 0);
    ASSERT_EQ(result.records.size(), 3u); // the two interpolated and the exact, not the others
    EXPECT_EQ(result.records[0].name, "No species");

    const Placement &between = result.placements[0];
    EXPECT_EQ(std::pair(between.before->time, between.after->time), std::pair(kStart, kStart + 60s));
    EXPECT_NEAR(between.fixDistanceMetres, 245'311.6, 0.1); // 1° north, 2° east at 10° N
    ASSERT_TRUE(between.elevation);
    EXPECT_DOUBLE_EQ(*between.elevation, 115.0);
    const Placement &onFix = result.placements[2];
    EXPECT_DOUBLE_EQ(onFix.uncertaintyMetres, 5.0);
    EXPECT_EQ(onFix.elevation, 160.0);
    EXPECT_EQ(result.placements[3].before->time, kStart + 960s);
    EXPECT_FALSE(result.placements[4].elevation); // no elevation unless both fixes have one
}

// A long list is placed on two cores: each recording must come out as it does alone, in its place.
TEST(Placement, ALongListIsPlacedAsEachRecordingIsAlone) {
    std::vector<Recording> recordings;
    for (int i = 0; i < 20'000; ++i) // names without a prefix: GCC 12 raises a known false -Wrestrict on one
        recordings.push_back({kStart + std::chrono::milliseconds(i * 67 - 3000),
                              std::to_string(i) + ".wav",
                              {i % 3 == 0 ? "Ppip" : "Nnoc"}});
    const TrackView track{kTrack, {}};
    const GeoRefResult all = placeRecordings(recordings, track, 0);
    for (std::size_t i = 0; i < recordings.size(); i += 1000) {
        const GeoRefResult alone = placeRecordings(std::span(recordings.data() + i, 1000), track, 0);
        for (std::size_t k = 0; k < 1000; ++k)
            EXPECT_EQ(std::pair(all.placements[i + k].status, all.placements[i + k].lat),
                      std::pair(alone.placements[k].status, alone.placements[k].lat))
                << i + k;
    }
}

TEST(Placement, MaxGapLeavesRecordingsInLongGapsUnplaced) {
    const std::vector<Recording> recordings = {at(15s), at(500s)};
    PlacementOptions options;
    options.maxGapSeconds = 899;
    const GeoRefResult result = placeRecordings(recordings, TrackView{kTrack, {}}, 0, options);
    EXPECT_EQ(result.placements[0].status, PlacementStatus::Interpolated);
    EXPECT_EQ(result.placements[1].status, PlacementStatus::InGap);
    EXPECT_DOUBLE_EQ(result.placements[1].gapSeconds, 900);
    EXPECT_EQ(result.records.size(), 1u);
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
        {180s, Exact},       // on the waypoint itself
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

std::string report(std::span<const Recording> recordings, std::span<const Placement> placements,
                   std::span<const std::uint32_t> rows = {}) {
    std::string text;
    writePlacementReport(
        recordings, placements, [&text](std::string_view bytes) { text += bytes; }, rows);
    return text;
}

TEST(PlacementReport, QuotesWhatNeedsItAndLeavesUnknownsEmpty) {
    const std::vector<TrackPoint> track = {point("10", "20", kStart, "100"),
                                           point("11", "22", kStart + 60s, "110")};
    std::vector<Recording> recordings(3);
    recordings[0] = {kStart + 30s + 250ms, "a,\"b\".wav", {"Ppip", "Nnoc"}};
    recordings[0].timeAsGiven = "2024-06-01T12:00:30.25+02:00";
    recordings[1] = {kStart - 90s, "line\nbreak.wav", {}};
    recordings[1].timeSource = StartTimeSource::ModificationTime;
    recordings[1].timeAsGiven = "2024-06-01T11:58:30+02:00";
    recordings[1].recorderPosition = LatLon{10.5, 21}; // its own, with no pin to be measured from
    recordings[1].durationSeconds = 12.5;
    recordings[2] = {{}, "none.wav", {"Eser"}};
    recordings[2].timeSource = StartTimeSource::None;
    recordings[2].timeNote = "read as the first, CEST";
    const GeoRefResult result = placeRecordings(recordings, TrackView{track, {}}, 0);

    const std::string header =
        "filename,species,start_time,time_source,corrected_time,status,latitude,longitude,"
        "elevation,seconds_to_fix,gap_seconds,uncertainty_m,time_note,recorder_latitude,recorder_longitude,"
        "recorder_distance_m,offset_seconds,duration_s,placed_at,gps_log\r\n";
    const std::string placed = "\"a,\"\"b\"\".wav\",Ppip;Nnoc,2024-06-01T12:00:30.25+02:00,catalogue,"
                               "2024-06-01T10:00:30.250Z,interpolated,10.504167,21.008333,105.04,29.75,60,";
    const std::string before =
        "\"line\nbreak.wav\",,2024-06-01T11:58:30+02:00,modification time,"
        "2024-06-01T09:58:30Z,before-track,,,,90,,,,10.500000,21.000000,,0,12.5,start,\r\n";
    const std::string untimed = "none.wav,Eser,,,,no-time,,,,,,,\"read as the first, CEST\",,,,,,,\r\n";
    const std::string text = report(recordings, result.placements);
    EXPECT_EQ(text.substr(0, header.size() + placed.size()), header + placed) << text;
    EXPECT_EQ(text.substr(text.size() - before.size() - untimed.size()), before + untimed);
}

TEST(PlacementSummary, SaysWhatWasNotPlacedAndWhy) {
    const auto with = [](PlacementStatus status, double secondsToFix = 0, double gap = 0) {
        Placement p;
        p.status = status;
        p.secondsToNearestFix = secondsToFix;
        p.gapSeconds = gap;
        return p;
    };
    using enum PlacementStatus;
    const std::vector placements{with(BeforeTrack, 240), with(BeforeTrack, 1200), with(AfterTrack, 30),
                                 with(InGap, 100, 840),  with(InGap, 5, 7500),    with(NoTime)};
    EXPECT_EQ(
        placementSummary(placements, 3),
        "placed 0 of 6 recordings: 2 before the track (4 to 20 min before the first fix), 1 after the track "
        "(30 s after the last fix), 2 in gaps of 14 min to 2 h 5 min, 1 without a start time, "
        "3 track points with bad coordinates left out");
}

} // namespace
} // namespace pelorin
