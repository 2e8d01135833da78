#include "map/CentralMapDisplay.h"

#include "map/KmlReader.h"
#include "map/MapCanvas.h"
#include "map/MapWindow.h"

#include <cmath>

namespace pelorin {

CentralMapDisplay::CentralMapDisplay(QObject *parent)
    : MapDisplay(parent)
    , window_(std::make_unique<MapWindow>()) {}

CentralMapDisplay::~CentralMapDisplay() = default;

std::optional<GeoPoint> CentralMapDisplay::parseCenter(const QStringList &latLon) {
    if (latLon.size() < 2)
        return std::nullopt;
    bool latOk = false;
    bool lonOk = false;
    const double lat = latLon.at(0).trimmed().toDouble(&latOk);
    const double lon = latLon.at(1).trimmed().toDouble(&lonOk);
    if (!latOk || !lonOk || !std::isfinite(lat) || !std::isfinite(lon) || std::abs(lat) > 90 ||
        std::abs(lon) > 180)
        return std::nullopt;
    return GeoPoint{lat, lon};
}

void CentralMapDisplay::showWindow(QObject *) {
    window_->show();
    window_->raise();
    window_->activateWindow();
}

void CentralMapDisplay::setCenter(const QStringList &latLon) {
    const std::optional<GeoPoint> center = parseCenter(latLon);
    if (!center)
        return;
    centerForNextTrack_ = center;
    window_->canvas()->centerOn(*center);
}

void CentralMapDisplay::showTrack(const QString &path) {
    KmlReadResult result = readKmlFile(path);
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
