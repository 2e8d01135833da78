#include "host/CentralMapDisplay.h"
#include "host/MapCanvas.h"
#include "host/MapWindow.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace pelorin;

namespace {

const char *const kTrack = R"(<?xml version="1.0" encoding="UTF-8"?>
<kml xmlns="http://www.opengis.net/kml/2.2"><Document>
<Placemark><name>Transekt</name><LineString><coordinates>9.5,48.85,0
9.51,48.86,0
9.49,48.851,0
</coordinates></LineString></Placemark>
<Placemark><name>Ppip</name><description>File rec1
Time 21:35:17</description><Point><coordinates>9.52,48.855</coordinates></Point></Placemark>
</Document></kml>)";

QString writeFile(const QTemporaryDir &dir, const char *name, const QByteArray &content) {
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return path;
}

} // namespace

TEST(CentralMapDisplay, ParsesTheCentreTexts) {
    struct Case {
        QStringList texts;
        bool valid;
    };
    const Case cases[] = {
        {{"48.85", "9.5"}, true},  {{" -33.9 ", "151.2", "extra"}, true},
        {{"48.85"}, false},        {{}, false},
        {{"north", "9.5"}, false}, {{"48.85", ""}, false},
        {{"91", "0"}, false},      {{"0", "-181"}, false},
        {{"nan", "0"}, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CentralMapDisplay::parseCenter(c.texts).has_value(), c.valid)
            << c.texts.join(',').toStdString();
    const auto center = CentralMapDisplay::parseCenter({"48.85", "9.5"});
    EXPECT_EQ(center->lat, 48.85);
    EXPECT_EQ(center->lon, 9.5);
}

TEST(CentralMapDisplay, ShowsATrackAndKeepsTheCentreAskedForBeforeIt) {
    QTemporaryDir dir;
    const QString path = writeFile(dir, "preview.kml", kTrack);
    CentralMapDisplay display;
    MapCanvas &canvas = *display.window()->canvas();

    display.setCenter({"48.852", "9.503"});
    display.showTrack(path);
    EXPECT_TRUE(display.window()->isVisible());
    EXPECT_TRUE(canvas.hasDocument());
    EXPECT_TRUE(canvas.message().isEmpty());
    EXPECT_NEAR(canvas.center().lat, 48.852, 1e-6);
    EXPECT_NEAR(canvas.center().lon, 9.503, 1e-6);

    // The next track, with no centre asked for, is fitted to its data: the
    // track's and the placemark's extremes are all on screen.
    display.showTrack(path);
    EXPECT_NEAR(canvas.center().lat, 48.855, 1e-3);
    EXPECT_NEAR(canvas.center().lon, 9.505, 1e-6);
    const QRectF screen(QPointF(0, 0), QSizeF(canvas.size()));
    for (const GeoPoint p :
         {GeoPoint{48.85, 9.5}, GeoPoint{48.86, 9.51}, GeoPoint{48.851, 9.49}, GeoPoint{48.855, 9.52}})
        EXPECT_TRUE(screen.contains(canvas.viewport().toScreen(canvas.projection().project(p))))
            << p.lat << ' ' << p.lon;

    display.setCenter({"oops"}); // ignored
    EXPECT_NEAR(canvas.center().lon, 9.505, 1e-6);
}

TEST(CentralMapDisplay, ShowsAMessageForFilesItCannotDraw) {
    QTemporaryDir dir;
    const QString paths[] = {writeFile(dir, "empty.kml", ""), writeFile(dir, "broken.kml", "<kml><Document>"),
                             dir.filePath(QStringLiteral("missing.kml"))};
    CentralMapDisplay display;
    for (const QString &path : paths) {
        display.showTrack(writeFile(dir, "good.kml", kTrack));
        display.showTrack(path);
        const MapCanvas &canvas = *display.window()->canvas();
        EXPECT_FALSE(canvas.hasDocument()) << path.toStdString();
        EXPECT_TRUE(canvas.message().contains(path)) << canvas.message().toStdString();
    }
}
