#include "SurveyDocuments.h"
#include "WrittenKml.h"
#include "host/TestFiles.h"
#include "map/GeoJsonReader.h"
#include "map/KmlReader.h"
#include "map/MapFileReader.h"
#include "map/PlaceFields.h"
#include "map/TileMath.h"

#include <gtest/gtest.h>

using namespace pelorin;
using pelorin::test::writtenKml;

TEST(PlaceFields, SpeciesAndRecordingNames) {
    const std::pair<const char *, QStringList> species[] = {
        {"Ppip,Nnoc", {"Ppip", "Nnoc"}}, {" Ppip ; Nnoc;", {"Ppip", "Nnoc"}}, {"No species", {}}, {"", {}},
        {"Ppip,Ppip", {"Ppip"}},
    };
    for (const auto &[text, expected] : species)
        EXPECT_EQ(speciesOf(QString::fromUtf8(text)), expected) << text;

    EXPECT_EQ(recordingFromDescription(QStringLiteral("File rec 1\nTime 21:35:17")), QStringLiteral("rec 1"));
    EXPECT_EQ(recordingFromDescription(QStringLiteral("Time 21:35:17")), QString());

    const std::tuple<const char *, const char *, bool> names[] = {
        {"rec1", "rec1.wav", true},   {"rec1.wav", "rec1.wav", true},  {"rec1.wav", "/card/rec1.wav", true},
        {"rec.1", "rec.1.wav", true}, {"rec1", "rec10.wav", false},    {"rec1.wav", "rec1", false},
        {"rec", "rec.2.wav", false},  {"rec1.wav", "rec1.WAV", false}, {"", "", false},
    };
    for (const auto &[inDocument, file, same] : names)
        EXPECT_EQ(sameRecording(QString::fromUtf8(inDocument), QString::fromUtf8(file)), same)
            << inDocument << " / " << file;
}

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
    EXPECT_NEAR(track.points[1].lat, 48.8512, 1e-5);
    EXPECT_NEAR(track.points[1].lon, 9.5003, 1e-5);
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
        {parseKml,
         "<kml><Placemark><name>a<b/></name><Point><coordinates>1,2</coordinates></Point></Placemark></kml>",
         "not well-formed XML: Expected character data. (line 1, column 28)"},
        {parseKml, "<kml><Placemark><LineString><coordinates></coordinates></LineString></Placemark></kml>",
         "no track"},
        {parseKml, "<kml><Placemark><Point><coordinates>12</coordinates></Point></Placemark></kml>",
         "Bad coordinate"},
        {parseKml, "<kml><Placemark><Point><coordinates>10,95</coordinates></Point></Placemark></kml>",
         "Bad coordinate"},
        {parseKml, "<kml><Placemark><Point><coordinates>1,2,x</coordinates></Point></Placemark></kml>",
         "Bad coordinate \"1,2,x\" (line 1)"},
        {parseGeoJson, "", "empty"},
        {parseGeoJson, "{\"type\": ", "well-formed"},
        {parseGeoJson, "[1, 2]", "feature collection"},
        {parseGeoJson, "{\"type\": \"Topology\"}", "feature collection"},
        {parseGeoJson, R"({"type": "Feature", "geometry": {"type": "Point", "coordinates": [9.5, 95]}})",
         "Bad coordinate"},
        {parseGeoJson, R"({"type": "Feature", "geometry": {"type": "Point", "coordinates": ["east", 45]}})",
         "Bad coordinate \"[\"east\",45]\"."},
        {parseGeoJson, R"({"type": "Feature", "geometry": {"type": "Point", "coordinates": [9.5, "north"]}})",
         "Bad coordinate \"[9.5,\"north\"]\"."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const KmlReadResult result = c.parse(c.text);
        EXPECT_FALSE(result.ok());
        EXPECT_TRUE(result.error.contains(QLatin1String(c.messagePart), Qt::CaseInsensitive))
            << result.error.toStdString();
    }
}

