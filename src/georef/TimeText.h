#pragma once

#include "georef/Recording.h"

#include <string>

namespace pelorin {

// ISO 8601 texts of an instant; milliseconds only when there are any.
std::string utcIsoText(RecordingTime time);   // "2025-06-12T19:42:36Z"
std::string localIsoText(RecordingTime time); // "2025-06-12T21:42:36+02:00", the local zone (TZ honoured)

} // namespace pelorin
