#include "georef/ClockDrift.h"

#include "text/NumberText.h"
#include "text/TimeText.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace pelorin {

namespace {

constexpr double kMillisecondsADay = 86'400'000.0;

std::int64_t offsetOf(const SyncPoint &point) {
    return (point.gpsTime - point.recorderTime).count();
}

std::int64_t atOf(const SyncPoint &point) {
    return point.recorderTime.time_since_epoch().count();
}

// Seconds the offset grows a day from a to b (a clock that loses time).
double secondsADay(const SyncPoint &a, const SyncPoint &b) {
    return static_cast<double>(offsetOf(b) - offsetOf(a)) / static_cast<double>(atOf(b) - atOf(a)) *
           kMillisecondsADay / 1000.0;
}

std::string dateOf(RecordingTime time) {
    return utcIsoText(time).substr(0, 10);
}

} // namespace

ClockDrift::Made ClockDrift::from(std::vector<SyncPoint> points) {
    Made made;
    std::stable_sort(points.begin(), points.end(),
                     [](const SyncPoint &a, const SyncPoint &b) { return a.recorderTime < b.recorderTime; });
    if (points.size() < 2) {
        made.error = "a drift needs two sync points";
        return made;
    }
    for (std::size_t i = 1; i < points.size(); ++i) {
        const SyncPoint &a = points[i - 1];
        const SyncPoint &b = points[i];
        if (a.recorderTime == b.recorderTime) {
            made.error = "two sync points at the recorder time " + utcIsoText(a.recorderTime) +
                         "; each needs a time of its own";
            return made;
        }
        if (const double drift = secondsADay(a, b); std::abs(drift) > kMostDriftSecondsADay) {
            std::string rate;
            appendDecimal(rate, std::abs(drift), 1);
            made.error = "the sync points at the recorder times " + utcIsoText(a.recorderTime) + " and " +
                         utcIsoText(b.recorderTime) + " make the clock drift " + rate +
                         " s a day, more than 10 minutes a day: check their times";
            return made;
        }
    }
    const double base = std::round(static_cast<double>(offsetOf(points.front())) / 1000.0);
    if (base < std::numeric_limits<std::int32_t>::min() || base > std::numeric_limits<std::int32_t>::max()) {
        made.error = "the sync points lie too far apart for a clock offset";
        return made;
    }
    made.drift.emplace();
    made.drift->points_ = std::move(points);
    made.drift->base_ = static_cast<std::int32_t>(base);
    return made;
}

std::int64_t ClockDrift::offsetMillisecondsAt(RecordingTime recorderTime) const {
    // The stretch around the time; before the first or after the last, the nearest one.
    const auto after = std::upper_bound(
        points_.begin() + 1, points_.end() - 1, recorderTime,
        [](RecordingTime time, const SyncPoint &point) { return time < point.recorderTime; });
    const SyncPoint &a = *(after - 1);
    const SyncPoint &b = *after;
    const double fraction = static_cast<double>(recorderTime.time_since_epoch().count() - atOf(a)) /
                            static_cast<double>(atOf(b) - atOf(a));
    return offsetOf(a) + std::llround(static_cast<double>(offsetOf(b) - offsetOf(a)) * fraction);
}

std::vector<std::string> ClockDrift::driftLines() const {
    std::vector<std::string> lines;
    for (std::size_t i = 1; i < points_.size(); ++i) {
        const double drift = secondsADay(points_[i - 1], points_[i]);
        std::string line = "the recorder's clock ";
        std::string rate;
        appendDecimal(rate, std::abs(drift), 2);
        if (rate == "0")
            line += "kept time";
        else
            line += (drift > 0 ? "lost " : "gained ") + rate + " s a day";
        // Dates tell a season's stretches apart; within one day, the times.
        const RecordingTime from = points_[i - 1].gpsTime, to = points_[i].gpsTime;
        const bool oneDay = dateOf(from) == dateOf(to);
        line += " between " + (oneDay ? utcIsoText(from) : dateOf(from)) + " and " +
                (oneDay ? utcIsoText(to) : dateOf(to));
        lines.push_back(std::move(line));
    }
    return lines;
}

} // namespace pelorin
