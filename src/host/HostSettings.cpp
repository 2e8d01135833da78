#include "host/HostSettings.h"

#include <QSettings>

namespace pelorin {

namespace {
constexpr auto kOrganisation = "Pelorin";
constexpr auto kApplication = "pelorin-host";
constexpr auto kLastCatalogueKey = "catalogue/last";
} // namespace

QString lastCatalogue() {
    return QSettings(kOrganisation, kApplication).value(kLastCatalogueKey).toString();
}

void storeLastCatalogue(const QString &path) {
    QSettings(kOrganisation, kApplication).setValue(kLastCatalogueKey, path);
}

} // namespace pelorin
