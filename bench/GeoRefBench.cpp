#include "BenchData.h"
#include "georef/GeoRef.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <utility>

namespace {

struct Survey {
    std::vector<pelorin::TrackPoint> points;
    std::vector<pelorin::Recording> recordings;
};

const Survey &survey(std::size_t points, std::size_t recordings) {
    static std::map<std::pair<std::size_t, std::size_t>, Survey> cache;
    auto [it, added] = cache.try_emplace({points, recordings});
    if (added) {
        pelorin::bench::SurveyParams params;
        params.points = points;
        params.recordings = recordings;
        it->second.points = pelorin::bench::trackPoints(params);
        it->second.recordings = pelorin::bench::recordings(params);
    }
    return it->second;
}

std::size_t runPass(const Survey &s, std::int32_t offset) {
    const auto records = pelorin::geoRefRecordings(s.recordings, pelorin::TrackView{s.points, {}}, offset);
    benchmark::DoNotOptimize(records.data());
    return records.size();
}

constexpr std::int32_t kOffset = pelorin::bench::SurveyParams{}.recorderBehindSeconds;

// Arguments: track points, recordings.
void BM_geoRefRecordings(benchmark::State &state) {
    const Survey &s =
        survey(static_cast<std::size_t>(state.range(0)), static_cast<std::size_t>(state.range(1)));
    std::size_t placed = 0;
    for (auto _ : state) {
        placed = runPass(s, kOffset);
    }
    if (placed == 0) {
        state.SkipWithError("no recording was placed");
    }
    state.SetItemsProcessed(
        static_cast<std::int64_t>(state.iterations() * (s.points.size() + s.recordings.size())));
    state.counters["placed"] = static_cast<double>(placed);
}
BENCHMARK(BM_geoRefRecordings)
    ->Args({100'000, 10'000})
    ->Args({1'000'000, 100'000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The same survey at N and at 10 N within each iteration; ratio is the time
// at 10 N over the time at N, 10 for a linear pass.
void BM_geoRefLinearity(benchmark::State &state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    const Survey &small = survey(n, n / 10);
    const Survey &large = survey(10 * n, n);
    using Clock = std::chrono::steady_clock;
    std::chrono::duration<double, std::milli> smallTime{}, largeTime{};
    for (auto _ : state) {
        auto t0 = Clock::now();
        runPass(small, kOffset);
        auto t1 = Clock::now();
        runPass(large, kOffset);
        auto t2 = Clock::now();
        smallTime += t1 - t0;
        largeTime += t2 - t1;
    }
    const auto iterations = static_cast<double>(state.iterations());
    state.counters["N_ms"] = smallTime.count() / iterations;
    state.counters["10N_ms"] = largeTime.count() / iterations;
    state.counters["ratio"] = largeTime / smallTime;
}
BENCHMARK(BM_geoRefLinearity)->Arg(100'000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
