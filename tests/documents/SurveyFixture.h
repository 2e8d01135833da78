#pragma once

#include "documents/SurveyDocument.h"
#include "georef/TrackFixtures.h"

#include <vector>

namespace pelorin::test {

// A survey with everything the survey writers must keep apart: two waypoints
// ahead of the track (one named), three segments (the last a lone fix), one
// recording per folder kind, texts that need escaping, and two recordings
// that were not placed.
struct SurveyFixture {
    std::vector<TrackPoint> points = [] {
        std::vector<TrackPoint> p = {
            point("48.86", "9.51", kStart - 1h, "300"),     point("48.87", "9.52", std::nullopt),
            point("48.85", "9.5", kStart, "312.4"),         point("48.851", "9.501", kStart + 60s, "313"),
            point("48.852", "9.502", kStart + 120s),        point("48.86", "9.6", kStart + 600s, "320"),
            point("48.861", "9.601", kStart + 660s, "bad"), point("48.9", "9.7", kStart + 900s)};
        p[0].setWaypoint(true);
        p[0].setAttribute("name", "Car park & bridge");
        p[1].setWaypoint(true);
        for (std::size_t i = 5; i < p.size(); ++i)
            p[i].setSegment(i < 7 ? 1 : 2);
        return p;
    }();
    // Start times as their sources gave them, in the zone of the walk (UTC+2), whatever the machine's.
    // Two recorders' own positions: 11.3 m north of the first pin (48.8504982, 9.5004997 in single
    // precision) and 13.3 km north-east of the second.
    std::vector<Recording> recordings = [] {
        using enum StartTimeSource;
        std::vector<Recording> r = {
            {RecordingTime(kStart + 30s),
             "Ppip & <one>.wav",
             {"Ppip"},
             "",
             Catalogue,
             "2024-06-01T12:00:30+02:00",
             LatLon{48.8506, 9.5005}},
            {RecordingTime(kStart + 60s),
             "Nnoc.wav",
             {"Nnoc"},
             "",
             Guano,
             "2024-06-01 12:01:00+02:00",
             LatLon{48.951, 9.601}},
            {RecordingTime(kStart + 90s), "Both.wav", {"Ppip", "Nnoc"}},
            {RecordingTime(kStart + 630s + 250ms), "Quiet.wav", {}},
            {RecordingTime(kStart - 2h),
             "Early.wav",
             {"Eser"},
             "",
             ModificationTime,
             "2024-06-01T10:00:00+02:00"},
            {RecordingTime{}, "Timeless.wav", {"Ppip"}, "", None},
        };
        return r;
    }();
    // The first four placed, at 30, 60 (on a fix), 90 and 630.25 s; then one before the track, one untimed.
    std::vector<Placement> placements = [] {
        std::vector<Placement> p(6);
        const float at[4][2] = {
            {48.8505f, 9.5005f}, {48.851f, 9.501f}, {48.8515f, 9.5015f}, {48.8605f, 9.6005f}};
        const std::chrono::milliseconds times[4] = {30s, 60s, 90s, 630s + 250ms};
        for (int i = 0; i < 4; ++i) {
            p[i].status = i == 1 ? PlacementStatus::Exact : PlacementStatus::Interpolated;
            p[i].lat = at[i][0];
            p[i].lon = at[i][1];
            p[i].correctedTime = RecordingTime(kStart + times[i]);
            p[i].uncertaintyMetres = 6.25;
            p[i].secondsToNearestFix = i == 1 ? 0 : 30;
            p[i].gapSeconds = 60;
            p[i].gpsLog = i < 3 ? "walk & <1>.gpx" : "walk2.gpx";
            p[i].before = PlacementFix{};
            if (i != 1)
                p[i].after = PlacementFix{};
        }
        p[0].elevation = 312.7;
        p[0].offsetMilliseconds = 37'250; // a drifting clock's, not a whole second
        p[4].status = PlacementStatus::BeforeTrack;
        p[4].correctedTime = RecordingTime(kStart - 2h);
        p[4].after = PlacementFix{};
        p[4].secondsToNearestFix = 7200;
        p[4].gpsLog = "walk2.gpx"; // not placed: not written
        p[5].status = PlacementStatus::NoTime;
        return p;
    }();

    SurveyDocument survey(bool elevation = true) const {
        return {"Evening & walk", "Stream meadow", TrackView{points, {}}, recordings, placements, true,
                elevation};
    }
};

} // namespace pelorin::test
