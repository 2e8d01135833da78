#pragma once

#include "map/KmlReader.h"

namespace pelorin {

// Reads a GeoJSON FeatureCollection (or a single Feature): (Multi)LineStrings
// are tracks, Points are recordings, or waypoints when their "kind" property
// says so. A recording's species and file name are its "species" and
// "filename" properties. The same errors as a KML document's.
KmlReadResult parseGeoJson(const QByteArray &data);

} // namespace pelorin
