#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelorin {

// Pin colours, 0xRRGGBB: the Okabe–Ito colours (black kept for the track),
// which stay apart for colour-blind eyes.
inline constexpr std::array<std::uint32_t, 7> kSpeciesPalette{
    0xE69F00, // orange
    0x56B4E9, // sky blue
    0x009E73, // bluish green
    0xF0E442, // yellow
    0x0072B2, // blue
    0xD55E00, // vermillion
    0xCC79A7, // reddish purple
};
inline constexpr std::uint32_t kNoSpeciesColour = 0x999999;

// A species' colour from a fixed hash (FNV-1a) of its abbreviation, not from
// its rank in one survey: the same species keeps its colour from one survey to
// the next, whatever else was recorded. Seven colours cannot keep every
// species apart; the folders and the labels do that.
std::uint32_t speciesColour(std::string_view abbreviation) noexcept;

// KML's "aabbggrr", opaque.
std::string kmlColour(std::uint32_t rgb);
// "#rrggbb".
std::string htmlColour(std::uint32_t rgb);

} // namespace pelorin
