#pragma once

#include "georef/Recording.h"
#include "text/TimeText.h"

#include <string>
#include <vector>

namespace pelorin {

// A placemark's name: the abbreviations joined with ',' (an empty one kept),
// or "No species".
std::string placemarkName(const std::vector<std::string> &species);

// A placemark's description: "File <name without its last extension>\nTime
// HH:MM:SS", the recorder's own start time in the local time zone (TZ honoured).
// offsets spares a look at the zone for every recording of a long list.
std::string placemarkDescription(const Recording &recording, UtcOffsets &offsets);
std::string placemarkDescription(const Recording &recording);

} // namespace pelorin
