#include "map/MapCanvas.h"

#include "documents/SpeciesPalette.h"
#include "map/Basemap.h"
#include "map/MapProjection.h"
#include "map/MapScale.h"
#include "map/PlaceFields.h"
#include "map/TileMath.h"
#include "map/TrackDecimation.h"

#include <QFileInfo>
#include <QFutureWatcher>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QWheelEvent>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>

namespace pelorin {

namespace {
constexpr double kFitMargin = 40;
constexpr double kPlaceRadius = 5;
constexpr double kPickRadius = 9;
constexpr double kScaleBarMaxPixels = 140;
constexpr int kMaxGraticuleLines = 8;
// Up to this many pins at one spot are spread on a ring, more are one pin with their count.
constexpr std::size_t kMaxSpread = 8;
// A crowded view shows pins only; labels come back closer in.
constexpr std::size_t kMaxLabelledSpots = 300;
// A spread of pins this small is kept for going back to its scale.
constexpr std::size_t kMostSpotsKept = 10'000;
// Zooming out stops a little beyond the whole data, zooming in at a few pixels a metre.
constexpr double kZoomOutBeyondFit = 16;
constexpr double kCloseUpScale = 4;
constexpr std::size_t kMaxTilesInView = 64;
constexpr double kKeyZoom = 1.5;
constexpr double kKeyPanFraction = 0.125;
constexpr double kClickSlop = 4;
// Tracks longer than this are drawn away from the GUI thread.
constexpr std::size_t kDrawInBackgroundFrom = 20'000;
// The tracks are drawn this share of the map's size beyond each side, so a pan reuses the drawing.
constexpr double kTrackMargin = 0.25;
const QColor kBackground(0xf4, 0xf1, 0xea);
const QColor kGraticule(0xc8, 0xc4, 0xba);
const QColor kGraticuleText(0x80, 0x7c, 0x72);
const QColor kWaypointFill(0x33, 0x33, 0x33);
const QColor kHighlight(0x20, 0x20, 0x20);

QString degreeText(double value, double step) {
    const int decimals = step >= 1 ? 0 : int(std::ceil(-std::log10(step) - 1e-9));
    return QStringLiteral("%1°").arg(value, 0, 'f', decimals);
}

QColor rgb(std::uint32_t value) {
    return QColor::fromRgb(QRgb(value));
}

QString speciesKey(const KmlPlace &place) {
    return place.species.isEmpty() ? QString() : place.species.front();
}
} // namespace

MapCanvas::MapCanvas(QWidget *parent)
    : QWidget(parent)
    , trackRender_(new QFutureWatcher<TrackImage>(this)) {
    // A drawing finished for a view since left still stands in until the next one is done.
    connect(trackRender_, &QFutureWatcher<TrackImage>::finished, this, [this] {
        if (renderDocument_ == documents_)
            trackImage_ = trackRender_->result();
        update();
    });
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(200, 150);
    message_ = tr("No track loaded.");
}

void MapCanvas::setDocument(KmlDocument document) {
    spreadCache_.reset();
    previousSpread_.reset();
    tracks_.reset();
    trackImage_ = {};
    ++documents_;
    places_.clear();
    speciesColors_.clear();
    hiddenSpecies_.clear();
    // The projection is true to scale in the middle of the data.
    double minLat = INFINITY, maxLat = -INFINITY;
    for (const KmlTrack &track : document.tracks) {
        for (const GeoPoint &point : track.points) {
            minLat = std::min(minLat, point.lat);
            maxLat = std::max(maxLat, point.lat);
        }
    }
    for (const KmlPlace &place : document.places) {
        minLat = std::min(minLat, place.position.lat);
        maxLat = std::max(maxLat, place.position.lat);
    }
    projection_ = MapProjection(minLat <= maxLat ? (minLat + maxLat) / 2 : 0);

    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    auto extend = [&](QPointF w) {
        minX = std::min(minX, w.x());
        maxX = std::max(maxX, w.x());
        minY = std::min(minY, w.y());
        maxY = std::max(maxY, w.y());
    };
    std::vector<TrackLine> lines;
    for (KmlTrack &track : document.tracks) {
        TrackLine line{track.color, track.width, {}};
        line.world.reserve(track.points.size());
        for (const GeoPoint &point : track.points) {
            line.world.push_back(projection_.project(point));
            extend(line.world.back());
        }
        // The geographic points are not needed once projected.
        track.points = {};
        lines.push_back(std::move(line));
    }
    tracks_ = std::make_shared<const TrackLayer>(std::move(lines));
    std::vector<std::string> species;
    for (KmlPlace &place : document.places) {
        const QPointF w = projection_.project(place.position);
        extend(w);
        if (place.kind == PlaceKind::Recording) {
            for (const QString &one : place.species)
                species.push_back(one.toStdString());
            // The document's own colour wins for the species it leads with.
            if (place.color && !speciesColors_.contains(speciesKey(place)))
                speciesColors_.insert(speciesKey(place), *place.color);
        }
        const bool highlighted = !highlightedNames_.isEmpty() && isHighlighted(place.recording);
        places_.push_back({std::move(place), w, highlighted});
    }
    // Else the writers' colours, so a species looks the same here as in the documents they write.
    const SpeciesColours colours(std::move(species));
    for (std::size_t i = 0; i < colours.names().size(); ++i) {
        const QString name = QString::fromStdString(colours.names()[i]);
        if (!speciesColors_.contains(name))
            speciesColors_.insert(name, rgb(colours.colour(i)));
    }
    if (!speciesColors_.contains(QString()))
        speciesColors_.insert(QString(), rgb(kNoSpeciesColour));

    const QRectF bounds = minX <= maxX ? QRectF(QPointF(minX, minY), QPointF(maxX, maxY)) : QRectF();
    bounds_ = bounds;
    message_.clear();
    fitToData();
    emit legendChanged();
}

void MapCanvas::setMessage(const QString &message) {
    spreadCache_.reset();
    previousSpread_.reset();
    tracks_.reset();
    trackImage_ = {};
    ++documents_;
    places_.clear();
    speciesColors_.clear();
    bounds_ = {};
    message_ = message;
    update();
    emit legendChanged();
}

void MapCanvas::setBasemap(Basemap *basemap) {
    if (basemap_)
        disconnect(basemap_, nullptr, this, nullptr);
    basemap_ = basemap;
    if (basemap_)
        connect(basemap_, &Basemap::changed, this, qOverload<>(&QWidget::update));
    update();
}

void MapCanvas::centerOn(GeoPoint point) {
    autoCenter_ = projection_.project(point);
    applyView();
}

void MapCanvas::fitToData() {
    if (!hasDocument())
        return;
    autoFit_ = true;
    autoCenter_.reset();
    applyView();
}

GeoPoint MapCanvas::center() const {
    return projection_.unproject(viewport_.center());
}

void MapCanvas::applyView() {
    viewport_.setSize(size());
    if (autoFit_) {
        viewport_.fit(bounds_, kFitMargin);
        viewport_.setScaleLimits(viewport_.scale() / kZoomOutBeyondFit,
                                 std::max(kCloseUpScale, viewport_.scale()));
    }
    if (autoCenter_)
        viewport_.setCenter(*autoCenter_);
    update();
}

void MapCanvas::takeOverView() {
    autoFit_ = false;
    autoCenter_.reset();
}

void MapCanvas::zoomBy(QPointF screen, double factor) {
    if (!hasDocument())
        return;
    takeOverView();
    viewport_.zoomAt(screen, factor);
    keepNearData();
    update();
}

// Panning stops when the data's edge is a quarter of the map in from its side.
void MapCanvas::keepNearData() {
    const QRectF visible = viewport_.visibleWorld();
    const double dx = visible.width() / 4;
    const double dy = visible.height() / 4;
    const QRectF reach = bounds_.adjusted(-dx, -dy, dx, dy);
    const QPointF center = viewport_.center();
    viewport_.setCenter({std::clamp(center.x(), reach.left(), reach.right()),
                         std::clamp(center.y(), reach.top(), reach.bottom())});
}

void MapCanvas::resizeEvent(QResizeEvent *) {
    applyView();
}

QList<LegendEntry> MapCanvas::legend() const {
    QHash<QString, int> counts;
    for (const Place &place : places_) {
        if (place.source.kind != PlaceKind::Recording)
            continue;
        if (place.source.species.isEmpty())
            ++counts[QString()];
        for (const QString &species : place.source.species)
            ++counts[species];
    }
    QList<LegendEntry> entries;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        entries.append(
            {it.key(), speciesColors_.value(it.key()), it.value(), !hiddenSpecies_.contains(it.key())});
    std::sort(entries.begin(), entries.end(), [](const LegendEntry &a, const LegendEntry &b) {
        if (a.species.isEmpty() != b.species.isEmpty())
            return b.species.isEmpty();
        return a.species < b.species;
    });
    return entries;
}

void MapCanvas::setSpeciesVisible(const QString &species, bool visible) {
    spreadCache_.reset();
    previousSpread_.reset();
    if (visible)
        hiddenSpecies_.remove(species);
    else
        hiddenSpecies_.insert(species);
    update();
}

void MapCanvas::setHighlightedRecordings(const QStringList &files) {
    highlightedNames_.clear();
    highlightedBases_.clear();
    for (const QString &file : files) {
        const QFileInfo info(file);
        highlightedNames_.insert(info.fileName());
        highlightedBases_.insert(info.completeBaseName());
    }
    for (Place &place : places_)
        place.highlighted = isHighlighted(place.source.recording);
    // One recording selected elsewhere whose pin is off screen: bring it into view.
    if (files.size() == 1) {
        const QRectF screen(rect());
        for (const Place &place : places_) {
            if (isShown(place) && place.highlighted && !screen.contains(viewport_.toScreen(place.world))) {
                takeOverView();
                viewport_.setCenter(place.world);
                break;
            }
        }
    }
    update();
}

// What sameRecording() tells, in constant time for a whole table selected.
bool MapCanvas::isHighlighted(const QString &recording) const {
    if (recording.isEmpty())
        return false;
    const QFileInfo info(recording);
    return highlightedNames_.contains(info.fileName()) || highlightedBases_.contains(info.fileName());
}

// A recording shows while one of its species does.
bool MapCanvas::isShown(const Place &place) const {
    if (place.source.kind == PlaceKind::Waypoint)
        return true;
    if (place.source.species.isEmpty())
        return !hiddenSpecies_.contains(QString());
    return std::any_of(place.source.species.cbegin(), place.source.species.cend(),
                       [this](const QString &species) { return !hiddenSpecies_.contains(species); });
}

QColor MapCanvas::pinColor(const Place &place) const {
    if (place.source.kind == PlaceKind::Waypoint)
        return kWaypointFill;
    for (const QString &species : place.source.species)
        if (!hiddenSpecies_.contains(species))
            return speciesColors_.value(species);
    return speciesColors_.value(QString());
}

// Pins are spread once per scale, measured from a point fixed on the plane,
// so a pan moves the spots without spreading them again (nor differently).
const std::vector<PinSpot> &MapCanvas::spreadSpots() const {
    if (spreadCache_ && spreadCache_->scale == viewport_.scale())
        return spreadCache_->spots;
    // The spread before stays if small, for going back (Fit to data, a wheel step undone); close in,
    // with every pin a spot, it is let go before the new one is made.
    if (previousSpread_ && previousSpread_->scale == viewport_.scale()) {
        std::swap(spreadCache_, previousSpread_);
        return spreadCache_->spots;
    }
    previousSpread_.reset();
    if (spreadCache_ && spreadCache_->spots.size() <= kMostSpotsKept)
        previousSpread_ = std::move(spreadCache_);
    spreadCache_.reset();
    const double scale = viewport_.scale();
    std::vector<QPointF> anchored;
    std::vector<std::size_t> index;
    for (std::size_t i = 0; i < places_.size(); ++i) {
        if (!isShown(places_[i]))
            continue;
        const QPointF d = places_[i].world - bounds_.center();
        anchored.emplace_back(d.x() * scale, -d.y() * scale);
        index.push_back(i);
    }
    spreadCache_ = SpreadCache{scale, spreadPins(anchored, kPlaceRadius, kMaxSpread)};
    for (PinSpot &spot : spreadCache_->spots)
        for (std::size_t &member : spot.members)
            member = index[member];
    return spreadCache_->spots;
}

MapCanvas::Layout MapCanvas::layout() const {
    Layout result;
    if (!hasDocument())
        return result;
    const QRectF visible = QRectF(rect()).adjusted(-20, -20, 20, 20);
    const QPointF offset = viewport_.toScreen(bounds_.center());
    for (const PinSpot &spot : spreadSpots())
        if (visible.contains(spot.at + offset))
            result.spots.push_back({spot.at + offset, spot.members});
    if (result.spots.size() > kMaxLabelledSpots)
        return result;

    const QFontMetricsF metrics(font());
    std::vector<LabelRequest> requests;
    std::vector<QRectF> pins;
    const QSizeF pinSize(2 * kPlaceRadius + 2, 2 * kPlaceRadius + 2);
    for (const PinSpot &spot : result.spots) {
        pins.emplace_back(spot.at - QPointF(pinSize.width() / 2, pinSize.height() / 2), pinSize);
        const KmlPlace &place = places_[spot.members.front()].source;
        if (spot.grouped() || place.name.isEmpty()) {
            requests.push_back({spot.at, {}, {}});
            continue;
        }
        const QString shortText = place.species.size() > 1
                                      ? place.species.front() + QStringLiteral("…")
                                      : metrics.elidedText(place.name, Qt::ElideRight, 60);
        requests.push_back({spot.at, place.name, shortText == place.name ? QString() : shortText});
    }
    result.labels = placeLabels(requests, metrics, kPlaceRadius, pins, QRectF(rect()));
    return result;
}

std::optional<QPointF> MapCanvas::pinPosition(const QString &recording) const {
    for (const PinSpot &spot : layout().spots)
        for (std::size_t member : spot.members)
            if (sameRecording(places_[member].source.recording, recording))
                return spot.at;
    return std::nullopt;
}

const PinSpot *MapCanvas::spotAt(const Layout &layout, QPointF screen) const {
    const PinSpot *best = nullptr;
    double bestDistance = kPickRadius;
    for (const PinSpot &spot : layout.spots) {
        const QPointF d = spot.at - screen;
        const double distance = std::hypot(d.x(), d.y());
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = &spot;
        }
    }
    return best;
}

