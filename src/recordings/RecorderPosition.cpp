#include "recordings/RecorderPosition.h"

#include "gpx/Coordinate.h"

#include <vector>

namespace pelorin {

namespace {

std::vector<std::string_view> split(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> parts;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of(separators);
        if (end != 0)
            parts.push_back(text.substr(0, end));
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return parts;
}

std::optional<LatLon> position(std::string_view lat, std::string_view lon, int latSign = 1, int lonSign = 1) {
    const CoordinateReading a = readLatitude(lat), b = readLongitude(lon);
    if (!a.usable() || !b.usable() || (a.precise == 0 && b.precise == 0))
        return std::nullopt;
    return LatLon{latSign * a.precise, lonSign * b.precise};
}

// "N" 1, "S" -1; nothing for any other text.
std::optional<int> hemisphere(std::string_view text, char positive, char negative) {
    if (text.size() != 1)
        return std::nullopt;
    if (text[0] == positive)
        return 1;
    if (text[0] == negative)
        return -1;
    return std::nullopt;
}

} // namespace

std::optional<LatLon> guanoPosition(std::string_view text) {
    const std::vector<std::string_view> parts = split(text, " ,\t");
    if (parts.size() != 2)
        return std::nullopt;
    return position(parts[0], parts[1]);
}

std::optional<LatLon> wamdPosition(std::string_view text) {
    const std::vector<std::string_view> parts = split(text, ",");
    if (parts.size() < 3 || parts[0] != "WGS84")
        return std::nullopt;
    if (parts.size() >= 5) {
        const std::optional<int> ns = hemisphere(parts[2], 'N', 'S'), ew = hemisphere(parts[4], 'E', 'W');
        if (ns && ew)
            return position(parts[1], parts[3], *ns, *ew);
    }
    return position(parts[1], parts[2]);
}

} // namespace pelorin
