#include "text/NumberText.h"
#include "gpx/Coordinate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace pelorin {
namespace {

TEST(FloatValue, ReadsTheLeadingDecimalNumberInSinglePrecision) {
    const float inf = std::numeric_limits<float>::infinity();
    // A comma is no decimal separator, whatever the locale; halfway between two floats goes to the even
    // one; just above the midpoint after 1 a single rounding goes up, where one through a double gives 1.
    const std::pair<const char *, float> cases[] = {
        {"48.85", 48.85f}, // the short path: sign, digits, point, at most 15 digits
        {"\t\n -12.5abc", -12.5f},
        {"1,5", 1.0f},
        {"1.5E+2x", 150.0f},
        {"16777217", 16777216.0f},
        {"1e39", inf},
        {"1.0000000596046447753906251", std::nextafter(1.0f, 2.0f)}};
    for (const auto &[text, value] : cases)
        EXPECT_EQ(readDecimal(text).value, value) << '"' << text << '"';
    for (const char *none : {"abc", "-", "e5"})
        EXPECT_EQ(readDecimal(none).value, 0.0f) << '"' << none << '"';
}

TEST(IntValue, ReadsTheLeadingIntegerClampedTo32Bits) {
    const std::pair<const char *, std::int32_t> cases[] = {{"  -12abc", -12},
                                                           {"1e3", 1},
                                                           {"2147483648", 2147483647},
                                                           {"-99999999999999999999999", -2147483647 - 1}};
    for (const auto &[text, value] : cases)
        EXPECT_EQ(intValue(text), value) << '"' << text << '"';
}

TEST(FormatFixed6, PrintsSixDecimalsOfTheWidenedFloat) {
    EXPECT_EQ(formatFixed6(readDecimal("48.85").value), "48.849998");
    // A float's exact value, rounded half to even: 2^-7 and 3 x 2^-7 are 7812.5 and 23437.5 millionths.
    const std::pair<float, const char *> floats[] = {{0.0078125f, "0.007812"},
                                                     {-0.0234375f, "-0.023438"},
                                                     {-0.0f, "-0.000000"},
                                                     {2147483520.0f, "2147483520.000000"}};
    for (const auto &[value, text] : floats)
        EXPECT_EQ(formatFixed6(value), text) << text;
}

} // namespace
} // namespace pelorin
