#include "map/GeoJsonReader.h"

#include "map/PlaceFields.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace pelorin {

namespace {

QString tr(const char *text) {
    return mapReaderText(text);
}

class GeoJsonParser {
public:
    KmlReadResult run(const QJsonObject &root) {
        document_.name = root.value(QLatin1String("name")).toString();
        if (root.value(QLatin1String("type")).toString() == u"Feature") {
            feature(root);
        } else if (root.value(QLatin1String("type")).toString() == u"FeatureCollection") {
            for (const QJsonValue &value : root.value(QLatin1String("features")).toArray())
                feature(value.toObject());
        } else {
            return mapReadError(tr("The file is not a GeoJSON feature collection."));
        }
        if (!error_.isEmpty())
            return mapReadError(error_);
        return drawableOrError(std::move(document_));
    }

private:
    void feature(const QJsonObject &object) {
        const QJsonObject properties = object.value(QLatin1String("properties")).toObject();
        geometry(object.value(QLatin1String("geometry")).toObject(), properties);
    }

    void geometry(const QJsonObject &geometry, const QJsonObject &properties) {
        const QString type = geometry.value(QLatin1String("type")).toString();
        const QJsonArray coordinates = geometry.value(QLatin1String("coordinates")).toArray();
        if (type == u"Point") {
            place(position(coordinates), properties);
        } else if (type == u"MultiPoint") {
            for (const QJsonValue &at : coordinates)
                place(position(at.toArray()), properties);
        } else if (type == u"LineString") {
            line(coordinates, properties);
        } else if (type == u"MultiLineString") {
            for (const QJsonValue &part : coordinates)
                line(part.toArray(), properties);
        } else if (type == u"GeometryCollection") {
            for (const QJsonValue &part : geometry.value(QLatin1String("geometries")).toArray())
                this->geometry(part.toObject(), properties);
        }
    }

    // [longitude, latitude, elevation?]
    GeoPoint position(const QJsonArray &at) {
        const double lon = at.at(0).toDouble(NAN);
        const double lat = at.at(1).toDouble(NAN);
        if (at.size() < 2 || !(std::abs(lat) <= 90) || !(std::abs(lon) <= 180)) {
            if (error_.isEmpty())
                error_ =
                    tr("Bad coordinate \"%1\".")
                        .arg(QString::fromUtf8(QJsonDocument(at).toJson(QJsonDocument::Compact)).left(60));
            return {};
        }
        return {lat, lon};
    }

    void line(const QJsonArray &coordinates, const QJsonObject &properties) {
        KmlTrack track;
        track.name = properties.value(QLatin1String("name")).toString();
        track.points.reserve(static_cast<std::size_t>(coordinates.size()));
        for (const QJsonValue &at : coordinates)
            track.points.push_back(position(at.toArray()));
        document_.tracks.push_back(std::move(track));
    }

    void place(GeoPoint at, const QJsonObject &properties) {
        KmlPlace place;
        place.name = properties.value(QLatin1String("name")).toString();
        place.description = properties.value(QLatin1String("description")).toString();
        place.position = at;
        if (properties.value(QLatin1String("kind")).toString() == u"waypoint") {
            place.kind = PlaceKind::Waypoint;
        } else {
            const QJsonValue species = properties.value(QLatin1String("species"));
            if (species.isArray()) {
                for (const QJsonValue &one : species.toArray())
                    place.species << speciesOf(one.toString());
            } else {
                place.species = speciesOf(species.toString());
            }
            place.recording = properties.value(QLatin1String("filename")).toString();
            if (place.name.isEmpty())
                place.name =
                    place.species.isEmpty() ? QStringLiteral("No species") : place.species.join(u',');
        }
        document_.places.push_back(std::move(place));
    }

    KmlDocument document_;
    QString error_;
};

} // namespace

KmlReadResult parseGeoJson(const QByteArray &data) {
    if (data.trimmed().isEmpty())
        return mapReadError(tr("The file is empty."));
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError)
        return mapReadError(tr("The file is not well-formed JSON: %1 (at byte %2).")
                                .arg(error.errorString())
                                .arg(error.offset));
    if (!json.isObject())
        return mapReadError(tr("The file is not a GeoJSON feature collection."));
    return GeoJsonParser().run(json.object());
}

} // namespace pelorin
