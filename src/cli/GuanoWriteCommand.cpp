#include "cli/GuanoWriteCommand.h"

#include "cli/GpsLogs.h"
#include "cli/Messages.h"
#include "cli/SurveyInputs.h"
#include "georef/GeoRef.h"
#include "gpx/GpxReader.h"
#include "recordings/GuanoFileWrite.h"
#include "recordings/WavRecording.h"
#include "text/TimeText.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <ostream>

namespace pelorin::cli {

namespace {

struct Tally {
    std::size_t written = 0, upToDate = 0, kept = 0, notPlaced = 0, refused = 0;
};

void printSummary(std::ostream &err, const Tally &tally, std::size_t total, bool dryRun) {
    std::string text = std::string(dryRun ? "would write" : "wrote") + " positions into " +
                       std::to_string(tally.written) + " of " + std::to_string(total) + " recordings (" +
                       std::to_string(tally.notPlaced) + " not placed, " + std::to_string(tally.refused) +
                       " refused";
    if (tally.upToDate > 0)
        text += ", " + std::to_string(tally.upToDate) + " already up to date";
    if (tally.kept > 0)
        text += ", " + std::to_string(tally.kept) + " kept the position they had";
    say(err, text + ")");
}

} // namespace

ExitStatus runGuanoWriteBack(const CliOptions &options, std::ostream &out, std::ostream &err) {
    const std::optional<std::vector<std::string>> gpxPaths = gpxFilesNamed(options.gpxPaths, err);
    if (!gpxPaths)
        return kBadInput;
    GpxReader reader;
    reader.setReadOnTwoCores(true);
    GpsLogs logs;
    if (!readGpsLogs(*gpxPaths, reader, logs, err))
        return kBadInput;
    const GpxResult &track = logs.track;
    std::error_code ec;
    if (!std::filesystem::is_directory(options.recordingsDir, ec)) {
        say(err, {options.recordingsDir}, "not a folder");
        return kBadInput;
    }
    std::optional<RecorderZone> recorderZone;
    if (!findRecorderZone(options, recorderZone, err))
        return kBadInput;
    const WavFolderResult folder =
        readWavFolder(options.recordingsDir, recorderZone ? &*recorderZone : nullptr);
    for (const auto &[path, reason] : folder.skipped)
        say(err, {path}, "skipped: " + reason);
    if (folder.recordings.empty()) {
        say(err, noWavFilesUnder(options.recordingsDir, folder.skipped.size()));
        return kBadInput;
    }

    std::vector<Recording> recordings;
    recordings.reserve(folder.recordings.size());
    for (const WavRecording &wav : folder.recordings)
        recordings.push_back(wav.recording);
    warnAboutTimes(err, recordings);
    const TrackView view{track.points, {}};
    const std::optional<ClockSetting> clock =
        clockSetting(options, recordings, view, recorderZone ? &*recorderZone : nullptr, err);
    if (!clock)
        return kBadInput;
    PlacementOptions placementOptions;
    placementOptions.maxGapSeconds = options.maxGapSeconds;
    placementOptions.splitSegments = options.splitSegments;
    placementOptions.drift = clock->drift ? &*clock->drift : nullptr;
    placementOptions.at = options.at;
    GeoRefResult placed = placeRecordings(recordings, view, clock->offsetSeconds, placementOptions);
    logs.nameLogs(placed.placements);

    GuanoWriteRequest request;
    request.overwritePositions = options.overwritePositions;
    request.writtenAt =
        utcIsoText(std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now()));

    Tally tally;
    // Files are committed in batches, one flush per step for the whole batch;
    // a batch keeps this many files open.
    constexpr std::size_t kBatch = 256;
    std::vector<GuanoFileWrite> batch;
    std::vector<const WavRecording *> batchFiles;
    const auto commitBatch = [&] {
        if (!options.dryRun) {
            const std::vector<std::string> errors = commitGuanoWrites(batch);
            for (std::size_t i = 0; i < batch.size(); ++i) {
                if (errors[i].empty())
                    continue;
                ++tally.refused;
                say(err, {batchFiles[i]->path}, "refused: " + errors[i]);
            }
            tally.written += static_cast<std::size_t>(std::count(errors.begin(), errors.end(), ""));
        }
        batch.clear();
        batchFiles.clear();
    };
    for (std::size_t i = 0; i < folder.recordings.size(); ++i) {
        const WavRecording &wav = folder.recordings[i];
        const Placement &placement = placed.placements[i];
        if (!placement.placed()) {
            ++tally.notPlaced;
            if (options.verbose || options.dryRun)
                say(err, {wav.path},
                    "not placed (" + std::string(placementStatusName(placement.status)) + ")");
            continue;
        }
        // A drifting clock's offset is this recording's own, to the whole second as written.
        const auto offset = static_cast<std::int32_t>(
            std::llround(static_cast<double>(placement.offsetMilliseconds) / 1000.0));
        request.fields = positionFields(placement, wav.recording, placement.gpsLog, offset);
        GuanoFileWrite write(wav.path, request);
        const GuanoWritePlan &plan = write.plan();
        switch (plan.outcome) {
        case GuanoPlanOutcome::Refused:
            ++tally.refused;
            say(err, {wav.path}, "refused: " + plan.error);
            continue;
        case GuanoPlanOutcome::Unchanged:
            ++tally.upToDate;
            continue;
        case GuanoPlanOutcome::HasPosition:
            ++tally.kept;
            if (options.verbose || options.dryRun)
                say(err, {wav.path}, "has a position already; --overwrite-positions replaces it");
            continue;
        case GuanoPlanOutcome::Write:
            break;
        }
        if (options.dryRun) {
            out << wav.path << ": would " << (plan.newChunk ? "add a guan chunk" : "change its guan chunk")
                << ":\n";
            for (const std::string &change : plan.changes)
                out << "    " << change << '\n';
            ++tally.written;
            continue;
        }
        batch.push_back(std::move(write));
        batchFiles.push_back(&wav);
        if (batch.size() == kBatch)
            commitBatch();
    }
    commitBatch();
    printSummary(err, tally, folder.recordings.size(), options.dryRun);
    return tally.refused > 0 ? kSomeRefused : kWritten;
}

} // namespace pelorin::cli
