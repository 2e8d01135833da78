#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// A list of species abbreviations in one text: a catalogue's "Ppip;Nnoc",
// GUANO's "Ppip, Nnoc". Split at any of `separators`, each trimmed, empty
// ones dropped, in order.
std::vector<std::string> splitSpeciesList(std::string_view text, std::string_view separators);

// Abbreviations joined with ";", as every output writes them; nothing for none.
void appendSpeciesList(std::string &out, const std::vector<std::string> &species);

} // namespace pelorin
