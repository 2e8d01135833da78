// pelorin-bench-guano: a card of WAV files and a GPS log covering them, then
// `pelorin --write-guano` run in this process three times, timed, with the
// bytes it wrote from /proc/self/io. The audio is a hole in each file (sparse):
// the write-back never reads it, so the files behave as full ones would, and
// the card takes no disk space. Prints a markdown section for bench/RESULTS.md.
//   pelorin-bench-guano FOLDER [FILES] [AUDIO_MIB]

#include "WavCard.h"
#include "cli/GuanoWriteCommand.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

using pelorin::bench::isoTime;
using pelorin::bench::writeWavCardFile;

std::map<std::string, long long> processIo() {
    std::map<std::string, long long> io;
    std::ifstream in("/proc/self/io");
    std::string key;
    long long value = 0;
    while (in >> key >> value)
        io[key.substr(0, key.size() - 1)] = value;
    return io;
}

struct Run {
    double seconds = 0;
    long long wchar = 0, writeBytes = 0;
    std::string summary;
};

Run run(const pelorin::cli::CliOptions &options) {
    std::ostringstream err;
    const auto ioBefore = processIo();
    const auto start = std::chrono::steady_clock::now();
    pelorin::cli::runGuanoWriteBack(options, err, err);
    Run result;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const auto ioAfter = processIo();
    result.wchar = ioAfter.at("wchar") - ioBefore.at("wchar");
    result.writeBytes = ioAfter.at("write_bytes") - ioBefore.at("write_bytes");
    const std::string text = err.str();
    const auto at = text.rfind("pelorin: ");
    result.summary = at == std::string::npos ? text : text.substr(at, text.find('\n', at) - at);
    return result;
}

} // namespace

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: pelorin-bench-guano FOLDER [FILES] [AUDIO_MIB]\n");
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path folder = argv[1];
    const int files = argc > 2 ? std::atoi(argv[2]) : 10000;
    const std::uint64_t audio = (argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 1) << 20;
    fs::remove_all(folder);
    fs::create_directories(folder / "card");
    const std::int64_t t0 = 1749715200; // 2025-06-12T08:00:00Z
    {
        std::ofstream gpx(folder / "track.gpx");
        gpx << "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" xmlns=\"http://www.topografix.com/GPX/1/1\">"
               "<trk><trkseg>\n";
        for (int s = 0; s <= files * 2 + 60; ++s)
            gpx << "<trkpt lat=\"" << 51 + s * 1e-5 << "\" lon=\"" << -1 + s * 2e-5 << "\"><ele>"
                << 80 + s % 50 << "</ele><time>" << isoTime(t0 + s) << "</time></trkpt>\n";
        gpx << "</trkseg></trk></gpx>\n";
    }
    fs::create_directories(folder / "bare");
    for (int i = 0; i < files; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "REC_%05d.wav", i);
        const std::time_t start = t0 + 2 * i;
        std::tm parts{};
        gmtime_r(&start, &parts);
        char bare[64];
        std::strftime(bare, sizeof bare, "%Y%m%d_%H%M%S.wav", &parts);
        pelorin::bench::WavCardFile file;
        file.start = start;
        file.audioBytes = audio;
        const bool written = writeWavCardFile((folder / "card" / name).string(), file);
        file.withGuano = false;
        if (!written || !writeWavCardFile((folder / "bare" / bare).string(), file)) {
            std::fprintf(stderr, "pelorin-bench-guano: cannot write %s\n", name);
            return 1;
        }
    }
    ::sync();

    setenv("TZ", "UTC", 1); // the times in the bare files' names
    tzset();
    pelorin::cli::CliOptions options;
    options.gpxPaths = {(folder / "track.gpx").string()};
    options.recordingsDir = (folder / "card").string();
    options.offsetSeconds = 37;
    options.writeGuano = true;
    const struct {
        const char *what;
        const char *card;
        int offset;
        bool overwrite;
    } runs[] = {
        {"first write: a new `guan` chunk after the audio, the recorder's retired as JUNK", "card", 37,
         false},
        {"again, same inputs: nothing to change", "card", 37, false},
        {"`--overwrite-positions`, another offset: the retired chunk reused", "card", 38, true},
        {"files without GUANO: a new `guan` chunk, two steps", "bare", 37, false},
    };
    std::printf("| Run | Time (s) | wchar per file (B) | write_bytes per file (B) | Summary |\n"
                "|---|---:|---:|---:|---|\n");
    for (const auto &r : runs) {
        options.recordingsDir = (folder / r.card).string();
        options.offsetSeconds = r.offset;
        options.overwritePositions = r.overwrite;
        const Run result = run(options);
        std::printf("| %s | %.2f | %lld | %lld | %s |\n", r.what, result.seconds, result.wchar / files,
                    result.writeBytes / files, result.summary.c_str());
    }
    const auto size = fs::file_size(folder / "card" / "REC_00000.wav");
    std::printf("\n%d files of %llu bytes after the runs (audio %llu bytes each).\n", files,
                static_cast<unsigned long long>(size), static_cast<unsigned long long>(audio));
    fs::remove_all(folder);
    return 0;
}
