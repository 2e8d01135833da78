#include "map/PlaceFields.h"

#include "text/SpeciesList.h"

#include <QFileInfo>

namespace pelorin {

QStringList speciesOf(const QString &text) {
    if (text.trimmed().compare(QLatin1String("No species"), Qt::CaseInsensitive) == 0)
        return {};
    // A placemark's name lists them with commas, the survey documents' fields with semicolons.
    QStringList result;
    for (const std::string &species : splitSpeciesList(text.toStdString(), ";,")) {
        if (const QString name = QString::fromStdString(species); !result.contains(name))
            result << name;
    }
    return result;
}

QString recordingFromDescription(const QString &description) {
    for (QStringView line : QStringView(description).split(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u"File "))
            return line.mid(5).trimmed().toString();
    }
    return {};
}

bool sameRecording(const QString &inDocument, const QString &fileName) {
    return RecordingNames({fileName}).contains(inDocument);
}

RecordingNames::RecordingNames(const QStringList &files) {
    for (const QString &file : files) {
        if (file.isEmpty())
            continue;
        const QFileInfo info(file);
        names_.insert(info.fileName());
        bases_.insert(info.completeBaseName());
    }
}

bool RecordingNames::contains(const QString &inDocument) const {
    if (inDocument.isEmpty() || names_.isEmpty())
        return false;
    const QString name = QFileInfo(inDocument).fileName();
    return names_.contains(name) || bases_.contains(name);
}

} // namespace pelorin
