#pragma once

#include "documents/SurveyDocument.h"
#include "georef/Recording.h"
#include "georef/RecordingFields.h"
#include "gpx/TrackPoint.h"
#include "text/NumberText.h"
#include "text/TimeText.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace pelorin {

// The texts every survey format writes the same way.

// Appends a GPS log's elevation text as a plain decimal number; false,
// appending nothing, when the text is no number.
bool appendElevation(std::string &out, std::optional<std::string_view> text);
// "Waypoint 2" (counted from 1) unless the point carries a name.
std::string waypointName(const TrackPoint &point, std::size_t number);

// The recordings that were not placed, one line each ("R3.wav: after-track"),
// after a heading; "" when every recording was placed.
std::string notPlacedText(const SurveyDocument &survey);
// The user's description followed by notPlacedText, a blank line between.
std::string surveyDescription(const SurveyDocument &survey);

} // namespace pelorin
