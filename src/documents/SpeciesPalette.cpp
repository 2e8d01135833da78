#include "documents/SpeciesPalette.h"

#include <algorithm>
#include <array>
#include <unordered_set>

namespace pelorin {

namespace {

constexpr std::array<std::uint32_t, 7> kPalette{
    0xE69F00, // orange
    0x56B4E9, // sky blue
    0x009E73, // bluish green
    0xF0E442, // yellow
    0x0072B2, // blue
    0xD55E00, // vermillion
    0xCC79A7, // reddish purple
};

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
    return hash % kPalette.size();
}

SpeciesColours::SpeciesColours(std::span<const Recording> recordings)
    : SpeciesColours([recordings] {
        std::unordered_set<std::string_view> distinct;
        for (const Recording &recording : recordings)
            distinct.insert(recording.species.begin(), recording.species.end());
        return std::vector<std::string>(distinct.begin(), distinct.end());
    }()) {}

SpeciesColours::SpeciesColours(std::vector<std::string> species)
    : names_(std::move(species)) {
    std::sort(names_.begin(), names_.end());
    names_.erase(std::unique(names_.begin(), names_.end()), names_.end());
    for (std::size_t i = 0; i < names_.size(); ++i)
        index_.emplace(names_[i], i);
    std::array<bool, kPalette.size()> taken{};
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
        colours_.push_back(kPalette[slot]);
    }
}

std::size_t SpeciesColours::indexOf(std::string_view species) const {
    const auto found = index_.find(species);
    return found == index_.end() ? names_.size() : found->second;
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
