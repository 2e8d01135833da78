#pragma once

#include <QColor>
#include <QString>

#include <vector>

namespace pelorin {

struct GeoPoint {
    double lat = 0;
    double lon = 0;
};

// A LineString placemark with its resolved line style.
struct KmlTrack {
    QString name;
    QColor color;
    double width = 2;
    std::vector<GeoPoint> points;
};

// A Point placemark.
struct KmlPlace {
    QString name;
    QString description;
    GeoPoint position;
};

// What the map draws from a KML file.
struct KmlDocument {
    QString name;
    std::vector<KmlTrack> tracks;
    std::vector<KmlPlace> places;
};

} // namespace pelorin
