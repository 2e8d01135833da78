#include "map/MapFileReader.h"

#include "map/GeoJsonReader.h"

#include <QCoreApplication>
#include <QFile>

namespace pelorin {

KmlReadResult readMapFile(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {{},
                QCoreApplication::translate("pelorin::KmlReader", "The file cannot be opened: %1.")
                    .arg(file.errorString())};
    const QByteArray data = file.readAll();
    if (data.trimmed().startsWith('{'))
        return parseGeoJson(data);
    return parseKml(data);
}

} // namespace pelorin
