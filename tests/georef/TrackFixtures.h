#pragma once

#include "gpx/TrackPoint.h"

#include <chrono>
#include <optional>
#include <string>

namespace pelorin::test {

using namespace std::chrono_literals;

// 2024-06-01T10:00:00Z, the start of every test track.
inline const Instant kStart = std::chrono::sys_days{std::chrono::year{2024} / 6 / 1} + 10h;

inline TrackPoint point(std::string lat, std::string lon, std::optional<Instant> time,
                        std::optional<std::string> elevation = std::nullopt) {
    TrackPoint p;
    p.setAttribute("lat", lat);
    p.setAttribute("lon", lon);
    if (time)
        p.setTime(*time);
    if (elevation)
        p.setElevation(*elevation);
    return p;
}

} // namespace pelorin::test
