#include "SurveyDocuments.h"
#include "WrittenKml.h"
#include "host/TestFiles.h"
#include "map/GeoJsonReader.h"
#include "map/KmlReader.h"
#include "map/MapFileReader.h"
#include "map/TileMath.h"

#include <gtest/gtest.h>

using namespace pelorin;
using pelorin::test::writtenKml;

// Places' species, kinds and files are checked through the map window's legend and pins, which need them.
TEST(KmlReader, ReadsTheWritersAndTheSurveyDocument) {
    EXPECT_EQ(parseKml(surveyKml()).document.tracks.size(), 2u) << "one line per segment";

    const KmlReadResult result = parseKml(writtenKml());
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    const KmlDocument &doc = result.document;
    ASSERT_EQ(doc.tracks.size(), 1u);
    const KmlTrack &track = doc.tracks[0];
    // The colour #990000ff: aabbggrr.
    EXPECT_EQ(std::tuple(doc.name, track.color, track.width, doc.places.size()),
              std::tuple(QStringLiteral("Evening & night"), QColor(0xff, 0x00, 0x00, 0x99), 6, 2u));
    ASSERT_EQ(track.points.size(), 3u);
}

TEST(MapFileReaders, RefuseBrokenDocumentsWithAMessage) {
    const struct {
        KmlReadResult (*parse)(const QByteArray &);
        const char *text, *messagePart;
    } cases[] = {
        {parseKml, "  \n", "empty"},
        {parseKml, "<kml><Document></Documen></kml>",
         "not well-formed XML: mismatched tag (line 1, column 18)"},
        {parseKml, "<gpx><trk/></gpx>", "not a KML document"},
        {parseKml, "<kml><Placemark><LineString><coordinates></coordinates></LineString></Placemark></kml>",
         "no track"},
        {parseKml, "<kml><Placemark><Point><coordinates>1,2,x</coordinates></Point></Placemark></kml>",
         "Bad coordinate \"1,2,x\" (line 1)"},
        {parseGeoJson, "{\"type\": ", "well-formed"},
        {parseGeoJson, "{\"type\": \"Topology\"}", "feature collection"},
        {parseGeoJson, R"({"type": "Feature", "geometry": {"type": "Point", "coordinates": ["east", 45]}})",
         "Bad coordinate \"[\"east\",45]\"."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const KmlReadResult result = c.parse(c.text);
        EXPECT_FALSE(result.ok());
        EXPECT_TRUE(result.error.contains(QLatin1String(c.messagePart), Qt::CaseInsensitive))
            << result.error.toStdString();
    }
}

// A file is read in pieces of 64 KiB: a tuple cut in two by a piece's end is read whole.
TEST(KmlReader, ReadsTuplesThatSpanTheFilesPieces) {
    QTemporaryDir dir;
    QByteArray kml = "<kml><Placemark><LineString><coordinates>9,48 ";
    kml += QByteArray((1 << 16) - 4 - kml.size(), ' ') + "12.3456789,51.2345678,101.5 ";
    kml += "</coordinates></LineString></Placemark></kml>";
    const KmlReadResult result = readMapFile(writeFile(dir, "long.kml", kml));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    const std::vector<GeoPoint> &points = result.document.tracks.at(0).points;
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(std::tuple(points[0].lat, points[0].lon, points[1].lat, points[1].lon),
              std::tuple(48.0, 9.0, 51.2345678, 12.3456789));
}

TEST(TileMath, TilesAroundAPoint) {
    // Known tiles: Stuttgart at zoom 12, and the corners of the world.
    EXPECT_EQ((std::vector{tileAt({48.7758, 9.1829}, 12), tileAt({89.9, -180}, 3), tileAt({-89.9, 180}, 3)}),
              (std::vector<TileId>{{12, 2152, 1410}, {3, 0, 0}, {3, 7, 7}}));
    // About 0.4 m a pixel at 48.8° is zoom 18; more than the server has is its last zoom.
    EXPECT_EQ(
        (std::vector{tileZoomFor(0.39, 48.8, 19), tileZoomFor(0.01, 48.8, 19), tileZoomFor(1e9, 48.8, 19)}),
        (std::vector{18, 19, 0}));
    EXPECT_EQ(tilesCovering({48.85, 9.5}, {48.86, 9.52}, 15, 64).size(), 9u); // 3 columns by 3 rows
    EXPECT_TRUE(tilesCovering({40, 0}, {50, 20}, 15, 64).empty()) << "no bulk download";
}
