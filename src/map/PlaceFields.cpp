#include "map/PlaceFields.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace pelorin {

QStringList speciesOf(const QString &text) {
    if (text.trimmed().compare(QLatin1String("No species"), Qt::CaseInsensitive) == 0)
        return {};
    static const QRegularExpression separators(QStringLiteral("[;,]"));
    QStringList result;
    for (const QString &part : text.split(separators, Qt::SkipEmptyParts)) {
        const QString species = part.trimmed();
        if (!species.isEmpty() && !result.contains(species))
            result << species;
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
    if (inDocument.isEmpty() || fileName.isEmpty())
        return false;
    const QFileInfo a(inDocument);
    const QFileInfo b(fileName);
    return a.fileName() == b.fileName() || a.fileName() == b.completeBaseName();
}

} // namespace pelorin
