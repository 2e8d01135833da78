#pragma once

class QWidget;

namespace pelorin {

// Where a new top-level window goes, before it first shows: inside the
// available area of its screen (the screen less panels and docks), moved and,
// when larger than that area, shrunk as little as it takes. A window that was
// never moved keeps the place the window manager gives it.
void keepOnScreen(QWidget *window);

// Beside the anchor, a visible top-level window: on its right when there is
// room, else on its left, else against the side of the screen with more room;
// level with its top. Inside the available area of the anchor's screen, as
// keepOnScreen().
void placeBeside(QWidget *window, const QWidget *anchor);

} // namespace pelorin
