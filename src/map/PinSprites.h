#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPointF>
#include <QString>

class QPainter;

namespace pelorin {

// A pin's look (a disc or a square with a white rim, perhaps a count on it;
// or the ring that marks a highlighted pin) drawn once and then copied: a
// crowded map shows thousands of pins, and stroking each one's outline again
// on every frame of a pan is what stalls it.
class PinSprites {
public:
    enum class Shape { Disc, Square, Ring };
    // Draws a pin centred on at, on whole pixels.
    void draw(QPainter &painter, QPointF at, Shape shape, double radius, QColor fill,
              const QString &text = {});

private:
    struct Key {
        QRgb fill;
        Shape shape;
        double radius;
        qreal ratio;
        QString text;
        friend bool operator==(const Key &, const Key &) = default;
        friend size_t qHash(const Key &key, size_t seed = 0) {
            return qHashMulti(seed, key.fill, int(key.shape), key.radius, key.ratio, key.text);
        }
    };
    QImage make(const Key &key) const;

    QFont font_;
    QHash<Key, QImage> sprites_;
};

} // namespace pelorin
