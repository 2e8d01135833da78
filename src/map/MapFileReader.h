#pragma once

#include "map/KmlReader.h"

#include <stop_token>

namespace pelorin {

// Reads a KML or a GeoJSON file, told apart by their first character. A KML
// file is read a piece at a time; a stop request ends the read with an error.
KmlReadResult readMapFile(const QString &path, std::stop_token stop = {});

} // namespace pelorin
