#include "gpx/GpxReader.h"
#include "PointText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelorin {
namespace {

// 2009-05-01T10:00:00Z
const std::string kT = "1241172000";

GpxResult read(std::string_view doc, std::size_t chunkSize = 0) {
    GpxReader reader;
    return reader.parseGPXBytes(doc, chunkSize);
}

struct DocCase {
    const char *name;
    std::string doc;
    std::vector<std::string> points;
    bool hasElevation;
};

class ReaderTable : public testing::TestWithParam<DocCase> {};

TEST_P(ReaderTable, ReadsPointsWhateverTheChunkSize) {
    const DocCase &c = GetParam();
    for (std::size_t chunk : {0, 1, 7, 4096}) {
        const GpxResult r = read(c.doc, chunk);
        ASSERT_TRUE(r.ok()) << "chunk " << chunk << ": " << r.error->description << " at " << r.error->line
                            << ":" << r.error->column;
        EXPECT_EQ(pointTexts(r.points), c.points) << "chunk " << chunk;
        EXPECT_EQ(r.hasElevation, c.hasElevation) << "chunk " << chunk;
    }
}

std::string gpx(const std::string &body) {
    return "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\">" + body + "</gpx>";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReaderTable,
    testing::Values(
        DocCase{"TrackSegment",
                gpx("<trk><trkseg>\n"
                    "<trkpt lat=\"1\" lon=\"2\"><ele>10</ele><time>2009-05-01T10:00:00Z</time></trkpt>\n"
                    "<trkpt lat=\"3\" lon=\"4\"><ele>11</ele><time>2009-05-01T10:00:01Z</time></trkpt>\n"
                    "<trkpt lat=\"5\" lon=\"6\"><ele>12</ele><time>2009-05-01T10:00:02Z</time></trkpt>\n"
                    "</trkseg></trk>"),
                {"1 2 10 " + kT, "3 4 11 1241172001", "5 6 12 1241172002"},
                true},
        DocCase{"WaypointsAndTrackPointsInDocumentOrderRoutePointsIgnored",
                gpx("<wpt lat=\"1\" lon=\"1\"/><rte><rtept lat=\"9\" lon=\"9\"><ele>9</ele>"
                    "<time>2001-01-01T00:00:00Z</time></rtept></rte>"
                    "<trk><trkseg><trkpt lat=\"2\" lon=\"2\"/></trkseg></trk><wpt lat=\"3\" lon=\"3\"/>"),
                {"1 1 - -", "2 2 - -", "3 3 - -"},
                true},
        DocCase{"NoTimeNoElevation",
                gpx("<wpt lat=\"1\" lon=\"2\"><name>x</name></wpt><wpt/>"),
                {"1 2 - -", "- - - -"},
                false},
        DocCase{
            "NamesMatchExactly",
            gpx("<TRKPT lat=\"1\" lon=\"1\"/><gpx:trkpt lat=\"1\" lon=\"1\"/><trkpts lat=\"1\" lon=\"1\"/>"
                "<wpt lat=\"1\" lon=\"1\"><Time>2009-05-01T10:00:00Z</Time><ELE>3</ELE></wpt>"),
            {"1 1 - -"},
            false},
        DocCase{"MetadataTimeAndEleOutsidePointsReachNoPoint",
                gpx("<metadata><time>2001-01-01T00:00:00Z</time></metadata><ele>7</ele>"
                    "<wpt lat=\"1\" lon=\"1\"/><time>2002-01-01T00:00:00Z</time><ele>8</ele>"),
                {"1 1 - -"},
                true},
        DocCase{
            "TextIsTrimmedAfterCoalescing",
            gpx("<wpt><ele>\n    12.5\n  </ele></wpt><wpt><ele>1&#32;2</ele></wpt>"
                "<wpt><ele>a&amp;b &lt;c&gt;</ele></wpt><wpt><ele><![CDATA[ 1 ]]>2<![CDATA[<3 ]]></ele></wpt>"
                "<wpt><ele>\xC2\xA0\xE3\x80\x80 4\xC2\xA0"
                "5\xE2\x80\xA9\xC2\x85</ele></wpt><wpt><ele/></wpt>"),
            {"- - 12.5 -", "- - 1 2 -", "- - a&b <c> -", "- - 1 2<3 -",
             "- - 4\xC2\xA0"
             "5 -",
             "- -  -"},
            true},
        DocCase{"OnlyWhitespaceAndNewlinesAreTrimmed",
                gpx("<wpt><ele>\xE1\x9A\x80\xE2\x80\x8A\t\r1\xE2\x81\x9F</ele></wpt>" // U+1680 U+200A, U+205F
                    "<wpt><ele>\xE2\x80\x90"
                    "2\xC2\xA9</ele></wpt>" // U+2010, U+00A9 stay
                    "<wpt><ele>\xEF\xBB\xBF"
                    "3\xE2\x80\x8B</ele></wpt>"), // U+FEFF, U+200B stay
                {"- - 1 -",
                 "- - \xE2\x80\x90"
                 "2\xC2\xA9 -",
                 "- - \xEF\xBB\xBF"
                 "3\xE2\x80\x8B -"},
                true},
        DocCase{"CommentsAndInstructionsEndAPieceOfText",
                gpx("<wpt><ele> 1 <!-- c --> 2 </ele></wpt><wpt><ele>3 <?pi x?> 4</ele></wpt>"),
                {"- - 12 -", "- - 34 -"},
                true},
        DocCase{"LaterElementsReplaceEarlierOnes",
                gpx("<wpt time=\"t\" elevation=\"e\"><ele>1</ele><ele>2</ele>"
                    "<time>2001-01-01T00:00:00Z</time><time>2009-05-01T10:00:00Z</time></wpt>"),
                {"- - 2 " + kT},
                true},
        DocCase{
            "TimeOffsetsAreAppliedAndUnreadableTimesLeaveNoTime",
            gpx("<wpt><time>2009-05-01T12:00:00+02:00</time></wpt><wpt><time>2009-05-01T10:00:00.75</time></"
                "wpt>"
                "<wpt><time></time></wpt><wpt><time>2009-02-30T10:00:00Z</time></wpt>"
                "<wpt><time>garbage</time></wpt><wpt><time>2009-05-01T10:00:00Z</time><time>bad</time></wpt>"
                "<wpt><time>\n 2009-05-01T10:00:00Z\n</time></wpt>"),
            {"- - - " + kT, "- - - " + kT, "- - - -", "- - - -", "- - - -", "- - - -", "- - - " + kT},
            false},
        DocCase{"NestedPointLetsGoOfTheOuterOne",
                gpx("<wpt lat=\"1\"><trkpt lat=\"2\"/><ele>5</ele></wpt><wpt lat=\"3\"/>"),
                {"2 - - -", "3 - - -"},
                true}),
    [](const testing::TestParamInfo<DocCase> &info) { return std::string(info.param.name); });

TEST(Reader, KeepsEveryAttributeAsDelivered) {
    const GpxResult r = read(gpx("<wpt lon=\" 11.5 \" lat=\"48&#x2E;1\" sym=\"Flag, Blue\" a:b=\"c\"/>"));
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.points.size(), 1u);
    const TrackPoint &p = r.points[0];
    EXPECT_EQ(p.lat(), "48.1");
    EXPECT_EQ(p.lon(), " 11.5 ");
    EXPECT_EQ(p.attribute("sym"), "Flag, Blue");
    EXPECT_EQ(p.attribute("a:b"), "c");
}

