#pragma once

#include "georef/Recording.h"

#include <optional>
#include <string_view>

namespace pelorin {

// The positions recorders write of themselves. Nothing for a text that is no
// position, and for 0, 0: what a unit without a fix writes.

// GUANO "Loc Position": "50.7179417 -1.7611083" (a comma between is read too).
std::optional<LatLon> guanoPosition(std::string_view text);

// wamd's: "WGS84,50.7179417,N,1.7611083,W[,alt]" or signed, "WGS84,50.7179417,-1.76111[,alt]".
std::optional<LatLon> wamdPosition(std::string_view text);

} // namespace pelorin