bool MapCanvas::event(QEvent *event) {
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const Layout current = layout();
        if (const PinSpot *spot = spotAt(current, help->pos())) {
            QStringList lines;
            for (std::size_t member : spot->members) {
                const KmlPlace &place = places_[member].source;
                lines << (place.description.isEmpty() ? place.name
                                                      : place.name + QLatin1Char('\n') + place.description);
            }
            QToolTip::showText(help->globalPos(), lines.join(QStringLiteral("\n\n")), this);
        } else {
            QToolTip::hideText();
            event->ignore();
        }
        return true;
    }
    return QWidget::event(event);
}

void MapCanvas::wheelEvent(QWheelEvent *event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0)
        zoomBy(event->position(), std::pow(1.25, steps));
}

void MapCanvas::keyPressEvent(QKeyEvent *event) {
    const QPointF middle(width() / 2.0, height() / 2.0);
    const double stepX = width() * kKeyPanFraction;
    const double stepY = height() * kKeyPanFraction;
    std::optional<QPointF> pan;
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomBy(middle, kKeyZoom);
        return;
    case Qt::Key_Minus:
        zoomBy(middle, 1 / kKeyZoom);
        return;
    case Qt::Key_Left:
        pan = QPointF(stepX, 0);
        break;
    case Qt::Key_Right:
        pan = QPointF(-stepX, 0);
        break;
    case Qt::Key_Up:
        pan = QPointF(0, stepY);
        break;
    case Qt::Key_Down:
        pan = QPointF(0, -stepY);
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    if (!hasDocument())
        return;
    takeOverView();
    viewport_.panBy(*pan);
    keepNearData();
    update();
}

