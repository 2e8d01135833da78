#include "host/MapProjection.h"
#include "host/MapScale.h"
#include "host/MapViewport.h"
#include "host/TrackDecimation.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace pelorin;

TEST(MapProjection, RoundTripsKeepsNorthUpAndIsTrueAtTheReferenceLatitude) {
    const MapProjection projection(60);
    for (const GeoPoint p :
         {GeoPoint{48.85, 9.5}, GeoPoint{-33.9, 151.2}, GeoPoint{0, 0}, GeoPoint{89.9, -179}}) {
        const GeoPoint back = projection.unproject(projection.project(p));
        EXPECT_NEAR(back.lat, p.lat, 1e-9);
        EXPECT_NEAR(back.lon, p.lon, 1e-9);
    }
    EXPECT_GT(projection.project({10, 0}).y(), projection.project({9, 0}).y());
    // A degree of longitude at 60° is half a degree of latitude, on the ground and on the map.
    const QPointF east = projection.project({60, 1}) - projection.project({60, 0});
    const QPointF north = projection.project({61, 0}) - projection.project({60, 0});
    EXPECT_NEAR(east.x() / north.y(), 0.5, 1e-12);
    EXPECT_NEAR(north.y(), 111195, 1);
    EXPECT_NEAR(projection.eastWestFactor(60), 1, 1e-12);
    EXPECT_NEAR(MapProjection(0).eastWestFactor(60), 0.5, 1e-12);
    EXPECT_EQ(MapProjection(89.5).referenceLatitude(), 80);
}

TEST(MapViewport, ZoomKeepsThePointUnderTheMouseAndFitShowsTheData) {
    MapViewport viewport;
    viewport.setSize({800, 600});
    const QRectF data(QPointF(1000, 2000), QPointF(5000, 4000));
    viewport.fit(data, 40);
    const QRectF onScreen(viewport.toScreen(data.topLeft()), viewport.toScreen(data.bottomRight()));
    EXPECT_TRUE(QRectF(39.9, 39.9, 720.2, 520.2).contains(onScreen.normalized()));
    EXPECT_NEAR(onScreen.normalized().width(), 720, 1e-6); // the wider side fills the width

    const QPointF mouse(123, 456);
    const QPointF under = viewport.toWorld(mouse);
    viewport.zoomAt(mouse, 3);
    EXPECT_NEAR(viewport.toScreen(under).x(), mouse.x(), 1e-6);
    EXPECT_NEAR(viewport.toScreen(under).y(), mouse.y(), 1e-6);

    viewport.panBy({10, -20});
    EXPECT_NEAR(viewport.toScreen(under).x(), mouse.x() + 10, 1e-6);
    EXPECT_NEAR(viewport.toScreen(under).y(), mouse.y() - 20, 1e-6);
}

TEST(TrackDecimation, DrawsAMillionPointsWithAboutOnePointPerPixel) {
    std::vector<QPointF> world;
    world.reserve(1'000'000);
    for (int i = 0; i < 1'000'000; ++i)
        world.emplace_back(i * 0.01, std::sin(i * 1e-5) * 1000);
    MapViewport viewport;
    viewport.setSize({1000, 800});
    viewport.fit(QRectF(QPointF(0, -1000), QPointF(10000, 1000)), 0);
    const QRectF clip(0, 0, 1000, 800);
    std::size_t drawn = 0;
    for (const QPolygonF &line : screenPolylines(world, viewport, clip))
        drawn += line.size();
    EXPECT_GT(drawn, 500u);
    EXPECT_LT(drawn, 3000u);

    // Zoomed into a tenth, the rest of the track is off screen and skipped.
    viewport.zoomAt({500, 400}, 10);
    drawn = 0;
    for (const QPolygonF &line : screenPolylines(world, viewport, clip))
        drawn += line.size();
    EXPECT_LT(drawn, 3000u);
}

TEST(TrackDecimation, KeepsDistinctPointsAndBreaksLinesOutsideTheClip) {
    MapViewport viewport; // scale 1e-5: 1e5 world units per pixel
    viewport.setSize({100, 100});
    viewport.fit(QRectF(0, 0, 1000, 1000), 0); // 0.1 pixels per unit
    const QRectF clip(0, 0, 100, 100);
    // Left, far outside, far outside on the same side, back inside.
    const std::vector<QPointF> world{{100, 500},  {900, 500}, {5000, 500},
                                     {6000, 500}, {900, 600}, {100, 600}};
    const std::vector<QPolygonF> lines = screenPolylines(world, viewport, clip);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].size(), 3);
    EXPECT_EQ(lines[1].size(), 3);
    EXPECT_EQ(screenPolylines({{500, 500}}, viewport, clip).size(), 1u);
    EXPECT_TRUE(screenPolylines({{50000, 500}}, viewport, clip).empty());
    EXPECT_TRUE(screenPolylines({}, viewport, clip).empty());
}

TEST(MapScale, PicksRoundLengthsAndGraticuleSteps) {
    const std::pair<double, double> lengths[] = {{140, 100}, {199, 100}, {200, 200},
                                                 {730, 500}, {0.7, 0.5}, {12345, 10000}};
    for (const auto &[max, expected] : lengths)
        EXPECT_DOUBLE_EQ(niceScaleLength(max), expected) << max;
    EXPECT_EQ(scaleLengthText(500), QStringLiteral("500 m"));
    EXPECT_EQ(scaleLengthText(2000), QStringLiteral("2 km"));
    EXPECT_EQ(scaleLengthText(0.5), QStringLiteral("50 cm"));
    EXPECT_DOUBLE_EQ(graticuleStep(0.03, 8), 0.005);
    EXPECT_DOUBLE_EQ(graticuleStep(360, 8), 30);
    EXPECT_DOUBLE_EQ(graticuleStep(4, 8), 0.5);
}
