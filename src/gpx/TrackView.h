#pragma once

#include "gpx/TrackPoint.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace pelorin {

// The track points in the order a list shows them: the points themselves plus
// an optional arrangement (indices into points). No arrangement means file order.
struct TrackView {
    std::span<const TrackPoint> points;
    std::span<const std::uint32_t> order;

    std::size_t size() const noexcept { return order.empty() ? points.size() : order.size(); }
    bool empty() const noexcept { return size() == 0; }
    const TrackPoint &operator[](std::size_t i) const noexcept {
        return order.empty() ? points[i] : points[order[i]];
    }
};

} // namespace pelorin