void MapCanvas::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) {
        dragFrom_ = event->position();
        pressedAt_ = event->position();
        setCursor(Qt::ClosedHandCursor);
    }
}

void MapCanvas::mouseMoveEvent(QMouseEvent *event) {
    if (dragFrom_) {
        takeOverView();
        viewport_.panBy(event->position() - *dragFrom_);
        keepNearData();
        dragFrom_ = event->position();
        update();
    }
    if (hasDocument())
        emit hovered(projection_.unproject(viewport_.toWorld(event->position())));
}

void MapCanvas::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton)
        return;
    dragFrom_.reset();
    unsetCursor();
    const std::optional<QPointF> pressedAt = std::exchange(pressedAt_, std::nullopt);
    if (!pressedAt || QLineF(*pressedAt, event->position()).length() > kClickSlop)
        return;
    const Layout current = layout();
    const PinSpot *spot = spotAt(current, event->position());
    if (!spot)
        return;
    QStringList files;
    for (std::size_t member : spot->members)
        if (!places_[member].source.recording.isEmpty())
            files << places_[member].source.recording;
    if (!files.isEmpty())
        emit recordingsClicked(files);
}

void MapCanvas::mouseDoubleClickEvent(QMouseEvent *event) {
    zoomBy(event->position(), event->modifiers() & Qt::ShiftModifier ? 0.5 : 2.0);
}

