#include "map/MapCanvas.h"

#include "map/Basemap.h"
#include "map/PlaceFields.h"

#include <QFutureWatcher>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>

namespace pelorin {

namespace {
constexpr double kFitMargin = 40;
// Up to this many pins at one spot are spread on a ring, more are one pin with their count.
constexpr std::size_t kMaxSpread = 8;
// A crowded view shows pins only; labels come back closer in.
constexpr std::size_t kMaxLabelledSpots = 300;
// A spread of pins this small is kept for going back to its scale.
constexpr std::size_t kMostSpotsKept = 10'000;
// From this many pins a spread is made away from the GUI thread, as a long track is drawn.
constexpr std::size_t kSpreadAsideFrom = 20'000;
// Zooming out stops a little beyond the whole data, zooming in at a few pixels a metre.
constexpr double kZoomOutBeyondFit = 16;
constexpr double kCloseUpScale = 4;
} // namespace

MapCanvas::MapCanvas(QWidget *parent)
    : QWidget(parent)
    , trackRender_(new QFutureWatcher<TrackImage>(this))
    , spreadWork_(new QFutureWatcher<SpreadCache>(this)) {
    // A spread made for pins since hidden or a view since left is not kept; the repaint asks again.
    connect(spreadWork_, &QFutureWatcher<SpreadCache>::finished, this, [this] {
        SpreadCache made = spreadWork_->result();
        if (made.generation == spreadGeneration_ && made.scale == viewport_.scale())
            keepSpread(std::move(made));
        update();
    });
    // A drawing finished for a view since left still stands in until the next one is done.
    connect(trackRender_, &QFutureWatcher<TrackImage>::finished, this, [this] {
        if (renderDocument_ == documents_) {
            TrackImage drawn = trackRender_->result();
            // A drawing started early for a pan still under way may not be the one that covers the view.
            if (drawn.covers(viewport_, devicePixelRatioF()) ||
                !trackImage_.covers(viewport_, devicePixelRatioF())) {
                trackImage_ = std::move(drawn);
                tookTrackImage();
            }
            if (!trackPreparation_.isRunning())
                trackPreparation_ =
                    QtConcurrent::run(&preparation_, [tracks = tracks_, scale = viewport_.scale()] {
                        tracks->prepareAround(scale);
                    });
        }
        update();
    });
    // The tracks simplified ahead of need take only time no one else wants: on a machine of two cores
    // a wheel step's drawing and the window's painting have both.
    preparation_.setMaxThreadCount(1);
    preparation_.setThreadPriority(QThread::IdlePriority);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(200, 150);
    message_ = tr("No track loaded.");
}

// Whatever the last document or message left.
void MapCanvas::reset() {
    forgetSpreads();
    tracks_.reset();
    trackImage_ = {};
    fittedImage_ = {};
    ++documents_;
    places_.clear();
    placeWorld_.clear();
    placeHighlighted_.clear();
    species_.clear();
    bounds_ = {};
}

void MapCanvas::setDocument(KmlDocument document) {
    reset();
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
    places_ = std::move(document.places);
    placeWorld_.reserve(places_.size());
    placeHighlighted_.reserve(places_.size());
    for (const KmlPlace &place : places_) {
        placeWorld_.push_back(projection_.project(place.position));
        extend(placeWorld_.back());
        species_.add(place);
        placeHighlighted_.push_back(highlighted_.contains(place.recording));
    }
    species_.finish();
    bounds_ = minX <= maxX ? QRectF(QPointF(minX, minY), QPointF(maxX, maxY)) : QRectF();
    message_.clear();
    fitToData();
    emit legendChanged();
}

void MapCanvas::setMessage(const QString &message) {
    reset();
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

double MapCanvas::metresPerPixel() const {
    return projection_.eastWestFactor(center().lat) / viewport_.scale();
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
    return species_.legend();
}

void MapCanvas::setSpeciesVisible(const QString &species, bool visible) {
    forgetSpreads();
    species_.setVisible(species, visible);
    update();
}

void MapCanvas::setHighlightedRecordings(const QStringList &files) {
    highlighted_ = RecordingNames(files);
    for (std::size_t i = 0; i < places_.size(); ++i)
        placeHighlighted_[i] = highlighted_.contains(places_[i].recording);
    // One recording selected elsewhere whose pin is off screen: bring it into view.
    if (files.size() == 1) {
        const QRectF screen(rect());
        for (std::size_t i = 0; i < places_.size(); ++i) {
            if (species_.isShown(places_[i]) && placeHighlighted_[i] &&
                !screen.contains(viewport_.toScreen(placeWorld_[i]))) {
                takeOverView();
                viewport_.setCenter(placeWorld_[i]);
                break;
            }
        }
    }
    update();
}

bool MapCanvas::isHighlighted(const QString &recording) const {
    return highlighted_.contains(recording);
}

bool MapCanvas::spreadsAside() const {
    return places_.size() >= kSpreadAsideFrom;
}

void MapCanvas::forgetSpreads() {
    spreadCache_.reset();
    previousSpread_.reset();
    ++spreadGeneration_;
}

MapCanvas::SpreadInput MapCanvas::spreadInput(double scale) const {
    SpreadInput input{scale, {}, {}, spreadGeneration_};
    for (std::size_t i = 0; i < places_.size(); ++i) {
        if (!species_.isShown(places_[i]))
            continue;
        const QPointF d = placeWorld_[i] - bounds_.center();
        input.anchored.emplace_back(d.x() * scale, -d.y() * scale);
        input.index.push_back(i);
    }
    return input;
}

MapCanvas::SpreadCache MapCanvas::spread(SpreadInput input) {
    SpreadCache made{input.scale, spreadPins(input.anchored, kPlaceRadius, kMaxSpread), input.generation};
    for (PinSpot &spot : made.spots)
        for (std::size_t &member : spot.members)
            member = input.index[member];
    return made;
}

// The spread before stays if small, for going back (Fit to data, a wheel step undone); close in,
// with every pin a spot, it is let go.
void MapCanvas::keepSpread(SpreadCache made) {
    previousSpread_.reset();
    if (spreadCache_ && spreadCache_->spots.size() <= kMostSpotsKept)
        previousSpread_ = std::move(spreadCache_);
    spreadCache_ = std::move(made);
}

// Pins are spread once per scale, measured from a point fixed on the plane,
// so a pan moves the spots without spreading them again (nor differently).
const MapCanvas::SpreadCache &MapCanvas::currentSpread() const {
    const double scale = viewport_.scale();
    if (spreadCache_ && spreadCache_->scale == scale)
        return *spreadCache_;
    if (previousSpread_ && previousSpread_->scale == scale) {
        std::swap(spreadCache_, previousSpread_);
        return *spreadCache_;
    }
    // Spreading a hundred thousand pins takes a wheel step's whole frame: a large document's are
    // spread on another core while the last spread stands in, as its track's last drawing does.
    if (spreadCache_ && spreadsAside()) {
        if (!spreadWork_->isRunning())
            spreadWork_->setFuture(QtConcurrent::run(&MapCanvas::spread, spreadInput(scale)));
        return *spreadCache_;
    }
    previousSpread_.reset();
    if (spreadCache_ && spreadCache_->spots.size() <= kMostSpotsKept)
        previousSpread_ = std::move(spreadCache_);
    spreadCache_.reset(); // close in it may be large: let go before the new one is made
    spreadCache_ = spread(spreadInput(scale));
    return *spreadCache_;
}

MapCanvas::Layout MapCanvas::layout() const {
    Layout result;
    if (!hasDocument())
        return result;
    const QRectF visible = QRectF(rect()).adjusted(-20, -20, 20, 20);
    const QPointF offset = viewport_.toScreen(bounds_.center());
    const SpreadCache &current = currentSpread();
    const double factor = viewport_.scale() / current.scale; // 1 but for a stand-in
    for (const PinSpot &spot : current.spots)
        if (const QPointF at = spot.at * factor + offset; visible.contains(at))
            result.spots.push_back({at, spot.members});
    if (result.spots.size() > kMaxLabelledSpots)
        return result;

    const QFontMetricsF metrics(font());
    std::vector<LabelRequest> requests;
    std::vector<QRectF> pins;
    const QSizeF pinSize(2 * kPlaceRadius + 2, 2 * kPlaceRadius + 2);
    for (const PinSpot &spot : result.spots) {
        pins.emplace_back(spot.at - QPointF(pinSize.width() / 2, pinSize.height() / 2), pinSize);
        const KmlPlace &place = places_[spot.members.front()];
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
            if (sameRecording(places_[member].recording, recording))
                return spot.at;
    return std::nullopt;
}

} // namespace pelorin
