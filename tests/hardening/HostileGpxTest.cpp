// GPS logs that are broken, hostile or not files at all: each gives points or
// a clear error, never a crash, a hang, or a read outside what was asked.
#include "ChildProcess.h"
#include "ScratchDir.h"
#include "SharedData.h"
#include "Survey.h"
#include "gpx/GpxReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>
#include <sys/stat.h>

namespace pelorin::test {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const std::string kPayloadMarker = "EXTERNAL-ENTITY-WAS-RESOLVED";

fs::path corpusDir() {
    return fs::path(sharedDir()) / "corpus" / "gpx";
}

struct ManifestEntry {
    bool wellFormed = false;
    std::size_t points = 0;
};

// MANIFEST.tsv: what xmllint says of each file and how many unprefixed points it holds.
std::map<std::string, ManifestEntry> readManifest() {
    std::ifstream in(corpusDir() / "MANIFEST.tsv");
    std::map<std::string, ManifestEntry> entries;
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');)
            fields.push_back(cell);
        if (fields.size() > 7)
            entries[fields[0]] = {fields[2] == "ok", std::stoul(fields[7])};
    }
    return entries;
}

// Runs the whole job on gpx with a recording that lies on any track of 1 May 2009.
ProcessResult exportTrack(const ScratchDir &scratch, const std::string &gpx, ProcessLimits limits = {}) {
    const std::string csv = scratch.write("recordings.csv", kOneRecordingCsv);
    return runPelorin({"--gpx", gpx, "--recordings", csv, "--output", scratch / "out.kml"}, limits);
}

bool reportsParseErrorWithPosition(const ProcessResult &run) {
    static const std::regex position("Line: [1-9][0-9]*, Column: [1-9][0-9]*");
    return run.exited(2) && run.err.find("Parsing Error!") != std::string::npos &&
           std::regex_search(run.err, position);
}

TEST(HostileGpx, EveryCorpusFileGivesPointsOrAnErrorWithLineAndColumn) {
    PELORIN_REQUIRE_SHARED();
    PELORIN_REQUIRE_CLI();
    const auto manifest = readManifest();
    ASSERT_FALSE(manifest.empty());
    for (const auto &[name, entry] : manifest) {
        SCOPED_TRACE(name);
        const std::string path = (corpusDir() / name).string();
        GpxReader reader;
        const GpxResult read = reader.parseGPXFile(path);
        ScratchDir scratch;
        const ProcessResult run = exportTrack(scratch, path);
        if (name == "handmade-external-entity.gpx") {
            // Refusing the file and reading it without the entity are both safe.
            EXPECT_TRUE(run.exited(0) || reportsParseErrorWithPosition(run)) << run;
        } else if (entry.wellFormed) {
            EXPECT_TRUE(read.ok()) << read.error->description;
            EXPECT_EQ(read.points.size(), entry.points);
            EXPECT_TRUE(run.exited(0) || run.exited(1)) << run;
        } else {
            ASSERT_FALSE(read.ok());
            EXPECT_EQ(read.error->kind, GpxError::Kind::Parse);
            EXPECT_TRUE(reportsParseErrorWithPosition(run)) << run;
            const std::string position = "Line: " + std::to_string(read.error->line) +
                                         ", Column: " + std::to_string(read.error->column);
            EXPECT_NE(run.err.find(position), std::string::npos) << run;
        }
        EXPECT_EQ(readBytes(scratch / "out.kml").find(kPayloadMarker), std::string::npos);
    }
}

TEST(HostileGpx, EntityExpansionIsRefusedInBoundedMemory) {
    PELORIN_REQUIRE_SHARED();
    PELORIN_REQUIRE_CLI();
    ScratchDir scratch;
    ProcessLimits limits;
    // Fully expanded, the name would take gigabytes; the limit turns that into a crash, not a swapping
    // machine.
    if (!kAddressSanitizer)
        limits.addressSpaceBytes = std::uint64_t{1} << 30;
    const ProcessResult run =
        exportTrack(scratch, (corpusDir() / "handmade-entity-expansion.gpx").string(), limits);
    EXPECT_TRUE(reportsParseErrorWithPosition(run)) << run;
    EXPECT_LT(run.maxRssKiB, 256 * 1024) << run;
    EXPECT_FALSE(fs::exists(scratch / "out.kml"));
}

