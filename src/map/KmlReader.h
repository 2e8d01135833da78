#pragma once

#include "map/KmlDocument.h"

#include <QByteArray>
#include <QColor>
#include <QString>

#include <optional>
#include <stop_token>

class QIODevice;

namespace pelorin {

// Reads the tracks (LineString placemarks, styled through Style/LineStyle
// and styleUrl) and the point placemarks of a KML document: a placemark in a
// folder named "Waypoints" is a waypoint, any other a recording whose species
// and file name come from its ExtendedData ("species", "filename"), else
// from its name and its description's "File" line. A document
// that is not well-formed KML, declares an entity, holds a bad coordinate, or
// has nothing to draw gives an error.
KmlReadResult parseKml(const QByteArray &data);
// The same, read from the device a piece at a time: the document's text is
// never held whole. A stop request ends the read with an error.
KmlReadResult parseKml(QIODevice &device, std::stop_token stop = {});

// A KML colour: aabbggrr in hexadecimal, with or without a leading '#'.
std::optional<QColor> parseKmlColor(QStringView text);

} // namespace pelorin
