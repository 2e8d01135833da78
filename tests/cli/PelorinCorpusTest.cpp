// Every file of the shared hostile GPX corpus through the command: a written
// document, "No time overlap", or a parse error with its position; never a
// crash or a hang, never the text of an external entity.

#include "SharedData.h"
#include "cli/RunProgram.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <sstream>

namespace pelorin::test {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char *kPayload = "EXTERNAL-ENTITY-WAS-RESOLVED";

fs::path corpusDir() {
    return fs::path(sharedDir()) / "corpus" / "gpx";
}

// The files xmllint refuses, from the corpus manifest.
std::set<std::string> malformedFiles() {
    std::set<std::string> malformed;
    std::istringstream manifest(readFile(corpusDir() / "MANIFEST.tsv"));
    for (std::string line; std::getline(manifest, line);) {
        std::istringstream fields(line);
        std::string name, bytes, xmllint;
        if (std::getline(fields, name, '\t') && std::getline(fields, bytes, '\t') &&
            std::getline(fields, xmllint, '\t') && xmllint == "fail")
            malformed.insert(name);
    }
    return malformed;
}

TEST(HostileCorpus, EveryFileGivesADocumentOrAClearError) {
    PELORIN_REQUIRE_SHARED();
    const std::set<std::string> malformed = malformedFiles();
    ASSERT_FALSE(malformed.empty());
    TempDir dir;
    // Within the external-entity file's track, so that one is written.
    writeFile(dir / "recordings.csv", "filename,recording_time,species\nR.wav,2009-05-01T10:05:00Z,Ppip\n");

    std::size_t files = 0;
    for (const auto &entry : fs::directory_iterator(corpusDir())) {
        if (entry.path().extension() != ".gpx")
            continue;
        ++files;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        const fs::path kml = dir / "out.kml";
        fs::remove(kml);
        const RunResult r =
            runPelorin({"--gpx", entry.path().string(), "--recordings", (dir / "recordings.csv").string(),
                        "--output", kml.string(), "--elevation"});
        ASSERT_FALSE(r.hung);
        ASSERT_EQ(r.signal, 0) << r.err;
        EXPECT_TRUE(r.exitCode == 0 || r.exitCode == 1 || r.exitCode == 2) << r.exitCode << r.err;
        if (malformed.count(name)) {
            EXPECT_EQ(r.exitCode, 2) << r.err;
        }
        if (r.exitCode == 2) {
            EXPECT_THAT(r.err, HasSubstr("Parsing Error!"));
            EXPECT_THAT(r.err, HasSubstr(", Line: "));
            EXPECT_THAT(r.err, HasSubstr(", Column: "));
        }
        EXPECT_EQ(fs::exists(kml), r.exitCode == 0);
        if (fs::exists(kml)) {
            EXPECT_THAT(readFile(kml), Not(HasSubstr(kPayload)));
        }
        EXPECT_THAT(r.err, Not(HasSubstr(kPayload)));
    }
    EXPECT_GT(files, 20u);
}

// Only the two inputs are opened: the external entity's file never is.
TEST(HostileCorpus, ExternalEntityFileIsNeverOpened) {
    PELORIN_REQUIRE_SHARED();
    TempDir dir;
    if (runProgram({"strace", "-V"}).exitCode != 0)
        GTEST_SKIP() << "strace is not installed";
    writeFile(dir / "recordings.csv", "filename,recording_time,species\nR.wav,2009-05-01T10:05:00Z,Ppip\n");
    const fs::path log = dir / "strace.log";
    const RunResult r =
        runProgram({"strace", "-f", "-e", "trace=open,openat,openat2", "-o", log.string(), PELORIN_CLI_PATH,
                    "--gpx", (corpusDir() / "handmade-external-entity.gpx").string(), "--recordings",
                    (dir / "recordings.csv").string(), "--output", (dir / "out.kml").string()});
    if (r.exitCode != 0 && !fs::exists(log))
        GTEST_SKIP() << "strace cannot trace here: " << r.err;
    const std::string trace = readFile(log);
    EXPECT_THAT(trace, HasSubstr("handmade-external-entity.gpx"));
    EXPECT_THAT(trace, Not(HasSubstr("payload")));
}

} // namespace
} // namespace pelorin::test
