#include "kml/SpeciesPalette.h"

namespace pelorin {

namespace {

void appendHexByte(std::string &out, std::uint32_t byte) {
    constexpr char kDigits[] = "0123456789abcdef";
    out += kDigits[(byte >> 4) & 0xF];
    out += kDigits[byte & 0xF];
}

} // namespace

std::uint32_t speciesColour(std::string_view abbreviation) noexcept {
    std::uint32_t hash = 2166136261u;
    for (const char c : abbreviation) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 16777619u;
    }
    return kSpeciesPalette[hash % kSpeciesPalette.size()];
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
