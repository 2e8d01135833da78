#pragma once

#include "map/KmlReader.h"

namespace pelorin {

// Reads a KML or a GeoJSON file, told apart by their first character.
KmlReadResult readMapFile(const QString &path);

} // namespace pelorin
