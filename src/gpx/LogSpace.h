#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// Trimming the texts of a log. Inline: the parser's character handler calls
// these for every run of text.
namespace pelorin::logspace {

// The whitespace-and-newline set: category Z, tab, U+000A..U+000D and U+0085.
// Text comes from the parser as UTF-8; most of it is ASCII, checked first.
inline bool asciiSpace(char c) noexcept {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// The indentation between elements is mostly runs of spaces; eight at a time.
inline const char *skipAsciiSpace(const char *text, const char *end) noexcept {
    constexpr std::uint64_t kSpaces = 0x2020202020202020u;
    while (end - text >= 8) {
        std::uint64_t word;
        std::memcpy(&word, text, sizeof word);
        if (word != kSpaces)
            break;
        text += 8;
    }
    while (text < end && asciiSpace(*text))
        ++text;
    return text;
}

// Length of the non-ASCII space that starts at p, or 0.
inline std::size_t wideSpaceAt(const char *p, const char *end) noexcept {
    const auto byte = [p](int k) { return static_cast<unsigned char>(p[k]); };
    const std::ptrdiff_t left = end - p;
    if (byte(0) == 0xC2 && left >= 2)
        return byte(1) == 0x85 || byte(1) == 0xA0 ? 2 : 0; // U+0085, U+00A0
    if (left < 3)
        return 0;
    switch (byte(0)) {
    case 0xE1:
        return byte(1) == 0x9A && byte(2) == 0x80 ? 3 : 0; // U+1680
    case 0xE2:
        if (byte(1) == 0x80) // U+2000..U+200A, U+2028, U+2029, U+202F
            return byte(2) <= 0x8A || byte(2) == 0xA8 || byte(2) == 0xA9 || byte(2) == 0xAF ? 3 : 0;
        return byte(1) == 0x81 && byte(2) == 0x9F ? 3 : 0; // U+205F
    case 0xE3:
        return byte(1) == 0x80 && byte(2) == 0x80 ? 3 : 0; // U+3000
    default:
        return 0;
    }
}

// Length of the non-ASCII space that ends at end (not reaching before begin), or 0.
// Valid UTF-8: a lead byte two or three back starts the last character.
inline std::size_t wideSpaceBefore(const char *begin, const char *end) noexcept {
    if (end - begin >= 2 && wideSpaceAt(end - 2, end) == 2)
        return 2;
    if (end - begin >= 3 && wideSpaceAt(end - 3, end) == 3)
        return 3;
    return 0;
}

inline std::string_view trimmed(std::string_view s) noexcept {
    const char *begin = s.data();
    const char *end = begin + s.size();
    for (;;) {
        while (begin < end && asciiSpace(*begin))
            ++begin;
        const std::size_t n =
            begin < end && static_cast<unsigned char>(*begin) >= 0x80 ? wideSpaceAt(begin, end) : 0;
        if (n == 0)
            break;
        begin += n;
    }
    for (;;) {
        while (end > begin && asciiSpace(end[-1]))
            --end;
        const std::size_t n =
            end > begin && static_cast<unsigned char>(end[-1]) >= 0x80 ? wideSpaceBefore(begin, end) : 0;
        if (n == 0)
            break;
        end -= n;
    }
    return {begin, static_cast<std::size_t>(end - begin)};
}

} // namespace pelorin::logspace
