#include "cli/GpsLogs.h"

#include "cli/Messages.h"
#include "cli/SurveyInputs.h"
#include "documents/SurveyTrack.h"
#include "georef/GpsLogNames.h"
#include "gpx/Coordinate.h"
#include "parallel/Parallel.h"
#include "text/NaturalOrder.h"
#include "text/TimeText.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <system_error>

namespace pelorin::cli {

namespace {

namespace fs = std::filesystem;

bool isGpxName(const fs::path &path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return extension == ".gpx";
}

// Points whose coordinates cannot be used are named and left out of the pass;
// a log with no usable point at all is bad input. A long list is cut short.
bool reportBadCoordinates(std::ostream &err, const std::string &path, const GpxResult &track) {
    constexpr std::size_t kNamed = 20;
    const std::size_t count = track.badCoordinates.size();
    for (std::size_t i = 0; i < count && i < kNamed; ++i) {
        const BadCoordinatePoint &bad = track.badCoordinates[i];
        const TrackPoint &point = track.points[bad.index];
        say(err, {path, bad.line, bad.column},
            "warning: " + coordinateProblemText(point.lat(), point.lon()) +
                "; the point is left out of the placement");
    }
    if (count > kNamed)
        say(err, {path},
            "warning: " + std::to_string(count - kNamed) + " more points with bad coordinates left out");
    if (count == 0 || count < track.points.size())
        return true;
    say(err, {path}, "no track point has usable coordinates");
    return false;
}
std::string fileName(const std::string &path) {
    return fs::path(path).filename().string();
}

void warnAboutOverlaps(std::ostream &err, const std::vector<std::string> &paths, const MergedLogs &merged) {
    for (const LogOverlap &overlap : merged.overlaps) {
        const std::string &earlier = paths[overlap.earlier];
        std::string text = "warning: overlaps " + earlier + " from " + utcIsoText(overlap.from) + " to " +
                           utcIsoText(overlap.to);
        if (overlap.identical > 0)
            text += "; " + std::to_string(overlap.identical) + " identical fixes counted once";
        if (overlap.replaced > 0)
            text += "; " + fileName(earlier) + " starts earlier and its fixes are used there (" +
                    std::to_string(overlap.replaced) + " of this log's left out)";
        say(err, {paths[overlap.later]}, text);
    }
}

} // namespace

std::optional<std::vector<std::string>> gpxFilesNamed(const std::vector<std::string> &given,
                                                      std::ostream &err) {
    std::vector<std::string> files;
    for (const std::string &path : given) {
        std::error_code ec;
        if (!fs::is_directory(path, ec)) {
            files.push_back(path);
            continue;
        }
        std::vector<std::string> found;
        for (fs::recursive_directory_iterator it(path, fs::directory_options::skip_permission_denied, ec),
             end;
             !ec && it != end; it.increment(ec)) {
            if (isGpxName(it->path()) && it->is_regular_file(ec))
                found.push_back(it->path().string());
        }
        if (found.empty()) {
            say(err, "no GPX files found under " + path);
            return std::nullopt;
        }
        std::sort(found.begin(), found.end(), naturalLess);
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

std::string GpsLogs::readText() const {
    std::string text = "read ";
    if (names.size() > 1)
        text += std::to_string(names.size()) + " logs, ";
    return text + std::to_string(pointsRead) + " points";
}

void GpsLogs::nameLogs(std::span<Placement> placements) const {
    nameGpsLogs(placements, names, merged);
}

std::vector<TrackLog> GpsLogs::trackLogs() const {
    return pelorin::trackLogs(names, merged);
}

bool readGpsLogs(const std::vector<std::string> &paths, GpxReader &reader, GpsLogs &logs, std::ostream &err) {
    for (const std::string &path : paths)
        logs.names.push_back(fileName(path));
    if (paths.size() == 1) {
        logs.track = reader.parseGPXFile(paths.front());
        logs.pointsRead = logs.track.points.size();
        logs.badCoordinates = logs.track.badCoordinates.size();
        if (!logs.track.ok()) {
            reportGpxError(err, paths.front(), *logs.track.error);
            return false;
        }
        return reportBadCoordinates(err, paths.front(), logs.track);
    }
    // The logs are read on every core, a run of files each; what they hold is told in the order given.
    std::vector<GpxResult> read(paths.size());
    inParts(paths.size(), partsFor(paths.size(), 1), [&](std::size_t from, std::size_t to, std::size_t part) {
        GpxReader own;
        GpxReader &partReader = part == 0 ? reader : own;
        partReader.setReadOnTwoCores(false); // the other cores read logs of their own
        for (std::size_t i = from; i < to; ++i)
            read[i] = partReader.parseGPXFile(paths[i]);
    });
    for (std::size_t i = 0; i < paths.size(); ++i) {
        const GpxResult &log = read[i];
        logs.pointsRead += log.points.size();
        if (!log.ok()) {
            reportGpxError(err, paths[i], *log.error);
            return false;
        }
        if (!reportBadCoordinates(err, paths[i], log))
            return false;
    }
    logs.merged = mergeLogs(std::move(read));
    logs.track.points = std::move(logs.merged.points);
    logs.track.hasElevation = logs.merged.hasElevation;
    logs.badCoordinates = logs.merged.badCoordinates;
    warnAboutOverlaps(err, paths, logs.merged);
    return true;
}

} // namespace pelorin::cli
