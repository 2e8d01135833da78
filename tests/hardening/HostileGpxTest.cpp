// GPS logs that are broken, hostile or not files at all: each gives points or
// a clear error, never a crash, a hang, or a read outside what was asked.
#include "SharedData.h"
#include "cli/SurveyFixture.h"

#include <gmock/gmock.h>

#include <regex>
#include <sstream>

#include <sys/stat.h>

namespace pelorin::test {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

class HostileGpx : public SurveyTest {};

bool parseErrorWithPosition(const RunResult &r) {
    static const std::regex position(
        "pelorin: [^\\n]*:[1-9][0-9]*:[1-9][0-9]*: [^\\n]*\\(XML error [0-9]+\\)\\n");
    return r.exitCode == 2 && std::regex_search(r.err, position);
}

TEST_F(HostileGpx, EveryCorpusFileGivesPointsOrAParseErrorWithItsPosition) {
    PELORIN_REQUIRE_SHARED();
    writeFile(csv(), "filename,recording_time,species\nR.wav,2009-05-01T10:05:00Z,Ppip\n"); // in its track
    const fs::path corpus = fs::path(sharedDir()) / "corpus" / "gpx";
    std::istringstream manifest(readFile(corpus / "MANIFEST.tsv"));
    std::string line, cell;
    std::getline(manifest, line); // the header
    std::size_t files = 0;
    for (; std::getline(manifest, line); ++files) {
        // file, bytes, what xmllint says, ..., the points of wpt and trkpt in column 8
        std::vector<std::string> fields;
        for (std::istringstream cells(line); std::getline(cells, cell, '\t');)
            fields.push_back(cell);
        ASSERT_GT(fields.size(), 7u) << line;
        SCOPED_TRACE(fields[0]);
        fs::remove(kml());
        const RunResult r =
            runPelorin({"--gpx", (corpus / fields[0]).string(), "--recordings", csv(), "--output", kml()});
        if (fields[0] == "handmade-external-entity.gpx") // refused or read without the entity: both safe
            EXPECT_TRUE(r.exitCode == 0 || parseErrorWithPosition(r)) << r.err;
        else if (fields[2] != "ok")
            EXPECT_TRUE(parseErrorWithPosition(r)) << r.err;
        else if (r.exitCode == 0)
            EXPECT_THAT(r.err, HasSubstr("read " + fields[7] + " points"));
        else // well-formed, but a log without one usable point is bad input
            EXPECT_TRUE(r.exitCode == 1 ||
                        r.err.find("no track point has usable coordinates") != std::string::npos)
                << r.err;
        EXPECT_EQ(fs::exists(kml()), r.exitCode == 0);
        EXPECT_THAT(readFile(kml()) + r.err, Not(HasSubstr("EXTERNAL-ENTITY-WAS-RESOLVED")));
    }
    EXPECT_GT(files, 20u);
}

// The usual three points with doctype before them and extra inside the first one.
std::string withDoctype(std::string_view doctype, std::string_view extra) {
    std::string points = kTrackPoints;
    points.insert(points.find("</trkpt>"), extra);
    std::string doc = gpxDocument(points);
    doc.insert(doc.find("<gpx "), std::string(doctype) + "\n");
    return doc;
}

// Ten levels of ten references each, 2 x 10^9 characters if expanded, must be refused in bounded memory.
TEST_F(HostileGpx, EntityExpansionIsRefusedInBoundedMemory) {
    std::string decls = "<!DOCTYPE gpx [\n<!ENTITY a0 \"ha\">\n";
    for (int level = 1; level <= 9; ++level) {
        decls += "<!ENTITY a" + std::to_string(level) + " \"";
        for (int i = 0; i < 10; ++i)
            decls += "&a" + std::to_string(level - 1) + ";";
        decls += "\">\n";
    }
    writeFile(gpx(), withDoctype(decls + "]>", "<name>&a9;</name>"));
    const RunResult r = run(kml());
    EXPECT_TRUE(parseErrorWithPosition(r)) << r.err;
    EXPECT_LT(r.maxRssKiB, 256 * 1024) << "fully expanded, the text would take gigabytes";
    EXPECT_FALSE(fs::exists(kml()));
}

// Each way a document can name another file: none is read nor opened, whether the document is refused or
// read without it. Where strace may trace, only opens are: the payload's name there is an attempt to open it.
TEST_F(HostileGpx, ExternalEntitiesAreNeverResolvedNorOpened) {
    const std::string secret = "EXTERNAL-ENTITY-WAS-RESOLVED";
    writeFile(dir / "payload.txt", secret + "\n");
    writeFile(dir / "payload.dtd", "<!ENTITY secret \"" + secret + "\">\n"); // would change the output
    const bool traced = mayTrace();
    const std::string trace = (dir / "pelorin.trace").string();
    const std::pair<const char *, std::string> documents[] = {
        {"a general entity",
         withDoctype("<!DOCTYPE gpx [<!ENTITY e SYSTEM \"payload.txt\">]>", "<name>&e;</name>")},
        {"a parameter entity",
         withDoctype("<!DOCTYPE gpx [<!ENTITY % p SYSTEM \"payload.dtd\">%p;]>", "<name>&secret;</name>")},
        {"an external DTD", withDoctype("<!DOCTYPE gpx SYSTEM \"payload.dtd\">", "<name>&secret;</name>")},
    };
    for (const auto &[name, doc] : documents) {
        SCOPED_TRACE(name);
        writeFile(gpx(), doc);
        fs::remove(kml());
        const RunResult r = runProgram(
            traced ? underStrace("open,openat,openat2,creat", trace, command(kml())) : command(kml()));
        ASSERT_TRUE(r.exitCode == 0 || parseErrorWithPosition(r)) << r.err;
        EXPECT_EQ(fs::exists(kml()), r.exitCode == 0);
        EXPECT_THAT(readFile(kml()) + r.out + r.err, Not(HasSubstr(secret)));
        if (traced) {
            EXPECT_THAT(readFile(trace), AllOf(HasSubstr(gpx()), Not(HasSubstr("payload"))));
        }
    }
    if (!traced)
        GTEST_SKIP() << "strace is missing or may not trace here; opens not checked";
}

enum class Expect { Points, ParseError, PointsOrParseError, Refused };

TEST_F(HostileGpx, HostileShapesGiveClearErrorsOrPoints) {
    std::string longLatitude = kTrackPoints, utf16, deep, deepEnd;
    for (int i = 0; i < 100'000; ++i) {
        deep += "<extensions>";
        deepEnd += "</extensions>";
    }
    longLatitude.insert(longLatitude.find("lat=\"10") + 7, "." + std::string(1 << 20, '0'));
    for (char c : gpxDocument(kTrackPoints, "UTF-16")) // big-endian, without a byte-order mark
        utf16 += "\0"s + c;
    const struct {
        const char *name;
        std::string bytes;
        Expect expect;
    } cases[] = {
        {"100,000 levels deep", gpxDocument(deep + kTrackPoints + deepEnd), Expect::PointsOrParseError},
        {"a 1 MB latitude", gpxDocument(longLatitude), Expect::Points},
        {"a NUL byte", gpxDocument(kTrackPoints + "<name>a\0b</name>"s), Expect::ParseError},
        {"UTF-16BE without a BOM", utf16, Expect::Points},
        {"a FIFO as the log", "", Expect::Refused},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path input = dir / "shape";
        fs::remove_all(input);
        fs::remove(kml());
        if (c.expect == Expect::Refused)
            ASSERT_EQ(mkfifo(input.c_str(), 0600), 0);
        else
            writeFile(input, c.bytes);
        const RunResult r = runPelorin({"--gpx", input.string(), "--recordings", csv(), "--output", kml()});
        const bool points =
            r.exitCode == 0 && readFile(kml()).find("20.000000,10.000000,0\n22.000000,11.000000,0\n"
                                                    "24.000000,12.000000,0") != std::string::npos;
        if (c.expect == Expect::Refused) {
            EXPECT_EQ(r.exitCode, 2);
            EXPECT_THAT(r.err, HasSubstr(input.string()));
        } else {
            EXPECT_TRUE((c.expect != Expect::ParseError && points) ||
                        (c.expect != Expect::Points && parseErrorWithPosition(r)))
                << r.err;
        }
    }
}

} // namespace
} // namespace pelorin::test
