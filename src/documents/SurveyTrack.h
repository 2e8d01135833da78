#pragma once

#include "documents/SurveyDocument.h"
#include "gpx/MergedLogs.h"
#include "gpx/TrackView.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

namespace pelorin {

// One line of the track: the track points (waypoints passed over) from view
// position `first` up to `end` that share one segment of the log.
struct TrackRun {
    std::size_t first = 0;
    std::size_t end = 0;
    std::size_t points = 0; // track points in the run
};

// The track's runs in view order; a new run starts where the segment changes.
std::vector<TrackRun> trackRuns(TrackView track);

// Each log's share of a track merged from several (names in the order given); none with one log.
std::vector<TrackLog> trackLogs(std::span<const std::string> names, const MergedLogs &merged);

// The tracks a document writes: the survey itself, or with several logs one
// per log holding only its points and named by its file.
std::vector<SurveyDocument> trackParts(const SurveyDocument &survey);

} // namespace pelorin
