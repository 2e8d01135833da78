#include "BenchData.h"

#include <charconv>
#include <chrono>
#include <string>
#include <utility>

namespace pelorin::bench {

std::vector<TrackPoint> trackPoints(const SurveyParams &params) {
    std::vector<TrackPoint> points(params.points);
    TrackWalk walk(params);
    for (auto &point : points) {
        const Fix fix = walk.next();
        point.setAttribute("lat", fix.lat);
        point.setAttribute("lon", fix.lon);
        point.setElevation(fix.ele);
        point.setTime(Instant{std::chrono::seconds{fix.time}});
    }
    return points;
}

std::vector<Recording> recordings(const SurveyParams &params) {
    std::vector<Recording> out;
    out.reserve(params.recordings);
    for (auto &generated : generateRecordings(params)) {
        out.push_back({RecordingTime{std::chrono::seconds{generated.time}}, std::move(generated.filename),
                       std::move(generated.species)});
    }
    return out;
}

std::vector<GeoRefRecord> placedRecords(const SurveyParams &params) {
    std::vector<std::pair<float, float>> fixes(params.points);
    TrackWalk walk(params);
    for (auto &[lat, lon] : fixes) {
        const Fix fix = walk.next();
        std::from_chars(fix.lat.data(), fix.lat.data() + fix.lat.size(), lat);
        std::from_chars(fix.lon.data(), fix.lon.data() + fix.lon.size(), lon);
    }
    std::vector<GeoRefRecord> records;
    char stamp[20];
    for (const auto &r : generateRecordings(params)) {
        const std::int64_t index = r.time + params.recorderBehindSeconds - params.startSeconds;
        if (index < 0 || index >= static_cast<std::int64_t>(fixes.size())) {
            continue;
        }
        GeoRefRecord record;
        for (const auto &species : r.species) {
            record.name.append(record.name.empty() ? "" : ",").append(species);
        }
        if (record.name.empty()) {
            record.name = "No species";
        }
        formatUtc(r.time, stamp);
        record.desc =
            "File " + r.filename.substr(0, r.filename.rfind('.')) + "\nTime " + std::string(stamp + 11, 8);
        record.lat = fixes[static_cast<std::size_t>(index)].first;
        record.lon = fixes[static_cast<std::size_t>(index)].second;
        records.push_back(std::move(record));
    }
    return records;
}

} // namespace pelorin::bench
