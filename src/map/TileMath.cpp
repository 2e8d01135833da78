#include "map/TileMath.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pelorin {

namespace {
constexpr double kMaxTileLat = 85.0511287798;
// Ground metres per tile pixel at zoom 0 on the equator (256-pixel tiles).
constexpr double kEquatorMetresPerPixel = 156543.03392804097;
} // namespace

GeoPoint tileCorner(int z, int x, int y) {
    const double n = std::ldexp(1.0, z);
    const double lon = x / n * 360.0 - 180.0;
    const double lat = std::atan(std::sinh(std::numbers::pi * (1 - 2 * y / n))) * 180 / std::numbers::pi;
    return {lat, lon};
}

TileId tileAt(GeoPoint point, int z) {
    const double n = std::ldexp(1.0, z);
    const double lat = std::clamp(point.lat, -kMaxTileLat, kMaxTileLat) * std::numbers::pi / 180;
    const double x = (point.lon + 180.0) / 360.0 * n;
    const double y = (1 - std::asinh(std::tan(lat)) / std::numbers::pi) / 2 * n;
    const int last = static_cast<int>(n) - 1;
    return {z, std::clamp(static_cast<int>(std::floor(x)), 0, last),
            std::clamp(static_cast<int>(std::floor(y)), 0, last)};
}

int tileZoomFor(double metresPerPixel, double lat, int maxZoom) {
    const double atZero = kEquatorMetresPerPixel * std::cos(lat * std::numbers::pi / 180);
    const double z = std::round(std::log2(atZero / metresPerPixel));
    if (!std::isfinite(z))
        return 0;
    return std::clamp(static_cast<int>(z), 0, maxZoom);
}

std::vector<TileId> tilesCovering(GeoPoint southWest, GeoPoint northEast, int z, std::size_t maxTiles) {
    const TileId nw = tileAt({northEast.lat, southWest.lon}, z);
    const TileId se = tileAt({southWest.lat, northEast.lon}, z);
    const auto count = static_cast<std::size_t>(se.x - nw.x + 1) * static_cast<std::size_t>(se.y - nw.y + 1);
    if (se.x < nw.x || se.y < nw.y || count > maxTiles)
        return {};
    std::vector<TileId> tiles;
    tiles.reserve(count);
    for (int y = nw.y; y <= se.y; ++y)
        for (int x = nw.x; x <= se.x; ++x)
            tiles.push_back({z, x, y});
    return tiles;
}

QString tileUrl(const QString &urlTemplate, TileId tile) {
    QString url = urlTemplate;
    url.replace(QLatin1String("{z}"), QString::number(tile.z));
    url.replace(QLatin1String("{x}"), QString::number(tile.x));
    url.replace(QLatin1String("{y}"), QString::number(tile.y));
    return url;
}

} // namespace pelorin
