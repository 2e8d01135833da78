#include "recordings/RecordingsCsv.h"
#include "ScopedTimeZone.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>

namespace pelorin {
namespace {

using namespace std::chrono;
using namespace std::string_literals;

RecordingTime utc(int y, unsigned mo, unsigned d, int h, int mi, int s, int ms = 0) {
    return sys_days{year{y} / mo / d} + hours{h} + minutes{mi} + seconds{s} + milliseconds{ms};
}

TEST(RecordingsCsv, ReadsAnyColumnOrderQuotesBomAndCrlf) {
    const std::string text = "\xEF\xBB\xBF species ,notes,recording_time,filename\r\n"
                             "Ppip; Nnoc;;,x,2021-06-01T21:00:00Z,plain.wav\r\n"
                             "\r\n"
                             ",\"a, \"\"quoted\"\"\nnote\",2021-06-01T21:00:01.5Z,\"a,b \"\"c\"\".wav\"\r\n"
                             "  \r\n"
                             "Eser,,2021-06-01T21:00:02+00:00,last.wav";
    const RecordingsCsvResult result = parseRecordingsCsv(text);
    ASSERT_TRUE(result.ok()) << result.errors.front().message;
    const std::vector<Recording> expected{
        {utc(2021, 6, 1, 21, 0, 0), "plain.wav", {"Ppip", "Nnoc"}},
        {utc(2021, 6, 1, 21, 0, 1, 500), "a,b \"c\".wav", {}},
        {utc(2021, 6, 1, 21, 0, 2), "last.wav", {"Eser"}},
    };
    EXPECT_EQ(result.recordings, expected);
}

struct BadCase {
    const char *name;
    std::string text;
    long line;
    const char *message; // a part of the one error expected
};

void PrintTo(const BadCase &c, std::ostream *os) {
    *os << c.name;
}

class RecordingsCsvErrors : public ::testing::TestWithParam<BadCase> {};

TEST_P(RecordingsCsvErrors, NameTheLineAndTheFault) {
    const BadCase &c = GetParam();
    const RecordingsCsvResult result = parseRecordingsCsv(c.text);
    ASSERT_EQ(result.errors.size(), 1u);
    EXPECT_EQ(result.errors[0].line, c.line);
    EXPECT_NE(result.errors[0].message.find(c.message), std::string::npos) << result.errors[0].message;
}

const std::string header = "filename,recording_time,species\n";

INSTANTIATE_TEST_SUITE_P(
    Table, RecordingsCsvErrors,
    ::testing::Values(
        BadCase{"Empty", "", 1, "no header row"}, BadCase{"OnlyBom", "\xEF\xBB\xBF\n", 1, "no header row"},
        BadCase{"MissingColumn", "filename,species\na.wav,Ppip\n", 1, "missing column \"recording_time\""},
        BadCase{"CaseSensitiveName", "Filename,recording_time,species\n", 1, "missing column \"filename\""},
        BadCase{"DuplicateColumn", "filename,recording_time,species,filename\n", 1,
                "\"filename\" appears twice"},
        BadCase{"BadTime", header + "a.wav,2021-06-01T21:00:00Z,\nb.wav,2021-13-01T00:00:00,\n", 3,
                "bad recording_time \"2021-13-01T00:00:00\""},
        BadCase{"EmptyTime", header + "a.wav,,Ppip\n", 2, "empty recording_time"},
        BadCase{"EmptyFilename", header + " ,2021-06-01T21:00:00Z,\n", 2, "empty filename"},
        BadCase{"LoneCrEndsALine", header + "a.wav,2021-06-01T21:00:00Z,\rb.wav,x,\r", 3, "\"x\""},
        BadCase{"TooFewFields", header + "a.wav,2021-06-01T21:00:00Z\n", 2, "expected 3 fields, found 2"},
        BadCase{"TooManyFields", header + "a.wav,2021-06-01T21:00:00Z,,\n", 2, "expected 3 fields, found 4"},
        // The record starts on line 4 and its open quote on line 5, after a quoted line break.
        BadCase{"UnterminatedQuote",
                header + "\"a\nb.wav\",2021-06-01T21:00:00Z,\n\"c\nd.wav\",2021-06-01T21:00:00Z,\"Ppip\n\n",
                4, "unterminated quote at line 5"},
        BadCase{"TextAfterQuote", header + "\"a\"b.wav,2021-06-01T21:00:00Z,\n", 2,
                "after the closing quote"},
        BadCase{"InvalidUtf8", header + "a\xC3(.wav,2021-06-01T21:00:00Z,\n", 2, "not valid UTF-8"},
        BadCase{"NulInFilename", header + "a\0.wav,2021-06-01T21:00:00Z,\n"s, 2, "NUL"}),
    [](const ::testing::TestParamInfo<BadCase> &info) { return std::string(info.param.name); });

TEST(RecordingsCsv, KeepsGoodRowsAndReportsEveryBadOne) {
    const RecordingsCsvResult result = parseRecordingsCsv(header + "a.wav,nonsense,\r\n"
                                                                   "b.wav,2021-06-01T21:00:00Z,Ppip\r\n"
                                                                   ",2021-06-01T21:00:00Z\r\n");
    ASSERT_EQ(result.errors.size(), 2u);
    EXPECT_EQ(result.errors[0].line, 2);
    EXPECT_EQ(result.errors[1].line, 4);
    ASSERT_EQ(result.recordings.size(), 1u);
    EXPECT_EQ(result.recordings[0].filename, "b.wav");
}

TEST(RecordingsCsv, TimeWithoutZoneIsLocalTime) {
    const pelorin::test::ScopedTimeZone berlin("CET-1CEST,M3.5.0,M10.5.0/3");
    const RecordingsCsvResult result = parseRecordingsCsv(header + "summer.wav,2021-07-01T12:00:00,\n"
                                                                   "winter.wav,2021-01-01T12:00:00.250,\n"
                                                                   "z.wav,2021-07-01T12:00:00Z,\n"
                                                                   "east.wav,2021-07-01T12:00:00+02:00,\n"
                                                                   "west.wav,2021-07-01T12:00:00-05:00,\n");
    ASSERT_TRUE(result.ok()) << result.errors.front().message;
    ASSERT_EQ(result.recordings.size(), 5u);
    EXPECT_EQ(result.recordings[0].recordingTime, utc(2021, 7, 1, 10, 0, 0));
    EXPECT_EQ(result.recordings[1].recordingTime, utc(2021, 1, 1, 11, 0, 0, 250));
    EXPECT_EQ(result.recordings[2].recordingTime, utc(2021, 7, 1, 12, 0, 0));
    EXPECT_EQ(result.recordings[3].recordingTime, utc(2021, 7, 1, 10, 0, 0));
    EXPECT_EQ(result.recordings[4].recordingTime, utc(2021, 7, 1, 17, 0, 0));
}

TEST(RecordingsCsv, ReadsAHundredThousandRowsInFileOrder) {
    constexpr int rows = 100'000;
    std::string text = header;
    for (int i = 0; i < rows; ++i) {
        // Times run backwards so file order and time order differ.
        const int s = rows - i;
        text += "rec" + std::to_string(i) + ".wav,2021-06-0" + std::to_string(1 + s / 86400) + "T" +
                std::to_string(10 + s / 3600 % 24 % 10) + ":" + std::to_string(10 + s / 60 % 50) + ":" +
                std::to_string(10 + s % 50) + "Z,Ppip\r\n";
    }
    const RecordingsCsvResult result = parseRecordingsCsv(text);
    ASSERT_TRUE(result.ok()) << result.errors.front().message;
    ASSERT_EQ(result.recordings.size(), static_cast<std::size_t>(rows));
    for (int i : {0, 1, 54'321, rows - 1})
        EXPECT_EQ(result.recordings[i].filename, "rec" + std::to_string(i) + ".wav");
}

TEST(RecordingsCsv, ReadsTenThousandSpecies) {
    std::string species;
    for (int i = 0; i < 10'000; ++i)
        species += (i ? "; S" : "S") + std::to_string(i);
    const RecordingsCsvResult result =
        parseRecordingsCsv(header + "a.wav,2021-06-01T21:00:00Z,\"" + species + "\"\n");
    ASSERT_TRUE(result.ok());
    ASSERT_EQ(result.recordings[0].species.size(), 10'000u);
    EXPECT_EQ(result.recordings[0].species[9'999], "S9999");
}

TEST(RecordingsCsv, WritesWhatItReads) {
    const std::vector<Recording> recordings{
        {utc(2021, 6, 1, 21, 0, 0), "plain.wav", {"Ppip", "Nnoc"}},
        {utc(2021, 6, 1, 21, 0, 1, 5), "a,b \"c\"\nd.wav", {}},
        {utc(1999, 12, 31, 23, 59, 59, 999), " Fledermaus ü.wav", {"Eser"}},
    };
    const std::string text = recordingsCsv(recordings);
    EXPECT_TRUE(
        text.starts_with("filename,recording_time,species\r\nplain.wav,2021-06-01T21:00:00Z,Ppip;Nnoc\r\n"))
        << text;
    EXPECT_NE(text.find(",2021-06-01T21:00:01.005Z,"), std::string::npos) << text;
    const RecordingsCsvResult back = parseRecordingsCsv(text);
    ASSERT_TRUE(back.ok()) << back.errors.front().message;
    EXPECT_EQ(back.recordings, recordings);
}

} // namespace
} // namespace pelorin
