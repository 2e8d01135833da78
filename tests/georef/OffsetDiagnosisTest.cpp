#include "georef/OffsetDiagnosis.h"

#include "TrackFixtures.h"

#include <gtest/gtest.h>

#include <vector>

namespace pelorin {
namespace {

using namespace std::chrono_literals;
using test::kStart;

// A walk of 567 s with a fix every 9 s, and 22 recordings filling it from its
// first fix to its last, so exactly one offset fits them all.
struct Night {
    std::vector<TrackPoint> points;
    std::vector<Recording> recordings;
};

constexpr std::int32_t kGiven = 37; // the recorder runs 37 s behind the logger

// The recorder's clock additionally differs by `extra` seconds from what the
// user assumed; `shifted` of the recordings are affected, the rest are right.
Night night(std::int64_t extra, std::size_t shifted = 22) {
    Night n;
    for (int s = 0; s <= 567; s += 9)
        n.points.push_back(test::point("51.0", "7.0", kStart + std::chrono::seconds(s)));
    for (std::size_t i = 0; i < 22; ++i) {
        const auto trueTime = kStart + std::chrono::seconds(27 * static_cast<int>(i));
        const auto recorder = trueTime - std::chrono::seconds(kGiven) -
                              (i < shifted ? std::chrono::seconds(extra) : std::chrono::seconds(0));
        n.recordings.push_back({recorder, "R" + std::to_string(i) + ".wav", {}});
    }
    return n;
}

OffsetDiagnosis diagnose(const Night &n, std::int32_t given = kGiven) {
    return diagnoseOffset(n.recordings, TrackView{n.points, {}}, given);
}

TEST(OffsetDiagnosis, SuggestsTheOffsetPlacingEveryRecording) {
    const std::string zone = ": is the recorder set to another time zone or to summer time?)";
    const struct {
        std::int64_t extra;
        const char *words; // after "none of the 22 recordings meets the track; with --offset "
        bool zoneLike;
    } cases[] = {
        {7200, "7237 all 22 would (your 37 s plus 2 h", true},
        {-3600, "-3563 all 22 would (your 37 s minus 1 h", true},
        {5 * 3600 + 1800, "19837 all 22 would (your 37 s plus 5 h 30 min", true},
        {12 * 3600 + 2700, "45937 all 22 would (your 37 s plus 12 h 45 min", true},
        {1000, "1037 all 22 would (your 37 s plus 1000 s", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.extra);
        const OffsetDiagnosis d = diagnose(night(c.extra));
        EXPECT_EQ(d.recordings, 22u);
        EXPECT_EQ(d.meetingAtGiven, 0u);
        EXPECT_TRUE(d.worthTelling());
        EXPECT_TRUE(d.hasSuggestion());
        EXPECT_EQ(d.suggestedOffset, kGiven + c.extra);
        EXPECT_EQ(d.meetingAtSuggested, 22u);
        EXPECT_EQ(d.zoneLike, c.zoneLike);
        EXPECT_EQ(diagnosisText(d, OffsetWording::CommandOption),
                  "none of the 22 recordings meets the track; with --offset " + std::string(c.words) +
                      (c.zoneLike
                           ? zone
                           : ", not a time zone's whole, half or quarter hour: is the recorder's clock "
                             "set wrong?)"));
    }
}

TEST(OffsetDiagnosis, CountsAndWordsForPartialAndHopelessNights) {
    // 15 of 22 on summer time: fewer than half meet, the hour places them all.
    const OffsetDiagnosis partial = diagnose(night(3600, 15));
    EXPECT_EQ(partial.meetingAtGiven, 7u);
    EXPECT_TRUE(partial.worthTelling());
    EXPECT_EQ(partial.suggestedOffset, kGiven + 3600);
    EXPECT_EQ(partial.meetingAtSuggested, 15u);
    EXPECT_EQ(diagnosisText(partial, OffsetWording::ClockOffsetField),
              "only 7 of the 22 recordings meet the track; with a clock offset of 3637 s 15 of them would "
              "(your 37 s plus 1 h: is the recorder set to another time zone or to summer time?)");

    // 11 of 22 meet: half is enough, nothing to explain.
    EXPECT_FALSE(diagnose(night(3600, 11)).worthTelling());

    // Given 0: the difference is the whole offset.
    Night zero = night(7200);
    const OffsetDiagnosis fromZero = diagnose(zero, 0);
    EXPECT_EQ(fromZero.suggestedOffset, 7237); // 2 h fits none; the 37 s is found as a plain offset
    EXPECT_FALSE(fromZero.zoneLike);
    EXPECT_NE(diagnosisText(fromZero, OffsetWording::CommandOption).find("(that is 7237 s, not a time zone"),
              std::string::npos);

    // Recordings spread over more than the track: the given offset is already the best.
    Night wide = night(0);
    wide.recordings.resize(2);
    wide.recordings.push_back({kStart + 48h, "later.wav", {}});
    wide.recordings.push_back({kStart - 48h, "earlier.wav", {}});
    const OffsetDiagnosis hopeless = diagnose(wide);
    EXPECT_EQ(hopeless.meetingAtGiven, 2u);
    EXPECT_FALSE(hopeless.worthTelling()); // 2 of 4 is half
    wide.recordings.push_back({kStart + 96h, "much-later.wav", {}});
    const OffsetDiagnosis stillHopeless = diagnose(wide);
    EXPECT_TRUE(stillHopeless.worthTelling());
    EXPECT_FALSE(stillHopeless.hasSuggestion());
    EXPECT_EQ(diagnosisText(stillHopeless, OffsetWording::CommandOption),
              "only 2 of the 5 recordings meet the track; no other clock offset would place more: do the "
              "track and the recordings come from the same day?");
}

TEST(OffsetDiagnosis, EdgesOfTheSpanAndEmptyInputs) {
    // The first and the last fix themselves meet the track, a millisecond outside does not.
    std::vector<TrackPoint> points{test::point("51", "7", kStart), test::point("51", "7", std::nullopt),
                                   test::point("51", "7", kStart + 60s)};
    std::vector<Recording> recordings{
        {kStart, "a", {}}, {kStart + 60s, "b", {}}, {kStart + 60s + 1ms, "c", {}}, {kStart - 1ms, "d", {}}};
    EXPECT_EQ(diagnoseOffset(recordings, TrackView{points, {}}, 0).meetingAtGiven, 2u);

    const OffsetDiagnosis noRecordings = diagnoseOffset({}, TrackView{points, {}}, 5);
    EXPECT_EQ(noRecordings.recordings, 0u);
    EXPECT_FALSE(noRecordings.worthTelling());
    const std::vector<TrackPoint> untimed{test::point("51", "7", std::nullopt)};
    const OffsetDiagnosis noTimes = diagnoseOffset(recordings, TrackView{untimed, {}}, 5);
    EXPECT_EQ(noTimes.meetingAtGiven, 0u);
    EXPECT_FALSE(noTimes.hasSuggestion());
    EXPECT_EQ(noTimes.suggestedOffset, 5);
}

TEST(OffsetDiagnosis, DifferenceTexts) {
    const std::pair<std::int64_t, const char *> cases[] = {{-3600, "1 h"}, {2700, "45 min"}, {0, "0 s"}};
    for (const auto &[seconds, text] : cases)
        EXPECT_EQ(offsetDifferenceText(seconds), text) << seconds;
}

} // namespace
} // namespace pelorin