void MapCanvas::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    if (!hasDocument()) {
        paintMessage(painter);
        return;
    }
    if (!paintBasemap(painter))
        paintGraticule(painter);
    painter.setRenderHint(QPainter::Antialiasing);
    paintTracks(painter);
    paintPlaces(painter, layout());
    paintScaleBar(painter);
    paintCorners(painter);
}

bool MapCanvas::paintBasemap(QPainter &painter) const {
    if (!basemap_)
        return false;
    const QRectF world = viewport_.visibleWorld();
    const GeoPoint southWest = projection_.unproject(world.topLeft());
    const GeoPoint northEast = projection_.unproject(world.bottomRight());
    const double lat = center().lat;
    const double metresPerPixel = projection_.eastWestFactor(lat) / viewport_.scale();
    const int z = tileZoomFor(metresPerPixel, lat, basemap_->config().maxZoom);
    bool drawn = false;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const TileId &tile : tilesCovering(southWest, northEast, z, kMaxTilesInView)) {
        if (const QImage *image = basemap_->tile(tile)) {
            const QPointF nw = viewport_.toScreen(projection_.project(tileCorner(z, tile.x, tile.y)));
            const QPointF se = viewport_.toScreen(projection_.project(tileCorner(z, tile.x + 1, tile.y + 1)));
            painter.drawImage(QRectF(nw, se), *image);
            drawn = true;
        }
    }
    return drawn;
}

