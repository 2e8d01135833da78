#include "gpx/Coordinate.h"
#include "text/NumberScan.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <system_error>

namespace pelorin {

namespace {

std::size_t skipDigits(std::string_view text, std::size_t i) noexcept {
    while (i < text.size() && isAsciiDigit(text[i]))
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

// Coordinates are short decimals; reading them through a double is exact
// enough and several times faster than the general conversion. Up to 15
// digits and 10^22 are exact in a double, so the quotient is the correctly
// rounded double; rounding that to a float again is right unless it landed
// exactly halfway between two floats, where the general path decides.
std::optional<float> shortDecimal(std::string_view number) noexcept {
    static constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    std::uint64_t mantissa = 0;
    std::size_t fractionDigits = 0;
    bool inFraction = false;
    for (const char c : number) {
        if (c == '.') {
            inFraction = true;
            continue;
        }
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(c - '0');
        fractionDigits += inFraction;
    }
    const double value = static_cast<double>(mantissa) / kPowers[fractionDigits];
    constexpr std::uint64_t kBelowFloat = (std::uint64_t{1} << 29) - 1; // the bits a float lacks
    if ((std::bit_cast<std::uint64_t>(value) & kBelowFloat) == std::uint64_t{1} << 28)
        return std::nullopt;
    return static_cast<float>(value);
}

// The usual coordinate, "51.8430926": optional sign, digits, a point and
// digits, nothing after, read in one pass. Anything else (blanks, an exponent,
// trailing text, more than 15 digits, a halfway case) is left to the general reading.
std::optional<DecimalReading> plainDecimal(std::string_view text) noexcept {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char *p = text.data();
    const char *const end = p + text.size();
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+'))
        negative = *p++ == '-';
    std::uint64_t mantissa = 0;
    int digits = 0;
    for (; p < end && isAsciiDigit(*p); ++p, ++digits)
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
    int fractionDigits = 0;
    if (p < end && *p == '.') {
        for (++p; p < end && isAsciiDigit(*p); ++p, ++fractionDigits)
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
    }
    digits += fractionDigits;
    if (p != end || digits == 0 || digits > 15)
        return std::nullopt;
    const double value = static_cast<double>(mantissa) / kPowers[fractionDigits];
    constexpr std::uint64_t kBelowFloat = (std::uint64_t{1} << 29) - 1;
    if ((std::bit_cast<std::uint64_t>(value) & kBelowFloat) == std::uint64_t{1} << 28)
        return std::nullopt;
    const float magnitude = static_cast<float>(value);
    return DecimalReading{negative ? -magnitude : magnitude, negative ? -value : value, true};
}

} // namespace

DecimalReading readDecimal(std::string_view text) {
    if (const std::optional<DecimalReading> plain = plainDecimal(text))
        return *plain;
    std::size_t i = skipNumberBlanks(text);
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
        return {};
    const bool hasExponent = end < text.size() && (text[end] == 'e' || text[end] == 'E');
    std::optional<float> shortValue;
    if (!hasExponent && digits <= 15)
        shortValue = shortDecimal(text.substr(start, end - start));
    if (hasExponent) {
        std::size_t e = end + 1;
        if (e < text.size() && (text[e] == '+' || text[e] == '-'))
            ++e;
        const std::size_t exponentEnd = skipDigits(text, e);
        if (exponentEnd > e)
            end = exponentEnd;
    }
    const std::string_view number = text.substr(start, end - start);
    DecimalReading reading;
    reading.whole = skipNumberBlanks(text.substr(end)) == text.size() - end;
    double wide = 0;
    const std::errc wideError = std::from_chars(number.data(), number.data() + number.size(), wide).ec;
    float value = 0;
    if (shortValue) {
        value = *shortValue;
    } else if (std::from_chars(number.data(), number.data() + number.size(), value).ec ==
               std::errc::result_out_of_range) {
        // Overflow or underflow of a float: the double reading rounds to infinity or zero.
        value = wideError == std::errc() ? static_cast<float>(wide) : beyondDouble(number);
    }
    if (wideError != std::errc())
        wide = value; // beyond a double: infinity or zero, as the float
    reading.value = negative ? -value : value;
    reading.precise = negative ? -wide : wide;
    return reading;
}

namespace {

// The usual coordinate, "51.8430926", judged against the limit digit by digit
// without converting it; nothing when the text is anything else.
std::optional<bool> plainWithin(std::string_view text, unsigned limit) noexcept {
    const char *p = text.data();
    const char *const end = p + text.size();
    if (p < end && (*p == '-' || *p == '+'))
        ++p;
    unsigned whole = 0;
    bool digits = false;
    for (; p < end && isAsciiDigit(*p); ++p, digits = true)
        whole = std::min(whole * 10 + static_cast<unsigned>(*p - '0'), 1'000'000u);
    bool beyondWhole = false;
    if (p < end && *p == '.') {
        for (++p; p < end && isAsciiDigit(*p); ++p, digits = true)
            beyondWhole = beyondWhole || *p != '0';
    }
    if (p != end || !digits)
        return std::nullopt;
    return whole < limit || (whole == limit && !beyondWhole);
}

CoordinateReading readCoordinate(std::optional<std::string_view> text, unsigned limit) {
    if (!text)
        return {0, 0, CoordinateFault::Missing};
    const DecimalReading decimal = readDecimal(*text);
    CoordinateReading reading{decimal.value, decimal.precise, CoordinateFault::None};
    if (!decimal.whole)
        reading.fault = CoordinateFault::NotANumber;
    else if (!plainWithin(*text, limit).value_or(std::fabs(decimal.precise) <= limit))
        reading.fault = CoordinateFault::OutOfRange;
    return reading;
}

bool usable(std::optional<std::string_view> text, unsigned limit) {
    if (!text)
        return false;
    if (const std::optional<bool> within = plainWithin(*text, limit))
        return *within;
    return readCoordinate(text, limit).usable();
}

} // namespace

float coordinateValue(std::optional<std::string_view> text) {
    return text ? readDecimal(*text).value : 0.0f;
}

CoordinateReading readLatitude(std::optional<std::string_view> text) {
    return readCoordinate(text, 90);
}

CoordinateReading readLongitude(std::optional<std::string_view> text) {
    return readCoordinate(text, 180);
}

bool usableLatitude(std::optional<std::string_view> text) {
    return usable(text, 90);
}

bool usableLongitude(std::optional<std::string_view> text) {
    return usable(text, 180);
}

std::string coordinateProblemText(std::optional<std::string_view> lat, std::optional<std::string_view> lon) {
    std::string text;
    const auto add = [&text](std::string_view axis, std::optional<std::string_view> value,
                             CoordinateFault fault) {
        if (fault == CoordinateFault::None)
            return;
        if (!text.empty())
            text += ", ";
        text.append(axis);
        if (fault == CoordinateFault::Missing) {
            text += " missing";
            return;
        }
        text.append(" \"").append(*value).append("\" is ");
        text += fault == CoordinateFault::NotANumber ? "not a number" : "out of range";
    };
    add("latitude", lat, readLatitude(lat).fault);
    add("longitude", lon, readLongitude(lon).fault);
    return text;
}

} // namespace pelorin
