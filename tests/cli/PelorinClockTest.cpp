#include "cli/SurveyFixture.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace pelorin::test {
namespace {

using ::testing::HasSubstr;

// An hour between fixes, a degree of latitude a fix.
const std::string kHourlyTrack = "<trkpt lat=\"10\" lon=\"20\"><time>2025-06-12T10:00:00Z</time></trkpt>\n"
                                 "<trkpt lat=\"11\" lon=\"20\"><time>2025-06-12T11:00:00Z</time></trkpt>\n"
                                 "<trkpt lat=\"12\" lon=\"20\"><time>2025-06-12T12:00:00Z</time></trkpt>\n";

class ClockTest : public SurveyTest {
protected:
    void SetUp() override {
        SurveyTest::SetUp();
        writeFile(gpx(), gpxDocument(kHourlyTrack));
    }
    RunResult runReport(const std::vector<std::string> &extra) const {
        return run(kml(), concat(extra, {"--report", report()}));
    }
    std::string reportText() const { return readFile(report()); }
};

// The recorder's clock said 10:30:00 at the GPS's 10:30:30 and 11:30:00 at 11:30:33: it lost 3 s an hour.
// The drift's arithmetic and refusals are its own tests'; this checks the command applies and tells it.
TEST_F(ClockTest, TwoSyncPointsDriftTheOffset) {
    writeFile(csv(), "filename,recording_time,species\n"
                     "R1.wav,2025-06-12T10:00:00Z,\n"   // half an hour before: 30 - 1.5
                     "R2.wav,2025-06-12T11:00:00Z,\n"); // halfway: 30 + 1.5
    const RunResult r = runReport({"--sync", "2025-06-12T10:30:00Z=2025-06-12T10:30:30Z", "--sync",
                                   "2025-06-12T11:30:00=2025-06-12T11:30:33"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_THAT(r.err, HasSubstr("pelorin: the recorder's clock lost 72 s a day between 2025-06-12T10:30:30Z "
                                 "and 2025-06-12T11:30:33Z\n"));
    // 10 + 28.5/3600 in single precision: 10.00791645, the float nearest 10.0079167.
    expectHas(reportText(), {"\r\nR1.wav,,2025-06-12T10:00:00Z,catalogue,2025-06-12T10:00:28.500Z,"
                             "interpolated,10.007916,20.000000,,28.5,3600,",
                             ",28.5,,start,track.gpx\r\n", ",31.5,,start,track.gpx\r\n"});
}

TEST_F(ClockTest, ASyncPointThatIsNoTimeIsBadInput) {
    const RunResult r = runReport({"--sync", "2025-06-12T10:30:00Z=noon"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err,
              "pelorin: --sync: 'noon' is not a GPS time such as 2025-05-01T21:00:00Z, for the recorder "
              "time '2025-06-12T10:30:00Z'\n");
    EXPECT_FALSE(std::filesystem::exists(kml()));
    EXPECT_FALSE(std::filesystem::exists(report()));
}

TEST_F(ClockTest, AtPlacesTheMomentAskedForWhenTheLengthIsKnown) {
    writeFile(csv(), "filename,recording_time,duration_s,species\n"
                     "M1.wav,2025-06-12T10:00:00Z,120,\n"
                     "M2.wav,2025-06-12T11:00:00Z,,\n");
    const RunResult r = runReport({"--offset", "30", "--at", "end"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // M1 by its end, two minutes on; M2, of unknown length, by its start.
    expectHas(reportText(),
              {"M1.wav,,2025-06-12T10:00:00Z,catalogue,2025-06-12T10:02:30Z,interpolated,10.041667,",
               ",30,120,end,track.gpx\r\n",
               "M2.wav,,2025-06-12T11:00:00Z,catalogue,2025-06-12T11:00:30Z,interpolated,11.008333,",
               ",30,,start,track.gpx\r\n"});
    EXPECT_THAT(r.err,
                HasSubstr("pelorin: warning: no known length for 1 recording; placed by the start, not the "
                          "end\n"));
}

// A waypoint "Start" marked when R2 was started: R2's clock said 10:00:30, the logger 10:01:07.
TEST_F(SurveyTest, SyncTakesTheOffsetFromAMarkedWaypoint) {
    writeFile(gpx(), "<gpx version=\"1.1\" creator=\"test\">\n<wpt lat=\"10\" lon=\"20\"><name>Start</name>"
                     "<time>2025-06-12T10:01:07Z</time></wpt>\n<trk><trkseg>\n" +
                         kTrackPoints + "</trkseg></trk></gpx>\n");
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

} // namespace
} // namespace pelorin::test