// Every path the traced run opened, from strace's open, openat, openat2 and creat lines.
std::vector<std::string> openedPaths(const std::string &trace) {
    static const std::regex call(R"re(\b(?:open|openat|openat2|creat)\((?:[^,"]*, )?"([^"]*)")re");
    std::vector<std::string> paths;
    std::istringstream lines(trace);
    for (std::string line; std::getline(lines, line);)
        if (std::smatch match; std::regex_search(line, match, call))
            paths.push_back(match[1]);
    return paths;
}

TEST(HostileGpx, ExternalEntityPayloadIsNeverOpened) {
    PELORIN_REQUIRE_SHARED();
    PELORIN_REQUIRE_CLI();
    ScratchDir scratch;
    const std::vector<std::string> strace = {"strace", "-f", "-qq", "-e", "trace=open,openat,openat2,creat"};
    std::vector<std::string> probe = strace;
    probe.insert(probe.end(), {"-o", scratch / "probe.trace", "true"});
    if (const ProcessResult run = runProcess(probe); !run.exited(0))
        GTEST_SKIP() << "strace is missing or may not trace here: " << run;

    const std::string gpx = (corpusDir() / "handmade-external-entity.gpx").string();
    const std::string csv = scratch.write("in/recordings.csv", kOneRecordingCsv);
    const std::string outDir = scratch / "out";
    fs::create_directory(outDir);
    std::vector<std::string> argv = strace;
    argv.insert(argv.end(), {"-o", scratch / "pelorin.trace", PELORIN_EXE, "--gpx", gpx, "--recordings", csv,
                             "--output", outDir + "/track.kml"});
    ProcessLimits limits;
    limits.environment = {{"ASAN_OPTIONS", "detect_leaks=0"}}; // LeakSanitizer cannot work under ptrace
    const ProcessResult run = runProcess(argv, limits);
    ASSERT_TRUE(run.exited(0) || reportsParseErrorWithPosition(run)) << run;

    const std::vector<std::string> paths = openedPaths(readBytes(scratch / "pelorin.trace"));
    EXPECT_NE(std::find(paths.begin(), paths.end(), gpx), paths.end())
        << "the trace shows no open of the log";
    const auto allowed = [&](const std::string &path) {
        for (const char *system : {"/etc/", "/lib", "/usr/", "/proc/", "/sys/", "/dev/"})
            if (path.starts_with(system))
                return true;
        return path == gpx || path == csv || path == outDir || path.starts_with(outDir + "/");
    };
    for (const std::string &path : paths) {
        EXPECT_EQ(path.find("payload"), std::string::npos) << "opened the entity's payload: " << path;
        EXPECT_TRUE(allowed(path)) << "opened a file that was not asked for: " << path;
    }
    EXPECT_EQ(readBytes(outDir + "/track.kml").find(kPayloadMarker), std::string::npos);
}

std::string utf16(std::string_view ascii, bool bigEndian, bool bom) {
    std::string bytes = bom ? (bigEndian ? "\xFE\xFF" : "\xFF\xFE") : "";
    for (char c : ascii) {
        bytes += bigEndian ? '\0' : c;
        bytes += bigEndian ? c : '\0';
    }
    return bytes;
}

std::string nested(int depth, std::string_view inner) {
    std::string doc;
    for (int i = 0; i < depth; ++i)
        doc += "<extensions>";
    doc += inner;
    for (int i = 0; i < depth; ++i)
        doc += "</extensions>";
    return doc;
}

enum class Expect { TwoPoints, ParseError, TwoPointsOrParseError };

struct ShapeCase {
    const char *name;
    std::string bytes;
    Expect expect;
};

