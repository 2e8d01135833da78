#include "recordings/RecordingsCsv.h"
#include "ScopedTimeZone.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <optional>

namespace pelorin {
namespace {

using namespace std::chrono;
using namespace std::string_literals;

const std::string header = "filename,recording_time,species\n";
const RecordingTime kJune1At21 = sys_days{2021y / June / 1} + 21h;

// Rows keep the file's order; a time without a zone is the machine's local time.
TEST(RecordingsCsv, ReadsAnyColumnOrderQuotesBomCrlfAndLocalTimes) {
    const test::ScopedTimeZone berlin("CET-1CEST,M3.5.0,M10.5.0/3");
    const RecordingsCsvResult result = parseRecordingsCsv(
        "\xEF\xBB\xBF species ,notes,recording_time,filename\r\n"
        "Ppip; Nnoc;;,x,2021-06-01T21:00:00Z,plain.wav\r\n\r\n"
        ",\"a, \"\"quoted\"\"\nnote\",2021-06-01T21:00:01.5Z,\"a,b \"\"c\"\".wav\"\r\n  \r\n"
        ",,2021-07-01T12:00:00,summer.wav\r\nEser,,\t2021-06-01T21:00:02+00:00 ,last.wav");
    ASSERT_TRUE(result.ok()) << result.errors.front().message;
    const std::vector<Recording> expected{{kJune1At21, "plain.wav", {"Ppip", "Nnoc"}},
                                          {kJune1At21 + 1500ms, "a,b \"c\".wav", {}},
                                          {sys_days{2021y / July / 1} + 10h, "summer.wav", {}},
                                          {kJune1At21 + 2s, "last.wav", {"Eser"}}};
    EXPECT_EQ(result.recordings, expected);
    EXPECT_EQ(std::pair(result.recordings[1].timeAsGiven, result.recordings[1].timeSource), // as written
              std::pair("2021-06-01T21:00:01.5Z"s, StartTimeSource::Catalogue));

    // duration_s is optional; an empty cell is a length not known.
    const RecordingsCsvResult lengths =
        parseRecordingsCsv("filename,recording_time,duration_s,species\n"
                           "a.wav,2021-06-01T21:00:00Z, 12.5 ,\nc.wav,2021-06-01T21:00:00Z,,\n");
    ASSERT_TRUE(lengths.ok()) << lengths.errors.front().message;
    ASSERT_EQ(lengths.recordings.size(), 2u);
    EXPECT_EQ(std::pair(lengths.recordings[0].durationSeconds, lengths.recordings[1].durationSeconds),
              std::pair(std::optional(12.5), std::optional<double>()));
}

TEST(RecordingsCsv, NamesTheLineAndTheFault) {
    const struct {
        std::string text;
        long line;
        std::string message; // a part of the one error expected
    } cases[] = {
        {"filename,species\na.wav,Ppip\n", 1, "missing column \"recording_time\""},
        {header + "a.wav,2021-06-01T21:00:00Z,\rb.wav,x,\r", 3, "\"x\""}, // a lone CR ends a line
        // The record starts on line 4 and its open quote is on line 5, after a quoted line break.
        {header + "\"a\nb.wav\",2021-06-01T21:00:00Z,\n\"c\nd.wav\",2021-06-01T21:00:00Z,\"Ppip\n\n", 5,
         "unterminated quote"},
        {header + "a\xC3(.wav,2021-06-01T21:00:00Z,\n", 2, "not valid UTF-8"},
        {"filename,recording_time,species,duration_s\na.wav,2021-06-01T21:00:00Z,,-3\n", 2,
         "bad duration_s \"-3\": expected a number of seconds"},
        // Cut at 64 bytes, back to where the two-byte character starts.
        {header + "a.wav," + std::string(63, '1') + "\xC3\xA9" + "2,\n", 2,
         "bad recording_time \"" + std::string(63, '1') + "...\": expected"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.message);
        const RecordingsCsvResult result = parseRecordingsCsv(c.text);
        ASSERT_EQ(result.errors.size(), 1u);
        EXPECT_EQ(result.errors[0].line, c.line);
        EXPECT_NE(result.errors[0].message.find(c.message), std::string::npos) << result.errors[0].message;
    }
    // Every bad row is reported; the good ones are kept.
    const RecordingsCsvResult result = parseRecordingsCsv(
        header + "a.wav,nonsense,\r\nb.wav,2021-06-01T21:00:00Z,Ppip\r\n,2021-06-01T21:00:00Z\r\n");
    ASSERT_EQ(result.errors.size(), 2u);
    EXPECT_EQ(std::pair(result.errors[0].line, result.errors[1].line), std::pair(2L, 4L));
    ASSERT_EQ(result.recordings.size(), 1u);
    EXPECT_EQ(result.recordings[0].filename, "b.wav");

    const test::TempFolder folder;
    const RecordingsCsvResult unread = readRecordingsCsv(folder / "missing.csv");
    ASSERT_EQ(unread.errors.size(), 1u);
    EXPECT_EQ(unread.errors[0].message, "\"" + folder / "missing.csv" + "\": no such file");
}

} // namespace
} // namespace pelorin
