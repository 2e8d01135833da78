#include "georef/PlacementSummary.h"

#include "text/TimeText.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace pelorin {

namespace {

// The seconds of one kind of unplaced recording, for "4 min" or "4 to 20 min".
struct Spread {
    std::size_t count = 0;
    double least = 0;
    double most = 0;

    void add(double seconds) {
        least = count == 0 ? seconds : std::min(least, seconds);
        most = count == 0 ? seconds : std::max(most, seconds);
        ++count;
    }
    std::string text() const {
        std::string low = durationText(least);
        const std::string high = durationText(most);
        if (low == high)
            return low;
        // "4 to 20 min", but "90 s to 14 min"
        for (const std::string_view unit : {" min", " s"}) {
            const auto simple = [unit](const std::string &t) {
                return t.find(' ') + unit.size() == t.size();
            };
            if (low.ends_with(unit) && high.ends_with(unit) && simple(low) && simple(high))
                low.resize(low.size() - unit.size());
        }
        return low + " to " + high;
    }
};

std::string plural(std::size_t count, const std::string &one, const std::string &many) {
    return std::to_string(count) + ' ' + (count == 1 ? one : many);
}

} // namespace

std::string durationText(double seconds) {
    const long long whole = std::llround(std::max(seconds, 0.0));
    if (whole < 120)
        return std::to_string(whole) + " s";
    const long long minutes = (whole + 30) / 60;
    if (minutes < 120)
        return std::to_string(minutes) + " min";
    const std::string hours = std::to_string(minutes / 60) + " h";
    return minutes % 60 == 0 ? hours : hours + ' ' + std::to_string(minutes % 60) + " min";
}

std::string placementSummary(std::span<const Placement> placements, std::size_t badCoordinatePoints) {
    Spread before, after, gap;
    std::size_t placed = 0, untimed = 0;
    for (const Placement &placement : placements) {
        switch (placement.status) {
        case PlacementStatus::Exact:
        case PlacementStatus::Interpolated:
            ++placed;
            break;
        case PlacementStatus::BeforeTrack:
            before.add(placement.secondsToNearestFix);
            break;
        case PlacementStatus::AfterTrack:
            after.add(placement.secondsToNearestFix);
            break;
        case PlacementStatus::InGap:
            gap.add(placement.gapSeconds);
            break;
        case PlacementStatus::NoTime:
            ++untimed;
            break;
        }
    }
    std::string reasons;
    const auto add = [&reasons](const std::string &reason) {
        reasons += reasons.empty() ? "" : ", ";
        reasons += reason;
    };
    if (before.count > 0)
        add(std::to_string(before.count) + " before the track (" + before.text() + " before the first fix)");
    if (after.count > 0)
        add(std::to_string(after.count) + " after the track (" + after.text() + " after the last fix)");
    if (gap.count > 0)
        add(std::to_string(gap.count) +
            (gap.count == 1 ? " in a " + gap.text() + " gap" : " in gaps of " + gap.text()));
    if (untimed > 0)
        add(std::to_string(untimed) + " without a start time");
    std::string summary =
        "placed " + std::to_string(placed) + " of " + plural(placements.size(), "recording", "recordings");
    if (badCoordinatePoints > 0) {
        const std::string bad =
            plural(badCoordinatePoints, "track point", "track points") + " with bad coordinates left out";
        if (reasons.empty())
            return summary + ", " + bad;
        add(bad);
    }
    return reasons.empty() ? summary : summary + ": " + reasons;
}

std::string unplacedText(const Recording &recording, const Placement &placement) {
    std::string text = recording.filename + " not placed: ";
    switch (placement.status) {
    case PlacementStatus::BeforeTrack:
        return text + durationText(placement.secondsToNearestFix) + " before the first fix";
    case PlacementStatus::AfterTrack:
        return text + durationText(placement.secondsToNearestFix) + " after the last fix";
    case PlacementStatus::InGap:
        text += "at " + utcIsoText(placement.correctedTime) + ", in a " + durationText(placement.gapSeconds) +
                " gap between fixes";
        if (placement.before && placement.after)
            text += " at " + utcIsoText(placement.before->time) + " and " + utcIsoText(placement.after->time);
        return text;
    case PlacementStatus::NoTime:
        return text + "no start time";
    case PlacementStatus::Exact:
    case PlacementStatus::Interpolated:
        break;
    }
    return recording.filename + " placed";
}

} // namespace pelorin
