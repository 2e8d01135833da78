#include "BenchData.h"
#include "documents/GeoJsonWriter.h"
#include "documents/GpxWriter.h"
#include "documents/KmlWriter.h"
#include "documents/SurveyKmlWriter.h"
#include "georef/GeoRef.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace {

// The end-to-end survey: 1,000,000 points, 100,000 recordings, placed by the
// pass as the command places them.
struct Input {
    std::vector<pelorin::TrackPoint> points;
    std::vector<pelorin::Recording> recordings;
    pelorin::GeoRefResult placed;
};

const Input &input() {
    static const Input in = [] {
        const pelorin::bench::SurveyParams params;
        Input made{pelorin::bench::trackPoints(params), pelorin::bench::recordings(params), {}};
        std::stable_sort(made.recordings.begin(), made.recordings.end(),
                         [](const auto &a, const auto &b) { return a.recordingTime < b.recordingTime; });
        made.placed = pelorin::placeRecordings(made.recordings, pelorin::TrackView{made.points, {}},
                                               params.recorderBehindSeconds);
        return made;
    }();
    return in;
}

pelorin::SurveyDocument survey(const Input &in) {
    return {"Generated transect",
            "Benchmark survey & friends <1 Hz>",
            pelorin::TrackView{in.points, {}},
            in.recordings,
            in.placed.placements,
            true,
            true};
}

void measure(benchmark::State &state, const std::function<void(const pelorin::ByteSink &)> &write) {
    const Input &in = input();
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        write([&](std::string_view piece) {
            benchmark::DoNotOptimize(piece.data());
            bytes += piece.size();
        });
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["doc_MB"] = static_cast<double>(bytes) / 1e6;
    state.counters["placed"] = static_cast<double>(in.placed.records.size());
}

// The plain document the command writes today, with --tessellate --elevation.
void BM_plainKml(benchmark::State &state) {
    const Input &in = input();
    pelorin::KmlOptions options{"Generated transect", "Benchmark survey & friends <1 Hz>", true, true, true};
    measure(state, [&](const pelorin::ByteSink &sink) {
        pelorin::writeKmlDocument(options, pelorin::TrackView{in.points, {}}, in.placed.records, sink);
    });
}

void BM_surveyKml(benchmark::State &state) {
    const pelorin::SurveyDocument doc = survey(input());
    measure(state, [&](const pelorin::ByteSink &sink) { pelorin::writeSurveyKml(doc, sink); });
}

void BM_geoJson(benchmark::State &state) {
    const pelorin::SurveyDocument doc = survey(input());
    measure(state, [&](const pelorin::ByteSink &sink) { pelorin::writeGeoJson(doc, sink); });
}

void BM_gpx(benchmark::State &state) {
    const pelorin::SurveyDocument doc = survey(input());
    measure(state, [&](const pelorin::ByteSink &sink) { pelorin::writeGpx(doc, sink); });
}

BENCHMARK(BM_plainKml)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_surveyKml)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_geoJson)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_gpx)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
