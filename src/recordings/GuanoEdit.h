#pragma once

#include "georef/Placement.h"
#include "georef/Recording.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// Our own namespace's field saying where a written position came from.
inline constexpr std::string_view kProvenanceKey = "PELORIN|Position";

// The GUANO field values a placement gives one recording.
struct PositionFields {
    std::string position;                 // "51.123456 -1.234567"
    std::optional<std::string> elevation; // metres, when both fixes had one
    std::string accuracy;                 // metres: the placement's uncertainty radius
    std::string provenance;               // "track.gpx; offset 37 s; interpolated", without the date
    std::string timestamp;                // start as read, with its UTC offset: for a chunk without one
    std::string originalFilename;         // for a new chunk
};

// The recording's start is written as it was read (before the offset), in the
// machine's local time with an explicit UTC offset, so reading it back gives the
// same instant and the same placement.
PositionFields positionFields(const Placement &placement, const Recording &recording,
                              std::string_view gpxFileName, std::int32_t offsetSeconds);

enum class GuanoEditOutcome {
    Changed,
    Unchanged,   // the chunk already says all this; rewriting it would change nothing but the date
    HasPosition, // a position is there and may not be overwritten
};

struct GuanoEdit {
    GuanoEditOutcome outcome = GuanoEditOutcome::Unchanged;
    std::string text;                 // the new chunk's text when changed, unpadded
    std::vector<std::string> changes; // "+ line" and "- line", for a dry run
};

// Puts the position into a chunk's text (existing: nullopt when the file has
// no `guan` chunk), keeping every other line as read.
GuanoEdit editGuano(const std::optional<std::string> &existing, const PositionFields &fields, bool overwrite,
                    std::string_view writtenAt);

} // namespace pelorin
