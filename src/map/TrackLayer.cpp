#include "map/TrackLayer.h"

#include "map/StrokeCoverage.h"
#include "map/TrackDecimation.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace pelorin {

namespace {
// The largest share of the track one simplified copy may hold, and all of them together.
constexpr std::size_t kLevelShare = 8;
constexpr std::size_t kLevelsShare = 4;
constexpr std::size_t kMostLevels = 16;
// Tracks this short are drawn from their points at every scale.
constexpr std::size_t kSimplifyFrom = 4096;
constexpr double kWholePixel = 0.01;
// Close in most of the track may be on screen: it is handed over in pieces rather than held at once.
constexpr qsizetype kPolylinePiece = 4096;

bool isReady(const std::shared_future<std::shared_ptr<const std::vector<QPointF>>> &level) {
    using namespace std::chrono_literals;
    return level.wait_for(0s) == std::future_status::ready;
}

std::shared_future<std::shared_ptr<const std::vector<QPointF>>>
madeLevel(std::shared_ptr<const std::vector<QPointF>> points) {
    std::promise<std::shared_ptr<const std::vector<QPointF>>> made;
    made.set_value(std::move(points));
    return made.get_future().share();
}

bool nearWhole(double value) {
    return std::abs(value - std::round(value)) < kWholePixel;
}
} // namespace

bool TrackImage::covers(const MapViewport &current, qreal devicePixelRatio) const {
    if (image.isNull() || image.devicePixelRatio() != devicePixelRatio || view.scale() != current.scale())
        return false;
    const QPointF origin = current.toScreen(view.toWorld({0, 0}));
    return nearWhole(origin.x()) && nearWhole(origin.y()) && origin.x() <= kWholePixel &&
           origin.y() <= kWholePixel &&
           origin.x() + view.size().width() >= current.size().width() - kWholePixel &&
           origin.y() + view.size().height() >= current.size().height() - kWholePixel;
}

bool TrackImage::coversWithin(const MapViewport &current, qreal devicePixelRatio, double spare) const {
    if (!covers(current, devicePixelRatio))
        return false;
    const QPointF origin = current.toScreen(view.toWorld({0, 0}));
    return origin.x() <= -spare && origin.y() <= -spare &&
           origin.x() + view.size().width() >= current.size().width() + spare &&
           origin.y() + view.size().height() >= current.size().height() + spare;
}

void TrackImage::draw(QPainter &painter, const MapViewport &current) const {
    if (image.isNull())
        return;
    const QPointF topLeft = current.toScreen(view.toWorld({0, 0}));
    if (view.scale() == current.scale()) {
        painter.drawImage(QPointF(std::round(topLeft.x()), std::round(topLeft.y())), image);
        return;
    }
    const QPointF bottomRight = current.toScreen(view.toWorld({view.size().width(), view.size().height()}));
    // A stand-in for a few frames: scaled the fast way.
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRectF(topLeft, bottomRight), image);
    painter.restore();
}

TrackLayer::TrackLayer(std::vector<TrackLine> tracks)
    : tracks_(std::move(tracks)) {
    for (const TrackLine &track : tracks_)
        points_ += track.world.size();
}

