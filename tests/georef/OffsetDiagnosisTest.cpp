#include "georef/OffsetDiagnosis.h"

#include "TrackFixtures.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
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
        n.recordings.push_back(
            {recorder, std::to_string(i) + ".wav", {}}); // no prefix: a known false -Wrestrict of GCC 12
    }
    return n;
}

// A one-minute track and recordings whose recorder times are given in
// milliseconds from its first fix, so a fit can fall between whole seconds.
Night minute(std::initializer_list<std::int64_t> recorderMs) {
    Night n;
    n.points = {test::point("51", "7", kStart), test::point("51", "7", kStart + 60s)};
    for (const std::int64_t ms : recorderMs)
        n.recordings.push_back({kStart + std::chrono::milliseconds(ms), "R.wav", {}});
    return n;
}

TEST(OffsetDiagnosis, CountsSuggestionAndWords) {
    constexpr std::int32_t kNearMax = 2147483647 - 800;
    const std::string plain =
        ", not a time zone's whole, half or quarter hour: is the recorder's clock set wrong?)";
    const std::string zone = ": is the recorder set to another time zone or to summer time?)";
    const std::string all22 = "none of the 22 recordings meets the track; with --offset ";
    const std::string sameDay =
        "; no other clock offset would place more: do the track and the recordings come from "
        "the same day?";
    const struct {
        const char *behaviour;
        Night night;
        std::int32_t given;
        std::size_t meetingAtGiven;
        bool worthTelling;
        std::int32_t suggested;
        std::size_t meetingAtSuggested;
        bool zoneLike;
        std::string words; // CommandOption, or ClockOffsetField when it starts "only 7"
    } rows[] = {
        {"two hours off", night(7200), kGiven, 0, true, 7237, 22, true,
         all22 + "7237 all 22 would (your 37 s plus 2 h" + zone},
        {"15 of 22 on summer time: the hour places them", night(3600, 15), kGiven, 7, true, 3637, 15, true,
         "only 7 of the 22 recordings meet the track; with a clock offset of 3637 s 15 of them would (your "
         "37 s "
         "plus 1 h: is the recorder set to another time zone or to summer time?)"},
        {"a fraction of a second rounds the offset up", minute({-999600, -940300}), 0, 0, true, 1000, 2,
         false,
         "none of the 2 recordings meets the track; with --offset 1000 both would (that is 1000 s" + plain},
        // Given + 15 min would place it, but no option holds that offset.
        {"an offset beyond 32 bits is not suggested", minute({-(std::int64_t{kNearMax} + 900) * 1000}),
         kNearMax, 0, true, kNearMax, 0, true, "the one recording does not meet the track" + sameDay},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.behaviour);
        const OffsetDiagnosis d =
            diagnoseOffset(row.night.recordings, TrackView{row.night.points, {}}, row.given);
        EXPECT_EQ(std::tuple(d.recordings, d.meetingAtGiven, d.worthTelling(), d.suggestedOffset,
                             d.meetingAtSuggested, d.zoneLike),
                  std::tuple(row.night.recordings.size(), row.meetingAtGiven, row.worthTelling, row.suggested,
                             row.meetingAtSuggested, row.zoneLike));
        const bool field = row.words.starts_with("only 7");
        EXPECT_EQ(diagnosisText(d, field ? OffsetWording::ClockOffsetField : OffsetWording::CommandOption),
                  row.words);
    }
}

TEST(OffsetDiagnosis, TheSpansEdgesMeetTheTrack) {
    // The first and the last fix themselves meet the track, a millisecond outside does not.
    std::vector<TrackPoint> points{test::point("51", "7", kStart), test::point("51", "7", std::nullopt),
                                   test::point("51", "7", kStart + 60s)};
    std::vector<Recording> recordings{
        {kStart, "a", {}}, {kStart + 60s, "b", {}}, {kStart + 60s + 1ms, "c", {}}, {kStart - 1ms, "d", {}}};
    EXPECT_EQ(diagnoseOffset(recordings, TrackView{points, {}}, 0).meetingAtGiven, 2u);
}

} // namespace
} // namespace pelorin
