#include "map/PinLayout.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pelorin {

namespace {
// Grid cells of a pin's width keep the clustering linear in the pins on screen.
quint64 cellKey(qint64 cx, qint64 cy) {
    return (quint64(quint32(cx)) << 32) | quint32(cy);
}

// hypot(d) < reach, asked of every pin near another: the squares settle all but a hair's breadth
// either side of the edge, where hypot (correctly rounded) decides as it always has.
bool within(QPointF d, double reach) {
    const double d2 = d.x() * d.x() + d.y() * d.y();
    const double r2 = reach * reach;
    if (d2 < r2 * (1 - 1e-9))
        return true;
    if (d2 > r2 * (1 + 1e-9))
        return false;
    return std::hypot(d.x(), d.y()) < reach;
}
} // namespace

std::vector<PinSpot> spreadPins(const std::vector<QPointF> &screen, double pinRadius, std::size_t maxSpread) {
    const double reach = 2 * pinRadius;
    std::vector<PinSpot> clusters;
    QHash<quint64, std::size_t> seeds; // cell of a cluster's first pin -> cluster
    for (std::size_t i = 0; i < screen.size(); ++i) {
        const QPointF p = screen[i];
        const auto cx = static_cast<qint64>(std::floor(p.x() / reach));
        const auto cy = static_cast<qint64>(std::floor(p.y() / reach));
        std::optional<std::size_t> joined;
        for (qint64 dx = -1; dx <= 1 && !joined; ++dx) {
            for (qint64 dy = -1; dy <= 1 && !joined; ++dy) {
                const auto found = seeds.constFind(cellKey(cx + dx, cy + dy));
                if (found == seeds.cend())
                    continue;
                const QPointF d = screen[clusters[*found].members.front()] - p;
                if (within(d, reach))
                    joined = *found;
            }
        }
        if (joined) {
            clusters[*joined].members.push_back(i);
        } else {
            seeds.insert(cellKey(cx, cy), clusters.size());
            clusters.push_back({p, {i}});
        }
    }

    std::vector<PinSpot> spots;
    spots.reserve(screen.size());
    for (PinSpot &cluster : clusters) {
        const std::size_t n = cluster.members.size();
        if (n == 1 || n > maxSpread) {
            spots.push_back(std::move(cluster));
            continue;
        }
        // A ring whose neighbours stand a pin's width apart, and not tighter than one pin around the middle.
        const double spacing = reach + 2;
        const double ring = std::max(spacing, spacing * double(n) / (2 * std::numbers::pi));
        for (std::size_t k = 0; k < n; ++k) {
            const double angle = -std::numbers::pi / 2 + 2 * std::numbers::pi * double(k) / double(n);
            spots.push_back(
                {cluster.at + QPointF(ring * std::cos(angle), ring * std::sin(angle)), {cluster.members[k]}});
        }
    }
    return spots;
}

std::vector<PlacedLabel> placeLabels(const std::vector<LabelRequest> &requests, const QFontMetricsF &metrics,
                                     double pinRadius, const std::vector<QRectF> &obstacles,
                                     const QRectF &area) {
    std::vector<PlacedLabel> placed;
    const double gap = pinRadius + 3;
    const double height = metrics.height();
    auto fits = [&](const QRectF &box) {
        const auto hits = [&box](const QRectF &other) { return box.intersects(other); };
        return area.contains(box) && std::none_of(obstacles.begin(), obstacles.end(), hits) &&
               std::none_of(placed.begin(), placed.end(),
                            [&box](const PlacedLabel &label) { return box.intersects(label.box); });
    };
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const LabelRequest &request = requests[i];
        bool done = false;
        for (const QString &text : {request.text, request.shortText}) {
            if (text.isEmpty() || done)
                continue;
            const double width = metrics.horizontalAdvance(text);
            const double top = request.anchor.y() - height / 2;
            for (const double left : {request.anchor.x() + gap, request.anchor.x() - gap - width}) {
                const QRectF box(left, top, width, height);
                if (fits(box)) {
                    placed.push_back({i, text, box});
                    done = true;
                    break;
                }
            }
        }
    }
    return placed;
}

} // namespace pelorin
