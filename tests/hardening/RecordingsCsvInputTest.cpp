// Recordings catalogues through the `pelorin` command: a broken one is
// refused naming the file and line; odd but valid ones give correct results.
#include "ChildProcess.h"
#include "ScratchDir.h"
#include "Survey.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace pelorin::test {
namespace {

struct CatalogueRun {
    ProcessResult process;
    std::string csvPath;
    std::string kml;
};

CatalogueRun exportWith(const std::string &csv) {
    ScratchDir scratch;
    const std::string gpx = scratch.write("track.gpx", gpxDocument(kTwoTrackPoints));
    CatalogueRun run;
    run.csvPath = scratch.write("recordings.csv", csv);
    run.process = runPelorin({"--gpx", gpx, "--recordings", run.csvPath, "--output", scratch / "out.kml"});
    run.kml = readBytes(scratch / "out.kml");
    return run;
}

TEST(RecordingsCsvInput, BrokenCataloguesAreRefusedNamingTheLine) {
    PELORIN_REQUIRE_CLI();
    const struct {
        const char *name;
        std::string csv;
        int line;
    } cases[] = {
        {"no species column", "filename,recording_time\nrec001.wav,2009-05-01T10:05:00Z\n", 1},
        {"no time column", "filename,species\nrec001.wav,Ppip\n", 1},
        {"a month 13", std::string(kOneRecordingCsv) + "rec002.wav,2009-13-01T10:06:00Z,Nnoc\n", 3},
        {"a time that is no time", std::string(kOneRecordingCsv) + "rec002.wav,yesterday,Nnoc\n", 3},
        {"an unterminated quote", std::string(kOneRecordingCsv) + "\"rec002.wav,2009-05-01T10:06:00Z,Nnoc\n",
         3},
        {"a row short of a column", std::string(kOneRecordingCsv) + "rec002.wav\n", 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const CatalogueRun run = exportWith(c.csv);
        EXPECT_TRUE(run.process.exited(2)) << run.process;
        const std::string named = run.csvPath + ":" + std::to_string(c.line) + ":";
        EXPECT_NE(run.process.err.find(named), std::string::npos)
            << "expected " << named << " in " << run.process;
        EXPECT_TRUE(run.kml.empty()) << "nothing is written";
    }
}

TEST(RecordingsCsvInput, ByteOrderMarkAndCrlfAreRead) {
    PELORIN_REQUIRE_CLI();
    const CatalogueRun run = exportWith("\xEF\xBB\xBF"
                                        "species,filename,recording_time\r\n"
                                        "Ppip;Nnoc,\"rec, 1.wav\",2009-05-01T12:05:00+02:00\r\n");
    ASSERT_TRUE(run.process.exited(0)) << run.process;
    EXPECT_NE(run.kml.find("<name>Ppip,Nnoc</name>"), std::string::npos) << run.kml;
    EXPECT_NE(run.kml.find("File rec, 1"), std::string::npos) << run.kml;
}

TEST(RecordingsCsvInput, LargeCataloguesAreReadWhole) {
    PELORIN_REQUIRE_CLI();
    std::string rows = "filename,recording_time,species\n";
    for (int i = 0; i < 100'000; ++i)
        rows += "rec" + std::to_string(i) + ".wav,2009-05-01T10:0" + std::to_string(i % 10) + ":00Z,Ppip\n";
    std::string species;
    for (int i = 0; i < 10'000; ++i)
        species += (i ? ";" : "") + std::string("Sp") + std::to_string(i);
    rows += "many.wav,2009-05-01T10:05:00Z," + species + "\n";

    const CatalogueRun run = exportWith(rows);
    ASSERT_TRUE(run.process.exited(0)) << run.process;
    EXPECT_NE(run.process.err.find("placed 100001 of 100001 recordings"), std::string::npos) << run.process;
    std::string joined = species;
    std::replace(joined.begin(), joined.end(), ';', ',');
    EXPECT_NE(run.kml.find("<name>" + joined + "</name>"), std::string::npos);
}

} // namespace
} // namespace pelorin::test
