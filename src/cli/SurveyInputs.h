#pragma once

#include "cli/CommandLine.h"

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
// The offset to use: --offset, or the one --sync works out (said); nothing when --sync fails (said why).
std::optional<std::int32_t> syncedOffset(const CliOptions &options, const std::vector<Recording> &recordings,
                                         TrackView track, std::ostream &err);

// "pelorin: FILE:LINE:COL: " and the parser's words, or why the log cannot be read.
void reportGpxError(std::ostream &err, const std::string &path, const GpxError &error);

} // namespace pelorin::cli
