#pragma once

#include "map/KmlDocument.h"

#include <QPointF>

namespace pelorin {

// An equirectangular projection in metres, x east and y north, with the
// east-west scale true at a reference latitude (the data's middle). Per point
// it is one multiplication per axis, which keeps a million-point track cheap.
class MapProjection {
public:
    explicit MapProjection(double referenceLat = 0);

    double referenceLatitude() const { return referenceLat_; }
    QPointF project(GeoPoint point) const {
        return {point.lon * metresPerLonDegree_, point.lat * kMetresPerDegree};
    }
    GeoPoint unproject(QPointF world) const {
        return {world.y() / kMetresPerDegree, world.x() / metresPerLonDegree_};
    }
    // Ground metres per projected metre along a parallel at a latitude.
    double eastWestFactor(double lat) const;

private:
    static constexpr double kMetresPerDegree = 6371008.8 * 3.14159265358979323846 / 180;
    double referenceLat_;
    double metresPerLonDegree_;
};

} // namespace pelorin
