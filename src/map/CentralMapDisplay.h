#pragma once

#include "framework/HostDelegate.h"
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

    // {latitude, longitude} as decimal texts; anything else is no centre.
    static std::optional<GeoPoint> parseCenter(const QStringList &latLon);

public slots:
    void showWindow(QObject *sender) override;
    // Centres the map now, and again after the next track is shown (which
    // otherwise fits the view to its data).
    void setCenter(const QStringList &latLon) override;
    void showTrack(const QString &path) override;

private:
    std::unique_ptr<MapWindow> window_;
    std::optional<GeoPoint> centerForNextTrack_;
};

} // namespace pelorin