void MapCanvas::paintGraticule(QPainter &painter) const {
    const QRectF world = viewport_.visibleWorld();
    const GeoPoint low = projection_.unproject(world.topLeft()); // y grows northwards: top() is the south
    const GeoPoint high = projection_.unproject(world.bottomRight()); // north-east
    const double lonStep = graticuleStep(high.lon - low.lon, kMaxGraticuleLines);
    const double latStep = graticuleStep(high.lat - low.lat, kMaxGraticuleLines);
    painter.save();
    QFont font = painter.font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    painter.setFont(font);
    const QFontMetricsF metrics(font);

    for (double lon = std::ceil(std::max(low.lon, -180.0) / lonStep) * lonStep;
         lon <= std::min(high.lon, 180.0); lon += lonStep) {
        const double x = viewport_.toScreen(projection_.project({0, lon})).x();
        painter.setPen(QPen(kGraticule, 1));
        painter.drawLine(QPointF(x, 0), QPointF(x, height()));
        painter.setPen(kGraticuleText);
        painter.drawText(QPointF(x + 3, metrics.ascent() + 2), degreeText(lon, lonStep));
    }
    for (double lat = std::ceil(std::max(low.lat, -85.0) / latStep) * latStep;
         lat <= std::min(high.lat, 85.0); lat += latStep) {
        const double y = viewport_.toScreen(projection_.project({lat, 0})).y();
        painter.setPen(QPen(kGraticule, 1));
        painter.drawLine(QPointF(0, y), QPointF(width(), y));
        painter.setPen(kGraticuleText);
        painter.drawText(QPointF(3, y - 3), degreeText(lat, latStep));
    }
    painter.restore();
}

bool MapCanvas::isRendering() const {
    return tracks_ && !tracks_->isEmpty() && !trackImage_.covers(viewport_, devicePixelRatioF());
}

// The view the tracks are drawn for: the map's, a margin wider on each side.
MapViewport MapCanvas::trackView() const {
    MapViewport view = viewport_;
    const QSizeF size = viewport_.size();
    view.setSize(
        size + 2 * QSizeF(std::round(size.width() * kTrackMargin), std::round(size.height() * kTrackMargin)));
    return view;
}

void MapCanvas::startTrackRender() {
    if (trackRender_->isRunning())
        return; // its end repaints, and the repaint asks again for the view then on screen
    renderDocument_ = documents_;
    trackRender_->setFuture(
        QtConcurrent::run([tracks = tracks_, view = trackView(), ratio = devicePixelRatioF()] {
            return tracks->render(view, ratio);
        }));
}

