#pragma once

#include "georef/Recording.h"
#include "georef/RecordingMoment.h"
#include "gpx/TrackPoint.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelorin {

// What the pass made of one recording.
enum class PlacementStatus : std::uint8_t {
    Exact,        // the corrected time is a fix's time
    Interpolated, // between the two fixes around it
    BeforeTrack,  // before the first timed fix
    AfterTrack,   // after the last timed fix
    InGap,        // the fixes around it lie further apart than the maximum gap, or in two segments
    NoTime,       // the recording has no start time
};

// "exact", "interpolated", "before-track", "after-track", "in-gap", "no-time".
std::string_view placementStatusName(PlacementStatus status);

constexpr bool isPlaced(PlacementStatus status) {
    return status == PlacementStatus::Exact || status == PlacementStatus::Interpolated;
}

// A fix of the track as a placement saw it.
struct PlacementFix {
    Instant time{};
    double lat = 0;
    double lon = 0;
    std::optional<double> elevation;

    friend bool operator==(const PlacementFix &, const PlacementFix &) = default;
};

// One recording's placement, made by the same sweep that makes the records.
struct Placement {
    PlacementStatus status = PlacementStatus::NoTime;
    RecordingTime
        correctedTime{}; // the moment placed (the start unless asked otherwise) plus the offset, UTC
    std::int64_t offsetMilliseconds = 0;               // the offset applied to this recording
    RecordingMoment placedAt = RecordingMoment::Start; // the start when the length is unknown
    // The fixes around the corrected time: both for interpolated and in-gap,
    // `before` alone for exact (the fix itself) and after-track (the last fix),
    // `after` alone for before-track (the first fix); none for no-time.
    std::optional<PlacementFix> before;
    std::optional<PlacementFix> after;
    double secondsToNearestFix = 0;
    double gapSeconds = 0;        // between the two fixes; 0 with fewer than two
    double fixDistanceMetres = 0; // great-circle distance between the two fixes
    double uncertaintyMetres = 0; // radius; only meaningful when placed
    // The position, bit for bit the one the record carries; only when placed.
    float lat = 0;
    float lon = 0;
    float fraction = 0;              // of the way from `before` to `after`; 0 unless interpolated
    std::optional<double> elevation; // interpolated when both fixes have one
    std::string_view gpsLog; // the file the fixes came from, in names its caller keeps; only when placed

    bool placed() const { return isPlaced(status); }
};

class ClockDrift;

// What the pass may be asked beyond the plain placement.
struct PlacementOptions {
    std::optional<double> maxGapSeconds; // fixes further apart: in-gap, not placed
    bool splitSegments = false;          // a segment boundary is a gap never crossed
    double fixAccuracyMetres = 5;        // the logger's stated accuracy
    // A drifting clock: each recording's offset from it rather than the fixed
    // one, which must then be its base offset.
    const ClockDrift *drift = nullptr;
    RecordingMoment at = RecordingMoment::Start;
};

} // namespace pelorin
