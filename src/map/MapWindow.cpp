#include "map/MapWindow.h"

#include "map/MapCanvas.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QStatusBar>
#include <QToolBar>

namespace pelorin {

MapWindow::MapWindow(QWidget *parent)
    : QMainWindow(parent)
    , canvas_(new MapCanvas(this)) {
    setWindowTitle(tr("Map"));
    setCentralWidget(canvas_);
    resize(960, 700);
    // Closing the main window ends the host even while the map is open.
    setAttribute(Qt::WA_QuitOnClose, false);

    QToolBar *toolBar = addToolBar(tr("Map"));
    toolBar->setMovable(false);
    QAction *fit = toolBar->addAction(tr("Fit to data"));
    fit->setShortcut(Qt::Key_F);
    fit->setToolTip(tr("Show the whole track and every placemark (F)"));
    connect(fit, &QAction::triggered, canvas_, &MapCanvas::fitToData);

    connect(canvas_, &MapCanvas::hovered, this, [this](GeoPoint point) {
        statusBar()->showMessage(
            QStringLiteral("%1, %2").arg(point.lat, 0, 'f', 6).arg(point.lon, 0, 'f', 6));
    });
}

void MapWindow::showDocument(const QString &path, KmlDocument document) {
    const QString name = document.name.isEmpty() ? QFileInfo(path).fileName() : document.name;
    setWindowTitle(tr("Map: %1").arg(name));
    canvas_->setDocument(std::move(document));
    statusBar()->showMessage(QDir::toNativeSeparators(path));
}

void MapWindow::showError(const QString &path, const QString &error) {
    setWindowTitle(tr("Map"));
    canvas_->setMessage(tr("Cannot show %1\n\n%2").arg(QDir::toNativeSeparators(path), error));
    statusBar()->clearMessage();
}

} // namespace pelorin
