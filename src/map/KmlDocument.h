#pragma once

#include <QColor>
#include <QString>
#include <QStringList>

#include <optional>
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

enum class PlaceKind { Recording, Waypoint };

// A Point placemark: a recording's pin or a waypoint.
struct KmlPlace {
    QString name;
    QString description;
    GeoPoint position;
    PlaceKind kind = PlaceKind::Recording;
    QStringList species;         // none for a waypoint or a recording without
    QString recording;           // its file name, perhaps without the extension
    std::optional<QColor> color; // the document's own icon colour
};

// What the map draws from a KML or GeoJSON file.
struct KmlDocument {
    QString name;
    std::vector<KmlTrack> tracks;
    std::vector<KmlPlace> places;
};

} // namespace pelorin
