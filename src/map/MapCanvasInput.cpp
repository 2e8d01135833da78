// The map's input: tooltips over pins, the wheel and keys for zooming and
// panning, dragging, and clicks on pins.
#include "map/MapCanvas.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>

#include <cmath>

namespace pelorin {

namespace {
constexpr double kPickRadius = 9;
constexpr double kKeyZoom = 1.5;
constexpr double kKeyPanFraction = 0.125;
constexpr double kClickSlop = 4;
} // namespace

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
                const KmlPlace &place = places_[member];
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
        if (!places_[member].recording.isEmpty())
            files << places_[member].recording;
    if (!files.isEmpty())
        emit recordingsClicked(files);
}

void MapCanvas::mouseDoubleClickEvent(QMouseEvent *event) {
    zoomBy(event->position(), event->modifiers() & Qt::ShiftModifier ? 0.5 : 2.0);
}

} // namespace pelorin
