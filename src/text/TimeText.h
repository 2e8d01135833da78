#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace pelorin {

// An instant to the millisecond, as recordings' start times are kept.
using MillisecondTime = std::chrono::sys_time<std::chrono::milliseconds>;

// The machine's offset from UTC (TZ honoured) at an instant. It remembers the
// quarter hour it last looked at: zones change their offset on quarter hours
// only, and recordings come seconds apart.
class UtcOffsets {
public:
    std::optional<std::chrono::seconds> at(std::chrono::sys_seconds instant);

private:
    bool known_ = false; // the whole quarter hour [from_, to_) has offset_
    std::chrono::sys_seconds from_{};
    std::chrono::sys_seconds to_{};
    std::chrono::seconds offset_{};
};

// ISO 8601 texts of an instant; milliseconds only when there are any.
// "2025-06-12T19:42:36Z"
void appendUtcText(std::string &out, MillisecondTime instant);
// "2025-06-12T21:42:36+02:00", the machine's zone (TZ honoured); UTC ("Z")
// when the zone cannot be read.
void appendLocalText(std::string &out, MillisecondTime instant, UtcOffsets &offsets);
std::string utcIsoText(MillisecondTime time);
// "21:42:36", the clock of a time of day.
void appendClockText(std::string &out, std::chrono::seconds timeOfDay);
std::string localIsoText(MillisecondTime time);

} // namespace pelorin
