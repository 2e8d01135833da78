#include "georef/RecordingMoment.h"

#include <array>
#include <cmath>

namespace pelorin {

namespace {

constexpr std::array<std::string_view, 3> kNames{"start", "middle", "end"};

} // namespace

std::string_view recordingMomentName(RecordingMoment moment) {
    return kNames[static_cast<std::size_t>(moment)];
}

std::optional<RecordingMoment> recordingMomentNamed(std::string_view name) {
    for (std::size_t i = 0; i < kNames.size(); ++i)
        if (kNames[i] == name)
            return static_cast<RecordingMoment>(i);
    return std::nullopt;
}

std::optional<std::int64_t> millisecondsToMoment(const Recording &recording, RecordingMoment moment) {
    if (moment == RecordingMoment::Start)
        return 0;
    if (!recording.durationSeconds)
        return std::nullopt;
    const double share = moment == RecordingMoment::Middle ? 0.5 : 1.0;
    return std::llround(*recording.durationSeconds * share * 1000.0);
}

} // namespace pelorin
