#include "cli/PipelinedKml.h"

#include "documents/KmlTrackStream.h"

namespace pelorin::cli {

namespace {

// Thrown into the atomic write so that it discards what was written ahead.
struct NothingToWrite {};

} // namespace

PipelinedWrite writeKmlWhileReading(const std::string &path, const KmlOptions &options,
                                    const ReadForKml &read) {
    PipelinedWrite result;
    result.written = writeFileAtomically(path, [&](const ByteSink &sink) {
        result.started = true;
        KmlTrackStream stream(options, sink);
        GpxReader reader;
        reader.setReadOnTwoCores(true);
        reader.setVerdictLater(true);
        reader.setPointObserver([&stream](const TrackPoint &point, bool hasElevationSoFar) {
            stream.add(point, hasElevationSoFar);
        });
        KmlRest rest;
        result.status = read(reader, rest);
        if (result.status == kWritten)
            stream.finish(rest.hasElevation, rest.track, rest.records);
        result.logRefused = !reader.expatAgrees();
        if (result.status != kWritten || result.logRefused) {
            stream.abandon();
            throw NothingToWrite{};
        }
        if (rest.documentMade)
            rest.documentMade();
    });
    if (result.status == kWritten && !result.written)
        result.status = kWriteFailed;
    return result;
}

} // namespace pelorin::cli
