#include "gpx/IsoTime.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <random>
#include <string>

namespace pelorin {
namespace {

using namespace std::chrono;

// GPX times of the usual shape take a short path; parseIsoDateTime always
// takes the general one. Both must agree on every text of that shape, valid or
// not, and on its near misses.
std::optional<sys_seconds> generalReading(const std::string &text) {
    const auto instant = parseIsoDateTime(text, MissingZone::Utc);
    if (!instant)
        return std::nullopt;
    return floor<seconds>(*instant);
}

TEST(GpxTime, TheUsualShapeReadsAsTheGeneralPathReadsIt) {
    for (const char *text :
         {"0000-01-01T00:00:00Z", "0000-02-29T23:59:59Z", "1900-02-29T00:00:00Z", "1969-12-31T23:59:59Z",
          "1970-01-01T00:00:00Z", "2000-02-29T12:00:00Z", "2024-05-01T19:30:00Z", "2100-02-29T00:00:00Z",
          "9999-12-31T23:59:59Z", "2024-04-31T00:00:00Z", "2024-00-10T00:00:00Z", "2024-01-00T00:00:00Z",
          "2024-05-01T19:30:00z", "2024-05-01 19:30:00Z", "+024-05-01T19:30:00Z", "2024-05-01T19:30:0 Z",
          "2024-05-01T19:30:00Z "})
        EXPECT_EQ(parseGpxTime(text), generalReading(text)) << text;

    std::mt19937 random(20240501);
    const auto upTo = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n + 1)); };
    char text[32];
    for (int i = 0; i < 300'000; ++i) {
        // Fields a little past their ranges, so the edges of every check are crossed.
        std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", upTo(9999), upTo(13), upTo(32),
                      upTo(24), upTo(60), upTo(60));
        std::string shaped = text;
        if (i % 4 == 0) // a byte anywhere replaced by one of the characters the shape is made of, or another
            shaped[random() % shaped.size()] = "0123456789-T:Z.+ \x80"[random() % 18];
        ASSERT_EQ(parseGpxTime(shaped), generalReading(shaped)) << shaped;
    }
}

} // namespace
} // namespace pelorin
