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

ParsedCommandLine withOffset(std::string_view text) {
    return parse({"--gpx", "t.gpx", "--recordings", "r.csv", "--output", "o.kml", "--offset", text});
}

TEST(CommandLine, OffsetIsAWholeNumberOfSecondsInThe32BitRange) {
    const std::vector<std::pair<std::string_view, std::int32_t>> accepted{{"37", 37},
                                                                          {"-37", -37},
                                                                          {"+37", 37},
                                                                          {"-0", 0},
                                                                          {"2147483647", INT32_MAX},
                                                                          {"-2147483648", INT32_MIN},
                                                                          {"0036", 36}};
    for (const auto &[text, seconds] : accepted) {
        SCOPED_TRACE(text);
        const ParsedCommandLine parsed = withOffset(text);
        ASSERT_EQ(parsed.action, Action::Run) << parsed.error;
        EXPECT_EQ(parsed.options.offsetSeconds, seconds);
    }
    for (std::string_view text : {"", "3.5", "37s", " 37", "1e3", "0x10", "+", "+-3", "--5", "2147483648",
                                  "-2147483649", "99999999999999999999"}) {
        SCOPED_TRACE(std::string("'") + std::string(text) + "'");
        const ParsedCommandLine parsed = withOffset(text);
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
    EXPECT_EQ(o.gpxPath, "a b.gpx");
    EXPECT_EQ(o.recordingsPath, "r.csv");
    EXPECT_EQ(o.outputPath, "-");
    EXPECT_EQ(o.name, "Elbe = river");
    EXPECT_EQ(o.description, "");
    EXPECT_EQ(o.offsetSeconds, -5);
    EXPECT_EQ(o.recorderZone, "Europe/Berlin");
    EXPECT_TRUE(o.tessellate && o.elevation && o.verbose);
    EXPECT_FALSE(o.open);

    const ParsedCommandLine card = parse({"--gpx", "t.gpx", "--recordings-dir=card", "--output", "o.kml"});
    ASSERT_EQ(card.action, Action::Run) << card.error;
    EXPECT_EQ(card.options.recordingsDir, "card");
    EXPECT_EQ(card.options.recordingsPath, "");
    EXPECT_EQ(card.options.offsetSeconds, 0);
    const ParsedCommandLine sync =
        parse({"--gpx", "t.gpx", "--recordings=r.csv", "--output", "o.kml", "--sync=CARD/a.wav=Start = 1"});
    ASSERT_EQ(sync.action, Action::Run) << sync.error;
    EXPECT_EQ(sync.options.syncRecording, "CARD/a.wav");
    EXPECT_EQ(sync.options.syncWaypoint, "Start = 1"); // split at the first =
    EXPECT_FALSE(card.options.tessellate || card.options.elevation || card.options.open ||
                 card.options.verbose);
}

TEST(CommandLine, UsageErrorsNameTheirCause) {
    const std::vector<std::pair<std::vector<std::string_view>, std::string>> cases{
        {{"--recordings", "r.csv", "--output", "o.kml"}, "--gpx"},
        {{"--gpx", "t.gpx", "--output", "o.kml"}, "--recordings"},
        {{"--gpx", "t.gpx", "--recordings", "r.csv"}, "--output"},
        {{}, "--gpx, --output, --recordings (or --recordings-dir)"},
        {{"--gpx", "t.gpx", "--recordings", "r.csv", "--recordings-dir", "card", "--output", "o.kml"},
         "either --recordings or --recordings-dir"},
        {{"--gpx", "t.gpx", "--recordings", "r.csv", "--output", "o.kml", "--frobnicate"}, "--frobnicate"},
        {{"--gpx", "t.gpx", "--recordings", "r.csv", "--output", "o.kml", "extra.gpx"}, "extra.gpx"},
        {{"--gpx", "t.gpx", "--recordings", "r.csv", "--output", "o.kml", "--verbose=yes"}, "--verbose"},
        {{"--gpx", "t.gpx", "--recordings", "r.csv", "--output"}, "--output"},
        {{"--gpx=", "--recordings", "r.csv", "--output", "o.kml"}, "--gpx"},
        {{"--gpx", "a.gpx", "--gpx", "b.gpx", "--recordings", "r.csv", "--output", "o.kml"}, "--gpx"},
        {{"--gpx", "t.gpx", "--recordings", "r.csv", "--output", "-", "--open"}, "--open"},
        {{"--gpx", "t.gpx", "--recordings", "r.csv", "--output", "o.kml", "--sync", "a.wav=S", "--offset",
          "3"},
         "either --offset or --sync"},
        {{"--gpx", "t.gpx", "--recordings", "r.csv", "--output", "o.kml", "--sync", "a.wav"},
         "RECORDING=WAYPOINT"},
        {{"--gpx", "t.gpx", "--recordings", "r.csv", "--output", "o.kml", "--sync", "=Start"},
         "RECORDING=WAYPOINT"},
        {{"--gpx", "t.gpx", "--recordings", "r.csv", "--output", "o.kml", "--recorder-tz="}, "--recorder-tz"},
    };
    for (const auto &[arguments, cause] : cases) {
        SCOPED_TRACE(cause);
        const ParsedCommandLine parsed = parse(arguments);
        EXPECT_EQ(parsed.action, Action::UsageError);
        EXPECT_NE(parsed.error.find(cause), std::string::npos) << parsed.error;
    }
}

TEST(CommandLine, HelpAndVersionWinOverEverythingAfterThem) {
    EXPECT_EQ(parse({"--gpx", "t.gpx", "-h", "--bogus"}).action, Action::Help);
    EXPECT_EQ(parse({"--version"}).action, Action::Version);
    // The help states which way the offset goes.
    EXPECT_NE(usageText().find("--offset 37"), std::string_view::npos);
    EXPECT_NE(usageText().find("37 s behind"), std::string_view::npos);
}

} // namespace
} // namespace pelorin::cli
