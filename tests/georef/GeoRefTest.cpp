#include "georef/GeoRef.h"
#include "ScopedTimeZone.h"
#include "georef/NumberText.h"

#include "TrackFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {
namespace {

using namespace std::chrono_literals;
using test::kStart;
using test::point;
using test::recording;

// Runs a pass over points in file order and keeps the log lines.
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

TEST(GeoRef, InterpolatesTheWorkedExample) {
    const std::vector<TrackPoint> track = {point("10", "20", kStart), point("11", "22", kStart + 60s)};
    const Pass pass = run(track, {recording(15s)});
    ASSERT_EQ(pass.records.size(), 1u);
    EXPECT_EQ(pass.records[0].lat, 10.25f);
    EXPECT_EQ(pass.records[0].lon, 20.5f);
    EXPECT_EQ(pass.log, std::vector<std::string>{"fraction 0.250000"});
}

TEST(GeoRef, ComputesInSinglePrecision) {
    // 3 s of 60 between these longitudes: 64.001953 in single precision,
    // 64.001961 had the sum been formed in double precision.
    const std::vector<TrackPoint> track = {point("48.85", "64.0016", kStart),
                                           point("48.86", "64.0087", kStart + 60s)};
    const Pass pass = run(track, {recording(3s), recording(15'500ms)});
    ASSERT_EQ(pass.records.size(), 2u);
    EXPECT_EQ(formatFixed6(pass.records[0].lon), "64.001953");
    const float f = static_cast<float>(15.5 / 60.0);
    EXPECT_EQ(pass.records[1].lat, 48.85f + f * (48.86f - 48.85f));
    EXPECT_EQ(pass.log, (std::vector<std::string>{"fraction 0.050000", "fraction 0.258333"}));
}

TEST(GeoRef, ExactMatchTakesThePointsOwnValuesWithoutLogging) {
    const std::vector<TrackPoint> track = {point("52.5200066", "-0.1277583", kStart),
                                           point("1", "1", kStart + 60s), point("2", "2", kStart + 60s),
                                           point("3", "3", kStart + 120s)};
    const Pass pass = run(track, {recording(0s), recording(60s)});
    ASSERT_EQ(pass.records.size(), 2u);
    EXPECT_EQ(pass.records[0].lat, floatValue("52.5200066")); // the first point of the track
    EXPECT_EQ(pass.records[0].lon, floatValue("-0.1277583"));
    EXPECT_EQ(pass.records[1].lat, 1.0f); // the first of the points sharing the time
    EXPECT_TRUE(pass.log.empty());
}

TEST(GeoRef, ShiftsByTheOffsetButDescribesTheUnshiftedTime) {
    pelorin::test::ScopedTimeZone zone("UTC0");
    // Around 09:00 the latitude passes 2, around 11:00 it passes 6.
    const std::vector<TrackPoint> track = {point("1", "0", kStart - 61min), point("3", "0", kStart - 59min),
                                           point("5", "0", kStart + 59min), point("7", "0", kStart + 61min)};
    const struct {
        std::int32_t offset;
        float lat;
    } cases[] = {{3600, 6.0f}, {-3600, 2.0f}, {0, 4.0f}};
    for (const auto &c : cases) {
        const Pass pass = run(track, {recording(0s)}, c.offset);
        ASSERT_EQ(pass.records.size(), 1u) << c.offset;
        EXPECT_EQ(pass.records[0].lat, c.lat) << c.offset;
        EXPECT_EQ(pass.records[0].desc, "File rec\nTime 10:00:00");
    }
}

TEST(GeoRef, LeavesOutRecordingsOutsideTheTrack) {
    const std::vector<TrackPoint> track = {point("10", "20", kStart), point("11", "22", kStart + 60s)};
    const Pass pass = run(track, {recording(-10s, "before.wav"), recording(30s, "inside.wav"),
                                  recording(61s, "after.wav"), recording(45s, "late-listed.wav")});
    ASSERT_EQ(pass.records.size(), 2u);
    EXPECT_EQ(pass.records[0].desc.substr(0, 11), "File inside");
    EXPECT_EQ(pass.records[1].desc.substr(0, 16), "File late-listed");

    EXPECT_TRUE(run({}, {recording(0s)}).records.empty());
    EXPECT_TRUE(run(track, {}).records.empty());
    EXPECT_TRUE(run(track, {recording(-1s), recording(61s)}).records.empty());
}

TEST(GeoRef, VisitsRecordingsInTimeOrderButKeepsTheListOrder) {
    const std::vector<TrackPoint> track = {point("10", "20", kStart), point("11", "22", kStart + 60s)};
    const Pass pass = run(track, {recording(45s, "b.wav"), recording(15s, "a.wav")});
    ASSERT_EQ(pass.records.size(), 2u);
    EXPECT_EQ(pass.records[0].lat, 10.75f); // no extrapolation from a passed-over pair
    EXPECT_EQ(pass.records[1].lat, 10.25f);
    EXPECT_EQ(pass.log, (std::vector<std::string>{"fraction 0.250000", "fraction 0.750000"}));
}

TEST(GeoRef, PairsWithTimedTrackPointsInTimeOrder) {
    // Waypoints come first in a GPX file; an untimed one and a timed one from
    // later in the walk must not pair with the track.
    const std::vector<TrackPoint> track = {point("99", "99", std::nullopt), point("50", "50", kStart + 600s),
                                           point("10", "20", kStart),       point("77", "77", std::nullopt),
                                           point("11", "22", kStart + 60s), point("12", "24", kStart + 120s)};
    const Pass pass = run(track, {recording(0s), recording(30s), recording(90s), recording(360s)});
    ASSERT_EQ(pass.records.size(), 4u);
    EXPECT_EQ(pass.records[0].lat, 10.0f);
    EXPECT_EQ(pass.records[1].lat, 10.5f);
    EXPECT_EQ(pass.records[2].lat, 11.5f);
    EXPECT_EQ(pass.records[3].lat, 31.0f); // between the last track point and the waypoint

    // The arrangement a list shows is what the pass reads.
    const std::vector<std::uint32_t> arranged = {4, 2};
    EXPECT_EQ(geoRefRecordings(std::vector{recording(30s)}, TrackView{track, arranged}, 0).at(0).lat, 10.5f);
}

TEST(GeoRef, NamesBySpeciesAndDescribesByFileAndLocalTime) {
    EXPECT_EQ(speciesText({}), "No species");
    EXPECT_EQ(speciesText({"Ppip"}), "Ppip");
    EXPECT_EQ(speciesText({"Ppip", "Nnoc"}), "Ppip,Nnoc");
    EXPECT_EQ(speciesText({"Ppip", ""}), "Ppip,"); // a species without an abbreviation
    EXPECT_EQ(speciesText({""}), "");

    pelorin::test::ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    const struct {
        const char *filename;
        std::chrono::milliseconds sinceStart; // kStart is 12:00 summer time
        const char *desc;
    } cases[] = {
        {"rec.wav", 0ms, "File rec\nTime 12:00:00"},
        {"2024.06.01 bat.wav", 999ms, "File 2024.06.01 bat\nTime 12:00:00"},
        {"noextension", -1ms, "File noextension\nTime 11:59:59"},
        {".hidden", 13h, "File .hidden\nTime 01:00:00"},
        {"night.dir/take", 0ms, "File night.dir/take\nTime 12:00:00"},
        {"night/.take", 0ms, "File night/.take\nTime 12:00:00"},
        {"dot.", 0ms, "File dot\nTime 12:00:00"},
        {"winter.wav", -24h * 140, "File winter\nTime 11:00:00"}, // 2024-01-13, standard time
    };
    for (const auto &c : cases)
        EXPECT_EQ(descriptionText(recording(c.sinceStart, c.filename)), c.desc) << c.filename;

    const std::vector<TrackPoint> track = {point("10", "20", kStart), point("11", "22", kStart + 60s)};
    const Pass pass = run(track, {recording(30s, "a.b.wav", {"Eser", "Mdau"})});
    ASSERT_EQ(pass.records.size(), 1u);
    EXPECT_EQ(pass.records[0].name, "Eser,Mdau");
    EXPECT_EQ(pass.records[0].desc, "File a.b\nTime 12:00:30");
}

} // namespace
} // namespace pelorin