TrackLayer::Points TrackLayer::level(std::size_t track, double scale, bool ahead) const {
    const std::vector<QPointF> &world = tracks_[track].world;
    if (world.size() < kSimplifyFrom)
        return nullptr;
    // The level's scale is the power of two at or above the view's, so its
    // half-pixel tolerance is under half a pixel here.
    const int k = int(std::ceil(std::log2(scale)));
    const auto key = std::make_pair(track, k);
    std::shared_future<Points> made;
    std::promise<Points> building;
    {
        std::lock_guard lock(mutex_);
        auto found = levels_.find(key);
        if (found != levels_.end() && ahead)
            return nullptr; // made or being made
        if (found != levels_.end() && (!found->second.ahead || isReady(found->second.points))) {
            found->second.used = ++uses_;
            made = found->second.points;
        } else if (found == levels_.end()) {
            levels_[key] = {building.get_future().share(), ++uses_, ahead};
        }
        // Else it is being made ahead, on a thread that runs only when no one else wants the core:
        // a drawing makes its own rather than wait for it.
    }
    if (made.valid())
        return made.get(); // perhaps after another drawing has finished making it
    // Built outside the lock: a drawing that needs another level need not wait for this one.
    // Close in the copy would be nearly the whole track: remember that, not the copy.
    std::optional<std::vector<QPointF>> simplified =
        simplifiedTrack(world, 0.5 / std::ldexp(1.0, k), world.size() / kLevelShare);
    Points points =
        simplified ? std::make_shared<const std::vector<QPointF>>(std::move(*simplified)) : nullptr;
    building.set_value(points);
    std::lock_guard lock(mutex_);
    // Made in place of one still being made ahead, or after its entry was let go: this one stands.
    if (auto found = levels_.find(key); found == levels_.end())
        levels_[key] = {madeLevel(points), ++uses_, false};
    else if (found->second.ahead && !ahead && !isReady(found->second.points))
        found->second = {madeLevel(points), ++uses_, false};
    // The copies together stay well under the track's own size; the least recently used go first.
    const auto size = [](const Level &level) -> std::size_t {
        if (!isReady(level.points))
            return 0;
        const Points &copy = level.points.get();
        return copy ? copy->size() : 0;
    };
    const auto held = [this, &size] {
        std::size_t total = 0;
        for (const auto &[other, level] : levels_)
            total += size(level);
        return total;
    };
    while (levels_.size() > 1 && (levels_.size() > kMostLevels || held() > points_ / kLevelsShare)) {
        const auto oldest =
            std::min_element(levels_.begin(), levels_.end(), [&key](const auto &a, const auto &b) {
                // The level just made stays.
                return a.first != key && (b.first == key || a.second.used < b.second.used);
            });
        levels_.erase(oldest);
    }
    return points;
}

void TrackLayer::prepareAround(double scale) const {
    for (const double factor : {0.5, 2.0})
        for (std::size_t track = 0; track < tracks_.size(); ++track)
            level(track, scale * factor, true);
}

void TrackLayer::addLines(StrokeCoverage &coverage, std::size_t track, const MapViewport &view,
                          qreal devicePixelRatio) const {
    const TrackLine &line = tracks_[track];
    const Points simplified = level(track, view.scale());
    const std::vector<QPointF> &points = simplified ? *simplified : line.world;
    const double margin = line.width + 2;
    const QRectF clip = QRectF(QPointF(0, 0), view.size()).adjusted(-margin, -margin, margin, margin);
    const double radius = line.width / 2 * devicePixelRatio;
    // The simplified copy is already within half a pixel; on the track itself
    // a quarter pixel drops only what no pen would show.
    const auto add = [&coverage, radius, devicePixelRatio](const QPolygonF &polyline) {
        QPointF last = polyline.front() * devicePixelRatio;
        if (polyline.size() == 1)
            coverage.addSegment(last, last, radius);
        for (qsizetype i = 1; i < polyline.size(); ++i) {
            const QPointF next = polyline[i] * devicePixelRatio;
            coverage.addSegment(last, next, radius);
            last = next;
        }
    };
    visitScreenPolylines(points, view, clip, simplified ? 0.0 : 0.25, add, kPolylinePiece);
}

// Each colour's lines are one coverage, so a track crossing itself is no
// darker where it does, as a translucent stroked path.
TrackImage TrackLayer::render(const MapViewport &view, qreal devicePixelRatio) const {
    TrackImage result{QImage((view.size() * devicePixelRatio).toSize(), QImage::Format_ARGB32_Premultiplied),
                      view};
    result.image.setDevicePixelRatio(devicePixelRatio);
    result.image.fill(Qt::transparent);
    std::vector<QRgb> colours;
    for (const TrackLine &track : tracks_)
        if (std::find(colours.begin(), colours.end(), track.color.rgba()) == colours.end())
            colours.push_back(track.color.rgba());
    StrokeCoverage coverage(result.image.size());
    for (const QRgb colour : colours) {
        coverage.clear();
        for (std::size_t i = 0; i < tracks_.size(); ++i)
            if (tracks_[i].color.rgba() == colour)
                addLines(coverage, i, view, devicePixelRatio);
        coverage.paint(result.image, QColor::fromRgba(colour));
    }
    return result;
}

} // namespace pelorin
