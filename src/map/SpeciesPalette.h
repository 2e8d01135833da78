#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace pelorin {

// Pin colours for species, 0xRRGGBB: the Okabe–Ito colours that read apart
// for colour-blind eyes. Species take them in sorted order and share them
// round-robin past the eighth. No Qt, so the writers can use it too.
inline constexpr std::array<std::uint32_t, 8> kSpeciesPalette{
    0x0072B2, // blue
    0xD55E00, // vermillion
    0x009E73, // bluish green
    0xCC79A7, // reddish purple
    0xE69F00, // orange
    0x56B4E9, // sky blue
    0xF0E442, // yellow
    0x000000, // black
};

// For recordings without a species.
inline constexpr std::uint32_t kNoSpeciesColor = 0x7F7F7F;

constexpr std::uint32_t speciesColor(std::size_t sortedIndex) {
    return kSpeciesPalette[sortedIndex % kSpeciesPalette.size()];
}

} // namespace pelorin
