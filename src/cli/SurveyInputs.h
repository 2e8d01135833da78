#pragma once

#include "cli/CommandLine.h"

#include "georef/ClockDrift.h"
#include "georef/Recording.h"
#include "gpx/TrackView.h"
#include "recordings/RecorderZone.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {
struct GpxError;
}

namespace pelorin::cli {

// What the batch command and the GUANO write-back share about their inputs.

// The zone --recorder-tz names; false (said why) when there is no such zone.
bool findRecorderZone(const CliOptions &options, std::optional<RecorderZone> &zone, std::ostream &err);
// Names every recording whose start time may be an hour off or is uncertain.
void warnAboutTimes(std::ostream &err, const std::vector<Recording> &recordings);
// The recorder's clock as the options set it: a fixed offset, or with two or
// more sync points a drift around that base offset.
struct ClockSetting {
    std::int32_t offsetSeconds = 0;
    std::optional<ClockDrift> drift;
};
// --offset, or what the sync points work out (said, and the drift); nothing
// when a sync point cannot be used (said why).
std::optional<ClockSetting> clockSetting(const CliOptions &options, const std::vector<Recording> &recordings,
                                         TrackView track, const RecorderZone *zone, std::ostream &err);

// "pelorin: FILE:LINE:COL: " and the parser's words, or why the log cannot be read.
void reportGpxError(std::ostream &err, const std::string &path, const GpxError &error);

} // namespace pelorin::cli
