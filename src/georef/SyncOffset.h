#pragma once

#include "georef/ClockDrift.h"
#include "georef/Recording.h"
#include "gpx/TrackView.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pelorin {

// A clock offset from a known moment: a recording the user started at a
// waypoint they marked on the logger.
struct SyncOffset {
    std::int32_t offsetSeconds = 0; // the waypoint's time minus the recording's start, rounded
    SyncPoint point;                // the recording's start and the waypoint's time
    std::string error;              // why there is no offset; empty when there is one
    bool ok() const { return error.empty(); }
};

// The recording is found by its file name (a path names the file it ends
// in), the waypoint by its `name`; the first of each counts.
SyncOffset syncOffset(std::span<const Recording> recordings, TrackView track, std::string_view recording,
                      std::string_view waypoint);

// "offset 37 s, from SURVEY_20250612_214236.wav at waypoint "Start"".
std::string syncOffsetText(std::int32_t offsetSeconds, std::string_view recording, std::string_view waypoint);

} // namespace pelorin
