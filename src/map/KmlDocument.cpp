#include "map/KmlDocument.h"

#include <QCoreApplication>

#include <algorithm>

namespace pelorin {

QString mapReaderText(const char *text) {
    return QCoreApplication::translate("pelorin::KmlReader", text);
}

KmlReadResult mapReadError(const QString &message) {
    return {{}, message};
}

KmlReadResult drawableOrError(KmlDocument document) {
    if (document.places.empty() && std::none_of(document.tracks.begin(), document.tracks.end(),
                                                [](const KmlTrack &track) { return !track.points.empty(); }))
        return mapReadError(mapReaderText("The file holds no track and no placemark to show."));
    return {std::move(document), {}};
}

} // namespace pelorin
