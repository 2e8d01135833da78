// Drawing a long track: the simplified copies, the line's pixels, the drawing
// reused while panning and replaced when the view changes.
#include "map/MapCanvas.h"
#include "map/StrokeCoverage.h"
#include "map/TrackDecimation.h"
#include "map/TrackLayer.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

using namespace pelorin;

// A straight line of 10,000 points a metre apart, with a bump of 0.3 m at 2000 and a spike of 10 m at 5000:
// the ends of the 4096-point pieces stay, and so does a bump beyond the tolerance, with its neighbours.
TEST(TrackDecimation, SimplifiedTrackKeepsThePiecesEndsAndWhatStandsOutOfTheLine) {
    std::vector<QPointF> track;
    for (int i = 0; i < 10'000; ++i)
        track.emplace_back(i, i == 2000 ? 0.3 : i == 5000 ? 10 : 0);
    const auto kept = [&track](double tolerance) {
        const std::vector<QPointF> simplified = simplifiedTrack(track, tolerance).value();
        std::vector<double> xs;
        for (const QPointF p : simplified)
            xs.push_back(p.x());
        return xs;
    };
    EXPECT_EQ(kept(0.5), (std::vector<double>{0, 4096, 4999, 5000, 5001, 8192, 9999}));
    EXPECT_EQ(kept(0.2), (std::vector<double>{0, 1999, 2000, 2001, 4096, 4999, 5000, 5001, 8192, 9999}));
    EXPECT_FALSE(simplifiedTrack(track, 0.2, 9)) << "more than the most asked for";
}

// The line is one coverage: no darker where it crosses itself or where its segments meet, and no gaps.
TEST(StrokeCoverage, ALineCrossingItselfIsEvenAndUnbroken) {
    StrokeCoverage coverage({100, 100});
    const QPointF corners[] = {{10, 10}, {90, 90}, {90, 10}, {10, 90}}; // a Z that crosses itself
    for (int i = 0; i + 1 < 4; ++i)
        coverage.addSegment(corners[i], corners[i + 1], 3);
    QImage image(100, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QColor colour(255, 0, 0, 0x99);
    coverage.paint(image, colour);
    const QRgb full = image.pixel(50, 50); // the crossing
    EXPECT_EQ(qAlpha(full), 0x99);
    for (int i = 10; i <= 90; ++i) {
        EXPECT_EQ(image.pixel(i, i), full) << "diagonal at " << i;
        EXPECT_EQ(image.pixel(90, i), full) << "upright at " << i;
    }
    EXPECT_EQ(image.pixel(50, 40), 0u) << "beside the line";
}

TEST(TrackImage, CoversAViewOnlyAtItsScaleOnWholePixelsWithinItsMargin) {
    MapViewport screen;
    screen.setSize({200, 100});
    screen.fit(QRectF(0, 0, 2000, 1000), 0); // 10 m a pixel
    MapViewport drawn = screen;
    drawn.setSize({300, 200}); // 50 pixels of margin each side
    const TrackImage image{QImage(300, 200, QImage::Format_ARGB32_Premultiplied), drawn};
    const struct {
        const char *what;
        QPointF pan;
        double zoom;
        QSizeF size;
        bool covers;
    } cases[] = {
        {"the same view", {0, 0}, 1, {200, 100}, true},
        {"panned within the margin", {-50, 50}, 1, {200, 100}, true},
        {"panned beyond it", {51, 0}, 1, {200, 100}, false},
        {"panned by half a pixel", {0.5, 0}, 1, {200, 100}, false},
        {"zoomed", {0, 0}, 1.25, {200, 100}, false},
        {"a larger window", {0, 0}, 1, {320, 100}, false},
    };
    for (const auto &c : cases) {
        MapViewport now = screen;
        now.setSize(c.size);
        now.panBy(c.pan);
        now.zoomAt({100, 50}, c.zoom);
        EXPECT_EQ(image.covers(now, 1), c.covers) << c.what;
    }
}

// A long track is drawn away from the GUI thread: until the new view is drawn the canvas says so, and what it
// shows then is the new view, not the one before; destroying the canvas meanwhile is safe.
TEST(MapCanvas, ALongTracksNewViewReplacesTheOldDrawing) {
    KmlDocument document;
    KmlTrack track{QStringLiteral("Line"), QColor(0, 0, 255), 4, {}};
    for (int i = 0; i < 200'000; ++i) // due east along a parallel, from 9.5° to 9.52°
        track.points.push_back({48.85, 9.5 + 0.02 * i / 199'999.0});
    document.tracks.push_back(track);
    auto canvas = std::make_unique<MapCanvas>();
    canvas->resize(400, 320); // arrow keys pan by whole pixels
    canvas->setDocument(document);
    canvas->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(canvas.get()));
    auto drawnColour = [&canvas](GeoPoint on, QPointF shift = {}) {
        const QPointF at = canvas->viewport().toScreen(canvas->projection().project(on)) + shift;
        return QColor(canvas->grab().toImage().pixel(at.toPoint()));
    };
    const GeoPoint start{48.85, 9.5};
    EXPECT_TRUE(QTest::qWaitFor([&] { return !canvas->isRendering(); }, 5000));
    EXPECT_EQ(drawnColour(start), QColor(0, 0, 255));

    QTest::keyClick(canvas.get(), Qt::Key_Up); // the line moves down an eighth of the map
    EXPECT_FALSE(canvas->isRendering()) << "a pan reuses the drawing";
    EXPECT_EQ(drawnColour(start), QColor(0, 0, 255));

    QTest::keyClick(canvas.get(), Qt::Key_Plus);
    EXPECT_TRUE(canvas->isRendering());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !canvas->isRendering(); }, 5000));
    EXPECT_EQ(drawnColour({48.85, 9.51}), QColor(0, 0, 255));
    EXPECT_NE(drawnColour({48.85, 9.51}, {0, 8}), QColor(0, 0, 255)) << "beside the line";

    QTest::keyClick(canvas.get(), Qt::Key_Minus);
    canvas->repaint(); // starts the drawing the canvas does not wait for
    EXPECT_TRUE(canvas->isRendering());
    canvas.reset();
}

// Pins are spread once per scale: a pan moves every spot by the pan, a zoom spreads them again, and a spread
// kept for going back is not one from before the legend changed.
TEST(MapCanvas, PanningMovesThePinsSpotsByThePanAndZoomingSpreadsThemAgain) {
    KmlDocument document;
    for (const auto &[file, lat, lon] :
         {std::tuple{"a.wav", 48.85, 9.5}, std::tuple{"b.wav", 48.86, 9.51}, std::tuple{"c.wav", 48.86, 9.51},
          std::tuple{"d.wav", 48.851, 9.5}}) {
        KmlPlace place;
        place.name = place.recording = QString::fromLatin1(file);
        place.position = {lat, lon};
        document.places.push_back(place);
    }
    MapCanvas canvas;
    canvas.resize(400, 300);
    canvas.setDocument(document);
    const auto spots = [&canvas] {
        std::vector<QPointF> at;
        for (const char *file : {"a.wav", "b.wav", "c.wav", "d.wav"})
            at.push_back(canvas.pinPosition(QString::fromLatin1(file)).value_or(QPointF(-1e9, -1e9)));
        return at;
    };
    const std::vector<QPointF> before = spots();
    QTest::keyClick(&canvas, Qt::Key_Left); // the map moves right by an eighth of its width
    const std::vector<QPointF> panned = spots();
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_NEAR(panned[i].x(), before[i].x() + 50, 1e-6) << i;
        EXPECT_NEAR(panned[i].y(), before[i].y(), 1e-6) << i;
    }
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(&canvas, Qt::Key_Minus);
    const std::vector<QPointF> out = spots();
    EXPECT_LT(std::hypot(out[0].x() - out[1].x(), out[0].y() - out[1].y()),
              std::hypot(panned[0].x() - panned[1].x(), panned[0].y() - panned[1].y()) / 2)
        << "spread at the new scale, not the old one";

    // Back at a scale spread before, the pins hidden since stay hidden.
    canvas.fitToData();
    ASSERT_TRUE(canvas.pinPosition(QStringLiteral("a.wav")));
    QTest::keyClick(&canvas, Qt::Key_Plus);
    ASSERT_TRUE(canvas.pinPosition(QStringLiteral("a.wav")));
    canvas.setSpeciesVisible(QString(), false);
    canvas.fitToData();
    EXPECT_FALSE(canvas.pinPosition(QStringLiteral("a.wav")));
}

