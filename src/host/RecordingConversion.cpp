#include "host/RecordingConversion.h"

#include <QStringList>

namespace pelorin {

HostRecording toHostRecording(const Recording &recording) {
    QList<HostSpecies> species;
    species.reserve(static_cast<qsizetype>(recording.species.size()));
    for (const std::string &abbrev : recording.species) {
        HostTaxon taxon;
        if (!abbrev.empty())
            taxon.abbrev = QString::fromStdString(abbrev);
        species.append(HostSpecies{taxon});
    }
    const qint64 msecs = recording.recordingTime.time_since_epoch().count();
    // In UTC: a local time costs a zone lookup under a global lock to make, which
    // stalls the threads that read WAV files; views show it with toLocalTime().
    return HostRecording(QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC),
                         QString::fromStdString(recording.filename), std::move(species));
}

QList<HostRecording> toHostRecordings(const std::vector<Recording> &recordings) {
    QList<HostRecording> result;
    result.reserve(static_cast<qsizetype>(recordings.size()));
    for (const Recording &recording : recordings)
        result.append(toHostRecording(recording));
    return result;
}

QString speciesColumnText(const HostRecording &recording) {
    QStringList parts;
    for (const HostSpecies &species : recording.mySpecies()) {
        if (species.myTaxon && species.myTaxon->abbrev)
            parts.append(*species.myTaxon->abbrev);
        else
            parts.append(QStringLiteral("?"));
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace pelorin
