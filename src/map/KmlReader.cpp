// The KML reader: one streaming parser whose handlers share its element
// stack, style table and the placemark in progress, so they stay in one file
// (over 500 lines) rather than pass that state between several.
#include "map/KmlReader.h"

#include "gpx/SafeXmlParser.h"
#include "map/PlaceFields.h"
#include "util/TextHash.h"

#include <QBuffer>
#include <QHash>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace pelorin {

namespace {

QString tr(const char *text) {
    return mapReaderText(text);
}

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

QString notWellFormed(const std::string &what, qint64 line, qint64 column) {
    return tr("The file is not well-formed XML: %1 (line %2, column %3).")
        .arg(QString::fromStdString(what))
        .arg(line)
        .arg(column);
}

// The names of elements and attributes come as "namespace<sep>local" or,
// outside any namespace, as "local"; only the local part matters.
constexpr char kNamespaceSeparator = '\x01';

std::string_view localName(const char *name) {
    std::string_view view(name);
    const std::size_t sep = view.rfind(kNamespaceSeparator);
    return sep == std::string_view::npos ? view : view.substr(sep + 1);
}

QString attribute(const char **attributes, std::string_view wanted) {
    for (const char **a = attributes; *a; a += 2)
        if (localName(a[0]) == wanted)
            return QString::fromUtf8(a[1]);
    return {};
}

// Streams the document through expat: each open element has a role on a
// stack, text is gathered only where it is wanted, and the coordinates are
// read as they arrive.
class KmlParser : public SafeXmlParser {
public:
    explicit KmlParser(std::stop_token stop)
        : SafeXmlParser(kNamespaceSeparator)
        , stop_(std::move(stop)) {
        if (!ok())
            return;
        XML_SetElementHandler(parser(), &KmlParser::onStart, &KmlParser::onEnd);
        XML_SetCharacterDataHandler(parser(), &KmlParser::onCharacters);
    }

    KmlReadResult run(QIODevice &device) {
        bool sawContent = false;
        bool last = false;
        while (!last) {
            if (stop_.stop_requested())
                return mapReadError(tr("The read was cancelled."));
            void *buffer = ok() ? XML_GetBuffer(parser(), kChunk) : nullptr;
            if (!buffer)
                return mapReadError(expatError());
            const qint64 n = device.read(static_cast<char *>(buffer), kChunk);
            if (n < 0)
                return mapReadError(tr("The file cannot be opened: %1.").arg(device.errorString()));
            last = n == 0;
            const char *bytes = static_cast<const char *>(buffer);
            sawContent = sawContent || std::any_of(bytes, bytes + n, [](char c) { return !isXmlSpace(c); });
            if (last && !sawContent)
                return mapReadError(tr("The file is empty."));
            if (XML_ParseBuffer(parser(), static_cast<int>(n), last) == XML_STATUS_ERROR) {
                if (rootClosed_)
                    break; // what follows the root element is not read
                return mapReadError(error_.isEmpty() ? expatError() : error_);
            }
        }
        resolveStyles();
        return drawableOrError(std::move(document_));
    }

private:
    static constexpr int kChunk = 1 << 16;

    enum class Role {
        Container,
        Style,
        IconStyle,
        LineStyle,
        Placemark,
        MultiGeometry,
        Line,
        Point,
        Coordinates,
        ExtendedData,
        Data,
        Text
    };
    // Where an element's text goes.
    enum class Text { ContainerName, Name, Description, StyleUrl, IconColor, LineColor, LineWidth, Value };

    struct Frame {
        Role role;
        bool isFolder = false;
        bool inWaypoints = false;
    };

    struct Placemark {
        PlaceKind kind = PlaceKind::Recording;
        QHash<QString, QString> fields;
        QString name;
        QString description;
        QString styleUrl;
        std::optional<StyleColors> inlineStyle;
        std::vector<std::vector<GeoPoint>> lines;
        std::vector<GeoPoint> points;
    };

