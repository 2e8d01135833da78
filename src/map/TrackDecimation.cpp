#include "map/TrackDecimation.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace pelorin {

namespace {
enum : unsigned { Left = 1, Right = 2, Above = 4, Below = 8 };

unsigned outcode(QPointF p, const QRectF &clip) {
    unsigned code = 0;
    if (p.x() < clip.left())
        code |= Left;
    else if (p.x() > clip.right())
        code |= Right;
    if (p.y() < clip.top())
        code |= Above;
    else if (p.y() > clip.bottom())
        code |= Below;
    return code;
}

// The squared distance from p to the segment a-b.
double squaredDistance(QPointF p, QPointF a, QPointF b) {
    const QPointF ab = b - a;
    const QPointF ap = p - a;
    const double length = QPointF::dotProduct(ab, ab);
    const double t = length > 0 ? std::clamp(QPointF::dotProduct(ap, ab) / length, 0.0, 1.0) : 0.0;
    const QPointF d = ap - t * ab;
    return QPointF::dotProduct(d, d);
}

constexpr std::size_t kPiece = 4096;
} // namespace

void visitScreenPolylines(const std::vector<QPointF> &world, const MapViewport &viewport, const QRectF &clip,
                          double minPixels, const std::function<void(const QPolygonF &)> &visit,
                          qsizetype mostPoints) {
    if (world.empty())
        return;
    bool visited = false;
    const auto flush = [&](QPolygonF &line) {
        visit(line);
        visited = true;
        line.clear();
    };
    QPolygonF current;
    QPointF last = viewport.toScreen(world.front());
    unsigned lastCode = outcode(last, clip);
    current << last;
    for (std::size_t i = 1; i < world.size(); ++i) {
        const QPointF p = viewport.toScreen(world[i]);
        const QPointF d = p - last;
        if (std::abs(d.x()) < minPixels && std::abs(d.y()) < minPixels)
            continue;
        const unsigned code = outcode(p, clip);
        if (code & lastCode) {
            if (current.size() >= 2)
                flush(current);
            current.clear();
        } else if (current.isEmpty()) {
            current << last;
        }
        if (!(code & lastCode)) {
            current << p;
            if (current.size() >= mostPoints) {
                flush(current);
                current << p;
            }
        }
        last = p;
        lastCode = code;
    }
    if (current.size() >= 2 || (!visited && current.size() == 1 && lastCode == 0))
        visit(current);
}

std::vector<QPolygonF> screenPolylines(const std::vector<QPointF> &world, const MapViewport &viewport,
                                       const QRectF &clip, double minPixels) {
    std::vector<QPolygonF> result;
    visitScreenPolylines(world, viewport, clip, minPixels,
                         [&result](const QPolygonF &line) { result.push_back(line); });
    return result;
}

std::optional<std::vector<QPointF>> simplifiedTrack(const std::vector<QPointF> &world, double tolerance,
                                                    std::size_t most) {
    if (world.size() <= 2)
        return world.size() <= most ? std::optional(world) : std::nullopt;
    const double limit = tolerance * tolerance;
    std::vector<bool> keep(world.size(), false);
    std::size_t kept = 1; // the first point
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    for (std::size_t first = 0; first + 1 < world.size(); first += kPiece) {
        const std::size_t last = std::min(first + kPiece, world.size() - 1);
        keep[first] = keep[last] = true;
        ++kept;
        ranges.emplace_back(first, last);
        while (!ranges.empty()) {
            const auto [a, b] = ranges.back();
            ranges.pop_back();
            double farthest = 0;
            std::size_t at = a;
            for (std::size_t i = a + 1; i < b; ++i) {
                const double d = squaredDistance(world[i], world[a], world[b]);
                if (d > farthest) {
                    farthest = d;
                    at = i;
                }
            }
            if (farthest > limit) {
                if (++kept > most)
                    return std::nullopt;
                keep[at] = true;
                ranges.emplace_back(a, at);
                ranges.emplace_back(at, b);
            }
        }
    }
    if (kept > most)
        return std::nullopt;
    std::vector<QPointF> simplified;
    simplified.reserve(kept);
    for (std::size_t i = 0; i < world.size(); ++i)
        if (keep[i])
            simplified.push_back(world[i]);
    return simplified;
}

} // namespace pelorin
