#include "SharedData.h"
#include "cli/SurveyFixture.h"
#include "georef/NumberText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include <sys/stat.h>

namespace pelorin::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

std::size_t count(const std::string &text, const std::string &what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST_F(SurveyTest, WritesEveryRecordingInTimeOrder) {
    const RunResult r = run(kml(), {"--offset", "30", "--name", "Elbe & <Auen>", "--description", "June",
                                    "--tessellate", "--elevation", "--verbose"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string doc = readFile(kml());

    const std::size_t first = doc.find("<name>Ppip</name>");
    const std::size_t second = doc.find("<name>Ppip,Nnoc</name>");
    const std::size_t third = doc.find("<name>No species</name>");
    ASSERT_NE(third, std::string::npos) << doc;
    EXPECT_LT(first, second);
    EXPECT_LT(second, third);
    EXPECT_THAT(doc, HasSubstr("<coordinates>20.500000,10.250000</coordinates>"));
    EXPECT_THAT(doc, HasSubstr("<coordinates>22.000000,11.000000</coordinates>")); // exact match
    EXPECT_THAT(doc, HasSubstr("<coordinates>23.000000,11.500000</coordinates>"));
    EXPECT_THAT(doc, HasSubstr("File R1\nTime 09:59:45"));
    EXPECT_THAT(doc, HasSubstr("<name>Elbe &amp; &lt;Auen&gt;</name>"));
    EXPECT_THAT(doc, HasSubstr("<tessellate>1</tessellate>"));
    EXPECT_THAT(doc, HasSubstr("20.000000,10.000000,100\n22.000000,11.000000,101.5\n"));

    EXPECT_THAT(r.err, HasSubstr("fraction 0.250000\n"));
    EXPECT_THAT(r.err, HasSubstr("fraction 0.500000\n"));
    EXPECT_THAT(r.err, HasSubstr("read 4 points, placed 3 of 3 recordings, wrote " + kml()));
    EXPECT_EQ(r.out, "");
}

TEST_F(SurveyTest, FractionLinesOnlyWhenVerbose) {
    const RunResult r = run(kml());
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_THAT(r.err, Not(HasSubstr("fraction")));
    EXPECT_THAT(readFile(kml()), Not(HasSubstr("<tessellate>")));
}

TEST_F(SurveyTest, DashWritesTheDocumentToStandardOutput) {
    const RunResult r = run("-");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_THAT(r.out, HasSubstr("<coordinates>20.500000,10.250000</coordinates>"));
    EXPECT_THAT(r.out, HasSubstr("</kml>"));
    EXPECT_THAT(r.err, HasSubstr("wrote standard output"));
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"recordings.csv", "track.gpx"}));
}

TEST_F(SurveyTest, NoOverlapWritesNothingAndKeepsTheDestination) {
    writeFile(kml(), "old bytes");
    const RunResult r = run(kml(), {"--offset", "-7200"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_THAT(r.err, HasSubstr("No time overlap\n"));
    EXPECT_THAT(r.err, HasSubstr("--offset -7200")); // says what was tried
    EXPECT_EQ(readFile(kml()), "old bytes");
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"out.kml", "recordings.csv", "track.gpx"}));
}

TEST_F(SurveyTest, MalformedGpxGivesTheParserPosition) {
    writeFile(gpx(), "<gpx>\n  <trk><trkpt lat=\"1\" lon=\"2\"></trk>\n</gpx>\n");
    const RunResult r = run(kml());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_THAT(r.err, HasSubstr(gpx() + ":2:"));
    EXPECT_THAT(r.err, HasSubstr("Parsing Error!\nError "));
    EXPECT_THAT(r.err, HasSubstr(", Line: 2, Column: "));
    EXPECT_FALSE(fs::exists(kml()));
}

TEST_F(SurveyTest, BadCsvLineIsNamed) {
    writeFile(csv(),
              "filename,recording_time,species\nR1.wav,2025-06-12T09:59:45Z,Ppip\nR2.wav,yesterday,Ppip\n");
    const RunResult r = run(kml());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_THAT(r.err, HasSubstr(csv() + ":3: "));
    EXPECT_FALSE(fs::exists(kml()));
}

