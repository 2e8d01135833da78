#include "map/MapViewport.h"

#include <algorithm>

namespace pelorin {

namespace {
// From the whole world on a few pixels to millimetres per pixel.
constexpr double kMinScale = 1e-8;
constexpr double kMaxScale = 1e3;
constexpr double kPointViewWidth = 1000;
} // namespace

QRectF MapViewport::visibleWorld() const {
    const QPointF a = toWorld({0, 0});
    const QPointF b = toWorld({size_.width(), size_.height()});
    return QRectF(a, b).normalized();
}

void MapViewport::zoomAt(QPointF screen, double factor) {
    const QPointF anchor = toWorld(screen);
    scale_ = std::clamp(scale_ * factor, minScale_, maxScale_);
    const QPointF moved = toScreen(anchor);
    panBy(screen - moved);
}

void MapViewport::setScaleLimits(double minScale, double maxScale) {
    minScale_ = std::clamp(minScale, kMinScale, kMaxScale);
    maxScale_ = std::clamp(maxScale, minScale_, kMaxScale);
}

void MapViewport::panBy(QPointF screenDelta) {
    center_ -= QPointF(screenDelta.x() / scale_, -screenDelta.y() / scale_);
}

void MapViewport::fit(const QRectF &world, double margin) {
    center_ = world.center();
    const double w = std::max(size_.width() - 2 * margin, 1.0);
    const double h = std::max(size_.height() - 2 * margin, 1.0);
    const double spanX = std::max(world.width(), kPointViewWidth);
    const double spanY = std::max(world.height(), kPointViewWidth);
    scale_ = std::clamp(std::min(w / spanX, h / spanY), kMinScale, kMaxScale);
}

} // namespace pelorin
