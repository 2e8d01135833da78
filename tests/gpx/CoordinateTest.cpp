#include "gpx/Coordinate.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

namespace pelorin {
namespace {

TEST(Coordinate, ReadsTheValueAsAlwaysAndSaysWhetherItCanBeUsed) {
    using enum CoordinateFault;
    const float infinity = std::numeric_limits<float>::infinity();
    const struct {
        std::optional<std::string_view> text;
        float value;
        CoordinateFault latitude, longitude;
    } cases[] = {
        {"51.8430926", 51.8430926f, None, None},
        {" 51.5\t", 51.5f, None, None}, // blanks around a number are no fault
        {"-0.1277583", -0.1277583f, None, None},
        {"5.18e1", 51.8f, None, None},
        {"90", 90, None, None},
        {"-180", -180, OutOfRange, None},
        {"90.0000001", 90, OutOfRange, None},             // single precision would hide it
        {"-90.00000000000000001", -90, OutOfRange, None}, // so would double precision
        {"00180.5", 180.5f, OutOfRange, OutOfRange},
        {"0000000090.5", 90.5f, OutOfRange, None},             // ten digits before the point
        {"4294967386", 4294967386.0f, OutOfRange, OutOfRange}, // 90 past what 32 bits hold
        {"1e999", infinity, OutOfRange, OutOfRange},
        {"1e99999999999999999999", infinity, OutOfRange, OutOfRange}, // an exponent past 64 bits
        {"0.001e-999", 0, None, None},
        {"5l.8427", 5, NotANumber, NotANumber}, // reads 5, as the track line always showed it
        {"51.5 N", 51.5f, NotANumber, NotANumber},
        {"51,5", 51, NotANumber, NotANumber},
        {"nan", 0, NotANumber, NotANumber},
        {"", 0, NotANumber, NotANumber},
        {std::nullopt, 0, Missing, Missing},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text ? std::string(*c.text) : "(none)");
        const CoordinateReading latitude = readLatitude(c.text), longitude = readLongitude(c.text);
        EXPECT_EQ(std::tuple(latitude.value, latitude.fault, longitude.value, longitude.fault),
                  std::tuple(c.value, c.latitude, c.value, c.longitude));
        EXPECT_EQ(std::pair(usableLatitude(c.text), usableLongitude(c.text)),
                  std::pair(c.latitude == None, c.longitude == None));
    }
}

TEST(Coordinate, KeepsDoublePrecisionForOrdering) {
    const DecimalReading a = readDecimal("51.84309261"), b = readDecimal("51.84309262");
    EXPECT_EQ(a.value, b.value);
    EXPECT_LT(a.precise, b.precise);
    EXPECT_DOUBLE_EQ(readDecimal(" -1.5e2x").precise, -150);
}

TEST(Coordinate, ProblemTextNamesEachFault) {
    EXPECT_EQ((std::vector{coordinateProblemText("5l", std::nullopt), coordinateProblemText("10", "-181"),
                           coordinateProblemText("10", "20")}),
              (std::vector<std::string>{"latitude \"5l\" is not a number, longitude missing",
                                        "longitude \"-181\" is out of range", ""}));
}

} // namespace
} // namespace pelorin
