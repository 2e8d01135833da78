// The map's painting: basemap or graticule, tracks, pins and their labels,
// the scale bar and the corners' notes, or the message when there is nothing
// to draw.
#include "map/MapCanvas.h"

#include "map/Basemap.h"
#include "map/MapScale.h"
#include "map/TileMath.h"

#include <QFutureWatcher>
#include <QPainter>
#include <QPainterPath>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>

namespace pelorin {

namespace {
constexpr double kScaleBarMaxPixels = 140;
constexpr int kMaxGraticuleLines = 8;
constexpr std::size_t kMaxTilesInView = 64;
// Tracks longer than this are drawn away from the GUI thread.
constexpr std::size_t kDrawInBackgroundFrom = 20'000;
// The tracks are drawn this share of the map's size beyond each side, so a pan reuses the drawing.
constexpr double kTrackMargin = 0.25;
const QColor kBackground(0xf4, 0xf1, 0xea);
const QColor kGraticule(0xc8, 0xc4, 0xba);
const QColor kGraticuleText(0x80, 0x7c, 0x72);
const QColor kHighlight(0x20, 0x20, 0x20);

QString degreeText(double value, double step) {
    const int decimals = step >= 1 ? 0 : int(std::ceil(-std::log10(step) - 1e-9));
    return QStringLiteral("%1°").arg(value, 0, 'f', decimals);
}
} // namespace

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
    const int z = tileZoomFor(metresPerPixel(), center().lat, basemap_->config().maxZoom);
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
    // A large document's spread for this scale is still being made; the last one stands in.
    const bool spreading = spreadCache_ && spreadCache_->scale != viewport_.scale() && spreadsAside();
    return spreading ||
           (tracks_ && !tracks_->isEmpty() && !trackImage_.covers(viewport_, devicePixelRatioF()));
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

void MapCanvas::tookTrackImage() {
    if (autoFit_ && !autoCenter_)
        fittedImage_ = trackImage_;
}

void MapCanvas::paintTracks(QPainter &painter) {
    if (!tracks_ || tracks_->isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    if (!trackImage_.covers(viewport_, ratio)) {
        if (fittedImage_.covers(viewport_, ratio)) {
            trackImage_ = fittedImage_;
        } else if (tracks_->pointCount() < kDrawInBackgroundFrom) {
            trackImage_ = tracks_->render(trackView(), ratio);
            tookTrackImage();
        } else {
            startTrackRender();
        }
    } else if (tracks_->pointCount() >= kDrawInBackgroundFrom &&
               !trackImage_.coversWithin(viewport_, ratio, kTrackMargin / 2 * std::min(width(), height()))) {
        // A pan has used half the margin: the next drawing is made before it runs out.
        startTrackRender();
    }
    trackImage_.draw(painter, viewport_);
}

void MapCanvas::paintPlaces(QPainter &painter, const Layout &layout) {
    // Highlighted pins last, so that they stay on top.
    for (const bool highlightedPass : {false, true}) {
        for (const PinSpot &spot : layout.spots) {
            const KmlPlace &place = places_[spot.members.front()];
            const bool highlighted = std::any_of(spot.members.begin(), spot.members.end(),
                                                 [this](std::size_t m) { return placeHighlighted_[m]; });
            if (highlighted != highlightedPass)
                continue;
            const double radius = spot.grouped() ? kPlaceRadius + 4 : kPlaceRadius;
            if (highlighted)
                pinSprites_.draw(painter, spot.at, PinSprites::Shape::Ring, radius + 3, kHighlight);
            const bool square = place.kind == PlaceKind::Waypoint && !spot.grouped();
            pinSprites_.draw(painter, spot.at, square ? PinSprites::Shape::Square : PinSprites::Shape::Disc,
                             radius, species_.pinColor(place),
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
    const double metres = niceScaleLength(kScaleBarMaxPixels * metresPerPixel());
    const double pixels = metres / metresPerPixel();
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
