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
using ::testing::HasSubstr;
using ::testing::Not;

class HostileGpx : public SurveyTest {};

// Lies within the track of the corpus's external-entity file.
const std::string kCorpusCsv = "filename,recording_time,species\nR.wav,2009-05-01T10:05:00Z,Ppip\n";

bool parseErrorWithPosition(const RunResult &r) {
    static const std::regex position(
        "pelorin: [^\\n]*:[1-9][0-9]*:[1-9][0-9]*: [^\\n]*\\(XML error [0-9]+\\)\\n");
    return r.exitCode == 2 && std::regex_search(r.err, position);
}

TEST_F(HostileGpx, EveryCorpusFileGivesPointsOrAParseErrorWithItsPosition) {
    PELORIN_REQUIRE_SHARED();
    writeFile(csv(), kCorpusCsv);
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
        if (fields[0] == "handmade-external-entity.gpx") { // refused or read without the entity: both safe
            EXPECT_TRUE(r.exitCode == 0 || parseErrorWithPosition(r)) << r.err;
        } else if (fields[2] == "ok") {
            // Well-formed, but a log without one usable point is bad input.
            const bool noUsablePoint =
                r.exitCode == 2 && r.err.find("no track point has usable coordinates") != std::string::npos;
            EXPECT_TRUE(r.exitCode == 0 || r.exitCode == 1 || noUsablePoint) << r.err;
            if (r.exitCode == 0) {
                EXPECT_THAT(r.err, HasSubstr("read " + fields[7] + " points"));
            }
        } else {
            EXPECT_TRUE(parseErrorWithPosition(r)) << r.err;
        }
        EXPECT_EQ(fs::exists(kml()), r.exitCode == 0);
        EXPECT_THAT(readFile(kml()) + r.err, Not(HasSubstr("EXTERNAL-ENTITY-WAS-RESOLVED")));
    }
    EXPECT_GT(files, 20u);
}

// A document whose DOCTYPE is doctype and whose track is the usual three points
// with extra inside the first one.
std::string withDoctype(std::string_view doctype, std::string_view extra) {
    std::string points = kTrackPoints;
    points.insert(points.find("</trkpt>"), extra);
    std::string doc = gpxDocument(points);
    doc.insert(doc.find("<gpx "), std::string(doctype) + "\n");
    return doc;
}

// Ten levels of ten references each: 2 x 10^9 characters if expanded.
std::string laughs(std::string_view kind) {
    std::string decls = "<!ENTITY " + std::string(kind) + "a0 \"ha\">\n";
    const std::string ref = kind.empty() ? "&" : "%";
    for (int level = 1; level <= 9; ++level) {
        decls += "<!ENTITY " + std::string(kind) + "a" + std::to_string(level) + " \"";
        for (int i = 0; i < 10; ++i)
            decls += ref + "a" + std::to_string(level - 1) + ";";
        decls += "\">\n";
    }
    return decls;
}

