#pragma once

#include "georef/Placement.h"
#include "georef/Recording.h"
#include "georef/TimeText.h"
#include "gpx/TrackPoint.h"
#include "kml/SurveyDocument.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace pelorin {

// The texts every survey format writes the same way.

// "2025-06-12T19:44:36Z", with ".250" when the instant is not a whole second.
void appendUtcText(std::string &out, RecordingTime instant);
// The instant in the machine's time zone (TZ honoured) with its offset: "2025-06-12T21:43:59+02:00".
void appendLocalText(std::string &out, RecordingTime instant, UtcOffsets &offsets);
void appendLocalText(std::string &out, RecordingTime instant);
// At most `decimals` decimals, trailing zeros dropped: 6.25, 12, -0.5.
void appendDecimal(std::string &out, double value, int decimals);

// Appends a GPS log's elevation text as a plain decimal number; false,
// appending nothing, when the text is no number.
bool appendElevation(std::string &out, std::optional<std::string_view> text);
// "Waypoint 2" (counted from 1) unless the point carries a name.
std::string waypointName(const TrackPoint &point, std::size_t number);
// Abbreviations joined with ";", nothing for none.
void appendSpeciesList(std::string &out, const std::vector<std::string> &species);

// The field names every format uses for a recording, in this order.
inline constexpr std::array<std::string_view, 10> kRecordingFieldNames{
    "filename", "species",   "start_time",     "time_source", "corrected_time",
    "status",   "elevation", "seconds_to_fix", "gap_seconds", "uncertainty_m"};

// One recording's field values, formatted into a buffer reused from one
// recording to the next so a hundred thousand of them allocate nothing.
class RecordingFields {
public:
    void fill(const Recording &recording, const Placement &placement);

    std::string_view operator[](std::size_t field) const noexcept {
        return std::string_view(text_).substr(spans_[field].first, spans_[field].second);
    }
    // Fields that are numbers when not empty (JSON writes them unquoted).
    static constexpr bool isNumber(std::size_t field) noexcept { return field >= 6; }
    // Fields this class formats itself (times, status, numbers): plain ASCII
    // that no XML or JSON text needs to escape.
    static constexpr bool isFormatted(std::size_t field) noexcept { return field == 2 || field >= 4; }
    // "File …\nSpecies …\nRecorder time …\nCorrected time …\nPlacement …", for people.
    void appendDescription(std::string &out) const;

private:
    std::string text_;
    UtcOffsets offsets_;
    std::array<std::pair<std::size_t, std::size_t>, kRecordingFieldNames.size()> spans_{};
};

// The recordings that were not placed, one line each ("R3.wav: after-track"),
// after a heading; "" when every recording was placed.
std::string notPlacedText(const SurveyDocument &survey);
// The user's description followed by notPlacedText, a blank line between.
std::string surveyDescription(const SurveyDocument &survey);

} // namespace pelorin
