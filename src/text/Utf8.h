#pragma once

#include <string_view>

namespace pelorin {

// Well-formed UTF-8: shortest forms only, no surrogates, nothing above
// U+10FFFF.
bool isValidUtf8(std::string_view text) noexcept;

} // namespace pelorin
