#include "cli/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelorin::cli {
namespace {

using Action = ParsedCommandLine::Action;

ParsedCommandLine parse(std::vector<std::string_view> arguments) {
    return parseCommandLine(arguments);
}

// A complete command line with extra after it.
ParsedCommandLine withBase(std::vector<std::string_view> extra, std::string_view output = "o.kml") {
    std::vector<std::string_view> arguments{"--gpx", "t.gpx", "--recordings", "r.csv", "--output", output};
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return parse(arguments);
}

TEST(CommandLine, OffsetIsAWholeNumberOfSecondsInThe32BitRange) {
    const std::pair<std::string_view, std::int32_t> accepted[] = {{"37", 37},
                                                                  {"-37", -37},
                                                                  {"+37", 37},
                                                                  {"-0", 0},
                                                                  {"2147483647", INT32_MAX},
                                                                  {"-2147483648", INT32_MIN},
                                                                  {"0036", 36}};
    for (const auto &[text, seconds] : accepted) {
        SCOPED_TRACE(text);
        const ParsedCommandLine parsed = withBase({"--offset", text});
        ASSERT_EQ(parsed.action, Action::Run) << parsed.error;
        EXPECT_EQ(parsed.options.offsetSeconds, seconds);
    }
    // Empty, a fraction, a leading blank, a sign alone or doubled, one past either end.
    for (std::string_view text : {"", "3.5", " 37", "+", "--5", "2147483648", "-2147483649"}) {
        // Not "'" + std::string(text) + "'": GCC 12 at -O3 raises a known false -Wrestrict on it.
        SCOPED_TRACE(::testing::PrintToString(text));
        const ParsedCommandLine parsed = withBase({"--offset", text});
        EXPECT_EQ(parsed.action, Action::UsageError);
        EXPECT_NE(parsed.error.find("--offset"), std::string::npos) << parsed.error;
    }
}

TEST(CommandLine, ReadsEveryOptionInBothForms) {
    const ParsedCommandLine parsed =
        parse({"--output=-", "--verbose", "--name", "Elbe = river", "--gpx=a b.gpx",
               "--description=", "--elevation", "--recordings", "r.csv", "--tessellate", "--offset=-5",
               "--recorder-tz", "Europe/Berlin"});
    ASSERT_EQ(parsed.action, Action::Run) << parsed.error;
    const CliOptions &o = parsed.options;
    EXPECT_EQ(
        std::tie(o.gpxPaths.at(0), o.recordingsPath, o.outputPath, o.name, o.description, o.recorderZone),
        std::tuple("a b.gpx", "r.csv", "-", "Elbe = river", "", "Europe/Berlin"));
    EXPECT_EQ(std::tuple(o.offsetSeconds, o.tessellate, o.elevation, o.verbose, o.open),
              std::tuple(-5, true, true, true, false));

    const ParsedCommandLine sync =
        parse({"--gpx", "t.gpx", "--gpx=logs", "--recordings-dir=card", "--report", "-", "--max-gap=90.5",
               "--split-segments", "--sync=CARD/a.wav=Start = 1", "--at", "middle", "--sync",
               "2025-05-01T08:00:00=2025-05-01T08:00:40Z"});
    ASSERT_EQ(sync.action, Action::Run) << sync.error;
    const CliOptions &s = sync.options;
    EXPECT_EQ(s.gpxPaths, (std::vector<std::string>{"t.gpx", "logs"})); // --gpx may repeat
    EXPECT_EQ(std::tie(s.recordingsDir, s.reportPath, s.outputPath), std::tuple("card", "-", ""));
    // Each split at its first =, in the order given.
    const std::vector<std::pair<std::string, std::string>> syncs{
        {"CARD/a.wav", "Start = 1"}, {"2025-05-01T08:00:00", "2025-05-01T08:00:40Z"}};
    EXPECT_EQ(s.syncs, syncs);
    EXPECT_EQ(s.at, pelorin::RecordingMoment::Middle);
    EXPECT_EQ(std::tuple(s.maxGapSeconds.value_or(0), s.splitSegments, s.offsetSeconds, s.tessellate,
                         s.elevation, s.verbose),
              std::tuple(90.5, true, 0, false, false, false));
}

TEST(CommandLine, UsageErrorsNameTheirCause) {
    // Whole command lines; every required option missing names each.
    const std::vector<std::pair<std::vector<std::string_view>, std::string>> lines{
        {{}, "--gpx, --recordings (or --recordings-dir), --output (or --report)"},
        {{"--gpx", "t.gpx", "--recordings", "r.csv", "--report", "r.csv", "--open"}, "--open"},
        {{"--gpx", "t.gpx", "--recordings", "r.csv", "--output"}, "--output"},
        {{"--gpx", "t.gpx", "--recordings", "r.csv", "--output", "-", "--report", "-"},
         "both be standard output"},
        {{"--gpx", "t.gpx", "--recordings", "r.csv", "--output", "-", "--open"}, "--open"},
        {{"--gpx", "t.gpx", "--recordings", "r.csv", "--write-guano"}, "--write-guano"},
        {{"--gpx", "t.gpx", "--recordings-dir", "c", "--write-guano", "--output", "o.kml"}, "--write-guano"},
        {{"--gpx", "t.gpx", "--write-guano"}, "--recordings-dir"},
        {{"--gpx", "t.gpx", "--recordings-dir", "c", "--output", "o.kml", "--dry-run"},
         "go with --write-guano"},
        {{"--gpx", "t.gpx", "--recordings-dir", "c", "--output", "o.kml", "--overwrite-positions"},
         "go with --write-guano"},
    };
    // Added to a complete one.
    const std::vector<std::pair<std::vector<std::string_view>, std::string>> extras{
        {{"--max-gap", "0"}, "--max-gap"},     // not positive
        {{"--max-gap", "15min"}, "--max-gap"}, // not all a number
        {{"--recordings-dir", "card"}, "either --recordings or --recordings-dir"},
        {{"--frobnicate"}, "--frobnicate"},
        {{"extra.gpx"}, "extra.gpx"},
        {{"--verbose=yes"}, "--verbose"},
        {{"--gpx="}, "--gpx needs a file name"}, // given again, it adds a log
        {{"--sync", "a.wav=S", "--offset", "3"}, "either --offset or --sync"},
        {{"--sync", "a.wav"}, "RECORDING=WAYPOINT or RECORDER_TIME=GPS_TIME, not 'a.wav'"},
        {{"--at", "centre"}, "--at needs start, middle or end, not 'centre'"},
        {{"--at", "end", "--at", "start"}, "--at is given more than once"},
        {{"--recorder-tz="}, "--recorder-tz"},
        {{"--format", "shp"}, "--format needs kml, geojson or gpx, not 'shp'"},
        {{"--kml-style", "fancy"}, "--kml-style needs plain or survey, not 'fancy'"},
        {{"--kml-style", "survey", "--format", "gpx"}, "--kml-style applies to KML output only"},
    };
    const auto check = [](const ParsedCommandLine &parsed, const std::string &cause) {
        SCOPED_TRACE(cause);
        EXPECT_EQ(parsed.action, Action::UsageError);
        EXPECT_NE(parsed.error.find(cause), std::string::npos) << parsed.error;
    };
    for (const auto &[arguments, cause] : lines)
        check(parse(arguments), cause);
    for (const auto &[extra, cause] : extras)
        check(withBase(extra), cause);
}

TEST(CommandLine, TheFormatFollowsTheOutputUnlessGiven) {
    struct Case {
        std::string_view output;
        std::vector<std::string_view> extra;
        OutputFormat format;
        KmlStyle style;
    };
    const Case cases[] = {
        {"o.kml", {}, OutputFormat::Kml, KmlStyle::Plain},
        {"dir.v2/o", {}, OutputFormat::Kml, KmlStyle::Plain},
        {"o.GeoJSON", {}, OutputFormat::GeoJson, KmlStyle::Plain},
        {"o.json", {}, OutputFormat::GeoJson, KmlStyle::Plain},
        {"o.gpx", {}, OutputFormat::Gpx, KmlStyle::Plain},
        {"o.kml", {"--kml-style", "survey"}, OutputFormat::Kml, KmlStyle::Survey},
        {"o.kml", {"--format", "gpx"}, OutputFormat::Gpx, KmlStyle::Plain},
        {"-", {"--format=geojson"}, OutputFormat::GeoJson, KmlStyle::Plain},
        {"o.gpx", {"--format", "kml", "--kml-style", "survey"}, OutputFormat::Kml, KmlStyle::Survey},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.output) + (c.extra.empty() ? "" : " " + std::string(c.extra.front())));
        const ParsedCommandLine parsed = withBase(c.extra, c.output);
        ASSERT_EQ(parsed.action, Action::Run) << parsed.error;
        EXPECT_EQ(parsed.options.format, c.format);
        EXPECT_EQ(parsed.options.kmlStyle, c.style);
    }
}

TEST(CommandLine, HelpAndVersionWinOverEverythingAfterThem) {
    EXPECT_EQ(parse({"--gpx", "t.gpx", "-h", "--bogus"}).action, Action::Help);
    EXPECT_EQ(parse({"--version"}).action, Action::Version);
}

} // namespace
} // namespace pelorin::cli
