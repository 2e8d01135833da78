#pragma once

#include "gpx/GpxReader.h"

#include <QString>

namespace pelorin {

// The "Parsing Error!" sheet's informative text:
// "Error <code>, Description: <description>, Line: <line>, Column: <column>".
QString gpxErrorInformativeText(const GpxError &error);

} // namespace pelorin
