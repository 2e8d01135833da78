#include "georef/GeoRef.h"
#include "georef/PlacemarkText.h"
#include "gpx/Coordinate.h"
#include "text/NumberText.h"

#include "ScopedTimeZone.h"
#include "TrackFixtures.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace pelorin {
namespace {

using namespace std::chrono_literals;
using test::kStart;
using test::point;

Recording recording(std::chrono::milliseconds sinceStart, std::string filename = "rec.wav",
                    std::vector<std::string> species = {}) {
    return {kStart + sinceStart, std::move(filename), std::move(species)};
}

struct Pass {
    std::vector<GeoRefRecord> records;
    std::vector<std::string> log;
};

Pass run(const std::vector<TrackPoint> &points, const std::vector<Recording> &recordings,
         std::int32_t offset = 0) {
    Pass pass;
    pass.records = geoRefRecordings(recordings, TrackView{points, {}}, offset,
                                    [&](std::string_view line) { pass.log.emplace_back(line); });
    return pass;
}

const std::vector<TrackPoint> kTrack = {point("10", "20", kStart), point("11", "22", kStart + 60s)};

TEST(GeoRef, PlacesRecordingsOnTheTimedTrackInTimeOrder) {
    // Waypoints come first in a GPX file: untimed ones, and one from later in the walk.
    const std::vector<TrackPoint> waypointsFirst = {
        point("99", "99", std::nullopt), point("50", "50", kStart + 600s), point("10", "20", kStart),
        point("77", "77", std::nullopt), point("11", "22", kStart + 60s),  point("12", "24", kStart + 120s)};
    // 3 s of 60 from 64.0016 to 64.0087: 64.001953 in single precision, 64.001961 had the sum been in double.
    const std::vector<TrackPoint> single = {point("64.0016", "0", kStart),
                                            point("64.0087", "0", kStart + 60s)};
    const std::string half = "fraction 0.500000", quarter = "fraction 0.250000", most = "fraction 0.750000";
    // Each case gives the latitudes of the records, in recording order, and the log.
    const struct {
        const char *name;
        std::vector<TrackPoint> track;
        std::vector<std::chrono::milliseconds> recordings;
        std::int32_t offset;
        std::vector<float> lats;
        std::vector<std::string> log;
    } cases[] = {
        {"single precision", single, {3s}, 0, {64.001953f}, {"fraction 0.050000"}},
        {"unsorted, some outside", kTrack, {-10s, 45s, 61s, 15s}, 0, {10.75f, 10.25f}, {quarter, most}},
        {"waypoints first",
         waypointsFirst,
         {0s, 30s, 90s, 360s},
         0,
         {10, 10.5f, 11.5f, 31},
         {half, half, half}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Recording> recordings;
        for (const auto sinceStart : c.recordings)
            recordings.push_back(recording(sinceStart));
        const Pass pass = run(c.track, recordings, c.offset);
        std::vector<float> lats;
        for (const GeoRefRecord &r : pass.records)
            lats.push_back(r.lat);
        EXPECT_EQ(lats, c.lats);
        EXPECT_EQ(pass.log, c.log);
    }
}

TEST(GeoRef, NamesBySpeciesAndDescribesByFileAndLocalTime) {
    test::ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    const Pass pass = run(kTrack, {recording(30s - 1h, "a.b.wav", {"Eser", "Mdau"})}, 3600);
    // Placed at its shifted time, described by the recorder's own time, unshifted; the last extension only.
    EXPECT_EQ(pass.records,
              (std::vector<GeoRefRecord>{{"Eser,Mdau", "File a.b\nTime 11:00:30", 10.5f, 21.0f}}));
    EXPECT_EQ(placemarkName({}), "No species");
    EXPECT_EQ(placemarkName({"Ppip", ""}), "Ppip,"); // a species without an abbreviation
    // Winter time, and a leading dot is no extension; whole seconds, rounded down.
    EXPECT_EQ(placemarkDescription({kStart - 24h * 140, "night/.take", {}}),
              "File night/.take\nTime 11:00:00");
    EXPECT_EQ(placemarkDescription({kStart - 1ms, "dot.", {}}), "File dot\nTime 11:59:59");
}

} // namespace
} // namespace pelorin
