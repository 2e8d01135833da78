#include "cli/SurveyInputs.h"

#include "cli/Messages.h"
#include "georef/SyncOffset.h"
#include "gpx/GpxReader.h"

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

// --sync: the offset that puts the named recording at the named waypoint.
std::optional<std::int32_t> syncedOffset(const CliOptions &options, const std::vector<Recording> &recordings,
                                         TrackView track, std::ostream &err) {
    if (options.syncRecording.empty())
        return options.offsetSeconds;
    const SyncOffset sync = syncOffset(recordings, track, options.syncRecording, options.syncWaypoint);
    if (!sync.ok()) {
        say(err, "--sync: " + sync.error);
        return std::nullopt;
    }
    say(err, syncOffsetText(sync.offsetSeconds, options.syncRecording, options.syncWaypoint));
    return sync.offsetSeconds;
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
