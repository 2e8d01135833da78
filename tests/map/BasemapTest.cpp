#include "map/Basemap.h"
#include "SurveyDocuments.h"
#include "TileServer.h"
#include "map/KmlReader.h"
#include "map/MapCanvas.h"
#include "map/MapWindow.h"

#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace pelorin;

namespace {

BasemapConfig localTiles(const QString &urlTemplate, const QString &cacheFolder) {
    return {urlTemplate, QStringLiteral("© Test tiles"), cacheFolder, "Pelorin/test (+tests)", 19};
}

// The share of the map's pixels that show a tile.
double tileShare(MapCanvas &canvas) {
    const QImage image = canvas.grab().toImage();
    qsizetype tilePixels = 0;
    for (int y = 0; y < image.height(); y += 4)
        for (int x = 0; x < image.width(); x += 4)
            tilePixels += QColor(image.pixel(x, y)) == TileServer::kTileColor ? 1 : 0;
    return double(tilePixels) / (double(image.height() / 4) * double(image.width() / 4));
}

struct ShownMap {
    explicit ShownMap(const BasemapConfig &config) {
        window.setBasemap(config);
        window.resize(640, 480);
        window.show();
        window.showDocument(QStringLiteral("meadow.kml"), parseKml(surveyKml()).document);
    }
    MapCanvas &canvas() { return *window.canvas(); }
    MapWindow window;
};

} // namespace

TEST(Basemap, DrawsTilesFromTheServerThenFromTheDiskCache) {
    QTemporaryDir cache;
    TileServer server;
    const BasemapConfig config = localTiles(server.urlTemplate(), cache.path());
    int served = 0;
    {
        ShownMap map(config);
        EXPECT_TRUE(QTest::qWaitFor([&] { return tileShare(map.canvas()) > 0.5; }, 10000));
        served = server.requests;
        EXPECT_LE(served, 64) << "only the tiles in view";
        EXPECT_EQ(server.userAgent, QByteArray("Pelorin/test (+tests)"));
        EXPECT_FALSE(map.canvas().basemap()->isOff());
    }
    server.close();
    ShownMap again(config);
    EXPECT_TRUE(QTest::qWaitFor([&] { return tileShare(again.canvas()) > 0.5; }, 10000));
    EXPECT_EQ(server.requests, served);
}
