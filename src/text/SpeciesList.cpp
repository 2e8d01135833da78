#include "text/SpeciesList.h"

#include "text/Blank.h"

namespace pelorin {

std::vector<std::string> splitSpeciesList(std::string_view text, std::string_view separators) {
    std::vector<std::string> species;
    for (;;) {
        const std::size_t end = text.find_first_of(separators);
        if (const std::string_view item = trimmed(text.substr(0, end)); !item.empty())
            species.emplace_back(item);
        if (end == std::string_view::npos)
            return species;
        text.remove_prefix(end + 1);
    }
}

void appendSpeciesList(std::string &out, const std::vector<std::string> &species) {
    for (std::size_t i = 0; i < species.size(); ++i)
        out.append(i == 0 ? "" : ";").append(species[i]);
}

} // namespace pelorin
