#pragma once

#include "georef/Placement.h"
#include "georef/Recording.h"
#include "gpx/TrackView.h"

#include <cstddef>
#include <span>
#include <string>

namespace pelorin {

// One GPS log's share of a track read from several: its file's name and its points' view positions.
struct TrackLog {
    std::string name;
    std::size_t first = 0, end = 0;
};

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
    // Several logs: a track each, named by its file; else one track, named `name`.
    std::span<const TrackLog> logs = {};
};

} // namespace pelorin
