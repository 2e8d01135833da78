#include "text/NumberText.h"

#include "text/NumberScan.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <system_error>

namespace pelorin {

IntReading readInt(std::string_view text) {
    const std::size_t start = skipNumberBlanks(text);
    std::size_t i = start;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t digits = i;
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    bool clamped = false;
    for (; i < text.size() && isAsciiDigit(text[i]); ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) {
            magnitude = limit; // saturate; the remaining digits cannot bring it back
            clamped = true;
        }
    }
    if (!negative && magnitude == limit) {
        magnitude = limit - 1;
        clamped = true;
    }
    const bool whole = start == 0 && i > digits && i == text.size() && !clamped;
    return {static_cast<std::int32_t>(negative ? -magnitude : magnitude), whole};
}

std::int32_t intValue(std::string_view text) {
    return readInt(text).value;
}

namespace {

// "%f" of a float's exact value: an integer scaled by a power of two, times
// 10^6, rounded half to even, which is what printf and to_chars do, only
// without their general multi-precision machinery.
bool appendFixed6OfFloat(std::string &out, double value) {
    const double magnitude = std::fabs(value);
    if (!(magnitude < 2147483648.0) || static_cast<double>(static_cast<float>(value)) != value)
        return false;
    const auto bits = std::bit_cast<std::uint32_t>(static_cast<float>(magnitude));
    const auto biasedExponent = static_cast<int>(bits >> 23);
    std::uint64_t significand = bits & 0x7FFFFFu;
    if (biasedExponent != 0)
        significand |= 0x800000u;
    const int shift = biasedExponent != 0 ? 150 - biasedExponent : 149; // magnitude = significand / 2^shift
    std::uint64_t millionths;
    if (shift <= 0) {
        millionths = (significand << -shift) * 1'000'000;
    } else if (shift >= 64) {
        millionths = 0; // below 2^-40: rounds to zero
    } else {
        const std::uint64_t scaled = significand * 1'000'000; // < 2^44
        millionths = scaled >> shift;
        const std::uint64_t rest = scaled - (millionths << shift);
        const std::uint64_t half = std::uint64_t{1} << (shift - 1);
        if (rest > half || (rest == half && (millionths & 1) != 0))
            ++millionths;
    }
    char buffer[32];
    char *end = buffer;
    if (std::signbit(value))
        *end++ = '-';
    end = std::to_chars(end, buffer + sizeof buffer, millionths / 1'000'000).ptr;
    *end++ = '.';
    std::uint64_t decimals = millionths % 1'000'000;
    for (int i = 5; i >= 0; --i) {
        end[i] = static_cast<char>('0' + decimals % 10);
        decimals /= 10;
    }
    out.append(buffer, end + 6);
    return true;
}

} // namespace

void appendFixed6(std::string &out, double value) {
    if (appendFixed6OfFloat(out, value))
        return;
    // Wide enough for every finite double in fixed notation.
    char buffer[std::numeric_limits<double>::max_exponent10 + 32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    (void)ec;
    out.append(buffer, end);
}

void appendDecimal(std::string &out, double value, int decimals) {
    char buffer[std::numeric_limits<double>::max_exponent10 + 32];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (ec != std::errc())
        return;
    std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    if (text.find('.') != std::string_view::npos) {
        while (text.back() == '0')
            text.remove_suffix(1);
        if (text.back() == '.')
            text.remove_suffix(1);
    }
    if (text == "-0")
        text = "0";
    out.append(text);
}

std::string formatFixed6(double value) {
    std::string out;
    appendFixed6(out, value);
    return out;
}

std::optional<double> readLengthSeconds(std::string_view text) {
    double value = 0;
    const char *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (text.empty() || error != std::errc{} || stop != end || !(value >= 0) || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace pelorin
