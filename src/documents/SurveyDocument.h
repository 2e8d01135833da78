#pragma once

#include "georef/Placement.h"
#include "georef/Recording.h"
#include "gpx/TrackView.h"

#include <span>
#include <string>

namespace pelorin {

// What the survey writers (KML, GeoJSON, GPX) are given: plain values, the
// same for every format.
struct SurveyDocument {
    std::string name; // the transect's name, or the GPS log's file name when none is given
    std::string description;
    TrackView track;                       // waypoints and track points, in file order
    std::span<const Recording> recordings; //
    std::span<const Placement> placements; // one per recording, in the same order
    bool tessellate = false;               // KML: the line follows the terrain
    bool elevation = false;                // KML and GeoJSON: the track's positions carry elevations
};

} // namespace pelorin
