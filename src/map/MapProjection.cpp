#include "map/MapProjection.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pelorin {

namespace {
// Near the poles a parallel's scale would run away; such data is drawn as at 80°.
constexpr double kMaxReferenceLat = 80;

double cosDegrees(double deg) {
    return std::cos(deg * std::numbers::pi / 180);
}
} // namespace

MapProjection::MapProjection(double referenceLat)
    : referenceLat_(std::clamp(referenceLat, -kMaxReferenceLat, kMaxReferenceLat))
    , metresPerLonDegree_(kMetresPerDegree * cosDegrees(referenceLat_)) {}

double MapProjection::eastWestFactor(double lat) const {
    return cosDegrees(lat) / cosDegrees(referenceLat_);
}

} // namespace pelorin
