#include "georef/PlacementReport.h"
#include "georef/GeoRef.h"
#include "georef/PlacementSummary.h"
#include "georef/TimeText.h"

#include "TrackFixtures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelorin {
namespace {

using namespace std::chrono_literals;
using test::kStart;
using test::point;

std::string report(std::span<const Recording> recordings, std::span<const Placement> placements,
                   std::span<const std::uint32_t> rows = {}) {
    std::string text;
    writePlacementReport(
        recordings, placements, [&text](std::string_view bytes) { text += bytes; }, rows);
    return text;
}

TEST(PlacementReport, QuotesWhatNeedsItAndLeavesUnknownsEmpty) {
    const std::vector<TrackPoint> track = {point("10", "20", kStart, "100"),
                                           point("11", "22", kStart + 60s, "110")};
    std::vector<Recording> recordings(3);
    recordings[0] = {kStart + 30s + 250ms, "a,\"b\".wav", {"Ppip", "Nnoc"}};
    recordings[0].timeAsGiven = "2024-06-01T12:00:30.25+02:00";
    recordings[1] = {kStart - 90s, "line\nbreak.wav", {}};
    recordings[1].timeSource = StartTimeSource::ModificationTime;
    recordings[1].timeAsGiven = "2024-06-01T11:58:30+02:00";
    recordings[2] = {{}, "none.wav", {"Eser"}};
    recordings[2].timeSource = StartTimeSource::None;
    recordings[2].timeNote = "read as the first, CEST";
    const GeoRefResult result = placeRecordings(recordings, TrackView{track, {}}, 0);

    const std::string header = std::string(kPlacementReportHeader) + "\r\n";
    const std::string placed = "\"a,\"\"b\"\".wav\",Ppip;Nnoc,2024-06-01T12:00:30.25+02:00,catalogue,"
                               "2024-06-01T10:00:30.250Z,interpolated,10.504167,21.008333,105.0,29.750,60,";
    const std::string before = "\"line\nbreak.wav\",,2024-06-01T11:58:30+02:00,modification time,"
                               "2024-06-01T09:58:30Z,before-track,,,,90.000,,,\r\n";
    const std::string untimed = "none.wav,Eser,,,,no-time,,,,,,,\"read as the first, CEST\"\r\n";
    const std::string text = report(recordings, result.placements);
    EXPECT_EQ(text.substr(0, header.size() + placed.size()), header + placed) << text;
    EXPECT_EQ(text.substr(text.size() - before.size() - untimed.size()), before + untimed);

    const std::vector<std::uint32_t> rows = {2, 0};
    EXPECT_EQ(report(recordings, result.placements, rows).substr(header.size(), untimed.size()), untimed);
}

TEST(PlacementSummary, SaysWhatWasNotPlacedAndWhy) {
    const auto with = [](PlacementStatus status, double secondsToFix = 0, double gap = 0) {
        Placement p;
        p.status = status;
        p.secondsToNearestFix = secondsToFix;
        p.gapSeconds = gap;
        return p;
    };
    using enum PlacementStatus;
    const Placement exact = with(Exact), early = with(BeforeTrack, 240), gap = with(InGap, 100, 840);
    const struct {
        std::vector<Placement> placements;
        std::size_t bad;
        std::string text;
    } cases[] = {
        {{exact, exact}, 0, "placed 2 of 2 recordings"},
        {{exact}, 1, "placed 1 of 1 recording, 1 track point with bad coordinates left out"},
        {{exact, early, gap},
         3,
         "placed 1 of 3 recordings: 1 before the track (4 min before the first fix), 1 in a 14 min gap, "
         "3 track points with bad coordinates left out"},
        {{early, with(BeforeTrack, 1200), with(AfterTrack, 30), gap, with(InGap, 5, 7500), with(NoTime)},
         0,
         "placed 0 of 6 recordings: 2 before the track (4 to 20 min before the first fix), 1 after the track "
         "(30 s after the last fix), 2 in gaps of 14 min to 2 h 5 min, 1 without a start time"},
        {{}, 0, "placed 0 of 0 recordings"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(placementSummary(c.placements, c.bad), c.text);

    const Recording r{kStart, "R3.wav", {}};
    EXPECT_EQ(unplacedText(r, early), "R3.wav not placed: 4 min before the first fix");
    EXPECT_EQ(unplacedText(r, with(NoTime)), "R3.wav not placed: no start time");
}

TEST(PlacementSummary, DurationsAsPeopleSayThem) {
    const std::pair<double, std::string> cases[] = {{-3, "0 s"},    {0.4, "0 s"},       {119, "119 s"},
                                                    {120, "2 min"}, {839, "14 min"},    {7169, "119 min"},
                                                    {7170, "2 h"},  {7500, "2 h 5 min"}};
    for (const auto &[seconds, text] : cases)
        EXPECT_EQ(durationText(seconds), text) << seconds;
}

TEST(TimeText, UtcWithMillisecondsOnlyWhenThereAreAny) {
    EXPECT_EQ(utcIsoText(kStart), "2024-06-01T10:00:00Z");
    EXPECT_EQ(utcIsoText(kStart + 5ms), "2024-06-01T10:00:00.005Z");
    EXPECT_EQ(utcIsoText(RecordingTime{} - 1ms), "1969-12-31T23:59:59.999Z");
}

} // namespace
} // namespace pelorin
