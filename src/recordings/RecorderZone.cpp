#include "recordings/RecorderZone.h"

#include "text/IsoTime.h"

#include <date/tz.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <stdexcept>
#include <variant>

namespace pelorin {

struct RecorderZone::Impl {
    std::string name;
    // A TZ the database does not name (a POSIX rule such as
    // "CET-1CEST,M3.5.0,M10.5.0/3") is left to the C library, which reads it.
    struct CLibrary {};
    // No zone: UTC.
    std::variant<std::monostate, const date::time_zone *, CLibrary> zone;
};

namespace {

using namespace std::chrono;

// The C library's readings of a wall-clock time, as standard and as summer
// time; each counts when it reads back to the same wall clock.
date::local_info cLibraryInfo(date::local_seconds wall) {
    const date::local_days day = date::floor<date::days>(wall);
    const date::year_month_day ymd{day};
    const date::hh_mm_ss<seconds> clock{wall - day};
    std::optional<date::sys_info> readings[2];
    for (int dst = 0; dst < 2; ++dst) {
        std::tm tm{};
        tm.tm_year = static_cast<int>(ymd.year()) - 1900;
        tm.tm_mon = static_cast<int>(static_cast<unsigned>(ymd.month())) - 1;
        tm.tm_mday = static_cast<int>(static_cast<unsigned>(ymd.day()));
        tm.tm_hour = static_cast<int>(clock.hours().count());
        tm.tm_min = static_cast<int>(clock.minutes().count());
        tm.tm_sec = static_cast<int>(clock.seconds().count());
        tm.tm_isdst = dst;
        const std::tm asked = tm;
        const std::time_t t = std::mktime(&tm);
        std::tm back{};
        if (t == static_cast<std::time_t>(-1) || !localtime_r(&t, &back))
            continue;
        if (back.tm_year != asked.tm_year || back.tm_mon != asked.tm_mon || back.tm_mday != asked.tm_mday ||
            back.tm_hour != asked.tm_hour || back.tm_min != asked.tm_min || back.tm_sec != asked.tm_sec)
            continue;
        date::sys_info info{};
        info.offset = seconds{back.tm_gmtoff};
        info.abbrev = back.tm_zone ? back.tm_zone : "";
        readings[dst] = info;
    }
    date::local_info result{};
    if (readings[0] && readings[1] && readings[0]->offset != readings[1]->offset) {
        // Repeated: the larger offset was in force first.
        const bool summerFirst = readings[1]->offset > readings[0]->offset;
        result.result = date::local_info::ambiguous;
        result.first = summerFirst ? *readings[1] : *readings[0];
        result.second = summerFirst ? *readings[0] : *readings[1];
    } else if (readings[0] || readings[1]) {
        result.result = date::local_info::unique;
        result.first = readings[0] ? *readings[0] : *readings[1];
    } else {
        result.result = date::local_info::nonexistent;
        // The clock sprang forward past this time: the offset before is the smaller.
        std::tm probe{};
        const std::time_t before = (wall - seconds{86400}).time_since_epoch().count();
        localtime_r(&before, &probe);
        result.first.offset = seconds{probe.tm_gmtoff};
        result.first.abbrev = probe.tm_zone ? probe.tm_zone : "";
    }
    return result;
}

date::local_info infoAt(const RecorderZone::Impl &impl, date::local_seconds wall) {
    if (const auto *iana = std::get_if<const date::time_zone *>(&impl.zone))
        return (*iana)->get_info(wall);
    if (std::holds_alternative<RecorderZone::Impl::CLibrary>(impl.zone))
        return cLibraryInfo(wall);
    date::local_info utc{};
    utc.result = date::local_info::unique;
    utc.first.offset = seconds{0};
    return utc;
}

const date::time_zone *locate(std::string_view name) {
    try {
        return date::locate_zone(name);
    } catch (const std::exception &) {
        return nullptr;
    }
}

std::string offsetText(seconds offset) {
    const long total = static_cast<long>(offset.count());
    const long magnitude = std::labs(total);
    char text[48];
    std::snprintf(text, sizeof text, "UTC%c%02ld:%02ld", total < 0 ? '-' : '+', magnitude / 3600,
                  magnitude % 3600 / 60);
    return text;
}

std::string periodText(const date::sys_info &period) {
    return period.abbrev.empty() || period.abbrev.front() == '+' || period.abbrev.front() == '-'
               ? offsetText(period.offset)
               : period.abbrev + " (" + offsetText(period.offset) + ")";
}

std::string noteFor(const date::local_info &info, date::local_seconds wall, const std::string &zoneName) {
    const std::string when = date::format("%Y-%m-%d %H:%M:%S", wall);
    if (info.result == date::local_info::ambiguous)
        return when + " occurs twice in " + zoneName + ", as the clocks go back; read as the first, " +
               periodText(info.first);
    return when + " does not exist in " + zoneName +
           ", as the clocks go forward; read with the offset before the change, " + periodText(info.first);
}

} // namespace

RecorderZone RecorderZone::machine() {
    auto impl = std::make_shared<Impl>();
    const char *tz = std::getenv("TZ");
    if (!tz) {
        try {
            const date::time_zone *current = date::current_zone();
            impl->name = current->name();
            impl->zone = current;
        } catch (const std::exception &) {
            impl->name = "UTC";
        }
        return RecorderZone(std::move(impl));
    }
    std::string_view value = tz;
    if (value.starts_with(':'))
        value.remove_prefix(1);
    impl->name = value.empty() ? "UTC" : std::string(value);
    if (value.empty())
        return RecorderZone(std::move(impl));
    if (const date::time_zone *iana = locate(value)) {
        impl->zone = iana;
    } else {
        impl->zone = Impl::CLibrary{};
    }
    return RecorderZone(std::move(impl));
}

std::optional<RecorderZone> RecorderZone::named(std::string_view ianaName) {
    const date::time_zone *iana = locate(ianaName);
    if (!iana)
        return std::nullopt;
    auto impl = std::make_shared<Impl>();
    impl->name = iana->name();
    impl->zone = iana;
    return RecorderZone(std::move(impl));
}

RecorderZone::Reading RecorderZone::read(local_time<milliseconds> wallClock) const {
    const date::local_time<milliseconds> wall{wallClock.time_since_epoch()};
    const date::local_seconds wholeSeconds = date::floor<seconds>(wall);
    const date::local_info info = infoAt(*impl_, wholeSeconds);
    Reading reading;
    reading.time = RecordingTime{wall.time_since_epoch() - info.first.offset};
    if (info.result != date::local_info::unique)
        reading.note = noteFor(info, wholeSeconds, impl_->name);
    return reading;
}

std::optional<RecorderZone::Reading> RecorderZone::readIso(std::string_view text) const {
    return RecorderZoneChoice(this).readIso(text);
}

std::optional<RecorderZone::Reading> RecorderZoneChoice::readIso(std::string_view text) {
    const std::optional<IsoWallClock> wall = parseIsoWallClock(text);
    if (!wall)
        return std::nullopt;
    if (wall->offset)
        return RecorderZone::Reading{RecordingTime{wall->fields.time_since_epoch() - *wall->offset}, {}};
    return read(wall->fields);
}

const RecorderZone &RecorderZoneChoice::zone() {
    if (given_)
        return *given_;
    if (!machine_)
        machine_ = RecorderZone::machine();
    return *machine_;
}

const std::string &RecorderZone::name() const {
    return impl_->name;
}

} // namespace pelorin
