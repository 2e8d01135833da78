#include "framework/HostDelegate.h"

#include <QCoreApplication>
#include <QVariant>

namespace pelorin {

namespace {
// The delegate rides on the application object, like an application's
// delegate does, so the framework itself keeps no global.
constexpr const char *kDelegateProperty = "pelorinHostDelegate";
} // namespace

RecordingsController::~RecordingsController() = default;
void RecordingsController::showPlacements(const QList<HostPlacement> &) {}
void RecordingsController::filesChanged(const QStringList &) {}
MapDisplay::~MapDisplay() = default;
HostDelegate::~HostDelegate() = default;

HostDelegate *hostDelegate() {
    if (!QCoreApplication::instance())
        return nullptr;
    return static_cast<HostDelegate *>(
        QCoreApplication::instance()->property(kDelegateProperty).value<void *>());
}

void setHostDelegate(HostDelegate *delegate) {
    if (QCoreApplication::instance())
        QCoreApplication::instance()->setProperty(kDelegateProperty, QVariant::fromValue<void *>(delegate));
}

} // namespace pelorin
