#pragma once

#include "cli/RunProgram.h"

#include <gmock/gmock.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin::test {

// Three track points a minute apart.
inline const std::string kTrackPoints =
    "<trkpt lat=\"10\" lon=\"20\"><ele>100</ele><time>2025-06-12T10:00:00Z</time></trkpt>\n"
    "<trkpt lat=\"11\" lon=\"22\"><ele>101.5</ele><time>2025-06-12T10:01:00Z</time></trkpt>\n"
    "<trkpt lat=\"12\" lon=\"24\"><ele>103</ele><time>2025-06-12T10:02:00Z</time></trkpt>\n";

// A GPX file holding segment as its track, after a waypoint logged an hour earlier.
inline std::string gpxDocument(std::string_view segment, std::string_view encoding = "UTF-8") {
    return "<?xml version=\"1.0\" encoding=\"" + std::string(encoding) +
           "\"?>\n<gpx version=\"1.1\" creator=\"test\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
           "<wpt lat=\"50\" lon=\"8\"><time>2025-06-12T09:00:00Z</time></wpt>\n<trk><trkseg>\n" +
           std::string(segment) + "</trkseg></trk></gpx>\n";
}

// Deliberately not in time order; the recorder runs 30 s behind the logger.
inline const std::string kRecordingsCsv = "filename,recording_time,species\n"
                                          "R3.wav,2025-06-12T10:01:00Z,\n"
                                          "R2.wav,2025-06-12T10:00:30Z,Ppip;Nnoc\n"
                                          "R1.wav,2025-06-12T09:59:45Z,Ppip\n";

// Each of parts appears somewhere in text.
inline void expectHas(const std::string &text, const std::vector<std::string> &parts) {
    for (const std::string &part : parts)
        EXPECT_THAT(text, ::testing::HasSubstr(part));
}

inline std::vector<std::string> concat(std::vector<std::string> arguments,
                                       const std::vector<std::string> &extra) {
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
}

// Whether strace may trace here: not in every container.
inline bool mayTrace() {
    return runProgram({"strace", "-qq", "-o", "/dev/null", "true"}).exitCode == 0;
}

// argv under strace, which lists the calls named in trace; LeakSanitizer cannot work under ptrace.
inline std::vector<std::string> underStrace(const std::string &calls, const std::string &trace,
                                            const std::vector<std::string> &argv) {
    return concat(
        {"strace", "-f", "-qq", "-e", "trace=" + calls, "-o", trace, "-E", "ASAN_OPTIONS=detect_leaks=0"},
        argv);
}

class SurveyTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        writeFile(gpx(), gpxDocument(kTrackPoints));
        writeFile(csv(), kRecordingsCsv);
    }

    std::string gpx() const { return (dir / "track.gpx").string(); }
    std::string csv() const { return (dir / "recordings.csv").string(); }
    std::string kml() const { return (dir / "out.kml").string(); }
    std::string report() const { return (dir / "report.csv").string(); }

    // The binary run on the survey's log and catalogue.
    std::vector<std::string> command(const std::string &output) const {
        return {PELORIN_CLI_PATH, "--gpx", gpx(), "--recordings", csv(), "--output", output};
    }
    RunResult run(const std::string &output,
                  const std::vector<std::string> &extra = {"--offset", "30"}) const {
        return runProgram(concat(command(output), extra));
    }

    TempDir dir;
};

} // namespace pelorin::test
