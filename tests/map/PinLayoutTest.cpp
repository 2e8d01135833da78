#include "map/PinLayout.h"

#include <QFont>

#include <cmath>

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
        {"three at one spot", {{100, 100}, {100, 100}, {101, 100.5}}, 3, 0},
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
    // Three at one pin: the first right, the second left of it, the third nowhere, even shortened.
    const auto three = placeLabels(std::vector<LabelRequest>(3, {anchor, text, QStringLiteral("Bb")}),
                                   metrics, kRadius, {}, area);
    ASSERT_EQ(three.size(), 2u);
    EXPECT_EQ(std::tuple(three[0].request, three[0].box.left() > anchor.x(), three[1].request,
                         three[1].box.right() < anchor.x()),
              std::tuple(0u, true, 1u, true));
}
