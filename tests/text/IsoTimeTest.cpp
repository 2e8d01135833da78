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
                 {"2009-05-01T12:00:00+0200", may1At10},
                 // The sign covers the minutes too: -03:30 is three and a half hours west.
                 {"2009-05-01T06:30:00-03:30", may1At10},
                 {"2009-05-01T00:30:00+01:00", sys_days{2009y / April / 30} + 23h + 30min},
                 // The usual shape, "...Z", takes a short path of its own calendar arithmetic.
                 {"2008-02-29T00:00:00Z", sys_days{2008y / February / 29}},
                 {"1969-12-31T23:59:59Z", sys_days{1970y / January / 1} - 1s}};
    for (const auto &c : cases)
        EXPECT_EQ(parseGpxTime(c.text), c.expected) << '"' << c.text << '"';
    for (const char *text : {"garbage", "2009-5-01T10:00:00Z", "1900-02-29T00:00:00Z", "2009-05-01T10:00:60Z",
                             "2009-05-01T10:00:00+02", "2009-05-01T10:00:00Zjunk"})
        EXPECT_EQ(parseGpxTime(text), std::nullopt) << '"' << text << '"';
}

TEST(IsoDateTime, KeepsMillisecondsAndReadsAMissingZoneAsAsked) {
    test::ScopedTimeZone zone("NST+3:30NDT,M3.2.0,M11.1.0"); // a zone half an hour off the hour
    const sys_time<milliseconds> may1At10 = sys_days{2009y / May / 1} + 10h;
    const struct {
        const char *text;
        MissingZone missing;
        sys_time<milliseconds> expected;
    } cases[] = {{"2009-05-01T06:30:00.5-03:30", MissingZone::Utc, may1At10 + 500ms},
                 {"2009-05-01T07:30:00", MissingZone::Local, may1At10}}; // daylight time, -02:30
    for (const auto &c : cases)
        EXPECT_EQ(parseIsoDateTime(c.text, c.missing), c.expected) << '"' << c.text << '"';
}

} // namespace
} // namespace pelorin