TEST_F(SurveyTest, UnreadableInputsAreNamed) {
    fs::create_directory(dir / "folder");
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    const std::string missing = (dir / "missing.gpx").string();
    const std::string folder = (dir / "folder").string();
    const std::string fifo = (dir / "fifo").string();
    const std::vector<std::pair<std::string, std::string>> cases{
        {missing, csv()}, {folder, csv()}, {fifo, csv()}, {gpx(), missing}, {gpx(), folder}, {gpx(), fifo},
    };
    for (const auto &[track, recordings] : cases) {
        SCOPED_TRACE(track + " " + recordings);
        const RunResult r = runPelorin({"--gpx", track, "--recordings", recordings, "--output", kml()});
        ASSERT_FALSE(r.hung);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_THAT(r.err, HasSubstr(track == gpx() ? recordings : track));
        EXPECT_FALSE(fs::exists(kml()));
    }
}

TEST_F(SurveyTest, UsageErrorsAndInputsAsOutputWriteNothing) {
    RunResult r = run(kml(), {"--offset", "3.5"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_THAT(r.err, HasSubstr("--offset"));
    EXPECT_THAT(r.err, HasSubstr("pelorin --help"));
    EXPECT_FALSE(fs::exists(kml()));

    r = run(gpx());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(readFile(gpx()), kTrackGpx);

    r = runPelorin({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_THAT(r.out, HasSubstr("--offset 37"));
}

// The written file goes to the desktop's opener, by absolute path, not waited on.
TEST_F(SurveyTest, OpenHandsTheWrittenFileToTheDefaultApplication) {
    const fs::path bin = dir / "bin";
    fs::create_directory(bin);
    writeFile(bin / "xdg-open", "#!/bin/sh\necho \"$@\" > \"$(dirname \"$0\")/opened.tmp\" && "
                                "mv \"$(dirname \"$0\")/opened.tmp\" \"$(dirname \"$0\")/opened\"\n");
    fs::permissions(bin / "xdg-open", fs::perms::owner_all);
    const std::string path = std::getenv("PATH");
    const fs::path cwd = fs::current_path();
    setenv("PATH", (bin.string() + ":" + path).c_str(), 1);
    fs::current_path(dir.path());
    const RunResult r = run("out.kml", {"--offset", "30", "--open"});
    fs::current_path(cwd);
    setenv("PATH", path.c_str(), 1);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (int i = 0; i < 2000 && !fs::exists(bin / "opened"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(readFile(bin / "opened"), kml() + "\n");
}

// The survey shipped with the project: every recording lies on the track.
TEST(SampleSurvey, EveryRecordingIsPlaced) {
    const fs::path survey = fs::path(PELORIN_SOURCE_DIR) / "resources/data/sample-survey";
    TempDir dir;
    const std::string kml = (dir / "survey.kml").string();
    const RunResult r = runPelorin({"--gpx", (survey / "track.gpx").string(), "--recordings",
                                    (survey / "recordings.csv").string(), "--output", kml, "--offset", "37",
                                    "--elevation", "--tessellate"});
    ASSERT_EQ(r.exitCode, 0) << r.err;

    std::istringstream rows(readFile(survey / "recordings.csv"));
    std::size_t recordings = 0;
    for (std::string line; std::getline(rows, line);)
        recordings += !line.empty();
    --recordings; // the header
    ASSERT_GE(recordings, 20u);
    const std::string placed = std::to_string(recordings);
    EXPECT_THAT(r.err, HasSubstr("placed " + placed + " of " + placed + " recordings"));
    EXPECT_EQ(count(readFile(kml), "<Point>"), recordings);

    // The first recording, stamped 21:42:36 by a recorder 37 s behind, sits on
    // the fix the logger took at 19:43:13 UTC.
    const std::string track = readFile(survey / "track.gpx");
    const std::size_t fix = track.find("<time>2025-06-12T19:43:13Z</time>");
    const std::size_t lat = track.rfind("<trkpt lat=\"", fix) + 12;
    const std::size_t lon = track.find("lon=\"", lat) + 5;
    ASSERT_NE(fix, std::string::npos);
    const std::string expected = "<coordinates>" + formatFixed6(floatValue(track.substr(lon, 12))) + "," +
                                 formatFixed6(floatValue(track.substr(lat, 12))) + "</coordinates>";
    const std::string doc = readFile(kml);
    EXPECT_LT(doc.find(expected), doc.find("File SURVEY_20250612_214359")) << expected;

    PELORIN_REQUIRE_SHARED();
    const RunResult valid = runProgram({sharedDir() + "/tools/validate-kml", kml});
    EXPECT_EQ(valid.exitCode, 0) << valid.out << valid.err;
}

} // namespace
} // namespace pelorin::test
