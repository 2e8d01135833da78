// The document is written while the log is read: a log that fails half-way leaves nothing behind.
#include "cli/SurveyFixture.h"

#include <gmock/gmock.h>

#include <cstdio>
#include <filesystem>

namespace pelorin::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

// count track points a second apart from 10:00:00.
std::string secondPoints(int count) {
    std::string text;
    char time[32];
    for (int i = 0; i < count; ++i) {
        std::snprintf(time, sizeof time, "2025-06-12T%02d:%02d:%02dZ", 10 + i / 3600, i / 60 % 60, i % 60);
        text += "<trkpt lat=\"10." + std::to_string(i) + "\" lon=\"20." + std::to_string(i % 1000) +
                "\"><ele>" + std::to_string(i % 500) + "</ele><time>" + time + "</time></trkpt>\n";
    }
    return text;
}

class PipelinedKmlTest : public SurveyTest {};

TEST_F(PipelinedKmlTest, ALogThatFailsHalfWayOrDoesNotOverlapLeavesTheDestinationAlone) {
    const std::string many = secondPoints(30000); // megabytes of track ahead
    const struct {
        std::string document, offset, said; // a parse error told as expat alone tells it
        int exitCode;
    } cases[] = {
        {gpxDocument(many + "<trkpt lat=\"1\" lon=\"2\"></trk>\n" + many), "30",
         "pelorin: " + gpx() + ":30005:26: mismatched tag (XML error 7)\n", 2},
        {gpxDocument(many), "-7200", "pelorin: no time overlap", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.said);
        writeFile(gpx(), c.document);
        writeFile(kml(), "old bytes");
        const RunResult r = run(kml(), {"--offset", c.offset});
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_THAT(r.err, HasSubstr(c.said));
        if (c.exitCode == 2) { // and nothing else the scan's reading would have said
            EXPECT_EQ(r.err, c.said);
        }
        EXPECT_EQ(readFile(kml()), "old bytes");
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()),
                  3); // no temporary
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
