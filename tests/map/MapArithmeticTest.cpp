// The map's arithmetic: the scale bar, the graticule and the track's decimation.
#include "map/MapScale.h"
#include "map/MapViewport.h"
#include "map/TrackDecimation.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pelorin;

namespace {

// A 100 x 100 pixel view at 10 projected metres a pixel, centred on the world's origin.
MapViewport tenMetresAPixel() {
    MapViewport viewport;
    viewport.setSize({100, 100});
    viewport.fit(QRectF(-500, -500, 1000, 1000), 0);
    return viewport;
}

// Screen points through the view above, so the cases read in pixels.
std::vector<QPointF> world(std::initializer_list<QPointF> screen) {
    const MapViewport viewport = tenMetresAPixel();
    std::vector<QPointF> points;
    for (const QPointF p : screen)
        points.push_back(viewport.toWorld(p));
    return points;
}

void expectNear(QPointF actual, QPointF expected) {
    EXPECT_NEAR(actual.x(), expected.x(), 1e-9);
    EXPECT_NEAR(actual.y(), expected.y(), 1e-9);
}

} // namespace

TEST(MapScale, PicksOneTwoOrFiveTimesAPowerOfTenAndWritesIt) {
    const std::pair<double, double> lengths[] = {{1.99, 1}, {4.99, 2}, {9.99, 5}, {0.03, 0.02}, {2500, 2000}};
    for (const auto &[most, nice] : lengths)
        EXPECT_DOUBLE_EQ(niceScaleLength(most), nice) << most;

    const std::pair<double, const char *> texts[] = {{999, "999 m"}, {1500, "1.5 km"}, {0.5, "50 cm"}};
    for (const auto &[metres, text] : texts)
        EXPECT_EQ(scaleLengthText(metres), QString::fromLatin1(text)) << metres;

    const std::tuple<double, int, double> steps[] = {{1.01, 10, 0.2}, {0.00001, 3, 0.0001}, {1000, 10, 30}};
    for (const auto &[span, lines, step] : steps)
        EXPECT_DOUBLE_EQ(graticuleStep(span, lines), step) << span << " degrees, " << lines << " lines";
}

TEST(TrackDecimation, SkipsPointsWithinAPixelAndBreaksTheLineOutsideTheView) {
    const QRectF clip(0, 0, 100, 100);
    const struct {
        const char *what;
        std::vector<QPointF> track;
        std::vector<QPolygonF> lines;
    } cases[] = {
        {"one point outside", world({{150, 50}}), {}},
        {"under a pixel apart", world({{10, 10}, {10.5, 10.9}, {20, 20}}), {QPolygonF{{10, 10}, {20, 20}}}},
        {"out to the left and back",
         world({{10, 10}, {-20, 10}, {-30, 20}, {10, 20}}),
         {QPolygonF{{10, 10}, {-20, 10}}, QPolygonF{{-30, 20}, {10, 20}}}},
        {"across the view", world({{-10, 50}, {110, 50}}), {QPolygonF{{-10, 50}, {110, 50}}}},
    };
    const MapViewport viewport = tenMetresAPixel();
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<QPolygonF> lines = screenPolylines(c.track, viewport, clip);
        ASSERT_EQ(lines.size(), c.lines.size());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            ASSERT_EQ(lines[i].size(), c.lines[i].size()) << "line " << i;
            for (qsizetype k = 0; k < lines[i].size(); ++k)
                expectNear(lines[i][k], c.lines[i][k]);
        }
    }
}
