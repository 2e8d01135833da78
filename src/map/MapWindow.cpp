#include "map/MapWindow.h"

#include "map/MapCanvas.h"
#include "map/SpeciesLegend.h"

#include <QAction>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QStatusBar>
#include <QToolBar>

namespace pelorin {

namespace {
// A preview the plug-in wrote in the temporary folder, not a file of the user's.
bool isPreview(const QString &path) {
    return QFileInfo(path).absolutePath() == QFileInfo(QDir::tempPath()).absoluteFilePath();
}

// The title's name: the document's, else its track's; a file name only when
// the file is the user's own.
QString titleName(const QString &path, const KmlDocument &document) {
    if (!document.name.isEmpty())
        return document.name;
    for (const KmlTrack &track : document.tracks)
        if (!track.name.isEmpty())
            return track.name;
    return isPreview(path) ? QString() : QFileInfo(path).fileName();
}

// The status line names the file shown, except a preview's made-up name.
QString statusText(const QString &path) {
    return isPreview(path) ? QString() : QDir::toNativeSeparators(path);
}
} // namespace

MapWindow::MapWindow(QWidget *parent)
    : QMainWindow(parent)
    , canvas_(new MapCanvas(this))
    , legend_(new SpeciesLegend(this))
    , legendDock_(new QDockWidget(tr("Species"), this)) {
    setWindowTitle(tr("Map"));
    setCentralWidget(canvas_);
    resize(960, 700);
    // Closing the main window ends the host even while the map is open.
    setAttribute(Qt::WA_QuitOnClose, false);

    legendDock_->setObjectName(QStringLiteral("legend"));
    legendDock_->setWidget(legend_);
    legendDock_->setFeatures(QDockWidget::DockWidgetMovable);
    addDockWidget(Qt::RightDockWidgetArea, legendDock_);
    legendDock_->hide();
    connect(legend_, &SpeciesLegend::speciesToggled, canvas_, &MapCanvas::setSpeciesVisible);
    connect(canvas_, &MapCanvas::legendChanged, this, [this] {
        const QList<LegendEntry> entries = canvas_->legend();
        legend_->setEntries(entries);
        legendDock_->setVisible(!entries.isEmpty());
    });

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
    connect(canvas_, &MapCanvas::recordingsClicked, this, &MapWindow::recordingsClicked);
}

MapWindow::~MapWindow() {
    canvas_->setBasemap(nullptr);
}

void MapWindow::showDocument(const QString &path, KmlDocument document) {
    const QString name = titleName(path, document);
    setWindowTitle(name.isEmpty() ? tr("Map") : tr("Map: %1").arg(name));
    canvas_->setDocument(std::move(document));
    shownPath_ = path;
    statusBar()->showMessage(statusText(path));
}

void MapWindow::showError(const QString &path, const QString &error) {
    setWindowTitle(tr("Map"));
    canvas_->setMessage(tr("Cannot show %1\n\n%2").arg(QDir::toNativeSeparators(path), error));
    shownPath_.clear();
    statusBar()->clearMessage();
}

void MapWindow::showLoading(const QString &path) {
    statusBar()->showMessage(tr("Reading %1 …").arg(QDir::toNativeSeparators(path)));
}

void MapWindow::clearLoading() {
    if (shownPath_.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(statusText(shownPath_));
}

void MapWindow::setBasemap(const std::optional<BasemapConfig> &config) {
    canvas_->setBasemap(nullptr);
    basemap_.reset();
    if (config) {
        basemap_ = std::make_unique<Basemap>(*config);
        canvas_->setBasemap(basemap_.get());
    }
}

void MapWindow::highlightRecordings(const QStringList &files) {
    canvas_->setHighlightedRecordings(files);
}

} // namespace pelorin
