#include "map/PinSprites.h"

#include <QPainter>

#include <cmath>

namespace pelorin {

namespace {
// Room for the rim around the pin's radius (and for half the ring's pen).
constexpr double kRim = 2;
constexpr double kRingWidth = 2.5;
// Counts and colours are few; a cache this full is cleared rather than grown.
constexpr qsizetype kMostSprites = 4096;
} // namespace

QImage PinSprites::make(const Key &key) const {
    const double side = 2 * std::ceil(key.radius + kRim);
    QImage image(QSize(int(std::ceil(side * key.ratio)), int(std::ceil(side * key.ratio))),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(key.ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font_);
    const QPointF centre(side / 2, side / 2);
    const QRectF box(centre - QPointF(key.radius, key.radius), QSizeF(2 * key.radius, 2 * key.radius));
    if (key.shape == Shape::Ring) {
        painter.setPen(QPen(QColor::fromRgba(key.fill), kRingWidth));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(centre, key.radius, key.radius);
        return image;
    }
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(QColor::fromRgba(key.fill));
    if (key.shape == Shape::Square)
        painter.drawRect(box);
    else
        painter.drawEllipse(centre, key.radius, key.radius);
    if (!key.text.isEmpty()) {
        painter.setPen(Qt::white);
        painter.drawText(box, Qt::AlignCenter, key.text);
    }
    return image;
}

void PinSprites::draw(QPainter &painter, QPointF at, Shape shape, double radius, QColor fill,
                      const QString &text) {
    if (painter.font() != font_) {
        font_ = painter.font();
        sprites_.clear();
    }
    if (sprites_.size() > kMostSprites)
        sprites_.clear();
    const Key key{fill.rgba(), shape, radius, painter.device()->devicePixelRatioF(), text};
    auto found = sprites_.constFind(key);
    if (found == sprites_.cend())
        found = sprites_.insert(key, make(key));
    const double half = std::ceil(radius + kRim);
    painter.drawImage(QPointF(std::round(at.x() - half), std::round(at.y() - half)), *found);
}

} // namespace pelorin
