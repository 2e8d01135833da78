#include "TestFiles.h"
#include "gpx/TrackPoint.h"
#include "kml/KmlWriter.h"
#include "map/CentralMapDisplay.h"
#include "map/KmlReader.h"
#include "map/MapCanvas.h"
#include "map/MapWindow.h"

#include <vector>

using namespace pelorin;

namespace {

TrackPoint trackPoint(const char *lat, const char *lon) {
    TrackPoint point;
    point.setAttribute("lat", lat);
    point.setAttribute("lon", lon);
    return point;
}

// A document as the project's KML writer makes it: a three-point track and two placemarks.
QByteArray writtenKml() {
    const std::vector<TrackPoint> points{trackPoint("48.85", "9.5"), trackPoint("48.8512", "9.5003"),
                                         trackPoint("48.8530", "9.5011")};
    const std::vector<GeoRefRecord> records{{"Ppip,Nnoc", "File rec1\nTime 21:35:17", 48.8512f, 9.5003f},
                                            {"No species", "File rec2\nTime 21:40:00", 48.853f, 9.5011f}};
    const KmlOptions options{"Evening & night", "Meadow", true, false, false};
    return QByteArray::fromStdString(kmlDocument(options, TrackView{points, {}}, records));
}

} // namespace

TEST(KmlReader, ReadsTheWritersDocument) {
    const KmlReadResult result = parseKml(writtenKml());
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    const KmlDocument &doc = result.document;
    EXPECT_EQ(doc.name, QStringLiteral("Evening & night"));
    ASSERT_EQ(doc.tracks.size(), 1u);
    const KmlTrack &track = doc.tracks[0];
    EXPECT_EQ(track.color, QColor(0xff, 0x00, 0x00, 0x99)); // #990000ff: aabbggrr
    EXPECT_EQ(track.width, 6);
    ASSERT_EQ(track.points.size(), 3u);
    EXPECT_NEAR(track.points[1].lat, 48.8512, 1e-5);
    EXPECT_NEAR(track.points[1].lon, 9.5003, 1e-5);
    ASSERT_EQ(doc.places.size(), 2u);
    EXPECT_EQ(doc.places[0].name, QStringLiteral("Ppip,Nnoc"));
    EXPECT_EQ(doc.places[0].description, QStringLiteral("File rec1\nTime 21:35:17"));
    EXPECT_NEAR(doc.places[1].position.lat, 48.853, 1e-5);
    EXPECT_NEAR(doc.places[1].position.lon, 9.5011, 1e-5);
}

TEST(KmlReader, RefusesBrokenDocumentsWithAMessage) {
    const std::pair<const char *, const char *> cases[] = {
        {"", "empty"},
        {"  \n", "empty"},
        {"<kml><Document><Placemark><LineString><coordinates>1,2", "well-formed"},
        {"<kml><Document></Documen></kml>", "line 1"},
        {"<gpx><trk/></gpx>", "not a KML document"},
        {"<kml><Document><name>x</name></Document></kml>", "no track"},
        {"<kml><Placemark><LineString><coordinates></coordinates></LineString></Placemark></kml>",
         "no track"},
        {"<kml><Placemark><LineString><coordinates>1,2\n9.5,north</coordinates></LineString></Placemark></"
         "kml>",
         "9.5,north"},
        {"<kml><Placemark><Point><coordinates>12</coordinates></Point></Placemark></kml>", "Bad coordinate"},
        {"<kml><Placemark><Point><coordinates>10,95</coordinates></Point></Placemark></kml>",
         "Bad coordinate"},
        {"<kml><Placemark><Point><coordinates>1,2,x</coordinates></Point></Placemark></kml>",
         "Bad coordinate"},
    };
    for (const auto &[kml, messagePart] : cases) {
        SCOPED_TRACE(kml);
        const KmlReadResult result = parseKml(kml);
        EXPECT_FALSE(result.ok());
        EXPECT_TRUE(result.error.contains(QLatin1String(messagePart), Qt::CaseInsensitive))
            << result.error.toStdString();
        EXPECT_TRUE(result.document.tracks.empty() && result.document.places.empty());
    }
}

// The centre asked for before a track is kept; with none, the track is fitted on screen.
TEST(CentralMapDisplay, ShowsATrackOrAMessageForFilesItCannotDraw) {
    QTemporaryDir dir;
    const QString good = writeFile(dir, "good.kml", writtenKml());
    CentralMapDisplay display;
    const MapCanvas &canvas = *display.window()->canvas();
    display.setCenter(48.852, 9.503);
    display.showTrack(good);
    EXPECT_TRUE(display.window()->isVisible());
    EXPECT_TRUE(canvas.hasDocument());
    EXPECT_TRUE(canvas.message().isEmpty());
    EXPECT_NEAR(canvas.center().lat, 48.852, 1e-6);
    EXPECT_NEAR(canvas.center().lon, 9.503, 1e-6);
    display.setCenter(95, 9.5); // off the globe: ignored
    EXPECT_NEAR(canvas.center().lat, 48.852, 1e-6);

    display.showTrack(good);
    EXPECT_NEAR(canvas.center().lat, 48.8515, 1e-4);
    EXPECT_NEAR(canvas.center().lon, 9.50055, 1e-6);
    const QRectF screen(QPointF(0, 0), QSizeF(canvas.size()));
    for (const GeoPoint p : {GeoPoint{48.85, 9.5}, GeoPoint{48.853, 9.5011}})
        EXPECT_TRUE(screen.contains(canvas.viewport().toScreen(canvas.projection().project(p))));

    for (const QString &path :
         {writeFile(dir, "empty.kml", ""), writeFile(dir, "broken.kml", "<kml><Document>"),
          dir.filePath(QStringLiteral("missing.kml"))}) {
        display.showTrack(good);
        display.showTrack(path);
        EXPECT_FALSE(canvas.hasDocument()) << path.toStdString();
        EXPECT_TRUE(canvas.message().contains(path)) << canvas.message().toStdString();
    }
}
