#include "georef/NumberText.h"

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

TEST(FloatValue, ReadsTheLeadingDecimalNumber) {
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        const char *text;
        float value;
    } cases[] = {
        {"48.85", 48.85f},
        {"  -12.5abc", -12.5f},
        {"\t\n 7", 7.0f},
        {"+3", 3.0f},
        {".5", 0.5f},
        {"-.25", -0.25f},
        {"5.", 5.0f},
        {"1,5", 1.0f}, // a comma is no decimal separator, whatever the locale
        {"1e3", 1000.0f},
        {"1.5E+2x", 150.0f},
        {"2e-1", 0.2f},
        {"1e", 1.0f}, // an exponent without digits is not part of the number
        {"1e+", 1.0f},
        {"abc", 0.0f},
        {"", 0.0f},
        {"-", 0.0f},
        {".", 0.0f},
        {"- 5", 0.0f},
        {"16777217", 16777216.0f}, // halfway between two floats: to the even one
        {"16777219", 16777220.0f},
        {"1e39", inf},
        {"-1e400", -inf},
        {"1e-50", 0.0f},
        {"1e-400", 0.0f},
        {"0.000000000000000000000000000000000000000000000001e999999999999999999999", inf},
        {"0e999999999999999999999", 0.0f},
    };
    for (const auto &c : cases)
        EXPECT_EQ(floatValue(c.text), c.value) << '"' << c.text << '"';
}

TEST(FloatValue, RoundsOnceToSinglePrecision) {
    // Just above the midpoint between 1 and the next float: read directly it
    // rounds up; read as a double first it would land on the midpoint and then
    // round to even, down to 1.
    EXPECT_EQ(floatValue("1.0000000596046447753906251"), std::nextafter(1.0f, 2.0f));
}

TEST(IntValue, ReadsTheLeadingIntegerClampedTo32Bits) {
    const struct {
        const char *text;
        std::int32_t value;
    } cases[] = {
        {"3600", 3600},
        {"  -12abc", -12},
        {"+37", 37},
        {" -3600 s", -3600},
        {"1e3", 1},
        {"12.9", 12},
        {"abc", 0},
        {"", 0},
        {"- 5", 0},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"99999999999999999999999", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-99999999999999999999999", -2147483647 - 1},
    };
    for (const auto &c : cases)
        EXPECT_EQ(intValue(c.text), c.value) << '"' << c.text << '"';
}

TEST(FormatFixed6, PrintsSixDecimalsOfTheWidenedFloat) {
    EXPECT_EQ(formatFixed6(floatValue("48.85")), "48.849998");
    EXPECT_EQ(formatFixed6(floatValue("52.5200066")), "52.520008");
    EXPECT_EQ(formatFixed6(floatValue("-0.1277583")), "-0.127758");
    EXPECT_EQ(formatFixed6(0.25f), "0.250000");
    EXPECT_EQ(formatFixed6(0.0), "0.000000");
    EXPECT_EQ(formatFixed6(-0.0000001), "-0.000000");
    EXPECT_EQ(formatFixed6(1e20), "100000000000000000000.000000");
    std::string out = "x=";
    appendFixed6(out, -180.0f);
    EXPECT_EQ(out, "x=-180.000000");
}

// The short paths for coordinate-like texts and floats against the library's
// general conversions, on many seeded random cases.
TEST(NumberText, ShortPathsAgreeWithTheGeneralConversions) {
    std::mt19937_64 random(20240601);
    char expected[512];
    for (int i = 0; i < 200'000; ++i) {
        const auto bits = static_cast<std::uint32_t>(random());
        const float value = std::bit_cast<float>(bits);
        if (!std::isfinite(value) || std::fabs(value) > 1e10f)
            continue;
        std::snprintf(expected, sizeof expected, "%f", static_cast<double>(value));
        ASSERT_EQ(formatFixed6(value), expected) << bits;
    }
    for (const float value : {0.0078125f, -0.0078125f, 2147483520.0f, 1e-45f, -0.0f, 0.5e-6f})
        EXPECT_EQ(formatFixed6(value),
                  (std::snprintf(expected, sizeof expected, "%f", double(value)), expected));

    for (int i = 0; i < 200'000; ++i) {
        std::string text = std::to_string(random() % 1000);
        const auto fraction = std::to_string(random());
        text += '.' + fraction.substr(0, random() % 16);
        float reference = 0;
        std::from_chars(text.data(), text.data() + text.size(), reference);
        ASSERT_EQ(floatValue(text), reference) << text;
    }
}

} // namespace
} // namespace pelorin