// A file is read in pieces of 64 KiB: a tuple cut in two by a piece's end is read whole, good or bad.
TEST(KmlReader, ReadsTuplesThatSpanTheFilesPieces) {
    QTemporaryDir dir;
    for (const char *tuple : {"12.3456789,51.2345678,101.5", "9.5,north"}) {
        QByteArray kml = "<kml><Placemark><LineString><coordinates>9,48 ";
        kml += QByteArray((1 << 16) - 4 - kml.size(), ' ') + tuple + ' ';
        kml += "</coordinates></LineString></Placemark></kml>";
        const KmlReadResult result = readMapFile(writeFile(dir, "long.kml", kml));
        if (tuple[0] == '9') {
            EXPECT_TRUE(result.error.contains(QLatin1String("\"9.5,north\""))) << result.error.toStdString();
            continue;
        }
        ASSERT_TRUE(result.ok()) << result.error.toStdString();
        const std::vector<GeoPoint> &points = result.document.tracks.at(0).points;
        ASSERT_EQ(points.size(), 2u);
        EXPECT_EQ(std::tuple(points[0].lat, points[0].lon, points[1].lat, points[1].lon),
                  std::tuple(48.0, 9.0, 51.2345678, 12.3456789));
    }
}

TEST(GeoJsonReader, ReadsTracksWaypointsAndRecordings) {
    const QByteArray json = R"({"type": "FeatureCollection", "name": "Meadow", "features": [
        {"type": "Feature", "properties": {"name": "Track"}, "geometry": {"type": "MultiLineString",
         "coordinates": [[[9.5, 48.85], [9.501, 48.851]], [[9.503, 48.852, 310], [9.504, 48.853]]]}},
        {"type": "Feature", "properties": {"kind": "waypoint", "name": "Gate"},
         "geometry": {"type": "Point", "coordinates": [9.52, 48.87]}},
        {"type": "Feature", "properties": {"kind": "recording", "filename": "rec1.wav", "species": "Ppip;Nnoc"},
         "geometry": {"type": "Point", "coordinates": [9.502, 48.8508]}}]})";
    const KmlReadResult result = parseGeoJson(json);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.document.name, QStringLiteral("Meadow"));
    ASSERT_EQ(result.document.tracks.size(), 2u);
    EXPECT_NEAR(result.document.tracks[1].points[0].lat, 48.852, 1e-9);
    ASSERT_EQ(result.document.places.size(), 2u);
    // The recording's kind and file: the map window's colour test.
    EXPECT_EQ(std::tuple(result.document.places[0].kind, result.document.places[1].species,
                         result.document.places[1].name),
              std::tuple(PlaceKind::Waypoint, QStringList{"Ppip", "Nnoc"}, QStringLiteral("Ppip,Nnoc")));
}

TEST(TileMath, TilesAroundAPoint) {
    // Known tiles: Stuttgart at zoom 12, and the corners of the world.
    EXPECT_EQ((std::vector{tileAt({48.7758, 9.1829}, 12), tileAt({89.9, -180}, 3), tileAt({-89.9, 180}, 3)}),
              (std::vector<TileId>{{12, 2152, 1410}, {3, 0, 0}, {3, 7, 7}}));
    // The world's middle, and its north-west corner at the projection's edge.
    const GeoPoint middle = tileCorner(1, 1, 1), corner = tileCorner(0, 0, 0);
    EXPECT_EQ(std::tuple(middle.lat, middle.lon, corner.lon), std::tuple(0.0, 0.0, -180.0));
    EXPECT_NEAR(corner.lat, 85.0511287798066, 1e-12);
    // About 0.4 m a pixel at 48.8° is zoom 18; more than the server has is its last zoom.
    EXPECT_EQ(
        (std::vector{tileZoomFor(0.39, 48.8, 19), tileZoomFor(0.01, 48.8, 19), tileZoomFor(1e9, 48.8, 19)}),
        (std::vector{18, 19, 0}));
    EXPECT_EQ(tilesCovering({48.85, 9.5}, {48.86, 9.52}, 15, 64).size(), 9u); // 3 columns by 3 rows
    EXPECT_TRUE(tilesCovering({40, 0}, {50, 20}, 15, 64).empty()) << "no bulk download";
    EXPECT_EQ(tileUrl(QStringLiteral("https://t/{z}/{x}/{y}.png?k={z}"), {3, 4, 5}),
              QStringLiteral("https://t/3/4/5.png?k=3"));
}
