#pragma once

#include "map/KmlDocument.h"

#include <QString>

#include <vector>

namespace pelorin {

// A web-map tile: zoom, column (west to east) and row (north to south).
struct TileId {
    int z = 0;
    int x = 0;
    int y = 0;
    friend bool operator==(const TileId &, const TileId &) = default;
};

// The tile's north-west corner; tile (x + 1, y + 1) gives the south-east one.
GeoPoint tileCorner(int z, int x, int y);
// The tile holding a point (latitudes beyond the tiles' ±85.05° are clamped).
TileId tileAt(GeoPoint point, int z);
// The zoom whose tiles draw about one tile pixel per screen pixel.
int tileZoomFor(double metresPerPixel, double lat, int maxZoom);
// The tiles covering the rectangle between two corners, or none when there
// would be more than maxTiles.
std::vector<TileId> tilesCovering(GeoPoint southWest, GeoPoint northEast, int z, std::size_t maxTiles);
// The template's {z}, {x} and {y} replaced.
QString tileUrl(const QString &urlTemplate, TileId tile);

} // namespace pelorin
