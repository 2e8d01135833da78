#include "georef/GeoRef.h"
#include "parallel/Parallel.h"

#include "georef/ClockDrift.h"
#include "georef/PlacemarkText.h"
#include "georef/Uncertainty.h"
#include "gpx/Coordinate.h"
#include "text/NumberText.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstddef>
#include <ctime>
#include <iterator>
#include <optional>

namespace pelorin {

namespace {

// Walks the timed points in arranged order, skipping points without a time
// (they cannot be placed in time) and points with bad coordinates (they would
// place a recording where nobody walked), and notes whether their times ascend. A
// sweep is right with it only when they do; finishing the walk after the sweep
// tells, so each point is read once in the usual case.
class ArrangedCursor {
public:
    explicit ArrangedCursor(TrackView track)
        : track_(track) {
        settle();
    }
    bool atEnd() const noexcept { return index_ == track_.size(); }
    std::int64_t time() const noexcept { return time_; }
    const TrackPoint &point() const noexcept { return track_[index_]; }
    void advance() noexcept {
        ++index_;
        settle();
    }
    bool inTimeOrder() noexcept {
        while (inOrder_ && !atEnd())
            advance();
        return inOrder_;
    }

private:
    void settle() noexcept {
        for (; index_ < track_.size(); ++index_) {
            if (track_[index_].hasBadCoordinates())
                continue;
            if (const std::optional<Instant> time = track_[index_].time()) {
                const std::int64_t seconds = time->time_since_epoch().count();
                inOrder_ = inOrder_ && seconds >= time_;
                time_ = seconds;
                return;
            }
        }
    }
    TrackView track_;
    std::size_t index_ = 0;
    std::int64_t time_ = INT64_MIN; // of the current point; the first one is in order
    bool inOrder_ = true;
};

struct TimedPoint {
    std::int64_t time;      // seconds since the epoch
    std::uint32_t position; // in the arranged track
};

// Walks the timed points of an arrangement out of time order (a GPX file with
// timed waypoints ahead of its track) in ascending time, ties in arranged order.
class SortedCursor {
public:
    explicit SortedCursor(TrackView track)
        : track_(track) {
        timed_.reserve(track.size());
        for (std::size_t i = 0; i < track.size(); ++i) {
            if (track[i].hasBadCoordinates())
                continue;
            if (const std::optional<Instant> time = track[i].time())
                timed_.push_back({time->time_since_epoch().count(), static_cast<std::uint32_t>(i)});
        }
        std::stable_sort(timed_.begin(), timed_.end(),
                         [](const TimedPoint &a, const TimedPoint &b) { return a.time < b.time; });
    }
    bool atEnd() const noexcept { return index_ == timed_.size(); }
    std::int64_t time() const noexcept { return timed_[index_].time; }
    const TrackPoint &point() const noexcept { return track_[timed_[index_].position]; }
    void advance() noexcept { ++index_; }

private:
    TrackView track_;
    std::vector<TimedPoint> timed_;
    std::size_t index_ = 0;
};

// Milliseconds each recording is moved from its start, beyond the fixed
// offset: to the moment asked for, and by a drifting clock's own offset. The
// sweep then stays the one of a fixed offset. Empty when nothing moves.
std::vector<std::int64_t> shiftsOf(std::span<const Recording> recordings, std::int32_t offsetSeconds,
                                   const PlacementOptions &options) {
    std::vector<std::int64_t> shifts;
    if (!options.drift && options.at == RecordingMoment::Start)
        return shifts;
    shifts.resize(recordings.size());
    for (std::size_t r = 0; r < recordings.size(); ++r) {
        const std::int64_t moment = millisecondsToMoment(recordings[r], options.at).value_or(0);
        shifts[r] = moment;
        if (options.drift)
            shifts[r] += options.drift->offsetMillisecondsAt(recordings[r].recordingTime +
                                                             std::chrono::milliseconds{moment}) -
                         std::int64_t{offsetSeconds} * 1000;
    }
    return shifts;
}

std::int64_t shiftOf(const std::vector<std::int64_t> &shifts, std::size_t r) {
    return shifts.empty() ? 0 : shifts[r];
}

// Positions of the recordings that have a start time, in ascending start
// time (as shifted), ties in list order.
std::vector<std::uint32_t> recordingOrder(std::span<const Recording> recordings,
                                          const std::vector<std::int64_t> &shifts) {
    std::vector<std::uint32_t> order;
    order.reserve(recordings.size());
    for (std::size_t i = 0; i < recordings.size(); ++i) {
        if (recordings[i].hasTime())
            order.push_back(static_cast<std::uint32_t>(i));
    }
    const auto byTime = [&](std::uint32_t a, std::uint32_t b) {
        return recordings[a].recordingTime + std::chrono::milliseconds{shiftOf(shifts, a)} <
               recordings[b].recordingTime + std::chrono::milliseconds{shiftOf(shifts, b)};
    };
    if (!std::is_sorted(order.begin(), order.end(), byTime))
        std::stable_sort(order.begin(), order.end(), byTime);
    return order;
}

float latitude(const TrackPoint &point) {
    return coordinateValue(point.lat());
}

float longitude(const TrackPoint &point) {
    return coordinateValue(point.lon());
}

// Consecutive fixes the walk joined. A waypoint belongs to no segment: it is a
// fix of its own, placing only what lies on its time.
bool sameSegment(const TrackPoint &a, const TrackPoint &b) {
    return !a.isWaypoint() && !b.isWaypoint() && a.segment() == b.segment();
}

// What the sweep found for one recording; turned into a Placement afterwards.
struct Found {
    PlacementStatus status = PlacementStatus::AfterTrack; // what the sweep never reached
    const TrackPoint *before = nullptr;
    const TrackPoint *after = nullptr;
    std::int64_t beforeTime = 0; // seconds since the epoch
    std::int64_t afterTime = 0;
    float fraction = 0;
    float lat = 0;
    float lon = 0;
};

// One forward sweep over the recordings in time order and the timed points in
// time order; the cursor never moves back, so each point is passed at most once.
template <class Cursor>
void sweep(std::span<const Recording> recordings, const std::vector<std::uint32_t> &order, Cursor &cursor,
           std::int32_t offsetSeconds, const std::vector<std::int64_t> &shifts,
           const PlacementOptions &options, std::vector<Found> &found) {
    // The comparisons and the fraction use the offset in single precision.
    const double o = -static_cast<float>(offsetSeconds);

    const TrackPoint *previous = nullptr;
    std::int64_t previousTime = 0;
    // The readings of the pair last interpolated, for the recordings it shares.
    const TrackPoint *readFor = nullptr;
    float pLat = 0, pLon = 0, latStep = 0, lonStep = 0;

    // After the last point: this and every later recording stay unplaced.
    const auto afterTrack = [&](std::size_t from) {
        for (std::size_t k = from; k < order.size(); ++k)
            found[order[k]] = {PlacementStatus::AfterTrack, previous, nullptr, previousTime};
    };

    for (std::size_t k = 0; k < order.size(); ++k) {
        const std::uint32_t r = order[k];
        if (cursor.atEnd())
            return afterTrack(k);
        const std::int64_t recordingMs =
            recordings[r].recordingTime.time_since_epoch().count() + shiftOf(shifts, r);
        double d = static_cast<double>(recordingMs - cursor.time() * 1000) / 1000.0;
        while (d > o) {
            previous = &cursor.point();
            previousTime = cursor.time();
            cursor.advance();
            if (cursor.atEnd())
                return afterTrack(k);
            d = static_cast<double>(recordingMs - cursor.time() * 1000) / 1000.0;
        }

        const TrackPoint &q = cursor.point();
        if (d == o) {
            found[r] = {
                PlacementStatus::Exact, &q, nullptr, cursor.time(), 0, 0.0f, latitude(q), longitude(q)};
        } else if (previous) {
            const double s = static_cast<double>(cursor.time() - previousTime);
            if ((options.maxGapSeconds && s > *options.maxGapSeconds) ||
                (options.splitSegments && !sameSegment(*previous, q))) {
                found[r] = {PlacementStatus::InGap, previous, &q, previousTime, cursor.time()};
                continue;
            }
            const float f = static_cast<float>((s + (d - o)) / s);
            // Differences, products and sums in single precision, each rounded on
            // its own: the library builds with -ffp-contract=off, as a fused
            // multiply-add would change the last bit.
            if (readFor != &q) {
                readFor = &q;
                pLat = latitude(*previous);
                pLon = longitude(*previous);
                latStep = latitude(q) - pLat;
                lonStep = longitude(q) - pLon;
            }
            const float latOffset = f * latStep;
            const float lonOffset = f * lonStep;
            found[r] = {PlacementStatus::Interpolated,
                        previous,
                        &q,
                        previousTime,
                        cursor.time(),
                        f,
                        pLat + latOffset,
                        pLon + lonOffset};
        } else {
            // Before the first point; the cursor stays.
            found[r] = {PlacementStatus::BeforeTrack, nullptr, &q, 0, cursor.time()};
        }
    }
}

std::optional<double> elevationOf(const TrackPoint &point) {
    const std::optional<std::string_view> text = point.elevation();
    if (!text)
        return std::nullopt;
    double value = 0;
    const char *end = text->data() + text->size();
    const auto [stop, error] = std::from_chars(text->data(), end, value);
    if (error != std::errc{} || stop != end)
        return std::nullopt;
    return value;
}

PlacementFix fixOf(const TrackPoint &point, std::int64_t time) {
    return {Instant{std::chrono::seconds{time}}, latitude(point), longitude(point), elevationOf(point)};
}

Placement placementOf(const Found &found, const Recording &recording, std::int32_t offsetSeconds,
                      const PlacementOptions &options) {
    Placement placement;
    placement.status = found.status;
    if (placement.status == PlacementStatus::NoTime)
        return placement;
    const std::optional<std::int64_t> moment = millisecondsToMoment(recording, options.at);
    if (moment)
        placement.placedAt = options.at;
    const RecordingTime placedTime = recording.recordingTime + std::chrono::milliseconds{moment.value_or(0)};
    placement.offsetMilliseconds =
        options.drift ? options.drift->offsetMillisecondsAt(placedTime) : std::int64_t{offsetSeconds} * 1000;
    placement.correctedTime = placedTime + std::chrono::milliseconds{placement.offsetMilliseconds};
    const double corrected = static_cast<double>(placement.correctedTime.time_since_epoch().count()) / 1000.0;
    if (found.before)
        placement.before = fixOf(*found.before, found.beforeTime);
    if (found.after)
        placement.after = fixOf(*found.after, found.afterTime);
    const double sinceBefore = corrected - static_cast<double>(found.beforeTime);
    const double untilAfter = static_cast<double>(found.afterTime) - corrected;
    if (placement.before && placement.after) {
        placement.secondsToNearestFix = std::min(sinceBefore, untilAfter);
        placement.gapSeconds = static_cast<double>(found.afterTime - found.beforeTime);
        placement.fixDistanceMetres = distanceMetres(placement.before->lat, placement.before->lon,
                                                     placement.after->lat, placement.after->lon);
    } else if (placement.before) {
        placement.secondsToNearestFix = sinceBefore;
    } else if (placement.after) {
        placement.secondsToNearestFix = untilAfter;
    }
    if (!placement.placed())
        return placement;

    placement.lat = found.lat;
    placement.lon = found.lon;
    placement.fraction = found.fraction;
    placement.uncertaintyMetres = uncertaintyRadius(placement.secondsToNearestFix, placement.gapSeconds,
                                                    placement.fixDistanceMetres, options.fixAccuracyMetres);
    const std::optional<double> first = placement.before->elevation;
    if (placement.status == PlacementStatus::Exact)
        placement.elevation = first;
    else if (first && placement.after->elevation)
        placement.elevation =
            *first + static_cast<double>(found.fraction) * (*placement.after->elevation - *first);
    return placement;
}

} // namespace

namespace {

// The sweep, then the records and, when asked, the placements.
GeoRefResult geoRef(std::span<const Recording> recordings, TrackView track, std::int32_t offsetSeconds,
                    const PlacementOptions &options, const LogSink &log, bool withPlacements) {
    const std::vector<std::int64_t> shifts = shiftsOf(recordings, offsetSeconds, options);
    const std::vector<std::uint32_t> order = recordingOrder(recordings, shifts);
    std::vector<Found> found(recordings.size());
    ArrangedCursor arranged(track);
    sweep(recordings, order, arranged, offsetSeconds, shifts, options, found);
    if (!arranged.inTimeOrder()) {
        std::fill(found.begin(), found.end(), Found{});
        SortedCursor sorted(track);
        sweep(recordings, order, sorted, offsetSeconds, shifts, options, found);
    }
    for (std::size_t r = 0; r < recordings.size(); ++r) {
        if (!recordings[r].hasTime())
            found[r].status = PlacementStatus::NoTime;
    }

    if (log) {
        std::string line;
        for (const std::uint32_t r : order) {
            if (found[r].status == PlacementStatus::Interpolated) {
                line.assign("fraction ");
                appendFixed6(line, found[r].fraction);
                log(line);
            }
        }
    }

    // The placements' distances and elevations, and the placemarks' texts, cost
    // more than the sweep itself: each recording's are its own, made on every core.
    GeoRefResult result;
    if (withPlacements)
        result.placements.resize(recordings.size());
    // Each part's records in a list of its own, joined in order after.
    std::vector<std::vector<GeoRefRecord>> parts(partsFor(recordings.size()));
    inParts(recordings.size(), parts.size(), [&](std::size_t from, std::size_t to, std::size_t part) {
        std::vector<GeoRefRecord> &records = part == 0 ? result.records : parts[part];
        UtcOffsets offsets;
        for (std::size_t r = from; r < to; ++r) {
            if (withPlacements)
                result.placements[r] = placementOf(found[r], recordings[r], offsetSeconds, options);
            if (isPlaced(found[r].status))
                records.push_back({placemarkName(recordings[r].species),
                                   placemarkDescription(recordings[r], offsets), found[r].lat, found[r].lon});
        }
    });
    for (std::size_t part = 1; part < parts.size(); ++part)
        result.records.insert(result.records.end(), std::make_move_iterator(parts[part].begin()),
                              std::make_move_iterator(parts[part].end()));
    return result;
}

} // namespace

GeoRefResult placeRecordings(std::span<const Recording> recordings, TrackView track,
                             std::int32_t offsetSeconds, const PlacementOptions &options,
                             const LogSink &log) {
    return geoRef(recordings, track, offsetSeconds, options, log, true);
}

std::vector<GeoRefRecord> geoRefRecordings(std::span<const Recording> recordings, TrackView track,
                                           std::int32_t offsetSeconds, const LogSink &log) {
    return geoRef(recordings, track, offsetSeconds, {}, log, false).records;
}

} // namespace pelorin
