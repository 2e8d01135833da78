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

// A track without a style of its own is drawn so.
inline const QColor kDefaultTrackColor{0x1f, 0x5f, 0xbf};
constexpr double kDefaultTrackWidth = 2;

// A LineString placemark with its resolved line style.
struct KmlTrack {
    QString name;
    QColor color = kDefaultTrackColor;
    double width = kDefaultTrackWidth;
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

// What the map draws from a KML or GeoJSON file; both readers fill it.
struct KmlDocument {
    QString name;
    std::vector<KmlTrack> tracks;
    std::vector<KmlPlace> places;
};

struct KmlReadResult {
    KmlDocument document;
    QString error; // empty when the document was read
    bool ok() const { return error.isEmpty(); }
};

// A map reader's message, translated in the readers' one context.
QString mapReaderText(const char *text);
// A reader's error.
KmlReadResult mapReadError(const QString &message);
// The document read, or the error that it holds nothing to draw.
KmlReadResult drawableOrError(KmlDocument document);

} // namespace pelorin
