#include "cli/CommandLine.h"

#include <algorithm>
#include <array>
#include <charconv>

namespace pelorin::cli {

namespace {

enum class Id {
    Gpx,
    Recordings,
    RecordingsDir,
    Output,
    Offset,
    Name,
    Description,
    Tessellate,
    Elevation,
    Open,
    Verbose,
    Sync,
    RecorderTz
};

struct OptionInfo {
    std::string_view name; // without the leading "--"
    Id id;
    bool takesValue;
};

constexpr std::array<OptionInfo, 13> kOptions{{
    {"gpx", Id::Gpx, true},
    {"recordings", Id::Recordings, true},
    {"recordings-dir", Id::RecordingsDir, true},
    {"output", Id::Output, true},
    {"offset", Id::Offset, true},
    {"name", Id::Name, true},
    {"description", Id::Description, true},
    {"tessellate", Id::Tessellate, false},
    {"elevation", Id::Elevation, false},
    {"open", Id::Open, false},
    {"verbose", Id::Verbose, false},
    {"sync", Id::Sync, true},
    {"recorder-tz", Id::RecorderTz, true},
}};

ParsedCommandLine usageError(std::string message) {
    ParsedCommandLine parsed;
    parsed.action = ParsedCommandLine::Action::UsageError;
    parsed.error = std::move(message);
    return parsed;
}

// Stores one option's value; returns an error message, empty when fine.
std::string apply(CliOptions &options, const OptionInfo &option, std::string_view value) {
    const std::string flag = "--" + std::string(option.name);
    switch (option.id) {
    case Id::Gpx:
    case Id::Recordings:
    case Id::RecordingsDir:
    case Id::Output:
        if (value.empty())
            return "option " + flag + " needs a file name";
        (option.id == Id::Gpx             ? options.gpxPath
         : option.id == Id::Recordings    ? options.recordingsPath
         : option.id == Id::RecordingsDir ? options.recordingsDir
                                          : options.outputPath) = value;
        return {};
    case Id::Offset:
        if (auto seconds = parseOffset(value)) {
            options.offsetSeconds = *seconds;
            return {};
        }
        return "option --offset needs a whole number of seconds between -2147483648 and 2147483647, not '" +
               std::string(value) + "'";
    case Id::Name:
        options.name = value;
        return {};
    case Id::Description:
        options.description = value;
        return {};
    case Id::Tessellate:
        options.tessellate = true;
        return {};
    case Id::Elevation:
        options.elevation = true;
        return {};
    case Id::Open:
        options.open = true;
        return {};
    case Id::Verbose:
        options.verbose = true;
        return {};
    case Id::Sync: {
        const std::size_t equals = value.find('=');
        if (equals == std::string_view::npos || equals == 0 || equals + 1 == value.size())
            return "option --sync needs RECORDING=WAYPOINT, not '" + std::string(value) + "'";
        options.syncRecording = value.substr(0, equals);
        options.syncWaypoint = value.substr(equals + 1);
        return {};
    }
    case Id::RecorderTz:
        if (value.empty())
            return "option --recorder-tz needs a time zone name such as Europe/Berlin";
        options.recorderZone = value;
        return {};
    }
    return {};
}

} // namespace

std::optional<std::int32_t> parseOffset(std::string_view text) {
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    std::int32_t value = 0;
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

ParsedCommandLine parseCommandLine(std::span<const std::string_view> arguments) {
    ParsedCommandLine parsed;
    std::array<bool, kOptions.size()> seen{};

    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            parsed.action = ParsedCommandLine::Action::Help;
            return parsed;
        }
        if (argument == "--version") {
            parsed.action = ParsedCommandLine::Action::Version;
            return parsed;
        }
        if (!argument.starts_with("--") || argument.size() == 2)
            return usageError("unexpected argument '" + std::string(argument) + "'");

        const std::string_view body = argument.substr(2);
        const std::size_t equals = body.find('=');
        const std::string_view name = body.substr(0, equals);
        const auto option = std::find_if(kOptions.begin(), kOptions.end(),
                                         [&](const OptionInfo &candidate) { return candidate.name == name; });
        if (option == kOptions.end())
            return usageError("unknown option '--" + std::string(name) + "'");

        const std::size_t index = static_cast<std::size_t>(option - kOptions.begin());
        if (seen[index])
            return usageError("option --" + std::string(name) + " is given more than once");
        seen[index] = true;

        std::string_view value;
        if (equals != std::string_view::npos) {
            if (!option->takesValue)
                return usageError("option --" + std::string(name) + " takes no value");
            value = body.substr(equals + 1);
        } else if (option->takesValue) {
            if (i + 1 == arguments.size())
                return usageError("option --" + std::string(name) + " needs a value");
            value = arguments[++i];
        }
        if (std::string message = apply(parsed.options, *option, value); !message.empty())
            return usageError(std::move(message));
    }

