#pragma once

#include "framework/HostDelegate.h"
#include "map/Basemap.h"
#include "map/KmlDocument.h"

#include <memory>
#include <optional>

namespace pelorin {

class MapWindow;

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

public slots:
    void showWindow(QObject *sender) override;
    // Centres the map now, and again after the next track is shown (which
    // otherwise fits the view to its data).
    void setCenter(double latitude, double longitude) override;
    void showTrack(const QString &path) override;

private:
    std::unique_ptr<MapWindow> window_;
    std::optional<GeoPoint> centerForNextTrack_;
};

} // namespace pelorin
