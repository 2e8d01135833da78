#include "cli/SurveyInputs.h"

#include "cli/Messages.h"
#include "georef/SyncOffset.h"
#include "gpx/GpxReader.h"
#include "text/IsoTime.h"

#include <chrono>
#include <cmath>
#include <limits>

#include <ostream>

namespace pelorin::cli {

void reportGpxError(std::ostream &err, const std::string &path, const GpxError &error) {
    switch (error.kind) {
    case GpxError::Kind::Parse:
        say(err, {path, error.line, error.column},
            error.description + " (XML error " + std::to_string(error.code) + ")");
        return;
    case GpxError::Kind::Unreadable:
        say(err, {path}, "cannot read the GPS log: " + error.description);
        return;
    case GpxError::Kind::Cancelled:
        say(err, {path}, "reading the GPS log was cancelled");
        return;
    }
}

// Times that may be an hour off are named, so nobody trusts them blindly.
void warnAboutTimes(std::ostream &err, const std::vector<Recording> &recordings) {
    for (const Recording &recording : recordings) {
        if (!recording.timeNote.empty())
            say(err, {recording.filename}, "warning: " + recording.timeNote);
    }
}

namespace {

// One --sync: two times, or a recording and a waypoint; said why when neither.
std::optional<SyncPoint> syncPoint(const std::pair<std::string, std::string> &sync,
                                   const std::vector<Recording> &recordings, TrackView track,
                                   RecorderZoneChoice &zone, std::ostream &err) {
    const auto &[left, right] = sync;
    if (const std::optional<RecorderZone::Reading> recorder = zone.readIso(left)) {
        if (const auto gps = parseIsoDateTime(right, MissingZone::Utc))
            return SyncPoint{recorder->time, *gps};
        say(err, "--sync: '" + right +
                     "' is not a GPS time such as 2025-05-01T21:00:00Z, for the recorder time '" + left +
                     "'");
        return std::nullopt;
    }
    const SyncOffset found = syncOffset(recordings, track, left, right);
    if (!found.ok()) {
        say(err, "--sync: " + found.error);
        return std::nullopt;
    }
    return found.point;
}

} // namespace

std::optional<ClockSetting> clockSetting(const CliOptions &options, const std::vector<Recording> &recordings,
                                         TrackView track, const RecorderZone *recorderZone,
                                         std::ostream &err) {
    ClockSetting setting;
    setting.offsetSeconds = options.offsetSeconds;
    if (options.syncs.empty())
        return setting;
    RecorderZoneChoice zone(recorderZone);
    std::vector<SyncPoint> points;
    for (const auto &sync : options.syncs) {
        const std::optional<SyncPoint> point = syncPoint(sync, recordings, track, zone, err);
        if (!point)
            return std::nullopt;
        points.push_back(*point);
    }
    if (points.size() == 1) {
        // One sync point: the fixed offset, to the whole second as always.
        const double offset = std::round(
            std::chrono::duration<double>(points.front().gpsTime - points.front().recorderTime).count());
        if (offset < std::numeric_limits<std::int32_t>::min() ||
            offset > std::numeric_limits<std::int32_t>::max()) {
            say(err, "--sync: the two times lie too far apart for a clock offset");
            return std::nullopt;
        }
        setting.offsetSeconds = static_cast<std::int32_t>(offset);
        const auto &[left, right] = options.syncs.front();
        say(err, zone.readIso(left) ? "offset " + std::to_string(setting.offsetSeconds) +
                                          " s, from the sync point " + left + "=" + right
                                    : syncOffsetText(setting.offsetSeconds, left, right));
        return setting;
    }
    ClockDrift::Made made = ClockDrift::from(std::move(points));
    if (!made.drift) {
        say(err, "--sync: " + made.error);
        return std::nullopt;
    }
    setting.drift = std::move(made.drift);
    setting.offsetSeconds = setting.drift->baseOffsetSeconds();
    for (const std::string &line : setting.drift->driftLines())
        say(err, line);
    return setting;
}

bool findRecorderZone(const CliOptions &options, std::optional<RecorderZone> &zone, std::ostream &err) {
    if (options.recorderZone.empty())
        return true;
    if ((zone = RecorderZone::named(options.recorderZone)))
        return true;
    say(err, "--recorder-tz: no time zone named '" + options.recorderZone +
                 "' (expected an IANA name such as Europe/Berlin)");
    return false;
}

} // namespace pelorin::cli
