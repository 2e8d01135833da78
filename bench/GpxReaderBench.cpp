#include "SurveyGenerator.h"
#include "gpx/GpxReader.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr std::size_t kPoints = 200'000; // about 25 MB

const std::string &document() {
    static const std::string bytes = [] {
        pelorin::bench::SurveyParams params;
        params.points = kPoints;
        return pelorin::bench::gpxDocument(params);
    }();
    return bytes;
}

// The document on disk for the life of the process.
class TempGpxFile {
public:
    TempGpxFile() {
        path_ = (std::filesystem::temp_directory_path() / "pelorin-bench-XXXXXX.gpx").string();
        const int fd = mkstemps(path_.data(), 4);
        if (fd < 0 ||
            ::write(fd, document().data(), document().size()) != static_cast<ssize_t>(document().size())) {
            std::perror("pelorin bench: temporary GPX file");
            std::exit(1);
        }
        ::close(fd);
    }
    ~TempGpxFile() { std::filesystem::remove(path_); }
    const std::string &path() const { return path_; }

private:
    std::string path_;
};

void check(benchmark::State &state, const pelorin::GpxResult &result) {
    if (!result.ok() || result.points.size() != kPoints) {
        state.SkipWithError("the reader did not return every point");
    }
}

// Argument: the chunk size fed to the parser, 0 for the whole document at once.
void BM_parseGPXBytes(benchmark::State &state) {
    const std::string &bytes = document();
    for (auto _ : state) {
        pelorin::GpxReader reader;
        auto result = reader.parseGPXBytes(bytes, static_cast<std::size_t>(state.range(0)));
        check(state, result);
        benchmark::DoNotOptimize(result.points.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
    state.counters["points/s"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kPoints), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_parseGPXBytes)->Arg(0)->Arg(64 << 10)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_parseGPXFile(benchmark::State &state) {
    static const TempGpxFile file;
    for (auto _ : state) {
        pelorin::GpxReader reader;
        auto result = reader.parseGPXFile(file.path());
        check(state, result);
        benchmark::DoNotOptimize(result.points.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * document().size()));
    state.counters["points/s"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kPoints), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_parseGPXFile)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