    static bool isXmlSpace(char c) { return isSpace(c) || c == '\v' || c == '\f'; }

    static KmlParser &self(void *userData) { return owner<KmlParser>(userData); }

    // A stopped parser may still report the end of the element it stopped in.
    bool stopped() const { return !error_.isEmpty() || rootClosed_ || refusedEntity(); }

    static void XMLCALL onStart(void *userData, const XML_Char *name, const XML_Char **attributes) {
        if (!self(userData).stopped())
            self(userData).start(localName(name), attributes);
    }
    static void XMLCALL onEnd(void *userData, const XML_Char *) {
        if (!self(userData).stopped())
            self(userData).end();
    }
    static void XMLCALL onCharacters(void *userData, const XML_Char *text, int length) {
        KmlParser &p = self(userData);
        if (p.stopped() || p.skipDepth_ > 0)
            return;
        if (p.frames_.back().role == Role::Text)
            p.text_.append(text, static_cast<std::size_t>(length));
        else if (p.frames_.back().role == Role::Coordinates)
            p.coordinateText(text, text + length);
    }

    void setError(const QString &message) {
        if (error_.isEmpty())
            error_ = message;
        stop();
    }

    QString expatError() const {
        const XmlParseError e = error();
        return notWellFormed(e.description, e.line, e.column);
    }

    void push(Role role) { frames_.push_back({role}); }

    void pushText(Text target) {
        frames_.push_back({Role::Text});
        textTarget_ = target;
        text_.clear();
    }

    void startStyle(const char **attributes, bool inPlacemark) {
        styleId_ = inPlacemark ? QString() : attribute(attributes, "id");
        styleInPlacemark_ = inPlacemark;
        style_ = {};
        push(Role::Style);
    }

    void start(std::string_view name, const char **attributes) {
        if (skipDepth_ > 0) {
            ++skipDepth_;
            return;
        }
        if (frames_.empty()) {
            if (name != "kml") {
                setError(tr("The file is not a KML document (its root element is <%1>).")
                             .arg(QString::fromUtf8(name.data(), qsizetype(name.size()))));
                return;
            }
            push(Role::Container);
            return;
        }
        const Frame parent = frames_.back();
        switch (parent.role) {
        case Role::Container:
            // Placemarks in a folder named "Waypoints" are waypoints, the
            // others recordings; a folder's name comes before its placemarks
            // in any document worth reading.
            if (name == "Document" || name == "Folder")
                frames_.push_back({Role::Container, name == "Folder", parent.inWaypoints});
            else if (name == "name")
                pushText(Text::ContainerName);
            else if (name == "Style")
                startStyle(attributes, false);
            else if (name == "Placemark")
                startPlacemark(parent.inWaypoints ? PlaceKind::Waypoint : PlaceKind::Recording);
            else
                skipDepth_ = 1;
            return;
        case Role::Style:
            if (name == "IconStyle")
                push(Role::IconStyle);
            else if (name == "LineStyle")
                push(Role::LineStyle);
            else
                skipDepth_ = 1;
            return;
        case Role::IconStyle:
            if (name == "color")
                pushText(Text::IconColor);
            else
                skipDepth_ = 1;
            return;
        case Role::LineStyle:
            if (name == "color")
                pushText(Text::LineColor);
            else if (name == "width")
                pushText(Text::LineWidth);
            else
                skipDepth_ = 1;
            return;
        case Role::Placemark:
            if (name == "name")
                pushText(Text::Name);
            else if (name == "description")
                pushText(Text::Description);
            else if (name == "styleUrl")
                pushText(Text::StyleUrl);
            else if (name == "Style")
                startStyle(attributes, true);
            else if (name == "ExtendedData")
                push(Role::ExtendedData);
            else
                startGeometry(name);
            return;
        case Role::MultiGeometry:
            startGeometry(name);
            return;
        case Role::Line:
        case Role::Point:
            if (name != "coordinates") {
                skipDepth_ = 1;
                return;
            }
            coordinatesOut_ = parent.role == Role::Line ? &placemark_.lines.back() : &pointCoordinates_;
            coordinatesLine_ = line();
            carry_.clear();
            badCoordinate_.clear();
            push(Role::Coordinates);
            return;
        case Role::ExtendedData:
            if (name == "Data") {
                dataKey_ = attribute(attributes, "name");
                push(Role::Data);
            } else {
                skipDepth_ = 1;
            }
            return;
        case Role::Data:
            if (name == "value")
                pushText(Text::Value);
            else
                skipDepth_ = 1;
            return;
        case Role::Coordinates:
        case Role::Text:
            // Text only; told at the column after the start tag.
            setError(notWellFormed("Expected character data.", line(),
                                   column() + XML_GetCurrentByteCount(parser())));
            return;
        }
    }

