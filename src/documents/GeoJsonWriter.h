#pragma once

#include "documents/SurveyDocument.h"
#include "fileio/ByteSink.h"

#include <string>

namespace pelorin {

// Streams the survey as RFC 7946 GeoJSON to sink in pieces: one
// FeatureCollection (its "name" the survey's) holding the track as a
// MultiLineString ("kind": "track"), the waypoints as Points ("kind":
// "waypoint") and every recording as a Point ("kind": "recording") with the
// placement fields as properties and its species' colour as "marker-color". A
// recording that was not placed keeps its properties with a null geometry,
// as RFC 7946 allows for a feature without a position.
void writeGeoJson(const SurveyDocument &survey, const ByteSink &sink);

// The whole document as bytes.
std::string geoJson(const SurveyDocument &survey);

} // namespace pelorin
