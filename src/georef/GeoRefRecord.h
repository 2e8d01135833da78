#pragma once

#include <string>

namespace pelorin {

// One recording placed on the track.
struct GeoRefRecord {
    std::string name; // species abbreviations joined by ",", or "No species"
    std::string desc; // "File <name less extension>\nTime <HH:MM:SS local>"
    // Single precision on purpose: the positions already published were computed in it, and
    // doubles would move pins by centimetres and change the documents' bytes.
    float lat = 0;
    float lon = 0;

    friend bool operator==(const GeoRefRecord &, const GeoRefRecord &) = default;
};

} // namespace pelorin
