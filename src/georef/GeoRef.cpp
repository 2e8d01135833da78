#include "georef/GeoRef.h"

#include "georef/NumberText.h"

#include <algorithm>
#include <cstddef>
#include <ctime>
#include <optional>

namespace pelorin {

namespace {

struct TimedPoint {
    std::int64_t time;      // seconds since the epoch
    std::uint32_t position; // in the arranged track
};

// The timed points in ascending time, ties in arranged order. Points without a
// time cannot be placed in time and take no part. Sorting happens only when the
// arrangement is out of time order (a GPX file with timed waypoints ahead of
// its track), so the usual log costs one linear scan.
std::vector<TimedPoint> timedPoints(TrackView track) {
    std::vector<TimedPoint> timed;
    timed.reserve(track.size());
    for (std::size_t i = 0; i < track.size(); ++i) {
        if (const std::optional<Instant> time = track[i].time())
            timed.push_back({time->time_since_epoch().count(), static_cast<std::uint32_t>(i)});
    }
    const auto byTime = [](const TimedPoint &a, const TimedPoint &b) { return a.time < b.time; };
    if (!std::is_sorted(timed.begin(), timed.end(), byTime))
        std::stable_sort(timed.begin(), timed.end(), byTime);
    return timed;
}

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
    float lat = 0;
    float lon = 0;
};

void logFraction(const LogSink &log, float fraction) {
    std::string line = "fraction ";
    appendFixed6(line, fraction);
    log(line);
}

} // namespace

std::string speciesText(const std::vector<std::string> &species) {
    if (species.empty())
        return "No species";
    std::string text;
    for (const std::string &abbreviation : species) {
        text += abbreviation;
        text += ',';
    }
    text.pop_back();
    return text;
}

std::string descriptionText(const Recording &recording) {
    std::string_view name = recording.filename;
    const std::size_t componentStart = name.rfind('/') == std::string_view::npos ? 0 : name.rfind('/') + 1;
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > componentStart)
        name = name.substr(0, dot);

    const auto seconds = std::chrono::floor<std::chrono::seconds>(recording.recordingTime);
    const std::time_t time = static_cast<std::time_t>(seconds.time_since_epoch().count());
    std::tm local{};
    char clock[16] = "00:00:00";
    if (localtime_r(&time, &local) != nullptr)
        std::strftime(clock, sizeof clock, "%H:%M:%S", &local);

    std::string text;
    text.reserve(name.size() + 20);
    text.append("File ").append(name).append("\nTime ").append(clock);
    return text;
}

std::vector<GeoRefRecord> geoRefRecordings(std::span<const Recording> recordings, TrackView track,
                                           std::int32_t offsetSeconds, const LogSink &log) {
    const std::vector<TimedPoint> points = timedPoints(track);
    const std::vector<std::uint32_t> order = recordingOrder(recordings);
    std::vector<Placement> placements(recordings.size());

    // The comparisons and the fraction use the offset in single precision.
    const float o = -static_cast<float>(offsetSeconds);
    const double od = o;

    // One forward sweep; the cursor never moves back, so each point is passed
    // at most once over all recordings.
    std::size_t current = 0;
    for (const std::uint32_t r : order) {
        if (current == points.size())
            break;
        const std::int64_t recordingMs = recordings[r].recordingTime.time_since_epoch().count();
        const auto differenceTo = [&](std::size_t point) {
            return static_cast<double>(recordingMs - points[point].time * 1000) / 1000.0;
        };
        double d = differenceTo(current);
        while (d > od) {
            if (++current == points.size())
                break;
            d = differenceTo(current);
        }
        if (current == points.size())
            break; // after the last point: this and every later recording stay unplaced

        const TrackPoint &q = track[points[current].position];
        Placement &placement = placements[r];
        if (d == od) {
            placement = {true, coordinate(q.lat()), coordinate(q.lon())};
        } else if (current > 0) {
            const TimedPoint &previous = points[current - 1];
            const TrackPoint &p = track[previous.position];
            const double s = static_cast<double>(points[current].time - previous.time);
            const float f = static_cast<float>((s + (d - od)) / s);
            if (log)
                logFraction(log, f);
            // Differences, products and sums in single precision, each rounded on
            // its own: the library builds with -ffp-contract=off, as a fused
            // multiply-add would change the last bit.
            const float pLat = coordinate(p.lat());
            const float pLon = coordinate(p.lon());
            const float latStep = coordinate(q.lat()) - pLat;
            const float lonStep = coordinate(q.lon()) - pLon;
            const float latOffset = f * latStep;
            const float lonOffset = f * lonStep;
            placement = {true, pLat + latOffset, pLon + lonOffset};
        }
        // else: before the first point; no record, the cursor stays.
    }

    std::vector<GeoRefRecord> records;
    for (std::size_t r = 0; r < recordings.size(); ++r) {
        if (!placements[r].placed)
            continue;
        records.push_back({speciesText(recordings[r].species), descriptionText(recordings[r]),
                           placements[r].lat, placements[r].lon});
    }
    return records;
}

} // namespace pelorin
