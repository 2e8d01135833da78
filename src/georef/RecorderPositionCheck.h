#pragma once

#include "georef/GeoRef.h"
#include "georef/Placement.h"
#include "georef/Recording.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace pelorin {

// How far the positions recorders write of themselves lie from the pins the
// track gave: a check on the clock offset that needs no waypoint.

// Median distance in metres from each placed recording's pin to its
// recorder's own position; nothing when no placed recording has both.
std::optional<double> medianRecorderDistance(std::span<const Recording> recordings,
                                             std::span<const Placement> placements);

// "the recorders' own positions lie a median 14 m from the track's"; past
// 200 m "…a median 2.3 km from the track's: a wrong offset, or a stationary
// recorder's configured position?"; "" when there is nothing to compare.
std::string recorderDistanceText(std::span<const Recording> recordings,
                                 std::span<const Placement> placements);

// The offset, among the given one and whole and half hours up to 12 h either
// side (a clock set to the wrong zone, or not set for summer time), whose pins
// lie closest to the recorders' own positions.
struct PositionOffset {
    std::int32_t offsetSeconds = 0;
    double medianMetres = 0;
    std::size_t compared = 0; // placed recordings with their own position
};
std::optional<PositionOffset> offsetNearestRecorderPositions(std::span<const Recording> recordings,
                                                             TrackView track, std::int32_t givenOffsetSeconds,
                                                             const PlacementOptions &options = {});

// "the recorders' own positions agree best with --offset 3637 (a median 12 m from the track's)"
std::string positionOffsetText(const PositionOffset &best);

} // namespace pelorin
