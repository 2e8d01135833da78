#include "map/PinLayout.h"

#include <QFont>

#include <cmath>
#include <random>

#include <gtest/gtest.h>

using namespace pelorin;

namespace {
constexpr double kRadius = 5;

double distance(QPointF a, QPointF b) {
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}
} // namespace

TEST(PinLayout, SpreadsAFewPinsAtOneSpotAndGroupsMany) {
    std::vector<QPointF> many(12, QPointF(100, 100));
    many.push_back({300, 300});
    const struct {
        const char *what;
        std::vector<QPointF> pins;
        std::size_t spots, groups;
    } cases[] = {
        {"apart", {{10, 10}, {40, 10}, {10, 40}}, 3, 0},
        {"three at one spot", {{100, 100}, {100, 100}, {101, 100.5}}, 3, 0},
        {"two stacks", {{100, 100}, {100, 100}, {200, 100}, {200, 101}}, 4, 0},
        {"more than spread", many, 2, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<PinSpot> spots = spreadPins(c.pins, kRadius, 8);
        ASSERT_EQ(spots.size(), c.spots);
        std::vector<int> seen(c.pins.size(), 0);
        std::size_t groups = 0;
        for (const PinSpot &spot : spots) {
            groups += spot.grouped() ? 1 : 0;
            for (std::size_t member : spot.members)
                ++seen[member];
        }
        EXPECT_EQ(groups, c.groups);
        EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int n) { return n == 1; })) << "every pin once";
        for (std::size_t i = 0; i < spots.size(); ++i)
            for (std::size_t j = i + 1; j < spots.size(); ++j)
                EXPECT_GE(distance(spots[i].at, spots[j].at), 2 * kRadius) << i << " and " << j << " overlap";
    }
    // A lone pin stays where it is.
    EXPECT_EQ(spreadPins({{10, 10}}, kRadius, 8).front().at, QPointF(10, 10));
}

TEST(PinLayout, LabelsNeverOverlapEachOtherOrPins) {
    const QFontMetricsF metrics{QFont()};
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(0, 300);
    std::vector<LabelRequest> requests;
    std::vector<QRectF> pins;
    for (int i = 0; i < 60; ++i) {
        const QPointF at(coordinate(random), coordinate(random));
        requests.push_back({at, QStringLiteral("Ppip,Nnoc,Eser %1").arg(i), QStringLiteral("Ppip…")});
        pins.emplace_back(at - QPointF(kRadius, kRadius), QSizeF(2 * kRadius, 2 * kRadius));
    }
    const QRectF area(0, 0, 300, 300);
    const std::vector<PlacedLabel> labels = placeLabels(requests, metrics, kRadius, pins, area);
    ASSERT_FALSE(labels.empty());
    EXPECT_LT(labels.size(), requests.size()) << "a crowded view drops labels";
    for (std::size_t i = 0; i < labels.size(); ++i) {
        EXPECT_TRUE(area.contains(labels[i].box));
        for (const QRectF &pin : pins)
            EXPECT_FALSE(labels[i].box.intersects(pin)) << labels[i].text.toStdString();
        for (std::size_t j = i + 1; j < labels.size(); ++j)
            EXPECT_FALSE(labels[i].box.intersects(labels[j].box))
                << labels[i].text.toStdString() << " / " << labels[j].text.toStdString();
    }
}

TEST(PinLayout, ALabelMovesLeftThenShortensThenGoes) {
    const QFontMetricsF metrics{QFont()};
    const QString text = QStringLiteral("Barbastella barbastellus");
    const double width = metrics.horizontalAdvance(text);
    // A pin to the right of the anchor, just beyond the short label's reach.
    const QPointF anchor(200, 100);
    const QRectF blockRight(anchor.x() + 30, 90, 10, 20);
    const QRectF blockLeft(anchor.x() - 30 - 10, 90, 10, 20);
    const struct {
        std::vector<QRectF> obstacles;
        QString expected; // "" for no label
        bool right;
    } cases[] = {
        {{}, text, true},
        {{blockRight}, text, false},
        {{blockRight, blockLeft}, QStringLiteral("Bb"), true},
        {{QRectF(anchor.x() - width - 20, 90, 2 * width + 40, 20)}, QString(), true},
    };
    const QRectF area(0, 0, 1000, 1000);
    for (const auto &c : cases) {
        const auto labels =
            placeLabels({{anchor, text, QStringLiteral("Bb")}}, metrics, kRadius, c.obstacles, area);
        if (c.expected.isEmpty()) {
            EXPECT_TRUE(labels.empty());
            continue;
        }
        ASSERT_EQ(labels.size(), 1u);
        EXPECT_EQ(labels[0].text, c.expected);
        EXPECT_EQ(labels[0].box.left() > anchor.x(), c.right);
    }
    // At the map's right edge a label goes left of its pin.
    const auto atEdge = placeLabels({{{990, 100}, text, {}}}, metrics, kRadius, {}, area);
    ASSERT_EQ(atEdge.size(), 1u);
    EXPECT_LT(atEdge[0].box.right(), 990);
}
