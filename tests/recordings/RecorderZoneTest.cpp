#include "recordings/RecorderZone.h"

#include "ScopedTimeZone.h"
#include "recordings/WavRecording.h"
#include "recordings/WavWriter.h"

#include <gmock/gmock.h>

namespace pelorin {
namespace {

using namespace std::chrono;
using ::testing::AllOf;
using ::testing::HasSubstr;

struct Case {
    const char *wallClock;
    RecordingTime utc; // the reading taken
    const char *note;  // a part of the note, "" for none
};

constexpr RecordingTime utc(year_month_day day, milliseconds time) {
    return sys_days{day} + time;
}

// Central Europe, 2025: the clocks go forward on 30 March at 02:00 and back on
// 26 October at 03:00.
const Case kBerlin[] = {
    {"2025-06-12T21:42:36", utc(2025y / June / 12, 19h + 42min + 36s), ""},
    {"2025-10-26T02:00:00", utc(2025y / October / 26, 0h), "2025-10-26 02:00:00 occurs twice in "},
    {"2025-10-26T02:30:00", utc(2025y / October / 26, 30min),
     "as the clocks go back; read as the first, CEST (UTC+02:00)"},
    {"2025-03-30T02:30:00", utc(2025y / March / 30, 1h + 30min), "2025-03-30 02:30:00 does not exist in "},
    {"2025-03-30T02:59:59", utc(2025y / March / 30, 1h + 59min + 59s),
     "as the clocks go forward; read with the offset before the change, CET (UTC+01:00)"},
    {"2025-10-26T02:30:00Z", utc(2025y / October / 26, 2h + 30min), ""}, // a zone of its own needs no reading
};

void expectReadings(RecorderZoneChoice &zone, const std::string &zoneName) {
    for (const Case &c : kBerlin) {
        SCOPED_TRACE(std::string(c.wallClock) + " in " + zoneName);
        const auto reading = zone.readIso(c.wallClock);
        ASSERT_TRUE(reading);
        EXPECT_EQ(reading->time, c.utc);
        EXPECT_EQ(reading->note.empty(), *c.note == '\0') << reading->note;
        EXPECT_THAT(reading->note, AllOf(HasSubstr(c.note), HasSubstr(*c.note ? zoneName : "")));
    }
}

TEST(RecorderZone, RepeatedAndSkippedHoursAreNamedWithTheReadingTaken) {
    // The same readings from the machine's zone as a POSIX rule (the C
    // library's reading), as a database name, and from a zone given by name.
    for (const auto &[tz, name] : {std::pair{"CET-1CEST,M3.5.0,M10.5.0/3", "CET-1CEST,M3.5.0,M10.5.0/3"},
                                   std::pair{":Europe/Berlin", "Europe/Berlin"}}) {
        const test::ScopedTimeZone machineZone(tz);
        RecorderZoneChoice machine;
        expectReadings(machine, name);
    }
    const test::ScopedTimeZone elsewhere("America/New_York"); // the machine's zone does not matter
    const std::optional<RecorderZone> berlin = RecorderZone::named("Europe/Berlin");
    ASSERT_TRUE(berlin);
    RecorderZoneChoice given(&*berlin);
    expectReadings(given, "Europe/Berlin");

    EXPECT_FALSE(RecorderZone::named("Europe/Atlantis"));
    EXPECT_FALSE(given.readIso("2025-13-01T00:00:00"));

    // The WAV reader carries the notes, after its own; the catalogue's are checked through the command.
    const std::string bytes = test::WavWriter().fmt().guano("Timestamp: 12.06.2025 21:42\n").bytes();
    const WavResult wav =
        parseWavMetadata(bytes, "SURVEY_20250330_023000.wav", sys_days{2025y / June / 1}, &*berlin);
    ASSERT_TRUE(wav.value) << wav.error;
    EXPECT_EQ(
        wav.value->recording.timeNote,
        "the GUANO Timestamp \"12.06.2025 21:42\" could not be read; the start time is from the file name; "
        "2025-03-30 02:30:00 does not exist in Europe/Berlin, as the clocks go forward; read with the offset "
        "before the change, CET (UTC+01:00)");
}

} // namespace
} // namespace pelorin
