#pragma once

#include "documents/KmlWriter.h"
#include "gpx/TrackPoint.h"

#include <QByteArray>

#include <vector>

namespace pelorin::test {

inline TrackPoint trackPoint(const char *lat, const char *lon) {
    TrackPoint point;
    point.setAttribute("lat", lat);
    point.setAttribute("lon", lon);
    return point;
}

// A document as the project's KML writer makes it: a three-point track and two placemarks.
inline QByteArray writtenKml() {
    const std::vector<TrackPoint> points{trackPoint("48.85", "9.5"), trackPoint("48.8512", "9.5003"),
                                         trackPoint("48.8530", "9.5011")};
    const std::vector<GeoRefRecord> records{{"Ppip,Nnoc", "File rec1\nTime 21:35:17", 48.8512f, 9.5003f},
                                            {"No species", "File rec2\nTime 21:40:00", 48.853f, 9.5011f}};
    const KmlOptions options{"Evening & night", "Meadow", true, false, false};
    return QByteArray::fromStdString(kmlDocument(options, TrackView{points, {}}, records));
}

} // namespace pelorin::test
