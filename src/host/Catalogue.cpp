#include "host/Catalogue.h"

#include "fileio/AtomicWrite.h"
#include "host/RecordingConversion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>

namespace pelorin {

namespace {
constexpr std::size_t kMaxListedErrors = 10;

QString tr(const char *text) {
    return QCoreApplication::translate("pelorin::Catalogue", text);
}
} // namespace

CatalogueLoad loadCatalogue(const QString &path) {
    const RecordingsCsvResult csv = readRecordingsCsv(QFile::encodeName(path).toStdString());
    if (!csv.ok())
        return {{}, catalogueErrorMessage(path, csv.errors)};
    return {toHostRecordings(csv.recordings), {}};
}

QString saveCatalogue(const QString &path, const QList<HostRecording> &recordings) {
    std::vector<Recording> plain;
    plain.reserve(static_cast<std::size_t>(recordings.size()));
    for (const HostRecording &recording : recordings)
        plain.push_back(toRecording(recording));
    const std::string csv = recordingsCsv(plain);
    const WriteResult written = writeFileAtomically(QFile::encodeName(path).toStdString(),
                                                    [&csv](const ByteSink &sink) { sink(csv); });
    if (written)
        return {};
    // The writer's message names the file.
    return tr("The catalogue was not saved. %1").arg(QString::fromStdString(written.error));
}

QString catalogueErrorMessage(const QString &path, const std::vector<CsvError> &errors) {
    QStringList lines;
    lines.append(tr("The catalogue %1 could not be read.").arg(QDir::toNativeSeparators(path)));
    for (std::size_t i = 0; i < errors.size() && i < kMaxListedErrors; ++i) {
        const CsvError &error = errors[i];
        const QString message = QString::fromStdString(error.message);
        lines.append(error.line > 0 ? tr("Line %1: %2").arg(error.line).arg(message) : message);
    }
    if (errors.size() > kMaxListedErrors)
        lines.append(QCoreApplication::translate("pelorin::Catalogue", "… and %n more problem(s).", nullptr,
                                                 static_cast<int>(errors.size() - kMaxListedErrors)));
    return lines.join(QLatin1Char('\n'));
}

} // namespace pelorin
