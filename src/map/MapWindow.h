#pragma once

#include "map/Basemap.h"
#include "map/KmlDocument.h"

#include <QMainWindow>

#include <memory>
#include <optional>

class QDockWidget;

namespace pelorin {

class MapCanvas;
class SpeciesLegend;

// The central map window: a map canvas with a fit-to-data action (F), a
// legend of the species and a status line with the file shown and the
// position under the mouse.
class MapWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MapWindow(QWidget *parent = nullptr);
    ~MapWindow() override;

    MapCanvas *canvas() const { return canvas_; }
    SpeciesLegend *legend() const { return legend_; }
    void showDocument(const QString &path, KmlDocument document);
    void showError(const QString &path, const QString &error);
    // The status line tells that path is being read; the map keeps what it shows.
    void showLoading(const QString &path);
    // The read was given up: the status line shows the file on the map again.
    void clearLoading();
    // The tiles under the map; nullopt for none.
    void setBasemap(const std::optional<BasemapConfig> &config);

public slots:
    // The recordings selected elsewhere (by file name) stand out on the map.
    void highlightRecordings(const QStringList &files);

signals:
    // A pin was clicked: its recording's file name, or a stack's.
    void recordingsClicked(const QStringList &files);

private:
    MapCanvas *canvas_;
    SpeciesLegend *legend_;
    QDockWidget *legendDock_;
    std::unique_ptr<Basemap> basemap_;
    QString shownPath_; // the file on the map, "" for none
};

} // namespace pelorin