void MapCanvas::paintTracks(QPainter &painter) {
    if (!tracks_ || tracks_->isEmpty())
        return;
    if (!trackImage_.covers(viewport_, devicePixelRatioF())) {
        if (tracks_->pointCount() < kDrawInBackgroundFrom)
            trackImage_ = tracks_->render(trackView(), devicePixelRatioF());
        else
            startTrackRender();
    }
    trackImage_.draw(painter, viewport_);
}

void MapCanvas::paintPlaces(QPainter &painter, const Layout &layout) {
    // Highlighted pins last, so that they stay on top.
    for (const bool highlightedPass : {false, true}) {
        for (const PinSpot &spot : layout.spots) {
            const Place &place = places_[spot.members.front()];
            const bool highlighted = std::any_of(spot.members.begin(), spot.members.end(),
                                                 [this](std::size_t m) { return places_[m].highlighted; });
            if (highlighted != highlightedPass)
                continue;
            const double radius = spot.grouped() ? kPlaceRadius + 4 : kPlaceRadius;
            if (highlighted) {
                painter.setPen(QPen(kHighlight, 2.5));
                painter.setBrush(Qt::NoBrush);
                painter.drawEllipse(spot.at, radius + 3, radius + 3);
            }
            const bool square = place.source.kind == PlaceKind::Waypoint && !spot.grouped();
            pinSprites_.draw(painter, spot.at, square ? PinSprites::Shape::Square : PinSprites::Shape::Disc,
                             radius, pinColor(place),
                             spot.grouped() ? QString::number(spot.members.size()) : QString());
        }
    }

    const QFontMetricsF metrics(painter.font());
    for (const PlacedLabel &label : layout.labels) {
        const QPointF textAt(label.box.left(), label.box.bottom() - metrics.descent());
        // A light halo keeps the name readable over the track and the basemap.
        QPainterPath path;
        path.addText(textAt, painter.font(), label.text);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(255, 255, 255, 210), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
        painter.setPen(Qt::black);
        painter.drawText(textAt, label.text);
    }
}

void MapCanvas::paintCorners(QPainter &painter) const {
    if (!basemap_)
        return;
    painter.save();
    QFont font = painter.font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    auto badge = [&](const QString &text, Qt::Alignment corner) {
        if (text.isEmpty())
            return;
        const QSizeF size(metrics.horizontalAdvance(text) + 8, metrics.height() + 4);
        const double x = corner & Qt::AlignRight ? width() - size.width() : 0;
        const double y = corner & Qt::AlignBottom ? height() - size.height() : 0;
        const QRectF box(QPointF(x, y), size);
        painter.fillRect(box, QColor(255, 255, 255, 200));
        painter.setPen(QColor(0x30, 0x30, 0x30));
        painter.drawText(box, Qt::AlignCenter, text);
    };
    badge(basemap_->config().attribution, Qt::AlignBottom | Qt::AlignRight);
    if (basemap_->isOff())
        badge(tr("Basemap off: the tile server cannot be reached"), Qt::AlignTop | Qt::AlignRight);
    painter.restore();
}

void MapCanvas::paintScaleBar(QPainter &painter) const {
    const double lat = projection_.unproject(viewport_.center()).lat;
    const double metresPerPixel = projection_.eastWestFactor(lat) / viewport_.scale();
    const double metres = niceScaleLength(kScaleBarMaxPixels * metresPerPixel);
    const double pixels = metres / metresPerPixel;
    const QPointF origin(16, height() - 18);
    painter.setPen(QPen(Qt::black, 2, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawLine(origin, origin + QPointF(pixels, 0));
    painter.drawLine(origin, origin + QPointF(0, -6));
    painter.drawLine(origin + QPointF(pixels, 0), origin + QPointF(pixels, -6));
    painter.drawText(origin + QPointF(0, -9), scaleLengthText(metres));
}

void MapCanvas::paintMessage(QPainter &painter) const {
    painter.setPen(QColor(0x50, 0x4c, 0x44));
    QFont font = painter.font();
    font.setPointSizeF(font.pointSizeF() * 1.2);
    painter.setFont(font);
    painter.drawText(QRectF(rect()).adjusted(30, 30, -30, -30), Qt::AlignCenter | Qt::TextWordWrap, message_);
}

} // namespace pelorin
