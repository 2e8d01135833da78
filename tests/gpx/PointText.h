#pragma once

#include "gpx/GpxReader.h"

#include <ostream>
#include <string>
#include <vector>

namespace pelorin {

// A point as one line, "lat lon ele time" with "-" for what is absent, the
// time in seconds since the epoch; table-driven tests compare these.
inline std::string pointText(const TrackPoint &p) {
    const auto part = [](std::optional<std::string_view> v) {
        return v ? std::string(*v) : std::string("-");
    };
    const auto t = p.time();
    return part(p.lat()) + " " + part(p.lon()) + " " + part(p.elevation()) + " " +
           (t ? std::to_string(t->time_since_epoch().count()) : std::string("-"));
}

inline std::vector<std::string> pointTexts(const std::vector<TrackPoint> &points) {
    std::vector<std::string> texts;
    for (const TrackPoint &p : points)
        texts.push_back(pointText(p));
    return texts;
}

inline void PrintTo(const TrackPoint &p, std::ostream *os) {
    *os << pointText(p);
}

} // namespace pelorin
