#pragma once

#include "map/MapViewport.h"

#include <QColor>
#include <QImage>
#include <QPointF>

#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

class QPainter;

namespace pelorin {

class StrokeCoverage;

// A track on the projected plane with its line style.
struct TrackLine {
    QColor color;
    double width = 2;
    std::vector<QPointF> world;
};

// The tracks drawn into an image for one view, kept so that panning moves the
// image instead of drawing the tracks again.
struct TrackImage {
    QImage image;
    MapViewport view; // the view it was drawn for, its size the image's in logical pixels

    bool isNull() const { return image.isNull(); }
    // Whether the image holds the current view as it would be drawn now: the
    // same scale, covering the screen, on whole pixels.
    bool covers(const MapViewport &current, qreal devicePixelRatio) const;
    // Whether it covers the view with this many pixels to spare on every side.
    bool coversWithin(const MapViewport &current, qreal devicePixelRatio, double spare) const;
    // Draws the image where its view falls in the current one, scaled when
    // the scale differs (a placeholder while the right one is drawn).
    void draw(QPainter &painter, const MapViewport &current) const;
};

// The document's tracks, ready to be drawn at any scale. A line is drawn from
// a copy simplified to under half a pixel at the scale, kept for a few scales
// at a time (pan and small zoom steps reuse them); close in, where such a copy
// would be nearly the whole track, the track itself is clipped to the view.
// Drawing is safe from any thread.
class TrackLayer {
public:
    explicit TrackLayer(std::vector<TrackLine> tracks);

    bool isEmpty() const { return tracks_.empty(); }
    std::size_t pointCount() const { return points_; }
    TrackImage render(const MapViewport &view, qreal devicePixelRatio) const;
    // Builds the simplified copies for the scales one wheel step or so either
    // side of this one, so that a zoom there finds them made.
    void prepareAround(double scale) const;

private:
    using Points = std::shared_ptr<const std::vector<QPointF>>;
    // The points to draw a track from at this scale; nullptr for the track itself. Ahead of need,
    // nothing is returned, and a level made or being made is left alone.
    Points level(std::size_t track, double scale, bool ahead = false) const;
    void addLines(StrokeCoverage &coverage, std::size_t track, const MapViewport &view,
                  qreal devicePixelRatio) const;

    std::vector<TrackLine> tracks_;
    std::size_t points_ = 0;
    struct Level {
        std::shared_future<Points> points; // ready, or being built by the thread that asked first
        unsigned long long used = 0;
        bool ahead = false; // being built ahead of need
    };
    mutable std::mutex mutex_;
    mutable std::map<std::pair<std::size_t, int>, Level> levels_; // (track, log2 of the scale)
    mutable unsigned long long uses_ = 0;
};

} // namespace pelorin