TEST(Reader, ReportsParseErrorsWithLineAndColumnFromOne) {
    const GpxResult r = read("<gpx>\n<wpt lat=\"1\"/>\n  <trkpt></gpx>");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.error->kind, GpxError::Kind::Parse);
    EXPECT_EQ(r.error->code, 7); // XML_ERROR_TAG_MISMATCH
    EXPECT_EQ(r.error->description, "mismatched tag");
    EXPECT_EQ(r.error->line, 3);
    EXPECT_EQ(r.error->column, 12);                                       // at the name in "</gpx>"
    EXPECT_EQ(pointTexts(r.points), std::vector<std::string>{"1 - - -"}); // completed before the error

    const GpxResult empty = read("");
    ASSERT_FALSE(empty.ok());
    EXPECT_EQ(empty.error->line, 1);
    EXPECT_EQ(empty.error->column, 1);
}

TEST(Reader, RefusesEntityDeclarations) {
    for (const char *decl :
         {"<!ENTITY e \"x\">", "<!ENTITY e SYSTEM \"/etc/hostname\">", "<!ENTITY % p \"x\">"}) {
        const std::string doc =
            std::string("<!DOCTYPE gpx [\n  ") + decl + "\n]>\n<gpx><wpt><ele>1</ele></wpt></gpx>";
        for (std::size_t chunk : {0, 1}) {
            const GpxResult r = read(doc, chunk);
            ASSERT_FALSE(r.ok()) << decl;
            EXPECT_EQ(r.error->kind, GpxError::Kind::Parse);
            EXPECT_NE(r.error->description.find("entity"), std::string::npos);
            EXPECT_EQ(r.error->line, 2) << decl;
            EXPECT_GE(r.error->column, 3) << decl; // within the declaration
            EXPECT_TRUE(r.points.empty());
        }
    }
    // A DOCTYPE without entities, even with an external subset, is read; nothing is fetched.
    const GpxResult r = read("<!DOCTYPE gpx SYSTEM \"http://example.invalid/gpx.dtd\">"
                             "<gpx><wpt><ele>&undeclared;1</ele></wpt></gpx>");
    ASSERT_TRUE(r.ok()) << r.error->description;
    EXPECT_EQ(pointTexts(r.points), std::vector<std::string>{"- - 1 -"});
}