TEST(HostileGpx, HostileShapesGiveClearErrorsOrPoints) {
    PELORIN_REQUIRE_CLI();
    const std::string megabyte(1 << 20, '7');
    std::string longAttribute(kTwoTrackPoints);
    longAttribute.insert(longAttribute.find(" lon="), " note=\"" + megabyte + "\"");
    std::string longLatitude(kTwoTrackPoints);
    longLatitude.insert(longLatitude.find("48.137000") + 9, megabyte);

    const ShapeCase cases[] = {
        {"points ten levels deep", gpxDocument(nested(10, kTwoTrackPoints)), Expect::TwoPoints},
        {"points 100,000 levels deep", gpxDocument(nested(100'000, kTwoTrackPoints)),
         Expect::TwoPointsOrParseError},
        {"a 1 MB attribute", gpxDocument(longAttribute), Expect::TwoPoints},
        {"a 1 MB latitude", gpxDocument(longLatitude), Expect::TwoPoints},
        {"a NUL byte", gpxDocument(std::string(kTwoTrackPoints) + "<name>a\0b</name>"s), Expect::ParseError},
        {"invalid UTF-8", gpxDocument(std::string(kTwoTrackPoints) + "<name>\xC3\x28\xFF</name>"),
         Expect::ParseError},
        {"UTF-16LE with a BOM", utf16(gpxDocument(kTwoTrackPoints, "UTF-16"), false, true),
         Expect::TwoPoints},
        {"UTF-16BE without a BOM", utf16(gpxDocument(kTwoTrackPoints, "UTF-16"), true, false),
         Expect::TwoPoints},
        {"an empty file", "", Expect::ParseError},
        {"a truncated document", gpxDocument(kTwoTrackPoints).substr(0, 150), Expect::ParseError},
    };
    for (const ShapeCase &c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir scratch;
        const ProcessResult run = exportTrack(scratch, scratch.write("track.gpx", c.bytes));
        const std::string kml = readBytes(scratch / "out.kml");
        const bool points =
            run.exited(0) && kml.find("11.575000,48.137001,0\n11.576000,48.138000,0\n") != std::string::npos;
        const bool parseError = reportsParseErrorWithPosition(run);
        switch (c.expect) {
        case Expect::TwoPoints:
            EXPECT_TRUE(points) << run;
            break;
        case Expect::ParseError:
            EXPECT_TRUE(parseError) << run;
            break;
        case Expect::TwoPointsOrParseError:
            EXPECT_TRUE(points || parseError) << run;
            break;
        }
    }
}

TEST(HostileGpx, InputsThatAreNoRegularFilesAreRefusedWithoutBlocking) {
    PELORIN_REQUIRE_CLI();
    ScratchDir scratch;
    const std::string gpx = scratch.write("track.gpx", gpxDocument(kTwoTrackPoints));
    const std::string csv = scratch.write("recordings.csv", kOneRecordingCsv);
    const std::string folder = scratch / "folder";
    const std::string fifo = scratch / "fifo";
    fs::create_directory(folder);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ProcessLimits limits;
    limits.guard = std::chrono::seconds(30); // a FIFO nobody writes to would block an open() for ever

    const struct {
        const char *name;
        std::string gpx, csv, named;
    } cases[] = {
        {"a folder as the log", folder, csv, folder},
        {"a FIFO as the log", fifo, csv, fifo},
        {"a folder as the recordings", gpx, folder, folder},
        {"a FIFO as the recordings", gpx, fifo, fifo},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const ProcessResult run =
            runPelorin({"--gpx", c.gpx, "--recordings", c.csv, "--output", scratch / "out.kml"}, limits);
        EXPECT_TRUE(run.exited(2)) << run;
        EXPECT_NE(run.err.find(c.named), std::string::npos) << "the message names the input: " << run;
        EXPECT_FALSE(fs::exists(scratch / "out.kml"));
    }
}

} // namespace
} // namespace pelorin::test