// Every entity declaration is refused where it stands, general or parameter.
TEST_F(HostileGpx, EntityExpansionIsRefusedInBoundedMemory) {
    const struct {
        const char *name;
        std::string doc;
    } cases[] = {
        {"nested entities", withDoctype("<!DOCTYPE gpx [\n" + laughs("") + "]>", "<name>&a9;</name>")},
        {"nested parameter entities", withDoctype("<!DOCTYPE gpx [\n" + laughs("% ") + "%a9;\n]>", "")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(gpx(), c.doc);
        fs::remove(kml());
        const RunResult r = run(kml());
        EXPECT_TRUE(parseErrorWithPosition(r)) << r.err;
        EXPECT_LT(r.maxRssKiB, 256 * 1024) << "fully expanded, the text would take gigabytes";
        EXPECT_FALSE(fs::exists(kml()));
    }
}

// Each way a document can name another file: none is read, whether the
// document is refused or read without it.
class ExternalEntities : public HostileGpx {
protected:
    static constexpr std::string_view kSecret = "EXTERNAL-ENTITY-WAS-RESOLVED";

    void SetUp() override {
        HostileGpx::SetUp();
        writeFile(dir / "payload.txt", std::string(kSecret) + "\n");
        // Also a valid DTD, so that reading it would change the output.
        writeFile(dir / "payload.dtd", "<!ENTITY secret \"" + std::string(kSecret) + "\">\n");
    }
};

// Neither read nor opened: only the inputs, the output's folder and the system's own files are opened
// (checked where strace may trace).
TEST_F(ExternalEntities, AreNeverResolvedNorOpened) {
    const bool traced = mayTrace();
    static const std::regex call(R"re(\b(?:open|openat|openat2|creat)\((?:[^,"]*, )?"([^"]*)")re");
    const std::string trace = (dir / "pelorin.trace").string();
    const std::string general = "<!DOCTYPE gpx [\n<!ENTITY e ";
    const std::pair<const char *, std::string> documents[] = {
        {"a general entity, relative",
         withDoctype(general + "SYSTEM \"payload.txt\">\n]>", "<name>&e;</name>")},
        {"a parameter entity", withDoctype("<!DOCTYPE gpx [\n<!ENTITY % p SYSTEM \"payload.dtd\">\n%p;\n]>",
                                           "<name>&secret;</name>")},
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
        EXPECT_THAT(readFile(kml()) + r.out + r.err, Not(HasSubstr(std::string(kSecret))));
        if (!traced)
            continue;
        std::istringstream lines(readFile(trace));
        bool openedLog = false;
        for (std::string line; std::getline(lines, line);) {
            std::smatch match;
            if (!std::regex_search(line, match, call))
                continue;
            const std::string path = match[1];
            openedLog = openedLog || path == gpx();
            bool allowed = path.find("payload") == std::string::npos &&
                           (path == dir.path() || path.starts_with(dir.path().string() + "/"));
            for (const char *system : {"/etc/", "/lib", "/usr/", "/proc/", "/sys/", "/dev/"})
                allowed = allowed || path.starts_with(system);
            allowed = allowed || path.ends_with(".gcda"); // an instrumented build's counts, written at exit
            EXPECT_TRUE(allowed) << "opened a file that was not asked for: " << path;
        }
        EXPECT_TRUE(openedLog) << "the trace shows no open of the log";
    }
    if (!traced)
        GTEST_SKIP() << "strace is missing or may not trace here; opens not checked";
}

std::string utf16(std::string_view ascii, bool bigEndian, bool bom) {
    std::string bytes = bom ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
    for (char c : ascii)
        bytes += bigEndian ? "\0"s + c : c + "\0"s;
    return bytes;
}

std::string nested(int depth, std::string_view inner) {
    std::string open, close;
    for (int i = 0; i < depth; ++i) {
        open += "<extensions>";
        close += "</extensions>";
    }
    return open + std::string(inner) + close;
}

enum class Expect { Points, ParseError, PointsOrParseError, Refused };

TEST_F(HostileGpx, HostileShapesGiveClearErrorsOrPoints) {
    const std::string megabyte(1 << 20, '0');
    std::string longAttribute = kTrackPoints, longLatitude = kTrackPoints;
    longAttribute.insert(longAttribute.find(" lon="), " note=\"" + megabyte + "\"");
    longLatitude.insert(longLatitude.find("lat=\"10") + 7, "." + megabyte);
    const struct {
        const char *name;
        std::string bytes;
        Expect expect;
        mode_t type = S_IFREG;
        bool asRecordings = false;
    } cases[] = {
        {"points ten levels deep", gpxDocument(nested(10, kTrackPoints)), Expect::Points},
        {"points 100,000 levels deep", gpxDocument(nested(100'000, kTrackPoints)),
         Expect::PointsOrParseError},
        {"a 1 MB attribute", gpxDocument(longAttribute), Expect::Points},
        {"a 1 MB latitude", gpxDocument(longLatitude), Expect::Points},
        {"a NUL byte", gpxDocument(kTrackPoints + "<name>a\0b</name>"s), Expect::ParseError},
        {"invalid UTF-8", gpxDocument(kTrackPoints + "<name>\xC3\x28\xFF</name>"), Expect::ParseError},
        {"UTF-16LE with a BOM", utf16(gpxDocument(kTrackPoints, "UTF-16"), false, true), Expect::Points},
        {"UTF-16BE without a BOM", utf16(gpxDocument(kTrackPoints, "UTF-16"), true, false), Expect::Points},
        {"a folder as the log", "", Expect::Refused, S_IFDIR},
        {"a FIFO as the log", "", Expect::Refused, S_IFIFO},
        {"a FIFO as the recordings", "", Expect::Refused, S_IFIFO, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path input = dir / "shape";
        fs::remove_all(input);
        fs::remove(kml());
        if (c.type == S_IFDIR)
            fs::create_directory(input);
        else if (c.type == S_IFIFO)
            ASSERT_EQ(mkfifo(input.c_str(), 0600), 0);
        else
            writeFile(input, c.bytes);
        const RunResult r = runPelorin({"--gpx", c.asRecordings ? gpx() : input.string(), "--recordings",
                                        c.asRecordings ? input.string() : csv(), "--output", kml()});
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
