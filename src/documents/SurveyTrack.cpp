#include "documents/SurveyTrack.h"

namespace pelorin {

std::vector<TrackRun> trackRuns(TrackView track) {
    std::vector<TrackRun> runs;
    for (std::size_t i = 0; i < track.size(); ++i) {
        const TrackPoint &point = track[i];
        if (point.isWaypoint())
            continue;
        if (runs.empty() || track[runs.back().first].segment() != point.segment())
            runs.push_back({i, i, 0});
        runs.back().end = i + 1;
        ++runs.back().points;
    }
    return runs;
}

std::vector<TrackLog> trackLogs(std::span<const std::string> names, const MergedLogs &merged) {
    std::vector<TrackLog> logs;
    if (names.size() > 1)
        for (const LogSpan &span : merged.spans)
            logs.push_back({names[span.log], span.first, span.end});
    return logs;
}

std::vector<SurveyDocument> trackParts(const SurveyDocument &survey) {
    if (survey.logs.empty())
        return {survey};
    std::vector<SurveyDocument> parts;
    for (const TrackLog &log : survey.logs) {
        SurveyDocument &part = parts.emplace_back(survey);
        part.name = log.name;
        part.track =
            survey.track.order.empty()
                ? TrackView{survey.track.points.subspan(log.first, log.end - log.first), {}}
                : TrackView{survey.track.points, survey.track.order.subspan(log.first, log.end - log.first)};
        part.logs = {};
    }
    return parts;
}

} // namespace pelorin