    std::string missing;
    for (std::size_t i = 0; i < kOptions.size(); ++i) {
        const bool required = kOptions[i].id == Id::Gpx || kOptions[i].id == Id::Output;
        if (required && !seen[i])
            missing += (missing.empty() ? "--" : ", --") + std::string(kOptions[i].name);
    }
    const bool fromCatalogue = !parsed.options.recordingsPath.empty();
    const bool fromFolder = !parsed.options.recordingsDir.empty();
    if (fromCatalogue && fromFolder)
        return usageError("give either --recordings or --recordings-dir, not both");
    if (!fromCatalogue && !fromFolder)
        missing += (missing.empty() ? "--" : ", --") + std::string("recordings (or --recordings-dir)");
    if (!missing.empty())
        return usageError("missing required option(s): " + missing);
    const auto given = [&](Id id) {
        return seen[static_cast<std::size_t>(
            std::find_if(kOptions.begin(), kOptions.end(), [id](const OptionInfo &o) { return o.id == id; }) -
            kOptions.begin())];
    };
    if (given(Id::Sync) && given(Id::Offset))
        return usageError("give either --offset or --sync, not both");
    if (parsed.options.open && parsed.options.outputPath == "-")
        return usageError("option --open needs an output file, not standard output");

    parsed.action = ParsedCommandLine::Action::Run;
    return parsed;
}

std::string_view usageText() {
    return R"(Usage: pelorin --gpx TRACK.gpx (--recordings RECORDINGS.csv | --recordings-dir DIR) --output OUT.kml [OPTIONS]

Places each sound recording on the GPS track by its start time and writes the
track and the recordings as a KML 2.2 document.

Required:
  --gpx FILE          the GPS log (GPX)
  --recordings FILE   the recordings: UTF-8 CSV with a header row naming
                      filename, recording_time and species (other columns ignored)
  --recordings-dir DIR
                      instead of --recordings: every WAV file below DIR; the start
                      time comes from GUANO metadata, the bext chunk, a
                      YYYYMMDD_HHMMSS in the file name, or the file's modification
                      time, the first found; species from GUANO
  --output FILE       the KML file to write, replaced whole; - for standard output

Options:
  --offset SECONDS    the clock offset D, a whole number of seconds (default 0).
                      D is added to the recorder's time: a recorder whose clock
                      runs 37 s behind the GPS logger needs --offset 37; one that
                      runs ahead needs a negative offset.
  --sync RECORDING=WAYPOINT
                      instead of --offset: the offset that puts RECORDING's start
                      at the time of the waypoint named WAYPOINT, for a recording
                      started where the waypoint was marked on the logger
  --recorder-tz ZONE  the time zone (an IANA name such as Europe/Berlin) of
                      recording times given without one; default: this machine's
  --name TEXT         the transect's name in the document
  --description TEXT  the transect's description
  --tessellate        let the track line follow the terrain
  --elevation         give the track line the logged elevations
  --open              open the written file with the default application
  --verbose           print the interpolation fractions to standard error
  --help              show this help and exit
  --version           show the version and exit
Every option also takes the form --option=VALUE.

recording_time: YYYY-MM-DDTHH:MM:SS, an optional fraction, then Z, +HH:MM, -HH:MM,
or nothing for this machine's local time. species: abbreviations separated by ';'.

Exit status:
  0  written
  1  no recording lies within the track's time span ("No time overlap"); nothing written
  2  usage error, or unreadable or invalid input; nothing written
  3  the write failed; the destination is untouched
)";
}

} // namespace pelorin::cli
