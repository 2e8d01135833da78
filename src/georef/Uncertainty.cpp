#include "georef/Uncertainty.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pelorin {

double uncertaintyRadius(double secondsToNearestFix, double gapSeconds, double fixDistanceMetres,
                         double accuracyMetres) {
    const double accuracy = std::max(accuracyMetres, 0.0);
    const double seconds = std::max(secondsToNearestFix, 0.0);
    if (seconds == 0 || !(gapSeconds > 0))
        return accuracy;
    const double pace = std::max(fixDistanceMetres, 0.0) / gapSeconds;
    return accuracy + seconds * (pace + kUnseenWalkMetresPerSecond);
}

double distanceMetres(double lat1, double lon1, double lat2, double lon2) {
    constexpr double kEarthRadius = 6371008.8; // mean radius, metres
    constexpr double kRadians = std::numbers::pi / 180.0;
    const double dLat = (lat2 - lat1) * kRadians;
    const double dLon = (lon2 - lon1) * kRadians;
    const double h = std::sin(dLat / 2) * std::sin(dLat / 2) + std::cos(lat1 * kRadians) *
                                                                   std::cos(lat2 * kRadians) *
                                                                   std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * kEarthRadius * std::asin(std::min(1.0, std::sqrt(h)));
}

} // namespace pelorin
