#include "georef/OffsetDiagnosis.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <optional>
#include <vector>

namespace pelorin {

namespace {

constexpr std::int64_t kMillis = 1000;
constexpr std::int64_t kQuarterHour = 15 * 60;
constexpr std::int64_t kZoneReach = 14 * 60 * 60; // the furthest zones lie 14 h from UTC

// Recordings' start times, sorted, against the track's span; all in milliseconds.
class Night {
public:
    Night(std::vector<std::int64_t> sortedTimes, std::int64_t first, std::int64_t last)
        : times_(std::move(sortedTimes))
        , first_(first)
        , last_(last) {}

    std::size_t meeting(std::int64_t offsetSeconds) const {
        const std::int64_t shift = offsetSeconds * kMillis;
        const auto from = std::lower_bound(times_.begin(), times_.end(), first_ - shift);
        const auto to = std::upper_bound(from, times_.end(), last_ - shift);
        return static_cast<std::size_t>(to - from);
    }

    // The seconds offset putting the most recordings into the span, nearest
    // `given` among equals: every maximal run of times no longer than the span
    // fits for a range of offsets, found in one walk.
    std::optional<std::int64_t> bestPlainOffset(std::int64_t given) const {
        std::optional<std::int64_t> best;
        std::size_t bestCount = 0;
        std::int64_t bestDistance = 0;
        const std::int64_t span = last_ - first_;
        std::size_t j = 0;
        for (std::size_t i = 0; i < times_.size(); ++i) {
            j = std::max(j, i);
            while (j + 1 < times_.size() && times_[j + 1] - times_[i] <= span)
                ++j;
            // first <= t_i + d and t_j + d <= last, d in whole seconds
            const std::int64_t lo = ceilDiv(first_ - times_[i], kMillis);
            const std::int64_t hi = floorDiv(last_ - times_[j], kMillis);
            if (lo > hi)
                continue;
            const std::int64_t offset = std::clamp(given, lo, hi);
            const std::size_t count = j - i + 1;
            const std::int64_t distance = std::abs(offset - given);
            if (!best || count > bestCount || (count == bestCount && distance < bestDistance)) {
                best = offset;
                bestCount = count;
                bestDistance = distance;
            }
        }
        return best;
    }

private:
    static std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
        return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
    }
    static std::int64_t ceilDiv(std::int64_t a, std::int64_t b) { return -floorDiv(-a, b); }

    std::vector<std::int64_t> times_;
    std::int64_t first_;
    std::int64_t last_;
};

bool fitsOffset(std::int64_t seconds) {
    return seconds >= std::numeric_limits<std::int32_t>::min() &&
           seconds <= std::numeric_limits<std::int32_t>::max();
}

std::string offsetName(std::int64_t seconds, OffsetWording wording) {
    const std::string number = std::to_string(seconds);
    return wording == OffsetWording::CommandOption ? "--offset " + number
                                                   : "a clock offset of " + number + " s";
}

std::string recordingsNoun(std::size_t n) {
    return n == 1 ? "recording" : "recordings";
}

} // namespace

OffsetDiagnosis diagnoseOffset(std::span<const Recording> recordings, TrackView track,
                               std::int32_t givenOffset) {
    OffsetDiagnosis diagnosis;
    diagnosis.recordings = recordings.size();
    diagnosis.givenOffset = givenOffset;
    diagnosis.suggestedOffset = givenOffset;

    std::optional<std::int64_t> first, last;
    for (std::size_t i = 0; i < track.size(); ++i) {
        if (const std::optional<Instant> time = track[i].time()) {
            const std::int64_t ms = time->time_since_epoch().count() * kMillis;
            first = first ? std::min(*first, ms) : ms;
            last = last ? std::max(*last, ms) : ms;
        }
    }
    if (!first || recordings.empty())
        return diagnosis;

    std::vector<std::int64_t> times;
    times.reserve(recordings.size());
    for (const Recording &recording : recordings)
        times.push_back(recording.recordingTime.time_since_epoch().count());
    std::sort(times.begin(), times.end());
    const Night night(std::move(times), *first, *last);

    diagnosis.meetingAtGiven = night.meeting(givenOffset);
    std::int64_t bestZone = givenOffset;
    std::size_t bestZoneCount = diagnosis.meetingAtGiven;
    // Nearest first, so the smaller difference wins among equals.
    for (std::int64_t step = kQuarterHour; step <= kZoneReach; step += kQuarterHour) {
        for (const std::int64_t candidate : {givenOffset + step, givenOffset - step}) {
            if (!fitsOffset(candidate))
                continue;
            const std::size_t count = night.meeting(candidate);
            if (count > bestZoneCount) {
                bestZone = candidate;
                bestZoneCount = count;
            }
        }
    }

    diagnosis.suggestedOffset = static_cast<std::int32_t>(bestZone);
    diagnosis.meetingAtSuggested = bestZoneCount;
    if (const auto plain = night.bestPlainOffset(givenOffset); plain && fitsOffset(*plain)) {
        const std::size_t count = night.meeting(*plain);
        if (count > bestZoneCount) {
            diagnosis.suggestedOffset = static_cast<std::int32_t>(*plain);
            diagnosis.meetingAtSuggested = count;
            diagnosis.zoneLike = false;
        }
    }
    return diagnosis;
}

std::string offsetDifferenceText(std::int64_t seconds) {
    seconds = std::abs(seconds);
    if (seconds % kQuarterHour != 0 || seconds == 0)
        return std::to_string(seconds) + " s";
    const std::int64_t hours = seconds / 3600;
    const std::int64_t minutes = seconds % 3600 / 60;
    if (hours == 0)
        return std::to_string(minutes) + " min";
    std::string text = std::to_string(hours) + " h";
    if (minutes != 0)
        text += " " + std::to_string(minutes) + " min";
    return text;
}

std::string diagnosisText(const OffsetDiagnosis &d, OffsetWording wording) {
    std::string text;
    if (d.meetingAtGiven == 0)
        text = d.recordings == 1
                   ? "the one recording does not meet the track"
                   : "none of the " + std::to_string(d.recordings) + " recordings meets the track";
    else
        text = "only " + std::to_string(d.meetingAtGiven) + " of the " + std::to_string(d.recordings) + " " +
               recordingsNoun(d.recordings) + (d.meetingAtGiven == 1 ? " meets" : " meet") + " the track";

    if (!d.hasSuggestion())
        return text + "; no other clock offset would place more: do the track and the recordings come from "
                      "the same day?";

    text += "; with " + offsetName(d.suggestedOffset, wording) + " ";
    if (d.meetingAtSuggested == d.recordings)
        text += d.recordings == 1 ? "it would" : "all " + std::to_string(d.recordings) + " would";
    else
        text += std::to_string(d.meetingAtSuggested) + " of them would";

    const std::int64_t difference = std::int64_t{d.suggestedOffset} - d.givenOffset;
    const std::string direction = difference < 0 ? "minus " : "plus ";
    text += " (";
    text += d.givenOffset == 0 ? "that is " + std::string(difference < 0 ? "minus " : "")
                               : "your " + std::to_string(d.givenOffset) + " s " + direction;
    text += offsetDifferenceText(difference);
    text += d.zoneLike
                ? ": is the recorder set to another time zone or to summer time?)"
                : ", not a time zone's whole, half or quarter hour: is the recorder's clock set wrong?)";
    return text;
}

} // namespace pelorin
