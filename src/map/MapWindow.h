#pragma once

#include "map/KmlDocument.h"

#include <QMainWindow>

namespace pelorin {

class MapCanvas;

// The central map window: a map canvas with a fit-to-data action (F) and a
// status line with the file shown and the position under the mouse.
class MapWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MapWindow(QWidget *parent = nullptr);

    MapCanvas *canvas() const { return canvas_; }
    void showDocument(const QString &path, KmlDocument document);
    void showError(const QString &path, const QString &error);

private:
    MapCanvas *canvas_;
};

} // namespace pelorin
