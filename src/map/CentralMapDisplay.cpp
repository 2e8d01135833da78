#include "map/CentralMapDisplay.h"

#include "map/MapCanvas.h"
#include "map/MapFileReader.h"
#include "map/MapWindow.h"

#include <cmath>

namespace pelorin {

CentralMapDisplay::CentralMapDisplay(QObject *parent)
    : MapDisplay(parent)
    , window_(std::make_unique<MapWindow>()) {}

CentralMapDisplay::~CentralMapDisplay() = default;

bool CentralMapDisplay::isOnTheGlobe(GeoPoint point) {
    return std::isfinite(point.lat) && std::isfinite(point.lon) && std::abs(point.lat) <= 90 &&
           std::abs(point.lon) <= 180;
}

void CentralMapDisplay::setBasemap(const std::optional<BasemapConfig> &config) {
    window_->setBasemap(config);
}

void CentralMapDisplay::showWindow(QObject *) {
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void CentralMapDisplay::setCenter(double latitude, double longitude) {
    const GeoPoint center{latitude, longitude};
    if (!isOnTheGlobe(center))
        return;
    centerForNextTrack_ = center;
    window_->canvas()->centerOn(center);
}

void CentralMapDisplay::showTrack(const QString &path) {
    KmlReadResult result = readMapFile(path);
    if (result.ok())
        window_->showDocument(path, std::move(result.document));
    else
        window_->showError(path, result.error);
    if (centerForNextTrack_ && result.ok())
        window_->canvas()->centerOn(*centerForNextTrack_);
    centerForNextTrack_.reset();
    showWindow(nullptr);
}

} // namespace pelorin
