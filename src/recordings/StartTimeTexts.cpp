#include "recordings/StartTimeTexts.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace pelorin {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number of `width` digits at `at`, when they are all digits.
std::optional<int> digitsAt(std::string_view text, std::size_t at, std::size_t width) {
    if (at > text.size() || text.size() - at < width)
        return std::nullopt;
    int value = 0;
    for (std::size_t i = at; i < at + width; ++i) {
        if (!isDigit(text[i]))
            return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

std::optional<std::chrono::local_seconds> civil(int year, int month, int day, int hour, int minute,
                                                int second) {
    using namespace std::chrono;
    const year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                              std::chrono::day{static_cast<unsigned>(day)}};
    if (!date.ok() || hour > 23 || minute > 59 || second > 59)
        return std::nullopt;
    return local_days{date} + hours{hour} + minutes{minute} + seconds{second};
}

// "UTC", "UTC+1", "UTC-5", "UTC+5:30", "UTC-0:30": minutes east of UTC.
std::optional<std::chrono::minutes> utcOffset(std::string_view zone) {
    if (!zone.starts_with("UTC"))
        return std::nullopt;
    zone.remove_prefix(3);
    if (zone.empty())
        return std::chrono::minutes{0};
    const int sign = zone.front() == '-' ? -1 : zone.front() == '+' ? 1 : 0;
    zone.remove_prefix(1);
    const std::size_t colon = zone.find(':');
    const std::string_view hours = zone.substr(0, colon);
    if (sign == 0 || hours.empty() || hours.size() > 2)
        return std::nullopt;
    const std::optional<int> h = digitsAt(hours, 0, hours.size());
    std::optional<int> m = 0;
    if (colon != std::string_view::npos)
        m = zone.size() == colon + 3 ? digitsAt(zone, colon + 1, 2) : std::nullopt;
    if (!h || !m || *h > 14 || *m > 59)
        return std::nullopt;
    return std::chrono::minutes{sign * (*h * 60 + *m)};
}

} // namespace

std::optional<ZonedStart> audioMothCommentTime(std::string_view comment) {
    constexpr std::string_view kLead = "Recorded at ";
    const std::size_t lead = comment.find(kLead);
    if (lead == std::string_view::npos)
        return std::nullopt;
    const std::string_view text = comment.substr(lead + kLead.size());
    // hh:mm:ss dd/mm/yyyy (
    if (text.size() < 21 || text[2] != ':' || text[5] != ':' || text[8] != ' ' || text[11] != '/' ||
        text[14] != '/' || text[19] != ' ' || text[20] != '(')
        return std::nullopt;
    const std::size_t close = text.find(')', 21);
    if (close == std::string_view::npos)
        return std::nullopt;
    const auto hour = digitsAt(text, 0, 2), minute = digitsAt(text, 3, 2), second = digitsAt(text, 6, 2);
    const auto day = digitsAt(text, 9, 2), month = digitsAt(text, 12, 2), year = digitsAt(text, 15, 4);
    const auto offset = utcOffset(text.substr(21, close - 21));
    if (!hour || !minute || !second || !day || !month || !year || !offset)
        return std::nullopt;
    const auto clock = civil(*year, *month, *day, *hour, *minute, *second);
    if (!clock)
        return std::nullopt;
    return ZonedStart{RecordingTime(clock->time_since_epoch() - *offset), *offset,
                      std::string(text.substr(0, close + 1))};
}

std::optional<NameClock> fileNameClock(std::string_view name) {
    for (std::size_t i = 0; i + 15 <= name.size(); ++i) {
        if (name[i + 8] != '_' || (i > 0 && isDigit(name[i - 1])))
            continue;
        const auto year = digitsAt(name, i, 4), month = digitsAt(name, i + 4, 2),
                   day = digitsAt(name, i + 6, 2);
        const auto hour = digitsAt(name, i + 9, 2), minute = digitsAt(name, i + 11, 2),
                   second = digitsAt(name, i + 13, 2);
        if (!year || !month || !day || !hour || !minute || !second)
            continue;
        if (const auto clock = civil(*year, *month, *day, *hour, *minute, *second))
            return NameClock{*clock, std::string(name.substr(i, 15))};
    }
    return std::nullopt;
}

std::optional<RecordingTime> hexNameTime(std::string_view name) {
    if (name.size() != 12)
        return std::nullopt;
    std::string extension(name.substr(8));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension != ".wav")
        return std::nullopt;
    std::uint32_t seconds = 0;
    for (const char c : name.substr(0, 8)) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
        const int digit = isDigit(c) ? c - '0' : std::tolower(static_cast<unsigned char>(c)) - 'a' + 10;
        seconds = seconds << 4 | static_cast<std::uint32_t>(digit);
    }
    constexpr std::uint32_t k2010 = 1262304000, k2039 = 2177452800;
    if (seconds < k2010 || seconds >= k2039)
        return std::nullopt;
    return RecordingTime(std::chrono::seconds{seconds});
}

} // namespace pelorin
