#include "map/CentralMapDisplay.h"
#include "WrittenKml.h"
#include "host/TestFiles.h"
#include "map/MapCanvas.h"
#include "map/MapWindow.h"

using namespace pelorin;
using pelorin::test::writtenKml;

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
