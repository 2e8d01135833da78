#include "map/CentralMapDisplay.h"

#include "map/MapCanvas.h"
#include "map/MapFileReader.h"
#include "map/MapWindow.h"
#include "map/WindowPlacement.h"

#include <QEvent>
#include <QtConcurrent/QtConcurrentRun>

#include <cmath>

namespace pelorin {

CentralMapDisplay::CentralMapDisplay(QObject *parent)
    : MapDisplay(parent)
    , window_(std::make_unique<MapWindow>()) {
    window_->installEventFilter(this);
}

// A read under way stops at its next piece of the file; it holds nothing of
// the display's.
CentralMapDisplay::~CentralMapDisplay() {
    stopRead_.request_stop();
}

bool CentralMapDisplay::isOnTheGlobe(GeoPoint point) {
    return std::isfinite(point.lat) && std::isfinite(point.lon) && std::abs(point.lat) <= 90 &&
           std::abs(point.lon) <= 180;
}

void CentralMapDisplay::setBasemap(const std::optional<BasemapConfig> &config) {
    window_->setBasemap(config);
}

void CentralMapDisplay::showWindow(QObject *) {
    if (!placed_) {
        placed_ = true;
        if (anchor_ && anchor_->isVisible())
            placeBeside(window_.get(), anchor_);
        else
            keepOnScreen(window_.get());
    }
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
    cancelRead();
    stopRead_ = std::stop_source();
    auto *watcher = new QFutureWatcher<KmlReadResult>(this);
    read_ = watcher;
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, path] {
        read_ = nullptr;
        watcher->deleteLater();
        KmlReadResult result = watcher->future().takeResult();
        finishRead(path, result);
    });
    watcher->setFuture(
        QtConcurrent::run([path, stop = stopRead_.get_token()] { return readMapFile(path, stop); }));
    window_->showLoading(path);
    showWindow(nullptr);
}

void CentralMapDisplay::finishRead(const QString &path, KmlReadResult &result) {
    if (result.ok())
        window_->showDocument(path, std::move(result.document));
    else
        window_->showError(path, result.error);
    if (centerForNextTrack_ && result.ok())
        window_->canvas()->centerOn(*centerForNextTrack_);
    centerForNextTrack_.reset();
    emit trackShown();
}

void CentralMapDisplay::cancelRead() {
    if (!read_)
        return;
    stopRead_.request_stop();
    // Its result, when it comes, finds no one waiting for it.
    QFutureWatcher<KmlReadResult> *watcher = read_;
    read_ = nullptr;
    watcher->disconnect(this);
    if (watcher->isFinished())
        watcher->deleteLater();
    else
        connect(watcher, &QFutureWatcherBase::finished, watcher, &QObject::deleteLater);
    window_->clearLoading();
}

bool CentralMapDisplay::eventFilter(QObject *watched, QEvent *event) {
    if (watched == window_.get() && event->type() == QEvent::Close)
        cancelRead();
    return MapDisplay::eventFilter(watched, event);
}

} // namespace pelorin
