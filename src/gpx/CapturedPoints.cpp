#include "gpx/CapturedPoints.h"

#include "gpx/Coordinate.h"
#include "text/IsoTime.h"

#include <cstring>

namespace pelorin {

void CapturedPoints::open(bool waypoint, std::uint32_t segment, std::int64_t startByte) {
    dropOpen();
    open_ = true;
    openTexts_ = texts_.size();
    openPoint_ = {entries_.size(), entries_.size(), segment, waypoint, {}};
    openPoint_.context.startByte = startByte;
}

std::size_t CapturedPoints::append(std::string_view text) {
    const std::size_t at = texts_.size();
    texts_.append(text);
    return at;
}

void CapturedPoints::coordinate(Kind kind, const char *value) {
    const std::string_view text(value);
    entries_.push_back({kind, 0, append(text), text.size()});
}

void CapturedPoints::attribute(std::string_view key, std::string_view value) {
    const std::size_t keyAt = append(key);
    entries_.push_back({Kind::Attribute, keyAt, append(value), value.size()});
}

void CapturedPoints::time(std::string_view text) {
    entries_.push_back({Kind::Time, 0, append(text), text.size()});
}

void CapturedPoints::elevation(std::string_view text) {
    entries_.push_back({Kind::Elevation, 0, append(text), text.size()});
}

void CapturedPoints::name(std::string_view text) {
    entries_.push_back({Kind::Name, 0, append(text), text.size()});
}

void CapturedPoints::commit(bool hasElevationSoFar) {
    if (!open_)
        return;
    open_ = false;
    openPoint_.endEntry = entries_.size();
    openPoint_.context.hasElevationSoFar = hasElevationSoFar;
    points_.push_back(openPoint_);
}

void CapturedPoints::dropOpen() noexcept {
    if (!open_)
        return;
    open_ = false;
    entries_.resize(openPoint_.firstEntry);
    texts_.resize(openTexts_);
}

TrackPoint CapturedPoints::make(const Point &point) const {
    TrackPoint made;
    const std::string_view texts = texts_;
    for (std::size_t i = point.firstEntry; i < point.endEntry; ++i) {
        const Entry &entry = entries_[i];
        const std::string_view text = texts.substr(entry.value, entry.size);
        switch (entry.kind) {
        case Kind::Latitude:
            made.setAttribute("lat", text);
            break;
        case Kind::Longitude:
            made.setAttribute("lon", text);
            break;
        case Kind::Attribute:
            made.setAttribute(texts.substr(entry.key, entry.value - entry.key), text);
            break;
        case Kind::Time:
            if (const auto instant = parseGpxTime(text))
                made.setTime(*instant);
            else
                made.clearTime();
            break;
        case Kind::Elevation:
            made.setElevation(text);
            break;
        case Kind::Name:
            // A waypoint's name lets a user point at it (--sync); track points'
            // names would cost every point a side list, so they are passed over.
            if (point.waypoint)
                made.setAttribute("name", text);
            break;
        }
    }
    if (point.waypoint)
        made.setWaypoint(true);
    else
        made.setSegment(point.segment);
    // Judged here rather than while parsing: it is every point's dearest check.
    made.setBadCoordinates(!usableLatitude(made.lat()) || !usableLongitude(made.lon()));
    return made;
}

void CapturedPoints::clearEnded() {
    texts_.clear();
    entries_.clear();
    points_.clear();
}

} // namespace pelorin
