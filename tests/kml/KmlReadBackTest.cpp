// The written document read back by real clients: the KML 2.2 schema check and
// GDAL's KML reader.

#include "kml/AtomicWrite.h"
#include "kml/KmlWriter.h"

#include "SharedData.h"
#include "TempFolder.h"
#include "georef/TrackFixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace pelorin {
namespace {

using namespace std::chrono_literals;
using test::kStart;
using test::point;

bool haveTool(const std::string &name) {
    return std::system(("command -v " + name + " >/dev/null 2>&1").c_str()) == 0;
}

struct CommandRun {
    int status = -1;
    std::string output;
};

CommandRun runCommand(const std::string &command) {
    CommandRun run;
    FILE *pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return run;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe))
        run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class KmlReadBack : public ::testing::Test {
protected:
    void SetUp() override {
        const std::vector<GeoRefRecord> records = {
            {"Ppip,Nnoc", "File walk 1\nTime 21:30:00", 48.85f, 9.5f},
            {"No species", "File <odd> & name\nTime 21:31:00", 48.851f, 9.501f},
            {"Eser", "File e\x02\nTime 21:32:00", 48.852f, 9.502f}};
        const std::vector<TrackPoint> points = {point("48.85", "9.5", kStart, "312.4"),
                                                point("48.851", "9.501", kStart + 1s),
                                                point("48.852", "9.502", kStart + 2s, "313")};
        const KmlOptions options{"&<>\x01", "Evening & night", true, true, true};
        const WriteResult written = writeFileAtomically(path_, [&](const ByteSink &sink) {
            writeKmlDocument(options, TrackView{points, {}}, records, sink);
        });
        ASSERT_TRUE(written) << written.error;
    }

    test::TempFolder folder_;
    std::string path_ = folder_ / "walk.kml";
};

TEST_F(KmlReadBack, ValidatesAgainstTheKmlSchema) {
    PELORIN_REQUIRE_SHARED();
    if (!haveTool("xmllint") || !haveTool("python3"))
        GTEST_SKIP() << "xmllint or python3 missing";
    const CommandRun run = runCommand(test::sharedDir() + "/tools/validate-kml " + path_);
    EXPECT_EQ(run.status, 0) << run.output;
}

TEST_F(KmlReadBack, GdalListsTheTrackAndEveryPlacemark) {
    if (!haveTool("ogrinfo"))
        GTEST_SKIP() << "ogrinfo (gdal-bin) missing";
    const CommandRun summary = runCommand("ogrinfo -ro -al -so " + path_);
    ASSERT_EQ(summary.status, 0) << summary.output;
    EXPECT_NE(summary.output.find("Layer name: &<>\n"), std::string::npos) << summary.output;
    EXPECT_NE(summary.output.find("Feature Count: 4\n"), std::string::npos) << summary.output;

    const CommandRun all = runCommand("ogrinfo -ro -al " + path_);
    ASSERT_EQ(all.status, 0) << all.output;
    for (const char *expected :
         {"Name (String) = Transekt\n",
          "LINESTRING Z (9.5 48.849998 312.4,9.501 48.851002 0,9.502 48.852001 313)",
          "Name (String) = Ppip,Nnoc\n", "description (String) = File walk 1\nTime 21:30:00\n",
          "description (String) = File <odd> & name\nTime 21:31:00\n", "Name (String) = Eser\n",
          "description (String) = File e\nTime 21:32:00\n", "POINT (9.502 48.852001)"})
        EXPECT_NE(all.output.find(expected), std::string::npos) << expected << "\n" << all.output;
}

} // namespace
} // namespace pelorin
