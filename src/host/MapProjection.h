#pragma once

#include "host/KmlDocument.h"

#include <QPointF>

namespace pelorin {

// Spherical Web Mercator in metres: x east, y north. Latitudes are clamped
// to the projection's limit (about 85.05 degrees).
QPointF projectMercator(GeoPoint point);
GeoPoint unprojectMercator(QPointF world);

// How many ground metres one projected metre spans at a latitude.
double mercatorGroundFactor(double lat);

} // namespace pelorin
