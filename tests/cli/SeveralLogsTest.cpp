#include "cli/SurveyFixture.h"

#include <gmock/gmock.h>

#include <filesystem>
#include <tuple>

namespace pelorin::test {
namespace {

using ::testing::HasSubstr;

std::string fix(std::string_view lat, std::string_view lon, std::string_view time) {
    return "<trkpt lat=\"" + std::string(lat) + "\" lon=\"" + std::string(lon) + "\"><time>2025-06-12T" +
           std::string(time) + "Z</time></trkpt>\n";
}

std::string logOf(const std::string &fixes) {
    return "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"t\" "
           "xmlns=\"http://www.topografix.com/GPX/1/1\"><trk><trkseg>\n" +
           fixes + "</trkseg></trk></gpx>\n";
}

// Each recording's status, position and log, as the report gives them.
std::string placements(const std::string &report) {
    const RunResult python =
        runProgram({"python3", "-c",
                    "import csv, sys\n"
                    "rows = csv.DictReader(open(sys.argv[1], newline='', encoding='utf-8'))\n"
                    "print(' '.join(r['filename'] + '=' + r['status'] + '@' + r['latitude'] + ',' +"
                    " r['longitude'] + ':' + r['gps_log'] for r in rows))\n",
                    report});
    EXPECT_EQ(python.exitCode, 0) << python.err;
    return python.out;
}

class SeveralLogsTest : public SurveyTest {
protected:
    RunResult runLogs(const std::vector<std::string> &gpxArguments,
                      const std::vector<std::string> &extra = {}) const {
        return runPelorin(concat(concat(gpxArguments, {"--recordings", csv(), "--report", report()}), extra));
    }
};

TEST_F(SeveralLogsTest, ALoggerRestartedMidWalkIsAGapThatSplitSegmentsKeeps) {
    // The logger stopped at 10:01 and started again at 10:03; night10's name
    // sorts after night2's only by the value of its digits.
    std::filesystem::create_directories(dir / "logs" / "sub");
    writeFile(dir / "logs" / "night2.gpx", logOf(fix("10", "20", "10:00:00") + fix("10", "21", "10:01:00")));
    writeFile(dir / "logs" / "sub" / "night10.GPX",
              logOf(fix("11", "20", "10:03:00") + fix("11", "21", "10:04:00")));
    writeFile(dir / "logs" / "notes.txt", "not a log");
    writeFile(csv(), "filename,recording_time,species\nA.wav,2025-06-12T10:00:30Z,\n"
                     "B.wav,2025-06-12T10:02:00Z,\nC.wav,2025-06-12T10:03:30Z,\n");
    const std::string folder = (dir / "logs").string();
    const std::tuple<std::vector<std::string>, std::string, std::string> cases[] = {
        {{}, "B.wav=interpolated@10.500000,20.500000:night2.gpx ", "placed 3 of 3 recordings"},
        {{"--split-segments"}, "B.wav=in-gap@,: ", "placed 2 of 3 recordings: 1 in a 2 min gap"},
    };
    for (const auto &[extra, b, summary] : cases) {
        const RunResult r = runLogs({"--gpx", folder}, extra);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(placements(report()), "A.wav=interpolated@10.000000,20.500000:night2.gpx " + b +
                                            "C.wav=interpolated@11.000000,20.500000:night10.GPX\n");
        EXPECT_THAT(r.err,
                    HasSubstr("pelorin: " + summary + "; read 2 logs, 4 points, wrote " + report() + "\n"));
    }
    // The document draws one track per log, named by its file, holding only that log's fixes.
    ASSERT_EQ(runLogs({"--gpx", folder}, {"--output", kml(), "--kml-style", "survey"}).exitCode, 0);
    expectHas(readFile(kml()),
              {"<name>night2.gpx</name>\n            <styleUrl>#track</styleUrl>\n"
               "            <MultiGeometry>\n                <LineString>\n                    "
               "<coordinates>20.000000,10.000000\n21.000000,10.000000\n</coordinates>",
               "<name>night10.GPX</name>"});
}

TEST_F(SeveralLogsTest, OverlappingLogsAreNamedAndTheEarlierStartingOneIsUsed) {
    const std::string a = (dir / "a.gpx").string(), copy = (dir / "copy.gpx").string(),
                      other = (dir / "other.gpx").string();
    const std::string night =
        fix("10", "20", "10:00:00") + fix("10", "21", "10:01:00") + fix("10", "22", "10:02:00");
    writeFile(a, logOf(night));
    writeFile(copy, logOf(night)); // the same log exported twice
    // A second logger's fixes at 10:01:00 (a.gpx's time, not its place) and 10:01:30 are left out.
    writeFile(other,
              logOf(fix("10", "25", "10:01:00") + fix("30", "20", "10:01:30") + fix("30", "22", "10:04:00")));
    writeFile(csv(),
              "filename,recording_time,species\nR.wav,2025-06-12T10:01:45Z,\nS.wav,2025-06-12T10:03:00Z,\n");

    const RunResult r = runLogs({"--gpx", copy, "--gpx", other, "--gpx", a});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // copy.gpx is given first and starts as early: it is the one used, a.gpx's fixes count once.
    expectHas(r.err,
              {"pelorin: " + a + ": warning: overlaps " + copy +
                   " from 2025-06-12T10:00:00Z to 2025-06-12T10:02:00Z; 3 identical fixes counted once\n",
               "pelorin: " + other + ": warning: overlaps " + copy +
                   " from 2025-06-12T10:01:00Z to 2025-06-12T10:02:00Z; copy.gpx starts earlier and its "
                   "fixes are used there (2 of this log's left out)\n",
               "read 3 logs, 9 points"});
    // R between copy.gpx's last two fixes, S between copy.gpx's last fix and other.gpx's at 10:04.
    EXPECT_EQ(placements(report()), "R.wav=interpolated@10.000000,21.750000:copy.gpx "
                                    "S.wav=interpolated@20.000000,22.000000:copy.gpx\n");
}

TEST_F(SeveralLogsTest, AFolderWithoutLogsStopsTheRun) {
    std::filesystem::create_directories(dir / "empty" / "inner");
    const RunResult r = runLogs({"--gpx", (dir / "empty").string()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, "pelorin: no GPX files found under " + (dir / "empty").string() + "\n");
    EXPECT_FALSE(std::filesystem::exists(report()));
}

} // namespace
} // namespace pelorin::test
