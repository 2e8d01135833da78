#include "cli/SurveyFixture.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <thread>

namespace pelorin::test {
namespace {

namespace fs = std::filesystem;
using ::testing::StartsWith;

TEST_F(SurveyTest, WritesEveryRecordingInTimeOrder) {
    const RunResult r = run(kml(), {"--offset", "30", "--name", "Elbe", "--description", "June night",
                                    "--tessellate", "--elevation", "--verbose"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::string doc = readFile(kml());
    const std::size_t first = doc.find("<name>Ppip</name>"), second = doc.find("<name>Ppip,Nnoc</name>"),
                      third = doc.find("<name>No species</name>");
    EXPECT_TRUE(first < second && second < third && third != std::string::npos) << doc;
    // R1 at 09:59:45 + 30 s lies a quarter of the way from 10/20 to 11/22.
    expectHas(doc, {"<coordinates>20.500000,10.250000</coordinates>",
                    "<coordinates>23.000000,11.500000</coordinates>", "<name>Elbe</name>", "June night",
                    "<tessellate>1</tessellate>", "20.000000,10.000000,100\n22.000000,11.000000,101.5\n"});
    expectHas(r.err, {"fraction 0.250000 R1.wav\n",
                      "pelorin: placed 3 of 3 recordings; read 4 points, wrote " + kml() + "\n"});
    EXPECT_EQ(r.out, "");
}

// Every message is one line that starts with "pelorin: " and names the file, the line and the column.
TEST_F(SurveyTest, BadInputExitsTwoNamingWhereAndWritesNothing) {
    const std::string badGpx = dir / "bad.gpx", badCsv = dir / "bad.csv", semicolons = dir / "semicolons.csv",
                      missing = dir / "missing", odd = dir / "odd\nname.csv";
    writeFile(badGpx, "<gpx>\n  <trk><trkpt lat=\"1\" lon=\"2\"></trk>\n</gpx>\n");
    writeFile(badCsv,
              "filename,recording_time,species\nR1.wav,2025-06-12T09:59:45Z,Ppip\nR2.wav,yesterday,\n");
    writeFile(semicolons, "filename;recording_time;species\nR1.wav;x;\n");
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases{
        {{"--gpx", badGpx, "--recordings", csv()}, badGpx + ":2:33: mismatched tag (XML error 7)"},
        {{"--gpx", gpx(), "--recordings", badCsv}, badCsv + ":3: bad recording_time \"yesterday\""},
        {{"--gpx", gpx(), "--recordings", semicolons},
         semicolons + ":1: the header row \"filename;recording_time;"},
        {{"--gpx", missing, "--recordings", csv()}, missing + ": no such file"},
        {{"--gpx", gpx(), "--recordings", odd},
         dir.path().string() + "/odd name.csv: no such file"}, // one line
        {{"--gpx", gpx(), "--recordings", csv(), "--recorder-tz", "Mars/Olympus"},
         "--recorder-tz: no time zone named 'Mars/Olympus'"},
    };
    for (const auto &[arguments, message] : cases) {
        SCOPED_TRACE(message);
        const RunResult r = runPelorin(concat(arguments, {"--output", kml()}));
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_THAT(r.err, StartsWith("pelorin: " + message));
        EXPECT_EQ(std::ranges::count(r.err, '\n'), 1) << r.err; // one line, said once
        EXPECT_FALSE(fs::exists(kml()));
    }
}

// The written file goes to the desktop's opener, by absolute path.
TEST_F(SurveyTest, OpenHandsTheWrittenFileToTheDefaultApplication) {
    writeFile(dir / "xdg-open", "#!/bin/sh\necho \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\n");
    fs::permissions(dir / "xdg-open", fs::perms::owner_all);
    const std::string path = std::getenv("PATH"), cwd = fs::current_path();
    setenv("PATH", (dir.path().string() + ":" + path).c_str(), 1);
    fs::current_path(dir.path()); // a relative output is handed over by its absolute path
    const RunResult r = run("out.kml", {"--offset", "30", "--open"});
    fs::current_path(cwd);
    setenv("PATH", path.c_str(), 1);
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (int i = 0; i < 2000 && !fs::exists(dir / "xdg-open.args"); ++i) // it is not waited for
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(readFile(dir / "xdg-open.args"), kml() + "\n");
}

} // namespace
} // namespace pelorin::test
