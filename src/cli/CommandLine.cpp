#include "cli/CommandLine.h"

#include "text/NumberText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

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
    WriteGuano,
    OverwritePositions,
    DryRun,
    KmlStyle,
    Format,
    Report,
    MaxGap,
    SplitSegments,
    Sync,
    RecorderTz,
    At
};

struct OptionInfo {
    std::string_view name; // without the leading "--"
    Id id;
    bool takesValue;
};

constexpr std::array<OptionInfo, 22> kOptions{{
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
    {"write-guano", Id::WriteGuano, false},
    {"overwrite-positions", Id::OverwritePositions, false},
    {"dry-run", Id::DryRun, false},
    {"kml-style", Id::KmlStyle, true},
    {"format", Id::Format, true},
    {"report", Id::Report, true},
    {"max-gap", Id::MaxGap, true},
    {"split-segments", Id::SplitSegments, false},
    {"sync", Id::Sync, true},
    {"recorder-tz", Id::RecorderTz, true},
    {"at", Id::At, true},
}};

constexpr std::size_t indexOf(Id id) {
    for (std::size_t i = 0; i < kOptions.size(); ++i)
        if (kOptions[i].id == id)
            return i;
    return kOptions.size();
}

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
        if (option.id == Id::Gpx) {
            options.gpxPaths.emplace_back(value);
            return {};
        }
        (option.id == Id::Recordings      ? options.recordingsPath
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
    case Id::WriteGuano:
        options.writeGuano = true;
        return {};
    case Id::OverwritePositions:
        options.overwritePositions = true;
        return {};
    case Id::DryRun:
        options.dryRun = true;
        return {};
    case Id::KmlStyle:
        if (value == "plain" || value == "survey") {
            options.kmlStyle = value == "plain" ? KmlStyle::Plain : KmlStyle::Survey;
            return {};
        }
        return "option --kml-style needs plain or survey, not '" + std::string(value) + "'";
    case Id::Format:
        if (value == "kml" || value == "geojson" || value == "gpx") {
            options.format = value == "kml"       ? OutputFormat::Kml
                             : value == "geojson" ? OutputFormat::GeoJson
                                                  : OutputFormat::Gpx;
            return {};
        }
        return "option --format needs kml, geojson or gpx, not '" + std::string(value) + "'";
    case Id::Report:
        if (value.empty())
            return "option --report needs a file name";
        options.reportPath = value;
        return {};
    case Id::MaxGap:
        if ((options.maxGapSeconds = parseSeconds(value)))
            return {};
        return "option --max-gap needs a positive number of seconds, not '" + std::string(value) + "'";
    case Id::SplitSegments:
        options.splitSegments = true;
        return {};
    case Id::Sync: {
        const std::size_t equals = value.find('=');
        if (equals == std::string_view::npos || equals == 0 || equals + 1 == value.size())
            return "option --sync needs RECORDING=WAYPOINT or RECORDER_TIME=GPS_TIME, not '" +
                   std::string(value) + "'";
        options.syncs.emplace_back(value.substr(0, equals), value.substr(equals + 1));
        return {};
    }
    case Id::RecorderTz:
        if (value.empty())
            return "option --recorder-tz needs a time zone name such as Europe/Berlin";
        options.recorderZone = value;
        return {};
    case Id::At:
        if (const std::optional<RecordingMoment> moment = recordingMomentNamed(value)) {
            options.at = *moment;
            return {};
        }
        return "option --at needs start, middle or end, not '" + std::string(value) + "'";
    }
    return {};
}

} // namespace

std::optional<std::int32_t> parseOffset(std::string_view text) {
    const IntReading reading = readInt(text);
    if (!reading.whole)
        return std::nullopt;
    return reading.value;
}

std::optional<double> parseSeconds(std::string_view text) {
    double value = 0;
    const char *end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    if (text.empty() || ec != std::errc() || ptr != end || !(value > 0) || !std::isfinite(value))
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
        if (seen[index] && option->id != Id::Sync && option->id != Id::Gpx)
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

    const bool writeGuano = parsed.options.writeGuano;
    if ((parsed.options.overwritePositions || parsed.options.dryRun) && !writeGuano)
        return usageError("options --overwrite-positions and --dry-run go with --write-guano");
    if (writeGuano && (!parsed.options.recordingsPath.empty() || !parsed.options.outputPath.empty() ||
                       !parsed.options.reportPath.empty()))
        return usageError("option --write-guano writes into the WAV files of --recordings-dir; it takes no "
                          "--recordings, --output or --report");
    std::string missing;
    for (std::size_t i = 0; i < kOptions.size(); ++i) {
        const bool required =
            kOptions[i].id == Id::Gpx || (kOptions[i].id == Id::RecordingsDir && writeGuano);
        if (required && !seen[i])
            missing += (missing.empty() ? "--" : ", --") + std::string(kOptions[i].name);
    }
    const bool fromCatalogue = !parsed.options.recordingsPath.empty();
    const bool fromFolder = !parsed.options.recordingsDir.empty();
    if (fromCatalogue && fromFolder)
        return usageError("give either --recordings or --recordings-dir, not both");
    if (!fromCatalogue && !fromFolder && !writeGuano)
        missing += (missing.empty() ? "--" : ", --") + std::string("recordings (or --recordings-dir)");
    if (parsed.options.outputPath.empty() && parsed.options.reportPath.empty() && !writeGuano)
        missing += (missing.empty() ? "--" : ", --") + std::string("output (or --report)");
    if (!missing.empty())
        return usageError("missing required option(s): " + missing);
    if (seen[indexOf(Id::Sync)] && seen[indexOf(Id::Offset)])
        return usageError("give either --offset or --sync, not both");
    if (parsed.options.outputPath == "-" && parsed.options.reportPath == "-")
        return usageError("--output and --report cannot both be standard output");
    if (parsed.options.open && (parsed.options.outputPath == "-" || parsed.options.outputPath.empty()))
        return usageError("option --open needs an output file, not standard output");

    if (!seen[indexOf(Id::Format)])
        parsed.options.format = formatOfPath(parsed.options.outputPath);
    if (parsed.options.kmlStyle == KmlStyle::Survey && parsed.options.format != OutputFormat::Kml)
        return usageError("option --kml-style applies to KML output only");

    parsed.action = ParsedCommandLine::Action::Run;
    return parsed;
}

