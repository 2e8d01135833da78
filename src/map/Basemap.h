#pragma once

#include "map/TileMath.h"

#include <QCache>
#include <QElapsedTimer>
#include <QImage>
#include <QObject>
#include <QSet>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;

namespace pelorin {

struct BasemapConfig {
    QString urlTemplate; // with {z}, {x} and {y}
    QString attribution;
    QString cacheFolder;
    QByteArray userAgent;
    int maxZoom = 19;
};

// Web-map tiles under the map, fetched one visible tile at a time (never in
// bulk) and kept in a disk cache, so a view seen once draws again without a
// network. When the server cannot be reached the basemap is off: tiles then
// come from the cache alone, and the network is tried again after a pause.
class Basemap : public QObject {
    Q_OBJECT
public:
    explicit Basemap(BasemapConfig config, QObject *parent = nullptr);
    ~Basemap() override;

    const BasemapConfig &config() const { return config_; }
    // The tile if it is at hand; otherwise it is asked for, once, and
    // changed() says when it comes.
    const QImage *tile(TileId id);
    bool isOff() const { return off_; }

signals:
    void changed();

private:
    void request(TileId id, bool cacheOnly);
    void finished(QNetworkReply *reply, TileId id, bool cacheOnly);
    void setOff(bool off);

    BasemapConfig config_;
    QNetworkAccessManager *network_;
    QCache<quint64, QImage> images_;
    QSet<quint64> pending_;
    QSet<quint64> missing_; // not on the server, or not in the cache while off
    bool off_ = false;
    QElapsedTimer offFor_;
};

} // namespace pelorin
