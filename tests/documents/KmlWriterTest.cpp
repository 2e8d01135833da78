#include "documents/KmlWriter.h"
#include "documents/KmlTrackStream.h"
#include "georef/TrackFixtures.h"
#include "gpx/GpxReader.h"

#include <gtest/gtest.h>
#include <stdexcept>
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

TEST(KmlWriter, WritesTheWholeDocument) {
    const KmlOptions options{"Evening walk", "Stream\nmeadow", true, true, true};
    const std::vector<TrackPoint> points = {point("48.85", "9.5", kStart, "312.4"),
                                            point("48.8512", "9.5003", kStart + 1s),
                                            point("48.8513", "9.5004", kStart + 2s, "")};
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
9.500400,48.851299,0
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

TEST(KmlWriter, WritesTheArrangedTrackWithElevationsAndTessellationOnlyWhenAsked) {
    const std::vector<TrackPoint> points = {point("1", "2", kStart, "12.5"),
                                            point("3", "4", std::nullopt, ""), point("5", "6", kStart + 1s)};
    const std::vector<std::uint32_t> arranged = {2, 0, 1};
    const std::string kml =
        kmlDocument(KmlOptions{"", "", false, false, true}, TrackView{points, arranged}, {});
    EXPECT_NE(kml.find("<coordinates>6.000000,5.000000,0\n2.000000,1.000000,0\n4.000000,3.000000,0\n</"),
              std::string::npos)
        << kml;
    EXPECT_EQ(kml.find("<tessellate>"), std::string::npos);
}

TEST(KmlWriter, EscapesAndCleansEveryText) {
    const KmlOptions options{"&<>\x01", "a\x02&b", false, true, true};
    const std::vector<TrackPoint> points = {point("1", "2", kStart, "5<\x03"),
                                            point("3", "4", kStart, "\x01\x02")};
    const std::vector<GeoRefRecord> records = {{"P&p", "File <x>\x1b\nTime 10:00:00", 1, 2}};
    const std::string kml = document(options, points, records);
    for (const char *expected : {"<name>&amp;&lt;&gt;</name>", "<description>a&amp;b</description>",
                                 "2.000000,1.000000,5&lt;\n", "4.000000,3.000000,0\n", "<name>P&amp;p</name>",
                                 "<description>File &lt;x&gt;\nTime 10:00:00</description>"})
        EXPECT_NE(kml.find(expected), std::string::npos) << expected;

    const std::pair<std::string, std::string> cases[] = {
        {std::string("nul\0\x1f\t\n\x7f", 8), "nul\t\n\x7f"},
        {"cr\r\n", "cr&#13;\n"}, // a literal CR would read back as a line feed
        // Not UTF-8: stray bytes, overlong, a surrogate, beyond U+10FFFF, cut short.
        {"bad\xff\x80\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80\xc3", "bad"},
    };
    for (const auto &[text, xml] : cases) {
        std::string out = "=";
        appendXmlText(out, text);
        EXPECT_EQ(out, "=" + xml) << text;
    }
}

// A log of count track points, each with an elevation.
std::string gpxLog(int count) {
    std::string text = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\"><trk><trkseg>\n";
    for (int i = 0; i < count; ++i)
        text += "<trkpt lat=\"51." + std::to_string(100000 + i) + "\" lon=\"-0." + std::to_string(i % 977) +
                "\"><ele>" + std::to_string(i % 300) + ".5</ele><time>2024-05-01T19:30:00Z</time></trkpt>\n";
    return text + "</trkseg></trk></gpx>\n";
}

TEST(KmlTrackStream, AbandonedWritesNoMoreAndFinishRethrowsTheSinksFailure) {
    const std::string document = gpxLog(20000);
    std::string bytes;
    {
        KmlTrackStream kml({}, [&](std::string_view piece) { bytes += piece; });
        GpxReader reader;
        reader.setPointObserver([&](const TrackPoint &point, bool soFar) { kml.add(point, soFar); });
        EXPECT_TRUE(reader.parseGPXBytes(document).ok());
        kml.abandon();
        const std::size_t size = bytes.size();
        kml.abandon();
        EXPECT_EQ(bytes.size(), size);
    } // the destructor after abandon is harmless

    KmlTrackStream failing({}, [](std::string_view) { throw std::runtime_error("disk full"); });
    GpxReader reader;
    reader.setPointObserver([&](const TrackPoint &point, bool soFar) { failing.add(point, soFar); });
    const GpxResult read = reader.parseGPXBytes(document);
    EXPECT_THROW(failing.finish(read.hasElevation, read.points, {}), std::runtime_error);
}

} // namespace
} // namespace pelorin
