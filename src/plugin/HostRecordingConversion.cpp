#include "plugin/HostRecordingConversion.h"

#include <chrono>

namespace pelorin {

Recording toRecording(const HostRecording &recording) {
    Recording out;
    out.recordingTime =
        RecordingTime(std::chrono::milliseconds(recording.recordingTime().toMSecsSinceEpoch()));
    out.filename = recording.filename().toStdString();
    out.species.reserve(static_cast<std::size_t>(recording.mySpecies().size()));
    for (const HostSpecies &species : recording.mySpecies()) {
        const bool named = species.myTaxon && species.myTaxon->abbrev;
        out.species.push_back(named ? species.myTaxon->abbrev->toStdString() : std::string());
    }
    return out;
}

std::vector<Recording> toRecordings(const QList<HostRecording> &recordings) {
    std::vector<Recording> out;
    out.reserve(static_cast<std::size_t>(recordings.size()));
    for (const HostRecording &recording : recordings)
        out.push_back(toRecording(recording));
    return out;
}

} // namespace pelorin
