#pragma once

#include "georef/GeoRefRecord.h"
#include "georef/Placement.h"
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
// interpolating between the two timed points around it; one "fraction %f" line,
// in ascending start time, goes to log per interpolated recording (after the
// sweep, which itself only computes). The sweep visits the recordings in
// ascending start time and the timed points in ascending time (both stable;
// sorted only when not already in order), so the fraction always lies in
// [0, 1]; points without a time or with bad coordinates (as the GPX reader
// marks them) take no part, nor do recordings without a start time. A recording before the first
// point gets no record; the first one after the last point ends the sweep, so
// it and every later one get none. The records come in the order of
// `recordings`, one per placed recording. Linear in recordings plus points
// when both are already in time order.
std::vector<GeoRefRecord> geoRefRecordings(std::span<const Recording> recordings, TrackView track,
                                           std::int32_t offsetSeconds, const LogSink &log = {});

struct GeoRefResult {
    std::vector<GeoRefRecord> records; // what geoRefRecordings returns
    std::vector<Placement> placements; // one per recording, in the order of `recordings`
};

// The same sweep, also saying for every recording where it went and how sure
// that is. With default options the records are those of geoRefRecordings.
// With splitSegments, two consecutive fixes of different segments, or a
// waypoint and any other fix, are a gap never crossed.
// With a drift, each recording's offset is the drift's at its recorder time
// and offsetSeconds the drift's base offset; with options.at, the recording is
// placed at that moment when its length is known, else at its start.
GeoRefResult placeRecordings(std::span<const Recording> recordings, TrackView track,
                             std::int32_t offsetSeconds, const PlacementOptions &options = {},
                             const LogSink &log = {});

} // namespace pelorin
