#include "map/PlaceFields.h"

#include "text/SpeciesList.h"

#include <algorithm>

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
    for (QStringView line : QStringView(description).tokenize(u'\n')) {
        line = line.trimmed();
        if (line.startsWith(u"File "))
            return line.mid(5).trimmed().toString();
    }
    return {};
}

namespace {
// What QFileInfo::fileName() and completeBaseName() give, without building a
// QFileInfo: a whole table's names are matched at once.
QStringView namePart(QStringView path) {
#ifdef Q_OS_WIN
    const qsizetype slash = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
#else
    const qsizetype slash = path.lastIndexOf(u'/');
#endif
    return path.mid(slash + 1);
}

QStringView withoutExtension(QStringView name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}
} // namespace

bool sameRecording(const QString &inDocument, const QString &fileName) {
    return RecordingNames({fileName}).contains(inDocument);
}

RecordingNames::RecordingNames(const QStringList &files) {
    names_.reserve(2 * std::size_t(files.size()));
    for (const QString &file : files) {
        if (file.isEmpty())
            continue;
        const QStringView name = namePart(file);
        names_.insert(name.size() == file.size() ? file : name.toString());
        names_.insert(withoutExtension(name).toString());
    }
}

bool RecordingNames::contains(const QString &inDocument) const {
    if (inDocument.isEmpty() || names_.empty())
        return false;
    const QStringView name = namePart(inDocument);
    return names_.find(name) != names_.end();
}

} // namespace pelorin
