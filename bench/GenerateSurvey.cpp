// pelorin-generate-survey: writes a large synthetic GPS log and recordings
// catalogue for benchmarks. Same seed and sizes, same bytes.

#include "SurveyGenerator.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

namespace {

constexpr const char *kUsage =
    "usage: pelorin-generate-survey --gpx OUT.gpx --recordings OUT.csv\n"
    "           [--points N] [--recording-count M] [--seed S] [--behind SECONDS]\n"
    "Defaults: 1000000 points at 1 Hz, 100000 recordings, seed 20240501, recorder 37 s behind.\n";

template <typename T> bool parseNumber(std::string_view text, T &value) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && end == text.data() + text.size();
}

bool writeFile(const std::string &path, const auto &produce) {
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "pelorin-generate-survey: cannot create %s: %s\n", path.c_str(),
                     std::strerror(errno));
        return false;
    }
    bool ok = true;
    produce([&](std::string_view bytes) {
        ok = ok && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    });
    ok = (std::fclose(file) == 0) && ok;
    if (!ok) {
        std::fprintf(stderr, "pelorin-generate-survey: cannot write %s\n", path.c_str());
    }
    return ok;
}

} // namespace

int main(int argc, char **argv) {
    pelorin::bench::SurveyParams params;
    std::string gpxPath;
    std::string csvPath;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (i + 1 >= argc) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        const std::string_view value = argv[++i];
        bool ok = true;
        if (arg == "--gpx") {
            gpxPath = value;
        } else if (arg == "--recordings") {
            csvPath = value;
        } else if (arg == "--points") {
            ok = parseNumber(value, params.points);
        } else if (arg == "--recording-count") {
            ok = parseNumber(value, params.recordings);
        } else if (arg == "--seed") {
            ok = parseNumber(value, params.seed);
        } else if (arg == "--behind") {
            ok = parseNumber(value, params.recorderBehindSeconds);
        } else {
            ok = false;
        }
        if (!ok) {
            std::fprintf(stderr, "pelorin-generate-survey: bad argument %s %s\n%s", argv[i - 1], argv[i],
                         kUsage);
            return 2;
        }
    }
    if (gpxPath.empty() && csvPath.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (!gpxPath.empty() &&
        !writeFile(gpxPath, [&](const auto &sink) { pelorin::bench::writeGpx(params, sink); })) {
        return 1;
    }
    if (!csvPath.empty()) {
        const auto recordings = pelorin::bench::generateRecordings(params);
        if (!writeFile(csvPath,
                       [&](const auto &sink) { pelorin::bench::writeRecordingsCsv(recordings, sink); })) {
            return 1;
        }
    }
    return 0;
}
