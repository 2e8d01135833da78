#pragma once

#include "map/MapViewport.h"

#include <QPolygonF>

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

namespace pelorin {

// The screen polylines that draw a projected track: a point closer than
// minPixels to the last kept one is skipped, and a segment wholly on one
// side outside clip breaks the line, so the work follows the pixels on
// screen rather than the points in the file. A track of one point gives a
// one-point polyline when it is inside clip.
std::vector<QPolygonF> screenPolylines(const std::vector<QPointF> &world, const MapViewport &viewport,
                                       const QRectF &clip, double minPixels = 1.0);

// The same polylines handed over one at a time, a long one in pieces of at
// most mostPoints that share their ends, so none need be held at once.
void visitScreenPolylines(const std::vector<QPointF> &world, const MapViewport &viewport, const QRectF &clip,
                          double minPixels, const std::function<void(const QPolygonF &)> &visit,
                          qsizetype mostPoints = std::numeric_limits<qsizetype>::max());

// The track with the points dropped that lie within tolerance of the line
// through those kept (Douglas-Peucker, in pieces of a few thousand points so
// the work stays linear on any shape). The ends are always kept. Nothing when
// more than most points would be kept.
std::optional<std::vector<QPointF>> simplifiedTrack(const std::vector<QPointF> &world, double tolerance,
                                                    std::size_t most = SIZE_MAX);

} // namespace pelorin
