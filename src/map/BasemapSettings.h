#pragma once

#include "map/Basemap.h"

#include <optional>

namespace pelorin {

// The basemap the settings ask for ("map/tileUrl", "map/attribution"):
// OpenStreetMap's standard tiles unless another URL template is set, none
// when it is set empty. The tiles are cached in the user's cache folder.
std::optional<BasemapConfig> basemapFromSettings();

} // namespace pelorin
