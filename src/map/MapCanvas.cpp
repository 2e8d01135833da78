#include "map/MapCanvas.h"

#include "map/MapProjection.h"
#include "map/MapScale.h"
#include "map/TrackDecimation.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QWheelEvent>

#include <cmath>

namespace pelorin {

namespace {
constexpr double kFitMargin = 40;
constexpr double kPlaceRadius = 5;
constexpr double kPickRadius = 9;
constexpr double kScaleBarMaxPixels = 140;
constexpr int kMaxGraticuleLines = 8;
const QColor kBackground(0xf4, 0xf1, 0xea);
const QColor kGraticule(0xc8, 0xc4, 0xba);
const QColor kGraticuleText(0x80, 0x7c, 0x72);
const QColor kPlaceFill(0xd9, 0x48, 0x1c);

QString degreeText(double value, double step) {
    const int decimals = step >= 1 ? 0 : int(std::ceil(-std::log10(step) - 1e-9));
    return QStringLiteral("%1°").arg(value, 0, 'f', decimals);
}
} // namespace

MapCanvas::MapCanvas(QWidget *parent)
    : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(200, 150);
    message_ = tr("No track loaded.");
}

void MapCanvas::setDocument(KmlDocument document) {
    tracks_.clear();
    places_.clear();
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
    for (KmlTrack &track : document.tracks) {
        Track t{track.color, track.width, {}};
        t.world.reserve(track.points.size());
        for (const GeoPoint &point : track.points) {
            t.world.push_back(projection_.project(point));
            extend(t.world.back());
        }
        tracks_.push_back(std::move(t));
    }
    for (const KmlPlace &place : document.places) {
        const QPointF w = projection_.project(place.position);
        extend(w);
        places_.push_back({place.name, place.description, w});
    }
    const QRectF bounds = minX <= maxX ? QRectF(QPointF(minX, minY), QPointF(maxX, maxY)) : QRectF();
    bounds_ = bounds;
    message_.clear();
    fitToData();
}

void MapCanvas::setMessage(const QString &message) {
    tracks_.clear();
    places_.clear();
    bounds_ = {};
    message_ = message;
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
    if (autoFit_)
        viewport_.fit(bounds_, kFitMargin);
    if (autoCenter_)
        viewport_.setCenter(*autoCenter_);
    update();
}

void MapCanvas::takeOverView() {
    autoFit_ = false;
    autoCenter_.reset();
}

void MapCanvas::resizeEvent(QResizeEvent *) {
    applyView();
}

const MapCanvas::Place *MapCanvas::placeAt(QPointF screen) const {
    const Place *best = nullptr;
    double bestDistance = kPickRadius;
    for (const Place &place : places_) {
        const QPointF d = viewport_.toScreen(place.world) - screen;
        const double distance = std::hypot(d.x(), d.y());
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = &place;
        }
    }
    return best;
}

bool MapCanvas::event(QEvent *event) {
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        if (const Place *place = placeAt(help->pos())) {
            QToolTip::showText(help->globalPos(),
                               place->description.isEmpty() ? place->name : place->description, this);
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
    if (steps == 0 || !hasDocument())
        return;
    takeOverView();
    viewport_.zoomAt(event->position(), std::pow(1.25, steps));
    update();
}

void MapCanvas::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) {
        dragFrom_ = event->position();
        setCursor(Qt::ClosedHandCursor);
    }
}

void MapCanvas::mouseMoveEvent(QMouseEvent *event) {
    if (dragFrom_) {
        takeOverView();
        viewport_.panBy(event->position() - *dragFrom_);
        dragFrom_ = event->position();
        update();
    }
    if (hasDocument())
        emit hovered(projection_.unproject(viewport_.toWorld(event->position())));
}

void MapCanvas::mouseReleaseEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) {
        dragFrom_.reset();
        unsetCursor();
    }
}

void MapCanvas::mouseDoubleClickEvent(QMouseEvent *event) {
    if (!hasDocument())
        return;
    takeOverView();
    viewport_.zoomAt(event->position(), event->modifiers() & Qt::ShiftModifier ? 0.5 : 2.0);
    update();
}

void MapCanvas::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    if (!hasDocument()) {
        paintMessage(painter);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing);
    paintGraticule(painter);
    paintTracks(painter);
    paintPlaces(painter);
    paintScaleBar(painter);
}

void MapCanvas::paintGraticule(QPainter &painter) const {
    const QRectF world = viewport_.visibleWorld();
    const GeoPoint low = projection_.unproject(world.topLeft()); // y grows northwards: top() is the south
    const GeoPoint high = projection_.unproject(world.bottomRight()); // north-east
    const double lonStep = graticuleStep(high.lon - low.lon, kMaxGraticuleLines);
    const double latStep = graticuleStep(high.lat - low.lat, kMaxGraticuleLines);
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
}

void MapCanvas::paintTracks(QPainter &painter) const {
    for (const Track &track : tracks_) {
        const double margin = track.width + 2;
        const QRectF clip = QRectF(rect()).adjusted(-margin, -margin, margin, margin);
        QPen pen(track.color, track.width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        painter.setPen(pen);
        // A wide pen hides vertices closer than half its width; fewer of them keep a long track fluid.
        const double minPixels = std::max(1.0, track.width / 2);
        for (const QPolygonF &line : screenPolylines(track.world, viewport_, clip, minPixels)) {
            if (line.size() == 1)
                painter.drawPoint(line.front());
            else
                painter.drawPolyline(line);
        }
    }
}

void MapCanvas::paintPlaces(QPainter &painter) const {
    const QFontMetricsF metrics(painter.font());
    const QRectF visible = QRectF(rect()).adjusted(-20, -20, 20, 20);
    for (const Place &place : places_) {
        const QPointF p = viewport_.toScreen(place.world);
        if (!visible.contains(p))
            continue;
        painter.setPen(QPen(Qt::white, 1.5));
        painter.setBrush(kPlaceFill);
        painter.drawEllipse(p, kPlaceRadius, kPlaceRadius);
        if (place.name.isEmpty())
            continue;
        const QPointF textAt = p + QPointF(kPlaceRadius + 3, metrics.ascent() / 2 - 1);
        // A light halo keeps the name readable over the track.
        QPainterPath path;
        path.addText(textAt, painter.font(), place.name);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(255, 255, 255, 210), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
        painter.setPen(Qt::black);
        painter.drawText(textAt, place.name);
    }
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
