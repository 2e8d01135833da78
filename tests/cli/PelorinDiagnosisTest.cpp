#include "cli/SurveyFixture.h"

#include <gmock/gmock.h>

namespace pelorin::test {
namespace {

using ::testing::HasSubstr;

// The survey's track with a waypoint "Start" marked when R2 was started (R2's clock said 10:00:30, the
// logger 10:01:07).
std::string syncedGpx() {
    return "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"test\">\n"
           "<wpt lat=\"10\" lon=\"20\"><name>Start</name><time>2025-06-12T10:01:07Z</time></wpt>\n"
           "<trk><trkseg>\n" +
           kTrackPoints + "</trkseg></trk></gpx>\n";
}

TEST_F(SurveyTest, SyncTakesTheOffsetFromAMarkedWaypoint) {
    writeFile(gpx(), syncedGpx());
    const RunResult ok = run(kml(), {"--sync", "some/card/R2.wav=Start"});
    ASSERT_EQ(ok.exitCode, 0) << ok.err;
    expectHas(ok.err,
              {"pelorin: offset 37 s, from R2.wav at waypoint \"Start\"\n", "placed 3 of 3 recordings"});
    std::filesystem::remove(kml());

    const RunResult r = run(kml(), {"--sync", "R2.wav=Finish"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "pelorin: --sync: no waypoint named \"Finish\" in the GPS log\n");
    EXPECT_FALSE(std::filesystem::exists(kml()));
}

TEST_F(SurveyTest, TheDiagnosisNamesTheOffsetThatWouldPlaceTheNight) {
    writeFile(gpx(), syncedGpx()); // no waypoint before the track: the span is the track's two minutes
    // One of three placed: fewer than half, so the command says so and still writes.
    writeFile(csv(), "filename,recording_time,species\n"
                     "R1.wav,2025-06-12T11:59:45+02:00,\n" // right
                     "R2.wav,2025-06-12T12:00:30Z,\n"      // zone-less local time mistaken for UTC
                     "R3.wav,2025-06-12T12:01:00Z,\n");
    const RunResult some = run(kml(), {"--offset", "30"});
    EXPECT_EQ(some.exitCode, 0) << some.err;
    EXPECT_THAT(some.err,
                HasSubstr("pelorin: only 1 of the 3 recordings meets the track; with --offset -7170 "
                          "2 of them would (your 30 s minus 2 h:"));
}

} // namespace
} // namespace pelorin::test
