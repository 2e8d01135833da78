#include "georef/SyncOffset.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <limits>

namespace pelorin {

namespace {

std::string_view lastPathPart(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

} // namespace

SyncOffset syncOffset(std::span<const Recording> recordings, TrackView track, std::string_view recording,
                      std::string_view waypoint) {
    SyncOffset result;
    const std::string_view fileName = lastPathPart(recording);
    const auto found = std::find_if(recordings.begin(), recordings.end(),
                                    [&](const Recording &r) { return r.filename == fileName; });
    if (found == recordings.end()) {
        result.error = "no recording named " + quoted(fileName);
        return result;
    }
    const TrackPoint *mark = nullptr;
    for (std::size_t i = 0; i < track.size() && !mark; ++i) {
        if (track[i].isWaypoint() && track[i].attribute("name") == waypoint)
            mark = &track[i];
    }
    if (!mark) {
        result.error = "no waypoint named " + quoted(waypoint) + " in the GPS log";
        return result;
    }
    const std::optional<Instant> time = mark->time();
    if (!time) {
        result.error = "the waypoint " + quoted(waypoint) + " has no time";
        return result;
    }
    using namespace std::chrono;
    const double seconds = duration<double>(*time - found->recordingTime).count();
    const double rounded = std::round(seconds);
    if (rounded < std::numeric_limits<std::int32_t>::min() ||
        rounded > std::numeric_limits<std::int32_t>::max()) {
        result.error = "the waypoint " + quoted(waypoint) + " and the recording " + quoted(fileName) +
                       " lie too far apart for a clock offset";
        return result;
    }
    result.offsetSeconds = static_cast<std::int32_t>(rounded);
    result.point = {found->recordingTime, std::chrono::time_point_cast<milliseconds>(*time)};
    return result;
}

std::string syncOffsetText(std::int32_t offsetSeconds, std::string_view recording,
                           std::string_view waypoint) {
    return "offset " + std::to_string(offsetSeconds) + " s, from " + std::string(lastPathPart(recording)) +
           " at waypoint " + quoted(waypoint);
}

} // namespace pelorin
