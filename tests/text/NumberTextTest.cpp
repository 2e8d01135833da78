#include "text/NumberText.h"
#include "gpx/Coordinate.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace pelorin {
namespace {

TEST(FloatValue, ReadsTheLeadingDecimalNumberInSinglePrecision) {
    const float inf = std::numeric_limits<float>::infinity();
    // A comma is no decimal separator, whatever the locale; halfway between two floats goes to the even
    // one; just above the midpoint after 1 a single rounding goes up, where one through a double gives 1.
    const std::pair<const char *, float> cases[] = {
        {"48.85", 48.85f},
        {"\t\n -12.5abc", -12.5f},
        {"1,5", 1.0f},
        {"1.5E+2x", 150.0f},
        {"1e", 1.0f},
        {"16777217", 16777216.0f},
        {"1e39", inf},
        {"1e-50", 0.0f},
        {"1.0000000596046447753906251", std::nextafter(1.0f, 2.0f)}};
    for (const auto &[text, value] : cases)
        EXPECT_EQ(readDecimal(text).value, value) << '"' << text << '"';
    for (const char *none : {"abc", "", "-", ".", "- 5", "e5"})
        EXPECT_EQ(readDecimal(none).value, 0.0f) << '"' << none << '"';
}

TEST(IntValue, ReadsTheLeadingIntegerClampedTo32Bits) {
    const std::pair<const char *, std::int32_t> cases[] = {{"  -12abc", -12},
                                                           {"+37", 37},
                                                           {"1e3", 1},
                                                           {"- 5", 0},
                                                           {"2147483648", 2147483647},
                                                           {"-99999999999999999999999", -2147483647 - 1}};
    for (const auto &[text, value] : cases)
        EXPECT_EQ(intValue(text), value) << '"' << text << '"';
}

TEST(FormatFixed6, PrintsSixDecimalsOfTheWidenedFloat) {
    EXPECT_EQ(formatFixed6(readDecimal("48.85").value), "48.849998");
    EXPECT_EQ(formatFixed6(-0.0000001), "-0.000000");
    EXPECT_EQ(formatFixed6(1e20), "100000000000000000000.000000");
}

// The short paths for coordinate-like texts and floats against the library's general conversions.
TEST(NumberText, ShortPathsAgreeWithTheGeneralConversions) {
    std::mt19937_64 random(20240601);
    char expected[512];
    for (int i = 0; i < 200'000; ++i) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(random()));
        if (std::isfinite(value) && std::fabs(value) <= 1e10f) {
            std::snprintf(expected, sizeof expected, "%f", static_cast<double>(value));
            ASSERT_EQ(formatFixed6(value), expected);
        }
        std::string text =
            std::to_string(random() % 1000) + '.' + std::to_string(random()).substr(0, random() % 16);
        float reference = 0;
        std::from_chars(text.data(), text.data() + text.size(), reference);
        ASSERT_EQ(readDecimal(text).value, reference) << text;
    }
}

} // namespace
} // namespace pelorin
