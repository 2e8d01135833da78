#include "gpx/IsoTime.h"

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

class Cursor {
public:
    explicit Cursor(std::string_view text)
        : text_(text) {}

    bool atEnd() const noexcept { return pos_ == text_.size(); }
    bool peek(char c) const noexcept { return pos_ < text_.size() && text_[pos_] == c; }
    bool peekDigit() const noexcept { return pos_ < text_.size() && isDigit(text_[pos_]); }
    bool take(char c) noexcept {
        if (!peek(c))
            return false;
        ++pos_;
        return true;
    }
    // Exactly `count` digits whose value lies in [lo, hi].
    bool number(int count, int lo, int hi, int &out) noexcept {
        if (text_.size() - pos_ < static_cast<std::size_t>(count))
            return false;
        int value = 0;
        for (int i = 0; i < count; ++i) {
            const char c = text_[pos_ + i];
            if (!isDigit(c))
                return false;
            value = value * 10 + (c - '0');
        }
        if (value < lo || value > hi)
            return false;
        pos_ += count;
        out = value;
        return true;
    }
    char next() noexcept { return text_[pos_++]; }

private:
    static bool isDigit(char c) noexcept { return c >= '0' && c <= '9'; }
    std::string_view text_;
    std::size_t pos_ = 0;
};

std::optional<Fields> parseFields(std::string_view text) {
    Fields f;
    Cursor in(text);
    if (!in.number(4, 0, 9999, f.year) || !in.take('-') || !in.number(2, 1, 12, f.month) || !in.take('-') ||
        !in.number(2, 1, 31, f.day) || !in.take('T') || !in.number(2, 0, 23, f.hour) || !in.take(':') ||
        !in.number(2, 0, 59, f.minute) || !in.take(':') || !in.number(2, 0, 59, f.second))
        return std::nullopt;
    if (!year_month_day{year{f.year}, month{static_cast<unsigned>(f.month)},
                        day{static_cast<unsigned>(f.day)}}
             .ok())
        return std::nullopt;

    if (in.take('.')) {
        if (!in.peekDigit())
            return std::nullopt;
        for (int scale = 100; in.peekDigit(); scale /= 10) {
            const int digit = in.next() - '0';
            f.millis += digit * scale; // scale reaches 0 past the milliseconds
        }
    }

    if (in.take('Z')) {
        f.hasZone = true;
    } else if (in.peek('+') || in.peek('-')) {
        const int sign = in.next() == '-' ? -1 : 1;
        int hours = 0, minutes = 0;
        if (!in.number(2, 0, 23, hours))
            return std::nullopt;
        in.take(':'); // "+HH:MM" and "+HHMM"
        if (!in.number(2, 0, 59, minutes))
            return std::nullopt;
        f.hasZone = true;
        f.offsetMinutes = sign * (hours * 60 + minutes);
    }
    if (!in.atEnd())
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

std::optional<sys_seconds> parseGpxTime(std::string_view text) {
    const auto fields = parseFields(text);
    if (!fields)
        return std::nullopt;
    return wholeSeconds(*fields, MissingZone::Utc);
}

} // namespace pelorin
