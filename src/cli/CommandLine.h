#pragma once

#include "documents/DocumentFormat.h"
#include "georef/RecordingMoment.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelorin::cli {

// The KML document the batch command writes.

// What one run of the batch command is asked to do.
struct CliOptions {
    std::vector<std::string> gpxPaths; // --gpx, each a file or a folder of them; may be given several times
    std::string recordingsPath;
    std::string recordingsDir; // WAV files instead of a catalogue
    std::string outputPath;    // "-": standard output
    std::int32_t offsetSeconds = 0;
    std::string name;
    std::string description;
    bool tessellate = false;
    bool elevation = false;
    bool open = false;
    bool verbose = false;
    bool writeGuano = false; // put the positions into the WAV files' GUANO metadata
    bool overwritePositions = false;
    bool dryRun = false;
    KmlStyle kmlStyle = KmlStyle::Plain;
    OutputFormat format = OutputFormat::Kml; // --format, else from the output's extension
    // The placement report and what the pass may be asked beyond the plain placement.
    std::string reportPath; // "-": standard output; empty: no report
    std::optional<double> maxGapSeconds;
    bool splitSegments = false;
    // Each --sync as given, split at its '=': RECORDING=WAYPOINT (a recording
    // started at a marked waypoint) or RECORDER_TIME=GPS_TIME; told apart once
    // the recorder's zone is known.
    std::vector<std::pair<std::string, std::string>> syncs;
    RecordingMoment at = RecordingMoment::Start; // --at: the moment of each recording placed
    std::string recorderZone;                    // --recorder-tz: IANA zone of zone-less recording times
};

struct ParsedCommandLine {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::UsageError;
    CliOptions options; // meaningful for Run
    std::string error;  // for UsageError: one line, no program name
};

// A positive number of seconds for --max-gap ("900", "90.5"), nothing else.
std::optional<double> parseSeconds(std::string_view text);

// Parses the arguments after the program name. Options take "--opt VALUE" or
// "--opt=VALUE"; each may be given once, --gpx and --sync as often as needed.
ParsedCommandLine parseCommandLine(std::span<const std::string_view> arguments);

// A whole number of seconds in the 32-bit signed range, optional sign, nothing
// else: a stray character in a clock offset is a typo, never a silent 0.
std::optional<std::int32_t> parseOffset(std::string_view text);

std::string_view usageText();

} // namespace pelorin::cli