    void startPlacemark(PlaceKind kind) {
        placemark_ = {};
        placemark_.kind = kind;
        push(Role::Placemark);
    }

    // LineString, Point and MultiGeometry; anything else is skipped.
    void startGeometry(std::string_view name) {
        if (name == "MultiGeometry") {
            push(Role::MultiGeometry);
        } else if (name == "LineString") {
            placemark_.lines.emplace_back();
            push(Role::Line);
        } else if (name == "Point") {
            pointCoordinates_.clear();
            push(Role::Point);
        } else {
            skipDepth_ = 1;
        }
    }

    void end() {
        if (skipDepth_ > 0) {
            --skipDepth_;
            return;
        }
        const Frame frame = frames_.back();
        frames_.pop_back();
        switch (frame.role) {
        case Role::Container:
            if (frames_.empty()) {
                rootClosed_ = true;
                stop();
            }
            return;
        case Role::Style:
            if (styleInPlacemark_)
                placemark_.inlineStyle = style_;
            else if (!styleId_.isEmpty())
                styles_.insert(styleId_, style_);
            return;
        case Role::Placemark:
            endPlacemark();
            return;
        case Role::Point:
            if (!pointCoordinates_.empty())
                placemark_.points.push_back(pointCoordinates_.front());
            return;
        case Role::Coordinates:
            if (!carry_.empty())
                tuple(carry_.data(), carry_.data() + carry_.size());
            carry_.clear();
            if (!badCoordinate_.isEmpty())
                setError(badCoordinate_);
            return;
        case Role::Text:
            endText(frame);
            return;
        default:
            return;
        }
    }

    void endText(const Frame &) {
        const QString text = QString::fromUtf8(text_.data(), qsizetype(text_.size())).trimmed();
        text_.clear();
        switch (textTarget_) {
        case Text::ContainerName: {
            Frame &container = frames_.back();
            if (container.isFolder)
                container.inWaypoints = text == u"Waypoints";
            else if (document_.name.isEmpty())
                document_.name = text;
            return;
        }
        case Text::Name:
            placemark_.name = text;
            return;
        case Text::Description:
            placemark_.description = text;
            return;
        case Text::StyleUrl:
            placemark_.styleUrl = text;
            return;
        case Text::IconColor:
            style_.iconColor = parseKmlColor(text);
            return;
        case Text::LineColor:
            style_.color = parseKmlColor(text);
            return;
        case Text::LineWidth: {
            bool ok = false;
            const double width = text.toDouble(&ok);
            if (ok && width > 0)
                style_.width = width;
            return;
        }
        case Text::Value:
            placemark_.fields.insert(dataKey_, text);
            return;
        }
    }

    // Whitespace-separated tuples; one may be split across pieces of text.
    void coordinateText(const char *p, const char *end) {
        while (p != end && badCoordinate_.isEmpty()) {
            if (isSpace(*p)) {
                if (!carry_.empty()) {
                    tuple(carry_.data(), carry_.data() + carry_.size());
                    carry_.clear();
                }
                ++p;
                continue;
            }
            const char *first = p;
            while (p != end && !isSpace(*p))
                ++p;
            if (p == end || !carry_.empty()) {
                carry_.append(first, p);
                continue;
            }
            tuple(first, p);
        }
    }