std::string_view usageText() {
    return R"(Usage: pelorin --gpx TRACK.gpx (--recordings RECORDINGS.csv | --recordings-dir DIR)
               (--output OUT.kml | --report REPORT.csv | both) [OPTIONS]
       pelorin --gpx TRACK.gpx --recordings-dir DIR --write-guano [--overwrite-positions] [--dry-run] [OPTIONS]

Places each sound recording on the GPS track by its start time and writes the
track and the recordings as a KML 2.2 document (or GeoJSON, or GPX).

Required:
  --gpx FILE|DIR      the GPS log (GPX); given several times, or a folder (every
                      .gpx file below it, in natural order), the logs are
                      placed in time order as one track, each log's end a
                      segment's end
  --recordings FILE   the recordings: UTF-8 CSV with a header row naming
                      filename, recording_time and species (other columns ignored)
  --recordings-dir DIR
                      instead of --recordings: every WAV file below DIR; the start
                      time comes from GUANO metadata, the bext chunk, a
                      YYYYMMDD_HHMMSS in the file name, or the file's modification
                      time, the first found; species from GUANO
  --output FILE       the KML file to write, replaced whole; - for standard output
  --report FILE       the placement of every recording as CSV (file name, species,
                      start time as given and where it came from, corrected UTC
                      time, status, position, elevation, seconds to the nearest
                      fix, gap, uncertainty in metres); - for standard output.
                      At least one of --output and --report is needed.

Options:
  --offset SECONDS    the clock offset D, a whole number of seconds (default 0).
                      D is added to the recorder's time: a recorder whose clock
                      runs 37 s behind the GPS logger needs --offset 37; one that
                      runs ahead needs a negative offset.
  --sync RECORDING=WAYPOINT
                      instead of --offset: the offset that puts RECORDING's start
                      at the time of the waypoint named WAYPOINT, for a recording
                      started where the waypoint was marked on the logger
  --sync RECORDER_TIME=GPS_TIME
                      the same from two ISO times: what the recorder's clock
                      showed when the GPS showed the other. --sync may be given
                      several times: the offset then drifts linearly between the
                      sync points (and beyond them as between the nearest two)
  --at MOMENT         start (default), middle or end: the moment of each
                      recording placed, from the catalogue's duration_s or the
                      WAV file's length; a recording of unknown length is
                      placed by its start
  --recorder-tz ZONE  the time zone (an IANA name such as Europe/Berlin) of
                      recording times given without one; default: this machine's
  --name TEXT         the transect's name in the document
  --description TEXT  the transect's description
  --tessellate        let the track line follow the terrain
  --elevation         give the track line the logged elevations
  --open              open the written file with the default application
  --max-gap SECONDS   leave a recording unplaced (in-gap) when the two fixes
                      around it lie more than SECONDS apart (default: no limit)
  --split-segments    never interpolate across the boundary of two track
                      segments (trkseg or trk), nor between a waypoint and
                      another fix
  --verbose           print each interpolation fraction with its recording, and
                      why each unplaced recording was not placed
  --write-guano       instead of a KML document: write each placed recording's
                      position into its WAV file's GUANO metadata, in place
                      (needs --recordings-dir; no --output)
  --overwrite-positions
                      with --write-guano: replace a position already in a file
  --dry-run           with --write-guano: list what would change on standard
                      output, write nothing
  --kml-style STYLE   plain (default): the document as always; survey: the track
                      by segment, waypoints and one folder per species, each
                      recording with its corrected time and placement fields
  --format FORMAT     kml, geojson (RFC 7946) or gpx (GPX 1.1); by default
                      from the output's extension (.geojson or .json, .gpx;
                      anything else is KML)
  --help              show this help and exit
  --version           show the version and exit
Every option also takes the form --option=VALUE.

recording_time: YYYY-MM-DDTHH:MM:SS, an optional fraction, then Z, +HH:MM, -HH:MM,
or nothing for this machine's local time. species: abbreviations separated by ';'.

Exit status:
  0  written
  1  no recording lies within the track's time span ("no time overlap"); nothing written
  2  usage error, or unreadable or invalid input; nothing written
  3  the write failed; the destination is untouched
  4  --write-guano: some files were refused (listed); the others were written
)";
}

} // namespace pelorin::cli
