#include "map/KmlReader.h"

#include "map/PlaceFields.h"

#include <QCoreApplication>
#include <QHash>
#include <QXmlStreamReader>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace pelorin {

namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("pelorin::KmlReader", text);
}

const QColor kDefaultTrackColor(0x1f, 0x5f, 0xbf);
constexpr double kDefaultTrackWidth = 2;

struct StyleColors {
    std::optional<QColor> color;
    std::optional<double> width;
    std::optional<QColor> iconColor;
};

// One placemark's geometry and style before the style ids are resolved
// (a Style may follow the placemark that uses it).
struct PendingTrack {
    KmlTrack track;
    QString styleUrl;
    std::optional<StyleColors> inlineStyle;
};

struct PendingPlace {
    QString styleUrl;
    std::optional<StyleColors> inlineStyle;
};

bool isSpace(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

std::optional<double> parseNumber(const char *first, const char *last) {
    if (first != last && *first == '+')
        ++first;
    double value = 0;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// "lon,lat[,alt]", the latitude and longitude within their ranges.
std::optional<GeoPoint> parseTuple(const char *first, const char *last) {
    const char *comma = std::find(first, last, ',');
    if (comma == last)
        return std::nullopt;
    const char *latEnd = std::find(comma + 1, last, ',');
    const std::optional<double> lon = parseNumber(first, comma);
    const std::optional<double> lat = parseNumber(comma + 1, latEnd);
    if (!lon || !lat || std::abs(*lat) > 90 || std::abs(*lon) > 180)
        return std::nullopt;
    if (latEnd != last && !parseNumber(latEnd + 1, last))
        return std::nullopt;
    return GeoPoint{*lat, *lon};
}

class KmlParser {
public:
    explicit KmlParser(const QByteArray &data)
        : xml_(data) {}

    KmlReadResult run() {
        if (xml_.readNextStartElement()) {
            if (xml_.name() != u"kml")
                return fail(tr("The file is not a KML document (its root element is <%1>).")
                                .arg(xml_.name().toString()));
            container();
        }
        if (xml_.hasError() && error_.isEmpty())
            error_ = tr("The file is not well-formed XML: %1 (line %2, column %3).")
                         .arg(xml_.errorString())
                         .arg(xml_.lineNumber())
                         .arg(xml_.columnNumber());
        if (!error_.isEmpty())
            return {{}, error_};
        resolveStyles();
        if (!hasDrawable())
            return {{}, tr("The file holds no track and no placemark to show.")};
        return {std::move(document_), {}};
    }

private:
    KmlReadResult fail(const QString &message) { return {{}, message}; }

    bool failed() const { return xml_.hasError() || !error_.isEmpty(); }

    void setError(const QString &message) {
        if (error_.isEmpty())
            error_ = message;
        xml_.raiseError(message);
    }

    // kml, Document, Folder: styles and placemarks at any depth. Placemarks
    // in a folder named "Waypoints" are waypoints, the others recordings; a
    // folder's name comes before its placemarks in any document worth reading.
    void container(bool isFolder = false, bool inWaypoints = false) {
        while (!failed() && xml_.readNextStartElement()) {
            const QStringView name = xml_.name();
            if (name == u"Document" || name == u"Folder") {
                container(name == u"Folder", inWaypoints);
            } else if (name == u"name") {
                const QString text = xml_.readElementText().trimmed();
                if (isFolder)
                    inWaypoints = text == u"Waypoints";
                else if (document_.name.isEmpty())
                    document_.name = text;
            } else if (name == u"Style") {
                style();
            } else if (name == u"Placemark") {
                placemark(inWaypoints ? PlaceKind::Waypoint : PlaceKind::Recording);
            } else {
                xml_.skipCurrentElement();
            }
        }
    }

    void style() {
        const QString id = xml_.attributes().value(QLatin1String("id")).toString();
        const StyleColors style = styleColors();
        if (!id.isEmpty())
            styles_.insert(id, style);
    }

    // ExtendedData/Data name="..."/value.
    void extendedData(QHash<QString, QString> &fields) {
        while (!failed() && xml_.readNextStartElement()) {
            if (xml_.name() != u"Data") {
                xml_.skipCurrentElement();
                continue;
            }
            const QString key = xml_.attributes().value(QLatin1String("name")).toString();
            while (!failed() && xml_.readNextStartElement()) {
                if (xml_.name() == u"value")
                    fields.insert(key, xml_.readElementText().trimmed());
                else
                    xml_.skipCurrentElement();
            }
        }
    }

    StyleColors styleColors() {
        StyleColors style;
        while (!failed() && xml_.readNextStartElement()) {
            if (xml_.name() == u"IconStyle") {
                while (!failed() && xml_.readNextStartElement()) {
                    if (xml_.name() == u"color")
                        style.iconColor = parseKmlColor(xml_.readElementText().trimmed());
                    else
                        xml_.skipCurrentElement();
                }
                continue;
            }
            if (xml_.name() != u"LineStyle") {
                xml_.skipCurrentElement();
                continue;
            }
            while (!failed() && xml_.readNextStartElement()) {
                if (xml_.name() == u"color") {
                    style.color = parseKmlColor(xml_.readElementText().trimmed());
                } else if (xml_.name() == u"width") {
                    bool ok = false;
                    const double width = xml_.readElementText().trimmed().toDouble(&ok);
                    if (ok && width > 0)
                        style.width = width;
                } else {
                    xml_.skipCurrentElement();
                }
            }
        }
        return style;
    }

    void placemark(PlaceKind kind) {
        QHash<QString, QString> fields;
        QString name;
        QString description;
        QString styleUrl;
        std::optional<StyleColors> inlineStyle;
        std::vector<std::vector<GeoPoint>> lines;
        std::vector<GeoPoint> points;
        while (!failed() && xml_.readNextStartElement()) {
            const QStringView element = xml_.name();
            if (element == u"name")
                name = xml_.readElementText().trimmed();
            else if (element == u"description")
                description = xml_.readElementText().trimmed();
            else if (element == u"styleUrl")
                styleUrl = xml_.readElementText().trimmed();
            else if (element == u"Style")
                inlineStyle = styleColors();
            else if (element == u"ExtendedData")
                extendedData(fields);
            else
                geometry(lines, points);
        }
        for (auto &line : lines)
            tracks_.push_back({{name, {}, kDefaultTrackWidth, std::move(line)}, styleUrl, inlineStyle});
        for (const GeoPoint &point : points) {
            KmlPlace place{name, description, point, kind, {}, {}, {}};
            if (kind == PlaceKind::Recording) {
                place.species = speciesOf(fields.contains(QStringLiteral("species"))
                                              ? fields.value(QStringLiteral("species"))
                                              : name);
                place.recording = fields.value(QStringLiteral("filename"));
                if (place.recording.isEmpty())
                    place.recording = recordingFromDescription(description);
            }
            document_.places.push_back(std::move(place));
            places_.push_back({styleUrl, inlineStyle});
        }
    }

    // LineString, Point and MultiGeometry; anything else is skipped.
    void geometry(std::vector<std::vector<GeoPoint>> &lines, std::vector<GeoPoint> &points) {
        const QStringView element = xml_.name();
        if (element == u"MultiGeometry") {
            while (!failed() && xml_.readNextStartElement())
                geometry(lines, points);
        } else if (element == u"LineString") {
            lines.push_back(coordinatesChild());
        } else if (element == u"Point") {
            const std::vector<GeoPoint> at = coordinatesChild();
            if (!at.empty())
                points.push_back(at.front());
        } else {
            xml_.skipCurrentElement();
        }
    }

    std::vector<GeoPoint> coordinatesChild() {
        std::vector<GeoPoint> result;
        while (!failed() && xml_.readNextStartElement()) {
            if (xml_.name() != u"coordinates") {
                xml_.skipCurrentElement();
                continue;
            }
            const qint64 line = xml_.lineNumber();
            const QByteArray text = xml_.readElementText().toLatin1();
            if (!xml_.hasError())
                coordinates(text, line, result);
        }
        return result;
    }

    void coordinates(const QByteArray &text, qint64 line, std::vector<GeoPoint> &out) {
        const char *p = text.constData();
        const char *end = p + text.size();
        while (p != end) {
            while (p != end && isSpace(*p))
                ++p;
            const char *tupleStart = p;
            while (p != end && !isSpace(*p))
                ++p;
            if (tupleStart == p)
                break;
            const std::optional<GeoPoint> point = parseTuple(tupleStart, p);
            if (!point) {
                setError(tr("Bad coordinate \"%1\" (line %2).")
                             .arg(QString::fromLatin1(tupleStart, std::min<qsizetype>(p - tupleStart, 60)))
                             .arg(line));
                return;
            }
            out.push_back(*point);
        }
    }

    void resolveStyles() {
        for (PendingTrack &pending : tracks_) {
            StyleColors style;
            if (pending.inlineStyle)
                style = *pending.inlineStyle;
            else if (pending.styleUrl.startsWith(QLatin1Char('#')))
                style = styles_.value(pending.styleUrl.mid(1));
            pending.track.color = style.color.value_or(kDefaultTrackColor);
            pending.track.width = style.width.value_or(kDefaultTrackWidth);
            document_.tracks.push_back(std::move(pending.track));
        }
        tracks_.clear();
        for (std::size_t i = 0; i < places_.size(); ++i) {
            const PendingPlace &pending = places_[i];
            if (pending.inlineStyle)
                document_.places[i].color = pending.inlineStyle->iconColor;
            else if (pending.styleUrl.startsWith(QLatin1Char('#')))
                document_.places[i].color = styles_.value(pending.styleUrl.mid(1)).iconColor;
        }
        places_.clear();
    }

    bool hasDrawable() const {
        if (!document_.places.empty())
            return true;
        return std::any_of(document_.tracks.begin(), document_.tracks.end(),
                           [](const KmlTrack &track) { return !track.points.empty(); });
    }

    QXmlStreamReader xml_;
    QString error_;
    KmlDocument document_;
    QHash<QString, StyleColors> styles_;
    std::vector<PendingTrack> tracks_;
    std::vector<PendingPlace> places_; // beside document_.places
};

} // namespace

std::optional<QColor> parseKmlColor(QStringView text) {
    if (text.startsWith(u'#'))
        text = text.mid(1);
    if (text.size() != 8)
        return std::nullopt;
    bool ok = false;
    const uint abgr = text.toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return QColor(int(abgr & 0xff), int((abgr >> 8) & 0xff), int((abgr >> 16) & 0xff), int(abgr >> 24));
}

KmlReadResult parseKml(const QByteArray &data) {
    if (data.trimmed().isEmpty())
        return {{}, tr("The file is empty.")};
    return KmlParser(data).run();
}

} // namespace pelorin
