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

TEST(CommandLine, ReadsEveryOptionInBothForms) {
    const ParsedCommandLine parsed =
        parse({"--output=-", "--verbose", "--name", "Elbe = river", "--gpx=a b.gpx",
               "--description=", "--elevation", "--recordings", "r.csv", "--tessellate",
               "--offset=-2147483648", "--recorder-tz", "Europe/Berlin"});
    ASSERT_EQ(parsed.action, Action::Run) << parsed.error;
    const CliOptions &o = parsed.options;
    EXPECT_EQ(
        std::tie(o.gpxPaths.at(0), o.recordingsPath, o.outputPath, o.name, o.description, o.recorderZone),
        std::tuple("a b.gpx", "r.csv", "-", "Elbe = river", "", "Europe/Berlin"));
    EXPECT_EQ(std::tuple(o.offsetSeconds, o.tessellate, o.elevation, o.verbose, o.open),
              std::tuple(INT32_MIN, true, true, true, false)); // the offset's whole 32-bit range

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
    EXPECT_EQ(std::tuple(s.maxGapSeconds.value_or(0), s.splitSegments), std::tuple(90.5, true));
}

TEST(CommandLine, UsageErrorsNameTheirCause) {
    // Whole command lines; every required option missing names each.
    const std::vector<std::pair<std::vector<std::string_view>, std::string>> lines{
        {{}, "--gpx, --recordings (or --recordings-dir), --output (or --report)"},
        {{"--gpx", "t.gpx", "--recordings", "r.csv", "--output", "-", "--report", "-"},
         "both be standard output"},
        {{"--gpx", "t.gpx", "--write-guano"}, "--recordings-dir"},
        {{"--gpx", "t.gpx", "--recordings-dir", "c", "--output", "o.kml", "--dry-run"},
         "go with --write-guano"},
    };
    // Added to a complete one.
    const std::vector<std::pair<std::vector<std::string_view>, std::string>> extras{
        {{"--max-gap", "0"}, "--max-gap"}, // not positive
        {{"--offset", "3.5"}, "--offset"}, // seconds are whole
        {{"--offset", "2147483648"}, "--offset"},
        {{"--frobnicate"}, "--frobnicate"},
        {{"--gpx="}, "--gpx needs a file name"}, // given again, it adds a log
        {{"--sync", "a.wav=S", "--offset", "3"}, "either --offset or --sync"},
        {{"--format", "shp"}, "--format needs kml, geojson or gpx, not 'shp'"},
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
    EXPECT_EQ(withBase({}, "o.GeoJSON").options.format, OutputFormat::GeoJson);
    EXPECT_EQ(withBase({"--format=geojson"}, "-").options.format, OutputFormat::GeoJson);
    const CliOptions given = withBase({"--format", "kml", "--kml-style", "survey"}, "o.gpx").options;
    EXPECT_EQ(std::pair(given.format, given.kmlStyle), std::pair(OutputFormat::Kml, KmlStyle::Survey));
}

TEST(CommandLine, HelpAndVersionWinOverEverythingAfterThem) {
    EXPECT_EQ(parse({"--gpx", "t.gpx", "-h", "--bogus"}).action, Action::Help);
    EXPECT_EQ(parse({"--version"}).action, Action::Version);
}

} // namespace
} // namespace pelorin::cli
