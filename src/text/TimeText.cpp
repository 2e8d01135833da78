#include "text/TimeText.h"

#include <ctime>

namespace pelorin {

namespace {

void appendDigits(std::string &out, long long value, int width) {
    char digits[24];
    int n = 0;
    for (unsigned long long v = static_cast<unsigned long long>(value < 0 ? -value : value); n < width || v;
         v /= 10)
        digits[n++] = static_cast<char>('0' + v % 10);
    while (n > 0)
        out += digits[--n];
}

} // namespace

void appendClockText(std::string &out, std::chrono::seconds timeOfDay) {
    const std::chrono::hh_mm_ss clock{timeOfDay};
    appendDigits(out, clock.hours().count(), 2);
    out += ':';
    appendDigits(out, clock.minutes().count(), 2);
    out += ':';
    appendDigits(out, clock.seconds().count(), 2);
}

namespace {

// "YYYY-MM-DDTHH:MM:SS" of the clock reading, ".mmm" when there are milliseconds.
void appendCivil(std::string &out, MillisecondTime reading) {
    const auto day = std::chrono::floor<std::chrono::days>(reading);
    const std::chrono::year_month_day date{day};
    const std::chrono::hh_mm_ss time{reading - day};
    appendDigits(out, static_cast<int>(date.year()), 4);
    out += '-';
    appendDigits(out, static_cast<unsigned>(date.month()), 2);
    out += '-';
    appendDigits(out, static_cast<unsigned>(date.day()), 2);
    out += 'T';
    appendClockText(out, std::chrono::floor<std::chrono::seconds>(time.to_duration()));
    if (time.subseconds().count() != 0) {
        out += '.';
        appendDigits(out, time.subseconds().count(), 3);
    }
}

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

void appendUtcText(std::string &out, MillisecondTime instant) {
    appendCivil(out, instant);
    out += 'Z';
}

void appendLocalText(std::string &out, MillisecondTime instant, UtcOffsets &offsets) {
    const std::optional<std::chrono::seconds> offset =
        offsets.at(std::chrono::floor<std::chrono::seconds>(instant));
    if (!offset) {
        appendUtcText(out, instant);
        return;
    }
    appendCivil(out, instant + *offset);
    const auto minutes = std::chrono::abs(*offset).count() / 60;
    out += *offset < std::chrono::seconds(0) ? '-' : '+';
    appendDigits(out, minutes / 60, 2);
    out += ':';
    appendDigits(out, minutes % 60, 2);
}

std::string utcIsoText(MillisecondTime time) {
    std::string out;
    appendUtcText(out, time);
    return out;
}

std::string localIsoText(MillisecondTime time) {
    std::string out;
    UtcOffsets offsets;
    appendLocalText(out, time, offsets);
    return out;
}

} // namespace pelorin
