// pelorin-bench-guano: a card of WAV files and a GPS log covering them, then
// `pelorin --write-guano` run in this process three times, timed, with the
// bytes it wrote from /proc/self/io. The audio is a hole in each file (sparse):
// the write-back never reads it, so the files behave as full ones would, and
// the card takes no disk space. Prints a markdown section for bench/RESULTS.md.
//   pelorin-bench-guano FOLDER [FILES] [AUDIO_MIB]

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

std::string le32(std::uint32_t v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF), static_cast<char>(v >> 16 & 0xFF),
            static_cast<char>(v >> 24)};
}

std::string chunk(const std::string &id, const std::string &body) {
    return id + le32(static_cast<std::uint32_t>(body.size())) + body + std::string(body.size() % 2, '\0');
}

std::string isoTime(std::int64_t seconds) {
    const std::time_t t = seconds;
    std::tm parts{};
    gmtime_r(&t, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

// A recorder's file: fmt, its GUANO chunk (unless withGuano is false: then the
// start time is in the file's name), then the audio.
bool writeRecording(const std::string &path, std::int64_t start, std::uint64_t audioBytes, bool withGuano) {
    const std::string fmt =
        chunk("fmt ", std::string("\x01\0\x01\0\x00\xee\x02\0\x00\xdc\x05\0\x02\0\x10\0", 16));
    const std::string guano =
        !withGuano ? std::string()
                   : chunk("guan", "GUANO|Version: 1.0\nMake: Acme\nModel: Night 2\nSerial: 0042\n"
                                   "Timestamp: " +
                                       isoTime(start) +
                                       "\nSamplerate: 384000\nLength: 1.365\nTemperature Int: 14.5\n");
    const std::uint64_t riffSize = 4 + fmt.size() + guano.size() + 8 + audioBytes;
    const std::string head = "RIFF" + le32(static_cast<std::uint32_t>(riffSize)) + "WAVE" + fmt + guano +
                             "data" + le32(static_cast<std::uint32_t>(audioBytes));
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool ok = fd >= 0 && ::write(fd, head.data(), head.size()) == static_cast<ssize_t>(head.size()) &&
                    ::ftruncate(fd, static_cast<off_t>(head.size() + audioBytes)) == 0;
    if (fd >= 0)
        ::close(fd);
    return ok;
}

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
        if (!writeRecording((folder / "card" / name).string(), start, audio, true) ||
            !writeRecording((folder / "bare" / bare).string(), start, audio, false)) {
            std::fprintf(stderr, "pelorin-bench-guano: cannot write %s\n", name);
            return 1;
        }
    }
    ::sync();

    setenv("TZ", "UTC", 1); // the times in the bare files' names
    tzset();
    pelorin::cli::CliOptions options;
    options.gpxPath = (folder / "track.gpx").string();
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
