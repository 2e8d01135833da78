#pragma once

#include "georef/Recording.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace pelorin {

// The time zone a recorder's zone-less times are read in: the machine's (TZ
// honoured, an IANA name or a POSIX rule) or one the user names. Backed by
// the system's zoneinfo.
class RecorderZone {
public:
    // TZ when set (":Europe/Berlin", "Europe/Berlin" or a POSIX rule such as
    // "CET-1CEST,M3.5.0,M10.5.0/3"), else /etc/localtime; UTC when neither can be read.
    static RecorderZone machine();
    // An IANA name such as "Europe/Berlin"; nothing when the database has no such zone.
    static std::optional<RecorderZone> named(std::string_view ianaName);

    struct Reading {
        RecordingTime time;
        // Empty unless the wall-clock time falls in the hour a DST change
        // repeats or skips; then it says so and which reading was taken.
        std::string note;
    };
    // A wall-clock time in this zone. Repeated times are read as the first
    // (still summer time); skipped ones with the offset before the change, as
    // a clock that missed the change would show them.
    Reading read(std::chrono::local_time<std::chrono::milliseconds> wallClock) const;
    // An ISO 8601 text: a zone it names is applied as written (no note),
    // otherwise it is read in this zone. Nothing when the text is not a time.
    std::optional<Reading> readIso(std::string_view text) const;

    const std::string &name() const;

    struct Impl;

private:
    explicit RecorderZone(std::shared_ptr<const Impl> impl)
        : impl_(std::move(impl)) {}
    std::shared_ptr<const Impl> impl_;
};

// The zone a reader uses: the one given, or the machine's, looked up only
// when a zone-less time first needs it.
class RecorderZoneChoice {
public:
    explicit RecorderZoneChoice(const RecorderZone *given = nullptr)
        : given_(given) {}
    RecorderZone::Reading read(std::chrono::local_time<std::chrono::milliseconds> wallClock) {
        return zone().read(wallClock);
    }
    std::optional<RecorderZone::Reading> readIso(std::string_view text);

private:
    const RecorderZone &zone();
    const RecorderZone *given_;
    std::optional<RecorderZone> machine_;
};

} // namespace pelorin
