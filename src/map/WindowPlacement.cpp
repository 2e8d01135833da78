#include "map/WindowPlacement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <optional>

namespace pelorin {

namespace {

constexpr int kGap = 8;

// A window not yet shown has no frame; the anchor's, when known, stands in for it.
QMargins frameOf(const QWidget *window, const QWidget *anchor) {
    const QWidget *framed = window->isVisible() || !anchor ? window : anchor;
    const QRect frame = framed->frameGeometry();
    const QRect inner = framed->geometry();
    return {inner.left() - frame.left(), inner.top() - frame.top(), frame.right() - inner.right(),
            frame.bottom() - inner.bottom()};
}

// The frame at topLeft (none: where the window manager puts it), then shrunk and moved into the area.
void putInside(QWidget *window, std::optional<QPoint> topLeft, const QRect &available,
               const QMargins &frame) {
    const QSize outer = window->size().grownBy(frame).boundedTo(available.size());
    window->resize(outer.shrunkBy(frame));
    if (topLeft)
        window->move(std::clamp(topLeft->x(), available.left(), available.right() + 1 - outer.width()),
                     std::clamp(topLeft->y(), available.top(), available.bottom() + 1 - outer.height()));
}

} // namespace

void keepOnScreen(QWidget *window) {
    const std::optional<QPoint> placed =
        window->testAttribute(Qt::WA_Moved) ? std::optional(window->pos()) : std::nullopt;
    putInside(window, placed, window->screen()->availableGeometry(), frameOf(window, nullptr));
}

void placeBeside(QWidget *window, const QWidget *anchor) {
    const QRect available = anchor->screen()->availableGeometry();
    const QMargins frame = frameOf(window, anchor);
    const int width = std::min(window->width() + frame.left() + frame.right(), available.width());
    const QRect beside = anchor->frameGeometry();
    const int right = beside.right() + 1 + kGap;
    const int left = beside.left() - kGap - width;
    int x = 0;
    if (right + width <= available.right() + 1)
        x = right;
    else if (left >= available.left())
        x = left;
    else if (available.right() - beside.right() >= beside.left() - available.left())
        x = available.right() + 1 - width;
    else
        x = available.left();
    putInside(window, QPoint(x, beside.top()), available, frame);
}

} // namespace pelorin
