#include "SurveyGenerator.h"
#include "recordings/RecordingsCsv.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr std::size_t kRecordings = 100'000;

void BM_parseRecordingsCsv(benchmark::State &state) {
    static const std::string text = [] {
        pelorin::bench::SurveyParams params;
        params.recordings = kRecordings;
        std::string out;
        pelorin::bench::writeRecordingsCsv(pelorin::bench::generateRecordings(params),
                                           [&](std::string_view bytes) { out.append(bytes); });
        return out;
    }();
    for (auto _ : state) {
        auto result = pelorin::parseRecordingsCsv(text);
        if (!result.ok() || result.recordings.size() != kRecordings) {
            state.SkipWithError("the reader did not return every recording");
        }
        benchmark::DoNotOptimize(result.recordings.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kRecordings));
}
BENCHMARK(BM_parseRecordingsCsv)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
