#pragma once

#include "georef/Recording.h"
#include "gpx/TrackView.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace pelorin {

// What clock offset would make a night's recordings meet its track.
//
// A recording "meets the track" at an offset when its corrected time lies
// within the track's time span, from the first to the last timed fix
// inclusive: what the pass places with its default options. A maximum gap and
// split segments are not considered, so a recording the pass leaves in a gap
// still counts; the question here is which clock the recorder kept, not where
// the logger paused.
struct OffsetDiagnosis {
    std::size_t recordings = 0;       // all of them
    std::int32_t givenOffset = 0;     // seconds
    std::size_t meetingAtGiven = 0;   // recordings meeting the track at the given offset
    std::int32_t suggestedOffset = 0; // the offset meeting the most, nearest the given one
    std::size_t meetingAtSuggested = 0;
    // The suggestion differs from the given offset by whole quarter hours, as
    // a time zone or summer time would; otherwise it is a plain seconds offset
    // that meets more recordings than any such difference.
    bool zoneLike = true;

    // Fewer than half of the recordings meet the track: worth explaining.
    bool worthTelling() const { return meetingAtGiven * 2 < recordings; }
    // Another offset meets more recordings than the given one.
    bool hasSuggestion() const { return meetingAtSuggested > meetingAtGiven; }
};

// Searches the given offset plus every whole, half and quarter hour up to
// ±14 h, and the plain seconds offset that fits the most recordings into the
// track's span. Costs a sort of the recordings' times, one binary search per
// candidate and one walk over the sorted times; the track is read once for
// its first and last timed fix.
OffsetDiagnosis diagnoseOffset(std::span<const Recording> recordings, TrackView track,
                               std::int32_t givenOffset);

// How the words name an offset: the command's option or the panel's field.
enum class OffsetWording { CommandOption, ClockOffsetField };

// The diagnosis in words, one sentence without a program name, e.g. "none of
// the 22 recordings meets the track; with --offset 7237 all 22 would (your
// 37 s plus 2 h: is the recorder set to another time zone or to summer time?)".
std::string diagnosisText(const OffsetDiagnosis &diagnosis, OffsetWording wording);

// A signed difference in hours and minutes or seconds: "2 h", "5 h 30 min",
// "45 min", "1000 s"; no sign.
std::string offsetDifferenceText(std::int64_t seconds);

} // namespace pelorin
