#include "cli/BatchCommand.h"

#include "cli/PipelinedKml.h"
#include "fileio/AtomicWrite.h"
#include "georef/GeoRef.h"
#include "gpx/GpxReader.h"
#include "kml/KmlWriter.h"
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

namespace {

std::string utcText(std::chrono::sys_seconds instant) {
    const std::time_t seconds = instant.time_since_epoch().count();
    std::tm parts{};
    char text[32] = "?";
    if (gmtime_r(&seconds, &parts))
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

// Messages from the core may already name the file; say it once.
void reportAbout(std::ostream &err, const std::string &path, std::string_view what,
                 const std::string &message) {
    if (message.find(path) != std::string::npos)
        err << "pelorin: " << message << '\n';
    else
        err << path << ": " << what << message << '\n';
}

void reportGpxError(std::ostream &err, const std::string &path, const GpxError &error) {
    switch (error.kind) {
    case GpxError::Kind::Parse:
        err << path << ':' << error.line << ':' << error.column << ": Parsing Error!\n"
            << "Error " << error.code << ", Description: " << error.description << ", Line: " << error.line
            << ", Column: " << error.column << '\n';
        return;
    case GpxError::Kind::Unreadable:
        reportAbout(err, path, "cannot read the GPS log: ", error.description);
        return;
    case GpxError::Kind::Cancelled:
        err << path << ": reading the GPS log was cancelled\n";
        return;
    }
}

// "file:line: message", as compilers write them. Whole-file problems carry no
// line and may already name the file.
void reportCsvErrors(std::ostream &err, const std::string &path, const std::vector<CsvError> &errors) {
    for (const CsvError &error : errors) {
        if (error.line > 0)
            err << path << ':' << error.line << ": " << error.message << '\n';
        else
            reportAbout(err, path, "", error.message);
    }
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
    err << "No time overlap\n";
    if (!first) {
        err << "pelorin: the GPS log holds no point with a time\n";
        return;
    }
    err << "pelorin: the track runs from " << utcText(*first) << " to " << utcText(*last);
    if (recordings.empty()) {
        err << "; there are no recordings\n";
        return;
    }
    const auto shifted = [&](const Recording &recording) {
        return std::chrono::floor<std::chrono::seconds>(recording.recordingTime) +
               std::chrono::seconds(offsetSeconds);
    };
    err << ", the recordings with --offset " << offsetSeconds << " from "
        << utcText(shifted(recordings.front())) << " to " << utcText(shifted(recordings.back())) << '\n';
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
        err << options.recordingsDir << ": not a folder\n";
        loaded.ok = false;
        return loaded;
    }
    // Files without a start time are skipped, not fatal: a card holds what it holds.
    WavFolderResult folder = readWavFolder(options.recordingsDir);
    for (const auto &[path, reason] : folder.skipped)
        err << path << ": skipped: " << reason << '\n';
    err << "pelorin: using " << folder.recordings.size() << " WAV recordings from " << options.recordingsDir;
    if (!folder.skipped.empty())
        err << " (" << folder.skipped.size() << " skipped)";
    err << '\n';
    for (WavRecording &wav : folder.recordings)
        loaded.recordings.push_back(std::move(wav.recording));
    return loaded;
}

// What the command read and placed.
struct Survey {
    GpxResult track;
    std::vector<Recording> recordings;
    std::vector<GeoRefRecord> records;
};

// Reads the log with reader and the recordings, and places them; kWritten when
// there is a document to write.
ExitStatus readSurvey(const CliOptions &options, GpxReader &reader, Survey &survey, std::ostream &err) {
    std::future<RecordingsCsvResult> catalogue = startReadingCatalogue(options);
    survey.track = reader.parseGPXFile(options.gpxPath);
    const GpxResult &track = survey.track;
    if (!track.ok())
        reportGpxError(err, options.gpxPath, *track.error);
    LoadedRecordings loaded = loadRecordings(options, catalogue, err);
    if (!track.ok() || !loaded.ok)
        return kBadInput;

    std::vector<Recording> &recordings = survey.recordings = std::move(loaded.recordings);
    std::stable_sort(recordings.begin(), recordings.end(), [](const Recording &a, const Recording &b) {
        return a.recordingTime < b.recordingTime;
    });

    LogSink log;
    if (options.verbose)
        log = [&err](std::string_view line) { err << line << '\n'; };
    const TrackView view{track.points, {}};
    survey.records = geoRefRecordings(recordings, view, options.offsetSeconds, log);
    if (survey.records.empty()) {
        explainNoOverlap(err, track.points, recordings, options.offsetSeconds);
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
    const bool toStandardOutput = options.outputPath == "-";
    for (const std::string *input : {&options.gpxPath, &options.recordingsPath}) {
        if (!toStandardOutput && sameFile(options.outputPath, *input)) {
            err << "pelorin: the output " << options.outputPath
                << " is an input file; refusing to overwrite it\n";
            return kBadInput;
        }
    }

    Survey survey;
    const auto wrote = [&] {
        err << "pelorin: read " << survey.track.points.size() << " points, placed " << survey.records.size()
            << " of " << survey.recordings.size() << " recordings, wrote "
            << (toStandardOutput ? std::string("standard output") : options.outputPath) << '\n';
        return kWritten;
    };

    // A file is written while the log is read; when the destination cannot
    // even be opened, the inputs are still read below, so bad input is
    // reported as such before the write fails again.
    if (!toStandardOutput) {
        const PipelinedWrite pipelined = writeKmlWhileReading(
            options.outputPath, kmlOptions(options, false), [&](GpxReader &reader, KmlRest &rest) {
                const ExitStatus status = readSurvey(options, reader, survey, err);
                rest = {survey.track.hasElevation, survey.track.points, survey.records};
                return status;
            });
        if (pipelined.started) {
            if (pipelined.status == kWriteFailed)
                reportAbout(err, options.outputPath, "cannot write the document: ", pipelined.written.error);
            return pipelined.status == kWritten ? wrote() : pipelined.status;
        }
    }

    GpxReader reader;
    if (const ExitStatus status = readSurvey(options, reader, survey, err); status != kWritten)
        return status;
    const KmlOptions kml = kmlOptions(options, survey.track.hasElevation);
    const TrackView view{survey.track.points, {}};
    const auto produce = [&](const ByteSink &sink) { writeKmlDocument(kml, view, survey.records, sink); };

    if (toStandardOutput) {
        produce([&out](std::string_view bytes) {
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        });
        out.flush();
        if (!out) {
            err << "pelorin: cannot write the document to standard output\n";
            return kWriteFailed;
        }
    } else if (const WriteResult written = writeFileAtomically(options.outputPath, produce); !written) {
        reportAbout(err, options.outputPath, "cannot write the document: ", written.error);
        return kWriteFailed;
    }
    return wrote();
}

} // namespace pelorin::cli
