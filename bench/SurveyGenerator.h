#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin::bench {

// A synthetic field survey: a GPS log at 1 Hz with elevation and time on every
// point, and a recorder's catalogue over the same hours. Everything follows
// from the seed, so two runs with the same parameters give identical bytes.
struct SurveyParams {
    std::uint64_t seed = 20240501;
    std::size_t points = 1'000'000;
    std::size_t recordings = 100'000;
    std::int64_t startSeconds = 1714591800;  // 2024-05-01T19:30:00Z
    std::int32_t recorderBehindSeconds = 37; // the recorder's clock lags the logger's
    double outsideShare = 0.05;              // recordings before or after the log
};

using TextSink = std::function<void(std::string_view bytes)>;

// One logged fix, as text ready for the GPX file.
struct Fix {
    std::string_view lat;
    std::string_view lon;
    std::string_view ele;
    std::int64_t time = 0; // seconds since the epoch, UTC
};

// A walker crossing a survey area of a few kilometres: towards random
// waypoints at walking pace, with heading noise, GPS jitter and pauses.
class TrackWalk {
public:
    explicit TrackWalk(const SurveyParams &params);
    // The next fix; one per second.
    Fix next();

private:
    double uniform(); // [0, 1)
    double noise();   // roughly normal, mean 0, sd 1
    void pickWaypoint();

    std::mt19937_64 rng_;
    std::int64_t time_;
    double x_ = 0, y_ = 0; // metres east and north of the origin
    double wx_ = 0, wy_ = 0;
    double heading_ = 0;
    double speed_ = 1.2;
    int pause_ = 0;
    char lat_[24], lon_[24], ele_text_[24];
    std::size_t latLen_ = 0, lonLen_ = 0, eleLen_ = 0;
};

struct GeneratedRecording {
    std::int64_t time = 0; // the recorder's clock, seconds since the epoch, UTC
    std::string filename;
    std::vector<std::string> species;
};

// The GPX 1.1 document, about 128 bytes a point, sent in pieces of about 1 MiB.
void writeGpx(const SurveyParams &params, const TextSink &sink);
std::string gpxDocument(const SurveyParams &params);

// Recordings in time order; about outsideShare of them fall outside the log.
std::vector<GeneratedRecording> generateRecordings(const SurveyParams &params);
// The catalogue as CSV: filename,recording_time,species.
void writeRecordingsCsv(const std::vector<GeneratedRecording> &recordings, const TextSink &sink);

// "YYYY-MM-DDTHH:MM:SSZ"; out must hold 20 bytes. Returns the length.
std::size_t formatUtc(std::int64_t seconds, char *out);

} // namespace pelorin::bench
