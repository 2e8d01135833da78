#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pelorin {

// Appends text as XML character data: reserved characters escaped, characters
// XML 1.0 cannot carry (controls other than tab, LF, CR; invalid UTF-8;
// U+FFFE, U+FFFF) dropped. A CR is written as a character reference, since a
// literal one would read back as a line feed.
void appendXmlText(std::string &out, std::string_view text);

// Length of the well-formed UTF-8 sequence at text[i] (a byte of 0x80 or more)
// naming a character XML 1.0 allows, or 0 when the bytes there are not one.
std::size_t xmlCharSequence(std::string_view text, std::size_t i) noexcept;

} // namespace pelorin
