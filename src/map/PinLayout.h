#pragma once

#include <QFontMetricsF>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <vector>

namespace pelorin {

// Where pins are drawn: pins closer than a pin's width to each other share a
// spot. A spot of a few pins is spread on a ring around their middle, one
// pin each; a spot of more stays one pin drawn with their count.
struct PinSpot {
    QPointF at;                       // on screen
    std::vector<std::size_t> members; // indices into the pins given
    bool grouped() const { return members.size() > 1; }
};
std::vector<PinSpot> spreadPins(const std::vector<QPointF> &screen, double pinRadius, std::size_t maxSpread);

// A label to place beside a pin: its whole text and a shorter one to fall back on.
struct LabelRequest {
    QPointF anchor; // the pin's centre
    QString text;
    QString shortText;
};
struct PlacedLabel {
    std::size_t request;
    QString text;
    QRectF box; // on screen; the text's baseline is box.bottom() - descent
};
// Places labels in order, right of their pin, else left of it, with the whole
// text, else the short one; a label that would overlap one placed before it
// or a pin (the obstacles), or leave the area, is dropped.
std::vector<PlacedLabel> placeLabels(const std::vector<LabelRequest> &requests, const QFontMetricsF &metrics,
                                     double pinRadius, const std::vector<QRectF> &obstacles,
                                     const QRectF &area);

} // namespace pelorin
