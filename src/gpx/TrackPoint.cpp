#include "gpx/TrackPoint.h"

#include <algorithm>

namespace pelorin {

TrackPoint::TrackPoint(const TrackPoint &other)
    : lat_(other.lat_)
    , lon_(other.lon_)
    , elevation_(other.elevation_)
    , time_(other.time_)
    , segment_(other.segment_)
    , badCoordinates_(other.badCoordinates_)
    , waypoint_(other.waypoint_)
    , extras_(other.extras_ ? std::make_unique<Extras>(*other.extras_) : nullptr) {}

TrackPoint &TrackPoint::operator=(const TrackPoint &other) {
    if (this != &other) {
        TrackPoint copy(other);
        *this = std::move(copy);
    }
    return *this;
}

std::optional<Instant> TrackPoint::time() const noexcept {
    if (time_ == kNoTime)
        return std::nullopt;
    return Instant{std::chrono::seconds{time_}};
}

std::optional<std::string_view> TrackPoint::attribute(std::string_view key) const noexcept {
    if (key == "lat")
        return lat_.get();
    if (key == "lon")
        return lon_.get();
    if (key == "elevation")
        return elevation_.get();
    if (extras_) {
        for (const auto &[name, value] : *extras_) {
            if (name == key)
                return std::string_view(value);
        }
    }
    return std::nullopt;
}

void TrackPoint::setAttribute(std::string_view key, std::string_view value) {
    if (key == "lat") {
        lat_.assign(value);
    } else if (key == "lon") {
        lon_.assign(value);
    } else if (key == "elevation") {
        elevation_.assign(value);
    } else {
        if (key == "time")
            time_ = kNoTime; // a text "time" replaces an instant, as a later entry would
        if (!extras_)
            extras_ = std::make_unique<Extras>();
        for (auto &[name, old] : *extras_) {
            if (name == key) {
                old.assign(value);
                return;
            }
        }
        extras_->emplace_back(std::string(key), std::string(value));
    }
}

void TrackPoint::setTime(Instant instant) {
    time_ = std::clamp<std::int64_t>(instant.time_since_epoch().count(), kNoTime + 1, kLatestTime);
    eraseExtra("time");
}

void TrackPoint::clearTime() noexcept {
    time_ = kNoTime;
    eraseExtra("time");
}

void TrackPoint::setElevation(std::string_view text) {
    elevation_.assign(text);
}

void TrackPoint::eraseExtra(std::string_view key) noexcept {
    if (!extras_)
        return;
    std::erase_if(*extras_, [key](const auto &entry) { return entry.first == key; });
    if (extras_->empty())
        extras_.reset();
}

bool operator==(const TrackPoint &a, const TrackPoint &b) {
    if (a.lat_.get() != b.lat_.get() || a.lon_.get() != b.lon_.get() ||
        a.elevation_.get() != b.elevation_.get() || a.time_ != b.time_)
        return false;
    const std::size_t sizeA = a.extras_ ? a.extras_->size() : 0;
    const std::size_t sizeB = b.extras_ ? b.extras_->size() : 0;
    if (sizeA != sizeB)
        return false;
    // Attributes are a dictionary: their order does not count.
    for (std::size_t i = 0; i < sizeA; ++i) {
        const auto &[name, value] = (*a.extras_)[i];
        if (b.attribute(name) != std::optional<std::string_view>(value))
            return false;
    }
    return true;
}

} // namespace pelorin
