#include "cli/BatchCommand.h"

#include "cli/SurveyInputs.h"

#include "cli/GpsLogs.h"
#include "cli/Messages.h"
#include "cli/PipelinedKml.h"

#include "documents/DocumentChoice.h"
#include "documents/KmlWriter.h"
#include "fileio/AtomicWrite.h"
#include "fileio/InputFile.h"
#include "georef/GeoRef.h"
#include "georef/OffsetDiagnosis.h"
#include "georef/PlacementReport.h"
#include "georef/PlacementSummary.h"
#include "georef/RecorderPositionCheck.h"
#include "georef/SyncOffset.h"
#include "gpx/Coordinate.h"
#include "gpx/GpxReader.h"
#include "recordings/RecordingsCsv.h"
#include "recordings/WavRecording.h"
#include "text/NumberText.h"
#include "text/TimeText.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <future>
#include <optional>
#include <ostream>
#include <sstream>
#include <system_error>
#include <thread>

namespace pelorin::cli {

namespace {

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
    std::string why = "the track runs from " + utcIsoText(*first) + " to " + utcIsoText(*last);
    if (recordings.empty()) {
        say(err, noTimeOverlap(why + "; there are no recordings"));
        return;
    }
    const auto shifted = [&](const Recording &recording) {
        return std::chrono::floor<std::chrono::seconds>(recording.recordingTime) +
               std::chrono::seconds(offsetSeconds);
    };
    why += ", the recordings with --offset " + std::to_string(offsetSeconds) + " from " +
           utcIsoText(shifted(recordings.front())) + " to " + utcIsoText(shifted(recordings.back()));
    say(err, noTimeOverlap(why));
}

// Where the report's rows, in input order, are among the recordings sorted by time.
std::vector<std::uint32_t> inputOrder(const std::vector<std::uint32_t> &sortedFrom) {
    std::vector<std::uint32_t> rows(sortedFrom.size());
    for (std::size_t k = 0; k < sortedFrom.size(); ++k)
        rows[sortedFrom[k]] = static_cast<std::uint32_t>(k);
    return rows;
}

// Sends a document to standard output or atomically to its file; says why it failed.
bool writeDocument(const std::string &path, std::string_view what,
                   const std::function<void(const ByteSink &)> &produce, std::ostream &out,
                   std::ostream &err) {
    if (path == "-") {
        produce([&out](std::string_view bytes) {
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        });
        out.flush();
        if (!out) {
            say(err, "cannot write the " + std::string(what) + " to standard output");
            return false;
        }
        return true;
    }
    if (const WriteResult written = writeFileAtomically(path, produce); !written) {
        say(err, {path}, written.error);
        return false;
    }
    return true;
}

struct LoadedRecordings {
    std::vector<Recording> recordings;
    bool ok = true;
};

// The catalogue is read on another core while the GPS log is parsed; it only
// reads its own file, and what it finds is reported after the log's problems.
std::future<RecordingsCsvResult> startReadingCatalogue(const CliOptions &options, const RecorderZone *zone) {
    if (!options.recordingsDir.empty())
        return {};
    const auto read = [path = options.recordingsPath, zone] { return readRecordingsCsv(path, zone); };
    try {
        return std::async(std::launch::async, read);
    } catch (const std::system_error &) {
        return std::async(std::launch::deferred, read); // no thread to spare
    }
}

LoadedRecordings loadRecordings(const CliOptions &options, std::future<RecordingsCsvResult> &pending,
                                const RecorderZone *zone, std::ostream &err) {
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
    WavFolderResult folder = readWavFolder(options.recordingsDir, zone);
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
    for (WavRecording &wav : folder.recordings) {
        if (wav.recording.timeSource == StartTimeSource::ModificationTime)
            say(err, {wav.recording.filename},
                "the start time is the file's modification time, which copying a card can change");
        loaded.recordings.push_back(std::move(wav.recording));
    }
    return loaded;
}

// --at middle or end needs each recording's length; those without one are placed by their start.
void warnAboutLengths(std::ostream &err, RecordingMoment at, const std::vector<Placement> &placements) {
    if (at == RecordingMoment::Start)
        return;
    const auto byStart = std::count_if(placements.begin(), placements.end(), [&](const Placement &placement) {
        return placement.status != PlacementStatus::NoTime && placement.placedAt != at;
    });
    if (byStart > 0)
        say(err, "warning: no known length for " + std::to_string(byStart) +
                     (byStart == 1 ? " recording" : " recordings") + "; placed by the start, not the " +
                     std::string(recordingMomentName(at)));
}

// What one run reads and makes of it, kept for the documents written after.
struct Survey {
    std::vector<std::string> gpxPaths; // the files, folders opened
    GpsLogs logs;
    std::vector<Recording> recordings;     // in time order
    std::vector<std::uint32_t> sortedFrom; // where each came in the order given
    GeoRefResult placed;
    std::string summary;
};

// Reads the log with reader and the recordings, places them and says what
// became of them; anything but kWritten means nothing is to be written.
ExitStatus readSurvey(const CliOptions &options, const RecorderZone *zone, GpxReader &reader, Survey &survey,
                      std::ostream &err) {
    std::future<RecordingsCsvResult> catalogue = startReadingCatalogue(options, zone);
    const bool trackUsable = readGpsLogs(survey.gpxPaths, reader, survey.logs, err);
    const GpxResult &track = survey.logs.track;
    LoadedRecordings loaded = loadRecordings(options, catalogue, zone, err);
    if (!trackUsable || !loaded.ok)
        return kBadInput;

    warnAboutTimes(err, loaded.recordings);
    const TrackView view{track.points, {}};
    const std::optional<ClockSetting> clock = clockSetting(options, loaded.recordings, view, zone, err);
    if (!clock)
        return kBadInput;
    const std::int32_t offset = clock->offsetSeconds;

    // The pass and the document take the recordings in time order, the report
    // in the order given.
    std::vector<std::uint32_t> &sortedFrom = survey.sortedFrom;
    sortedFrom.resize(loaded.recordings.size());
    for (std::size_t i = 0; i < sortedFrom.size(); ++i)
        sortedFrom[i] = static_cast<std::uint32_t>(i);
    std::stable_sort(sortedFrom.begin(), sortedFrom.end(), [&](std::uint32_t a, std::uint32_t b) {
        return loaded.recordings[a].recordingTime < loaded.recordings[b].recordingTime;
    });
    std::vector<Recording> &recordings = survey.recordings;
    recordings.reserve(sortedFrom.size());
    for (const std::uint32_t i : sortedFrom)
        recordings.push_back(std::move(loaded.recordings[i]));
    std::vector<Recording>().swap(loaded.recordings);

    PlacementOptions placementOptions;
    placementOptions.maxGapSeconds = options.maxGapSeconds;
    placementOptions.splitSegments = options.splitSegments;
    placementOptions.drift = clock->drift ? &*clock->drift : nullptr;
    placementOptions.at = options.at;
    survey.placed = placeRecordings(recordings, view, offset, placementOptions);
    survey.logs.nameLogs(survey.placed.placements);
    const std::vector<Placement> &placements = survey.placed.placements;
    warnAboutLengths(err, options.at, placements);
    if (options.verbose) {
        std::string line;
        for (std::size_t k = 0; k < recordings.size(); ++k) {
            if (placements[k].status == PlacementStatus::Interpolated) {
                line.assign("fraction ");
                appendFixed6(line, placements[k].fraction);
                say(err, line + ' ' + recordings[k].filename);
            } else if (!placements[k].placed()) {
                say(err, unplacedText(recordings[k], placements[k]));
            }
        }
    }
    survey.summary = placementSummary(placements, survey.logs.badCoordinates);
    if (const std::string agreement = recorderDistanceText(recordings, placements); !agreement.empty())
        survey.summary += "; " + agreement;
    const std::size_t placed = survey.placed.records.size();
    if (placed == 0)
        explainNoOverlap(err, track.points, recordings, offset);
    // Fewer than half placed: say which clock offset would place more.
    if (placed * 2 < recordings.size()) {
        if (const OffsetDiagnosis diagnosis = diagnoseOffset(recordings, view, offset);
            diagnosis.worthTelling())
            say(err, diagnosisText(diagnosis, OffsetWording::CommandOption));
        // The candidates are fixed offsets, tried without the drift.
        PlacementOptions fixed = placementOptions;
        fixed.drift = nullptr;
        if (const auto nearest = offsetNearestRecorderPositions(recordings, view, offset, fixed))
            say(err, positionOffsetText(*nearest));
    }
    if (placed == 0) {
        say(err, survey.summary);
        return kNoTimeOverlap;
    }
    return kWritten;
}

KmlOptions kmlOptions(const CliOptions &options, bool hasElevation) {
    KmlOptions kml;
    kml.transectName = options.name;
    kml.transectDesc = options.description;
    kml.tessellate = options.tessellate;
    kml.elevation = options.elevation;
    kml.hasElevation = hasElevation;
    return kml;
}

} // namespace

