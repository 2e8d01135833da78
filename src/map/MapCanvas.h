#pragma once

#include "map/KmlDocument.h"
#include "map/LegendEntry.h"
#include "map/MapProjection.h"
#include "map/MapViewport.h"
#include "map/PinLayout.h"
#include "map/PinSprites.h"
#include "map/PlaceFields.h"
#include "map/SpeciesStyles.h"
#include "map/TrackLayer.h"

#include <QFuture>
#include <QPointF>
#include <QRectF>
#include <QThreadPool>
#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace pelorin {

class Basemap;

// Draws a KML document's tracks, waypoints and recordings' pins on a
// projected plane over a basemap of web-map tiles (or a graticule without
// one) with a scale bar. Pins are coloured by species, spread where they
// stack, and labelled where a label has room. Wheel, +/- and double-click
// zoom, dragging and the arrow keys pan, clicking a pin reports its
// recording. When there is nothing to draw it shows a message instead.
// Its painting (MapCanvasPainting.cpp) and its input (MapCanvasInput.cpp)
// have files of their own.
class MapCanvas : public QWidget {
    Q_OBJECT
public:
    explicit MapCanvas(QWidget *parent = nullptr);

    void setDocument(KmlDocument document);
    // Replaces the drawing with a message (an error, or why the map is empty).
    void setMessage(const QString &message);
    QString message() const { return message_; }
    bool hasDocument() const { return (tracks_ && !tracks_->isEmpty()) || !places_.empty(); }
    // Not owned; nullptr for none.
    void setBasemap(Basemap *basemap);
    Basemap *basemap() const { return basemap_; }

    void centerOn(GeoPoint point);
    void fitToData();
    GeoPoint center() const;
    const MapViewport &viewport() const { return viewport_; }
    const MapProjection &projection() const { return projection_; }

    // The document's species, sorted, "" (no species) last.
    QList<LegendEntry> legend() const;
    void setSpeciesVisible(const QString &species, bool visible);
    // Pins of these recordings (file names, with or without extension) stand
    // out; a single one off screen is brought into view.
    void setHighlightedRecordings(const QStringList &files);
    bool isHighlighted(const QString &recording) const;

    // What the current view draws: the pins' spots (members index the
    // document's places) and the labels placed beside them.
    struct Layout {
        std::vector<PinSpot> spots;
        std::vector<PlacedLabel> labels; // request = index into spots
    };
    Layout layout() const;
    // Where the recording's pin is drawn, if it is.
    std::optional<QPointF> pinPosition(const QString &recording) const;

    // The tracks of the current view are still being drawn (a long track is
    // drawn away from the GUI thread; until then the last drawing stands in).
    bool isRendering() const;

    QSize sizeHint() const override { return {900, 650}; }

signals:
    // The position under the mouse, for a status line.
    void hovered(GeoPoint point);
    // A pin was clicked: its recording, or a stack's recordings.
    void recordingsClicked(const QStringList &files);
    void legendChanged();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    static constexpr double kPlaceRadius = 5;

    void reset();
    void applyView();
    void takeOverView();
    void zoomBy(QPointF screen, double factor);
    void keepNearData();
    // At the view's centre, east to west.
    double metresPerPixel() const;
    // The shown pins spread at a scale, relative to the data's centre on screen.
    struct SpreadCache {
        double scale = 0;
        std::vector<PinSpot> spots;
        unsigned generation = 0; // of the pins shown when it was made
    };
    // What a spread is made from: the shown pins anchored at the scale, and which place each is.
    struct SpreadInput {
        double scale = 0;
        std::vector<QPointF> anchored;
        std::vector<std::size_t> index;
        unsigned generation = 0;
    };
    SpreadInput spreadInput(double scale) const;
    static SpreadCache spread(SpreadInput input);
    // The spread for the current scale, or while a large document's is made aside, the last one, to be
    // moved and scaled (its scale says by how much).
    const SpreadCache &currentSpread() const;
    void keepSpread(SpreadCache made);
    bool spreadsAside() const; // a large document's pins are spread away from the GUI thread
    void forgetSpreads();
    const PinSpot *spotAt(const Layout &layout, QPointF screen) const;
    void paintGraticule(QPainter &painter) const;
    bool paintBasemap(QPainter &painter) const;
    void paintTracks(QPainter &painter);
    MapViewport trackView() const;
    void startTrackRender();
    void tookTrackImage();
    void paintPlaces(QPainter &painter, const Layout &layout);
    void paintCorners(QPainter &painter) const;
    void paintScaleBar(QPainter &painter) const;
    void paintMessage(QPainter &painter) const;

    MapProjection projection_;
    MapViewport viewport_;
    std::shared_ptr<const TrackLayer> tracks_;
    // The tracks as last drawn, and the drawing under way (for this document when renderDocument_ is
    // documents_).
    TrackImage trackImage_;
    TrackImage fittedImage_; // the fitted view's drawing, kept for going back to it
    QFutureWatcher<TrackImage> *trackRender_;
    QThreadPool preparation_;
    QFuture<void> trackPreparation_; // the simplified tracks for the scales either side
    unsigned documents_ = 0;
    unsigned renderDocument_ = 0;
    // The document's places as read (taken over whole, not copied), where each lies on the plane and
    // whether it stands out.
    std::vector<KmlPlace> places_;
    std::vector<QPointF> placeWorld_;
    std::vector<bool> placeHighlighted_;
    SpeciesStyles species_;
    PinSprites pinSprites_;
    mutable std::optional<SpreadCache> spreadCache_;
    QFutureWatcher<SpreadCache> *spreadWork_;
    unsigned spreadGeneration_ = 0;
    mutable std::optional<SpreadCache> previousSpread_;
    RecordingNames highlighted_;
    Basemap *basemap_ = nullptr;
    QRectF bounds_;
    QString message_;
    // Until the user zooms or pans, the view follows the window's size: fitted
    // to the data, then centred on the requested point if there is one.
    bool autoFit_ = false;
    std::optional<QPointF> autoCenter_;
    std::optional<QPointF> dragFrom_;
    std::optional<QPointF> pressedAt_;
};

} // namespace pelorin
