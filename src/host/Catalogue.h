#pragma once

#include "framework/HostRecording.h"
#include "recordings/RecordingsCsv.h"

#include <QList>
#include <QString>

#include <vector>

namespace pelorin {

struct CatalogueLoad {
    QList<HostRecording> recordings; // file order
    QString error;                   // empty when the catalogue was read
    bool ok() const { return error.isEmpty(); }
};

// Reads a recordings catalogue (CSV) for the table.
CatalogueLoad loadCatalogue(const QString &path);

// Writes recordings as a catalogue, whole or not at all; returns the reason
// when it could not be written, "" when it was.
QString saveCatalogue(const QString &path, const QList<HostRecording> &recordings);

// What the user is told when a catalogue can't be read: the file, then each
// problem with its line (the first few when there are many).
QString catalogueErrorMessage(const QString &path, const std::vector<CsvError> &errors);

} // namespace pelorin
