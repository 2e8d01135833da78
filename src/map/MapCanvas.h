#pragma once

#include "map/KmlDocument.h"
#include "map/MapProjection.h"
#include "map/MapViewport.h"

#include <QPointF>
#include <QRectF>
#include <QWidget>

#include <optional>
#include <vector>

class QPainter;

namespace pelorin {

// Draws a KML document's tracks and placemarks on a projected plane with
// a graticule and a scale bar; wheel zooms, dragging pans. When there is
// nothing to draw it shows a message instead.
class MapCanvas : public QWidget {
    Q_OBJECT
public:
    explicit MapCanvas(QWidget *parent = nullptr);

    void setDocument(KmlDocument document);
    // Replaces the drawing with a message (an error, or why the map is empty).
    void setMessage(const QString &message);
    QString message() const { return message_; }
    bool hasDocument() const { return !tracks_.empty() || !places_.empty(); }

    void centerOn(GeoPoint point);
    void fitToData();
    GeoPoint center() const;
    const MapViewport &viewport() const { return viewport_; }
    const MapProjection &projection() const { return projection_; }

    QSize sizeHint() const override { return {900, 650}; }

signals:
    // The position under the mouse, for a status line.
    void hovered(GeoPoint point);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    struct Track {
        QColor color;
        double width;
        std::vector<QPointF> world;
    };
    struct Place {
        QString name;
        QString description;
        QPointF world;
    };

    void applyView();
    void takeOverView();
    const Place *placeAt(QPointF screen) const;
    void paintGraticule(QPainter &painter) const;
    void paintTracks(QPainter &painter) const;
    void paintPlaces(QPainter &painter) const;
    void paintScaleBar(QPainter &painter) const;
    void paintMessage(QPainter &painter) const;

    MapProjection projection_;
    MapViewport viewport_;
    std::vector<Track> tracks_;
    std::vector<Place> places_;
    QRectF bounds_;
    QString message_;
    // Until the user zooms or pans, the view follows the window's size: fitted
    // to the data, then centred on the requested point if there is one.
    bool autoFit_ = false;
    std::optional<QPointF> autoCenter_;
    std::optional<QPointF> dragFrom_;
};

} // namespace pelorin
