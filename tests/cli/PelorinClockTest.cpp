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
TEST_F(ClockTest, TwoSyncPointsDriftTheOffsetBeforeBetweenAndAfter) {
    writeFile(csv(), "filename,recording_time,species\n"
                     "R1.wav,2025-06-12T10:00:00Z,\n"   // half an hour before: 30 - 1.5
                     "R2.wav,2025-06-12T11:00:00Z,\n"   // halfway: 30 + 1.5
                     "R3.wav,2025-06-12T11:59:00Z,\n"); // 89 min after the first: 30 + 4.45
    const RunResult r = runReport({"--sync", "2025-06-12T10:30:00Z=2025-06-12T10:30:30Z", "--sync",
                                   "2025-06-12T11:30:00=2025-06-12T11:30:33"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_THAT(r.err, HasSubstr("pelorin: the recorder's clock lost 72 s a day between 2025-06-12T10:30:30Z "
                                 "and 2025-06-12T11:30:33Z\n"));
    // 10 + 28.5/3600 in single precision: 10.00791645, the float nearest 10.0079167.
    expectHas(reportText(),
              {"\r\nR1.wav,,2025-06-12T10:00:00Z,catalogue,2025-06-12T10:00:28.500Z,"
               "interpolated,10.007916,20.000000,,28.5,3600,",
               "\r\nR2.wav,,2025-06-12T11:00:00Z,catalogue,2025-06-12T11:00:31.500Z,"
               "interpolated,11.008750,20.000000,,31.5,3600,",
               "\r\nR3.wav,,2025-06-12T11:59:00Z,catalogue,2025-06-12T11:59:34.450Z,interpolated,",
               ",28.5,,start,track.gpx\r\n", ",31.5,,start,track.gpx\r\n", ",34.45,,start,track.gpx\r\n"});

    // One sync point is a fixed offset, to the whole second, as --offset would give.
    const RunResult one = runReport({"--sync", "2025-06-12T10:30:00=2025-06-12T10:30:30.4Z"});
    ASSERT_EQ(one.exitCode, 0) << one.err;
    EXPECT_THAT(
        one.err,
        HasSubstr("pelorin: offset 30 s, from the sync point 2025-06-12T10:30:00=2025-06-12T10:30:30.4Z\n"));
    expectHas(reportText(),
              {"2025-06-12T11:00:30Z,interpolated,11.008333,20.000000,", ",30,,start,track.gpx\r\n"});
}

TEST_F(ClockTest, SyncPointsNoClockCouldMakeAreBadInput) {
    const struct {
        std::vector<std::string> syncs;
        std::string message;
    } cases[] = {
        // 30 s in an hour; the drift's other refusals are its own tests'.
        {{"2025-06-12T10:30:00Z=2025-06-12T10:30:30Z", "2025-06-12T11:30:00Z=2025-06-12T11:31:00Z"},
         "pelorin: --sync: the sync points at the recorder times 2025-06-12T10:30:00Z and "
         "2025-06-12T11:30:00Z make the clock drift 720 s a day, more than 10 minutes a day: check their "
         "times\n"},
        {{"2025-06-12T10:30:00Z=noon"},
         "pelorin: --sync: 'noon' is not a GPS time such as 2025-05-01T21:00:00Z, for the recorder time "
         "'2025-06-12T10:30:00Z'\n"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        std::vector<std::string> extra;
        for (const std::string &sync : c.syncs)
            extra.insert(extra.end(), {"--sync", sync});
        const RunResult r = runReport(extra);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_THAT(r.err, HasSubstr(c.message));
        EXPECT_FALSE(std::filesystem::exists(kml()));
        EXPECT_FALSE(std::filesystem::exists(report()));
    }
}

TEST_F(ClockTest, AtPlacesTheMomentAskedForWhenTheLengthIsKnown) {
    writeFile(csv(), "filename,recording_time,duration_s,species\n"
                     "M1.wav,2025-06-12T10:00:00Z,120,\n"
                     "M2.wav,2025-06-12T11:00:00Z,,\n");
    const struct {
        const char *at;
        std::string m1, m2; // from the corrected time to the end of the row
    } cases[] = {
        {"start", "2025-06-12T10:00:30Z,interpolated,10.008333,",
         "2025-06-12T11:00:30Z,interpolated,11.008333,"},
        {"middle", "2025-06-12T10:01:30Z,interpolated,10.025000,",
         "2025-06-12T11:00:30Z,interpolated,11.008333,"},
        {"end", "2025-06-12T10:02:30Z,interpolated,10.041667,",
         "2025-06-12T11:00:30Z,interpolated,11.008333,"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.at);
        const RunResult r = runReport({"--offset", "30", "--at", c.at});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        expectHas(reportText(), {"M1.wav,,2025-06-12T10:00:00Z,catalogue," + c.m1,
                                 "M2.wav,,2025-06-12T11:00:00Z,catalogue," + c.m2,
                                 ",30,120," + std::string(c.at) + ",track.gpx\r\n",
                                 ",30,,start,track.gpx\r\n"}); // the last: M2, of unknown length
        const bool warned = r.err.find("pelorin: warning: no known length for 1 recording; placed by the "
                                       "start, not the " +
                                       std::string(c.at) + "\n") != std::string::npos;
        EXPECT_EQ(warned, std::string(c.at) != "start");
    }
}

} // namespace
} // namespace pelorin::test
