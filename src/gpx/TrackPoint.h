#pragma once

#include "gpx/ShortText.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelorin {

using Instant = std::chrono::sys_seconds;

// One point of a GPS log (a `wpt` or `trkpt` element). Every attribute of the
// element is kept as the parser delivered it; "lat" and "lon" are stored inline,
// any other attribute in a side list that is almost always empty. "time" is an
// instant with whole seconds, "elevation" the trimmed text of `ele`.
class TrackPoint {
public:
    TrackPoint() = default;
    TrackPoint(const TrackPoint &other);
    TrackPoint(TrackPoint &&) noexcept = default;
    TrackPoint &operator=(const TrackPoint &other);
    TrackPoint &operator=(TrackPoint &&) noexcept = default;

    std::optional<std::string_view> lat() const noexcept { return lat_.get(); }
    std::optional<std::string_view> lon() const noexcept { return lon_.get(); }
    std::optional<std::string_view> elevation() const noexcept { return elevation_.get(); }
    std::optional<Instant> time() const noexcept;

    // Any entry by key, as a text: "lat", "lon", "elevation", other attributes.
    // "time" is not a text entry once a `time` element has set it.
    std::optional<std::string_view> attribute(std::string_view key) const noexcept;

    // Attributes of the element; later keys replace earlier ones.
    void setAttribute(std::string_view key, std::string_view value);
    // Replace semantics: these also replace an attribute of the same name.
    void setTime(Instant instant);
    void clearTime() noexcept; // a `time` text that could not be read: no "time" at all
    void setElevation(std::string_view text);

    // Where in the log the point came from: a `wpt`, or a `trkpt` of a track
    // segment, numbered from 0 across all tracks of the file in file order (the
    // number saturates at kLastSegment). Not part of equality: two points with
    // the same entries are the same point wherever they were read.
    bool isWaypoint() const noexcept { return waypoint_ != 0; }
    std::uint32_t segment() const noexcept { return static_cast<std::uint32_t>(segment_); }
    void setWaypoint(bool waypoint) noexcept { waypoint_ = waypoint; }
    void setSegment(std::uint32_t segment) noexcept {
        segment_ = std::min<std::uint32_t>(segment, kLastSegment);
    }
    static constexpr std::uint32_t kLastSegment = (1u << 14) - 1;

    // Set by the reader when the latitude or longitude is not a whole number
    // within range: the point is kept and shown, but the pass does not use it.
    // Not part of equality either.
    bool hasBadCoordinates() const noexcept { return badCoordinates_ != 0; }
    void setBadCoordinates(bool bad) noexcept { badCoordinates_ = bad; }

    friend bool operator==(const TrackPoint &a, const TrackPoint &b);

private:
    using Extras = std::vector<std::pair<std::string, std::string>>;
    void eraseExtra(std::string_view key) noexcept;

    // Time, segment, kind and the coordinates' verdict share one word, so the point stays within 64 bytes.
    static constexpr std::int64_t kNoTime = -(std::int64_t{1} << 47);
    static constexpr std::int64_t kLatestTime = (std::int64_t{1} << 47) - 1;
    ShortText lat_;
    ShortText lon_;
    ShortText elevation_;
    std::int64_t time_ : 48 = kNoTime; // seconds since the epoch, UTC: ±4 million years
    std::uint64_t segment_ : 14 = 0;
    std::uint64_t badCoordinates_ : 1 = 0;
    std::uint64_t waypoint_ : 1 = 0;
    std::unique_ptr<Extras> extras_;
};

static_assert(sizeof(TrackPoint) <= 64);

} // namespace pelorin
