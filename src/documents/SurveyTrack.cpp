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

} // namespace pelorin
