#include "text/IsoTime.h"
#include "ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
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
                 // The usual shape, "...Z", takes a short path of its own calendar arithmetic.
                 {"2008-02-29T00:00:00Z", sys_days{2008y / February / 29}},
                 {"2000-02-29T12:00:00Z", sys_days{2000y / February / 29} + 12h},
                 {"1969-12-31T23:59:59Z", sys_days{1970y / January / 1} - 1s},
                 {"0000-02-29T23:59:59Z", sys_days{year{0} / February / 29} + 23h + 59min + 59s},
                 {"9999-12-31T23:59:59Z", sys_days{9999y / December / 31} + 23h + 59min + 59s}};
    for (const auto &c : cases)
        EXPECT_EQ(parseGpxTime(c.text), c.expected) << '"' << c.text << '"';
    for (const char *text :
         {"", "garbage", "2009-05-01T10:00", "2009-5-01T10:00:00Z", "2009-13-01T10:00:00Z",
          "2009-02-29T10:00:00Z", "1900-02-29T00:00:00Z", "2024-04-31T00:00:00Z", "2024-01-00T00:00:00Z",
          "2009-05-01T24:00:00Z", "2009-05-01T10:00:60Z", "2009-05-01T10:00:00.Z", "2009-05-01T10:00:00+02",
          "2009-05-01T10:00:00+24:00", "2009-05-01T10:00:00Zjunk"})
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

} // namespace
} // namespace pelorin
