#pragma once

#include "documents/SurveyDocument.h"
#include "fileio/ByteSink.h"

#include <string>

namespace pelorin {

// Streams the survey-style KML 2.2 document, valid against the OGC schema, to
// sink in pieces: the track through the track points only, one LineString per
// segment; the waypoints in a "Waypoints" folder; every placed recording in its
// species' folder with its own colour, its corrected time as a TimeStamp and
// its fields as ExtendedData. A recording of several species goes into
// "Several species", so that each recording is one placemark and no count or
// time slider sees it twice; the species field and the legend still name every
// species. Recordings that were not placed are listed in the document's
// description, never given a position.
void writeSurveyKml(const SurveyDocument &survey, const ByteSink &sink);

// The whole document as bytes.
std::string surveyKml(const SurveyDocument &survey);

} // namespace pelorin
