#include "map/BasemapSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace pelorin {

namespace {
const QString kOsmTiles = QStringLiteral("https://tile.openstreetmap.org/{z}/{x}/{y}.png");
const QString kOsmAttribution = QStringLiteral("© OpenStreetMap contributors");
} // namespace

std::optional<BasemapConfig> basemapFromSettings() {
    const QSettings settings;
    BasemapConfig config;
    config.urlTemplate = settings.value(QStringLiteral("map/tileUrl"), kOsmTiles).toString().trimmed();
    if (config.urlTemplate.isEmpty())
        return std::nullopt;
    config.attribution = settings
                             .value(QStringLiteral("map/attribution"),
                                    config.urlTemplate == kOsmTiles ? kOsmAttribution : QString())
                             .toString();
    config.cacheFolder = QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
                             .filePath(QStringLiteral("tiles"));
    // Tile servers ask to be told who fetches their tiles.
    config.userAgent = QStringLiteral("Pelorin/%1 (bat survey map viewer; Qt %2)")
                           .arg(QCoreApplication::applicationVersion(), QString::fromLatin1(qVersion()))
                           .toUtf8();
    return config;
}

} // namespace pelorin
