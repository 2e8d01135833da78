#include "documents/KmlWriter.h"
#include "documents/KmlTrackStream.h"
#include "georef/TrackFixtures.h"
#include "gpx/GpxReader.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <tuple>
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
    for (const KmlOptions &options :
         {KmlOptions{"", "", false, true, false}, KmlOptions{"", "", false, false, true}}) {
        const std::string kml = kmlDocument(options, TrackView{points, arranged}, {});
        EXPECT_NE(kml.find("<coordinates>6.000000,5.000000,0\n2.000000,1.000000,0\n4.000000,3.000000,0\n</"),
                  std::string::npos)
            << kml;
        EXPECT_EQ(kml.find("<tessellate>"), std::string::npos);
    }
    EXPECT_TRUE(document({}, {}).ends_with("        </Placemark>\n    </Document>\n</kml>\n"));
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
        {"\xc3\xa9\xf0\x9f\xa6\x87\xef\xbf\xbd\xef\xbf\xbe", "\xc3\xa9\xf0\x9f\xa6\x87\xef\xbf\xbd"},
        // Not UTF-8: stray bytes, overlong, a surrogate, beyond U+10FFFF, cut short.
        {"bad\xff\x80\xc0\xaf\xed\xa0\x80\xf4\x90\x80\x80\xc3", "bad"},
        // Overlong three- and four-byte forms (of '/', U+07FF, U+FFFD), beside the shortest ones.
        {"3:\xe0\x80\xaf\xe0\x9f\xbf\xe0\xa0\x80", "3:\xe0\xa0\x80"},
        {"4:\xf0\x80\x80\xaf\xf0\x8f\xbf\xbd\xf0\x90\x80\x80", "4:\xf0\x90\x80\x80"},
    };
    for (const auto &[text, xml] : cases) {
        std::string out = "=";
        appendXmlText(out, text);
        EXPECT_EQ(out, "=" + xml) << text;
    }
}

// count points from first on; each with an `ele` when withEle says so for its index.
template <typename WithEle>
std::string points(int first, int count, WithEle withEle, const std::string &tag = "trkpt") {
    std::string text;
    for (int i = first; i < first + count; ++i) {
        text += "<" + tag + " lat=\"51." + std::to_string(100000 + i) + "\" lon=\"-0." +
                std::to_string(i % 977) + "\">";
        if (withEle(i))
            text += "<ele>" + std::to_string(i % 300) + ".5</ele>";
        text += "<time>2024-05-01T19:30:00Z</time></" + tag + ">\n";
    }
    return text;
}

std::string gpx(const std::string &body) {
    return "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\">" + body + "</gpx>\n";
}

std::string track(const std::string &trkpts) {
    return "<trk><trkseg>\n" + trkpts + "</trkseg></trk>";
}

const auto kAlways = [](int) { return true; };
const auto kNever = [](int) { return false; };

// The streamed bytes, how many track lines went ahead, and the one-threaded writer's document.
std::tuple<std::string, std::size_t, std::string> stream(const std::string &document, KmlOptions options) {
    const std::vector<GeoRefRecord> records = {{"Ppip", "File a.wav", 51.25, -0.5},
                                               {"Nnoc & Ppip", "b", 1, 2}};
    std::string bytes;
    std::size_t ahead = 0;
    GpxResult read;
    {
        KmlTrackStream kml(options, [&](std::string_view piece) { bytes += piece; });
        GpxReader reader;
        reader.setReadOnTwoCores(true); // as the command reads
        reader.setPointObserver([&](const TrackPoint &point, bool soFar) { kml.add(point, soFar); });
        read = reader.parseGPXBytes(document, 4096);
        EXPECT_TRUE(read.ok());
        kml.finish(read.hasElevation, read.points, records);
        ahead = kml.linesAhead();
    }
    options.hasElevation = read.hasElevation;
    return {bytes, ahead, kmlDocument(options, TrackView{read.points, {}}, records)};
}

// Logs with an elevation everywhere or nowhere are compared with the one-threaded output by the command's
// tests.
TEST(KmlTrackStream, WritesTheBytesOfTheOneThreadedWriter) {
    const auto later = [](int i) { return i >= 3000; };
    const struct {
        const char *name;
        std::string document;
        std::size_t pointCount;
        std::size_t linesAheadWithElevation; // with --elevation; without it every line goes ahead
    } cases[] = {
        {"elevation only on later points", gpx(track(points(0, 9000, later))), 9000, 9000},
        {"waypoints ahead of the track", gpx(points(0, 50, kNever, "wpt") + track(points(50, 5000, later))),
         5050, 5050},
        // An "elevation" attribute before any `ele`: whether it shows depends on the rest of the log.
        {"elevation attribute, an ele later",
         gpx(track(points(0, 100, kNever) + "<trkpt lat=\"1\" lon=\"2\" elevation=\"7\"/>\n" +
                   points(101, 5000, later))),
         5101, 100},
        {"elevation attribute, no ele at all",
         gpx(track(points(0, 100, kNever) + "<trkpt lat=\"1\" lon=\"2\" elevation=\"7\"/>\n" +
                   points(101, 500, kNever))),
         601, 100},
        // An elevation of 0 reads the same either way, and so does an empty one.
        {"zero and blank elevations first",
         gpx(track("<trkpt lat=\"1\" lon=\"2\" elevation=\"0\"/><trkpt lat=\"1\" lon=\"2\" elevation=\"\"/>" +
                   points(2, 10, kAlways))),
         12, 12},
        {"elevation attribute that ends like a zero",
         gpx(track("<trkpt lat=\"1\" lon=\"2\" elevation=\"5&#10;,0\"/>" + points(1, 10, kNever))), 11, 0},
        {"points without coordinates", gpx(track("<trkpt/><trkpt lat=\"1\"><ele>2</ele></trkpt><trkpt/>")), 3,
         3},
        {"empty log", gpx(""), 0, 0},
    };
    for (const auto &c : cases) {
        for (const bool elevation : {false, true}) {
            for (const bool tessellate : {false, true}) {
                SCOPED_TRACE(std::string(c.name) + (elevation ? ", --elevation" : "") +
                             (tessellate ? ", --tessellate" : ""));
                const KmlOptions options{"Walk <1>", "Meadow & stream", tessellate, elevation, false};
                const auto [bytes, ahead, oneThread] = stream(c.document, options);
                EXPECT_EQ(bytes, oneThread);
                EXPECT_EQ(ahead, elevation ? c.linesAheadWithElevation : c.pointCount);
            }
        }
    }
}

TEST(KmlTrackStream, AbandonedWritesNoMoreAndFinishRethrowsTheSinksFailure) {
    const std::string document = gpx(track(points(0, 20000, kAlways)));
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
