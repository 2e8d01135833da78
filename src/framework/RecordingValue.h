#pragma once

#include "framework/HostRecording.h"
#include "georef/Recording.h"

#include <QList>

#include <chrono>
#include <string>
#include <vector>

namespace pelorin {

// A host recording as the core sees it: the instant (none for a row without a
// date), the file name in UTF-8
// and each species' abbreviation ("" where the host has none). Header only:
// the core's Recording is a plain struct, so the framework links nothing more.
// Each species' abbreviation, "" where the host has none.
inline std::vector<std::string> speciesAbbreviations(const HostRecording &recording) {
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(recording.mySpecies().size()));
    for (const HostSpecies &species : recording.mySpecies()) {
        const bool named = species.myTaxon && species.myTaxon->abbrev;
        out.push_back(named ? species.myTaxon->abbrev->toStdString() : std::string());
    }
    return out;
}

inline Recording toRecording(const HostRecording &recording) {
    Recording out;
    out.recordingTime =
        RecordingTime(std::chrono::milliseconds(recording.recordingTime().toMSecsSinceEpoch()));
    if (!recording.recordingTime().isValid())
        out.timeSource = StartTimeSource::None; // a row without a date: the pass says no-time
    out.filename = recording.filename().toStdString();
    out.species = speciesAbbreviations(recording);
    return out;
}

inline std::vector<Recording> toRecordings(const QList<HostRecording> &recordings) {
    std::vector<Recording> out;
    out.reserve(static_cast<std::size_t>(recordings.size()));
    for (const HostRecording &recording : recordings)
        out.push_back(toRecording(recording));
    return out;
}

} // namespace pelorin
