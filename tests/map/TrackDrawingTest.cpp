// Drawing a long track and many pins: the simplified copies, the line's pixels, the pins spread aside.
#include "map/MapCanvas.h"
#include "map/StrokeCoverage.h"
#include "map/TrackDecimation.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

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
