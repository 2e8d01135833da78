#include "text/IsoTime.h"
#include "ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <random>
#include <string>

namespace pelorin {
namespace {

using namespace std::chrono;

TEST(GpxTime, ReadsWholeSecondsAppliesOffsetsAndRefusesWhatItCannotRead) {
    test::ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3"); // a GPX time without a zone is still UTC
    const sys_seconds may1At10 = sys_days{2009y / May / 1} + 10h;
    const struct {
        const char *text;
        std::optional<sys_seconds> expected;
    } cases[] = {{"2009-05-01T10:00:00", may1At10},
                 {"2009-05-01T10:00:00Z", may1At10},
                 {"2009-05-01T10:00:00.999Z", may1At10},
                 {"2009-05-01T12:00:00+02:00", may1At10},
                 {"2009-05-01T12:00:00+0200", may1At10},
                 {"2009-05-01T05:00:00-05:00", may1At10},
                 {"2009-05-01T12:30:00.123+02:30", may1At10},
                 // The sign covers the minutes too: -03:30 is three and a half hours west.
                 {"2009-05-01T06:30:00-03:30", may1At10},
                 {"2009-05-01T00:30:00-09:30", may1At10},
                 {"2009-05-01T10:45:00+0045", may1At10},
                 {"2009-05-01T00:30:00+01:00", sys_days{2009y / April / 30} + 23h + 30min},
                 {"2008-02-29T00:00:00Z", sys_days{2008y / February / 29}}};
    for (const auto &c : cases)
        EXPECT_EQ(parseGpxTime(c.text), c.expected) << '"' << c.text << '"';
    for (const char *text :
         {"", "garbage", "2009-05-01T10:00", "2009-5-01T10:00:00Z", "2009-13-01T10:00:00Z",
          "2009-02-29T10:00:00Z", "2009-05-01T24:00:00Z", "2009-05-01T10:00:60Z", "2009-05-01T10:00:00.Z",
          "2009-05-01T10:00:00+02", "2009-05-01T10:00:00+24:00", "2009-05-01T10:00:00Zjunk"})
        EXPECT_EQ(parseGpxTime(text), std::nullopt) << '"' << text << '"';
}

TEST(IsoDateTime, KeepsMillisecondsAndReadsAMissingZoneAsAsked) {
    test::ScopedTimeZone zone("NST+3:30NDT,M3.2.0,M11.1.0"); // a zone half an hour off the hour
    const sys_time<milliseconds> may1At10 = sys_days{2009y / May / 1} + 10h;
    const struct {
        const char *text;
        MissingZone missing;
        sys_time<milliseconds> expected;
    } cases[] = {{"2009-05-01T10:00:00.250Z", MissingZone::Local, may1At10 + 250ms},
                 {"2009-05-01T06:30:00.5-03:30", MissingZone::Utc, may1At10 + 500ms},
                 {"2009-05-01T07:30:00", MissingZone::Local, may1At10}, // daylight time, -02:30
                 {"2009-05-01T10:00:00", MissingZone::Utc, may1At10}};
    for (const auto &c : cases)
        EXPECT_EQ(parseIsoDateTime(c.text, c.missing), c.expected) << '"' << c.text << '"';
}

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