// UTF-16LE with its byte order mark.
std::string utf16le(std::u16string_view text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

TEST(Reader, ReadsTheEncodingsDevicesWrite) {
    struct Case {
        std::string doc;
        const char *lat;
    };
    const std::string body = "<gpx><wpt lat=\"\x80\xE9\x9F\x81\"/></gpx>";
    for (const Case &c : {
             Case{"<?xml version=\"1.0\" encoding=\"windows-1252\"?>" + body, "\u20AC\u00E9\u0178\u0081"},
             Case{"<?xml version=\"1.0\" encoding=\"CP1252\"?>" + body, "\u20AC\u00E9\u0178\u0081"},
             Case{"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + body, "\u0080\u00E9\u009F\u0081"},
             Case{utf16le(u"<gpx><wpt lat=\"\u20AC\"/></gpx>"), "\u20AC"},
         }) {
        const GpxResult r = read(c.doc, 3);
        ASSERT_TRUE(r.ok()) << r.error->description;
        ASSERT_EQ(r.points.size(), 1u);
        EXPECT_EQ(r.points[0].lat(), c.lat);
    }
    const GpxResult unknown = read("<?xml version=\"1.0\" encoding=\"x-unheard-of\"?><gpx/>");
    ASSERT_FALSE(unknown.ok());
    EXPECT_EQ(unknown.error->kind, GpxError::Kind::Parse);
}

TEST(Reader, EveryDocumentStartsAfresh) {
    GpxReader reader;
    // Stops inside an `ele` inside a point, with text collected and a flag set.
    const GpxResult failed =
        reader.parseGPXBytes("<gpx><wpt lat=\"1\"><ele>99<time>2009-05-01T10:00:00Z</gpx>");
    ASSERT_FALSE(failed.ok());
    EXPECT_TRUE(failed.points.empty());

    const GpxResult next =
        reader.parseGPXBytes(gpx("<time>2001-01-01T00:00:00Z</time><wpt lat=\"2\"><ele>5</ele></wpt>"));
    ASSERT_TRUE(next.ok());
    EXPECT_EQ(pointTexts(next.points), std::vector<std::string>{"2 - 5 -"});
    EXPECT_TRUE(next.hasElevation);

    const GpxResult third = reader.parseGPXBytes(gpx("<wpt lat=\"3\"/>"));
    ASSERT_TRUE(third.ok());
    EXPECT_EQ(pointTexts(third.points), std::vector<std::string>{"3 - - -"});
    EXPECT_FALSE(third.hasElevation);
}

} // namespace
} // namespace pelorin
