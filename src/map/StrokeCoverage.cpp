#include "map/StrokeCoverage.h"

#include <algorithm>
#include <cmath>

namespace pelorin {

namespace {
// A long segment is split into pieces this long, so each piece's bounding box stays small.
constexpr double kPieceLength = 8;
} // namespace

StrokeCoverage::StrokeCoverage(QSize pixels)
    : width_(std::max(pixels.width(), 0))
    , height_(std::max(pixels.height(), 0))
    , coverage_(std::size_t(width_) * std::size_t(height_), 0) {}

void StrokeCoverage::clear() {
    std::fill(coverage_.begin(), coverage_.end(), 0);
}

void StrokeCoverage::addSegment(QPointF a, QPointF b, double radius) {
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length <= kPieceLength) {
        addPiece(a, b, radius);
        return;
    }
    const int pieces = std::max(1, int(std::ceil(length / kPieceLength)));
    for (int i = 0; i < pieces; ++i)
        addPiece(a + (b - a) * (double(i) / pieces), a + (b - a) * (double(i + 1) / pieces), radius);
}

// A pixel is covered by how far the line's edge (radius from the segment)
// lies beyond its centre, clamped to one pixel: the usual antialiased edge.
void StrokeCoverage::addPiece(QPointF a, QPointF b, double radius) {
    const double reach = radius + 0.5;
    const int x0 = std::max(0, int(std::floor(std::min(a.x(), b.x()) - reach)));
    const int x1 = std::min(width_ - 1, int(std::ceil(std::max(a.x(), b.x()) + reach)));
    const int y0 = std::max(0, int(std::floor(std::min(a.y(), b.y()) - reach)));
    const int y1 = std::min(height_ - 1, int(std::ceil(std::max(a.y(), b.y()) + reach)));
    if (x0 > x1 || y0 > y1)
        return;
    const double abx = b.x() - a.x();
    const double aby = b.y() - a.y();
    const double length2 = abx * abx + aby * aby;
    const double inverse = length2 > 0 ? 1 / length2 : 0;
    const double outer2 = reach * reach;
    const double inner = std::max(radius - 0.5, 0.0);
    const double inner2 = inner * inner;
    for (int y = y0; y <= y1; ++y) {
        std::uint8_t *row = coverage_.data() + std::size_t(y) * std::size_t(width_);
        const double py = y + 0.5 - a.y();
        for (int x = x0; x <= x1; ++x) {
            if (row[x] == 255)
                continue;
            const double px = x + 0.5 - a.x();
            const double t = std::clamp((px * abx + py * aby) * inverse, 0.0, 1.0);
            const double dx = px - t * abx;
            const double dy = py - t * aby;
            const double d2 = dx * dx + dy * dy;
            if (d2 >= outer2)
                continue;
            const auto value =
                d2 <= inner2 ? std::uint8_t(255) : std::uint8_t((reach - std::sqrt(d2)) * 255 + 0.5);
            row[x] = std::max(row[x], value);
        }
    }
}

void StrokeCoverage::paint(QImage &target, QColor colour) const {
    if (target.format() != QImage::Format_ARGB32_Premultiplied || target.width() != width_ ||
        target.height() != height_)
        return;
    const QRgb premultiplied = qPremultiply(colour.rgba());
    const unsigned channels[4] = {unsigned(qAlpha(premultiplied)), unsigned(qRed(premultiplied)),
                                  unsigned(qGreen(premultiplied)), unsigned(qBlue(premultiplied))};
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t *row = coverage_.data() + std::size_t(y) * std::size_t(width_);
        auto *out = reinterpret_cast<QRgb *>(target.scanLine(y));
        for (int x = 0; x < width_; ++x) {
            const unsigned c = row[x];
            if (c == 0)
                continue;
            unsigned source[4];
            for (int k = 0; k < 4; ++k)
                source[k] = (channels[k] * c + 127) / 255;
            const QRgb d = out[x];
            const unsigned keep = 255 - source[0];
            const auto over = [keep](unsigned top, int below) {
                return int(top + (unsigned(below) * keep + 127) / 255);
            };
            out[x] = qRgba(over(source[1], qRed(d)), over(source[2], qGreen(d)), over(source[3], qBlue(d)),
                           over(source[0], qAlpha(d)));
        }
    }
}

} // namespace pelorin
