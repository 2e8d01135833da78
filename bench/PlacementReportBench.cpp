#include "BenchData.h"
#include "georef/GeoRef.h"
#include "georef/PlacementReport.h"
#include "georef/PlacementSummary.h"

#include <benchmark/benchmark.h>

namespace {

struct Placed {
    std::vector<pelorin::TrackPoint> points;
    std::vector<pelorin::Recording> recordings;
    pelorin::GeoRefResult result;
};

constexpr std::int32_t kOffset = pelorin::bench::SurveyParams{}.recorderBehindSeconds;

// 1,000,000 points and 100,000 recordings, placed once.
const Placed &placed() {
    static const Placed survey = [] {
        pelorin::bench::SurveyParams params;
        params.points = 1'000'000;
        params.recordings = 100'000;
        Placed s{pelorin::bench::trackPoints(params), pelorin::bench::recordings(params), {}};
        for (pelorin::Recording &r : s.recordings)
            r.timeAsGiven = "2024-05-01T22:14:29"; // as a catalogue gives it
        s.result = pelorin::placeRecordings(s.recordings, pelorin::TrackView{s.points, {}}, kOffset);
        return s;
    }();
    return survey;
}

// The pass with every placement, against BM_geoRefRecordings' records alone.
void BM_placeRecordings(benchmark::State &state) {
    const Placed &s = placed();
    for (auto _ : state) {
        const auto result = pelorin::placeRecordings(s.recordings, pelorin::TrackView{s.points, {}}, kOffset);
        benchmark::DoNotOptimize(result.placements.data());
    }
    state.counters["placed"] = static_cast<double>(s.result.records.size());
}
BENCHMARK(BM_placeRecordings)->Unit(benchmark::kMillisecond)->UseRealTime();

// The report of 100,000 placements and the summary line, into a sink that drops the bytes.
void BM_placementReport(benchmark::State &state) {
    const Placed &s = placed();
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        pelorin::writePlacementReport(s.recordings, s.result.placements,
                                      [&bytes](std::string_view piece) { bytes += piece.size(); });
        const std::string summary = pelorin::placementSummary(s.result.placements, 0);
        benchmark::DoNotOptimize(summary.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["doc_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_placementReport)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
