#include "BenchData.h"
#include "documents/KmlWriter.h"

#include <benchmark/benchmark.h>

namespace {

struct Input {
    std::vector<pelorin::TrackPoint> points;
    std::vector<pelorin::GeoRefRecord> records;
};

const Input &input() {
    static const Input in = [] {
        pelorin::bench::SurveyParams params;
        params.points = 200'000;
        params.recordings = 20'000;
        return Input{pelorin::bench::trackPoints(params), pelorin::bench::placedRecords(params)};
    }();
    return in;
}

// Argument: 1 to write the elevations, 0 for a flat line.
void BM_writeKmlDocument(benchmark::State &state) {
    const Input &in = input();
    pelorin::KmlOptions options;
    options.transectName = "Generated transect";
    options.transectDesc = "Benchmark survey & friends <1 Hz>";
    options.tessellate = true;
    options.elevation = state.range(0) != 0;
    options.hasElevation = true;
    std::size_t bytes = 0;
    for (auto _ : state) {
        bytes = 0;
        pelorin::writeKmlDocument(options, pelorin::TrackView{in.points, {}}, in.records,
                                  [&](std::string_view piece) {
                                      benchmark::DoNotOptimize(piece.data());
                                      bytes += piece.size();
                                  });
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["points/s"] = benchmark::Counter(
        static_cast<double>(state.iterations() * in.points.size()), benchmark::Counter::kIsRate);
    state.counters["doc_MB"] = static_cast<double>(bytes) / 1e6;
}
BENCHMARK(BM_writeKmlDocument)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
