#pragma once

#include "SurveyGenerator.h"
#include "georef/GeoRefRecord.h"
#include "georef/Recording.h"
#include "gpx/TrackPoint.h"

#include <vector>

namespace pelorin::bench {

// The generated survey as the core holds it, built without the GPX and CSV
// readers so each benchmark measures one stage only.
std::vector<TrackPoint> trackPoints(const SurveyParams &params);
std::vector<Recording> recordings(const SurveyParams &params);
// One record per recording inside the log, placed on its nearest fix.
std::vector<GeoRefRecord> placedRecords(const SurveyParams &params);

} // namespace pelorin::bench