ExitStatus runBatch(const CliOptions &options, std::ostream &out, std::ostream &err) {
    Survey survey;
    if (auto files = gpxFilesNamed(options.gpxPaths, err))
        survey.gpxPaths = std::move(*files);
    else
        return kBadInput;
    std::vector<const std::string *> inputs{&options.recordingsPath};
    for (const std::string &path : survey.gpxPaths)
        inputs.push_back(&path);
    for (const std::string *output : {&options.outputPath, &options.reportPath}) {
        if (output->empty() || *output == "-")
            continue;
        for (const std::string *input : inputs) {
            if (sameFile(*output, *input)) {
                say(err, {*output}, "the output is an input file; refusing to overwrite it");
                return kBadInput;
            }
        }
    }
    if (!options.outputPath.empty() && options.outputPath != "-" &&
        (options.outputPath == options.reportPath || sameFile(options.outputPath, options.reportPath))) {
        say(err, {options.outputPath}, "--output and --report name the same file");
        return kBadInput;
    }
    // Both inputs are looked at before either is read, so a missing one is worded the same either way.
    bool inputsReadable = true;
    for (const std::string *input : inputs) {
        if (input->empty())
            continue;
        if (const std::string problem = inputFileProblem(*input); !problem.empty()) {
            say(err, {*input}, problem);
            inputsReadable = false;
        }
    }
    if (!inputsReadable)
        return kBadInput;

    std::optional<RecorderZone> recorderZone;
    if (!findRecorderZone(options, recorderZone, err))
        return kBadInput;
    const RecorderZone *zone = recorderZone ? &*recorderZone : nullptr;

    std::string wrote;
    bool documentWritten = false;
    // The plain document to a file is written while the log is read: its track
    // lines as the points are found, the rest while expat finishes its check.
    // When the destination cannot even be opened, the inputs are still read
    // below, so bad input is reported as such first.
    const bool pipelined = !options.outputPath.empty() && options.outputPath != "-" &&
                           options.format == OutputFormat::Kml && options.kmlStyle == KmlStyle::Plain &&
                           survey.gpxPaths.size() == 1;
    // The log's points, once the document holds them, are let go on another
    // core while the file goes to disk.
    std::jthread lettingGo;
    if (pipelined) {
        std::ostringstream held; // told once expat agrees with the scan that read the log
        const PipelinedWrite write = writeKmlWhileReading(
            options.outputPath, kmlOptions(options, false), [&](GpxReader &reader, KmlRest &rest) {
                const ExitStatus status = readSurvey(options, zone, reader, survey, held);
                rest = {survey.logs.track.hasElevation, survey.logs.track.points, survey.placed.records, [&] {
                            try {
                                lettingGo = std::jthread([points = std::move(survey.logs.track.points)] {});
                            } catch (const std::system_error &) {
                            }
                        }};
                return status;
            });
        if (write.logRefused) {
            // Read again by expat alone, which says what is wrong with the log.
            Survey again{survey.gpxPaths, {}, {}, {}, {}, {}};
            GpxReader reader;
            const ExitStatus status = readSurvey(options, zone, reader, again, err);
            return status == kWritten ? kBadInput : status;
        }
        err << held.str();
        if (write.started) {
            if (write.status == kWriteFailed)
                say(err, {options.outputPath}, write.written.error);
            if (write.status != kWritten)
                return write.status;
            documentWritten = true;
            wrote = options.outputPath;
        }
    }
    if (!documentWritten) {
        GpxReader reader;
        reader.setReadOnTwoCores(true);
        if (const ExitStatus status = readSurvey(options, zone, reader, survey, err); status != kWritten)
            return status;
    }
    const TrackView view{survey.logs.track.points, {}};

    if (!options.outputPath.empty() && !documentWritten) {
        const KmlOptions kml = kmlOptions(options, survey.logs.track.hasElevation);
        SurveyDocument document =
            surveyDocument(kml, survey.logs.names.front(), view, survey.recordings, survey.placed.placements);
        const std::vector<TrackLog> trackLogs = survey.logs.trackLogs();
        document.logs = trackLogs;
        const auto produce = [&](const ByteSink &sink) {
            writeChosenDocument(options.format, options.kmlStyle, document, kml, survey.placed.records, sink);
        };
        if (!writeDocument(options.outputPath, "document", produce, out, err))
            return kWriteFailed;
        wrote = options.outputPath == "-" ? "standard output" : options.outputPath;
    }
    if (!options.reportPath.empty()) {
        const std::vector<std::uint32_t> rows = inputOrder(survey.sortedFrom);
        const auto produce = [&](const ByteSink &sink) {
            writePlacementReport(survey.recordings, survey.placed.placements, sink, rows);
        };
        if (!writeDocument(options.reportPath, "report", produce, out, err))
            return kWriteFailed;
        wrote += (wrote.empty() ? "" : " and ") +
                 (options.reportPath == "-" ? std::string("standard output") : options.reportPath);
    }

    say(err, survey.summary + "; " + survey.logs.readText() + ", wrote " + wrote);
    return kWritten;
}

} // namespace pelorin::cli
