#pragma once

#include "georef/Placement.h"
#include "georef/Recording.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelorin {

// One recording read from a WAV file, and where the last pass put it.
struct PositionWriteItem {
    std::string path;
    const Recording *recording = nullptr;
    const Placement *placement = nullptr;
};

struct PositionWriteOutcome {
    std::size_t written = 0;                                  // files that now hold the position
    std::size_t upToDate = 0;                                 // already held it
    std::size_t kept = 0;                                     // had a position of their own, which is kept
    std::size_t notPlaced = 0;                                // left untouched
    std::vector<std::pair<std::string, std::string>> refused; // path, why
    std::vector<std::string> changed;                         // the files written, for the host to read again
    bool cancelled = false;                                   // stopped between two batches
};

// Puts each placed recording's position into its file's GUANO metadata, in
// batches that are each committed as a whole (one flush per step and batch).
// progress hears how many items are done after each batch and stops the work
// there by returning false; what was committed stays written.
PositionWriteOutcome writeGuanoPositions(std::span<const PositionWriteItem> items,
                                         std::string_view gpxFileName, std::int32_t offsetSeconds,
                                         const std::function<bool(std::size_t done)> &progress = {});

} // namespace pelorin
