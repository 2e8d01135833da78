#include "georef/TimeText.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace pelorin {

namespace {

// The clock reading of `time` shifted by offsetSeconds, with its milliseconds.
std::string clockText(RecordingTime time, long offsetSeconds) {
    using namespace std::chrono;
    const RecordingTime shifted = time + seconds{offsetSeconds};
    const sys_days day = floor<days>(shifted);
    const year_month_day date{day};
    const hh_mm_ss clock{shifted - day};
    char text[64];
    int length =
        std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d", static_cast<int>(date.year()),
                      static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                      static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                      static_cast<int>(clock.seconds().count()));
    if (const auto millis = clock.subseconds().count(); millis != 0)
        length += std::snprintf(text + length, sizeof text - static_cast<std::size_t>(length), ".%03d",
                                static_cast<int>(millis));
    return std::string(text, static_cast<std::size_t>(length));
}

} // namespace

std::string utcIsoText(RecordingTime time) {
    return clockText(time, 0) + 'Z';
}

std::string localIsoText(RecordingTime time) {
    const auto seconds = std::chrono::floor<std::chrono::seconds>(time);
    const std::time_t t = static_cast<std::time_t>(seconds.time_since_epoch().count());
    std::tm local{};
    const long offset = localtime_r(&t, &local) ? local.tm_gmtoff : 0;
    const long minutes = std::labs(offset) / 60;
    char zone[8];
    std::snprintf(zone, sizeof zone, "%c%02ld:%02ld", offset < 0 ? '-' : '+', minutes / 60 % 100,
                  minutes % 60);
    return clockText(time, offset) + zone;
}

namespace {

std::optional<std::chrono::seconds> offsetAt(std::chrono::sys_seconds instant) {
    const std::time_t time = static_cast<std::time_t>(instant.time_since_epoch().count());
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr)
        return std::nullopt;
    return std::chrono::seconds(local.tm_gmtoff);
}

} // namespace

std::optional<std::chrono::seconds> UtcOffsets::at(std::chrono::sys_seconds instant) {
    if (known_ && instant >= from_ && instant < to_)
        return offset_;
    const std::chrono::sys_seconds from =
        std::chrono::floor<std::chrono::minutes>(instant) -
        std::chrono::minutes(instant.time_since_epoch() / std::chrono::minutes(1) % 15);
    const std::chrono::sys_seconds to = from + std::chrono::minutes(15);
    const std::optional<std::chrono::seconds> first = offsetAt(from);
    known_ = first && first == offsetAt(to - std::chrono::seconds(1));
    if (!known_)
        return offsetAt(instant);
    from_ = from;
    to_ = to;
    offset_ = *first;
    return offset_;
}

} // namespace pelorin
