#include "georef/GeoRef.h"

#include "georef/NumberText.h"
#include "georef/PlacemarkText.h"

#include <algorithm>
#include <cstddef>
#include <ctime>
#include <optional>

namespace pelorin {

namespace {

// Walks the timed points in arranged order, skipping points without a time
// (they cannot be placed in time), and notes whether their times ascend. A
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

// Recording positions in ascending start time, ties in list order.
std::vector<std::uint32_t> recordingOrder(std::span<const Recording> recordings) {
    std::vector<std::uint32_t> order(recordings.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<std::uint32_t>(i);
    const auto byTime = [&](std::uint32_t a, std::uint32_t b) {
        return recordings[a].recordingTime < recordings[b].recordingTime;
    };
    if (!std::is_sorted(order.begin(), order.end(), byTime))
        std::stable_sort(order.begin(), order.end(), byTime);
    return order;
}

float coordinate(std::optional<std::string_view> text) {
    return floatValue(text.value_or(std::string_view{}));
}

struct Placement {
    bool placed = false;
    bool interpolated = false;
    float fraction = 0;
    float lat = 0;
    float lon = 0;
};

// One forward sweep over the recordings in time order and the timed points in
// time order; the cursor never moves back, so each point is passed at most once.
template <class Cursor>
void sweep(std::span<const Recording> recordings, const std::vector<std::uint32_t> &order, Cursor &cursor,
           std::int32_t offsetSeconds, std::vector<Placement> &placements) {
    // The comparisons and the fraction use the offset in single precision.
    const double o = -static_cast<float>(offsetSeconds);

    const TrackPoint *previous = nullptr;
    std::int64_t previousTime = 0;
    // The readings of the pair last interpolated, for the recordings it shares.
    const TrackPoint *readFor = nullptr;
    float pLat = 0, pLon = 0, latStep = 0, lonStep = 0;

    for (const std::uint32_t r : order) {
        if (cursor.atEnd())
            return;
        const std::int64_t recordingMs = recordings[r].recordingTime.time_since_epoch().count();
        double d = static_cast<double>(recordingMs - cursor.time() * 1000) / 1000.0;
        while (d > o) {
            previous = &cursor.point();
            previousTime = cursor.time();
            cursor.advance();
            if (cursor.atEnd())
                return; // after the last point: this and every later recording stay unplaced
            d = static_cast<double>(recordingMs - cursor.time() * 1000) / 1000.0;
        }

        const TrackPoint &q = cursor.point();
        if (d == o) {
            placements[r] = {true, false, 0.0f, coordinate(q.lat()), coordinate(q.lon())};
        } else if (previous) {
            const double s = static_cast<double>(cursor.time() - previousTime);
            const float f = static_cast<float>((s + (d - o)) / s);
            // Differences, products and sums in single precision, each rounded on
            // its own: the library builds with -ffp-contract=off, as a fused
            // multiply-add would change the last bit.
            if (readFor != &q) {
                readFor = &q;
                pLat = coordinate(previous->lat());
                pLon = coordinate(previous->lon());
                latStep = coordinate(q.lat()) - pLat;
                lonStep = coordinate(q.lon()) - pLon;
            }
            const float latOffset = f * latStep;
            const float lonOffset = f * lonStep;
            placements[r] = {true, true, f, pLat + latOffset, pLon + lonOffset};
        }
        // else: before the first point; no record, the cursor stays.
    }
}

} // namespace

std::vector<GeoRefRecord> geoRefRecordings(std::span<const Recording> recordings, TrackView track,
                                           std::int32_t offsetSeconds, const LogSink &log) {
    const std::vector<std::uint32_t> order = recordingOrder(recordings);
    std::vector<Placement> placements(recordings.size());
    ArrangedCursor arranged(track);
    sweep(recordings, order, arranged, offsetSeconds, placements);
    if (!arranged.inTimeOrder()) {
        std::fill(placements.begin(), placements.end(), Placement{});
        SortedCursor sorted(track);
        sweep(recordings, order, sorted, offsetSeconds, placements);
    }

    if (log) {
        std::string line;
        for (const std::uint32_t r : order) {
            if (placements[r].interpolated) {
                line.assign("fraction ");
                appendFixed6(line, placements[r].fraction);
                log(line);
            }
        }
    }

    std::vector<GeoRefRecord> records;
    records.reserve(static_cast<std::size_t>(
        std::count_if(placements.begin(), placements.end(), [](const Placement &p) { return p.placed; })));
    for (std::size_t r = 0; r < recordings.size(); ++r) {
        if (!placements[r].placed)
            continue;
        records.push_back({placemarkName(recordings[r].species), placemarkDescription(recordings[r]),
                           placements[r].lat, placements[r].lon});
    }
    return records;
}

} // namespace pelorin