    // A bad tuple is told once its element has ended: a text that is not
    // well-formed is told as such first.
    void tuple(const char *first, const char *last) {
        if (!badCoordinate_.isEmpty())
            return;
        if (const std::optional<GeoPoint> point = parseTuple(first, last)) {
            coordinatesOut_->push_back(*point);
            return;
        }
        badCoordinate_ = tr("Bad coordinate \"%1\" (line %2).")
                             .arg(QString::fromUtf8(first, std::min<qsizetype>(last - first, 60)))
                             .arg(coordinatesLine_);
    }

    void endPlacemark() {
        Placemark &pm = placemark_;
        for (auto &points : pm.lines)
            tracks_.push_back({{pm.name, kDefaultTrackColor, kDefaultTrackWidth, std::move(points)},
                               pm.styleUrl,
                               pm.inlineStyle});
        if (pm.points.empty())
            return;
        const QString name = shared(pm.name);
        QStringList species;
        if (pm.kind == PlaceKind::Recording) {
            const auto given = pm.fields.constFind(QStringLiteral("species"));
            species = speciesOf(given != pm.fields.cend() ? *given : name);
        }
        for (const GeoPoint &point : pm.points) {
            KmlPlace place{name, pm.description, point, pm.kind, species, {}, {}};
            if (pm.kind == PlaceKind::Recording) {
                place.recording = pm.fields.value(QStringLiteral("filename"));
                if (place.recording.isEmpty())
                    place.recording = recordingFromDescription(pm.description);
            }
            if (pm.inlineStyle)
                place.color = pm.inlineStyle->iconColor;
            else if (pm.styleUrl.startsWith(QLatin1Char('#')))
                placesByStyle_[pm.styleUrl.mid(1)].push_back(document_.places.size());
            document_.places.push_back(std::move(place));
        }
    }

    // Recordings of one species share its name and list: one copy each.
    QString shared(const QString &name) { return *names_.insert(name).first; }

    QStringList speciesOf(const QString &text) {
        auto found = species_.find(text);
        if (found == species_.end())
            found = species_.emplace(text, pelorin::speciesOf(text)).first;
        return found->second;
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
        for (auto styled = placesByStyle_.cbegin(); styled != placesByStyle_.cend(); ++styled) {
            const std::optional<QColor> color = styles_.value(styled.key()).iconColor;
            for (const std::size_t i : styled.value())
                document_.places[i].color = color;
        }
        placesByStyle_.clear();
    }

    std::stop_token stop_;
    std::vector<Frame> frames_;
    int skipDepth_ = 0; // inside an element nobody reads
    bool rootClosed_ = false;
    QString error_;

    std::string text_;
    Text textTarget_ = Text::Name;
    StyleColors style_;
    QString styleId_;
    bool styleInPlacemark_ = false;
    Placemark placemark_;
    QString dataKey_;
    std::vector<GeoPoint> pointCoordinates_;
    std::vector<GeoPoint> *coordinatesOut_ = nullptr;
    qint64 coordinatesLine_ = 0;
    std::string carry_; // a tuple whose end has not arrived yet
    QString badCoordinate_;

    KmlDocument document_;
    QHash<QString, StyleColors> styles_;
    std::vector<PendingTrack> tracks_;
    QHash<QString, std::vector<std::size_t>> placesByStyle_; // style id: the places that use it
    // Looked up for every placemark: a plain hash, Qt's seeded one costs several times as much.
    std::unordered_set<QString, PlainTextHash, std::equal_to<>> names_;
    std::unordered_map<QString, QStringList, PlainTextHash, std::equal_to<>> species_;
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
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return parseKml(buffer);
}

KmlReadResult parseKml(QIODevice &device, std::stop_token stop) {
    return KmlParser(std::move(stop)).run(device);
}

} // namespace pelorin
