#include "SharedData.h"
#include "cli/SurveyFixture.h"

#include <gmock/gmock.h>

#include <cstdint>
#include <filesystem>
#include <iostream>

namespace pelorin::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

const fs::path kSample = fs::path(PELORIN_SOURCE_DIR) / "resources/data/sample-survey";

RunResult runOnSample(const std::string &output, const std::vector<std::string> &extra) {
    return runPelorin(concat({"--gpx", (kSample / "track.gpx").string(), "--recordings",
                              (kSample / "recordings.csv").string(), "--output", output},
                             extra));
}

std::uint64_t fnv1a(const std::string &bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ull;
    }
    return hash;
}

// Files and readers rely on the default document: its bytes for the sample
// survey are those the command wrote before there were other styles.
TEST(SampleSurveyFormats, TheDefaultDocumentKeepsEveryByte) {
    setenv("TZ", "UTC", 1);
    TempDir dir;
    for (const auto &[extra, size, hash] :
         std::vector<std::tuple<std::vector<std::string>, std::size_t, std::uint64_t>>{
             {{"--offset", "37"}, 85985, 0x92a47e3fd3133a38ull},
             {{"--offset", "37", "--elevation", "--tessellate", "--name", "Elbe"},
              96907,
              0x77e6fd0d3ee1be9cull}}) {
        const std::string kml = (dir / "plain.kml").string();
        const RunResult r = runOnSample(kml, extra);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const std::string bytes = readFile(kml);
        EXPECT_EQ(bytes.size(), size);
        EXPECT_EQ(fnv1a(bytes), hash);
    }
}

// In a zone far from the survey's, so a start time rewritten into the machine's zone shows.
TEST(SampleSurveyFormats, EachFormatIsValidAndReadsBackWhole) {
    setenv("TZ", "EST5EDT,M3.2.0,M11.1.0", 1); // no tzdata needed
    TempDir dir;
    struct Case {
        std::string file;
        std::vector<std::string> extra;
        std::vector<std::string> firstRecording; // its fields as the document writes them
        std::vector<std::string> readBack;       // what ogrinfo must list
    };
    const Case cases[] = {
        {"survey.kml",
         {"--kml-style", "survey"},
         {"<Data name=\"filename\"><value>SURVEY_20250612_214236.wav</value></Data>"
          "<Data name=\"species\"><value>Ppyg</value></Data>"
          "<Data name=\"start_time\"><value>2025-06-12T21:42:36+02:00</value></Data>"
          "<Data name=\"time_source\"><value>catalogue</value></Data>"
          "<Data name=\"corrected_time\"><value>2025-06-12T19:43:13Z</value></Data>",
          "Recorder time 2025-06-12T21:42:36+02:00\nCorrected time 2025-06-12T19:43:13Z",
          "<TimeStamp><when>2025-06-12T19:43:13Z</when></TimeStamp>"},
         {"Layer name: track.gpx", "Layer name: Several species\nGeometry: Unknown (any)\nFeature Count: 4",
          "Layer name: No species", "uncertainty_m: String"}},
        {"survey.geojson",
         {},
         {"\"filename\":\"SURVEY_20250612_214236.wav\",\"species\":\"Ppyg\","
          "\"start_time\":\"2025-06-12T21:42:36+02:00\",\"time_source\":\"catalogue\","
          "\"corrected_time\":\"2025-06-12T19:43:13Z\""},
         {"Layer name: track.gpx", "corrected_time: DateTime", "uncertainty_m: Real"}},
        {"survey.gpx",
         {},
         // On the fix of 19:43:13 (51.8426116, 12.2708729), as single precision keeps it.
         {"<wpt lat=\"51.842613\" lon=\"12.270873\"><ele>60.1</ele><time>2025-06-12T19:43:13Z</time>"
          "<name>SURVEY_20250612_214236.wav (Ppyg)</name>"},
         {"Layer name: waypoints\nGeometry: Point\nFeature Count: 25", // 3 marked waypoints, 22 recordings
          "Layer name: tracks\nGeometry: Multi Line String\nFeature Count: 1"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = (dir / c.file).string();
        const RunResult r = runOnSample(path, concat(c.extra, {"--offset", "37"}));
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_THAT(r.err, HasSubstr("placed 22 of 22 recordings"));
        expectHas(readFile(path), c.firstRecording);
        const RunResult info = runProgram({"ogrinfo", "-ro", "-so", "-al", path});
        if (info.exitCode == -1 || info.err.find("No such file") != std::string::npos) {
            std::cout << "ogrinfo is missing: " << c.file << " is not read back by GDAL\n";
            continue;
        }
        ASSERT_EQ(info.exitCode, 0) << info.err;
        for (const std::string &expected : c.readBack)
            EXPECT_NE(info.out.find(expected), std::string::npos) << expected;
    }

    PELORIN_REQUIRE_SHARED();
    const RunResult kmlValid =
        runProgram({sharedDir() + "/tools/validate-kml", "--strict", (dir / "survey.kml").string()});
    EXPECT_EQ(kmlValid.exitCode, 0) << kmlValid.out << kmlValid.err;
    const RunResult gpxValid =
        runProgram({"xmllint", "--noout", "--nonet", "--schema", sharedDir() + "/schemas/gpx11/gpx.xsd",
                    (dir / "survey.gpx").string()});
    EXPECT_EQ(gpxValid.exitCode, 0) << gpxValid.out << gpxValid.err;
}

} // namespace
} // namespace pelorin::test
