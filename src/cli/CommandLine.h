#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace pelorin::cli {

// What one run of the batch command is asked to do.
struct CliOptions {
    std::string gpxPath;
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
    // --sync RECORDING=WAYPOINT: the offset from a recording started at a marked waypoint.
    std::string syncRecording;
    std::string syncWaypoint;
    std::string recorderZone; // --recorder-tz: IANA zone of zone-less recording times
};

struct ParsedCommandLine {
    enum class Action { Run, Help, Version, UsageError };
    Action action = Action::UsageError;
    CliOptions options; // meaningful for Run
    std::string error;  // for UsageError: one line, no program name
};

// Parses the arguments after the program name. Options take "--opt VALUE" or
// "--opt=VALUE"; each may be given once.
ParsedCommandLine parseCommandLine(std::span<const std::string_view> arguments);

// A whole number of seconds in the 32-bit signed range, optional sign, nothing
// else: a stray character in a clock offset is a typo, never a silent 0.
std::optional<std::int32_t> parseOffset(std::string_view text);

std::string_view usageText();

} // namespace pelorin::cli
