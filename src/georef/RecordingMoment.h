#pragma once

#include "georef/Recording.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace pelorin {

// Which moment of a recording its pin stands for: a static recorder's file
// lasts minutes, and its start can be a long walk from most of what it heard.
enum class RecordingMoment : std::uint8_t { Start, Middle, End };

// "start", "middle", "end".
std::string_view recordingMomentName(RecordingMoment moment);
std::optional<RecordingMoment> recordingMomentNamed(std::string_view name);

// Milliseconds from the recording's start to the moment; nothing when the
// moment is not the start and the recording's length is unknown.
std::optional<std::int64_t> millisecondsToMoment(const Recording &recording, RecordingMoment moment);

} // namespace pelorin
