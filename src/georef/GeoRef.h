#pragma once

#include "georef/GeoRefRecord.h"
#include "georef/Recording.h"
#include "gpx/TrackView.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

namespace pelorin {

using LogSink = std::function<void(std::string_view line)>;

// Places each recording on the track by its start time plus offsetSeconds,
// interpolating between the two timed points around it. Records come in the
// order of `recordings`; "fraction %f" lines go to log. One sweep, linear in
// recordings plus points when both are already in time order.
std::vector<GeoRefRecord> geoRefRecordings(std::span<const Recording> recordings, TrackView track,
                                           std::int32_t offsetSeconds, const LogSink &log = {});

// The parts of a record that do not depend on the track.
std::string speciesText(const std::vector<std::string> &species);
std::string descriptionText(const Recording &recording); // local time zone, TZ honoured

} // namespace pelorin
