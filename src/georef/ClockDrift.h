#pragma once

#include "georef/Recording.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pelorin {

// What the recorder's clock showed when the GPS showed the other: noted at
// deployment and pickup, or a recording started at a marked waypoint.
struct SyncPoint {
    RecordingTime recorderTime{};
    RecordingTime gpsTime{};
};

// A clock that drifts: the offset linear between sync points, and beyond the
// outermost ones extrapolated from the nearest two.
class ClockDrift {
public:
    struct Made;
    // Two or more sync points, in any order; bad input (two at one recorder
    // time, a drift beyond ten minutes a day) is an error that says why.
    static Made from(std::vector<SyncPoint> points);

    // GPS time minus recorder time at that recorder time, to the millisecond.
    std::int64_t offsetMillisecondsAt(RecordingTime recorderTime) const;
    // The offset at the first sync point to the whole second: what the pass
    // keeps fixed, each recording's own offset applied as a shift from it.
    std::int32_t baseOffsetSeconds() const { return base_; }
    // One line a stretch between sync points: "the recorder's clock lost 2.4 s
    // a day between 2025-05-01 and 2025-06-12".
    std::vector<std::string> driftLines() const;

private:
    std::vector<SyncPoint> points_; // ascending recorder time
    std::int32_t base_ = 0;
};

struct ClockDrift::Made {
    std::optional<ClockDrift> drift;
    std::string error; // why there is none; empty when there is one
};

inline constexpr double kMostDriftSecondsADay = 600;

} // namespace pelorin
