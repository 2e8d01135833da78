#pragma once

#include <string>
#include <string_view>

namespace pelorin {

// Well-formed UTF-8: shortest forms only, no surrogates, nothing above
// U+10FFFF.
bool isValidUtf8(std::string_view text) noexcept;

// Appends the code point's UTF-8 bytes; the caller has checked that it is one
// (not a surrogate, at most U+10FFFF).
void appendUtf8(std::string &into, char32_t codePoint);

} // namespace pelorin
