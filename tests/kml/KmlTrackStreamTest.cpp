#include "kml/KmlTrackStream.h"

#include "gpx/GpxReader.h"
#include "kml/KmlWriter.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace pelorin {
namespace {

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

struct Streamed {
    std::string bytes;
    std::size_t linesAhead = 0;
    std::string oneThread; // the same document from the one-threaded writer
};

Streamed stream(const std::string &document, const KmlOptions &options) {
    const std::vector<GeoRefRecord> records = {{"Ppip", "File a.wav", 51.25, -0.5},
                                               {"Nnoc & Ppip", "b", 1, 2}};
    Streamed result;
    GpxResult read;
    {
        KmlTrackStream kml(options, [&](std::string_view bytes) { result.bytes += bytes; });
        GpxReader reader;
        reader.setPointObserver([&](const TrackPoint &point, bool soFar) { kml.add(point, soFar); });
        read = reader.parseGPXBytes(document, 4096);
        EXPECT_TRUE(read.ok());
        kml.finish(read.hasElevation, read.points, records);
        result.linesAhead = kml.linesAhead();
    }
    KmlOptions final = options;
    final.hasElevation = read.hasElevation;
    result.oneThread = kmlDocument(final, TrackView{read.points, {}}, records);
    return result;
}

struct Case {
    const char *name;
    std::string document;
    std::size_t pointCount;
    std::size_t linesAheadWithElevation; // with --elevation; without it every line goes ahead
};

TEST(KmlTrackStream, WritesTheBytesOfTheOneThreadedWriter) {
    const auto later = [](int i) { return i >= 3000; };
    const std::vector<Case> cases = {
        {"elevation everywhere", gpx(track(points(0, 9000, kAlways))), 9000, 9000},
        {"no elevation", gpx(track(points(0, 9000, kNever))), 9000, 9000},
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
    for (const Case &c : cases) {
        for (const bool elevation : {false, true}) {
            for (const bool tessellate : {false, true}) {
                SCOPED_TRACE(std::string(c.name) + (elevation ? ", --elevation" : "") +
                             (tessellate ? ", --tessellate" : ""));
                const KmlOptions options{"Walk <1>", "Meadow & stream", tessellate, elevation, false};
                const Streamed streamed = stream(c.document, options);
                EXPECT_EQ(streamed.bytes, streamed.oneThread);
                EXPECT_EQ(streamed.linesAhead, elevation ? c.linesAheadWithElevation : c.pointCount);
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
