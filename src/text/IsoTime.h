#pragma once

#include <chrono>
#include <optional>
#include <string_view>

namespace pelorin {

enum class MissingZone { Utc, Local };

// Reads "YYYY-MM-DDTHH:MM:SS", an optional fraction, then 'Z', an offset
// ("+HH:MM", "-HH:MM", "+HHMM") which is applied, or nothing (then the fields
// are UTC or the machine's local time, as missingZone says). Fields out of
// range and trailing text give nothing.
std::optional<std::chrono::sys_time<std::chrono::milliseconds>> parseIsoDateTime(std::string_view text,
                                                                                 MissingZone missingZone);

// The same text as written: its wall-clock fields and, when it names one,
// its offset east of UTC; for readers that resolve zone-less times themselves.
struct IsoWallClock {
    std::chrono::local_time<std::chrono::milliseconds> fields;
    std::optional<std::chrono::minutes> offset;
};
std::optional<IsoWallClock> parseIsoWallClock(std::string_view text);

// A GPX `time` text: as above with a missing zone meaning UTC, the fraction
// passed over (whole seconds).
std::optional<std::chrono::sys_seconds> parseGpxTime(std::string_view text);

} // namespace pelorin
