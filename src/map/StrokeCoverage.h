#pragma once

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QSize>

#include <cstdint>
#include <vector>

namespace pelorin {

// The pixels a wide line with round caps and joins covers, antialiased: the
// union of the capsules around its segments. Each pixel takes its distance to
// the nearest segment, so the work follows the line's length on screen, not
// the number of joins a path stroker would round (which makes a dense track
// of tens of thousands of points take seconds to stroke).
class StrokeCoverage {
public:
    explicit StrokeCoverage(QSize pixels);

    // A segment of a line of the given half width, in pixels; a = b is a dot.
    void addSegment(QPointF a, QPointF b, double radius);
    // Lays the covered pixels over target (premultiplied ARGB of the same
    // size) in a colour, its alpha included: where segments overlap the line
    // is no darker.
    void paint(QImage &target, QColor colour) const;
    void clear();

private:
    void addPiece(QPointF a, QPointF b, double radius);

    int width_;
    int height_;
    std::vector<std::uint8_t> coverage_;
};

} // namespace pelorin
