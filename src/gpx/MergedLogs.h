#pragma once

#include "gpx/GpxReader.h"
#include "gpx/TrackPoint.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// One log's share of the merged track.
struct LogSpan {
    std::size_t log = 0;                // in the order the logs were given
    std::size_t first = 0, end = 0;     // its points in MergedLogs::points
    std::optional<Instant> start, last; // its first and last timed fix kept
};

// Two logs whose times overlap: the later-starting one's fixes in the earlier's span are dropped.
struct LogOverlap {
    std::size_t earlier = 0, later = 0; // logs, in the order given
    Instant from{}, to{};               // the overlap's span
    std::size_t identical = 0;          // the later's fixes there equal to one of the earlier's: counted once
    std::size_t replaced = 0;           // the later's other fixes there, left out
};

// Several GPS logs as one track: the logs in the order they start, each in its
// file order. A log's end is a segment's end: the segments are numbered on
// from one log to the next (saturating as TrackPoint's do), so a pass that
// splits segments never bridges two logs.
struct MergedLogs {
    std::vector<TrackPoint> points;
    std::vector<LogSpan> spans; // in the order of points
    std::vector<LogOverlap> overlaps;
    std::size_t badCoordinates = 0; // points the pass does not use
    bool hasElevation = false;

    // The log whose kept fixes span the instant (the earliest-starting when several do).
    std::optional<std::size_t> logAt(Instant time) const;
};

// Merges logs read in full (each without error). Two devices' fixes are never
// interleaved: a log's fixes inside the span of one that starts earlier are left
// out, those equal in time and position to one of its fixes counted as identical.
MergedLogs mergeLogs(std::vector<GpxResult> logs);

} // namespace pelorin
