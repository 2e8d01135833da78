#include "map/TrackDecimation.h"

#include <cmath>

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
} // namespace

std::vector<QPolygonF> screenPolylines(const std::vector<QPointF> &world, const MapViewport &viewport,
                                       const QRectF &clip, double minPixels) {
    std::vector<QPolygonF> result;
    if (world.empty())
        return result;
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
                result.push_back(std::move(current));
            current = QPolygonF();
        } else if (current.isEmpty()) {
            current << last;
        }
        if (!(code & lastCode))
            current << p;
        last = p;
        lastCode = code;
    }
    if (current.size() >= 2 || (result.empty() && current.size() == 1 && lastCode == 0))
        result.push_back(std::move(current));
    return result;
}

} // namespace pelorin
