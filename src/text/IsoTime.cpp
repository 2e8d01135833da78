#include "text/IsoTime.h"

#include <cstdint>
#include <ctime>

namespace pelorin {

namespace {

using namespace std::chrono;

struct Fields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    int millis = 0;
    bool hasZone = false;
    int offsetMinutes = 0; // east of UTC
};

// Reading times is on the hot path of a million-point log: fixed positions,
// no scanning state.

// The value of two digits at text[at], or -1.
int twoDigits(std::string_view text, std::size_t at) noexcept {
    if (text.size() < at + 2)
        return -1;
    const unsigned high = static_cast<unsigned char>(text[at]) - unsigned{'0'};
    const unsigned low = static_cast<unsigned char>(text[at + 1]) - unsigned{'0'};
    return high > 9 || low > 9 ? -1 : static_cast<int>(high * 10 + low);
}

bool inRange(int value, int lo, int hi) noexcept {
    return value >= lo && value <= hi;
}

std::optional<Fields> parseFields(std::string_view text) {
    // YYYY-MM-DDTHH:MM:SS
    // 0123456789012345678
    if (text.size() < 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':')
        return std::nullopt;
    const int century = twoDigits(text, 0), yearOf = twoDigits(text, 2);
    Fields f;
    f.year = century * 100 + yearOf;
    f.month = twoDigits(text, 5);
    f.day = twoDigits(text, 8);
    f.hour = twoDigits(text, 11);
    f.minute = twoDigits(text, 14);
    f.second = twoDigits(text, 17);
    if (century < 0 || yearOf < 0 || !inRange(f.month, 1, 12) || !inRange(f.day, 1, 31) ||
        !inRange(f.hour, 0, 23) || !inRange(f.minute, 0, 59) || !inRange(f.second, 0, 59))
        return std::nullopt;
    if (f.day > 28 && !year_month_day{year{f.year}, month{static_cast<unsigned>(f.month)},
                                      day{static_cast<unsigned>(f.day)}}
                           .ok())
        return std::nullopt;

    std::size_t at = 19;
    const auto isDigit = [&](std::size_t i) { return i < text.size() && text[i] >= '0' && text[i] <= '9'; };
    if (at < text.size() && text[at] == '.') {
        if (!isDigit(++at))
            return std::nullopt;
        for (int scale = 100; isDigit(at); scale /= 10, ++at)
            f.millis += (text[at] - '0') * scale; // scale reaches 0 past the milliseconds
    }

    if (at == text.size())
        return f;
    if (text[at] == 'Z') {
        f.hasZone = true;
        ++at;
    } else if (text[at] == '+' || text[at] == '-') {
        // "+HH:MM" or "+HHMM"
        const int sign = text[at] == '-' ? -1 : 1;
        const int offsetHours = twoDigits(text, at + 1);
        at += 3;
        if (at < text.size() && text[at] == ':')
            ++at;
        const int offsetMins = twoDigits(text, at);
        if (!inRange(offsetHours, 0, 23) || !inRange(offsetMins, 0, 59))
            return std::nullopt;
        at += 2;
        f.hasZone = true;
        f.offsetMinutes = sign * (offsetHours * 60 + offsetMins);
    }
    if (at != text.size())
        return std::nullopt;
    return f;
}

std::optional<sys_seconds> wholeSeconds(const Fields &f, MissingZone missingZone) {
    if (!f.hasZone && missingZone == MissingZone::Local) {
        std::tm tm{};
        tm.tm_year = f.year - 1900;
        tm.tm_mon = f.month - 1;
        tm.tm_mday = f.day;
        tm.tm_hour = f.hour;
        tm.tm_min = f.minute;
        tm.tm_sec = f.second;
        tm.tm_isdst = -1;
        tm.tm_wday = -1; // mktime sets it on success; -1 is also a valid result
        const std::time_t t = std::mktime(&tm);
        if (t == static_cast<std::time_t>(-1) && tm.tm_wday == -1)
            return std::nullopt;
        return sys_seconds{seconds{t}};
    }
    const sys_days date{year_month_day{year{f.year}, month{static_cast<unsigned>(f.month)},
                                       day{static_cast<unsigned>(f.day)}}};
    return date + hours{f.hour} + minutes{f.minute} + seconds{f.second} - minutes{f.offsetMinutes};
}

// Days since 1970-01-01 of a valid proleptic Gregorian date (the civil-from-days
// inversion: years counted from March, so the leap day comes last).
constexpr int daysFromCivil(int y, int m, int d) noexcept {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// Nearly every GPX time reads "2024-05-01T19:30:00Z": checked and computed in
// place, without the general path's fields and calendar types. Anything else,
// including an invalid time of this shape, is left to the general path.
std::optional<sys_seconds> plainUtcTime(std::string_view text) noexcept {
    if (text.size() != 20 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
        text[16] != ':' || text[19] != 'Z')
        return std::nullopt;
    const int century = twoDigits(text, 0), yearOf = twoDigits(text, 2), month = twoDigits(text, 5),
              day = twoDigits(text, 8), hour = twoDigits(text, 11), minute = twoDigits(text, 14),
              second = twoDigits(text, 17);
    if ((century | yearOf | day) < 0 || !inRange(month, 1, 12) || !inRange(hour, 0, 23) ||
        !inRange(minute, 0, 59) || !inRange(second, 0, 59))
        return std::nullopt;
    const int year = century * 100 + yearOf;
    const bool leap = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    constexpr int kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (day < 1 || day > kMonthDays[month - 1] + (month == 2 && leap))
        return std::nullopt;
    const std::int64_t days = daysFromCivil(year, month, day);
    return sys_seconds{seconds{days * 86400 + hour * 3600 + minute * 60 + second}};
}

} // namespace

std::optional<sys_time<milliseconds>> parseIsoDateTime(std::string_view text, MissingZone missingZone) {
    const auto fields = parseFields(text);
    if (!fields)
        return std::nullopt;
    const auto whole = wholeSeconds(*fields, missingZone);
    if (!whole)
        return std::nullopt;
    return *whole + milliseconds{fields->millis};
}

std::optional<IsoWallClock> parseIsoWallClock(std::string_view text) {
    const auto f = parseFields(text);
    if (!f)
        return std::nullopt;
    const local_days date{year_month_day{year{f->year}, month{static_cast<unsigned>(f->month)},
                                         day{static_cast<unsigned>(f->day)}}};
    IsoWallClock wall;
    wall.fields = date + hours{f->hour} + minutes{f->minute} + seconds{f->second} + milliseconds{f->millis};
    if (f->hasZone)
        wall.offset = minutes{f->offsetMinutes};
    return wall;
}

std::optional<sys_seconds> parseGpxTime(std::string_view text) {
    if (const auto plain = plainUtcTime(text))
        return plain;
    const auto fields = parseFields(text);
    if (!fields)
        return std::nullopt;
    return wholeSeconds(*fields, MissingZone::Utc);
}

} // namespace pelorin
