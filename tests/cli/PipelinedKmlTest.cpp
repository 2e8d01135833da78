// The document is written while the log is read; these check that it is the
// document the one-threaded writer sends to standard output, and that a log
// that fails half-way leaves nothing behind.
#include "cli/SurveyFixture.h"

#include <gmock/gmock.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace pelorin::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

// count track points a second apart from 10:00:00; those for which withEle says so have an `ele`.
std::string secondPoints(int count, const std::function<bool(int)> &withEle) {
    std::string text;
    char time[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(time, sizeof time, "2025-06-12T%02d:%02d:%02dZ", 10 + i / 3600, i / 60 % 60, i % 60);
        text += "<trkpt lat=\"10." + std::to_string(i) + "\" lon=\"20." + std::to_string(i % 1000) + "\">";
        if (withEle(i))
            text += "<ele>" + std::to_string(i % 500) + "</ele>";
        text += std::string("<time>") + time + "</time></trkpt>\n";
    }
    return text;
}

class PipelinedKmlTest : public SurveyTest {};

// The elevation patterns are the writers' own tests; this checks the command takes each route.
TEST_F(PipelinedKmlTest, TheFileHoldsWhatStandardOutputGets) {
    writeFile(gpx(), gpxDocument(secondPoints(6000, [](int i) { return i >= 4000; }))); // a waypoint ahead
    for (const std::vector<std::string> &options :
         std::vector<std::vector<std::string>>{{"--offset", "30"},
                                               {"--offset", "30", "--elevation", "--tessellate", "--name",
                                                "Edge & <wood>", "--description", "d"}}) {
        SCOPED_TRACE(options.size());
        const RunResult toFile = run(kml(), options);
        const RunResult toOut = run("-", options);
        ASSERT_EQ(toFile.exitCode, 0) << toFile.err;
        ASSERT_EQ(toOut.exitCode, 0) << toOut.err;
        EXPECT_EQ(readFile(kml()), toOut.out);
        EXPECT_THAT(toFile.err, HasSubstr("placed 3 of 3 recordings; read "));
        EXPECT_THAT(toFile.err, Not(HasSubstr("fraction"))); // quiet without --verbose
    }
}

TEST_F(PipelinedKmlTest, ALogThatFailsHalfWayOrDoesNotOverlapLeavesTheDestinationAlone) {
    const std::string many = secondPoints(30000, [](int) { return true; }); // megabytes of track ahead
    const std::vector<std::tuple<const char *, std::string, std::vector<std::string>, int, const char *>>
        cases = {
            {"parse error",
             gpxDocument(many + "<trkpt lat=\"1\" lon=\"2\"></trk>\n" + many),
             {"--offset", "30"},
             2,
             "(XML error "},
            {"no overlap", gpxDocument(many), {"--offset", "-7200"}, 1, "no time overlap"},
        };
    for (const auto &[name, document, options, exitCode, message] : cases) {
        SCOPED_TRACE(name);
        writeFile(gpx(), document);
        writeFile(kml(), "old bytes");
        const RunResult r = run(kml(), options);
        EXPECT_EQ(r.exitCode, exitCode);
        EXPECT_THAT(r.err, HasSubstr(message));
        // Read whole by the scan, refused by expat: told as expat alone tells it, and nothing else.
        if (exitCode == 2) {
            EXPECT_EQ(r.err, "pelorin: " + gpx() + ":30005:26: mismatched tag (XML error 7)\n");
        }
        EXPECT_EQ(readFile(kml()), "old bytes");
        // No temporary file beside the three.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 3);
    }
}

// An output that cannot be opened must not hide bad input: that is reported as such.
TEST_F(PipelinedKmlTest, AnUnwritableDestinationStillReportsBadInputFirst) {
    writeFile(gpx(), "<gpx><trk>");
    const RunResult r = run((dir / "missing-folder" / "out.kml").string());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_THAT(r.err, HasSubstr("(XML error "));
}

} // namespace
} // namespace pelorin::test
