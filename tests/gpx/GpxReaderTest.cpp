#include "gpx/GpxReader.h"

#include "SharedData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace pelorin {
namespace {

using namespace std::chrono;

// 2009-05-01T10:00:00Z
const std::string kT = "1241172000";

// A point as "lat lon ele time", "-" for what is absent, the time in seconds since the epoch.
std::vector<std::string> pointTexts(const std::vector<TrackPoint> &points) {
    const auto part = [](std::optional<std::string_view> v) { return v ? std::string(*v) : "-"; };
    std::vector<std::string> texts;
    for (const TrackPoint &p : points)
        texts.push_back(part(p.lat()) + " " + part(p.lon()) + " " + part(p.elevation()) + " " +
                        (p.time() ? std::to_string(p.time()->time_since_epoch().count()) : "-"));
    return texts;
}

std::string gpx(const std::string &body) {
    return "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\">" + body + "</gpx>";
}

// What a reading holds beyond the points' entries: kinds, segments, verdicts, the problems' places.
std::vector<std::string> readingFacts(const GpxResult &r) {
    std::vector<std::string> facts;
    for (const TrackPoint &p : r.points)
        facts.push_back((p.isWaypoint() ? "w" : std::to_string(p.segment())) +
                        (p.hasBadCoordinates() ? "!" : ""));
    for (const BadCoordinatePoint &bad : r.badCoordinates)
        facts.push_back(std::to_string(bad.index) + "@" + std::to_string(bad.line) + ":" +
                        std::to_string(bad.column));
    if (r.error)
        facts.push_back("error " + std::to_string(r.error->line) + ":" + std::to_string(r.error->column));
    facts.push_back(r.hasElevation ? "ele" : "no ele");
    return facts;
}

// Every reading is made twice, by expat alone and on two cores (the scan
// beside expat's check): the two must not differ in anything. `scanned` says
// whether the second came from the scan.
GpxResult read(std::string_view doc, std::size_t chunkSize = 0, bool *scanned = nullptr) {
    GpxReader here;
    GpxReader twoCores;
    twoCores.setReadOnTwoCores(true);
    GpxResult result = here.parseGPXBytes(doc, chunkSize);
    const GpxResult other = twoCores.parseGPXBytes(doc, chunkSize);
    EXPECT_EQ(other.points, result.points);
    EXPECT_EQ(readingFacts(other), readingFacts(result));
    if (scanned)
        *scanned = twoCores.lastReadScanned();
    return result;
}

TEST(Reader, ReadsPointsWhateverTheChunkSize) {
    const struct {
        const char *name;
        std::string body;
        std::vector<std::string> points;
        bool hasElevation;
    } cases[] = {
        {"route points and metadata times reach no point",
         "<metadata><time>2001-01-01T00:00:00Z</time></metadata><ele>7</ele><wpt lat=\"1\" lon=\"1\"/>"
         "<rte><rtept lat=\"9\" lon=\"9\"><ele>9</ele><time>2001-01-01T00:00:00Z</time></rtept></rte>"
         "<trk><trkseg><trkpt lat=\"2\" lon=\"2\"><ele>10</ele><time>2009-05-01T10:00:00Z</time></trkpt>"
         "</trkseg></trk><time>2002-01-01T00:00:00Z</time>",
         {"1 1 - -", "2 2 10 " + kT},
         true},
        {"names match exactly",
         "<TRKPT lat=\"1\"/><gpx:trkpt lat=\"1\"/><trkpts lat=\"1\"/>"
         "<wpt lat=\"1\"><Time>2009-05-01T10:00:00Z</Time><ELE>3</ELE></wpt>",
         {"1 - - -"},
         false},
        {"text coalesced, then trimmed; CDATA is text",
         "<wpt><ele>\n    12.5\n  </ele></wpt><wpt><ele>1&#32;2</ele></wpt>"
         "<wpt><ele>a&amp;b &lt;c&gt;</ele></wpt><wpt><ele><![CDATA[ 1 ]]>2<![CDATA[<3 "
         "]]></ele></wpt><wpt><ele/></wpt>",
         {"- - 12.5 -", "- - 1 2 -", "- - a&b <c> -", "- - 1 2<3 -", "- -  -"},
         true},
        {"only Unicode white space and new lines are trimmed",
         "<wpt><ele>\xC2\xA0\xE3\x80\x80\xE1\x9A\x80\t\r\xC2\x85 4\xC2\xA0"
         "5\xEF\xBB\xBF\xE2\x80\xA9</ele></wpt><wpt><ele>\xE2\x81\x9F 6\xC2\x85</ele></wpt>", // U+FEFF stays
         {"- - 4\xC2\xA0"
          "5\xEF\xBB\xBF -",
          "- - 6 -"},
         true},
        {"comments and instructions end a piece of text",
         "<wpt><ele> 1 <!-- c --> 2 </ele></wpt><wpt><ele>3 <?pi x?> 4</ele></wpt>",
         {"- - 12 -", "- - 34 -"},
         true},
        {"later elements replace earlier ones",
         "<wpt elevation=\"e\"><ele>1</ele><ele>2</ele><time>2001-01-01T00:00:00Z</time>"
         "<time>2009-05-01T10:00:00Z</time></wpt>",
         {"- - 2 " + kT},
         true},
        {"offsets applied, unreadable times leave none",
         "<wpt><time>2009-05-01T12:00:00+02:00</time></wpt><wpt><time>\n2009-05-01T10:00:00.75\n</time></wpt>"
         "<wpt><time></time></wpt><wpt><time>garbage</time></wpt><wpt><time>2009-02-30T10:00:00Z</time></wpt>"
         "<wpt><time>2009-05-01T10:00:00Z</time><time>bad</time></wpt>",
         {"- - - " + kT, "- - - " + kT, "- - - -", "- - - -", "- - - -", "- - - -"},
         false},
        {"a nested point lets go of the outer one",
         "<wpt lat=\"1\"><trkpt lat=\"2\"/><ele>5</ele></wpt><wpt lat=\"3\"/>",
         {"2 - - -", "3 - - -"},
         true},
    };
    for (const auto &c : cases) {
        for (std::size_t chunk : {0, 1, 7}) {
            SCOPED_TRACE(std::string(c.name) + ", chunk " + std::to_string(chunk));
            const GpxResult r = read(gpx(c.body), chunk);
            ASSERT_TRUE(r.ok()) << r.error->description << " at " << r.error->line << ":" << r.error->column;
            EXPECT_EQ(pointTexts(r.points), c.points);
            EXPECT_EQ(r.hasElevation, c.hasElevation);
        }
    }
}

// Attributes as delivered; names of waypoints only, as a track point's name would cost every point.
TEST(Reader, KeepsEveryAttributeAndTheNamesOfWaypoints) {
    const GpxResult r =
        read(gpx("<metadata><name>Night 3</name></metadata><wpt time=\"t\" lon=\" 11.5 \" lat=\"48&#x2E;1\" "
                 "sym=\"Flag, Blue\" a:b=\"c\"><name> Start </name><time>2009-05-01T10:00:00Z</time></wpt>"
                 "<trk><name>Walk</name><trkseg><trkpt lat=\"1\" lon=\"2\"><name>P1</name></trkpt>"
                 "</trkseg></trk><wpt lat=\"3\" lon=\"4\"/>"));
    ASSERT_EQ(pointTexts(r.points), (std::vector<std::string>{"48.1  11.5  - " + kT, "1 2 - -", "3 4 - -"}));
    // The time element replaces the attribute.
    EXPECT_EQ((std::vector{r.points[0].attribute("sym"), r.points[0].attribute("a:b"),
                           r.points[0].attribute("time"), r.points[0].attribute("name"),
                           r.points[1].attribute("name"), r.points[2].attribute("name")}),
              (std::vector<std::optional<std::string_view>>{"Flag, Blue", "c", std::nullopt, "Start",
                                                            std::nullopt, std::nullopt}));
    EXPECT_EQ(std::pair(r.points[1].isWaypoint(), r.points[2].isWaypoint()), std::pair(false, true));
}

TEST(Reader, ReportsParseErrorsWithLineAndColumnFromOne) {
    const GpxResult r = read("<gpx>\n<wpt lat=\"1\"/>\n  <trkpt></gpx>");
    ASSERT_FALSE(r.ok());
    // XML_ERROR_TAG_MISMATCH, at the name in "</gpx>".
    EXPECT_EQ(std::tuple(r.error->code, r.error->line, r.error->column), std::tuple(7, 3L, 12L));
    EXPECT_EQ(pointTexts(r.points), std::vector<std::string>{"1 - - -"}); // completed before the error
}

TEST(Reader, RefusesEntityDeclarationsAndFetchesNothing) {
    for (const char *decl :
         {"<!ENTITY e \"x\">", "<!ENTITY e SYSTEM \"/etc/hostname\">", "<!ENTITY % p \"x\">"}) {
        SCOPED_TRACE(decl);
        const GpxResult r = read(
            std::string("<!DOCTYPE gpx [\n  ") + decl + "\n]>\n<gpx><wpt><ele>&e;1</ele></wpt></gpx>", 1);
        ASSERT_FALSE(r.ok());
        EXPECT_NE(r.error->description.find("entity"), std::string::npos);
        EXPECT_EQ(r.error->line, 2);
        EXPECT_TRUE(r.points.empty());
    }
    // A DOCTYPE without entities, even with an external subset, is read; nothing is fetched.
    const GpxResult r = read("<!DOCTYPE gpx SYSTEM \"http://example.invalid/gpx.dtd\">"
                             "<gpx><wpt><ele>&undeclared;1</ele></wpt></gpx>");
    ASSERT_TRUE(r.ok()) << r.error->description;
    EXPECT_EQ(pointTexts(r.points), std::vector<std::string>{"- - 1 -"});
}

TEST(Reader, ReadsTheEncodingsDevicesWrite) {
    const std::string body = "?><gpx><wpt lat=\"\x80\xE9\x9F\x81\"/></gpx>";
    EXPECT_EQ(pointTexts(read("<?xml version=\"1.0\" encoding=\"windows-1252\"" + body, 3).points),
              std::vector<std::string>{"\u20AC\u00E9\u0178\u0081 - - -"});
    EXPECT_EQ(pointTexts(read("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"" + body, 3).points),
              std::vector<std::string>{"\u0080\u00E9\u009F\u0081 - - -"});
    EXPECT_FALSE(read("<?xml version=\"1.0\" encoding=\"x-unheard-of\"?><gpx/>").ok());
}

TEST(Reader, EveryDocumentStartsAfresh) {
    GpxReader reader;
    // Stops inside an `ele` inside a point, with text collected and a flag set.
    ASSERT_FALSE(reader.parseGPXBytes("<gpx><wpt lat=\"1\"><ele>99<time>2009-05-01T10:00:00Z</gpx>").ok());
    const GpxResult next =
        reader.parseGPXBytes(gpx("<time>2001-01-01T00:00:00Z</time><wpt lat=\"2\"><ele>5</ele></wpt>"));
    EXPECT_EQ(pointTexts(next.points), std::vector<std::string>{"2 - 5 -"});
    const GpxResult third = reader.parseGPXBytes(gpx("<wpt lat=\"3\"/>"));
    EXPECT_EQ(pointTexts(third.points), std::vector<std::string>{"3 - - -"});
    EXPECT_FALSE(third.hasElevation);
}

TEST(Reader, KeepsSegmentsWaypointsAndWhereBadCoordinatesAre) {
    const std::string body =
        "<wpt lat=\"1\" lon=\"1\"/><trk><trkpt lat=\"2\" lon=\"2\"/><trkseg><trkpt lat=\"3\" lon=\"3\"/>"
        "</trkseg><trkseg><trkpt lat=\"4\" lon=\"4\"/><trkpt lat=\"95\" lon=\"4\"/></trkseg>"
        "<trkpt lat=\"5\" lon=\"5\"/></trk><trk><trkseg><trkpt lat=\"6\" lon=\"6\"/></trkseg></trk>"
        "<trk><trkpt lat=\"7\" lon=\"7\"/></trk><wpt lat=\"x\" lon=\"1\"/>";
    const std::string doc = gpx(body);
    const auto column = [&](const char *at) { return std::to_string(doc.find(at) - doc.find('\n')); };
    for (const std::size_t chunk : {0, 1, 7}) {
        SCOPED_TRACE(chunk);
        const GpxResult result = read(doc, chunk);
        ASSERT_TRUE(result.ok());
        // A track's points outside its segments share one segment of their own.
        EXPECT_EQ(readingFacts(result),
                  (std::vector<std::string>{"w", "0", "1", "2", "2!", "0", "3", "4", "w!",
                                            "4@2:" + column("<trkpt lat=\"95\""),
                                            "8@2:" + column("<wpt lat=\"x\""), "no ele"}));
    }
}

// The scan takes what GPX writers write; what it was not made for, and what
// expat refuses, expat reads alone.
TEST(Reader, TheScanTakesWhatLoggersWriteAndLeavesTheRestToExpat) {
    const struct {
        const char *name;
        std::string doc;
        std::string points; // lat lon ele time, then the attributes asked for below
        bool scanned;
    } cases[] = {
        {"either quote, any order, blanks around =",
         "\xEF\xBB\xBF<?xml version='1.0' encoding='utf-8'?><!-- c --><?pi?>\n<gpx><trk><trkseg>"
         "<trkpt lon = '11.5'\n\tlat=\"48.1\" ><ele>1</ele ></trkpt></trkseg></trk></gpx >",
         "48.1 11.5 1 - | - | -", true},
        {"values normalised, references taken as they are",
         gpx("<wpt lat=\"4&#56;.1\" lon=\"1&#x31;.5\" sym=\"a&#10;b&#x9;c&#13;d&amp;\" "
             "desc=\"w\r\nx\ry\tz\n.\"><ele>&#52;\r\n2<![CDATA[\r3]]></ele></wpt>"),
         "48.1 11.5 4\n2\n3 - | a\nb\tc\rd& | w x y z .", true},
        {"a prefixed name is no point", gpx("<gpx:trkpt lat=\"1\" lon=\"2\"/><wpt lat=\"3\" lon=\"4\"/>"),
         "3 4 - - | - | -", true},
        {"a DOCTYPE is expat's", "<!DOCTYPE gpx><gpx><wpt lat=\"1\" lon=\"2\"/></gpx>", "1 2 - - | - | -",
         false},
        {"so is another encoding",
         "<?xml version=\"1.0\" encoding=\"windows-1252\"?><gpx><wpt lat=\"1\" lon=\"2\"/></gpx>",
         "1 2 - - | - | -", false},
        {"a document expat refuses is expat's, read whole by the scan",
         "<gpx><wpt lat=\"1\" lon=\"2\"/></gpx><wpt lat=\"3\" lon=\"4\"/>", "error", false},
    };
    for (const auto &c : cases) {
        for (const std::size_t chunk : {0, 1, 5}) {
            SCOPED_TRACE(std::string(c.name) + ", chunk " + std::to_string(chunk));
            bool scanned = !c.scanned;
            const GpxResult r = read(c.doc, chunk, &scanned);
            EXPECT_EQ(scanned, c.scanned);
            if (!r.ok()) {
                EXPECT_EQ(c.points, "error");
                continue;
            }
            ASSERT_EQ(r.points.size(), 1u);
            const auto part = [](std::optional<std::string_view> v) { return v ? std::string(*v) : "-"; };
            EXPECT_EQ(pointTexts(r.points)[0] + " | " + part(r.points[0].attribute("sym")) + " | " +
                          part(r.points[0].attribute("desc")),
                      c.points);
        }
    }
}

TEST(Reader, TheCorpusReadsTheSameBothWays) {
    PELORIN_REQUIRE_SHARED();
    namespace fs = std::filesystem;
    std::size_t files = 0, scanned = 0;
    for (const auto &entry : fs::directory_iterator(fs::path(test::sharedDir()) / "corpus" / "gpx")) {
        if (entry.path().extension() != ".gpx")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string doc((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (const std::size_t chunk : {0, 7}) {
            bool byScan = false;
            read(doc, chunk, &byScan);
            scanned += byScan;
        }
        ++files;
    }
    EXPECT_GT(files, 30u);
    EXPECT_GT(scanned, files); // most of them, in both chunk sizes
}

TEST(GpxFile, StreamsAFileOfManyChunksLikeTheSameBytesAndCanCancel) {
    std::string doc = "<?xml version=\"1.0\"?>\n<gpx><trk><trkseg>\n";
    for (int i = 0; i < 10'000; ++i) // the one bad point far past the first read
        doc += std::string("<trkpt lat=\"") + (i == 9000 ? "95" : "48.1") +
               "\" lon=\"11.5\"><ele> 500.5</ele><time>2009-05-01T10:00:00Z</time></trkpt>\n";
    doc += "</trkseg></trk></gpx>\n";
    namespace fs = std::filesystem;
    const fs::path path = fs::temp_directory_path() / ("pelorin-gpx-" + std::to_string(::getpid()) + ".gpx");
    std::ofstream(path, std::ios::binary) << doc;

    std::uint64_t lastSeen = 0;
    int calls = 0;
    GpxReader reader;
    const GpxResult fromFile =
        reader.parseGPXFile(path.string(), [&](std::uint64_t read, std::uint64_t total) {
            EXPECT_GT(read, lastSeen);
            EXPECT_EQ(total, doc.size());
            lastSeen = read;
            ++calls;
            return true;
        });
    ASSERT_TRUE(fromFile.ok()) << fromFile.error->description;
    EXPECT_EQ(fromFile.points, reader.parseGPXBytes(doc).points);
    GpxReader twoCores;
    twoCores.setReadOnTwoCores(true);
    twoCores.setVerdictLater(true);
    EXPECT_EQ(twoCores.parseGPXFile(path.string()).points, fromFile.points);
    EXPECT_TRUE(twoCores.lastReadScanned() && twoCores.expatAgrees());
    EXPECT_EQ(fromFile.points.size(), 10000u);
    ASSERT_EQ(fromFile.badCoordinates.size(), 1u);
    const BadCoordinatePoint &bad = fromFile.badCoordinates[0];
    EXPECT_EQ(std::tuple(bad.index, bad.line, bad.column), std::tuple(std::size_t{9000}, 9003L, 1L));
    EXPECT_EQ(lastSeen, doc.size());
    EXPECT_GE(calls, 4);

    const GpxResult cancelled = reader.parseGPXFile(path.string(), [](auto, auto) { return false; });
    ASSERT_FALSE(cancelled.ok());
    EXPECT_EQ(cancelled.error->kind, GpxError::Kind::Cancelled);
    EXPECT_LT(cancelled.points.size(), 10000u);

    // What is not a log is refused without reading (a pipe without a writer must not hang).
    const std::string missing = path.string() + ".missing", pipe = path.string() + ".pipe", folder = "/tmp";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::pair<std::string, std::string> refused[] = {
        {missing, "cannot open \"" + missing + "\": No such file or directory"},
        {folder, "\"/tmp\" is a folder, not a GPS log file"},
        {pipe, "\"" + pipe + "\" is a pipe, not a GPS log file"},
        {"/dev/null", "\"/dev/null\" is a device, not a GPS log file"},
    };
    for (const auto &[file, description] : refused) {
        const GpxResult r = reader.parseGPXFile(file);
        ASSERT_FALSE(r.ok()) << file;
        EXPECT_EQ(r.error->kind, GpxError::Kind::Unreadable);
        EXPECT_EQ(r.error->description, description);
    }
    // Left for later, a verdict against the scan is no result: the caller reads again.
    std::ofstream(path, std::ios::binary) << doc.substr(0, doc.size() - 7) << "</gpxx>\n";
    EXPECT_EQ(twoCores.parseGPXFile(path.string()).points.size(), 10000u);
    EXPECT_FALSE(twoCores.expatAgrees());
    twoCores.setVerdictLater(false);
    const GpxResult byExpat = twoCores.parseGPXFile(path.string());
    ASSERT_FALSE(byExpat.ok());
    EXPECT_EQ(std::tuple(byExpat.error->code, byExpat.error->line, byExpat.error->column,
                         twoCores.lastReadScanned()),
              std::tuple(7, 10003L, 18L, false));
    fs::remove(path);
    fs::remove(pipe);
}

} // namespace
} // namespace pelorin
