#pragma once

#include "georef/Placement.h"
#include "georef/Recording.h"

#include <cstddef>
#include <span>
#include <string>

namespace pelorin {

// What a run placed, in a few words for the last line of its messages:
// "placed 20 of 22 recordings: 1 before the track (4 min before the first
// fix), 1 in a 14 min gap, 3 track points with bad coordinates left out", or
// "placed 22 of 22 recordings" when nothing is left to say.
std::string placementSummary(std::span<const Placement> placements, std::size_t badCoordinatePoints);

// Why one recording was not placed: "R3.wav not placed: 4 min before the first fix".
std::string unplacedText(const Recording &recording, const Placement &placement);

// A span of time as people say it: "35 s", "14 min", "2 h 5 min".
std::string durationText(double seconds);

} // namespace pelorin
