#include "georef/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <limits>
#include <system_error>

namespace pelorin {

namespace {

bool isBlank(char c) noexcept {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c) noexcept {
    return c >= '0' && c <= '9';
}

std::size_t skipBlanks(std::string_view text) noexcept {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    return i;
}

std::size_t skipDigits(std::string_view text, std::size_t i) noexcept {
    while (i < text.size() && isDigit(text[i]))
        ++i;
    return i;
}

// The reading of a number whose magnitude even a double cannot hold: infinity
// or zero by the decimal exponent of its first significant digit.
float beyondDouble(std::string_view number) {
    const std::size_t e = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, e);
    long long exponent = 0;
    if (e != std::string_view::npos) {
        std::string_view text = number.substr(e + 1);
        const bool negative = text.front() == '-';
        if (text.front() == '+' || text.front() == '-')
            text.remove_prefix(1);
        if (std::from_chars(text.data(), text.data() + text.size(), exponent).ec != std::errc())
            exponent = 1'000'000'000;
        exponent = std::min(exponent, 1'000'000'000LL);
        if (negative)
            exponent = -exponent;
    }
    const std::size_t first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos)
        return 0.0f;
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const long long position =
        first < point ? static_cast<long long>(point - first) - 1 : -static_cast<long long>(first - point);
    return position + exponent > 0 ? std::numeric_limits<float>::infinity() : 0.0f;
}

} // namespace

float floatValue(std::string_view text) {
    std::size_t i = skipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t start = i;
    std::size_t end = skipDigits(text, i);
    std::size_t digits = end - start;
    if (end < text.size() && text[end] == '.') {
        const std::size_t fractionEnd = skipDigits(text, end + 1);
        digits += fractionEnd - end - 1;
        end = fractionEnd;
    }
    if (digits == 0)
        return 0.0f;
    if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
        std::size_t e = end + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-'))
            ++e;
        const std::size_t exponentEnd = skipDigits(text, e);
        if (exponentEnd > e)
            end = exponentEnd;
    }
    const std::string_view number = text.substr(start, end - start);
    float value = 0;
    if (std::from_chars(number.data(), number.data() + number.size(), value).ec ==
        std::errc::result_out_of_range) {
        // Overflow or underflow of a float: the double reading rounds to infinity or zero.
        double wide = 0;
        const bool fits =
            std::from_chars(number.data(), number.data() + number.size(), wide).ec == std::errc();
        value = fits ? static_cast<float>(wide) : beyondDouble(number);
    }
    return negative ? -value : value;
}

std::int32_t intValue(std::string_view text) {
    std::size_t i = skipBlanks(text);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit)
            magnitude = limit; // saturate; the remaining digits cannot bring it back
    }
    if (negative)
        return static_cast<std::int32_t>(-magnitude);
    return static_cast<std::int32_t>(std::min(magnitude, limit - 1));
}

void appendFixed6(std::string &out, double value) {
    // Wide enough for every finite double in fixed notation.
    char buffer[std::numeric_limits<double>::max_exponent10 + 32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    (void)ec;
    out.append(buffer, end);
}

std::string formatFixed6(double value) {
    std::string out;
    appendFixed6(out, value);
    return out;
}

} // namespace pelorin
