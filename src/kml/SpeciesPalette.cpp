#include "kml/SpeciesPalette.h"

#include <algorithm>

namespace pelorin {

namespace {

void appendHexByte(std::string &out, std::uint32_t byte) {
    constexpr char kDigits[] = "0123456789abcdef";
    out += kDigits[(byte >> 4) & 0xF];
    out += kDigits[byte & 0xF];
}

} // namespace

std::size_t paletteSlot(std::string_view abbreviation) noexcept {
    std::uint32_t hash = 2166136261u;
    for (const char c : abbreviation) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return hash % kSpeciesPalette.size();
}

SpeciesColours::SpeciesColours(std::span<const Recording> recordings) {
    for (const Recording &recording : recordings)
        names_.insert(names_.end(), recording.species.begin(), recording.species.end());
    std::sort(names_.begin(), names_.end());
    names_.erase(std::unique(names_.begin(), names_.end()), names_.end());
    std::array<bool, kSpeciesPalette.size()> taken{};
    std::size_t used = 0;
    for (const std::string &name : names_) {
        if (used == taken.size()) {
            taken.fill(false);
            used = 0;
        }
        std::size_t slot = paletteSlot(name);
        while (taken[slot])
            slot = (slot + 1) % taken.size();
        taken[slot] = true;
        ++used;
        colours_.push_back(kSpeciesPalette[slot]);
    }
}

std::size_t SpeciesColours::indexOf(const std::string &species) const {
    return static_cast<std::size_t>(std::lower_bound(names_.begin(), names_.end(), species) - names_.begin());
}

std::uint32_t SpeciesColours::colourOf(const Recording &recording) const {
    return recording.species.empty() ? kNoSpeciesColour : colours_[indexOf(recording.species.front())];
}

std::string kmlColour(std::uint32_t rgb) {
    std::string text = "ff";
    for (const int shift : {0, 8, 16})
        appendHexByte(text, rgb >> shift);
    return text;
}

std::string htmlColour(std::uint32_t rgb) {
    std::string text = "#";
    for (const int shift : {16, 8, 0})
        appendHexByte(text, rgb >> shift);
    return text;
}

} // namespace pelorin
