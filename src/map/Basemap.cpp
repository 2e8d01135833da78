#include "map/Basemap.h"

#include <QNetworkAccessManager>
#include <QNetworkDiskCache>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace pelorin {

namespace {
// Twice the most tiles a view draws, about 32 MB.
constexpr int kMemoryTiles = 128;
constexpr qint64 kDiskCacheBytes = 256LL * 1024 * 1024;
constexpr int kTimeoutMs = 10000;
// While off, how long before the network is tried again.
constexpr qint64 kRetryAfterMs = 30000;

quint64 key(TileId id) {
    return (quint64(quint8(id.z)) << 56) | (quint64(quint32(id.x)) << 28) | quint64(quint32(id.y));
}

// Errors below the proxy and content ranges mean the server was not reached.
bool unreachable(QNetworkReply::NetworkError error) {
    return error != QNetworkReply::NoError && error < QNetworkReply::ContentAccessDenied;
}
} // namespace

Basemap::Basemap(BasemapConfig config, QObject *parent)
    : QObject(parent)
    , config_(std::move(config))
    , network_(new QNetworkAccessManager(this))
    , images_(kMemoryTiles) {
    if (!config_.cacheFolder.isEmpty()) {
        auto *cache = new QNetworkDiskCache(network_);
        cache->setCacheDirectory(config_.cacheFolder);
        cache->setMaximumCacheSize(kDiskCacheBytes);
        network_->setCache(cache);
    }
}

Basemap::~Basemap() = default;

const QImage *Basemap::tile(TileId id) {
    const quint64 k = key(id);
    if (const QImage *image = images_.object(k))
        return image;
    if (off_ && offFor_.hasExpired(kRetryAfterMs)) {
        missing_.clear();
        setOff(false);
    }
    if (!pending_.contains(k) && !missing_.contains(k))
        request(id, off_);
    return nullptr;
}

void Basemap::request(TileId id, bool cacheOnly) {
    QNetworkRequest request(QUrl(tileUrl(config_.urlTemplate, id)));
    request.setHeader(QNetworkRequest::UserAgentHeader, config_.userAgent);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         cacheOnly ? QNetworkRequest::AlwaysCache : QNetworkRequest::PreferCache);
    request.setTransferTimeout(kTimeoutMs);
    pending_.insert(key(id));
    QNetworkReply *reply = network_->get(request);
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, id, cacheOnly] { finished(reply, id, cacheOnly); });
}

void Basemap::finished(QNetworkReply *reply, TileId id, bool cacheOnly) {
    reply->deleteLater();
    const quint64 k = key(id);
    pending_.remove(k);
    const QNetworkReply::NetworkError error = reply->error();
    if (error == QNetworkReply::NoError) {
        QImage image;
        if (image.loadFromData(reply->readAll())) {
            images_.insert(k, new QImage(std::move(image)));
            if (!cacheOnly)
                setOff(false);
            emit changed();
            return;
        }
    }
    if (unreachable(error) && !cacheOnly) {
        // A tile seen before still draws from the disk cache, however old.
        setOff(true);
        request(id, true);
        return;
    }
    missing_.insert(k);
}

void Basemap::setOff(bool off) {
    if (off)
        offFor_.start();
    if (off_ == off)
        return;
    off_ = off;
    emit changed();
}

} // namespace pelorin