// A document of many pins has them spread away from the GUI thread: after a zoom the canvas says it is still
// drawing until the new spread is in, and then a pin that stood in a crowd stands on its own place.
TEST(MapCanvas, ManyPinsAreSpreadAsideAndEndOnTheirPlaces) {
    KmlDocument document;
    for (int row = 0; row < 100; ++row) // 20,000 pins 0.0001° apart
        for (int column = 0; column < 200; ++column)
            document.places.push_back({{},
                                       {},
                                       {48.85 + 0.0001 * row, 9.5 + 0.0001 * column},
                                       PlaceKind::Recording,
                                       {},
                                       QStringLiteral("r%1-%2.wav").arg(row).arg(column),
                                       {}});
    const GeoPoint probe{48.85 + 0.0001 * 50, 9.5 + 0.0001 * 100};
    MapCanvas canvas;
    canvas.resize(400, 320);
    canvas.setDocument(document);
    canvas.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    const auto offPlace = [&canvas, probe] {
        const QPointF place = canvas.viewport().toScreen(canvas.projection().project(probe));
        const QPointF pin = canvas.pinPosition(QStringLiteral("r50-100.wav")).value_or(QPointF(-1e6, -1e6));
        return std::hypot(pin.x() - place.x(), pin.y() - place.y());
    };
    EXPECT_GT(offPlace(), 1.0) << "fitted, the pins crowd into counted spots";
    for (int i = 0; i < 8; ++i)
        QTest::keyClick(&canvas, Qt::Key_Plus);
    EXPECT_TRUE(canvas.isRendering());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !canvas.isRendering(); }, 5000));
    EXPECT_LT(offPlace(), 0.01);
}
