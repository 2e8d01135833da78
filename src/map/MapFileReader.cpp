#include "map/MapFileReader.h"

#include "map/GeoJsonReader.h"

#include <QFile>

#include <cctype>

namespace pelorin {

namespace {
KmlReadResult cannotOpen(const QFile &file) {
    return mapReadError(mapReaderText("The file cannot be opened: %1.").arg(file.errorString()));
}

// Whether the file's first character, after white space, opens a JSON object.
bool startsLikeJson(QFile &file) {
    char c = 0;
    while (file.getChar(&c))
        if (!std::isspace(static_cast<unsigned char>(c)))
            return c == '{';
    return false;
}
} // namespace

KmlReadResult readMapFile(const QString &path, std::stop_token stop) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return cannotOpen(file);
    const bool json = startsLikeJson(file);
    if (!file.seek(0))
        return cannotOpen(file);
    if (json)
        return parseGeoJson(file.readAll());
    return parseKml(file, std::move(stop));
}

} // namespace pelorin
