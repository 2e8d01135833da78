#pragma once

#include "georef/Recording.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace pelorin {

// Start times recorders write into comments and file names.

// A start time whose text names its offset from UTC.
struct ZonedStart {
    RecordingTime time;
    std::chrono::minutes offset{};
    std::string text; // as written, "10:25:00 04/04/2020 (UTC)"
};

// AudioMoth's comment, "Recorded at 20:26:15 03/09/2024 (UTC+1) by AudioMoth …":
// hh:mm:ss dd/mm/yyyy and the zone, "(UTC)", "(UTC-5)", "(UTC+5:30)", read up
// to the closing bracket. Nothing when the comment holds no such time.
std::optional<ZonedStart> audioMothCommentTime(std::string_view comment);

// The first YYYYMMDD_HHMMSS in a file name not preceded by a digit
// ("SITE_20240903_202615T.WAV"), as a clock reading in no zone.
struct NameClock {
    std::chrono::local_seconds clock;
    std::string text; // "20240903_202615"
};
std::optional<NameClock> fileNameClock(std::string_view name);

// AudioMoth's oldest names: eight hex digits of Unix time, UTC ("5E885E5C.WAV").
// Only times from 2010 to 2038, so a counter such as "00000042.WAV" is no time.
std::optional<RecordingTime> hexNameTime(std::string_view name);

} // namespace pelorin
