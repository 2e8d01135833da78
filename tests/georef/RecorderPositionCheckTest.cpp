#include "georef/RecorderPositionCheck.h"

#include "georef/TrackFixtures.h"

#include <gtest/gtest.h>

#include <vector>

namespace pelorin {
namespace {

using namespace test;

TEST(RecorderPositionCheck, TheMedianDistanceToTheRecordersOwnPositionsAndTheOffsetThatAgrees) {
    // A walk due north along 20° E: a fix a minute for two hours, 0.001° (111.2 m) further each minute.
    std::vector<TrackPoint> walk;
    for (int minute = 0; minute <= 120; ++minute)
        walk.push_back(
            point(std::to_string(10 + minute / 1000.0), "20", kStart + std::chrono::minutes(minute)));
    // Recorders that stood where the walk was at 10:30, 10:45 and 11:00, their clock an hour fast.
    std::vector<Recording> recordings;
    for (const int minute : {30, 45, 60}) {
        recordings.push_back({RecordingTime(kStart + std::chrono::minutes(minute + 60)), "r.wav", {}});
        recordings.back().recorderPosition = LatLon{10 + minute / 1000.0, 20};
    }
    const TrackView track{walk, {}};

    // Placed an hour of walking too far north: 60 × 111.195 m.
    const GeoRefResult wrong = placeRecordings(recordings, track, 0);
    EXPECT_NEAR(*medianRecorderDistance(recordings, wrong.placements), 6671.7, 0.5);

    const std::optional<PositionOffset> best = offsetNearestRecorderPositions(recordings, track, 7);
    ASSERT_TRUE(best);
    EXPECT_EQ(std::pair(best->offsetSeconds, best->compared), std::pair(7 - 3600, std::size_t{3}));
}

} // namespace
} // namespace pelorin
