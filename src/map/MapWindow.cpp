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
// The title's name: the document's, else its track's; a file name only when
// the file is the user's own, not a preview in the temporary folder.
QString titleName(const QString &path, const KmlDocument &document) {
    if (!document.name.isEmpty())
        return document.name;
    for (const KmlTrack &track : document.tracks)
        if (!track.name.isEmpty())
            return track.name;
    const QFileInfo file(path);
    if (file.absolutePath() == QFileInfo(QDir::tempPath()).absoluteFilePath())
        return {};
    return file.fileName();
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
    statusBar()->showMessage(QDir::toNativeSeparators(path));
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
        statusBar()->showMessage(QDir::toNativeSeparators(shownPath_));
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
