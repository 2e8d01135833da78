#pragma once

#include "framework/HostDelegate.h"
#include "map/Basemap.h"
#include "map/KmlDocument.h"

#include <QFutureWatcher>
#include <QPointer>

#include <memory>
#include <optional>
#include <stop_token>

namespace pelorin {

class MapWindow;
struct KmlReadResult;

// The host's central map display: the map window and the messages plug-ins
// send to it.
class CentralMapDisplay : public MapDisplay {
    Q_OBJECT
public:
    explicit CentralMapDisplay(QObject *parent = nullptr);
    ~CentralMapDisplay() override;

    MapWindow *window() const { return window_.get(); }

    // Whether the map should take the wish for a centre.
    static bool isOnTheGlobe(GeoPoint point);

    // Shows the tiles of this basemap under every document; nullopt for none.
    void setBasemap(const std::optional<BasemapConfig> &config);
    // The window first shows beside this one while it is on screen (the host's main window), else
    // where the window manager puts it; on screen either way.
    void openBeside(QWidget *anchor) { anchor_ = anchor; }

public slots:
    void showWindow(QObject *sender) override;
    // Centres the map now, and again after the next track is shown (which
    // otherwise fits the view to its data).
    void setCenter(double latitude, double longitude) override;
    // Reads the file off the GUI thread; the window shows that it is reading,
    // and the document it had, until then. A newer track, or the window
    // closed, ends the read, and its document is never shown.
    void showTrack(const QString &path) override;

signals:
    // The track asked for last is on the map, or its error is.
    void trackShown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cancelRead();
    void finishRead(const QString &path, KmlReadResult &result);

    std::unique_ptr<MapWindow> window_;
    QPointer<QWidget> anchor_;
    bool placed_ = false;
    std::optional<GeoPoint> centerForNextTrack_;
    QPointer<QFutureWatcher<KmlReadResult>> read_; // the read under way, a child of the display
    std::stop_source stopRead_;
};

} // namespace pelorin
