#include "georef/OffsetDiagnosis.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <optional>
#include <sstream>
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

void writeOffset(std::ostream &out, std::int64_t seconds, OffsetWording wording) {
    if (wording == OffsetWording::CommandOption)
        out << "--offset " << seconds;
    else
        out << "a clock offset of " << seconds << " s";
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
    std::ostringstream text;
    if (seconds % kQuarterHour != 0 || seconds == 0)
        text << seconds << " s";
    else if (seconds < 3600)
        text << seconds / 60 << " min";
    else if (seconds % 3600 == 0)
        text << seconds / 3600 << " h";
    else
        text << seconds / 3600 << " h " << seconds % 3600 / 60 << " min";
    return text.str();
}

std::string diagnosisText(const OffsetDiagnosis &d, OffsetWording wording) {
    std::ostringstream text;
    if (d.meetingAtGiven == 0 && d.recordings == 1)
        text << "the one recording does not meet the track";
    else if (d.meetingAtGiven == 0)
        text << "none of the " << d.recordings << " recordings meets the track";
    else
        text << "only " << d.meetingAtGiven << " of the " << d.recordings
             << (d.recordings == 1 ? " recording" : " recordings")
             << (d.meetingAtGiven == 1 ? " meets" : " meet") << " the track";

    if (!d.hasSuggestion()) {
        text
            << "; no other clock offset would place more: do the track and the recordings come from the same "
               "day?";
        return text.str();
    }

    text << "; with ";
    writeOffset(text, d.suggestedOffset, wording);
    if (d.meetingAtSuggested == d.recordings && d.recordings == 1)
        text << " it would";
    else if (d.meetingAtSuggested == d.recordings && d.recordings == 2)
        text << " both would";
    else if (d.meetingAtSuggested == d.recordings)
        text << " all " << d.recordings << " would";
    else
        text << ' ' << d.meetingAtSuggested << " of them would";

    const std::int64_t difference = std::int64_t{d.suggestedOffset} - d.givenOffset;
    const char *sign = difference < 0 ? "minus " : "plus ";
    if (d.givenOffset == 0)
        text << " (that is " << (difference < 0 ? "minus " : "");
    else
        text << " (your " << d.givenOffset << " s " << sign;
    text << offsetDifferenceText(difference);
    text << (d.zoneLike
                 ? ": is the recorder set to another time zone or to summer time?)"
                 : ", not a time zone's whole, half or quarter hour: is the recorder's clock set wrong?)");
    return text.str();
}

} // namespace pelorin
