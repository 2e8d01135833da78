#pragma once

#include "georef/Placement.h"
#include "gpx/MergedLogs.h"

#include <span>
#include <string>

namespace pelorin {

// Gives each placed recording its GPS log's name: the only log's, or with
// several (names in the order given, merged by mergeLogs) the one whose fixes
// lie around it.
void nameGpsLogs(std::span<Placement> placements, std::span<const std::string> names,
                 const MergedLogs &merged);

} // namespace pelorin
