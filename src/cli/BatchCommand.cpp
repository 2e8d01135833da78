#include "cli/BatchCommand.h"

#include "cli/GuanoWriteCommand.h"
#include "cli/Messages.h"

#include "fileio/AtomicWrite.h"
#include "fileio/InputFile.h"
#include "georef/GeoRef.h"
#include "gpx/GpxReader.h"
#include "kml/GeoJsonWriter.h"
#include "kml/GpxWriter.h"
#include "kml/KmlWriter.h"
#include "kml/SurveyKmlWriter.h"
#include "recordings/RecordingsCsv.h"
#include "recordings/WavRecording.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <future>
#include <optional>
#include <ostream>
#include <system_error>

namespace pelorin::cli {

void reportGpxError(std::ostream &err, const std::string &path, const GpxError &error) {
    switch (error.kind) {
    case GpxError::Kind::Parse:
        say(err, {path, error.line, error.column},
            error.description + " (XML error " + std::to_string(error.code) + ")");
        return;
    case GpxError::Kind::Unreadable:
        say(err, {path}, "cannot read the GPS log: " + error.description);
        return;
    case GpxError::Kind::Cancelled:
        say(err, {path}, "reading the GPS log was cancelled");
        return;
    }
}

namespace {

std::string utcText(std::chrono::sys_seconds instant) {
    const std::time_t seconds = instant.time_since_epoch().count();
    std::tm parts{};
    char text[32] = "?";
    if (gmtime_r(&seconds, &parts))
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

void reportCsvErrors(std::ostream &err, const std::string &path, const std::vector<CsvError> &errors) {
    for (const CsvError &error : errors)
        say(err, {path, error.line}, error.message);
}

// Writing the document over one of its own inputs would lose the survey's data.
bool sameFile(const std::string &a, const std::string &b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

// Says why nothing lined up, so the surveyor can see which offset would.
void explainNoOverlap(std::ostream &err, const std::vector<TrackPoint> &points,
                      const std::vector<Recording> &recordings, std::int32_t offsetSeconds) {
    std::optional<Instant> first, last;
    for (const TrackPoint &point : points) {
        if (const auto time = point.time()) {
            first = first ? std::min(*first, *time) : *time;
            last = last ? std::max(*last, *time) : *time;
        }
    }
    if (!first) {
        say(err, noTimeOverlap("the GPS log holds no point with a time"));
        return;
    }
    std::string why = "the track runs from " + utcText(*first) + " to " + utcText(*last);
    if (recordings.empty()) {
        say(err, noTimeOverlap(why + "; there are no recordings"));
        return;
    }
    const auto shifted = [&](const Recording &recording) {
        return std::chrono::floor<std::chrono::seconds>(recording.recordingTime) +
               std::chrono::seconds(offsetSeconds);
    };
    why += ", the recordings with --offset " + std::to_string(offsetSeconds) + " from " +
           utcText(shifted(recordings.front())) + " to " + utcText(shifted(recordings.back()));
    say(err, noTimeOverlap(why));
}

struct LoadedRecordings {
    std::vector<Recording> recordings;
    bool ok = true;
};

// The catalogue is read on another core while the GPS log is parsed; it only
// reads its own file, and what it finds is reported after the log's problems.
std::future<RecordingsCsvResult> startReadingCatalogue(const CliOptions &options) {
    if (!options.recordingsDir.empty())
        return {};
    try {
        return std::async(std::launch::async, readRecordingsCsv, options.recordingsPath);
    } catch (const std::system_error &) {
        return std::async(std::launch::deferred, readRecordingsCsv,
                          options.recordingsPath); // no thread to spare
    }
}

LoadedRecordings loadRecordings(const CliOptions &options, std::future<RecordingsCsvResult> &pending,
                                std::ostream &err) {
    LoadedRecordings loaded;
    if (options.recordingsDir.empty()) {
        RecordingsCsvResult catalogue = pending.get();
        reportCsvErrors(err, options.recordingsPath, catalogue.errors);
        loaded.ok = catalogue.ok();
        loaded.recordings = std::move(catalogue.recordings);
        return loaded;
    }
    std::error_code ec;
    if (!std::filesystem::is_directory(options.recordingsDir, ec)) {
        say(err, {options.recordingsDir}, "not a folder");
        loaded.ok = false;
        return loaded;
    }
    // Files without a start time are skipped, not fatal: a card holds what it holds.
    WavFolderResult folder = readWavFolder(options.recordingsDir);
    for (const auto &[path, reason] : folder.skipped)
        say(err, {path}, "skipped: " + reason);
    if (folder.recordings.empty()) {
        say(err, noWavFilesUnder(options.recordingsDir, folder.skipped.size()));
        loaded.ok = false;
        return loaded;
    }
    std::string used =
        "using " + std::to_string(folder.recordings.size()) + " WAV recordings from " + options.recordingsDir;
    if (!folder.skipped.empty())
        used += " (" + std::to_string(folder.skipped.size()) + " skipped)";
    say(err, used);
    for (WavRecording &wav : folder.recordings)
        loaded.recordings.push_back(std::move(wav.recording));
    return loaded;
}

// The survey documents (survey KML, GeoJSON, GPX): the plain KML's inputs plus
// every recording's placement; named by the transect, else by the GPS log.
SurveyDocument surveyOf(const CliOptions &options, bool hasElevation, TrackView track,
                        const std::vector<Recording> &recordings, const GeoRefResult &placed) {
    SurveyDocument survey;
    survey.name =
        options.name.empty() ? std::filesystem::path(options.gpxPath).filename().string() : options.name;
    survey.description = options.description;
    survey.track = track;
    survey.recordings = recordings;
    survey.placements = placed.placements;
    survey.tessellate = options.tessellate;
    survey.elevation = options.elevation && hasElevation;
    return survey;
}

} // namespace

ExitStatus runBatch(const CliOptions &options, std::ostream &out, std::ostream &err) {
    if (options.writeGuano)
        return runGuanoWriteBack(options, out, err);
    const bool toStandardOutput = options.outputPath == "-";
    for (const std::string *input : {&options.gpxPath, &options.recordingsPath}) {
        if (!toStandardOutput && sameFile(options.outputPath, *input)) {
            say(err, {options.outputPath}, "the output is an input file; refusing to overwrite it");
            return kBadInput;
        }
    }
    // Both inputs are looked at before either is read, so a missing one is worded the same either way.
    bool inputsReadable = true;
    for (const std::string *input : {&options.gpxPath, &options.recordingsPath}) {
        if (input->empty())
            continue;
        if (const std::string problem = inputFileProblem(*input); !problem.empty()) {
            say(err, {*input}, problem);
            inputsReadable = false;
        }
    }
    if (!inputsReadable)
        return kBadInput;

    std::future<RecordingsCsvResult> catalogue = startReadingCatalogue(options);
    GpxReader reader;
    const GpxResult track = reader.parseGPXFile(options.gpxPath);
    if (!track.ok())
        reportGpxError(err, options.gpxPath, *track.error);
    LoadedRecordings loaded = loadRecordings(options, catalogue, err);
    if (!track.ok() || !loaded.ok)
        return kBadInput;

    std::vector<Recording> &recordings = loaded.recordings;
    std::stable_sort(recordings.begin(), recordings.end(), [](const Recording &a, const Recording &b) {
        return a.recordingTime < b.recordingTime;
    });

    LogSink log;
    if (options.verbose)
        log = [&err](std::string_view line) { say(err, line); };
    const TrackView view{track.points, {}};
    const GeoRefResult placed = placeRecordings(recordings, view, options.offsetSeconds, {}, log);
    const std::vector<GeoRefRecord> &records = placed.records;
    if (records.empty()) {
        explainNoOverlap(err, track.points, recordings, options.offsetSeconds);
        return kNoTimeOverlap;
    }

    KmlOptions kml;
    kml.transectName = options.name;
    kml.transectDesc = options.description;
    kml.tessellate = options.tessellate;
    kml.elevation = options.elevation;
    kml.hasElevation = track.hasElevation;
    const SurveyDocument survey = surveyOf(options, track.hasElevation, view, recordings, placed);
    const auto produce = [&](const ByteSink &sink) {
        switch (options.format) {
        case OutputFormat::GeoJson:
            return writeGeoJson(survey, sink);
        case OutputFormat::Gpx:
            return writeGpx(survey, sink);
        case OutputFormat::Kml:
            break;
        }
        if (options.kmlStyle == KmlStyle::Survey)
            writeSurveyKml(survey, sink);
        else
            writeKmlDocument(kml, view, records, sink);
    };

    if (toStandardOutput) {
        produce([&out](std::string_view bytes) {
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        });
        out.flush();
        if (!out) {
            say(err, "cannot write the document to standard output");
            return kWriteFailed;
        }
    } else if (const WriteResult written = writeFileAtomically(options.outputPath, produce); !written) {
        say(err, {options.outputPath}, written.error);
        return kWriteFailed;
    }

    say(err, "read " + std::to_string(track.points.size()) + " points, placed " +
                 std::to_string(records.size()) + " of " + std::to_string(recordings.size()) +
                 " recordings, wrote " +
                 (toStandardOutput ? std::string("standard output") : options.outputPath));
    return kWritten;
}

} // namespace pelorin::cli
