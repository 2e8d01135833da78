#include "gpx/MergedLogs.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace pelorin {

namespace {

// A point the placement uses: timed, with usable coordinates.
std::optional<Instant> fixTime(const TrackPoint &point) {
    return point.hasBadCoordinates() ? std::nullopt : point.time();
}

struct Span {
    std::optional<Instant> start, last;
    void add(Instant time) {
        start = start ? std::min(*start, time) : time;
        last = last ? std::max(*last, time) : time;
    }
    bool holds(Instant time) const { return start && *start <= time && time <= *last; }
};

Span spanOf(const std::vector<TrackPoint> &points, std::size_t first, std::size_t end) {
    Span span;
    for (std::size_t i = first; i < end; ++i)
        if (const auto time = fixTime(points[i]))
            span.add(*time);
    return span;
}

// An earlier log's kept fixes by time, to find a later log's identical ones.
struct KeptFixes {
    std::vector<const TrackPoint *> byTime; // made when a later log first overlaps

    void index(const std::vector<TrackPoint> &points, const LogSpan &span) {
        if (!byTime.empty())
            return;
        for (std::size_t i = span.first; i < span.end; ++i)
            if (fixTime(points[i]))
                byTime.push_back(&points[i]);
        std::stable_sort(byTime.begin(), byTime.end(),
                         [](const TrackPoint *a, const TrackPoint *b) { return *a->time() < *b->time(); });
    }

    bool holdsEqual(const TrackPoint &point, Instant time) const {
        auto at = std::lower_bound(byTime.begin(), byTime.end(), time,
                                   [](const TrackPoint *p, Instant t) { return *p->time() < t; });
        for (; at != byTime.end() && *(*at)->time() == time; ++at)
            if ((*at)->lat() == point.lat() && (*at)->lon() == point.lon())
                return true;
        return false;
    }
};

} // namespace

std::optional<std::size_t> MergedLogs::logAt(Instant time) const {
    // The kept spans follow one another in time: a later-starting log keeps nothing inside an earlier one's.
    const auto after = std::partition_point(
        spans.begin(), spans.end(), [&](const LogSpan &span) { return span.start && *span.start <= time; });
    if (after == spans.begin())
        return std::nullopt;
    const LogSpan &span = *std::prev(after);
    if (!span.last || *span.last < time)
        return std::nullopt;
    return span.log;
}

MergedLogs mergeLogs(std::vector<GpxResult> logs) {
    MergedLogs merged;
    std::vector<Span> given(logs.size());
    std::size_t total = 0;
    for (std::size_t i = 0; i < logs.size(); ++i) {
        given[i] = spanOf(logs[i].points, 0, logs[i].points.size());
        total += logs[i].points.size();
        merged.hasElevation = merged.hasElevation || logs[i].hasElevation;
    }
    // By the first fix; logs without a timed fix last, as given.
    std::vector<std::size_t> order(logs.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (!given[a].start || !given[b].start)
            return given[a].start.has_value() > given[b].start.has_value();
        return *given[a].start < *given[b].start;
    });

    merged.points.reserve(total); // never grown after: the kept fixes' index points into it
    std::vector<KeptFixes> kept(logs.size());
    std::uint32_t segmentBase = 0;
    for (const std::size_t log : order) {
        // The earlier logs this one's time overlaps, each with its overlap counted.
        std::vector<std::pair<const LogSpan *, LogOverlap>> earlier;
        for (const LogSpan &span : merged.spans) {
            const Span &mine = given[log];
            if (!mine.start || !span.start || *mine.last < *span.start || *span.last < *mine.start)
                continue;
            earlier.push_back({&span, {span.log, log, *mine.start, std::min(*mine.last, *span.last), 0, 0}});
            kept[span.log].index(merged.points, span);
        }
        LogSpan span{log, merged.points.size(), 0, {}, {}};
        std::uint32_t lastSegment = 0;
        for (TrackPoint &point : logs[log].points) {
            const auto time = fixTime(point);
            const auto covering =
                !time ? earlier.end() : std::find_if(earlier.begin(), earlier.end(), [&](const auto &e) {
                    return *e.first->start <= *time && *time <= *e.first->last;
                });
            if (covering != earlier.end()) {
                ++(kept[covering->first->log].holdsEqual(point, *time) ? covering->second.identical
                                                                       : covering->second.replaced);
                continue;
            }
            lastSegment = std::max(lastSegment, point.segment());
            point.setSegment(segmentBase + point.segment());
            merged.badCoordinates += point.hasBadCoordinates();
            merged.points.push_back(std::move(point));
        }
        segmentBase = std::min<std::uint32_t>(segmentBase + lastSegment + 1, TrackPoint::kLastSegment);
        std::vector<TrackPoint>().swap(logs[log].points);
        span.end = merged.points.size();
        const Span keptSpan = spanOf(merged.points, span.first, span.end);
        span.start = keptSpan.start;
        span.last = keptSpan.last;
        for (auto &[_, overlap] : earlier)
            if (overlap.identical + overlap.replaced > 0)
                merged.overlaps.push_back(overlap);
        merged.spans.push_back(span);
    }
    return merged;
}

} // namespace pelorin
