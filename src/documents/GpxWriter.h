#pragma once

#include "documents/SurveyDocument.h"
#include "fileio/ByteSink.h"

#include <string>

namespace pelorin {

// Streams the survey as GPX 1.1, valid against its schema, to sink in pieces:
// the waypoints, then one waypoint per placed recording (named by file and
// species, its time the corrected one, its description the recording's
// fields), then the track with one trkseg per segment. Elevations and times
// are kept wherever the log had them. Recordings that were not placed are
// listed in the metadata's description.
void writeGpx(const SurveyDocument &survey, const ByteSink &sink);

// The whole document as bytes.
std::string gpxDocument(const SurveyDocument &survey);

} // namespace pelorin
