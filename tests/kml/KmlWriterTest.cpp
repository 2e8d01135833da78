#include "kml/KmlWriter.h"

#include "georef/NumberText.h"
#include "georef/TrackFixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelorin {
namespace {

using namespace std::chrono_literals;
using test::kStart;
using test::point;

std::string document(const KmlOptions &options, const std::vector<TrackPoint> &points,
                     const std::vector<GeoRefRecord> &records = {}) {
    return kmlDocument(options, TrackView{points, {}}, records);
}

// The track text between <coordinates> and </coordinates>.
std::string trackText(const std::string &kml) {
    const std::size_t start = kml.find("<coordinates>") + 13;
    return kml.substr(start, kml.find("</coordinates>") - start);
}

TEST(KmlWriter, WritesTheWholeDocument) {
    const KmlOptions options{"Evening walk", "Stream\nmeadow", true, true, true};
    const std::vector<TrackPoint> points = {point("48.85", "9.5", kStart, "312.4"),
                                            point("48.8512", "9.5003", kStart + 1s)};
    const std::vector<GeoRefRecord> records = {{"Ppip,Nnoc", "File rec1\nTime 12:00:01", 48.85f, 9.5f}};
    EXPECT_EQ(document(options, points, records), R"(<?xml version="1.0" encoding="UTF-8"?>
<kml xmlns="http://www.opengis.net/kml/2.2">
    <Document>
        <Style id="pathStyle">
            <LineStyle>
                <color>#990000ff</color>
                <width>6</width>
            </LineStyle>
        </Style>
        <name>Evening walk</name>
        <description>Stream
meadow</description>
        <Placemark>
            <name>Transekt</name>
            <styleUrl>#pathStyle</styleUrl>
            <LineString>
                <tessellate>1</tessellate>
                <coordinates>9.500000,48.849998,312.4
9.500300,48.851200,0
</coordinates>
            </LineString>
        </Placemark>
        <Placemark>
            <name>Ppip,Nnoc</name>
            <description>File rec1
Time 12:00:01</description>
            <Point>
                <coordinates>9.500000,48.849998</coordinates>
            </Point>
        </Placemark>
    </Document>
</kml>
)");
}

TEST(KmlWriter, EmptyInputsStillMakeACompleteDocument) {
    const std::string kml = document({}, {});
    EXPECT_NE(kml.find("<name></name>\n        <description></description>"), std::string::npos);
    EXPECT_NE(kml.find("<coordinates></coordinates>"), std::string::npos);
    EXPECT_EQ(kml.find("<tessellate>"), std::string::npos); // off means no element at all
    EXPECT_EQ(kml.find("<Point>"), std::string::npos);
    EXPECT_TRUE(kml.ends_with("        </Placemark>\n    </Document>\n</kml>\n"));
}

TEST(KmlWriter, EscapesAndCleansEveryText) {
    const KmlOptions options{"&<>\x01", "a\x02&b", false, true, true};
    const std::vector<TrackPoint> points = {point("1", "2", kStart, "5<\x03")};
    const std::vector<GeoRefRecord> records = {{"P&p", "File <x>\x7f\x1b\nTime 10:00:00", 1, 2}};
    const std::string kml = document(options, points, records);
    for (const char *expected :
         {"<name>&amp;&lt;&gt;</name>", "<description>a&amp;b</description>", "2.000000,1.000000,5&lt;\n",
          "<name>P&amp;p</name>", "<description>File &lt;x&gt;\x7f\nTime 10:00:00</description>"})
        EXPECT_NE(kml.find(expected), std::string::npos) << expected;
}

TEST(KmlWriter, WritesElevationsOnlyInElevationMode) {
    const std::vector<TrackPoint> points = {point("1", "2", kStart, "12.5"), point("3", "4", kStart),
                                            point("5", "6", kStart, "")};
    const struct {
        bool checkbox, hasElevation;
        const char *track;
    } cases[] = {
        {true, true, "2.000000,1.000000,12.5\n4.000000,3.000000,0\n6.000000,5.000000,0\n"},
        {true, false, "2.000000,1.000000,0\n4.000000,3.000000,0\n6.000000,5.000000,0\n"},
        {false, true, "2.000000,1.000000,0\n4.000000,3.000000,0\n6.000000,5.000000,0\n"},
    };
    for (const auto &c : cases) {
        KmlOptions options;
        options.elevation = c.checkbox;
        options.hasElevation = c.hasElevation;
        EXPECT_EQ(trackText(document(options, points)), c.track) << c.checkbox << c.hasElevation;
    }
}

TEST(KmlWriter, PrintsCoordinatesFromTheir32BitReading) {
    const std::vector<TrackPoint> points = {point("52.5200066", "-0.1277583", kStart)};
    const std::vector<GeoRefRecord> records = {
        {"Ppip", "d", floatValue("52.5200066"), floatValue("-0.1277583")}};
    const std::string kml = document({}, points, records);
    EXPECT_EQ(trackText(kml), "-0.127758,52.520008,0\n");
    EXPECT_NE(kml.find("<coordinates>-0.127758,52.520008</coordinates>"), std::string::npos);
}

TEST(KmlWriter, WritesTheTrackInTheArrangedOrder) {
    const std::vector<TrackPoint> points = {point("1", "1", kStart), point("2", "2", std::nullopt),
                                            point("3", "3", kStart + 1s)};
    const std::vector<std::uint32_t> arranged = {2, 0, 1};
    const std::string kml = kmlDocument({}, TrackView{points, arranged}, {});
    EXPECT_EQ(trackText(kml), "3.000000,3.000000,0\n1.000000,1.000000,0\n2.000000,2.000000,0\n");
}

TEST(KmlWriter, StreamsInPiecesThatMakeTheSameDocument) {
    std::vector<TrackPoint> points;
    for (int i = 0; i < 5000; ++i)
        points.push_back(point("48." + std::to_string(i), "9." + std::to_string(i), kStart + i * 1s, "100"));
    const std::vector<GeoRefRecord> records(300, GeoRefRecord{"Ppip", "File x\nTime 10:00:00", 48.5f, 9.5f});
    const KmlOptions options{"T", "D", true, true, true};

    std::string streamed;
    std::size_t pieces = 0, largest = 0;
    writeKmlDocument(options, TrackView{points, {}}, records, [&](std::string_view bytes) {
        streamed += bytes;
        ++pieces;
        largest = std::max(largest, bytes.size());
    });
    EXPECT_EQ(streamed, kmlDocument(options, TrackView{points, {}}, records));
    EXPECT_GT(pieces, 2u);
    EXPECT_LE(largest, 64u * 1024 + 1024);
}

TEST(XmlText, EscapesReservedAndDropsWhatXmlCannotCarry) {
    const struct {
        std::string text, xml;
    } cases[] = {
        {"Tom & Jerry <3> \"'", "Tom &amp; Jerry &lt;3&gt; \"'"},
        {"a\x01"
         "b\x1f\x7f",
         "ab\x7f"},
        {std::string("nul\0byte", 8), "nulbyte"},
        {"tab\tline\nend", "tab\tline\nend"},
        {"cr\r\n", "cr&#13;\n"}, // a literal CR would read back as a line feed
        {"Fledermaus \xc3\xa9t\xc3\xa9 \xe2\x82\xac \xf0\x9f\xa6\x87",
         "Fledermaus \xc3\xa9t\xc3\xa9 \xe2\x82\xac \xf0\x9f\xa6\x87"},
        {"bad\xff\xfe", "bad"},
        {"cut\xc3", "cut"},
        {"stray\x80\xbf!", "stray!"},
        {"overlong\xc0\xaf\xe0\x80\xaf", "overlong"},
        {"surrogate\xed\xa0\x80", "surrogate"},
        {"nonchar\xef\xbf\xbe\xef\xbf\xbf\xef\xbf\xbd", "nonchar\xef\xbf\xbd"},
        {"beyond\xf4\x90\x80\x80", "beyond"},
        {"", ""},
    };
    for (const auto &c : cases) {
        std::string out = "=";
        appendXmlText(out, c.text);
        EXPECT_EQ(out, "=" + c.xml) << c.text;
    }
}

} // namespace
} // namespace pelorin
