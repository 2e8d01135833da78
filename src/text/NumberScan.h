#pragma once

#include <cstddef>
#include <string_view>

namespace pelorin {

// What a number's text may start with and how its digits are told: one
// definition for every reader of a number from text (coordinates, the offset).
constexpr bool isNumberBlank(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

constexpr bool isAsciiDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

constexpr std::size_t skipNumberBlanks(std::string_view text) noexcept {
    std::size_t i = 0;
    while (i < text.size() && isNumberBlank(text[i]))
        ++i;
    return i;
}

} // namespace pelorin
