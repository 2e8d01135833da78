#pragma once

#include "documents/SurveyDocument.h"
#include "georef/Placement.h"
#include "gpx/GpxReader.h"
#include "gpx/MergedLogs.h"

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace pelorin::cli {

// The GPX files --gpx names: a file as given, a folder as every file below it
// ending in .gpx (any case), in natural order. Nothing (said why) when a folder holds none.
std::optional<std::vector<std::string>> gpxFilesNamed(const std::vector<std::string> &given,
                                                      std::ostream &err);

// The GPS logs of a run as one track.
struct GpsLogs {
    GpxResult track;                // one log: as read; several: merged (badCoordinates left empty)
    std::vector<std::string> names; // the files' names, in the order given
    MergedLogs merged;              // several logs: their spans and overlaps (the points are in track)
    std::size_t badCoordinates = 0;
    std::size_t pointsRead = 0;

    // "read N points" or "read K logs, N points".
    std::string readText() const;
    // Names the log each placed recording's fixes came from.
    void nameLogs(std::span<Placement> placements) const;
    // Each log's share of the track, for the documents; none with one log.
    std::vector<TrackLog> trackLogs() const;
};

// Reads every log with reader: a parse error names its file and stops, points with bad
// coordinates are named, overlapping logs warned of. False when the logs cannot be used (said why).
bool readGpsLogs(const std::vector<std::string> &paths, GpxReader &reader, GpsLogs &logs, std::ostream &err);

} // namespace pelorin::cli
