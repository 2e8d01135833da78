#include "recordings/RecorderZone.h"

#include "ScopedTimeZone.h"
#include "recordings/RecordingsCsv.h"
#include "recordings/WavRecording.h"
#include "recordings/WavWriter.h"

#include <gmock/gmock.h>

#include <cstdio>

namespace pelorin {
namespace {

using namespace std::chrono;
using ::testing::HasSubstr;

struct Case {
    const char *wallClock;
    const char *utc;  // the reading taken
    const char *note; // a part of the note, "" for none
};

// Central Europe, 2025: the clocks go forward on 30 March at 02:00 and back on
// 26 October at 03:00.
const Case kBerlin[] = {
    {"2025-06-12T21:42:36", "2025-06-12 19:42:36", ""},
    {"2025-01-15T12:00:00.250", "2025-01-15 11:00:00.250", ""},
    {"2025-10-26T01:59:59", "2025-10-25 23:59:59", ""},
    {"2025-10-26T02:00:00", "2025-10-26 00:00:00", "2025-10-26 02:00:00 occurs twice in "},
    {"2025-10-26T02:30:00", "2025-10-26 00:30:00",
     "as the clocks go back; read as the first, CEST (UTC+02:00)"},
    {"2025-10-26T03:00:00", "2025-10-26 02:00:00", ""},
    {"2025-03-30T01:59:59", "2025-03-30 00:59:59", ""},
    {"2025-03-30T02:30:00", "2025-03-30 01:30:00", "2025-03-30 02:30:00 does not exist in "},
    {"2025-03-30T02:59:59", "2025-03-30 01:59:59",
     "as the clocks go forward; read with the offset before the change, CET (UTC+01:00)"},
    {"2025-03-30T03:00:00", "2025-03-30 01:00:00", ""},
    {"2025-10-26T02:30:00Z", "2025-10-26 02:30:00", ""}, // a zone of its own needs no reading
};

std::string utcText(RecordingTime time) {
    const sys_days day = floor<days>(time);
    const year_month_day date{day};
    const hh_mm_ss clock{time - day};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                  static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    std::string result = text;
    if (const auto millis = clock.subseconds().count())
        result += "." + std::to_string(millis);
    return result;
}

void expectReadings(RecorderZoneChoice &zone, const std::string &zoneName) {
    for (const Case &c : kBerlin) {
        SCOPED_TRACE(std::string(c.wallClock) + " in " + zoneName);
        const auto reading = zone.readIso(c.wallClock);
        ASSERT_TRUE(reading);
        EXPECT_EQ(utcText(reading->time), c.utc);
        if (*c.note == '\0') {
            EXPECT_EQ(reading->note, "");
        } else {
            EXPECT_THAT(reading->note, HasSubstr(c.note));
            EXPECT_THAT(reading->note, HasSubstr(zoneName));
        }
    }
}

TEST(RecorderZone, RepeatedAndSkippedHoursAreNamedWithTheReadingTaken) {
    // The same readings from the machine's zone as a POSIX rule (the C
    // library's reading), as a database name, and from a zone given by name.
    {
        const test::ScopedTimeZone rule("CET-1CEST,M3.5.0,M10.5.0/3");
        RecorderZoneChoice machine;
        expectReadings(machine, "CET-1CEST,M3.5.0,M10.5.0/3");
    }
    {
        const test::ScopedTimeZone berlin(":Europe/Berlin");
        RecorderZoneChoice machine;
        expectReadings(machine, "Europe/Berlin");
    }
    const test::ScopedTimeZone elsewhere("America/New_York"); // the machine's zone does not matter
    const std::optional<RecorderZone> berlin = RecorderZone::named("Europe/Berlin");
    ASSERT_TRUE(berlin);
    RecorderZoneChoice given(&*berlin);
    expectReadings(given, "Europe/Berlin");

    EXPECT_FALSE(RecorderZone::named("Europe/Atlantis"));
    EXPECT_FALSE(RecorderZone::named(""));
    EXPECT_FALSE(given.readIso("2025-13-01T00:00:00"));
}

TEST(RecorderZone, CatalogueAndWavMetadataCarryTheNotes) {
    const std::optional<RecorderZone> berlin = RecorderZone::named("Europe/Berlin");
    ASSERT_TRUE(berlin);
    const RecordingsCsvResult csv = parseRecordingsCsv("filename,recording_time,species\n"
                                                       "a.wav,2025-10-26T02:30:00,\n"
                                                       "b.wav,2025-10-26T03:30:00,\n",
                                                       &*berlin);
    ASSERT_TRUE(csv.ok());
    EXPECT_THAT(csv.recordings[0].timeNote, HasSubstr("occurs twice in Europe/Berlin"));
    EXPECT_EQ(csv.recordings[1].timeNote, "");

    using test::WavWriter;
    const RecordingTime mtime = sys_days{2025y / June / 1};
    const struct {
        std::string name, bytes;
        std::vector<std::string> notes; // parts of the note; none: no note
    } cases[] = {
        {"x.wav", WavWriter().fmt().guano("Timestamp: 2025-06-12T21:42:36\n").audio(10).bytes(), {}},
        {"SURVEY_20250330_023000.wav",
         WavWriter().fmt().guano("Timestamp: 12.06.2025 21:42\n").audio(10).bytes(),
         {"the GUANO Timestamp \"12.06.2025 21:42\" could not be read; the start time is from the file name",
          "; 2025-03-30 02:30:00 does not exist in Europe/Berlin"}},
        {"plain.wav",
         WavWriter().fmt().guano("Timestamp: soon\n").audio(10).bytes(),
         {"could not be read; the start time is from the modification time"}},
        {"y.wav", WavWriter().fmt().bext("2025-10-26", "02:15:00").bytes(), {"02:15:00 occurs twice"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const WavResult wav = parseWavMetadata(c.bytes, c.name, mtime, &*berlin);
        ASSERT_TRUE(wav.value) << wav.error;
        if (c.notes.empty()) {
            EXPECT_EQ(wav.value->recording.timeNote, "");
        }
        for (const std::string &note : c.notes)
            EXPECT_THAT(wav.value->recording.timeNote, HasSubstr(note));
    }
}

} // namespace
} // namespace pelorin
