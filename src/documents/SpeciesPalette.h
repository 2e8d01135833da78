#pragma once

#include "georef/Recording.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace pelorin {

// The colours of species, 0xRRGGBB, for every document written and for the
// map: the seven Okabe–Ito colours other than black (kept for the track),
// which stay apart for colour-blind eyes; grey for recordings without one.
inline constexpr std::uint32_t kNoSpeciesColour = 0x999999;

// A species' own place in the palette: a fixed hash (FNV-1a) of its
// abbreviation, so it does not depend on what else a survey recorded.
std::size_t paletteSlot(std::string_view abbreviation) noexcept;

// The species of one survey, sorted, each with its colour: its own slot unless
// a species earlier in the sort already took it, then the next free one. So
// up to seven species of a survey never share a colour, and a species keeps
// its colour from one survey to the next unless two of them claim one slot.
// Past seven the palette starts over. Ranking species by the survey alone
// would repaint a species whenever a new one joined.
class SpeciesColours {
public:
    explicit SpeciesColours(std::span<const Recording> recordings);
    // The species named, in any order, repeats allowed.
    explicit SpeciesColours(std::vector<std::string> species);

    const std::vector<std::string> &names() const noexcept { return names_; }
    std::size_t indexOf(std::string_view species) const; // in names(); names().size() when absent
    std::uint32_t colour(std::size_t index) const { return colours_[index]; }
    // A recording wears its first species' colour; one without species grey.
    std::uint32_t colourOf(const Recording &recording) const;

private:
    std::vector<std::string> names_;
    std::vector<std::uint32_t> colours_;
    std::unordered_map<std::string_view, std::size_t> index_; // into names_
};

// KML's "aabbggrr", opaque.
std::string kmlColour(std::uint32_t rgb);
// "#rrggbb".
std::string htmlColour(std::uint32_t rgb);

} // namespace pelorin
