#include "BenchData.h"
#include "georef/OffsetDiagnosis.h"

#include <benchmark/benchmark.h>

namespace {

// Arguments: track points, recordings. The given offset is a month off, so
// nothing meets the track (a long log spans days), every zone-like candidate
// is tried and the plain search finds the month.
void BM_diagnoseOffset(benchmark::State &state) {
    pelorin::bench::SurveyParams params;
    params.points = static_cast<std::size_t>(state.range(0));
    params.recordings = static_cast<std::size_t>(state.range(1));
    const std::vector<pelorin::TrackPoint> points = pelorin::bench::trackPoints(params);
    const std::vector<pelorin::Recording> recordings = pelorin::bench::recordings(params);
    const std::int32_t wrong = params.recorderBehindSeconds - 30 * 86400;
    pelorin::OffsetDiagnosis diagnosis;
    for (auto _ : state) {
        diagnosis = pelorin::diagnoseOffset(recordings, pelorin::TrackView{points, {}}, wrong);
        benchmark::DoNotOptimize(diagnosis);
    }
    if (diagnosis.meetingAtGiven != 0 || diagnosis.meetingAtSuggested < recordings.size() * 9 / 10)
        state.SkipWithError("the diagnosis missed the month");
    state.counters["meeting"] = static_cast<double>(diagnosis.meetingAtSuggested);
}
BENCHMARK(BM_diagnoseOffset)
    ->Args({100'000, 10'000})
    ->Args({1'000'000, 100'000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
