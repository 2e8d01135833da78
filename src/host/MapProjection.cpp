#include "host/MapProjection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pelorin {

namespace {
constexpr double kEarthRadius = 6378137.0;
constexpr double kMaxLatitude = 85.05112878;
constexpr double kRadPerDeg = std::numbers::pi / 180.0;
} // namespace

QPointF projectMercator(GeoPoint point) {
    const double lat = std::clamp(point.lat, -kMaxLatitude, kMaxLatitude) * kRadPerDeg;
    return {kEarthRadius * point.lon * kRadPerDeg,
            kEarthRadius * std::log(std::tan(std::numbers::pi / 4 + lat / 2))};
}

GeoPoint unprojectMercator(QPointF world) {
    const double lat = 2 * std::atan(std::exp(world.y() / kEarthRadius)) - std::numbers::pi / 2;
    return {lat / kRadPerDeg, world.x() / kEarthRadius / kRadPerDeg};
}

double mercatorGroundFactor(double lat) {
    return std::cos(std::clamp(lat, -kMaxLatitude, kMaxLatitude) * kRadPerDeg);
}

} // namespace pelorin
