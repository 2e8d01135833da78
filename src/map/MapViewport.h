#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace pelorin {

// Which part of the projected plane a map widget shows: the projected point
// at the widget's centre and the pixels per projected metre.
class MapViewport {
public:
    void setSize(QSizeF size) { size_ = size; }
    QSizeF size() const { return size_; }
    QPointF center() const { return center_; }
    void setCenter(QPointF world) { center_ = world; }
    double scale() const { return scale_; }

    QPointF toScreen(QPointF world) const {
        return {size_.width() / 2 + (world.x() - center_.x()) * scale_,
                size_.height() / 2 - (world.y() - center_.y()) * scale_};
    }
    QPointF toWorld(QPointF screen) const {
        return {center_.x() + (screen.x() - size_.width() / 2) / scale_,
                center_.y() - (screen.y() - size_.height() / 2) / scale_};
    }
    // The projected rectangle on screen (y grows northwards).
    QRectF visibleWorld() const;

    // Zooms by factor keeping the world point under the screen point fixed,
    // within the scale limits.
    void zoomAt(QPointF screen, double factor);
    void setScaleLimits(double minScale, double maxScale);
    void panBy(QPointF screenDelta);
    // Shows the whole world rectangle with a margin in pixels; a point-sized
    // rectangle gets a view about a kilometre wide.
    void fit(const QRectF &world, double margin);

private:
    QSizeF size_{1, 1};
    QPointF center_;
    double scale_ = 1e-5; // pixels per projected metre
    double minScale_ = 1e-8;
    double maxScale_ = 1e3;
};

} // namespace pelorin
