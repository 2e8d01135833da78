#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace pelorin {

// What every text of the system counts as blank when it trims: Unicode's
// category Z (U+0020, U+00A0, U+1680, U+2000..U+200A, U+2028, U+2029, U+202F,
// U+205F, U+3000), tab, U+000A..U+000D, U+0085, and NUL, which GUANO readers
// trim and no other text of ours holds. Texts are UTF-8.

constexpr bool isAsciiBlank(char c) noexcept {
    return c == ' ' || (c >= '\t' && c <= '\r') || c == '\0';
}

// The text without the blanks at either end.
std::string_view trimmed(std::string_view text) noexcept;

// The first character from `text` on that is no ASCII blank, `end` when none:
// the GPX reader's path through indentation, eight spaces at a time.
inline const char *skipAsciiBlanks(const char *text, const char *end) noexcept {
    constexpr std::uint64_t kSpaces = 0x2020202020202020u;
    while (end - text >= 8) {
        std::uint64_t word;
        std::memcpy(&word, text, sizeof word);
        if (word != kSpaces)
            break;
        text += 8;
    }
    while (text < end && isAsciiBlank(*text))
        ++text;
    return text;
}

} // namespace pelorin
